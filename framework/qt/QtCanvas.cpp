// The canvas on Qt.
#include "framework/qt/QtCanvas.h"

#include "framework/qt/DirectPolyline.h"

#include <QPainter>
#include <QPolygon>

namespace fw {

namespace {

QColor qcolor(const Color &c) { return QColor(c.red, c.green, c.blue); }

QRect qrect(const Rect &r) { return QRect(r.left, r.top, r.width(), r.height()); }

Qt::PenStyle qstyle(PenStyle s)
{
    switch (s) {
    case PenStyle::Solid: return Qt::SolidLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::None: return Qt::NoPen;
    }
    return Qt::SolidLine;
}

} // namespace

void QtCanvas::usePen()
{
    QPen p(qcolor(pen().color));
    p.setWidth(std::max(1, pen().width));
    p.setStyle(qstyle(pen().style));
    p.setCapStyle(Qt::FlatCap);
    painter_.setPen(p);
    // The gaps of a dotted line show the background colour, as on GDI's opaque background mode.
    painter_.setBackground(qcolor(background()));
    painter_.setBackgroundMode(pen().style == PenStyle::Solid ? Qt::TransparentMode : Qt::OpaqueMode);
    painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::fillRect(const Rect &rect, const Brush &brush)
{
    if (!brush.hollow)
        painter_.fillRect(qrect(rect), qcolor(brush.color));
}

void QtCanvas::line(Point from, Point to)
{
    usePen();
    painter_.drawLine(from.x, from.y, to.x, to.y);
}

void QtCanvas::polyline(const std::vector<Point> &points)
{
    const Pen &p = pen();
    if (p.style == PenStyle::Solid && p.width <= 1 &&
        drawPolylineDirect(painter_, points, qRgb(p.color.red, p.color.green, p.color.blue)))
        return;
    QPolygon poly;
    poly.reserve(static_cast<int>(points.size()));
    for (const auto &p : points)
        poly << QPoint(p.x, p.y);
    usePen();
    painter_.drawPolyline(poly);
}

void QtCanvas::rectangle(const Rect &rect)
{
    fillRect(rect, brush());
    if (pen().style == PenStyle::None)
        return;
    usePen();
    // Qt centres the outline on the path; shift it so it covers the rectangle's border pixels
    // (inside-frame pens lie wholly inside, as GDI draws them).
    const double w = std::max(1, pen().width);
    const double inset = pen().insideFrame ? w / 2.0 : 0.5;
    painter_.drawRect(QRectF(rect.left + inset, rect.top + inset, rect.width() - 2 * inset,
                             rect.height() - 2 * inset));
}

void QtCanvas::text(Point at, const std::string &text)
{
    painter_.setPen(qcolor(textColor()));
    painter_.setBackgroundMode(Qt::TransparentMode);
    painter_.drawText(QRect(at.x, at.y, size().width, size().height), Qt::AlignLeft | Qt::AlignTop,
                      QString::fromStdString(text));
}

} // namespace fw
