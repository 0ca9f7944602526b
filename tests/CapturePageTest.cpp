// The Capture page: file names and folders, the timers of a stream, Auto's interval, the capture
// state of each camera window, and failures that stop a capture with a message.
#include "FileSizeLimit.h"
#include "TestSupport.h"

#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "diagnostics/CEventLogDlg.h"
#include "pages/CCaptureDlg.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

using cam::Dispid;
using namespace res;
namespace fs = std::filesystem;

class CapturePage : public AppFixture {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("molvane-capture-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        platform.setLocalTime({2026, 12, 4, 4, 48, 11, 250});
        for (const char *key : {"CaptureStill", "CaptureStream", "CaptureAuto"})
            platform.settings().setValue(key, (dir / key).string());
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        fs::remove_all(dir);
    }
    // Opens camera `line`, plays it at a small size and shows the Capture page for it.
    CCaptureDlg &page(int line, bool play = true)
    {
        view = open(line);
        codeOf([&] {  // a 1394 camera keeps the size of its video mode
            view->m_pCamera->SetImageWidth(320);
            view->m_pCamera->SetImageHeight(240);
        });
        if (play)
            frame().routeCommand(CmdPlay);
        if (!frame().m_pControlPane)
            frame().routeCommand(CmdCameraControl);
        else
            frame().m_pControlPane->RefreshPages();
        frame().m_pControlPane->ShowPage(CControlBasePane::Page::Capture);
        return *frame().m_pControlPane->m_pCaptureDlg;
    }
    static void select(CCaptureDlg &p, int id, int index)
    {
        p.form().setSelection(id, index);
        p.dispatch(fw::Notify::SelChange, id);
    }
    void capture(CCaptureDlg &p) { p.dispatch(fw::Notify::Clicked, CapButton); }
    void frames(int n)
    {
        const unsigned target = view->m_nFrameCount + n;
        ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= target; }));
    }
    std::vector<std::string> files(const char *folder) const
    {
        std::vector<std::string> out;
        for (const auto &e : fs::directory_iterator(dir / folder))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    fs::path dir;
    CMolvaneView *view = nullptr;
};

TEST_F(CapturePage, StillsAreNamedByTimeAndCountInTheFolderOfTheirType)
{
    start(1);
    CCaptureDlg &p = page(0);
    EXPECT_EQ(p.form().items(CapType), (std::vector<std::string>{"Still", "Stream", "Auto"}));
    EXPECT_EQ(p.form().text(CapPath), (dir / "CaptureStill").string());
    EXPECT_TRUE(fs::is_directory(dir / "CaptureStream"));  // the folders are made on opening
    EXPECT_EQ(p.form().selectedText(CapFormat), "JPG");
    capture(p);
    capture(p);  // a second click within one frame: still one file
    frames(2);
    view->m_pCamera->FlushImages();
    EXPECT_EQ(files("CaptureStill"), std::vector<std::string>{"12_4_4_48_11_250_0.jpg"});
    // RGB: bottom-up BGR of the frame's size under "-rgb.raw".
    select(p, CapFormat, 4);
    EXPECT_EQ(view->m_strCaptureExt, "-rgb.raw");
    capture(p);
    frames(2);
    view->m_pCamera->FlushImages();
    const fs::path rgb = dir / "CaptureStill" / "12_4_4_48_11_250_1-rgb.raw";
    ASSERT_TRUE(fs::exists(rgb));
    EXPECT_EQ(fs::file_size(rgb), 320u * 240u * 3u);
}

TEST_F(CapturePage, ATypedFolderIsUsedButOnlyAChosenOneIsKept)
{
    start(1);
    CCaptureDlg &p = page(0);
    fs::create_directories(dir / "typed");
    p.form().setText(CapPath, (dir / "typed").string());
    capture(p);
    frames(2);
    view->m_pCamera->FlushImages();
    EXPECT_EQ(files("typed").size(), 1u);
    EXPECT_EQ(platform.settings().value("CaptureStill"), (dir / "CaptureStill").string());
    platform.answerFileDialog((dir / "chosen").string());
    p.dispatch(fw::Notify::Clicked, CapFolder);
    EXPECT_EQ(platform.settings().value("CaptureStill"), (dir / "chosen").string());
    EXPECT_EQ(view->m_strStillFolder, (dir / "chosen").string());
    EXPECT_TRUE(fs::is_directory(dir / "chosen"));
    platform.answerFileDialog(std::nullopt);  // cancelled: nothing changes
    p.dispatch(fw::Notify::Clicked, CapFolder);
    EXPECT_EQ(p.form().text(CapPath), (dir / "chosen").string());
}

TEST_F(CapturePage, AStillIntoAMissingFolderIsReportedOnceAndKeptUntilTheFolderIsFixed)
{
    start(1);
    CCaptureDlg &p = page(0);
    // A typed folder is made when it can be (one level)...
    p.form().setText(CapPath, (dir / "new").string());
    capture(p);
    frames(2);
    view->m_pCamera->FlushImages();
    EXPECT_EQ(files("new").size(), 1u);
    // ...but not below a missing parent: the save fails, the box comes once, not per frame.
    p.form().setText(CapPath, (dir / "missing" / "deeper").string());
    capture(p);
    frames(4);
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.messageBoxes()[0].text, "Unable to open image file.");
    EXPECT_EQ(view->m_bStillRequest, 1);  // still pending: the next frame tries again
    // The operator can reach the page again and give a folder that works.
    p.form().setText(CapPath, (dir / "fixed").string());
    capture(p);
    frames(2);
    view->m_pCamera->FlushImages();
    EXPECT_EQ(files("fixed").size(), 1u);
    EXPECT_EQ(view->m_bStillRequest, 0);
    EXPECT_EQ(platform.messageBoxes().size(), 1u);
}

TEST_F(CapturePage, StreamTimersFollowTheDurationAndTheEndStopsTheRecording)
{
    start(1);
    CCaptureDlg &p = page(0);
    select(p, CapType, CCaptureDlg::Stream);
    EXPECT_EQ(p.form().items(CapFormat), std::vector<std::string>{"AVI"});
    EXPECT_FALSE(p.form().isEnabled(CapFormat));
    ASSERT_GT(p.form().itemCount(CapCodec), 0);
    EXPECT_EQ(p.form().itemText(CapCodec, 0), "MJPG (Motion JPEG)");
    p.form().setText(CapTime, "0");  // zero: the balloon, nothing else
    capture(p);
    ASSERT_EQ(platform.balloons().size(), 1u);
    EXPECT_EQ(platform.balloons().back().text, "Unavailable capture time");
    p.form().setText(CapTime, "-2");  // negative: nothing at all
    capture(p);
    EXPECT_EQ(platform.balloons().size(), 1u);
    EXPECT_FALSE(view->m_bCapturing);
    p.form().setText(CapTime, "5");
    capture(p);
    EXPECT_EQ(platform.timerPeriod(&p, CCaptureDlg::EndTimer), 5000);
    EXPECT_EQ(platform.timerPeriod(&p, CCaptureDlg::ProgressTimer), 500);
    EXPECT_EQ(p.form().text(CapButton), "Stop");
    EXPECT_TRUE(p.form().isVisible(CapProgress));
    EXPECT_FALSE(p.form().isEnabled(CapType));
    capture(p);  // Stop before the end
    EXPECT_FALSE(platform.hasTimer(&p, CCaptureDlg::EndTimer));
    p.form().setText(CapTime, "1");
    capture(p);
    EXPECT_EQ(platform.timerPeriod(&p, CCaptureDlg::ProgressTimer), 100);
    frames(5);
    platform.advance(100);
    EXPECT_EQ(p.form().pos(CapProgress), 1);
    platform.advance(900);  // the end timer
    EXPECT_FALSE(view->m_bCapturing);
    EXPECT_EQ(p.form().text(CapButton), "Capture");
    EXPECT_FALSE(p.form().isVisible(CapProgress));
    EXPECT_EQ(p.form().pos(CapProgress), 0);
    EXPECT_TRUE(p.form().isEnabled(CapType));
    EXPECT_EQ(files("CaptureStream"),
              (std::vector<std::string>{"12_4_4_48_11_250.avi"}));  // both recordings, one name
    EXPECT_NE(p.form().text(CapStatus).find("frames written, 0 not written"), std::string::npos)
        << p.form().text(CapStatus);
}

TEST_F(CapturePage, NothingStartsWhileTheCameraIsStoppedAndARefusedStartSaysSo)
{
    start(1);
    CCaptureDlg &p = page(0, false);
    for (int type : {CCaptureDlg::Still, CCaptureDlg::Stream, CCaptureDlg::Auto}) {
        select(p, CapType, type);
        p.form().setText(CapTime, "2");
        capture(p);
        EXPECT_FALSE(view->m_bCapturing || view->m_bStillRequest || view->m_bAutoEveryFrame);
    }
    frame().routeCommand(CmdPlay);
    select(p, CapType, CCaptureDlg::Stream);
    p.form().setText(CapPath, (dir / "no" / "such").string());
    capture(p);
    ASSERT_FALSE(platform.balloons().empty());
    EXPECT_EQ(platform.balloons().back().text, "Not supported capture format.");
    EXPECT_FALSE(view->m_bCapturing);
    EXPECT_EQ(p.form().text(CapButton), "Capture");
    EXPECT_TRUE(p.form().isEnabled(CapCodec));
    EXPECT_FALSE(platform.hasTimer(&p, CCaptureDlg::EndTimer));
}

TEST_F(CapturePage, AutoSavesEveryFrameAtZeroAndOneFramePerIntervalOtherwise)
{
    start(1);
    CCaptureDlg &p = page(0);
    select(p, CapType, CCaptureDlg::Auto);
    select(p, CapFormat, 1);  // BMP
    p.form().setText(CapTime, "0");
    capture(p);
    EXPECT_TRUE(view->m_bAutoEveryFrame);
    EXPECT_EQ(p.form().text(CapButton), "Stop");
    EXPECT_FALSE(p.form().isEnabled(CapTime));
    const unsigned before = view->m_nSavedCount;
    frames(6);
    EXPECT_GE(view->m_nSavedCount - before, 6u);  // every frame
    capture(p);
    EXPECT_FALSE(view->m_bAutoEveryFrame);
    EXPECT_FALSE(view->m_bCapturing);
    const unsigned saved = view->m_nSavedCount;
    view->m_pCamera->FlushImages();
    EXPECT_EQ(files("CaptureAuto").size(), saved);
    frames(2);
    EXPECT_EQ(view->m_nSavedCount, saved);  // stopped
    // Every 3 seconds: timer 3 asks for the next frame.
    p.form().setText(CapTime, "3");
    capture(p);
    EXPECT_EQ(platform.timerPeriod(&p, CCaptureDlg::AutoTimer), 3000);
    frames(2);
    EXPECT_EQ(view->m_nSavedCount, saved);
    platform.advance(3000);
    EXPECT_TRUE(view->m_bAutoTick);
    frames(2);
    EXPECT_EQ(view->m_nSavedCount, saved + 1);
    EXPECT_FALSE(view->m_bAutoTick);
    capture(p);
    EXPECT_FALSE(platform.hasTimer(&p, CCaptureDlg::AutoTimer));
}

TEST_F(CapturePage, EachCameraWindowKeepsItsOwnCaptureState)
{
    start(2);
    CCaptureDlg &p = page(0);
    CMolvaneView *first = view;
    select(p, CapType, CCaptureDlg::Auto);
    p.form().setText(CapTime, "0");
    capture(p);
    ASSERT_TRUE(first->m_bCapturing);
    CCaptureDlg &q = page(1, false);
    EXPECT_EQ(&q, &p);
    EXPECT_EQ(q.form().selection(CapType), CCaptureDlg::Still);
    EXPECT_EQ(q.form().text(CapButton), "Capture");
    EXPECT_TRUE(q.form().isEnabled(CapType));
    EXPECT_FALSE(view->m_bCapturing);
    platform.frame()->activateChild(*first->m_pParentFrame);
    frame().m_pControlPane->RefreshPages();
    EXPECT_EQ(p.form().selection(CapType), CCaptureDlg::Auto);
    EXPECT_EQ(p.form().text(CapButton), "Stop");
    EXPECT_EQ(p.form().text(CapPath), (dir / "CaptureAuto").string());
    p.close();  // a closed page starts at Still again
    EXPECT_EQ(first->m_nCaptureType, -1);
}

TEST_F(CapturePage, AFailingDiskStopsTheSeriesWithAMessageAndALogLine)
{
    start(1);
    CCaptureDlg &p = page(0);
    frame().routeCommand(CmdEventViewer);
    frame().m_pEventLogDlg->form().setCheck(LogFrameDrop, 1);
    select(p, CapType, CCaptureDlg::Auto);
    select(p, CapFormat, 1);  // BMP: 230 kB a frame
    p.form().setText(CapTime, "0");
    {
        FileSizeLimit full(1000);
        capture(p);
        frames(3);
        view->m_pCamera->FlushImages();
    }
    platform.advance(CCaptureDlg::kStatusPeriod);
    EXPECT_FALSE(view->m_bCapturing);
    EXPECT_FALSE(view->m_bAutoEveryFrame);
    EXPECT_EQ(p.form().text(CapButton), "Capture");
    ASSERT_FALSE(platform.messageBoxes().empty());
    EXPECT_NE(platform.messageBoxes().back().text.find("Capture stopped: cannot write"), std::string::npos);
    EXPECT_NE(p.form().text(CapStatus).find("not written"), std::string::npos);
    const auto &log = frame().m_pEventLogDlg->form().items(LogList);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("frames not written"), std::string::npos) << log[0];
    EXPECT_TRUE(files("CaptureAuto").empty());  // no partial file, no temporary one
}

// Bad entries in the time field for a stream and a series, and folders no file can be written
// in: a time is read as the whole number it begins with, one of no seconds or too many for the
// timers gets "Unavailable capture time", a negative one starts no stream; a still into a folder
// below a regular file or in /proc gets "Unable to open image file." once, a stream there gets
// "Not supported capture format."; the regular file stays as it was.
TEST_F(CapturePage, BadTimesAndUnwritableFoldersAreAnsweredAndNothingRunsAway)
{
    start(1);
    CCaptureDlg &p = page(0);
    const std::string timeBalloon = "Unavailable capture time";
    struct Row {
        std::string text;
        bool streamBalloon, streamStarts, autoBalloon;
    };
    const Row rows[] = {
        {"", true, false, false},        {"abc", true, false, false},
        {"99999999999999999999", true, false, true}, {"-99999999999999999999", false, false, false},
        {"-5", false, false, false},     {"1e999", false, true, false},
    };
    ASSERT_EQ(std::size(rows), badNumbers().size());
    for (const Row &r : rows) {
        for (int type : {CCaptureDlg::Stream, CCaptureDlg::Auto}) {
            SCOPED_TRACE("\"" + r.text + "\" type " + std::to_string(type));
            select(p, CapType, type);
            p.form().setText(CapTime, r.text);
            const Mark m = mark();
            capture(p);
            const bool balloon = type == CCaptureDlg::Stream ? r.streamBalloon : r.autoBalloon;
            EXPECT_EQ(shownSince(m), balloon ? std::vector<std::string>{timeBalloon} : std::vector<std::string>{});
            if (type == CCaptureDlg::Stream) {
                EXPECT_EQ(view->m_bCapturing != 0, r.streamStarts);
            } else {
                EXPECT_EQ(view->m_bCapturing != 0, !balloon);
            }
            if (platform.hasTimer(&p, CCaptureDlg::EndTimer)) {
                EXPECT_GT(platform.timerPeriod(&p, CCaptureDlg::EndTimer), 0);
            }
            if (platform.hasTimer(&p, CCaptureDlg::AutoTimer)) {
                EXPECT_GT(platform.timerPeriod(&p, CCaptureDlg::AutoTimer), 0);
            }
            if (view->m_bCapturing)
                capture(p);  // Stop
            EXPECT_FALSE(view->m_bCapturing);
        }
    }
    const fs::path regular = dir / "regular.jpg";
    std::ofstream(regular) << "kept";
    for (const std::string &folder : {(regular / "sub").string(), std::string("/proc/molvane-capture")}) {
        SCOPED_TRACE(folder);
        select(p, CapType, CCaptureDlg::Still);
        p.form().setText(CapPath, folder);
        Mark m = mark();
        capture(p);
        frames(3);
        EXPECT_EQ(shownSince(m), std::vector<std::string>{"Unable to open image file."});
        select(p, CapType, CCaptureDlg::Stream);
        p.form().setText(CapPath, folder);
        p.form().setText(CapTime, "2");
        m = mark();
        capture(p);
        EXPECT_EQ(shownSince(m), std::vector<std::string>{"Not supported capture format."});
        EXPECT_FALSE(view->m_bCapturing);
    }
    std::ifstream kept(regular);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
}
