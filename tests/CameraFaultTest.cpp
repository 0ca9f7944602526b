// Faults of real cameras against arv-fake-gv-camera-0.8 on loopback: a camera killed while it
// records or while a window reads it, killed and started again, losing stream packets, and one
// whose control channel stops answering.
#include "AravisFixture.h"

#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "diagnostics/CRegisterAccessDlg.h"
#include "pages/CCaptureDlg.h"
#include "view/CMolvaneView.h"

#include <opencv2/videoio.hpp>

#include <filesystem>
#include <functional>
#include <regex>

using namespace cam;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Aravis asks an unanswered control request again 5 times 500 ms apart: the longest a call on a
// camera that stopped answering may take.
constexpr double kControlTimeoutMs = 3000;

} // namespace

// The desktop shell playing the fake camera, with the interface run at its real pace.
class CameraFault : public AravisShell {
protected:
    void SetUp() override
    {
        AravisShell::SetUp();
        dir = fs::temp_directory_path() / ("molvane-fault-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        platform.settings().setValue("CaptureStream", dir.string());
    }
    void TearDown() override
    {
        AravisShell::TearDown();
        fs::remove_all(dir);
    }
    // Lists the camera as the program does, opens its window and plays it.
    CMolvaneView *play()
    {
        start(0);
        discovery.start(2000);
        if (!platform.processUntil([&] { return list().lineCount() == 1; }, 5000))
            return nullptr;
        view = open(0);
        if (!view || !view->m_bOpenOK)
            return nullptr;
        frame().routeCommand(res::CmdPlay);
        runUntil([&] { return view->m_nFrameCount >= 3; }, 8000);
        return view->m_nFrameCount >= 3 ? view : nullptr;
    }
    // Runs timers and events at about the real pace until `done` or `ms` have passed; returns
    // whether `done` came and keeps the longest single turn of the interface in `stallMs`.
    bool runUntil(const std::function<bool()> &done, int ms)
    {
        const auto start = Clock::now();
        while (msSince(start) < ms) {
            const auto turn = Clock::now();
            platform.advance(20);
            stallMs = std::max(stallMs, msSince(turn));
            if (done())
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    bool windowGone() { return platform.frame()->children().empty() && list().lineCount() == 0; }
    void expectOnlyStoppedAnsweringBoxes()
    {
        for (const auto &box : platform.messageBoxes())
            EXPECT_EQ(box.text, "Camera Aravis-Fake-GV01 (GV01) stopped answering");
    }

    fs::path dir;
    CMolvaneView *view = nullptr;
    double stallMs = 0;
};

TEST_F(CameraFault, KilledWhileRecordingTheClipSoFarIsKeptAndPlays)
{
    ASSERT_NE(play(), nullptr);
    frame().routeCommand(res::CmdCameraControl);
    frame().m_pControlPane->ShowPage(CControlBasePane::Page::Capture);
    CCaptureDlg &page = *frame().m_pControlPane->m_pCaptureDlg;
    page.form().setSelection(res::CapType, CCaptureDlg::Stream);
    page.dispatch(fw::Notify::SelChange, res::CapType);
    page.form().setText(res::CapTime, "60");
    page.dispatch(fw::Notify::Clicked, res::CapButton);
    ASSERT_TRUE(view->m_bCapturing);
    cam::CMolvane &camera = *view->m_pCamera;
    ASSERT_TRUE(runUntil([&] { return camera.recordingStatus().written >= 10; }, 10000));
    const uint64_t written = camera.recordingStatus().written;
    fake->stop();
    EXPECT_TRUE(runUntil([&] { return windowGone(); }, 10000));
    EXPECT_LT(stallMs, kControlTimeoutMs);
    expectOnlyStoppedAnsweringBoxes();
    // One finished clip, no part file left: it opens and holds every frame written before the kill.
    std::vector<fs::path> clips;
    for (const auto &e : fs::directory_iterator(dir))
        clips.push_back(e.path());
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].extension(), ".avi");
    cv::VideoCapture clip(clips[0].string());
    ASSERT_TRUE(clip.isOpened());
    uint64_t decoded = 0;
    cv::Mat image;
    while (clip.read(image)) {
        EXPECT_EQ(image.cols, 512);
        ++decoded;
    }
    EXPECT_GE(decoded, written);
}

TEST_F(CameraFault, KilledWhileARegisterIsReadTheReadFailsWithinTheTimeoutAndTheWindowCloses)
{
    ASSERT_NE(play(), nullptr);
    frame().routeCommand(res::CmdRegisterAccess);
    CRegisterAccessDlg &reader = *frame().m_pRegisterDlg[0];
    reader.form().setText(res::RegAddress, "938");
    reader.dispatch(fw::Notify::EditChange, res::RegAddress);
    reader.dispatch(fw::Notify::Clicked, res::RegRead);
    EXPECT_NE(reader.form().text(res::RegData), "");
    fake->stop();
    const auto read = Clock::now();
    reader.dispatch(fw::Notify::Clicked, res::RegRead);  // before the link watch noticed
    EXPECT_LT(msSince(read), kControlTimeoutMs);
    EXPECT_EQ(reader.form().text(res::RegData), "");  // a failed read shows an empty field
    EXPECT_TRUE(runUntil([&] { return windowGone(); }, 5000));
    EXPECT_LT(stallMs, kControlTimeoutMs);
    expectOnlyStoppedAnsweringBoxes();
}

TEST_F(CameraFault, KilledAndStartedAgainWithTheSameSerialItIsListedAgainAndOpens)
{
    ASSERT_NE(play(), nullptr);
    fake->stop();
    ASSERT_TRUE(runUntil([&] { return windowGone(); }, 10000));
    auto again = fakeCameraCommand();
    again.insert(again.end(), {"-s", "GV01"});
    fake = std::make_unique<ChildProcess>(again);
    ASSERT_TRUE(runUntil([&] { return list().lineCount() == 1; }, 6000));  // the next scan
    EXPECT_NE(list().lineText(0).find("GV01"), std::string::npos);
    view = open(0);
    ASSERT_TRUE(view && view->m_bOpenOK);
    frame().routeCommand(res::CmdPlay);
    EXPECT_TRUE(runUntil([&] { return view->m_nFrameCount >= 3; }, 8000));
}

// SIGSTOP keeps the camera's sockets open while nothing answers: no refusal comes back, every
// request waits out its timeout.
TEST_F(CameraFault, AControlChannelThatStopsAnsweringEndsInCameraErrorWithoutBlockingTheInterface)
{
    ASSERT_NE(play(), nullptr);
    ASSERT_NE(frame().m_pCameraInfoPane, nullptr);  // its status refresh keeps reading
    cam::CMolvane &camera = *view->m_pCamera;
    fake->freeze();
    const auto call = Clock::now();
    EXPECT_EQ(codeOf([&] { camera.ReadRegister(0x0938); }), code::Removed);
    const double callMs = msSince(call);
    EXPECT_LT(callMs, kControlTimeoutMs);
    EXPECT_TRUE(runUntil([&] { return windowGone(); }, 5000));
    EXPECT_LT(stallMs, kControlTimeoutMs);
    std::printf("silent_camera_call_ms %.0f longest_ui_stall_ms %.0f\n", callMs, stallMs);
    expectOnlyStoppedAnsweringBoxes();
}

// Stream packets lost on the way at a per-thousand rate.
class PacketLoss : public AravisBackend, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        loss = GetParam();
        AravisBackend::SetUp();
    }
};

TEST_P(PacketLoss, FramesAndPacketsAreCountedAndResendIsAskedOnlyOfACameraThatServesIt)
{
    camera->SetCameraIndex(0);
    // The fake camera's GVCP capability register offers no PACKETRESEND_CMD (it ignores one).
    EXPECT_EQ(camera->ReadRegister(0x0934) & 0x4, 0);
    camera->SetFloatValue("AcquisitionFrameRateAbs", 50);
    camera->SetAcquisition(1);
    ASSERT_TRUE(platform.processUntil([&] { return events.drops >= 10; }, 15000));
    const StreamStatistics playing = camera->device()->streamStatistics();
    camera->SetAcquisition(0);
    platform.processEvents();
    const StreamStatistics s = camera->device()->streamStatistics();  // kept after stopping
    std::printf("loss %d/1000: frames %s; packets %s\n", loss, s.framesText().c_str(), s.packetsText().c_str());
    ASSERT_TRUE(s.frames && s.packets);
    EXPECT_GE(s.framesLost(), playing.framesLost());
    EXPECT_EQ(static_cast<uint64_t>(events.drops), s.framesLost());
    EXPECT_LE(static_cast<uint64_t>(events.images), s.framesCompleted);
    EXPECT_GT(s.packetsReceived, 100u);
    EXPECT_GT(s.packetsMissing, 0u);
    EXPECT_EQ(s.resendRequests, 0u);
    EXPECT_EQ(s.packetsResent, 0u);
}

INSTANTIATE_TEST_SUITE_P(OneAndFivePercent, PacketLoss, ::testing::Values(10, 50));

TEST_F(CameraFault, TheInfoPaneShowsTheFramesLostAndPacketsResentOfALossyStream)
{
    fake.reset();
    fake = std::make_unique<ChildProcess>(fakeCameraCommand(10));
    std::this_thread::sleep_for(300ms);
    ASSERT_NE(play(), nullptr);
    runUntil([] { return false; }, 1000);
    // "150 of 171 / 0 of 0": most frames of 188 packets lost at 1 %, no resend asked.
    const std::string loss = frame().m_pCameraInfoPane->m_dlg.form().text(res::InfoStreamLoss);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(loss, m, std::regex("(\\d+) of (\\d+) / 0 of 0"))) << loss;
    EXPECT_GT(std::stoi(m[1]), 0);
    EXPECT_GT(std::stoi(m[2]), std::stoi(m[1]));
}
