// Dialog templates, menus, toolbars and the string table, as data the platforms build from.
#pragma once

#include <string>
#include <vector>

namespace fw {

enum class ControlKind {
    Static,
    Edit,
    Button,
    CheckBox,
    Radio,
    GroupBox,
    DropList,  // drop-down list (combo box without edit)
    ListBox,
    ListView,
    TreeView,
    Slider,
    Spin,
    Progress,
    Placeholder,  // a place a widget is put at run time (slider, plot)
    Grid,         // an editable table: header row, fixed first columns, cells edited in place
};

enum ControlFlags {
    AlignRight = 1,
    Hidden = 2,
    Disabled = 4,
    Sorted = 8,
    FillParent = 16,  // the control follows its window's client size
    ReadOnly = 32,
    Multiline = 64,
    Bold = 128,  // a title: larger, bold text
    FillHeight = 256,  // the control's bottom follows its window's height, keeping its margin
    DigitsOnly = 512,  // edits and grid cells: the operator types digits only
};

// Geometry is in dialog units, as in the templates the system was designed with.
struct ControlTemplate {
    ControlKind kind = ControlKind::Static;
    int id = 0;
    std::string text;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int flags = 0;
    std::vector<std::string> items;  // initial list data
    int buddy = 0;                   // spin buttons: the edit that shows their position
    int maxLength = 0;               // edits: the most characters they take, 0 for no limit
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int width = 0;
    int height = 0;
    std::vector<ControlTemplate> controls;
};

struct MenuItem {
    int id = 0;  // 0 with empty text: separator; items non-empty: pop-up
    std::string text;
    std::vector<MenuItem> items;
    bool checked = false;
    bool enabled = true;

    bool isSeparator() const { return id == 0 && text.empty(); }
    bool isPopup() const { return !items.empty(); }
    MenuItem *find(int commandId);
};

struct Menu {
    int id = 0;
    std::vector<MenuItem> items;

    MenuItem *find(int commandId);
};

struct ToolbarButton {
    int id = 0;  // 0: separator
    std::string icon;
};

struct ToolbarTemplate {
    int id = 0;
    std::string title;
    std::vector<ToolbarButton> buttons;
};

// Lookups into the resource tables (defined by the resource library).
const DialogTemplate *findDialog(int id);
const Menu *findMenu(int id);
const ToolbarTemplate *findToolbar(int id);
std::string loadString(int id);  // empty when the table has no such string

// Dialog units to pixels for the dialog font.
inline int dluToPixelsX(int dlu) { return dlu * 3 / 2; }
inline int dluToPixelsY(int dlu) { return dlu * 13 / 8; }

} // namespace fw
