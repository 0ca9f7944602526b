// Solid one-pixel polylines written straight into a raster image.
#include "framework/qt/DirectPolyline.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace fw {

namespace {

// Points further out than this are left to Qt, which clips lines before walking them.
constexpr int kReach = 1 << 15;

struct Target {
    uint32_t *bits;
    qsizetype stride;  // in pixels
    int left, top, right, bottom;  // the clip, edges included
    uint32_t colour;
};

// `n` pixels from `p` on, `step` pixels apart.
void drawRun(uint32_t *p, int n, qsizetype step, uint32_t colour)
{
    for (; n > 0; --n, p += step)
        *p = colour;
}

// A segment at most one pixel across in one direction, as nearly every segment of a plot of
// one value a pixel is, is two straight runs split at its middle.
bool drawTwoRuns(const Target &t, QPoint a, QPoint b)
{
    const int dx = b.x() - a.x(), dy = b.y() - a.y();
    if (std::abs(dx) > 1 && std::abs(dy) > 1)
        return false;
    const bool steep = std::abs(dy) > std::abs(dx);
    const int along0 = steep ? a.y() : a.x(), along1 = steep ? b.y() : b.x();
    const int mid = along0 + (along1 - along0) / 2;
    const int dir = along1 >= along0 ? 1 : -1;
    const qsizetype step = (steep ? t.stride : 1) * dir;
    drawRun(&t.bits[a.y() * t.stride + a.x()], std::abs(mid - along0) + 1, step, t.colour);
    if (mid != along1) {
        const int first = mid + dir;  // the second run starts beside the first, on b's line
        const qsizetype at = steep ? first * t.stride + b.x() : b.y() * t.stride + first;
        drawRun(&t.bits[at], std::abs(along1 - first) + 1, step, t.colour);
    }
    return true;
}

// Bresenham's line from `a` to `b`, both ends included, pixels outside the clip skipped. A
// segment wholly inside the clip, as nearly all are, is walked without testing each pixel.
void drawSegment(const Target &t, QPoint a, QPoint b)
{
    const int minX = std::min(a.x(), b.x()), maxX = std::max(a.x(), b.x());
    const int minY = std::min(a.y(), b.y()), maxY = std::max(a.y(), b.y());
    if (maxX < t.left || minX > t.right || maxY < t.top || minY > t.bottom)
        return;
    const bool inside = minX >= t.left && maxX <= t.right && minY >= t.top && maxY <= t.bottom;
    if (inside && drawTwoRuns(t, a, b))
        return;
    const int dx = maxX - minX, dy = minY - maxY;
    const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy, x = a.x(), y = a.y();
    for (;;) {
        if (inside || (x >= t.left && x <= t.right && y >= t.top && y <= t.bottom))
            t.bits[y * t.stride + x] = t.colour;
        if (x == b.x() && y == b.y())
            return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// The image the painter's raster engine draws on, when it may be written directly.
QImage *writableImage(QPainter &painter)
{
    if (painter.hasClipping() || painter.testRenderHint(QPainter::Antialiasing) ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || painter.opacity() < 1.0)
        return nullptr;
    QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return nullptr;
    QPaintDevice *device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto *image = static_cast<QImage *>(device);
    const QImage::Format f = image->format();
    const bool plain = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
                       f == QImage::Format_ARGB32_Premultiplied;
    // A shared image would be copied by bits(), away from the buffer the engine draws on.
    return plain && image->isDetached() ? image : nullptr;
}

} // namespace

bool drawPolylineDirect(QPainter &painter, const std::vector<Point> &points, QRgb colour)
{
    if (points.empty())
        return false;
    QImage *image = writableImage(painter);
    const QTransform &m = painter.deviceTransform();
    if (!image || m.type() > QTransform::TxTranslate || m.dx() != std::floor(m.dx()) ||
        m.dy() != std::floor(m.dy()) || std::abs(m.dx()) > kReach || std::abs(m.dy()) > kReach)
        return false;
    const QPoint shift(static_cast<int>(m.dx()), static_cast<int>(m.dy()));
    const auto far = [](int v) { return v < -kReach || v > kReach; };
    if (std::any_of(points.begin(), points.end(), [&](const Point &p) { return far(p.x) || far(p.y); }))
        return false;
    // The region being painted, in the image's pixels; none set means all of it.
    QRegion region = painter.paintEngine()->systemClip();
    region = region.isEmpty() ? QRegion(image->rect()) : region.intersected(image->rect());
    Target t{reinterpret_cast<uint32_t *>(image->bits()), image->bytesPerLine() / 4, 0, 0, 0, 0,
             0xFF000000u | colour};
    for (const QRect &clip : region) {
        t.left = clip.left();
        t.top = clip.top();
        t.right = clip.right();
        t.bottom = clip.bottom();
        QPoint from = QPoint(points.front().x, points.front().y) + shift;
        if (points.size() == 1)
            drawSegment(t, from, from);
        for (size_t i = 1; i < points.size(); ++i) {
            const QPoint to = QPoint(points[i].x, points[i].y) + shift;
            drawSegment(t, from, to);
            from = to;
        }
    }
    return true;
}

} // namespace fw
