// The histogram and line profile viewers and the frame feed that serves them.
#include "TestSupport.h"

#include "analysis/AnalysisWindows.h"
#include "analysis/CFrameFeed.h"
#include "analysis/CHistoDlg.h"
#include "analysis/CHistogramView.h"
#include "analysis/CHorizonDlg.h"
#include "analysis/CVerticalDlg.h"
#include "analysis/FrameAnalysis.h"
#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "framework/headless/HeadlessCanvasPeer.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <cstring>

namespace {

using Op = fw::DrawCall::Op;

const fw::RecordingCanvas &drawing(fw::Window &view)
{
    return dynamic_cast<fw::HeadlessCanvasPeer &>(*view.peer()).drawing();
}

std::vector<fw::DrawCall> curvesOf(fw::Window &view) { return drawing(view).callsOf(Op::Polyline); }

// A frame of `width` x `height` pixels of the given format, every byte `value`.
cam::FrameBuffer flatFrame(cam::PixelFormat format, int width, int height, int bytesPerPixel, int value)
{
    cam::FrameBuffer f;
    f.format = format;
    f.width = width;
    f.height = height;
    f.size = static_cast<size_t>(width) * height * bytesPerPixel;
    f.data.assign(f.size, static_cast<uint8_t>(value));
    return f;
}

} // namespace

class Analysis : public AppFixture {
protected:
    void command(int id)
    {
        frame().routeCommand(id);
        platform.processEvents();
    }
    CHistoDlg &histogram()
    {
        command(res::CmdHistogram);
        return *g_pHistoDlg;
    }
    std::vector<std::string> channels() { return g_pHistoDlg->form().items(res::HistoChannel); }
    void activate(CMolvaneView *view)
    {
        platform.frame()->activateChild(*view->m_pParentFrame);
        view->m_pParentFrame->onMouseActivate();
        platform.processEvents();
    }
    // Plays the view fast and waits for `count` more analysed frames.
    bool feedFrames(CMolvaneView *view, int count)
    {
        view->m_pCamera->SetFloatValue("AcquisitionFrameRateAbs", 600);
        if (!view->m_bPlaying)
            command(res::CmdPlay);
        const uint64_t target = AnalysisFeed().results() + count;
        return platform.processUntil([&] { return AnalysisFeed().results() >= target; }, 10000) &&
               (platform.processEvents(), true);
    }
};

// ---- channel lists per camera kind, and the channel each camera remembers ------------------

TEST_F(Analysis, TheChannelListFollowsTheCameraKind)
{
    start(3);
    CMolvaneView *bayer = open(0);
    CHistoDlg &dlg = histogram();
    EXPECT_EQ(channels(), std::vector<std::string>{"INTENSITY"});  // Bayer without conversion
    command(res::CmdBayerColor);  // a Bayer camera converting to colour
    ASSERT_EQ(bayer->m_bBayer, 1);
    ASSERT_EQ(bayer->m_pCamera->GetBayerConversion(), 1);
    EXPECT_EQ(channels(), (std::vector<std::string>{"RED", "GREEN", "BLUE", "ALL"}));
    // The list follows the camera window the operator clicks into.
    CMolvaneView *mono = open(1);  // the IEEE 1394 monochrome camera
    activate(bayer);
    activate(mono);
    EXPECT_EQ(channels(), std::vector<std::string>{"INTENSITY"});
    CMolvaneView *yuv = open(2);
    activate(mono);
    activate(yuv);
    EXPECT_EQ(channels(), (std::vector<std::string>{"RED", "GREEN", "BLUE", "ALL"}));
    EXPECT_EQ(dlg.form().selection(res::HistoChannel), 0);
}

TEST_F(Analysis, EachCameraRemembersItsChannelAcrossClosingAndReopening)
{
    start(3);
    CMolvaneView *yuv = open(2);
    CHistoDlg *dlg = &histogram();
    dlg->form().setSelection(res::HistoChannel, 1);
    dlg->dispatch(fw::Notify::SelChange, res::HistoChannel);
    EXPECT_EQ(yuv->m_nHistoChannel, 1);
    CMolvaneView *mono = open(1);
    activate(yuv);
    activate(mono);
    EXPECT_EQ(dlg->form().selection(res::HistoChannel), 0);  // the mono camera's own
    // A remembered index the list does not have leaves nothing chosen, and nothing is drawn.
    mono->m_nHistoChannel = 3;
    frame().RefreshAnalysisWindows();
    EXPECT_EQ(dlg->form().selection(res::HistoChannel), -1);
    const size_t before = curvesOf(*dlg->m_pView).size();
    dlg->Update(ChannelCounts{});
    EXPECT_EQ(curvesOf(*dlg->m_pView).size(), before);
    activate(yuv);
    dlg->close();
    platform.processEvents();
    EXPECT_EQ(g_pHistoDlg, nullptr);
    dlg = &histogram();
    EXPECT_EQ(dlg->ChannelText(), "GREEN");
}

// ---- the histogram's curves: spike position and full scale ------------------------------

TEST_F(Analysis, AFlatImageDrawsOneSpikeToTheTopAndShowsItsCountAsFullScale)
{
    start(1);
    open(0);
    CHistoDlg &dlg = histogram();
    const int w = 40, h = 30;
    std::vector<uint8_t> image(static_cast<size_t>(w) * h * 3, 128);
    ChannelCounts counts;
    CountChannels(image.data(), w, h, static_cast<size_t>(w) * 3, counts);
    dlg.Update(counts);
    const auto curves = curvesOf(*dlg.m_pView);
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_EQ(curves[0].pen.color, (fw::Color{0, 0, 0}));  // INTENSITY: the black pen
    const int W = CHistogramView::kWidth, H = CHistogramView::kHeight;
    const auto &pts = curves[0].points;
    ASSERT_EQ(pts.size(), 257u);
    EXPECT_EQ(pts[0].x, 1);
    EXPECT_EQ(pts[0].y, H);
    const int spikeX = static_cast<int>(128 * W / 256.0 + 0.5) + 1;
    for (size_t i = 1; i < pts.size(); ++i) {
        const int bin = static_cast<int>(i) - 1;
        EXPECT_EQ(pts[i].y, bin == 128 ? 0 : H) << bin;
        if (bin == 128) {
            EXPECT_EQ(pts[i].x, spikeX);
        }
    }
    EXPECT_EQ(dlg.form().text(res::HistoMaxCount), std::to_string(w * h));
}

TEST_F(Analysis, AllDrawsBlueGreenRedAndShowsTheLargestOfTheThreeCounts)
{
    start(3);
    open(2);  // YUV: a colour image
    CHistoDlg &dlg = histogram();
    ChannelCounts counts;
    counts.blue[10] = 5;
    counts.green[20] = 9;
    counts.red[30] = 7;
    dlg.form().setSelection(res::HistoChannel, 3);  // ALL
    dlg.Update(counts);
    const auto curves = curvesOf(*dlg.m_pView);
    ASSERT_EQ(curves.size(), 3u);
    EXPECT_EQ(curves[0].pen.color, (fw::Color{0, 0, 255}));
    EXPECT_EQ(curves[1].pen.color, (fw::Color{0, 255, 0}));
    EXPECT_EQ(curves[2].pen.color, (fw::Color{255, 0, 0}));  // red ends on top
    EXPECT_EQ(dlg.m_nMaxCount, 9);
    dlg.form().setSelection(res::HistoChannel, 0);  // RED alone
    dlg.Update(counts);
    EXPECT_EQ(dlg.form().text(res::HistoMaxCount), "7");
    // An empty image: a flat line at the bottom, full scale 0.
    dlg.Update(ChannelCounts{});
    const auto flat = curvesOf(*dlg.m_pView);
    ASSERT_EQ(flat.size(), 1u);
    for (const auto &p : flat[0].points)
        EXPECT_EQ(p.y, CHistogramView::kHeight);
    EXPECT_EQ(dlg.form().text(res::HistoMaxCount), "0");
}

// ---- what the worker takes from each pixel format ----------------------------------------

TEST(FrameAnalysis, EveryPixelFormatIsCountedAsTheCameraShowsIt)
{
    FeedRequest all;
    all.histogram = true;
    const cam::ImageSettings plain, converting{true, 3, 1, false, false, false};
    struct Case {
        const char *name;
        cam::FrameBuffer frame;
        cam::ImageSettings settings;
        bool colour;
    };
    cam::FrameBuffer mono16 = flatFrame(cam::PixelFormat::Mono16, 8, 6, 2, 0);
    mono16.bits = 12;
    for (size_t i = 0; i < mono16.size; i += 2) {  // 2048 of 4096: the middle of 12 bits
        mono16.data[i] = 0x00;
        mono16.data[i + 1] = 0x08;
    }
    const Case cases[] = {
        {"Mono8", flatFrame(cam::PixelFormat::Mono8, 8, 6, 1, 128), plain, false},
        {"Mono16 12 bits", mono16, plain, false},
        {"Bayer shown grey", flatFrame(cam::PixelFormat::BayerGR8, 8, 6, 1, 128), plain, false},
        {"Bayer converted", flatFrame(cam::PixelFormat::BayerGR8, 8, 6, 1, 128), converting, true},
        {"YUV", flatFrame(cam::PixelFormat::YUV422Packed, 8, 6, 2, 128), plain, true},
    };
    for (const Case &c : cases) {
        const FeedResult r = AnalyseFrame(c.frame, c.settings, all);
        EXPECT_EQ(r.colour, c.colour) << c.name;
        EXPECT_EQ(r.counts.blue[128], 48u) << c.name;
        EXPECT_EQ(r.counts.green[128], 48u) << c.name;
        EXPECT_EQ(r.counts.red[128], 48u) << c.name;
    }
}

TEST(FrameAnalysis, RowsAreCountedFromTheTopAndColumnsTopToBottom)
{
    cam::FrameBuffer f = flatFrame(cam::PixelFormat::Mono8, 4, 3, 1, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            f.data[static_cast<size_t>(y) * 4 + x] = static_cast<uint8_t>(10 * y + x);
    FeedRequest req;
    req.row = 0;
    req.column = 9;  // past the image: the last column
    const FeedResult r = AnalyseFrame(f, {}, req);
    EXPECT_FALSE(r.hasCounts);
    EXPECT_EQ(r.rowPixels, (std::vector<uint8_t>{0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}));
    EXPECT_EQ(r.column, 3);
    EXPECT_EQ(r.columnPixels, (std::vector<uint8_t>{3, 3, 3, 13, 13, 13, 23, 23, 23}));
}

// ---- the frame feed's matching rule ------------------------------------------------------

TEST_F(Analysis, OnlyTheSelectedCameraFeedsEveryFifteenthFrame)
{
    start(3);
    CMolvaneView *view = open(0);
    CHistoDlg &dlg = histogram();
    ASSERT_TRUE(feedFrames(view, 2));
    EXPECT_NE(dlg.form().text(res::HistoMaxCount), "0000");
    EXPECT_EQ(dlg.m_nMaxCount, [&] {
        int64_t m = 0;
        for (uint32_t c : dlg.m_pView->m_counts.blue)
            m = std::max<int64_t>(m, c);
        return m;
    }());
    // Another camera chosen in the list: this window stops feeding.
    list().select(1);
    // A frame handed over before the change may still be in analysis: let it finish first.
    ASSERT_TRUE(platform.processUntil([] { return AnalysisFeed().idle(); }));
    const unsigned frames = view->m_nFrameCount;
    const uint64_t results = AnalysisFeed().results();
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= frames + 40; }));
    platform.processEvents();
    EXPECT_EQ(AnalysisFeed().results(), results);
    command(res::CmdStop);
}

TEST_F(Analysis, TwoWindowsOfTheSelectedCameraFeedNeitherAndAStoppedOneClearsTheWindows)
{
    start(3);
    CMolvaneView *first = open(0);
    CMolvaneView *second = open(1);
    command(res::CmdHorizontalProfile);
    activate(first);
    CHistoDlg &dlg = histogram();
    ASSERT_FALSE(dlg.form().items(res::HistoChannel).empty());
    second->m_strDeviceID = first->m_strDeviceID;  // both match the selected line
    list().select(0);
    first->m_pCamera->SetFloatValue("AcquisitionFrameRateAbs", 600);
    command(res::CmdPlay);
    ASSERT_TRUE(platform.processUntil([] { return AnalysisFeed().idle(); }));
    const uint64_t results = AnalysisFeed().results();
    ASSERT_TRUE(platform.processUntil([&] { return first->m_nFrameCount >= 40; }));
    platform.processEvents();
    EXPECT_EQ(AnalysisFeed().results(), results);
    // The other window does not play: the channel list is emptied and the plots hidden.
    EXPECT_TRUE(dlg.form().items(res::HistoChannel).empty());
    EXPECT_FALSE(dlg.m_pView->isWindowVisible());
    EXPECT_FALSE(g_pHorizonDlg->m_pView->isWindowVisible());
    command(res::CmdStop);
}

// ---- profile geometry, both orientations -------------------------------------------------

TEST_F(Analysis, TheHorizontalProfilePlotsTheClickedRowAtItsScale)
{
    start(1);
    CMolvaneView *view = open(0);  // 1280 x 960
    // 640 pixels beside the camera info pane: s = 0.5, the dialog 640 + 60 wide.
    const fw::Rect main = frame().windowRect();
    frame().moveWindow({main.left, main.top, main.left + 640 + cameraInfoClientWidth(), main.bottom});
    command(res::CmdHorizontalProfile);
    CHorizonDlg &dlg = *g_pHorizonDlg;
    EXPECT_FLOAT_EQ(dlg.m_fScale, 0.5f);
    EXPECT_EQ(dlg.windowRect().width(), 700);
    EXPECT_EQ(dlg.m_pView->windowRect().width(), 1280 + 20);
    EXPECT_EQ(dlg.m_pView->windowRect().height(), 128);
    // A click below the image is clamped to the last row; the field shows it.
    view->ImageMouseDown(7, 5000);
    EXPECT_EQ(dlg.LineNumber(*view), 959);
    EXPECT_EQ(dlg.form().text(res::HorizontalLine), "959");
    view->m_ptPixel = {7, 0};
    EXPECT_EQ(dlg.LineNumber(*view), 0);

    FeedResult grey;
    grey.width = 1280;
    grey.height = 960;
    grey.row = 0;
    grey.rowPixels.assign(1280 * 3, 128);
    grey.pixel = {7, 0};
    dlg.Update(grey);
    const int C = 128;
    auto curves = curvesOf(*dlg.m_pView);
    ASSERT_EQ(curves.size(), 1u);  // grey: the black curve only
    EXPECT_EQ(curves[0].pen.color, (fw::Color{0, 0, 0}));
    ASSERT_EQ(curves[0].points.size(), 1280u);
    const int flatY = static_cast<int>(C - 1 - 128 * C / 256.0);
    for (size_t i = 0; i < 1280; ++i) {
        EXPECT_EQ(curves[0].points[i].x, static_cast<int>(0.5f * i));
        EXPECT_EQ(curves[0].points[i].y, flatY);
    }
    const auto texts = drawing(*dlg.m_pView).callsOf(Op::Text);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].text, "[x:7] R128 G128 B128");
    EXPECT_EQ(texts[0].at.x, dlg.m_pView->clientRect().width() - 190);
    EXPECT_EQ(texts[0].at.y, 10);
    const auto fills = drawing(*dlg.m_pView).callsOf(Op::FillRect);
    const auto ground = std::find_if(fills.begin(), fills.end(), [](const fw::DrawCall &f) {
        return f.brush.color == fw::Color{200, 200, 200};
    });
    ASSERT_NE(ground, fills.end());
    EXPECT_EQ(ground->rect.left, 0);
    EXPECT_EQ(ground->rect.right, 1280);  // the ground spans the image width
    EXPECT_EQ(ground->rect.bottom, C);

    grey.colour = true;
    grey.rowPixels[7 * 3 + 0] = 1, grey.rowPixels[7 * 3 + 1] = 2, grey.rowPixels[7 * 3 + 2] = 3;
    dlg.Update(grey);
    curves = curvesOf(*dlg.m_pView);
    ASSERT_EQ(curves.size(), 3u);
    EXPECT_EQ(curves[0].pen.color, (fw::Color{0, 0, 255}));
    EXPECT_EQ(curves[2].pen.color, (fw::Color{255, 0, 0}));
    EXPECT_EQ(drawing(*dlg.m_pView).callsOf(Op::Text)[0].text, "[x:7] R3 G2 B1");
}

TEST_F(Analysis, TheVerticalProfilePlotsTheClickedColumnDownwards)
{
    start(1);
    CMolvaneView *view = open(0);
    const fw::Rect main = frame().windowRect();
    frame().moveWindow({main.left, main.top, main.right, main.top + 480});  // s = 0.5
    command(res::CmdVerticalProfile);
    CVerticalDlg &dlg = *g_pVerticalDlg;
    EXPECT_FLOAT_EQ(dlg.m_fScale, 0.5f);
    EXPECT_EQ(dlg.windowRect().height(), 480 - 10);
    EXPECT_EQ(dlg.m_pView->windowRect().width(), 128);
    EXPECT_EQ(dlg.m_pView->windowRect().height(), 960 + 1);
    view->ImageMouseDown(-3, 4);
    EXPECT_EQ(dlg.LineNumber(*view), 0);
    view->m_ptPixel = {2000, 4};
    EXPECT_EQ(dlg.LineNumber(*view), 1279);
    EXPECT_EQ(dlg.form().text(res::VerticalLine), "1279");

    FeedResult r;
    r.width = 1280;
    r.height = 960;
    r.column = 1279;
    r.columnPixels.resize(960 * 3);
    for (int i = 0; i < 960; ++i)
        std::memset(&r.columnPixels[static_cast<size_t>(i) * 3], i % 256, 3);
    r.pixel = {1279, 4};
    dlg.Update(r);
    const auto curves = curvesOf(*dlg.m_pView);
    ASSERT_EQ(curves.size(), 1u);
    const int Cw = 128;
    for (int i = 0; i < 960; ++i) {
        EXPECT_EQ(curves[0].points[i].x, static_cast<int>((i % 256) * (Cw / 256.0)));
        EXPECT_EQ(curves[0].points[i].y, static_cast<int>(0.5f * i));  // top row at the top
    }
    const auto texts = drawing(*dlg.m_pView).callsOf(Op::Text);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].text, " [y:4]\n R4 G4 B4");
    EXPECT_EQ(texts[0].at.x, 1);
    EXPECT_EQ(texts[0].at.y, 10);
}

namespace {
// A profile line of `length` grey pixels, pixel i of value i % 256.
std::vector<uint8_t> rampLine(int length)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(length) * 3);
    for (int i = 0; i < length; ++i)
        std::memset(&pixels[static_cast<size_t>(i) * 3], i % 256, 3);
    return pixels;
}

fw::HeadlessCanvasPeer &canvasPeer(fw::Window &view) { return dynamic_cast<fw::HeadlessCanvasPeer &>(*view.peer()); }
} // namespace

// With room for the whole line the plot is drawn one pixel per image pixel; a dialog made
// smaller than the line keeps that scale and scrolls along the line, and only dragging the
// scroll box moves the read-out with it.
TEST_F(Analysis, AProfileLongerThanItsWindowScrollsAlongTheLineAtOneToOne)
{
    start(1);
    open(0);
    const fw::Rect main = frame().windowRect();
    frame().moveWindow({main.left, main.top, main.left + 2400 + cameraInfoClientWidth(), main.top + 2000});
    command(res::CmdHorizontalProfile);
    command(res::CmdVerticalProfile);
    CHorizonDlg &h = *g_pHorizonDlg;
    CVerticalDlg &v = *g_pVerticalDlg;
    ASSERT_FLOAT_EQ(h.m_fScale, 1.0f);
    ASSERT_FLOAT_EQ(v.m_fScale, 1.0f);
    h.onSize(700, 200);
    v.onSize(200, 400);
    FeedResult r;
    r.width = 1920;
    r.height = 1200;
    r.rowPixels = rampLine(1920);
    r.columnPixels = rampLine(1200);
    r.pixel = {5, 4};
    h.Update(r);
    v.Update(r);

    const fw::Rect hShown = h.m_pView->visibleRect(), vShown = v.m_pView->visibleRect();
    EXPECT_EQ(hShown.width(), 700 - CHorizonDlg::kLeft - 10);
    EXPECT_EQ(h.m_pView->clientRect().width(), 1920);  // the whole row, scrolled
    EXPECT_EQ(h.m_pView->clientRect().height(), CHorizonDlg::kPlotHeight);
    // Only the part in the window is drawn, running on one point past each edge.
    auto row = curvesOf(*h.m_pView)[0].points;
    EXPECT_EQ(row.front().x, 0);
    EXPECT_EQ(row.back().x, hShown.right + 1);
    EXPECT_EQ(vShown.height(), 400 - CVerticalDlg::kTop - 4);
    EXPECT_EQ(v.m_pView->clientRect().height(), 1200);  // the whole column, not cut at the dialog
    EXPECT_EQ(v.m_pView->clientRect().width(), CVerticalDlg::kPlotWidth);
    canvasPeer(*v.m_pView).scrollTo({0, 5000}, false);
    v.Update(r);
    EXPECT_EQ(curvesOf(*v.m_pView)[0].points.back().y, 1199);  // scrolled to the column's end
    canvasPeer(*v.m_pView).scrollTo({0, 0}, false);

    // Scrolling by the arrows or the wheel leaves the read-out where it was.
    canvasPeer(*h.m_pView).scrollTo({1200, 0}, false);
    h.Update(r);
    row = curvesOf(*h.m_pView)[0].points;
    EXPECT_EQ(row.front().x, 1199);
    EXPECT_EQ(row.back().x, 1200 + hShown.width() + 1);
    auto text = drawing(*h.m_pView).callsOf(Op::Text)[0];
    EXPECT_EQ(text.text, "[x:5] R5 G5 B5");
    EXPECT_EQ(text.at.x, hShown.width() - 190);
    // Dragging the box places it at the right of what is shown and reads the pixel there.
    canvasPeer(*h.m_pView).scrollTo({1200, 0}, true);
    text = drawing(*h.m_pView).callsOf(Op::Text)[0];
    EXPECT_EQ(text.text, "[x:1205] R181 G181 B181");
    EXPECT_EQ(text.at.x, 1200 + hShown.width() - 190);
    canvasPeer(*v.m_pView).scrollTo({0, 700}, true);
    text = drawing(*v.m_pView).callsOf(Op::Text)[0];
    EXPECT_EQ(text.text, " [y:704]\n R192 G192 B192");
    EXPECT_EQ(text.at.y, 710);
    // The drag is clamped to the line's end.
    canvasPeer(*v.m_pView).scrollTo({0, 5000}, true);
    EXPECT_EQ(v.m_pView->m_nScroll, 1200 - vShown.height());
}

TEST_F(Analysis, ClickingInThePlayingImageMovesBothProfileLines)
{
    start(1);
    CMolvaneView *view = open(0);
    command(res::CmdHorizontalProfile);
    command(res::CmdVerticalProfile);
    view->ImageMouseDown(100, 200);
    ASSERT_TRUE(feedFrames(view, 2));
    EXPECT_EQ(g_pHorizonDlg->form().text(res::HorizontalLine), "200");
    EXPECT_EQ(g_pVerticalDlg->form().text(res::VerticalLine), "100");
    EXPECT_EQ(curvesOf(*g_pHorizonDlg->m_pView)[0].points.size(), 1280u);
    EXPECT_EQ(curvesOf(*g_pVerticalDlg->m_pView)[0].points.size(), 960u);
    EXPECT_TRUE(g_pHorizonDlg->m_pView->isWindowVisible());
    command(res::CmdStop);
    // Closing tells the frame, which forgets the window.
    g_pVerticalDlg->close();
    platform.processEvents();
    EXPECT_EQ(g_pVerticalDlg, nullptr);
}
