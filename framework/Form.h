// The state of a window's controls keyed by control id: what the logic reads and writes.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fw {

struct TreeItem {
    std::string text;
    int parent = -1;  // index of the parent item, -1 at the top
    int image = 0;
    bool expanded = false;
};

struct ControlState {
    std::string text;
    std::vector<std::string> items;
    int selection = -1;
    int check = 0;
    bool enabled = true;
    bool visible = true;
    int rangeMin = 0;
    int rangeMax = 100;
    int pos = 0;
    int horizontalExtent = 0;  // list boxes: scrollable width in pixels
    std::vector<std::string> columns;          // list views: headers
    std::vector<int> columnWidths;             // list views: pixels
    std::vector<std::vector<std::string>> rows;  // list views: cells by row
    std::vector<TreeItem> tree;                // tree views, parents before children
    int treeGeneration = 0;                    // tree views: counts clears, so a mirror knows
                                               // whether its items are still a prefix of `tree`
    int fixedColumns = 0;  // grids: leading columns the operator cannot edit
    int headerHeight = 0;  // grids: pixels of the header row, 0 for the platform's own
};

// Receives every change the logic makes, so a platform can mirror it into widgets.
class FormListener {
public:
    virtual ~FormListener() = default;
    virtual void controlChanged(int id) = 0;
};

class Form {
public:
    bool has(int id) const { return controls_.count(id) != 0; }
    const ControlState &state(int id) const;
    // Direct access for platforms mirroring an operator's edit (does not notify).
    ControlState &mutableState(int id) { return controls_[id]; }

    void setText(int id, const std::string &text);
    const std::string &text(int id) const { return state(id).text; }

    void clearItems(int id);
    void addItem(int id, const std::string &item);
    void setItems(int id, const std::vector<std::string> &items);
    void removeItem(int id, int index);
    void insertItem(int id, int index, const std::string &item);
    const std::vector<std::string> &items(int id) const { return state(id).items; }
    int itemCount(int id) const { return static_cast<int>(state(id).items.size()); }
    std::string itemText(int id, int index) const;

    void setSelection(int id, int index);
    int selection(int id) const { return state(id).selection; }
    std::string selectedText(int id) const { return itemText(id, selection(id)); }

    void setCheck(int id, int check);
    int check(int id) const { return state(id).check; }

    void enable(int id, bool enabled);
    bool isEnabled(int id) const { return state(id).enabled; }
    void show(int id, bool visible);
    bool isVisible(int id) const { return state(id).visible; }

    void setRange(int id, int lo, int hi);
    void setPos(int id, int pos);
    int pos(int id) const { return state(id).pos; }

    void setHorizontalExtent(int id, int pixels);

    // List views (report style): the selection is the selection mark.
    void setColumns(int id, const std::vector<std::string> &names, const std::vector<int> &widths);
    void clearRows(int id);
    int addRow(int id, const std::vector<std::string> &cells);
    void setCell(int id, int row, int column, const std::string &text);
    std::string cell(int id, int row, int column) const;
    int rowCount(int id) const { return static_cast<int>(state(id).rows.size()); }

    // Grids use the list view's columns (the header row) and rows (the cells) and add:
    void setFixedColumns(int id, int count);
    void setRows(int id, std::vector<std::vector<std::string>> rows);  // all rows at once
    void setHeaderHeight(int id, int pixels);

    // Tree views: items by index; the selection is the selected item.
    void clearTree(int id);
    int insertTreeItem(int id, int parent, const std::string &text, int image);
    void expandTreeItem(int id, int item);
    const std::vector<TreeItem> &treeItems(int id) const { return state(id).tree; }

    void setListener(FormListener *listener) { listener_ = listener; }

private:
    ControlState &edit(int id) { return controls_[id]; }
    void changed(int id);

    std::map<int, ControlState> controls_;
    FormListener *listener_ = nullptr;
};

} // namespace fw
