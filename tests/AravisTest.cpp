// The Aravis backend against a real GigE Vision device: arv-fake-gv-camera-0.8 on loopback,
// started and ended by each test.
#include "AravisFixture.h"

#include "app/CControlBasePane.h"
#include "app/CMenuDlg.h"
#include "pages/CTriggerCtrlDlg.h"
#include "pages/CROIDlg.h"
#include "pages/CXMLTreeDlg.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <fcntl.h>
#include <glib.h>
#include <sched.h>
#include <thread>

using namespace cam;
using namespace std::chrono_literals;

TEST_F(AravisBackend, TheFakeCameraIsListedWithItsIdentityAndOpens)
{
    auto lines = camera->GetCameraList();
    ASSERT_TRUE(lines && lines->size() == 1);
    auto info = camera->GetCameraInfo(0);
    ASSERT_TRUE(info);
    EXPECT_EQ((*info)[0], "Fake");
    EXPECT_EQ((*info)[1], "Aravis");
    EXPECT_EQ((*info)[5], "127.0.0.1");
    camera->SetCameraIndex(0);
    EXPECT_EQ(camera->GetCameraIndex(), 0);
    EXPECT_EQ(camera->GetCameraType(), 0);
    const std::string id = camera->GetStringValue("DeviceID");
    EXPECT_FALSE(id.empty());
    EXPECT_NE((*lines)[0].find(id), std::string::npos);  // windows and lines match by DeviceID
}

TEST_F(AravisBackend, FeaturesReadAndWriteThroughTheComponent)
{
    camera->SetCameraIndex(0);
    camera->SetImageWidth(256);
    EXPECT_EQ(camera->GetImageWidth(), 256);
    camera->SetImageHeight(200);
    EXPECT_EQ(camera->GetImageHeight(), 200);
    EXPECT_EQ(codeOf([&] { camera->SetImageWidth(100000); }), code::OutOfRange);
    const int gainMax = camera->GetGainMax();
    camera->SetGain("", static_cast<float>(gainMax));
    EXPECT_FLOAT_EQ(camera->GetGain(), static_cast<float>(gainMax));
    auto formats = camera->GetImageFormatList();
    ASSERT_TRUE(formats && !formats->empty());
    camera->SetImageFormat(static_cast<int>(formats->size()) - 1);
    EXPECT_EQ(camera->GetEnumValue("PixelFormat"), formats->back());
    camera->SetFloatValue("AcquisitionFrameRateAbs", 20);  // served by AcquisitionFrameRate
    EXPECT_NEAR(camera->GetFloatValue("AcquisitionFrameRateAbs"), 20, 0.01);
    camera->SetTriggerOnOff(1);
    EXPECT_EQ(camera->GetEnumValue("TriggerMode"), "On");
    camera->SetTriggerOnOff(0);
    EXPECT_EQ(codeOf([&] { camera->GetHue(); }), code::NoSuchFeature);
}

TEST_F(AravisBackend, TheTreeFromRootFollowsTheDevicesCategories)
{
    camera->SetCameraIndex(0);
    auto top = camera->GetChildNodes("Root");
    ASSERT_TRUE(top);
    EXPECT_NE(std::find(top->begin(), top->end(), "DeviceControl"), top->end());
    EXPECT_NE(std::find(top->begin(), top->end(), "ImageFormatControl"), top->end());
    EXPECT_EQ(camera->GetNodeInterface("ImageFormatControl"), "ICategory");
    auto format = camera->GetChildNodes("ImageFormatControl");
    EXPECT_NE(std::find(format->begin(), format->end(), "Width"), format->end());
    EXPECT_EQ(camera->GetNodeInterface("PixelFormat"), "IEnumeration");
    EXPECT_EQ(camera->GetNodeInterface("AcquisitionStart"), "ICommand");
    EXPECT_EQ(camera->GetAccessMode("Width"), access::ReadWrite);
    EXPECT_EQ(camera->GetAccessMode("DeviceVendorName"), access::ReadOnly);
}

TEST_F(AravisBackend, RegistersReadBack)
{
    camera->SetCameraIndex(0);
    camera->SetIntValue("TestRegister", 0x1234);
    EXPECT_EQ(camera->GetIntValue("TestRegister"), 0x1234);
    const int heartbeat = camera->ReadRegister(0x0938);  // heartbeat timeout, in ms
    EXPECT_GT(heartbeat, 0);
    camera->WriteRegister(0x0938, heartbeat + 1000);
    EXPECT_EQ(camera->ReadRegister(0x0938), heartbeat + 1000);
    camera->WriteRegister(0x0938, heartbeat);
}

TEST_F(AravisBackend, FramesArriveAtTheSetRate)
{
    camera->SetCameraIndex(0);
    camera->SetFloatValue("AcquisitionFrameRateAbs", 25);
    camera->SetAcquisition(1);
    ASSERT_TRUE(frames(3));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(frames(25));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NEAR(25 / seconds, 25, 6);
    EXPECT_NEAR(camera->GetReceivedFrameRate(), 25, 3);  // what the info pane shows
    auto raw = camera->GetRawImage(0);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->size(), static_cast<size_t>(camera->GetImageWidth() * camera->GetImageHeight()));
    camera->SetAcquisition(0);
    EXPECT_EQ(events.drops, 0);
}

namespace {

// The fake camera's Mono8 image is a diagonal ramp: each pixel depends on x + y (and the frame).
bool isDiagonalRamp(const FrameBuffer &f)
{
    if (f.format != PixelFormat::Mono8 || f.width < 2 || f.height < 2 ||
        f.size != static_cast<size_t>(f.width) * f.height)
        return false;
    const uint8_t *p = f.bytes();
    for (int y = 0; y + 1 < f.height; ++y)
        for (int x = 1; x < f.width; ++x)
            if (p[y * f.width + x] != p[(y + 1) * f.width + x - 1])
                return false;
    return true;
}

std::vector<uint8_t> bytesOf(const FrameBuffer &f) { return {f.bytes(), f.bytes() + f.size}; }

// Counts what GLib and Aravis report as critical (an unref of a freed buffer, a push to a
// finalised stream) while it lives.
class CriticalCount {
public:
    CriticalCount() { previous_ = g_log_set_default_handler(&CriticalCount::handle, &count_); }
    ~CriticalCount() { g_log_set_default_handler(previous_, nullptr); }
    int count() const { return count_; }

private:
    static void handle(const gchar *domain, GLogLevelFlags level, const gchar *message, gpointer count)
    {
        if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
            ++*static_cast<int *>(count);
            ADD_FAILURE() << (domain ? domain : "") << ": " << message;
        }
    }
    int count_ = 0;
    GLogFunc previous_ = nullptr;
};

} // namespace

// Frames are received straight into the pool: they must hold whole images, stay as they were
// while the consumer holds them, and survive Stop; the stream must restart cleanly.
TEST_F(AravisBackend, PoolFramesHoldTheirImageWhileHeldAndStopAndRestartCleanly)
{
    CriticalCount criticals;
    camera->SetCameraIndex(0);
    camera->SetFloatValue("AcquisitionFrameRateAbs", 50);
    camera->SetPlayParameter(4);  // a small pool, so holding frames uses it up
    for (int run = 0; run < 2; ++run) {
        camera->SetAcquisition(1);
        ASSERT_TRUE(frames(3));
        const FrameBuffer *held = camera->currentFrame();
        ASSERT_TRUE(held);
        EXPECT_TRUE(isDiagonalRamp(*held));
        const std::vector<uint8_t> before = bytesOf(*held);
        // No events processed: the consumer keeps this frame, and the stream fills the rest of
        // the pool and then has nowhere to receive.
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(bytesOf(*held), before) << "a held frame was received into again";
        ASSERT_TRUE(platform.processUntil([&] { return events.drops > 0; }, 3000))
            << "frames with no free buffer went uncounted";
        ASSERT_TRUE(frames(5));
        EXPECT_TRUE(isDiagonalRamp(*camera->currentFrame()));
        EXPECT_NE(bytesOf(*camera->currentFrame()), before);
        // Stop with frames still waiting and one shown: the shown one stays readable.
        std::this_thread::sleep_for(100ms);
        held = camera->currentFrame();
        const std::vector<uint8_t> shown = bytesOf(*held);
        camera->SetAcquisition(0);
        EXPECT_EQ(bytesOf(*held), shown);
        platform.processEvents();
        ASSERT_TRUE(camera->currentFrame());
        EXPECT_TRUE(isDiagonalRamp(*camera->currentFrame()));
        events.drops = 0;
    }
    camera.reset();  // closing with the last frame still shown
    EXPECT_EQ(criticals.count(), 0);
}

TEST_F(AravisBackend, WhileAnotherProcessHoldsControlOpeningGivesMinusFourAndMonitoringReceives)
{
    ChildProcess holder({"arv-camera-test-0.8", "-n", "Aravis-Fake-GV01"});
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(codeOf([&] { camera->SetCameraIndex(0); }), code::HeldElsewhere);
    camera->SetAccessMode(2);
    camera->SetCameraIndex(0);
    EXPECT_EQ(camera->GetAccessMode(), 2);
    EXPECT_EQ(codeOf([&] { camera->SetImageWidth(128); }), code::AccessDenied);
    camera->SetAcquisition(1);
    EXPECT_TRUE(frames(5));
    auto raw = camera->GetRawImage(0);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->size(), static_cast<size_t>(camera->GetImageWidth() * camera->GetImageHeight()));
    camera->SetAcquisition(0);
    holder.stop();
}

TEST_F(AravisBackend, KillingTheCameraWhilePlayingRemovesItWithinSecondsAndCallsFailAtOnce)
{
    camera->SetCameraIndex(0);
    camera->SetAcquisition(1);
    ASSERT_TRUE(frames(2));
    fake->stop();
    const auto killed = std::chrono::steady_clock::now();
    // No discovery runs: the camera's own link watch notices.
    ASSERT_TRUE(platform.processUntil([&] { return !events.removed.empty(); }, 5000));
    const auto removal = std::chrono::steady_clock::now() - killed;
    EXPECT_LT(removal, 3s);
    EXPECT_EQ(events.removed, std::vector<int>{0});
    EXPECT_EQ(camera->GetCameraIndex(), -1);
    const auto call = std::chrono::steady_clock::now();
    try {
        camera->GetAcquisitionMode();
        ADD_FAILURE() << "a call on a lost camera succeeded";
    } catch (const CameraError &e) {
        EXPECT_EQ(e.code(), code::Removed);
        EXPECT_STREQ(e.what(), "Camera Aravis-Fake-GV01 (GV01) stopped answering");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - call, 50ms);
    camera.reset();  // closing does not wait on the camera either
    EXPECT_LT(std::chrono::steady_clock::now() - call, 200ms);
    // Discovery forgets it; started again, it comes back as a new camera.
    discovery.scan();
    EXPECT_EQ(CameraBus::instance().count(), 0);
    fake = std::make_unique<ChildProcess>(fakeCameraCommand());
    std::this_thread::sleep_for(300ms);
    discovery.scan();
    EXPECT_EQ(CameraBus::instance().count(), 1);
}

// Counts the control requests (register and memory reads and writes) a fake camera started with
// "-d device" has logged handling.
int controlRequests(const std::string &log)
{
    std::ifstream in(log);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        n += line.find("handle_control_packet] Read") != std::string::npos ||
             line.find("handle_control_packet] Write") != std::string::npos;
    return n;
}

// While a camera plays, a window reads its image size with every frame and the info pane its
// status every 100 ms: the camera itself is asked only about what can change.
TEST(AravisTraffic, PlayingWithTheWindowsReadOutsSendsFewControlRequests)
{
    const std::string log = "/tmp/molvane-fake-" + std::to_string(getpid()) + ".log";
    auto command = fakeCameraCommand();
    command.insert(command.end(), {"-d", "device"});
    ChildProcess fake(command, log);
    std::this_thread::sleep_for(300ms);
    fw::HeadlessPlatform platform;
    {
        AravisDiscovery discovery;
        discovery.scan();
        ASSERT_EQ(CameraBus::instance().count(), 1);
        Events events;
        CMolvane camera;
        camera.Create("Molvane", [&](std::function<void()> fn) { platform.post(std::move(fn)); }, &events);
        camera.SetCameraIndex(0);
        camera.SetFloatValue("AcquisitionFrameRateAbs", 50);
        camera.SetAcquisition(1);
        ASSERT_TRUE(platform.processUntil([&] { return events.images >= 3; }, 8000));
        const int before = controlRequests(log);
        const int frames = events.images;
        for (int tick = 0; tick < 20; ++tick) {  // two seconds of 100 ms status refreshes
            const int seen = events.images;
            platform.processUntil([] { return false; }, 100);
            for (int i = seen; i < events.images; ++i) {
                EXPECT_EQ(camera.GetImageWidth(), 512);
                EXPECT_EQ(camera.GetImageHeight(), 512);
            }
            camera.GetReceivedFrameRate();
            EXPECT_EQ(camera.GetAcquisitionMode(), "Continuous");
            camera.GetReceivedFrameCount();
        }
        const int requests = controlRequests(log) - before;
        std::printf("frames %d control_requests %d in 2 s\n", events.images - frames, requests);
        EXPECT_GT(events.images - frames, 40);
        EXPECT_LT(requests, 20);  // the link watch and Aravis's heartbeat: about 3 a second
        camera.SetAcquisition(0);
        discovery.stop();
    }
    fake.stop();
    std::remove(log.c_str());
    CameraBus::instance().clear();
}

TEST_F(AravisShell, ARealCameraOpensPlaysAndItsWindowClosesWhenItGoes)
{
    start(1);  // one simulated camera too: real cameras come first
    discovery.scan();
    platform.processEvents();
    ASSERT_EQ(list().lineCount(), 2);
    EXPECT_NE(list().lineText(0).find("Aravis"), std::string::npos);
    ASSERT_EQ(list().m_listCastMode.size(), 2u);
    CMolvaneView *view = open(0);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->m_bOpenOK);
    // Its feature tree browses and writes.
    frame().routeCommand(res::CmdCameraControl);
    frame().m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnTree);
    CXMLTreeDlg *tree = view->m_pXMLTreeDlg;
    ASSERT_NE(tree, nullptr);
    const auto &items = tree->form().treeItems(res::TreNodes);
    int width = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].text == "Width")
            width = static_cast<int>(i);
    ASSERT_GE(width, 0);
    tree->form().setSelection(res::TreNodes, width);
    tree->dispatch(fw::Notify::TreeSelChange, res::TreNodes);
    EXPECT_EQ(tree->form().text(res::TreValue), "512");
    tree->form().setText(res::TreValue, "256");
    tree->dispatch(fw::Notify::Clicked, res::TreSet);
    EXPECT_EQ(view->m_pCamera->GetImageWidth(), 256);
    frame().routeCommand(res::CmdPlay);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 3; }, 8000));
    fake->stop();
    discovery.scan();
    platform.processEvents();
    EXPECT_TRUE(platform.frame()->children().empty());
    ASSERT_EQ(list().lineCount(), 1);
    EXPECT_EQ(list().m_listCastMode.size(), 1u);
}

// A camera that vanishes while it plays, with the info pane's status refresh running: its window
// closes and its line goes within seconds, and the user interface never waits long on it.
TEST_F(AravisShell, AKilledCameraClosesItsWindowSoonWithoutStallingTheInterface)
{
    using Clock = std::chrono::steady_clock;
    start(0);
    discovery.start(2000);  // as the program runs it
    ASSERT_TRUE(platform.processUntil([&] { return list().lineCount() == 1; }, 5000));
    CMolvaneView *view = open(0);
    ASSERT_TRUE(view && view->m_bOpenOK);
    ASSERT_NE(frame().m_pCameraInfoPane, nullptr);
    frame().routeCommand(res::CmdPlay);
    ASSERT_TRUE(platform.processUntil(
        [&] {
            platform.advance(10);
            return view->m_nFrameCount >= 3;
        },
        8000));
    fake->stop();
    const auto killed = Clock::now();
    double stallMs = 0;
    bool gone = false;
    while (!gone && Clock::now() - killed < 10s) {
        const auto turn = Clock::now();
        platform.advance(20);  // timers run at about the real pace
        stallMs = std::max(stallMs, std::chrono::duration<double, std::milli>(Clock::now() - turn).count());
        gone = platform.frame()->children().empty() && list().lineCount() == 0;
        std::this_thread::sleep_for(20ms);
    }
    const double removalMs = std::chrono::duration<double, std::milli>(Clock::now() - killed).count();
    std::printf("kill_to_removal_ms %.0f\nlongest_ui_stall_ms %.0f\n", removalMs, stallMs);
    EXPECT_TRUE(gone);
    EXPECT_LT(removalMs, 5000);
    EXPECT_LT(stallMs, 3000);
    for (const auto &box : platform.messageBoxes())
        EXPECT_EQ(box.text, "Camera Aravis-Fake-GV01 (GV01) stopped answering");
}

TEST_F(AravisShell, TheRoiPageSetsARealCamerasRegionWhilePlaying)
{
    start(0);
    discovery.scan();
    platform.processEvents();
    CMolvaneView *view = open(0);
    ASSERT_TRUE(view && view->m_bOpenOK);
    frame().routeCommand(res::CmdCameraControl);
    frame().routeCommand(res::CmdPlay);
    frame().m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnRoi);
    CROIDlg &p = *frame().m_pControlPane->m_pROIDlg;
    EXPECT_FALSE(p.form().isEnabled(res::RoiPacketSet));  // GigE: no packet size here
    ASSERT_EQ(p.form().text(res::RoiEndX), "512");
    // Moving right and shrinking: the camera is asked in an order it accepts.
    p.form().setText(res::RoiStartX, "1024");
    p.form().setText(res::RoiStartY, "64");
    p.form().setText(res::RoiEndX, "1280");
    p.form().setText(res::RoiEndY, "256");
    p.dispatch(fw::Notify::Clicked, res::RoiSetArea);
    EXPECT_TRUE(platform.balloons().empty());
    cam::CMolvane &c = *view->m_pCamera;
    EXPECT_EQ(c.GetOffsetX(), 1024);
    EXPECT_EQ(c.GetImageWidth(), 256);
    EXPECT_EQ(c.GetImageHeight(), 192);
    const auto before = view->m_nFrameCount;
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= before + 3; }, 8000));
    auto raw = c.GetRawImage(0);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->size(), 256u * 192u);
}

// Multicast needs a route for the groups; the test makes a network namespace of its own whose
// loopback carries them, and runs the fake camera and both receivers inside it.
class NetworkNamespace {
public:
    NetworkNamespace() : name_("molvane-mc-" + std::to_string(getpid()))
    {
        if (geteuid() != 0 || !sh("ip netns add " + name_))
            return;
        created_ = true;
        const std::string in = "ip netns exec " + name_ + " ";
        if (!sh(in + "ip link set lo up") || !sh(in + "ip link set lo multicast on") ||
            !sh(in + "ip route add 224.0.0.0/4 dev lo"))
            return;
        original_ = ::open("/proc/self/ns/net", O_RDONLY);
        const int target = ::open(("/var/run/netns/" + name_).c_str(), O_RDONLY);
        entered_ = original_ >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0;
        if (target >= 0)
            ::close(target);
    }
    ~NetworkNamespace()
    {
        if (entered_)
            setns(original_, CLONE_NEWNET);
        if (original_ >= 0)
            ::close(original_);
        if (created_)
            sh("ip netns delete " + name_);
    }
    bool entered() const { return entered_; }

private:
    static bool sh(const std::string &command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }
    std::string name_;
    bool created_ = false;
    bool entered_ = false;
    int original_ = -1;
};

TEST(AravisMulticast, AMulticastControllerAndAMonitorInAnotherProcessBothReceiveTheGroupStream)
{
    NetworkNamespace ns;
    if (!ns.entered())
        GTEST_SKIP() << "making a network namespace needs root and iproute2";
    fw::HeadlessPlatform platform;
    ChildProcess fake(fakeCameraCommand());
    std::this_thread::sleep_for(300ms);
    {
        AravisDiscovery discovery;
        discovery.scan();
        ASSERT_EQ(CameraBus::instance().count(), 1);
        Events events;
        CMolvane controller;
        controller.Create("Molvane", [&](std::function<void()> fn) { platform.post(std::move(fn)); }, &events);
        controller.SetMulticastMode(1);
        controller.SetCameraIndex(0);
        EXPECT_EQ(controller.GetAccessMode(), 1);
        controller.SetAcquisition(1);
        EXPECT_EQ(static_cast<uint32_t>(controller.ReadRegister(0x0D18)), 0xEFC00001u);  // 239.192.0.1
        ASSERT_TRUE(platform.processUntil([&] { return events.images >= 3; }, 8000));
        // Another process monitors: it joins the group and receives the same frames.
        const std::string dir = "/tmp/molvane-monitor-" + std::to_string(getpid());
        const std::string cmd = std::string(MOLVANE_CLI) + " --monitor grab GV01 --count 3 --out " + dir + " 2>&1";
        FILE *p = popen(cmd.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string out;
        char line[512];
        // The controller keeps handling its own frames while the monitor runs.
        std::thread reader([&] {
            while (fgets(line, sizeof line, p))
                out += line;
        });
        while (reader.joinable()) {
            platform.processUntil([] { return false; }, 100);
            if (out.find("frames") != std::string::npos || out.find("error") != std::string::npos)
                break;
        }
        reader.join();
        pclose(p);
        EXPECT_NE(out.find("received 3 frames"), std::string::npos) << out;
        std::filesystem::remove_all(dir);
        controller.SetAcquisition(0);
        EXPECT_EQ(controller.ReadRegister(0x0D00) & 0xffff, 0);  // the channel is off again
        discovery.stop();
    }
    fake.stop();
    CameraBus::instance().clear();
}

TEST_F(AravisBackend, SoftwareTriggersAndSingleFrameShotsDeliverExactlyTheirFrames)
{
    camera->SetCameraIndex(0);
    camera->SetTriggerSource("Software");
    camera->SetTriggerOnOff(1);
    camera->SetAcquisition(1);
    platform.processUntil([] { return false; }, 400);
    EXPECT_EQ(events.images, 0);  // nothing comes without a trigger
    for (int n = 1; n <= 3; ++n) {
        camera->SendSoftwareTrigger();
        ASSERT_TRUE(frames(1)) << "trigger " << n;
        platform.processUntil([] { return false; }, 300);
        EXPECT_EQ(events.images, n);
    }
    camera->SetAcquisition(0);
    camera->SetTriggerOnOff(0);
    // A single-frame shot gives one frame, then nothing more.
    events.images = 0;
    camera->StartOneShot();
    ASSERT_TRUE(frames(1));
    platform.processUntil([] { return false; }, 500);
    EXPECT_EQ(events.images, 1);
    camera->SetAcquisition(0);
    // Members whose nodes this camera lacks are refused.
    EXPECT_EQ(codeOf([&] { camera->GetTriggerMode(); }), code::NoSuchFeature);
    EXPECT_EQ(codeOf([&] { camera->GetStrobeDuration(); }), code::NoSuchFeature);
}

TEST_F(AravisShell, TheTriggerPageSoftwareTriggersTheFakeCameraOneFramePerClick)
{
    start(0);
    discovery.scan();
    platform.processEvents();
    CMolvaneView *view = open(0);
    ASSERT_NE(view, nullptr);
    frame().routeCommand(res::CmdCameraControl);
    frame().m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnTrigger);
    CTriggerCtrlDlg *page = frame().m_pControlPane->m_pTriggerDlg;
    ASSERT_NE(page, nullptr);
    fw::Form &f = page->form();
    const auto &sources = f.items(res::TrgSource);
    const auto software = std::find(sources.begin(), sources.end(), "Software");
    ASSERT_NE(software, sources.end());
    f.setSelection(res::TrgSource, static_cast<int>(software - sources.begin()));
    f.setCheck(res::TrgOnOff, 1);
    page->dispatch(fw::Notify::Clicked, res::TrgSet);
    EXPECT_EQ(view->m_pCamera->GetTriggerOnOff(), 1);
    EXPECT_TRUE(f.isEnabled(res::TrgSoftware));
    frame().routeCommand(res::CmdPlay);
    platform.processUntil([] { return false; }, 400);
    view->m_nFrameCount = 0;
    for (unsigned n = 1; n <= 3; ++n) {
        page->dispatch(fw::Notify::Clicked, res::TrgSoftware);
        ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= n; }, 5000)) << n;
        platform.processUntil([] { return false; }, 250);
        EXPECT_EQ(view->m_nFrameCount, n);
    }
    // The fake camera has no trigger mode list or pulse count: those refusals are reported.
    bool modeError = false;
    for (const auto &m : platform.messageBoxes())
        modeError = modeError || m.text == "Error while setting Trigger Mode!";
    EXPECT_TRUE(modeError);
}
