// The peer of a window that draws itself, without a screen.
#include "framework/headless/HeadlessCanvasPeer.h"

#include "framework/ErrorReport.h"

#include <algorithm>

namespace fw {

HeadlessCanvasPeer::HeadlessCanvasPeer(const WindowSpec &params, Window &window)
    : HeadlessPeer(params), window_(window), drawing_({params.rect.width(), params.rect.height()})
{
}

void HeadlessCanvasPeer::invalidate()
{
    HeadlessPeer::invalidate();
    const Rect r = clientRect();
    drawing_ = RecordingCanvas({r.width(), r.height()});
    guarded([this] { window_.onPaint(drawing_); });
}

Rect HeadlessCanvasPeer::clientRect() const
{
    const Rect r = HeadlessPeer::clientRect();
    return {0, 0, std::max(r.width(), extent_.width), std::max(r.height(), extent_.height)};
}

Rect HeadlessCanvasPeer::visibleRect() const
{
    const Rect own = HeadlessPeer::clientRect();
    return {scroll_.x, scroll_.y, scroll_.x + own.width(), scroll_.y + own.height()};
}

void HeadlessCanvasPeer::scrollTo(Point position, bool dragged)
{
    const Rect all = clientRect(), own = HeadlessPeer::clientRect();
    scroll_ = {std::clamp(position.x, 0, all.width() - own.width()),
               std::clamp(position.y, 0, all.height() - own.height())};
    if (dragged)
        guarded([this] { window_.onScrollDrag(scroll_); });
}

Point HeadlessCanvasPeer::confined(Point p) const
{
    if (!captured_)
        return p;
    const Rect r = clientRect();
    return {std::clamp(p.x, 0, std::max(0, r.width() - 1)), std::clamp(p.y, 0, std::max(0, r.height() - 1))};
}

void HeadlessCanvasPeer::pressLeft(Point client)
{
    guarded([&] { window_.onLButtonDown(client); });
}

void HeadlessCanvasPeer::moveMouse(Point client)
{
    const Point p = confined(client);
    guarded([&] { window_.onMouseMove(p); });
}

void HeadlessCanvasPeer::releaseLeft(Point client)
{
    const Point p = confined(client);
    guarded([&] { window_.onLButtonUp(p); });
}

} // namespace fw
