// A window peer without a screen: remembers what the logic asked of it.
#pragma once

#include "framework/Window.h"

namespace fw {

class HeadlessPeer : public WindowPeer {
public:
    explicit HeadlessPeer(const WindowSpec &params);
    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    void setGeometry(const Rect &rect) override { rect_ = rect; }
    Rect geometry() const override { return rect_; }
    Rect clientRect() const override { return {0, 0, rect_.width(), rect_.height()}; }
    void setTitle(const std::string &title) override { title_ = title; }
    std::string title() const override { return title_; }
    Rect controlScreenRect(int controlId) const override;
    Point clientToScreen(Point p) const override { return {p.x + rect_.left, p.y + rect_.top}; }
    void invalidate() override { ++invalidations_; }
    int invalidations() const { return invalidations_; }

private:
    bool visible_;
    Rect rect_;
    std::string title_;
    int templateId_;
    int invalidations_ = 0;
};

} // namespace fw
