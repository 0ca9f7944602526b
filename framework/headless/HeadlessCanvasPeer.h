// The peer of a window that draws itself, without a screen: each redraw is recorded, and a test
// presses, moves and releases the left button on it.
#pragma once

#include "framework/headless/HeadlessPeer.h"
#include "framework/headless/RecordingCanvas.h"

namespace fw {

class HeadlessCanvasPeer : public HeadlessPeer {
public:
    HeadlessCanvasPeer(const WindowSpec &params, Window &window);

    // Redraws at once, so the drawing always shows the window's latest state.
    void invalidate() override;
    void captureMouse(bool capture) override { captured_ = capture; }
    void setScrollExtent(Size extent) override { extent_ = extent; }
    Rect clientRect() const override;
    Rect visibleRect() const override;

    bool mouseCaptured() const { return captured_; }
    const RecordingCanvas &drawing() const { return drawing_; }

    // The left button as the operator uses it; while captured the pointer stays in the client.
    void pressLeft(Point client);
    void moveMouse(Point client);
    void releaseLeft(Point client);
    // Scrolls so that `position` of the client is at the top left; `dragged` as the operator
    // dragging a scroll box does, otherwise as the arrows and the wheel do.
    void scrollTo(Point position, bool dragged);

private:
    Point confined(Point p) const;

    Window &window_;
    RecordingCanvas drawing_;
    bool captured_ = false;
    Size extent_;
    Point scroll_;
};

} // namespace fw
