// Plain geometry, key and notification types shared by the logic and its platforms.
#pragma once

#include <string>

namespace fw {

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

// What a control or a window reports to the logic; the message maps key on these.
enum class Notify {
    Command,      // menu, toolbar or button command (id = command id)
    Clicked,      // BN_CLICKED
    SelChange,    // CBN_SELCHANGE / LBN_SELCHANGE
    DblClick,     // LBN_DBLCLK
    EditChange,   // EN_CHANGE
    Scroll,       // WM_HSCROLL / WM_VSCROLL from a slider or scroll bar
    SpinDelta,    // UDN_DELTAPOS
    ItemClick,    // NM_CLICK in a list view
    TreeSelChange,// TVN_SELCHANGED
    ContextMenu,  // right button released over the control
    SliderMoved,  // toolbar slider position changed
    CellEditBegin,// a grid cell's in-place editor opened
    CellEditEnd,  // a grid cell was edited (its text is in the form)
};

enum class Key { Other, Enter, Escape, F12 };

struct KeyEvent {
    Key key = Key::Other;
    int controlId = 0;  // control that has the focus, 0 when none
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Exclamation, Information, Question, Error };
enum class MsgResult { Ok, Cancel, Yes, No };

enum class BalloonIcon { Warning, Information };

struct Balloon {
    std::string title;
    std::string text;
    BalloonIcon icon = BalloonIcon::Warning;
    Point anchor;  // screen point the balloon points at
};

struct LocalTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

} // namespace fw
