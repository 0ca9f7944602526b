// The camera control component: results, errors, call log, frames, images, recording, mapping.
#include "TestSupport.h"

#include "camera/CMolvane.h"
#include "camera/CameraError.h"
#include "camera/FrameBudget.h"
#include "camera/FrameRateMeter.h"

#include <opencv2/imgcodecs.hpp>

#include <filesystem>
#include <thread>

#include "camera/sim/SimCamera.h"
#include <unistd.h>

using namespace cam;
namespace fs = std::filesystem;

namespace {


struct Events : CameraEvents {
    CMolvane *camera = nullptr;
    int images = 0, drops = 0, arrived = 0;
    std::vector<int> removed;
    std::function<void()> onImage;
    void ImageReceived(int) override
    {
        ++images;
        if (onImage)
            onImage();
    }
    void FrameDropped() override { ++drops; }
    void CameraArrived() override { ++arrived; }
    void CameraRemoved(int p) override { removed.push_back(p); }
};

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { temp = fs::temp_directory_path() / ("molvane-test-" + std::to_string(::getpid())); fs::create_directories(temp); }
    void TearDown() override
    {
        camera.reset();
        platform.processEvents();
        sims.uninstall();
        CameraBus::instance().clear();
        fs::remove_all(temp);
    }
    void make(int cameras, const std::vector<std::string> &faults = {})
    {
        for (const auto &f : faults)
            ASSERT_TRUE(sims.addFault(f, nullptr));
        sims.install(cameras);
        camera = std::make_unique<CMolvane>();
        ASSERT_TRUE(camera->Create("Molvane", [this](std::function<void()> fn) { platform.post(std::move(fn)); }, &events));
    }
    bool frames(int n)
    {
        const int target = events.images + n;
        return platform.processUntil([&] { return events.images >= target; });
    }

    fw::HeadlessPlatform platform;
    SimulatedCameras sims;
    Events events;
    std::unique_ptr<CMolvane> camera;
    fs::path temp;
};

} // namespace

TEST_F(ComponentTest, ListsKeepNothingApartFromZeroEntries)
{
    CMolvane uncreated;
    EXPECT_FALSE(uncreated.GetCameraList().has_value());
    EXPECT_EQ(uncreated.GetImageWidth(), 0);  // members of an uncreated component do nothing
    make(0);
    ASSERT_TRUE(camera->GetCameraList().has_value());
    EXPECT_TRUE(camera->GetCameraList()->empty());
    EXPECT_FALSE(camera->GetCameraInfo(0).has_value());
}

TEST_F(ComponentTest, OpeningReportsHeldAndUnopenableCamerasByCode)
{
    make(3, {"1:held", "2:unopenable"});
    EXPECT_EQ(codeOf([&] { camera->SetCameraIndex(0); }), code::HeldElsewhere);
    EXPECT_EQ(codeOf([&] { camera->SetCameraIndex(1); }), code::CannotOpen);
    EXPECT_EQ(codeOf([&] { camera->SetCameraIndex(7); }), code::CannotOpen);
    EXPECT_EQ(camera->GetCameraIndex(), -1);
    camera->SetAccessMode(2);
    camera->SetCameraIndex(0);  // monitoring a held camera works
    EXPECT_EQ(camera->GetCameraIndex(), 0);
    EXPECT_EQ(camera->GetAccessMode(), 2);
    EXPECT_EQ(codeOf([&] { camera->SetGain("", 3); }), code::AccessDenied);
    EXPECT_EQ(camera->GetAccessMode("Width"), access::ReadOnly);
}

TEST_F(ComponentTest, EveryCallIsLoggedWithItsDispidKindAndArguments)
{
    make(1);
    camera->callLog().clear();
    camera->SetMulticastMode(1);
    camera->SetCameraIndex(0);
    camera->SetIntValue("Width", 640);
    auto calls = camera->callLog().calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].dispid, Dispid::MulticastMode);
    EXPECT_EQ(calls[0].kind, CallKind::Put);
    EXPECT_EQ(std::get<int>(calls[1].args[0]), 0);
    EXPECT_EQ(static_cast<int>(calls[2].dispid), 178);
    EXPECT_EQ(std::get<std::string>(calls[2].args[0]), "Width");
    // A camera asked for its state for hours keeps only its latest calls, in order.
    camera->callLog().clear();
    const int asked = 5 * static_cast<int>(CallLog::kKept) + 7;
    auto width = [](int i) { return 64 + 8 * (i % 64); };
    for (int i = 0; i < asked; ++i)
        camera->SetIntValue("Width", width(i));
    calls = camera->callLog().calls();
    ASSERT_GE(calls.size(), CallLog::kKept);
    ASSERT_LE(calls.size(), 2 * CallLog::kKept);
    for (size_t i = 0; i < calls.size(); ++i)
        ASSERT_EQ(std::get<int>(calls[i].args[1]), width(asked - static_cast<int>(calls.size() - i))) << i;
}

TEST_F(ComponentTest, FramesArriveInOrderAndImagesActOnTheFrameBeingHandled)
{
    make(1);
    camera->SetCameraIndex(0);
    camera->SetImageWidth(320);
    camera->SetImageHeight(240);
    std::vector<uint64_t> numbers;
    events.onImage = [&] { numbers.push_back(camera->currentFrame()->number); };
    camera->SetAcquisition(1);
    ASSERT_TRUE(frames(5));
    for (size_t i = 1; i < numbers.size(); ++i)
        EXPECT_GT(numbers[i], numbers[i - 1]);
    auto rgb = camera->GetRgbImage(0);
    auto raw = camera->GetRawImage(0);
    ASSERT_TRUE(rgb && raw);
    EXPECT_EQ(rgb->size(), 320u * 240u * 3u);
    EXPECT_EQ(raw->size(), 320u * 240u);  // BayerGR8
    camera->SetAcquisition(0);
    // The bottom image row comes first: compare with the converted frame's last row.
    camera->SetBayerConversion(1);
    auto converted = camera->GetRgbImage(0);
    const int colour = camera->GetPixelColor(5, 239);
    const uint8_t *first = converted->data() + 5 * 3;
    EXPECT_EQ(first[2], colour & 0xff);
    EXPECT_EQ(first[1], (colour >> 8) & 0xff);
    EXPECT_EQ(first[0], (colour >> 16) & 0xff);
}

TEST_F(ComponentTest, SavesStillsAsJpegBmpAndTiffAndRefusesOtherTypes)
{
    make(1);
    EXPECT_NE(codeOf([&] { CMolvane c; c.SaveImage("x.jpg", 90); }), code::NotSupported);
    camera->SetCameraIndex(0);
    camera->SetImageWidth(160);
    camera->SetImageHeight(120);
    camera->SetAcquisition(1);
    ASSERT_TRUE(frames(1));
    for (const char *ext : {".jpg", ".bmp", ".tif"}) {
        const std::string path = (temp / (std::string("still") + ext)).string();
        camera->SaveImage(path, 90);
        camera->FlushImages();
        cv::Mat back = cv::imread(path);
        EXPECT_EQ(back.cols, 160) << ext;
        EXPECT_EQ(back.rows, 120) << ext;
    }
    EXPECT_EQ(codeOf([&] { camera->SaveImage((temp / "x.gif").string(), 90); }), code::NotSupported);
    EXPECT_EQ(codeOf([&] { camera->SaveImage((temp / "missing/dir/x.jpg").string(), 90); }), code::FileError);
    camera->SetAcquisition(0);
}

TEST_F(ComponentTest, RecordsAnAviWithACodecThatReallyEncodes)
{
    make(1);
    auto codecs = camera->GetAviCodecList();
    ASSERT_TRUE(codecs && !codecs->empty());
    camera->SetCameraIndex(0);
    camera->SetImageWidth(320);
    camera->SetImageHeight(240);
    EXPECT_EQ(codeOf([&] { camera->StartAviCapture((temp / "a.avi").string(), 1000); }), code::NotSupported);
    camera->SetAviCodec(codecs->front());
    camera->SetAcquisition(1);
    ASSERT_TRUE(frames(1));
    const std::string path = (temp / "clip.avi").string();
    camera->StartAviCapture(path, 400);
    ASSERT_TRUE(frames(8));
    camera->StopAviCapture();
    camera->SetAcquisition(0);
    EXPECT_GT(fs::file_size(path), 1000u);
    camera->SetAviCodec("no such codec");
    camera->SetAcquisition(1);
    EXPECT_EQ(codeOf([&] { camera->StartAviCapture((temp / "b.avi").string(), 400); }), code::NotSupported);
    camera->SetAcquisition(0);
}

TEST_F(ComponentTest, LostFramesFireFrameDroppedAndRemovalFiresCameraRemoved)
{
    make(2, {"1:drop=50"});
    camera->SetCameraIndex(0);
    camera->SetImageWidth(160);
    camera->SetImageHeight(120);
    camera->SetFloatValue("AcquisitionFrameRateAbs", 400);
    camera->SetAcquisition(1);
    ASSERT_TRUE(platform.processUntil([&] { return events.drops >= 20; }));
    camera->SetAcquisition(0);
    platform.processEvents();
    EXPECT_EQ(static_cast<uint64_t>(events.drops), camera->framesDropped());

    sims.disconnect(1);
    platform.processEvents();
    EXPECT_EQ(events.removed, std::vector<int>{0});
    EXPECT_EQ(camera->GetCameraIndex(), -1);
    EXPECT_EQ(codeOf([&] { camera->GetImageWidth(); }), code::Removed);
    sims.connect(1);
    platform.processEvents();
    EXPECT_EQ(events.arrived, 1);
}

TEST_F(ComponentTest, FixedMembersMapOntoTheStandardFeatures)
{
    make(1);
    camera->SetCameraIndex(0);
    camera->SetTriggerMode(14);
    EXPECT_EQ(camera->GetEnumValue("ExposureMode"), "Mode14");
    EXPECT_EQ(camera->GetTriggerMode(), 14);
    camera->SetTriggerOnOff(1);
    EXPECT_EQ(camera->GetEnumValue("TriggerMode"), "On");
    camera->SetGainRed("", 5);
    EXPECT_FLOAT_EQ(camera->GetGainRed(), 5);
    EXPECT_FLOAT_EQ(camera->GetGain(), 0);
    EXPECT_EQ(camera->GetEnumValue("GainSelector"), "All");  // the selector is put back
    camera->SetExposureTimeText("12 ms");
    EXPECT_FLOAT_EQ(camera->GetExposureTime(), 12000);
    EXPECT_EQ(camera->GetExposureTimeText(), "12.000 ms");
    camera->SetExposureTimeText("250us");
    EXPECT_EQ(camera->GetExposureTimeText(), "250 us");
    EXPECT_EQ(codeOf([&] { camera->SetExposureTimeText("12"); }), code::OutOfRange);
    camera->SetStrobeProperty("Timer2", "ON", "LevelLow");
    EXPECT_EQ(*camera->GetStrobeProperty(), (std::vector<std::string>{"Timer2", "ON", "LevelLow"}));
    int x = 0, y = 0;
    camera->SetKneePoint(2, 2100, 1900);
    camera->GetKneePoint(2, &x, &y);
    EXPECT_EQ(x, 2100);
    EXPECT_EQ(y, 1900);
    std::vector<TriggerRecord> table(3, TriggerRecord{0, 1, 2, 3});
    camera->SetTriggerSequenceTable(table);
    camera->SaveTriggerSequence(4);
    camera->SetTriggerSequenceTable({});
    camera->LoadTriggerSequence(4);
    EXPECT_EQ(camera->GetTriggerSequenceTable()[2].shutter, 3);
    EXPECT_EQ(camera->GetTriggerSequenceTable().size(), 255u);
    EXPECT_EQ(camera->ReadRegister(12), 0x56000001);
}

TEST_F(ComponentTest, AMonoIeee1394CameraLacksColourFeatures)
{
    make(2);
    camera->SetCameraIndex(1);
    EXPECT_EQ(camera->GetCameraType(), 1);
    EXPECT_EQ(codeOf([&] { camera->GetHue(); }), code::NoSuchFeature);
    EXPECT_EQ(codeOf([&] { camera->GetBalanceWhiteAuto(); }), code::NoSuchFeature);
    EXPECT_EQ(camera->GetIris(), 4);
    EXPECT_EQ(camera->GetFrameRateList()->size(), 6u);
}

TEST_F(ComponentTest, DisplaySettingsRefuseValuesOutsideTheirSets)
{
    make(1);
    camera->SetCameraIndex(0);
    EXPECT_EQ(codeOf([&] { camera->SetRotation(45); }), code::OutOfRange);
    EXPECT_EQ(codeOf([&] { camera->SetBayerLayout(4); }), code::OutOfRange);
    EXPECT_EQ(codeOf([&] { camera->SetBayerAlgorithm(0); }), code::OutOfRange);
    EXPECT_EQ(codeOf([&] { camera->SetZoom(-0.5f); }), code::OutOfRange);
    EXPECT_EQ(codeOf([&] { camera->SetBitPerPixel(11); }), code::OutOfRange);
    camera->SetRotation(270);
    EXPECT_EQ(camera->rotation(), 270);
    EXPECT_EQ(camera->GetBayerLayout(), 3);  // BayerGR8 opens with the GR/BG layout
    camera->SetBitPerPixel(10);
    EXPECT_EQ(camera->GetBitPerPixel(), 10);
}

// Members that refuse bad input on a working component do nothing on one that was never
// created: no error, no file, and the display state stays as it was.
TEST_F(ComponentTest, RefusingMembersDoNothingOnANeverCreatedComponent)
{
    const std::string still = (temp / "still.bmp").string();
    const std::string clip = (temp / "clip.avi").string();
    const std::vector<std::pair<const char *, std::function<void(CMolvane &)>>> members = {
        {"SaveImage", [&](CMolvane &c) { c.SaveImage(still, 90); }},
        {"StartAviCapture", [&](CMolvane &c) { c.StartAviCapture(clip, 1000); }},
        {"SetRotation", [](CMolvane &c) { c.SetRotation(45); }},
        {"SetBayerLayout", [](CMolvane &c) { c.SetBayerLayout(4); }},
        {"SetBayerAlgorithm", [](CMolvane &c) { c.SetBayerAlgorithm(0); }},
        {"SetZoom", [](CMolvane &c) { c.SetZoom(-0.5f); }},
    };
    make(1);
    for (const auto &[name, call] : members) {
        CMolvane uncreated;
        EXPECT_EQ(codeOf([&] { call(uncreated); }), 0) << name;
        EXPECT_EQ(uncreated.rotation(), 0) << name;
        EXPECT_EQ(uncreated.zoom(), 1.0f) << name;
        EXPECT_EQ(uncreated.imageSettings().bayerLayout, ImageSettings{}.bayerLayout) << name;
        EXPECT_EQ(uncreated.imageSettings().bayerAlgorithm, ImageSettings{}.bayerAlgorithm) << name;
        EXPECT_NE(codeOf([&] { call(*camera); }), 0) << name << " is refused once created";
    }
    EXPECT_FALSE(fs::exists(still));
    EXPECT_FALSE(fs::exists(clip));
}

TEST_F(ComponentTest, ShotsDeliverTheirFramesAndUserSetsRoundTrip)
{
    make(1);
    camera->SetCameraIndex(0);
    camera->SetImageWidth(160);
    camera->SetImageHeight(120);
    camera->SetAcquisitionMode("SingleFrame");
    camera->SetAcquisition(1);
    platform.processUntil([] { return false; }, 150);
    EXPECT_EQ(events.images, 0);  // a shot mode waits for a shot
    camera->StartOneShot();
    ASSERT_TRUE(frames(1));
    camera->SetMultiShotCount(4);
    camera->StartMultiShot();
    ASSERT_TRUE(frames(4));
    platform.processUntil([] { return false; }, 150);
    EXPECT_EQ(events.images, 5);
    camera->SetAcquisition(0);

    camera->SetGain("", 9);
    camera->PrepareUserSetSave();
    camera->LoadSaveUserSet(3, 1);
    camera->SetGain("", 1);
    camera->SetEnumValue("UserSetSelector", "UserSet3");
    EXPECT_EQ(camera->GetUserSetIndex(), 3);
    camera->LoadSaveUserSet(3, 0);
    EXPECT_FLOAT_EQ(camera->GetGain(), 9);
}

TEST_F(ComponentTest, GainAndExposureChangeTheLiveImageOfASimulatedCamera)
{
    make(1);
    camera->SetCameraIndex(0);
    camera->SetImageWidth(160);
    camera->SetImageHeight(120);
    camera->SetFloatValue("AcquisitionFrameRateAbs", 200);
    camera->SetExposureTime("", 2500);
    camera->SetAcquisition(1);
    auto mean = [&] {
        frames(3);
        auto raw = camera->GetRawImage(0);
        double sum = 0;
        for (uint8_t b : *raw)
            sum += b;
        return sum / raw->size();
    };
    const double dim = mean();
    camera->SetGain("", 6);  // 6 dB: about twice as bright
    const double gained = mean();
    camera->SetGain("", 0);
    camera->SetExposureTime("", 10000);  // four times the exposure
    const double exposed = mean();
    camera->SetAcquisition(0);
    EXPECT_GT(gained, dim * 1.6);
    EXPECT_GT(exposed, dim * 2.5);
}

TEST(CameraBus, RealCamerasAreListedBeforeSimulatedOnesAndRemovalReportsThePosition)
{
    struct Positions : BusListener {
        std::vector<int> removed;
        int arrived = 0;
        void cameraArrived() override { ++arrived; }
        void cameraRemoved(int p) override { removed.push_back(p); }
    } seen;
    CameraBus &bus = CameraBus::instance();
    bus.clear();
    bus.addListener(&seen);
    auto sim1 = std::make_shared<SimCamera>(simCameraSpec(1));
    auto sim2 = std::make_shared<SimCamera>(simCameraSpec(2));
    auto real = std::make_shared<SimCamera>(simCameraSpec(3));  // stands in for a real camera
    bus.add(sim1, true);
    bus.add(real, false);
    bus.add(sim2, true);
    EXPECT_EQ(bus.device(0), real);
    EXPECT_EQ(bus.device(1), sim1);
    EXPECT_EQ(bus.device(2), sim2);
    bus.remove(sim1.get());
    bus.remove(sim1.get());  // gone already: nothing is reported
    EXPECT_EQ(seen.removed, std::vector<int>{1});
    EXPECT_EQ(seen.arrived, 3);
    bus.removeListener(&seen);
    bus.clear();
}

namespace {

// Feeds a meter frames at `fps` for `seconds` and returns every reading the 100 ms status
// timer would show after the first `settle` seconds, read between arrivals.
std::vector<double> readings(FrameRateMeter &meter, double fps, double seconds, double settle)
{
    using Clock = FrameRateMeter::Clock;
    const auto at = [](double s) {
        return Clock::time_point{} + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
    };
    std::vector<double> out;
    double nextRead = settle;
    for (int k = 0; k / fps < seconds; ++k) {
        const double t = 1.0 + k / fps;
        for (; nextRead + 1.0 < t; nextRead += 0.1)
            out.push_back(meter.rate(at(nextRead + 1.0)));
        meter.frameArrived(at(t));
    }
    return out;
}

} // namespace

TEST(FrameRateMeter, ReadsSlowAndFastCamerasSteadily)
{
    for (double fps : {7.5, 1000.0}) {
        FrameRateMeter meter;
        const auto values = readings(meter, fps, 5.0, 1.5);
        ASSERT_GT(values.size(), 30u);
        for (double v : values)
            EXPECT_NEAR(v, fps, fps * 0.001) << "at " << fps << " fps";
    }
}

TEST(FrameRateMeter, FallsToZeroWhenFramesStopAndStartsAfresh)
{
    using Clock = FrameRateMeter::Clock;
    FrameRateMeter meter;
    EXPECT_EQ(meter.rate(Clock::now()), 0.0);
    readings(meter, 7.5, 3.0, 0.0);
    const auto end = Clock::time_point{} + std::chrono::seconds(4);  // just after the last frame
    const double late = meter.rate(end + std::chrono::milliseconds(500));
    EXPECT_GT(late, 4.0);
    EXPECT_LT(late, 7.5);  // an overdue frame lowers the reading
    EXPECT_EQ(meter.rate(end + std::chrono::seconds(3)), 0.0);
    meter.reset();
    meter.frameArrived(Clock::now());
    EXPECT_EQ(meter.rate(Clock::now()), 0.0);  // one frame is no rate yet
}

TEST(FrameBudget, SizesThePoolByTheBudgetAndRefusesAbsurdPayloads)
{
    struct Case {
        uint64_t payload;
        int wanted;
        int64_t sensorWidth, sensorHeight;
        uint64_t megabytes;
        int buffers;  // expected, when there is no error
        int error;
    };
    const Case cases[] = {
        {1920 * 1200, 38, 1920, 1200, 512, 38, 0},             // a usual frame: all it asks for
        {1920 * 1200, 2, 1920, 1200, 512, 3, 0},               // never fewer than three
        {20ull << 20, 38, 4096, 3072, 512, 25, 0},             // as many as the budget holds
        {162ull << 20, 38, 0, 0, 512, 3, 0},                   // three of 162 MiB still fit
        {200ull << 20, 38, 0, 0, 1024, 5, 0},                  // the setting raises the budget
        {200ull << 20, 38, 0, 0, 512, 0, code::OutOfRange},    // not three in 512 MiB
        {4294967295ull, 38, 0, 0, 512, 0, code::OutOfRange},   // a register read as -1
        {1920 * 1200 * 8 + 1, 38, 1920, 1200, 512, 0, code::OutOfRange},  // more than the sensor
        {1920 * 1200, 38, 4294967295ll, 4294967295ll, 512, 38, 0},  // a nonsense maximum: no overflow
        {0, 38, 1920, 1200, 512, 0, code::Failed},
    };
    for (const auto &c : cases) {
        FrameBudget::setMegabytes(c.megabytes);
        int got = 0;
        EXPECT_EQ(codeOf([&] { got = FrameBudget::buffers(c.payload, c.wanted, c.sensorWidth, c.sensorHeight); }),
                  c.error)
            << c.payload << " bytes";
        if (!c.error) {
            EXPECT_EQ(got, c.buffers) << c.payload << " bytes";
        }
    }
    for (const char *unusable : {"", "lots", "-5", "12x"}) {
        FrameBudget::setMegabytesFromSetting("256");
        EXPECT_EQ(FrameBudget::megabytes(), 256u);
        FrameBudget::setMegabytesFromSetting(unusable);
        EXPECT_EQ(FrameBudget::megabytes(), FrameBudget::kDefaultMegabytes) << unusable;
    }
}

TEST_F(ComponentTest, AcquisitionIsRefusedWhenTheFrameBudgetCannotHoldThreeFrames)
{
    make(1);
    camera->SetCameraIndex(0);  // 1280 x 960 Bayer: 1.2 MB a frame
    FrameBudget::setMegabytes(3);
    std::string message;
    try {
        camera->SetAcquisition(1);
    } catch (const CameraError &e) {
        message = e.what();
    }
    FrameBudget::setMegabytes(0);
    EXPECT_NE(message.find("FramePoolMegabytes"), std::string::npos) << message;
    EXPECT_EQ(camera->GetAcquisition(), 0);
    camera->SetAcquisition(1);  // the default budget holds it
    EXPECT_TRUE(frames(3));
}

// The pixel read-out and stills of 16-bit frames carry the camera's own 12-bit values.
TEST_F(ComponentTest, TwelveBitFramesReadOutAndSaveTheirOwnValues)
{
    make(1);
    camera->SetCameraIndex(0);
    const auto formats = camera->GetImageFormatList().value_or(std::vector<std::string>{});
    const auto index = [&](const std::string &name) {
        return static_cast<int>(std::find(formats.begin(), formats.end(), name) - formats.begin());
    };
    camera->SetImageFormat(index("Mono16"));
    camera->SetBitPerPixel(12);
    camera->SetImageWidth(64);
    camera->SetImageHeight(48);
    const auto grab = [&] {
        camera->SetAcquisition(1);
        const bool arrived = frames(2);
        camera->SetAcquisition(0);
        return arrived;
    };
    ASSERT_TRUE(grab());
    const auto raw = camera->GetRawImage(0);
    ASSERT_TRUE(raw);
    ASSERT_EQ(raw->size(), 64u * 48u * 2u);
    const auto sample = [&](int x, int y) { return (*raw)[(y * 64 + x) * 2] | ((*raw)[(y * 64 + x) * 2 + 1] << 8); };
    int highest = 0;
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 5) {
            const auto v = camera->GetPixelValue(x, y);
            ASSERT_TRUE(v);
            EXPECT_EQ(*v, (std::array<int, 3>{sample(x, y), sample(x, y), sample(x, y)})) << x << "," << y;
            EXPECT_EQ(camera->GetPixelColor(x, y) & 0xff, sample(x, y) >> 4) << "the screen shows the top 8 of 12 bits";
            highest = std::max(highest, sample(x, y));
        }
    EXPECT_GT(highest, 255);
    EXPECT_LE(highest, 4095);
    camera->SetMirror(1);
    EXPECT_EQ((*camera->GetPixelValue(0, 3))[0], sample(63, 3)) << "read where it is shown";
    camera->SetMirror(0);

    const std::string still = (temp / "still.tif").string();
    camera->SaveImage(still, 90);
    camera->FlushImages();  // stills are written by the writer threads
    const cv::Mat saved = cv::imread(still, cv::IMREAD_UNCHANGED);
    ASSERT_EQ(saved.depth(), CV_16U);
    EXPECT_EQ(saved.at<cv::Vec3w>(10, 20)[0], sample(20, 10));

    camera->SetImageFormat(index("BayerGR12"));
    camera->SetBayerConversion(1);
    ASSERT_TRUE(grab());
    const auto bayer = camera->GetRawImage(0);
    ASSERT_TRUE(bayer);
    const int green = (*bayer)[(2 * 64 + 2) * 2] | ((*bayer)[(2 * 64 + 2) * 2 + 1] << 8);
    EXPECT_EQ((*camera->GetPixelValue(2, 2))[1], green) << "GR: the first pixel of a row pair is green";

    camera->SetImageFormat(index("Mono8"));
    ASSERT_TRUE(grab());
    EXPECT_FALSE(camera->GetPixelValue(1, 1)) << "8-bit frames read out through GetPixelColor";
}
