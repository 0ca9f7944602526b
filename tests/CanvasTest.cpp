// Views that draw themselves, headless: every drawing call is recorded with the pen, brush and
// background it was made with; the left button reaches the view, confined while captured.
#include "SketchWindow.h"

#include "framework/headless/HeadlessCanvasPeer.h"
#include "framework/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

using Op = fw::DrawCall::Op;

TEST(Canvas, RecordsEachCallWithItsStateAndRedrawsOnInvalidate)
{
    fw::HeadlessPlatform platform;
    SketchWindow w;
    ASSERT_TRUE(w.create(sketchSpec()));
    auto *peer = dynamic_cast<fw::HeadlessCanvasPeer *>(w.peer());
    ASSERT_NE(peer, nullptr);
    EXPECT_TRUE(peer->drawing().calls().empty());  // nothing drawn before the first redraw
    w.invalidate();
    const fw::RecordingCanvas &d = peer->drawing();
    EXPECT_EQ(d.size().width, 80);
    ASSERT_EQ(d.calls().size(), 4u);
    const fw::DrawCall &grid = d.calls()[0];
    EXPECT_EQ(grid.op, Op::Line);
    EXPECT_EQ(grid.pen.style, fw::PenStyle::Dot);
    EXPECT_EQ(grid.background, (fw::Color{0, 0, 255}));
    const auto rects = d.callsOf(Op::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect.left, 10);
    EXPECT_EQ(rects[0].rect.bottom, 40);
    EXPECT_EQ(rects[0].brush.color, (fw::Color{255, 255, 150}));
    EXPECT_TRUE(rects[0].pen.insideFrame);
    EXPECT_EQ(rects[0].background, (fw::Color{255, 255, 255}));  // the old background came back
    EXPECT_EQ(d.callsOf(Op::Polyline)[0].points.size(), 3u);
    EXPECT_EQ(d.callsOf(Op::Text)[0].text, "ROI");
    // A redraw replaces the drawing, it does not pile up.
    w.box = {0, 0, 5, 5};
    w.invalidate();
    ASSERT_EQ(peer->drawing().count(Op::Rectangle), 1u);
    EXPECT_EQ(peer->drawing().callsOf(Op::Rectangle)[0].rect.right, 5);
}

TEST(Canvas, CapturedMouseStaysInsideTheClientUntilReleased)
{
    fw::HeadlessPlatform platform;
    SketchWindow w;
    ASSERT_TRUE(w.create(sketchSpec()));
    auto *peer = dynamic_cast<fw::HeadlessCanvasPeer *>(w.peer());
    peer->moveMouse({200, 200});  // not captured: the point goes as it is
    peer->pressLeft({30, 30});
    EXPECT_TRUE(peer->mouseCaptured());
    peer->moveMouse({-20, 300});
    peer->releaseLeft({500, 10});
    EXPECT_FALSE(peer->mouseCaptured());
    ASSERT_EQ(w.moved.size(), 2u);
    EXPECT_EQ(w.moved[0].x, 200);
    EXPECT_EQ(w.moved[1].x, 0);
    EXPECT_EQ(w.moved[1].y, 59);
    ASSERT_EQ(w.released.size(), 1u);
    EXPECT_EQ(w.released[0].x, 79);
}
