// A canvas that records every drawing call with the state it was made in, for tests.
#pragma once

#include "framework/Canvas.h"

#include <cstddef>
#include <string>
#include <vector>

namespace fw {

struct DrawCall {
    enum class Op { FillRect, Line, Polyline, Rectangle, Text };
    Op op = Op::Line;
    std::vector<Point> points;  // lines and polylines
    Rect rect;                  // rectangles and fills
    std::string text;
    Point at;                   // text
    Pen pen;
    Brush brush;
    Color background;
    Color textColor;
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(Size size) : Canvas(size) {}

    void fillRect(const Rect &rect, const Brush &brush) override;
    void line(Point from, Point to) override;
    void polyline(const std::vector<Point> &points) override;
    void rectangle(const Rect &rect) override;
    void text(Point at, const std::string &text) override;

    const std::vector<DrawCall> &calls() const { return calls_; }
    std::vector<DrawCall> callsOf(DrawCall::Op op) const;
    size_t count(DrawCall::Op op) const { return callsOf(op).size(); }
    void clear() { calls_.clear(); }

private:
    DrawCall &record(DrawCall::Op op);

    std::vector<DrawCall> calls_;
};

} // namespace fw
