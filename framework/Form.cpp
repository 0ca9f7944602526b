// Control state keyed by control id.
#include "framework/Form.h"

#include <algorithm>

namespace fw {

const ControlState &Form::state(int id) const
{
    static const ControlState empty;
    auto it = controls_.find(id);
    return it == controls_.end() ? empty : it->second;
}

void Form::changed(int id)
{
    if (listener_)
        listener_->controlChanged(id);
}

void Form::setText(int id, const std::string &text)
{
    edit(id).text = text;
    changed(id);
}

void Form::clearItems(int id)
{
    auto &c = edit(id);
    c.items.clear();
    c.selection = -1;
    changed(id);
}

void Form::addItem(int id, const std::string &item)
{
    edit(id).items.push_back(item);
    changed(id);
}

void Form::setItems(int id, const std::vector<std::string> &items)
{
    auto &c = edit(id);
    c.items = items;
    if (c.selection >= static_cast<int>(items.size()))
        c.selection = -1;
    changed(id);
}

void Form::removeItem(int id, int index)
{
    auto &c = edit(id);
    if (index < 0 || index >= static_cast<int>(c.items.size()))
        return;
    c.items.erase(c.items.begin() + index);
    if (c.selection == index)
        c.selection = -1;
    else if (c.selection > index)
        --c.selection;
    changed(id);
}

void Form::insertItem(int id, int index, const std::string &item)
{
    auto &c = edit(id);
    if (index < 0 || index > static_cast<int>(c.items.size()))
        index = static_cast<int>(c.items.size());
    c.items.insert(c.items.begin() + index, item);
    if (c.selection >= index)
        ++c.selection;
    changed(id);
}

std::string Form::itemText(int id, int index) const
{
    const auto &items = state(id).items;
    if (index < 0 || index >= static_cast<int>(items.size()))
        return {};
    return items[index];
}

void Form::setSelection(int id, int index)
{
    auto &c = edit(id);
    // Lists select among their items, list views among their rows, trees among their items.
    const size_t count = !c.rows.empty() ? c.rows.size() : !c.tree.empty() ? c.tree.size() : c.items.size();
    c.selection = (index >= 0 && index < static_cast<int>(count)) ? index : -1;
    changed(id);
}

void Form::setCheck(int id, int check)
{
    edit(id).check = check;
    changed(id);
}

void Form::enable(int id, bool enabled)
{
    edit(id).enabled = enabled;
    changed(id);
}

void Form::show(int id, bool visible)
{
    edit(id).visible = visible;
    changed(id);
}

void Form::setRange(int id, int lo, int hi)
{
    auto &c = edit(id);
    c.rangeMin = lo;
    c.rangeMax = hi;
    changed(id);
}

void Form::setPos(int id, int pos)
{
    edit(id).pos = pos;
    changed(id);
}

void Form::setHorizontalExtent(int id, int pixels)
{
    edit(id).horizontalExtent = pixels;
    changed(id);
}

void Form::setColumns(int id, const std::vector<std::string> &names, const std::vector<int> &widths)
{
    auto &c = edit(id);
    c.columns = names;
    c.columnWidths = widths;
    for (auto &row : c.rows)
        row.resize(names.size());
    changed(id);
}

void Form::clearRows(int id)
{
    auto &c = edit(id);
    c.rows.clear();
    c.selection = -1;
    changed(id);
}

int Form::addRow(int id, const std::vector<std::string> &cells)
{
    auto &c = edit(id);
    std::vector<std::string> row = cells;
    row.resize(std::max(row.size(), c.columns.size()));
    c.rows.push_back(row);
    changed(id);
    return static_cast<int>(c.rows.size()) - 1;
}

void Form::setCell(int id, int row, int column, const std::string &text)
{
    auto &c = edit(id);
    if (row < 0 || row >= static_cast<int>(c.rows.size()) || column < 0)
        return;
    auto &r = c.rows[row];
    if (column >= static_cast<int>(r.size()))
        r.resize(column + 1);
    r[column] = text;
    changed(id);
}

std::string Form::cell(int id, int row, int column) const
{
    const auto &rows = state(id).rows;
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 ||
        column >= static_cast<int>(rows[row].size()))
        return {};
    return rows[row][column];
}

void Form::setFixedColumns(int id, int count)
{
    edit(id).fixedColumns = count;
    changed(id);
}

void Form::setRows(int id, std::vector<std::vector<std::string>> rows)
{
    auto &c = edit(id);
    for (auto &row : rows)
        row.resize(std::max(row.size(), c.columns.size()));
    c.rows = std::move(rows);
    if (c.selection >= static_cast<int>(c.rows.size()))
        c.selection = -1;
    changed(id);
}

void Form::setHeaderHeight(int id, int pixels)
{
    edit(id).headerHeight = pixels;
    changed(id);
}

void Form::clearTree(int id)
{
    auto &c = edit(id);
    c.tree.clear();
    ++c.treeGeneration;
    c.selection = -1;
    changed(id);
}

int Form::insertTreeItem(int id, int parent, const std::string &text, int image)
{
    auto &c = edit(id);
    c.tree.push_back(TreeItem{text, parent, image, false});
    changed(id);
    return static_cast<int>(c.tree.size()) - 1;
}

void Form::expandTreeItem(int id, int item)
{
    auto &c = edit(id);
    if (item >= 0 && item < static_cast<int>(c.tree.size()))
        c.tree[item].expanded = true;
    changed(id);
}

} // namespace fw
