// The IEEE 1394 backend over a scripted libdc1394: video modes and frame-rate lists on the
// Format page, Format7 geometry and packet size on the ROI page, feature rows and automatic
// states on the Feature Control page, the node tree and registers, opening refusals, streaming
// with lost frames, and cameras plugged in, unplugged and unplugged while playing.
#include "ScriptedDc1394.h"
#include "TestSupport.h"

#include "app/AppAccess.h"
#include "app/CAboutDlg.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMenuDlg.h"
#include "camera/iidc/IidcDiscovery.h"
#include "pages/CFeatureCtrlDlg.h"
#include "pages/CGeneralSettingDlg.h"
#include "pages/CROIDlg.h"
#include "view/CMolvaneView.h"

using namespace res;
using cam::IidcCoding;
using cam::IidcFeature;
using cam::IidcFeatureMode;

namespace {

// IDs as libdc1394 numbers them.
constexpr int k640Mono8 = 69, k640Mono16 = 70, k1024Yuv422 = 76, k640Yuv411 = 66, kF7Mono = 88, kF7Raw = 89;
constexpr int k7_5 = 34, k15 = 35, k30 = 36, k3_75 = 33;

cam::IidcFeatureInfo feature(IidcFeature id, uint32_t min, uint32_t max, uint32_t value,
                             std::vector<IidcFeatureMode> modes = {IidcFeatureMode::Manual})
{
    cam::IidcFeatureInfo f;
    f.id = id;
    f.available = true;
    f.min = min, f.max = max, f.value = value;
    f.modes = modes;
    return f;
}

// A monochrome camera with fixed modes, two Format7 modes, a handful of features, a trigger
// and two strobe outputs.
std::shared_ptr<IidcScript> flea(uint64_t guid = 0x00B09D0100AABBCCull)
{
    auto s = std::make_shared<IidcScript>();
    s->identity = {{guid, 0}, "Point Grey Research", "Flea3 FL3-FW-03S1M", "1.31"};
    s->modes = {{k640Mono8, false, 0, 640, 480, IidcCoding::Mono8},
                {k640Mono16, false, 0, 640, 480, IidcCoding::Mono16},
                {k640Yuv411, false, 0, 640, 480, IidcCoding::YUV411},  // not shown
                {k1024Yuv422, false, 0, 1024, 768, IidcCoding::YUV422},
                {kF7Mono, true, 0, 1024, 768, IidcCoding::Mono8},
                {kF7Raw, true, 1, 512, 384, IidcCoding::Raw8}};
    s->rates = {{k640Mono8, {{k7_5, 7.5}, {k15, 15}, {k30, 30}}},
                {k640Mono16, {{k7_5, 7.5}, {k15, 15}}},
                {k640Yuv411, {{k15, 15}}},
                {k1024Yuv422, {{k3_75, 3.75}, {k7_5, 7.5}}}};
    cam::IidcFormat7 f7;
    f7.maxWidth = f7.width = 1024;
    f7.maxHeight = f7.height = 768;
    f7.unitWidth = f7.unitLeft = 8;
    f7.unitHeight = f7.unitTop = 2;
    f7.unitPacket = 8;
    f7.maxPacket = f7.packetSize = 4096;
    s->format7[kF7Mono] = f7;
    f7.coding = IidcCoding::Raw8;
    f7.filter = cam::IidcFilter::GBRG;
    s->format7[kF7Raw] = f7;
    s->mode = k640Mono8;
    s->rate = k15;
    for (int i = 0; i <= static_cast<int>(IidcFeature::CaptureQuality); ++i) {
        cam::IidcFeatureInfo absent;
        absent.id = static_cast<IidcFeature>(i);
        s->features.push_back(absent);
    }
    using M = IidcFeatureMode;
    s->feature(IidcFeature::Brightness) = feature(IidcFeature::Brightness, 0, 255, 16);
    auto gain = feature(IidcFeature::Gain, 0, 680, 100, {M::Manual, M::Auto});
    gain.mode = M::Auto;
    gain.absoluteCapable = true;
    gain.absMin = 0, gain.absMax = 24, gain.absValue = 6.5f;
    s->feature(IidcFeature::Gain) = gain;
    auto shutter = feature(IidcFeature::Shutter, 1, 4095, 500, {M::Manual, M::Auto, M::OnePush});
    shutter.absoluteCapable = true;
    shutter.absMin = 0.00002f, shutter.absMax = 2.0f, shutter.absValue = 0.01f;
    s->feature(IidcFeature::Shutter) = shutter;
    auto white = feature(IidcFeature::WhiteBalance, 0, 1023, 0, {M::Manual, M::OnePush});
    white.blueU = 480, white.redV = 520;
    s->feature(IidcFeature::WhiteBalance) = white;
    s->feature(IidcFeature::Pan) = feature(IidcFeature::Pan, 0, 100, 50);
    s->feature(IidcFeature::OpticalFilter) = feature(IidcFeature::OpticalFilter, 0, 3, 1);
    auto trigger = feature(IidcFeature::Trigger, 0, 0, 0);
    trigger.triggerModes = {0, 1, 14};
    trigger.triggerSources = {0, cam::kIidcSoftwareSource};
    trigger.polarityCapable = true;
    s->feature(IidcFeature::Trigger) = trigger;
    s->registers = {{0x400, 0x80000000u}, {0x404, 0x8A000000u}, {0x800, 0x82000010u}, {0x614, 0}};
    s->strobes = {{0x000, 0xC0000000u}, {0x100, 0x80000FFFu}, {0x104, 0x80000FFFu}, {0x200, 0x80000000u},
                  {0x204, 0x80000000u}};
    return s;
}

} // namespace

class Iidc : public AppFixture {
protected:
    // Connects `camera`, lets discovery find it, starts with `sims` simulated cameras.
    void startWith(std::shared_ptr<IidcScript> camera, int sims = 0)
    {
        script = camera;
        bus->connect(camera);
        discovery.scan();
        start(sims);
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        discovery.stop();
    }
    bool create(cam::CMolvane &c)
    {
        return c.Create("Molvane", [this](std::function<void()> fn) { platform.post(std::move(fn)); }, nullptr);
    }
    template <typename Page>
    void select(Page &p, int id, int index)
    {
        p.form().setSelection(id, index);
        p.dispatch(fw::Notify::SelChange, id);
    }
    CGeneralSettingDlg &formatPage()
    {
        view = open(0);
        frame().routeCommand(CmdCameraControl);
        return *frame().m_pControlPane->m_pFormatDlg;
    }
    CROIDlg &roiPage()
    {
        frame().m_pControlPane->ShowPage(CControlBasePane::Page::Roi);
        return *frame().m_pControlPane->m_pROIDlg;
    }
    CFeatureCtrlDlg &featurePage()
    {
        view = open(0);
        frame().routeCommand(CmdCameraControl);
        frame().m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, BtnFeature);
        return *frame().m_pControlPane->m_pFeatureDlg;
    }
    std::vector<std::string> column(const fw::Form &f, int id, int col)
    {
        std::vector<std::string> out;
        for (int r = 0; r < f.rowCount(id); ++r)
            out.push_back(f.cell(id, r, col));
        return out;
    }
    template <typename T>
    T scripted(const std::function<T(IidcScript &)> &read)
    {
        std::lock_guard<std::mutex> lock(script->mutex);
        return read(*script);
    }
    bool called(const std::string &name)
    {
        return scripted<bool>([&](IidcScript &s) { return std::count(s.calls.begin(), s.calls.end(), name) > 0; });
    }

    std::shared_ptr<ScriptedDc1394> bus = std::make_shared<ScriptedDc1394>();
    cam::IidcDiscovery discovery{bus};
    std::shared_ptr<IidcScript> script;
    CMolvaneView *view = nullptr;
};

TEST_F(Iidc, ListLinesNameTheModelAndGuidBeforeSimulatedCamerasAndFollowPlugging)
{
    startWith(flea(), 1);
    ASSERT_EQ(list().lineCount(), 2);
    EXPECT_EQ(list().lineText(0), "[1394] Flea3 FL3-FW-03S1M (00B09D0100AABBCC)");
    EXPECT_EQ(list().lineText(1).rfind("[GigE] SIM-", 0), 0u);
    bus->connect(flea(0x1234));  // plugged in: listed at the next look, still before the simulation
    discovery.scan();
    platform.processEvents();
    ASSERT_EQ(list().lineCount(), 3);
    EXPECT_EQ(list().lineText(1), "[1394] Flea3 FL3-FW-03S1M (0000000000001234)");
    script->unplug();
    discovery.scan();
    platform.processEvents();
    ASSERT_EQ(list().lineCount(), 2);
    EXPECT_EQ(list().lineText(0), "[1394] Flea3 FL3-FW-03S1M (0000000000001234)");
}

TEST_F(Iidc, OpeningRefusesAHeldCameraWithMinusFourAndAnUnopenableOneWithMinusSix)
{
    auto held = flea();
    held->held = true;
    startWith(held);
    auto c = std::make_unique<cam::CMolvane>();
    cam::CMolvane second;
    ASSERT_TRUE(create(*c));
    ASSERT_TRUE(create(second));
    EXPECT_EQ(codeOf([&] { c->SetCameraIndex(0); }), cam::code::HeldElsewhere);
    held->transmitting = held->held = false;
    EXPECT_EQ(codeOf([&] { c->SetCameraIndex(0); }), 0);
    EXPECT_EQ(c->GetCameraType(), 1);
    EXPECT_EQ(codeOf([&] { second.SetCameraIndex(0); }), cam::code::HeldElsewhere);  // open in another window
    c.reset();
    held->unopenable = true;
    EXPECT_EQ(codeOf([&] { second.SetCameraIndex(0); }), cam::code::CannotOpen);
    held->unopenable = false;
    held->refusing = {"features"};  // a camera that cannot describe itself cannot be opened either
    EXPECT_EQ(codeOf([&] { second.SetCameraIndex(0); }), cam::code::CannotOpen);
}

TEST_F(Iidc, TheFormatPageListsShowableVideoModesAndTheRatesOfTheCurrentOne)
{
    startWith(flea());
    CGeneralSettingDlg &p = formatPage();
    const fw::Form &f = p.form();
    EXPECT_EQ(f.items(FmtPixelFormat),
              (std::vector<std::string>{"640x480 Mono8", "640x480 Mono16", "1024x768 YUV422",
                                        "Format7 Mode0 Mono8", "Format7 Mode1 BayerGB8"}));
    EXPECT_EQ(f.items(FmtRate1394), (std::vector<std::string>{"7.5", "15", "30"}));
    EXPECT_EQ(f.selectedText(FmtRate1394), "15");  // the camera's own rate
    select(p, FmtRate1394, 2);
    EXPECT_EQ(script->rate, k30);
    // A mode without the current rate gets its last one.
    select(p, FmtPixelFormat, 2);
    EXPECT_EQ(script->mode, k1024Yuv422);
    EXPECT_EQ(f.items(FmtRate1394), (std::vector<std::string>{"3.75", "7.5"}));
    EXPECT_EQ(script->rate, k7_5);
    EXPECT_EQ(view->m_pCamera->GetImageWidth(), 1024);
    // Format7 has no rate list; the info pane names the mode as the ROI page expects it.
    select(p, FmtPixelFormat, 4);
    EXPECT_EQ(script->mode, kF7Raw);
    EXPECT_FALSE(f.isEnabled(FmtRate1394));
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(InfoFormat), "Format7 Mode1 BayerGB8");
    EXPECT_EQ(view->m_pCamera->GetBayerLayout(), cam::bayerLayoutOf(cam::PixelFormat::BayerGB8));
    EXPECT_EQ(codeOf([&] { view->m_pCamera->GetFrameRateList(); }), cam::code::NotSupported);
    // A refused mode leaves the camera and the page as they were.
    script->refusing = {"setVideoMode"};
    EXPECT_EQ(codeOf([&] { view->m_pCamera->SetImageFormat(0); }), cam::code::Failed);
    EXPECT_EQ(view->m_pCamera->GetImageFormat(), 4);
}

TEST_F(Iidc, TheRoiPageSetsTheFormat7RegionAndPacketSizeOnTheCamera)
{
    startWith(flea());
    CGeneralSettingDlg &format = formatPage();
    CROIDlg &fixed = roiPage();
    EXPECT_FALSE(fixed.form().isEnabled(RoiSetArea));  // a fixed mode has no region
    EXPECT_FALSE(fixed.form().isEnabled(RoiPacketSet));
    frame().m_pControlPane->ShowPage(CControlBasePane::Page::Format);
    select(format, FmtPixelFormat, 3);
    CROIDlg &p = roiPage();
    const fw::Form &f = p.form();
    ASSERT_TRUE(f.isEnabled(RoiSetArea));
    EXPECT_EQ(f.text(RoiUnitX), "8");
    EXPECT_EQ(f.text(RoiUnitY), "2");
    EXPECT_EQ(f.text(RoiPacketBounds), "[ 8 ~ 4096 ]");
    p.form().setText(RoiStartX, "16");
    p.form().setText(RoiStartY, "8");
    p.form().setText(RoiEndX, "272");
    p.form().setText(RoiEndY, "200");
    p.dispatch(fw::Notify::Clicked, RoiSetArea);
    const cam::IidcFormat7 g = scripted<cam::IidcFormat7>([](IidcScript &s) { return s.format7[kF7Mono]; });
    EXPECT_EQ((std::vector<int>{g.left, g.top, g.width, g.height}), (std::vector<int>{16, 8, 256, 192}));
    // The smaller region allows smaller packets only; the page reads the new bounds.
    EXPECT_EQ(f.text(RoiPacketBounds), "[ 8 ~ 768 ]");
    p.form().setText(RoiPacket, "512");
    p.dispatch(fw::Notify::Clicked, RoiPacketSet);
    EXPECT_EQ(scripted<int>([](IidcScript &s) { return s.format7[kF7Mono].packetSize; }), 512);
    p.form().setText(RoiPacket, "516");  // a multiple of 4 but not of the camera's unit of 8
    p.dispatch(fw::Notify::Clicked, RoiPacketSet);
    EXPECT_EQ(scripted<int>([](IidcScript &s) { return s.format7[kF7Mono].packetSize; }), 512);
    EXPECT_EQ(view->m_pCamera->GetBytePerPacket(), 512);
}

TEST_F(Iidc, FeatureRowsFollowTheCameraAndTheirAutoStatesAreReadAfresh)
{
    startWith(flea());
    CFeatureCtrlDlg &p = featurePage();
    const fw::Form &f = p.form();
    EXPECT_EQ(column(f, FeaList, 0), (std::vector<std::string>{"Gain", "BlackLevel", "Shutter(ExposureTime)",
                                                               "WhiteBalance", "Pan", "OpticalFilter"}));
    EXPECT_EQ(column(f, FeaList, 2), (std::vector<std::string>{"A", "M", "M", "M", "M", "M"}));
    EXPECT_EQ(f.cell(FeaList, 0, 1), "6");            // absolute gain, dB (selected: unpadded)
    EXPECT_EQ(f.cell(FeaList, 2, 1), "10.000 ms");    // absolute shutter, seconds on the camera
    EXPECT_EQ(f.cell(FeaList, 3, 1), "Off");          // white balance: manual, one-push possible
    cam::CMolvane &c = *view->m_pCamera;
    EXPECT_EQ(c.GetEnumEntries("BalanceWhiteAuto"), (cam::StringList{{"Off", "Once"}}));
    EXPECT_EQ(c.GetEnumEntries("GainAuto"), (cam::StringList{{"Off", "Continuous"}}));
    // The camera's own change of mode shows at the next refresh.
    {
        std::lock_guard<std::mutex> lock(script->mutex);
        script->feature(IidcFeature::Gain).mode = IidcFeatureMode::Manual;
        script->feature(IidcFeature::Shutter).mode = IidcFeatureMode::Auto;
    }
    frame().m_pControlPane->RefreshPages();
    EXPECT_EQ(column(f, FeaList, 2), (std::vector<std::string>{"M", "M", "A", "M", "M", "M"}));
    // Writes reach the camera in its units.
    c.SetExposureTime("", 2500.0f);
    EXPECT_FLOAT_EQ(script->feature(IidcFeature::Shutter).absValue, 0.0025f);
    c.SetBlackLevel(40.0f);
    EXPECT_EQ(script->feature(IidcFeature::Brightness).value, 40u);
    c.SetExposureAuto("Off");
    EXPECT_EQ(script->feature(IidcFeature::Shutter).mode, IidcFeatureMode::Manual);
    c.SetBalanceWhiteAuto("Once");
    EXPECT_EQ(script->feature(IidcFeature::WhiteBalance).mode, IidcFeatureMode::OnePush);
    // A refused write leaves the camera's value in the tree.
    script->refusing = {"setFeatureValue"};
    EXPECT_EQ(codeOf([&] { c.SetIntValue("PanCtrl", 70); }), cam::code::Failed);
    EXPECT_EQ(c.GetPan(), 50);
}

TEST_F(Iidc, TriggerStrobesTreeAndRegistersComeFromWhatTheCameraReports)
{
    startWith(flea());
    view = open(0);
    cam::CMolvane &c = *view->m_pCamera;
    c.SetTriggerOnOff(1);
    c.SetTriggerMode(14);
    c.SetTriggerSource("Software");
    c.SetTriggerPolarity("RisingEdge");
    const auto t = scripted<cam::IidcFeatureInfo>([](IidcScript &s) { return s.feature(IidcFeature::Trigger); });
    EXPECT_TRUE(t.isOn);
    EXPECT_EQ(t.triggerMode, 14);
    EXPECT_EQ(t.triggerSource, cam::kIidcSoftwareSource);
    EXPECT_TRUE(t.activeHigh);
    EXPECT_EQ(codeOf([&] { c.SetTriggerMode(3); }), cam::code::OutOfRange);  // not among its modes
    c.SendSoftwareTrigger();
    EXPECT_TRUE(called("softwareTrigger"));
    // Strobes: the two outputs the camera has; a setting goes into the selected one's word.
    EXPECT_EQ(c.GetStrobeList(), (cam::StringList{{"Strobe0", "Strobe1"}}));
    c.SetStrobeProperty("Strobe1", "ON", "LevelHigh");
    c.SetStrobeDuration("", 100.0f);
    EXPECT_EQ(script->strobes[0x204], 0x80000000u | 1u << 25 | 1u << 24 | 100u);
    EXPECT_EQ(script->strobes[0x200], 0x80000000u);
    // Registers by address, and the tree's register category only at guru level.
    EXPECT_EQ(static_cast<uint32_t>(c.ReadRegister(0x800)), 0x82000010u);
    c.WriteRegister(0x800, 0x82000020);
    EXPECT_EQ(script->registers[0x800], 0x82000020u);
    EXPECT_EQ(codeOf([&] { c.ReadRegister(0x900); }), cam::code::Failed);  // no answer at that address
    c.SetVisibility(0);
    const auto beginner = *c.GetChildNodes("Root");
    EXPECT_EQ(std::count(beginner.begin(), beginner.end(), "IidcRegisters"), 0);
    EXPECT_EQ(std::count(beginner.begin(), beginner.end(), "CounterAndTimerControl"), 0);
    c.SetVisibility(2);
    EXPECT_EQ(*c.GetChildNodes("Root"), (std::vector<std::string>{"DeviceControl", "ImageFormatControl",
                                                                  "AcquisitionControl", "AnalogControl",
                                                                  "CounterAndTimerControl", "IidcRegisters"}));
    script->registers[0x404] = 0x12345678;  // status registers are read when shown
    EXPECT_EQ(c.GetIntValue("FeatureHiInq"), 0x12345678);
    EXPECT_EQ(c.GetStringValue("DeviceID"), "00B09D0100AABBCC");
    EXPECT_EQ(c.GetStringValue("DeviceVersion"), "IIDC 1.31");
}

TEST_F(Iidc, FramesReachThePoolInTheProgramsByteOrderAndCorruptOnesCountAsDropped)
{
    auto camera = flea();
    camera->mode = k640Mono16;
    startWith(camera);
    view = open(0);
    cam::CMolvane &c = *view->m_pCamera;
    frame().routeCommand(CmdPlay);
    ASSERT_TRUE(scripted<bool>([](IidcScript &s) { return s.transmitting && s.capturing; }));
    EXPECT_EQ(codeOf([&] { c.SetImageFormat(0); }), cam::code::AccessDenied);  // fixed while streaming
    camera->send(3, 2);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 3 && c.framesDropped() >= 2; }, 5000));
    EXPECT_EQ(c.GetReceivedFrameCount(), 3);
    const auto raw = c.GetRawImage(0);
    ASSERT_TRUE(raw);
    ASSERT_EQ(raw->size(), 640u * 480 * 2);
    EXPECT_EQ((*raw)[0], 1);  // the camera sent 00 01: the pixel value 1
    EXPECT_EQ((*raw)[1], 0);
    frame().routeCommand(CmdStop);
    EXPECT_FALSE(scripted<bool>([](IidcScript &s) { return s.transmitting || s.capturing; }));
    EXPECT_EQ(c.GetReceivedFrameCount(), 3);
}

TEST_F(Iidc, UnpluggingAPlayingCameraClosesItsWindowAndDropsItsLine)
{
    startWith(flea(), 1);
    view = open(0);
    frame().routeCommand(CmdPlay);
    script->send(1);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 1; }, 5000));
    script->unplug();  // the capture thread's next dequeue fails
    ASSERT_TRUE(platform.processUntil(
        [&] {
            platform.advance(100);
            return list().lineCount() == 1 && g_listCameraView.empty();
        },
        5000));
    EXPECT_EQ(list().lineText(0).rfind("[GigE] SIM-", 0), 0u);
    EXPECT_TRUE(called("stopCapture"));
    discovery.scan();  // nor does the next look bring it back
    platform.processEvents();
    EXPECT_EQ(list().lineCount(), 1);
}

TEST_F(Iidc, TheAboutBoxShowsTheLinkedLibdc1394)
{
    startWith(flea());
    CAboutDlg about;
    about.OnInitDialog();
    EXPECT_EQ(about.form().text(About1394).rfind("1394 Camera Driver 2.2.", 0), 0u);
}
