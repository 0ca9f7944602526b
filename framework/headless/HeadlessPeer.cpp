// A window peer without a screen.
#include "framework/headless/HeadlessPeer.h"

#include "framework/Resources.h"

namespace fw {

HeadlessPeer::HeadlessPeer(const WindowSpec &params)
    : visible_(params.visible), rect_(params.rect), title_(params.caption), templateId_(params.templateId)
{
}

Rect HeadlessPeer::controlScreenRect(int controlId) const
{
    if (const DialogTemplate *t = findDialog(templateId_)) {
        for (const auto &c : t->controls) {
            if (c.id == controlId) {
                Point p = clientToScreen({dluToPixelsX(c.x), dluToPixelsY(c.y)});
                return {p.x, p.y, p.x + dluToPixelsX(c.width), p.y + dluToPixelsY(c.height)};
            }
        }
    }
    Point p = clientToScreen({0, 0});
    return {p.x, p.y, p.x + rect_.width(), p.y + rect_.height()};
}

} // namespace fw
