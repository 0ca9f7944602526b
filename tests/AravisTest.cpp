// The Aravis backend against a real GigE Vision device: arv-fake-gv-camera-0.8 on loopback,
// started and ended by each test.
#include "FakeCameraProcess.h"
#include "TestSupport.h"

#include "camera/aravis/AravisDiscovery.h"
#include "app/CControlBasePane.h"
#include "app/CMenuDlg.h"
#include "pages/CROIDlg.h"
#include "pages/CXMLTreeDlg.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <thread>

using namespace cam;
using namespace std::chrono_literals;

namespace {

struct Events : CameraEvents {
    int images = 0, drops = 0;
    std::vector<int> removed;
    void ImageReceived(int) override { ++images; }
    void FrameDropped() override { ++drops; }
    void CameraRemoved(int p) override { removed.push_back(p); }
};

} // namespace

class AravisBackend : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake = std::make_unique<ChildProcess>(fakeCameraCommand(loss));
        ASSERT_TRUE(fake->running()) << "arv-fake-gv-camera-0.8 is not installed";
        std::this_thread::sleep_for(300ms);
        discovery.scan();
        ASSERT_EQ(CameraBus::instance().count(), 1) << "the fake camera was not found on 127.0.0.1";
        camera = std::make_unique<CMolvane>();
        camera->Create("Molvane", [this](std::function<void()> fn) { platform.post(std::move(fn)); }, &events);
    }
    void TearDown() override
    {
        camera.reset();
        platform.processEvents();
        discovery.stop();
        fake.reset();
        CameraBus::instance().clear();
    }
    bool frames(int n, int timeoutMs = 8000)
    {
        const int target = events.images + n;
        return platform.processUntil([&] { return events.images >= target; }, timeoutMs);
    }

    int loss = 0;
    fw::HeadlessPlatform platform;
    std::unique_ptr<ChildProcess> fake;
    AravisDiscovery discovery;
    Events events;
    std::unique_ptr<CMolvane> camera;
};

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
    auto raw = camera->GetRawImage(0);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->size(), static_cast<size_t>(camera->GetImageWidth() * camera->GetImageHeight()));
    camera->SetAcquisition(0);
    EXPECT_EQ(events.drops, 0);
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

TEST_F(AravisBackend, KillingTheCameraWhilePlayingRemovesIt)
{
    camera->SetCameraIndex(0);
    camera->SetAcquisition(1);
    ASSERT_TRUE(frames(2));
    fake->stop();
    discovery.scan();
    platform.processUntil([&] { return !events.removed.empty(); }, 3000);
    EXPECT_EQ(events.removed, std::vector<int>{0});
    EXPECT_EQ(camera->GetCameraIndex(), -1);
    EXPECT_EQ(codeOf([&] { camera->GetImageWidth(); }), code::Removed);
}

class LossyAravisBackend : public AravisBackend {
protected:
    void SetUp() override
    {
        loss = 50;  // 5 % of the packets
        AravisBackend::SetUp();
    }
};

TEST_F(LossyAravisBackend, LostPacketsFireFrameDroppedAsAravisCountsThem)
{
    camera->SetCameraIndex(0);
    camera->SetFloatValue("AcquisitionFrameRateAbs", 50);
    camera->SetAcquisition(1);
    ASSERT_TRUE(platform.processUntil([&] { return events.drops >= 3; }, 15000));
    auto *device = dynamic_cast<AravisCamera *>(camera->device().get());
    ASSERT_NE(device, nullptr);
    uint64_t completed = 0, failures = 0, underruns = 0;
    device->streamStatistics(completed, failures, underruns);
    camera->SetAcquisition(0);
    platform.processEvents();
    EXPECT_EQ(static_cast<uint64_t>(events.drops), failures + underruns);
}

// The desktop shell with a real camera: listed, opened, played; killing it closes the window.
class AravisShell : public AppFixture {
protected:
    void SetUp() override
    {
        fake = std::make_unique<ChildProcess>(fakeCameraCommand());
        std::this_thread::sleep_for(300ms);
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        discovery.stop();
        fake.reset();
        CameraBus::instance().clear();
    }
    std::unique_ptr<ChildProcess> fake;
    AravisDiscovery discovery;
};

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
