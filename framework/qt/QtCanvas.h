// The canvas on Qt: carries out the drawing calls with a QPainter.
#pragma once

#include "framework/Canvas.h"

class QPainter;
class QPen;

namespace fw {

class QtCanvas : public Canvas {
public:
    QtCanvas(QPainter &painter, Size size) : Canvas(size), painter_(painter) {}

    void fillRect(const Rect &rect, const Brush &brush) override;
    void line(Point from, Point to) override;
    void polyline(const std::vector<Point> &points) override;
    void rectangle(const Rect &rect) override;
    void text(Point at, const std::string &text) override;

private:
    void usePen();

    QPainter &painter_;
};

} // namespace fw
