// What a view that draws itself paints on: pens, brushes, lines, polylines, rectangles, text.
#pragma once

#include "framework/Types.h"

#include <string>
#include <vector>

namespace fw {

struct Color {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Color &o) const { return red == o.red && green == o.green && blue == o.blue; }
    bool operator!=(const Color &o) const { return !(*this == o); }
};

enum class PenStyle { Solid, Dot, Dash, None };

struct Pen {
    Color color;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    bool insideFrame = false;  // a rectangle's outline lies wholly inside the rectangle
};

struct Brush {
    Color color{255, 255, 255};
    bool hollow = false;  // rectangles are outlined only
};

// The drawing state is kept here; each platform only carries out the drawing operations.
// Coordinates are the window's client pixels (device-independent on high-DPI screens).
class Canvas {
public:
    explicit Canvas(Size size) : size_(size) {}
    virtual ~Canvas() = default;

    Size size() const { return size_; }

    void setPen(const Pen &pen) { pen_ = pen; }
    const Pen &pen() const { return pen_; }
    void setBrush(const Brush &brush) { brush_ = brush; }
    const Brush &brush() const { return brush_; }
    // Fills the gaps of dotted and dashed lines; returns the colour it replaces.
    Color setBackground(const Color &color)
    {
        Color old = background_;
        background_ = color;
        return old;
    }
    const Color &background() const { return background_; }
    void setTextColor(const Color &color) { textColor_ = color; }
    const Color &textColor() const { return textColor_; }

    // Fills with the brush, no outline.
    virtual void fillRect(const Rect &rect, const Brush &brush) = 0;
    // From `from` up to, not including, `to` (as GDI draws).
    virtual void line(Point from, Point to) = 0;
    virtual void polyline(const std::vector<Point> &points) = 0;
    // Filled with the brush (unless hollow) and outlined with the pen; right and bottom exclusive.
    virtual void rectangle(const Rect &rect) = 0;
    // Text whose top-left corner is at `at`, in the text colour on a transparent ground.
    virtual void text(Point at, const std::string &text) = 0;

private:
    Size size_;
    Pen pen_;
    Brush brush_;
    Color background_{255, 255, 255};
    Color textColor_;
};

} // namespace fw
