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
