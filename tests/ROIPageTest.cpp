// The ROI page and its rectangle view: what a showing reads, the acceptance rules of "Set Area"
// at their bounds and steps, the order of the camera writes around a playing camera, spin steps,
// Return in the fields, the packet-size group per camera kind, and the view's mouse mapping,
// snapping and clamping checked on its recorded drawing.
#include "TestSupport.h"

#include "app/CControlBasePane.h"
#include "app/CCameraInfoBasePane.h"
#include "framework/headless/HeadlessCanvasPeer.h"
#include "pages/CGeneralSettingDlg.h"
#include "pages/CROIDlg.h"
#include "pages/CRectView.h"
#include "view/CMolvaneView.h"

using cam::Dispid;
using namespace res;
using Op = fw::DrawCall::Op;

class ROIPage : public AppFixture {
protected:
    // Opens camera `line` and shows the ROI page for it.
    CROIDlg &page(int line)
    {
        view = open(line);
        if (!frame().m_pControlPane) {
            frame().routeCommand(CmdCameraControl);
            frame().m_pControlPane->ShowPage(CControlBasePane::Page::Roi);
        } else {  // as the new window's first drawing does
            frame().m_pCameraInfoPane->m_dlg.ShowCameraState();
            frame().m_pControlPane->RefreshPages();
        }
        return *frame().m_pControlPane->m_pROIDlg;
    }
    // A 1394 camera switched to its first Format7 mode on the Format page, then the ROI page.
    CROIDlg &format7Page()
    {
        view = open(1);
        frame().routeCommand(CmdCameraControl);
        CGeneralSettingDlg &format = *frame().m_pControlPane->m_pFormatDlg;
        format.form().setSelection(FmtPixelFormat, 4);
        format.dispatch(fw::Notify::SelChange, FmtPixelFormat);
        frame().m_pControlPane->ShowPage(CControlBasePane::Page::Roi);
        return *frame().m_pControlPane->m_pROIDlg;
    }
    static void type(CROIDlg &p, int x0, int y0, int x1, int y1)
    {
        p.form().setText(RoiStartX, std::to_string(x0));
        p.form().setText(RoiStartY, std::to_string(y0));
        p.form().setText(RoiEndX, std::to_string(x1));
        p.form().setText(RoiEndY, std::to_string(y1));
    }
    static void spin(CROIDlg &p, int id, int way)
    {
        p.form().setPos(id, p.form().pos(id) + way);  // the spin's own single step
        p.dispatch(fw::Notify::SpinDelta, id);
    }
    static bool enter(CROIDlg &p, int focus)
    {
        fw::KeyEvent key;
        key.key = fw::Key::Enter;
        key.controlId = focus;
        return p.preTranslateKey(key);
    }
    std::vector<std::string> balloons() const
    {
        std::vector<std::string> out;
        for (const auto &b : platform.balloons())
            out.push_back(b.text);
        return out;
    }
    fw::HeadlessCanvasPeer &canvas() const
    {
        return *dynamic_cast<fw::HeadlessCanvasPeer *>(g_pRectView->peer());
    }
    fw::Rect drawnRegion() const
    {
        const auto rects = canvas().drawing().callsOf(Op::Rectangle);
        return rects.empty() ? fw::Rect{-1, -1, -1, -1} : rects.back().rect;
    }
    CMolvaneView *view = nullptr;
};

TEST_F(ROIPage, ShowingReadsRegionUnitsAndPacketStateForEachCameraKind)
{
    start(3);
    CROIDlg &p = page(0);  // GigE, 1280 x 960, Width step 8, Height step 2
    const fw::Form &f = p.form();
    EXPECT_EQ(f.text(RoiUnitX), "8");
    EXPECT_EQ(f.text(RoiUnitY), "2");
    EXPECT_EQ(f.text(RoiSizeX), "1280");
    EXPECT_EQ(f.text(RoiEndY), "960");
    EXPECT_EQ(f.state(RoiEndXSpin).rangeMax, 1280);
    EXPECT_EQ(view->m_nRoiWidth, 1280);
    EXPECT_FALSE(f.isEnabled(RoiPacket));
    EXPECT_FALSE(f.isEnabled(RoiPacketSet));
    EXPECT_TRUE(f.isEnabled(RoiSetArea));
    ASSERT_NE(g_pRectView, nullptr);
    EXPECT_TRUE(g_pRectView->isWindowVisible());
    EXPECT_EQ(drawnRegion().right, 160);
    EXPECT_EQ(drawnRegion().bottom, 120);
    // A 1394 camera in a fixed video format: no region, no packet size, no picture.
    CROIDlg &q = page(1);
    EXPECT_FALSE(q.form().isEnabled(RoiSetArea));
    EXPECT_FALSE(q.form().isEnabled(RoiStartX));
    EXPECT_FALSE(q.form().isEnabled(RoiPacketSet));
    EXPECT_FALSE(g_pRectView->isWindowVisible());
}

TEST_F(ROIPage, Format7ShowsPacketBoundsAndTheSetRefusesOffStepValues)
{
    start(3);
    CROIDlg &p = format7Page();
    const fw::Form &f = p.form();
    ASSERT_TRUE(f.isEnabled(RoiPacketSet));
    EXPECT_TRUE(g_pRectView->isWindowVisible());
    EXPECT_EQ(f.text(RoiPacketBounds), "[ 64 ~ 4096 ]");
    EXPECT_EQ(f.text(RoiPacket), "4096");
    // The spin moves by 4 and stays within the bounds.
    spin(p, RoiPacketSpin, -1);
    EXPECT_EQ(f.text(RoiPacket), "4092");
    spin(p, RoiPacketSpin, +1);
    EXPECT_EQ(f.pos(RoiPacketSpin), 4096);
    cam::CMolvane &c = *view->m_pCamera;
    p.form().setText(RoiPacket, "1026");
    p.dispatch(fw::Notify::Clicked, RoiPacketSet);
    EXPECT_EQ(balloons(), std::vector<std::string>{"Unavailable Byte per packet value"});
    EXPECT_EQ(c.GetBytePerPacket(), 4096);
    for (const char *refused : {"60", "4100"}) {
        p.form().setText(RoiPacket, refused);
        p.dispatch(fw::Notify::Clicked, RoiPacketSet);
    }
    EXPECT_EQ(platform.balloons().size(), 3u);
    p.form().setText(RoiPacket, "1024");
    EXPECT_TRUE(enter(p, RoiPacket));  // Return in the packet edit sets it
    EXPECT_EQ(c.GetBytePerPacket(), 1024);
    // A new region on a playing Format7 camera goes with the largest packet again.
    frame().routeCommand(CmdPlay);
    c.callLog().clear();
    type(p, 0, 0, 512, 384);
    p.dispatch(fw::Notify::Clicked, RoiSetArea);
    EXPECT_EQ(puts(c, {Dispid::Acquisition, Dispid::ImageHeight, Dispid::BytePerPacket}),
              (std::vector<int>{12, 5, 7, 12}));
    EXPECT_EQ(c.GetBytePerPacket(), 4096);
    EXPECT_EQ(f.text(RoiPacket), "4096");
    EXPECT_EQ(c.GetImageWidth(), 512);
}

TEST_F(ROIPage, SetAreaAcceptsOnlyRegionsOnTheStepAndWithinTheSensor)
{
    start(1);
    CROIDlg &p = page(0);
    cam::CMolvane &c = *view->m_pCamera;
    const auto refused = [&](int x0, int y0, int x1, int y1) {
        platform.clearRecords();
        c.callLog().clear();
        type(p, x0, y0, x1, y1);
        p.dispatch(fw::Notify::Clicked, RoiSetArea);
        const bool wasRefused = balloons() == std::vector<std::string>{"ROI size error"};
        EXPECT_TRUE(puts(c, {Dispid::OffsetX, Dispid::ImageWidth}).empty() || !wasRefused);
        return wasRefused;
    };
    EXPECT_TRUE(refused(4, 0, 640, 480));      // start off the Width step
    EXPECT_TRUE(refused(0, 0, 644, 480));      // end off the step
    EXPECT_TRUE(refused(0, 1, 640, 480));      // start off the Height step
    EXPECT_TRUE(refused(0, 0, 1288, 480));     // past the sensor
    EXPECT_TRUE(refused(0, 0, 640, 962));
    EXPECT_TRUE(refused(1240, 0, 1280, 480));  // no room left for the smallest width
    // After a refusal the page shows the camera's region again.
    EXPECT_EQ(p.form().text(RoiEndX), "1280");
    EXPECT_FALSE(refused(1232, 912, 1280, 960));  // the smallest region at the far corner
    EXPECT_EQ(c.GetOffsetX(), 1232);
    EXPECT_EQ(c.GetImageHeight(), 48);
    EXPECT_FALSE(refused(0, 0, 1280, 960));  // and back to the whole sensor
    EXPECT_EQ(c.GetImageWidth(), 1280);
    EXPECT_EQ(c.GetOffsetX(), 0);
}

TEST_F(ROIPage, SetAreaStopsWritesInOrderAndRestartsAPlayingCamera)
{
    start(1);
    CROIDlg &p = page(0);
    frame().routeCommand(CmdPlay);
    cam::CMolvane &c = *view->m_pCamera;
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 2; }));
    c.callLog().clear();
    type(p, 640, 480, 960, 720);
    p.dispatch(fw::Notify::Clicked, RoiSetArea);
    EXPECT_EQ(puts(c, {Dispid::Acquisition, Dispid::OffsetX, Dispid::OffsetY, Dispid::ImageWidth,
                       Dispid::ImageHeight, Dispid::OverlayEnable}),
              (std::vector<int>{12, 2, 3, 4, 5, 12, 37}));
    EXPECT_EQ(c.GetOffsetX(), 640);
    EXPECT_EQ(c.GetImageWidth(), 320);
    EXPECT_EQ(view->m_nRoiWidth, 320);
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(InfoWidth), "320");
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(InfoHeight), "240");
    // The live image has the new size at once.
    const auto before = view->m_nFrameCount;
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount > before + 1; }));
    ASSERT_NE(c.currentFrame(), nullptr);
    EXPECT_EQ(c.currentFrame()->width, 320);
    EXPECT_EQ(c.currentFrame()->height, 240);
    // Too small but on the step: refused after the stop, the camera plays on untouched.
    c.callLog().clear();
    type(p, 200, 0, 240, 240);
    p.dispatch(fw::Notify::Clicked, RoiSetArea);
    EXPECT_EQ(balloons(), std::vector<std::string>{"ROI size error"});
    EXPECT_EQ(puts(c, {Dispid::Acquisition, Dispid::OffsetX, Dispid::ImageWidth, Dispid::OverlayEnable}),
              (std::vector<int>{12, 12, 37}));
    EXPECT_EQ(c.GetImageWidth(), 320);
    EXPECT_EQ(p.form().text(RoiEndX), "960");  // reloaded from the camera
}

TEST_F(ROIPage, SpinsStepByTheUnitShortcutsMoveCornersAndReturnSetsTheArea)
{
    start(1);
    CROIDlg &p = page(0);
    cam::CMolvane &c = *view->m_pCamera;
    const fw::Form &f = p.form();
    type(p, 16, 0, 1280, 960);
    p.dispatch(fw::Notify::Clicked, RoiSetArea);
    ASSERT_EQ(c.GetOffsetX(), 16);
    spin(p, RoiStartXSpin, +1);
    EXPECT_EQ(f.text(RoiStartX), "24");
    EXPECT_EQ(f.text(RoiSizeX), "1256");
    spin(p, RoiStartYSpin, +1);  // Y moves by its own unit
    EXPECT_EQ(f.text(RoiStartY), "2");
    EXPECT_EQ(g_pRectView->region().left, 3);  // 24 / 8
    spin(p, RoiEndXSpin, -1);
    EXPECT_EQ(f.text(RoiEndX), "1272");
    EXPECT_EQ(c.GetOffsetX(), 16);  // nothing reached the camera yet
    // Shortcuts.
    p.dispatch(fw::Notify::Clicked, RoiStartZero);
    EXPECT_EQ(f.text(RoiStartX), "0");
    EXPECT_EQ(f.text(RoiSizeY), "960");
    p.dispatch(fw::Notify::Clicked, RoiEndMax);
    EXPECT_EQ(f.text(RoiEndX), "1280");
    EXPECT_EQ(g_pRectView->region().right, 160);
    // Return in End X above the maximum: its own balloon, then "Set Area" refuses the region.
    type(p, 0, 0, 1296, 960);
    EXPECT_TRUE(enter(p, RoiEndX));
    EXPECT_EQ(balloons(), (std::vector<std::string>{"Unavailable EndX value", "ROI size error"}));
    platform.clearRecords();
    type(p, 0, 0, 640, 962);
    EXPECT_TRUE(enter(p, RoiEndY));
    EXPECT_EQ(balloons(), (std::vector<std::string>{"Unavailable EndY value", "ROI size error"}));
    // Return in a start field applies it and sets the area.
    type(p, 0, 0, 640, 480);
    p.form().setText(RoiStartX, "320");
    EXPECT_TRUE(enter(p, RoiStartX));
    EXPECT_EQ(c.GetOffsetX(), 320);
    EXPECT_EQ(c.GetImageWidth(), 320);
    fw::KeyEvent escape;
    escape.key = fw::Key::Escape;
    EXPECT_TRUE(p.preTranslateKey(escape));
}

TEST_F(ROIPage, DrawingMapsSnapsToTheStepAndReachesOnlyTheFields)
{
    start(1);
    CROIDlg &p = page(0);  // 1280 x 960 on 160 x 120: 8 sensor pixels a view pixel
    cam::CMolvane &c = *view->m_pCamera;
    c.callLog().clear();
    fw::HeadlessCanvasPeer &v = canvas();
    EXPECT_FLOAT_EQ(g_pRectView->scaleX(), 8.0f);
    v.pressLeft({10, 10});  // sensor (80, 80)
    EXPECT_TRUE(v.mouseCaptured());
    EXPECT_EQ(p.form().text(RoiStartX), "80");
    EXPECT_EQ(drawnRegion().right, 11);  // one grid cell
    v.moveMouse({300, 70});  // confined to the view: x 159
    EXPECT_EQ(p.form().text(RoiEndX), "1272");
    EXPECT_EQ(p.form().text(RoiSizeX), "1192");
    v.releaseLeft({100, 75});  // sensor (800, 600): rounded up to the next grid line
    EXPECT_FALSE(v.mouseCaptured());
    EXPECT_EQ(p.form().text(RoiEndX), "808");
    EXPECT_EQ(p.form().text(RoiEndY), "602");
    EXPECT_EQ(p.form().text(RoiSizeX), "728");
    const fw::Rect drawn = drawnRegion();
    EXPECT_EQ(drawn.left, 10);
    EXPECT_EQ(drawn.top, 10);
    EXPECT_EQ(drawn.right, 101);
    EXPECT_EQ(drawn.bottom, 75);
    const auto fill = canvas().drawing().callsOf(Op::Rectangle).back();
    EXPECT_EQ(fill.brush.color, (fw::Color{255, 255, 150}));
    EXPECT_EQ(fill.pen.width, 2);
    // The same region drawn from right to left, bottom to top.
    v.pressLeft({100, 75});
    v.releaseLeft({10, 10});
    EXPECT_EQ(p.form().text(RoiStartX), "80");
    EXPECT_EQ(p.form().text(RoiEndX), "808");
    EXPECT_EQ(p.form().text(RoiStartY), "80");
    EXPECT_EQ(p.form().text(RoiEndY), "602");
    EXPECT_EQ(drawnRegion().left, 10);
    EXPECT_EQ(drawnRegion().right, 101);
    EXPECT_TRUE(puts(c, {Dispid::OffsetX, Dispid::OffsetY, Dispid::ImageWidth, Dispid::ImageHeight}).empty());
    p.dispatch(fw::Notify::Clicked, RoiSetArea);
    EXPECT_EQ(c.GetImageWidth(), 728);
    EXPECT_EQ(c.GetOffsetY(), 80);
    // A region under 60 sensor pixels: "ROI size error" and the camera's region comes back.
    v.pressLeft({20, 20});
    v.releaseLeft({26, 60});  // 56 wide
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.messageBoxes()[0].text, "ROI size error");
    EXPECT_EQ(platform.messageBoxes()[0].icon, fw::MsgIcon::Exclamation);
    EXPECT_EQ(p.form().text(RoiStartX), "80");
    EXPECT_EQ(drawnRegion().left, 10);
}

TEST_F(ROIPage, MovingKeepsTheSizeStopsAtTheBordersAndSnapsOnRelease)
{
    start(1);
    CROIDlg &p = page(0);
    type(p, 160, 160, 480, 400);
    p.dispatch(fw::Notify::Clicked, RoiSetArea);
    p.dispatch(fw::Notify::Clicked, RoiMode);
    EXPECT_EQ(p.m_nRectMode, 1);
    EXPECT_EQ(p.form().text(RoiMode), "Move");
    fw::HeadlessCanvasPeer &v = canvas();
    ASSERT_EQ(drawnRegion().left, 20);
    v.pressLeft({5, 5});  // outside the region: no drag
    v.moveMouse({50, 50});
    v.releaseLeft({50, 50});
    EXPECT_EQ(p.form().text(RoiStartX), "160");
    v.pressLeft({30, 30});  // 10 px into the region
    v.moveMouse({33, 31});  // by (3, 1) view pixels
    EXPECT_EQ(p.form().text(RoiStartX), "184");
    EXPECT_EQ(p.form().text(RoiEndX), "504");  // the size read at the press stays
    v.moveMouse({500, 500});  // against the right and bottom borders
    EXPECT_EQ(p.form().text(RoiEndX), "1280");
    EXPECT_EQ(p.form().text(RoiStartX), "960");
    EXPECT_EQ(p.form().text(RoiEndY), "960");
    EXPECT_EQ(drawnRegion().right, 161);
    v.moveMouse({-50, -50});  // and the left and top ones
    EXPECT_EQ(drawnRegion().left, 0);
    EXPECT_EQ(p.form().text(RoiStartY), "0");
    v.moveMouse({33, 33});  // somewhere off the grid: sensor (184, 184) -> nearest lines
    v.releaseLeft({33, 33});
    EXPECT_EQ(p.form().text(RoiStartX), "184");
    EXPECT_EQ(p.form().text(RoiSizeX), "320");
    EXPECT_FALSE(g_pRectView->dragging());
}

TEST_F(ROIPage, TheGridShowsOnlyWhenBothStepsExceedThreeViewPixels)
{
    start(1);
    CROIDlg &p = page(0);
    EXPECT_EQ(canvas().drawing().count(Op::Line), 0u);  // unit 8 over scale 8: 1 pixel
    p.m_nUnitX = 64;  // 8 view pixels across
    p.m_nUnitY = 32;  // 4 down
    g_pRectView->invalidate();
    const auto lines = canvas().drawing().callsOf(Op::Line);
    ASSERT_EQ(lines.size(), 19u + 29u);
    EXPECT_EQ(lines[0].points[0].x, 8);
    EXPECT_EQ(lines[0].points[1].y, 120);
    EXPECT_EQ(lines[0].pen.style, fw::PenStyle::Dot);
    EXPECT_EQ(lines[0].background, (fw::Color{0, 0, 255}));
    EXPECT_EQ(lines[19].points[0].y, 4);
    EXPECT_EQ(lines[19].points[1].x, 160);
    p.m_nUnitY = 24;  // 3 down exactly: no grid at all
    g_pRectView->invalidate();
    EXPECT_EQ(canvas().drawing().count(Op::Line), 0u);
}

TEST_F(ROIPage, RegionWritesInAnyOrderAreNeverRefusedOnTheWay)
{
    start(1);  // 1280 x 960, Width step 8, Height step 2
    view = open(0);
    cam::CMolvane &c = *view->m_pCamera;
    // Moving right while shrinking: the offset comes first, the camera's width makes room.
    c.SetOffsetX(1000);
    EXPECT_EQ(c.GetOffsetX(), 1000);
    EXPECT_EQ(c.GetImageWidth(), 280);
    c.SetImageWidth(96);
    EXPECT_EQ(c.GetImageWidth(), 96);
    // Growing from there with the size first: the offset moves back as far as needed.
    c.SetImageWidth(1200);
    EXPECT_EQ(c.GetImageWidth(), 1200);
    EXPECT_EQ(c.GetOffsetX(), 80);
    c.SetIntValue("OffsetY", 100);  // by name too
    EXPECT_EQ(c.GetImageHeight(), 860);
    // The region then frames what the camera sends.
    frame().routeCommand(CmdPlay);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 2; }));
    ASSERT_NE(c.currentFrame(), nullptr);
    EXPECT_EQ(c.currentFrame()->width, 1200);
    EXPECT_EQ(c.currentFrame()->height, 860);
    frame().routeCommand(CmdStop);
    // A value that cannot fit at all is refused, and the region stays as it was.
    EXPECT_NE(codeOf([&] { c.SetOffsetX(1240); }), 0);
    EXPECT_EQ(c.GetImageWidth(), 1200);
    EXPECT_EQ(c.GetOffsetX(), 80);
}

// Every bad entry in each corner field, set with "Set Area" and with Return in the field, and in
// the packet field of a Format7 camera: refused with its balloon before the camera is touched, or
// read as a number that makes a region inside the sensor; the camera's region always fits it.
TEST_F(ROIPage, BadNumbersInEveryFieldLeaveTheCamerasRegionInsideTheSensor)
{
    start(3);
    CROIDlg &f7 = format7Page();
    cam::CMolvane &c7 = *view->m_pCamera;
    for (const std::string &text : badNumbers()) {
        SCOPED_TRACE(text);
        f7.form().setText(RoiPacket, text);
        const Mark m = mark(&c7);
        f7.dispatch(fw::Notify::Clicked, RoiPacketSet);
        EXPECT_EQ(shownSince(m), std::vector<std::string>{"Unavailable Byte per packet value"});
        EXPECT_EQ(callsSince(c7, m, {Dispid::BytePerPacket}), 0);
    }
    CROIDlg &p = page(0);
    cam::CMolvane &c = *view->m_pCamera;
    const int maxW = c.GetMaxWidth(), maxH = c.GetMaxHeight();
    const std::vector<cam::Dispid> region = {Dispid::OffsetX, Dispid::OffsetY, Dispid::ImageWidth,
                                             Dispid::ImageHeight};
    const std::vector<std::string> refusals = {"ROI size error", "Unavailable EndX value", "Unavailable EndY value"};
    for (int field : {RoiStartX, RoiStartY, RoiEndX, RoiEndY}) {
        for (const std::string &text : badNumbers()) {
            for (bool byReturn : {false, true}) {
                SCOPED_TRACE(std::to_string(field) + " <- \"" + text + "\"" + (byReturn ? " Return" : " Set"));
                type(p, 0, 0, 640, 480);
                p.form().setText(field, text);
                const Mark m = mark(&c);
                if (byReturn)
                    enter(p, field);
                else
                    p.dispatch(fw::Notify::Clicked, RoiSetArea);
                for (const std::string &s : shownSince(m))
                    EXPECT_NE(std::find(refusals.begin(), refusals.end(), s), refusals.end()) << s;
                if (!shownSince(m).empty()) {
                    EXPECT_EQ(callsSince(c, m, region), 0);
                }
                EXPECT_GE(c.GetOffsetX(), 0);
                EXPECT_GE(c.GetOffsetY(), 0);
                EXPECT_LE(c.GetOffsetX() + c.GetImageWidth(), maxW);
                EXPECT_LE(c.GetOffsetY() + c.GetImageHeight(), maxH);
            }
        }
    }
}
