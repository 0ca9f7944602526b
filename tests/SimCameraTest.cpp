// Simulated cameras: opening rules, streaming, triggers, shots, faults, registers, user sets.
#include "camera/CameraError.h"
#include "camera/LatestWorker.h"
#include "camera/sim/SimCamera.h"
#include "camera/sim/SimulatedCameras.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <chrono>
#include <thread>

using namespace cam;
using namespace std::chrono_literals;

namespace {


// Takes every frame as it arrives, as a fast consumer would.
struct Consumer : StreamListener {
    SimCamera *camera = nullptr;
    bool consume = true;
    std::atomic<int> frames{0};
    std::atomic<int> drops{0};
    void framesReady() override
    {
        if (!consume)
            return;
        while (FrameBuffer *b = camera->queue()->pop()) {
            ++frames;
            camera->queue()->release(b);
        }
    }
    void frameDropped() override { ++drops; }
};

std::shared_ptr<SimCamera> make(SimKind kind, SimFaults faults = {})
{
    SimCameraSpec params = simCameraSpec(kind, 1);
    params.faults = faults;
    return std::make_shared<SimCamera>(params);
}

bool waitFor(const std::function<bool()> &done, std::chrono::milliseconds limit = 3000ms)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

} // namespace

TEST(SimCamera, OneControllerAtATimeAndScriptedRefusals)
{
    auto cam = make(SimKind::GigEColour);
    cam->open(OpenMode::Control);
    EXPECT_EQ(codeOf([&] { cam->open(OpenMode::Control); }), code::HeldElsewhere);
    EXPECT_EQ(codeOf([&] { cam->open(OpenMode::Monitor); }), 0);
    cam->close(OpenMode::Control);
    EXPECT_EQ(codeOf([&] { cam->open(OpenMode::MulticastControl); }), 0);

    SimFaults held;
    held.held = true;
    auto busy = make(SimKind::GigEColour, held);
    EXPECT_EQ(codeOf([&] { busy->open(OpenMode::Control); }), code::HeldElsewhere);
    EXPECT_EQ(codeOf([&] { busy->open(OpenMode::Monitor); }), 0);

    SimFaults broken;
    broken.unopenable = true;
    auto dead = make(SimKind::GigEColour, broken);
    EXPECT_EQ(codeOf([&] { dead->open(OpenMode::Monitor); }), code::CannotOpen);
}

TEST(SimCamera, StreamsAtTheSetRateAndLocksGeometryWhileStreaming)
{
    auto cam = make(SimKind::GigEColour);
    cam->features().setFloatValue("AcquisitionFrameRateAbs", 200);
    Consumer c;
    c.camera = cam.get();
    cam->startStream(c, 8);
    EXPECT_EQ(codeOf([&] { cam->features().setIntValue("Width", 640); }), code::AccessDenied);
    std::this_thread::sleep_for(500ms);
    cam->stopStream();
    EXPECT_GT(c.frames.load(), 60);   // about 100 at 200 frames/s
    EXPECT_LT(c.frames.load(), 140);
    EXPECT_EQ(c.drops.load(), 0);
    cam->features().setIntValue("Width", 640);
    EXPECT_EQ(cam->features().intValue("Width"), 640);
    EXPECT_EQ(cam->features().intMax("OffsetX"), 1280 - 640);
}

TEST(SimCamera, FramesHaveTheFormatAndSizeAsked)
{
    auto cam = make(SimKind::GigEColour);
    cam->setImageFormat(3);  // Mono16
    cam->features().setIntValue("Width", 320);
    cam->features().setIntValue("Height", 240);
    Consumer c;
    c.consume = false;
    cam->startStream(c, 4);
    ASSERT_TRUE(waitFor([&] { return cam->queue()->readyCount() > 0; }));
    FrameBuffer *b = cam->queue()->pop();
    cam->stopStream();
    EXPECT_EQ(b->format, PixelFormat::Mono16);
    EXPECT_EQ(b->width, 320);
    EXPECT_EQ(b->height, 240);
    EXPECT_EQ(b->size, 320u * 240u * 2u);
}

TEST(SimCamera, SoftwareTriggerAndShotsDeliverExactlyWhatWasAskedFor)
{
    auto cam = make(SimKind::GigEColour);
    FeatureAccess &f = cam->features();
    f.setEnumValue("TriggerMode", "On");
    f.setEnumValue("TriggerSource", "Software");
    Consumer c;
    c.camera = cam.get();
    cam->startStream(c, 8);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(c.frames.load(), 0);
    for (int i = 0; i < 3; ++i)
        f.execute("TriggerSoftware");
    EXPECT_TRUE(waitFor([&] { return c.frames.load() == 3; }));
    f.setEnumValue("TriggerMode", "Off");
    f.setEnumValue("AcquisitionMode", "MultiFrame");
    std::this_thread::sleep_for(50ms);
    const int before = c.frames.load();
    cam->startShots(5);
    EXPECT_TRUE(waitFor([&] { return c.frames.load() == before + 5; }));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(c.frames.load(), before + 5);
    cam->stopStream();
}

TEST(SimCamera, TriggerLinesDeliverOnlyWhenPulsesAreSimulated)
{
    auto quiet = make(SimKind::GigEColour);
    SimFaults pulsing;
    pulsing.lineHz = 100;
    auto wired = make(SimKind::GigEColour, pulsing);
    Consumer a, b;
    a.camera = quiet.get();
    b.camera = wired.get();
    for (auto *cam : {quiet.get(), wired.get()}) {
        cam->features().setEnumValue("TriggerMode", "On");
        cam->features().setEnumValue("TriggerSource", "Line1");
    }
    quiet->startStream(a, 8);
    wired->startStream(b, 8);
    EXPECT_TRUE(waitFor([&] { return b.frames.load() >= 5; }));
    EXPECT_EQ(a.frames.load(), 0);
    // Software triggering ignores the line.
    wired->features().setEnumValue("TriggerSource", "Software");
    std::this_thread::sleep_for(50ms);
    const int before = b.frames.load();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(b.frames.load(), before);
    quiet->stopStream();
    wired->stopStream();
}

// Keeps the mean value of every frame (Mono8).
struct MeanConsumer : StreamListener {
    SimCamera *camera = nullptr;
    std::mutex mutex;  // protects means
    std::vector<double> means;
    void framesReady() override
    {
        while (FrameBuffer *b = camera->queue()->pop()) {
            double sum = 0;
            for (size_t i = 0; i < b->size; ++i)
                sum += b->data[i];
            {
                std::lock_guard<std::mutex> lock(mutex);
                means.push_back(sum / static_cast<double>(b->size));
            }
            camera->queue()->release(b);
        }
    }
    void frameDropped() override {}
    size_t count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return means.size();
    }
};

TEST(SimCamera, SequenceModesGiveEachTriggeredFrameItsRecordsGainAndShutter)
{
    auto cam = make(SimKind::GigEColour);
    FeatureAccess &f = cam->features();
    f.setEnumValue("PixelFormat", "Mono8");
    f.setEnumValue("TriggerMode", "On");
    f.setEnumValue("TriggerSource", "Software");
    f.setEnumValue("ExposureMode", "Mode12");
    // A dark record for one frame, a bright one for two; the table repeats after its end.
    cam->setTriggerSequence({{0, 1, 0, 1000}, {1, 2, 12, 20000}, {2, 0, 24, 1000000}});
    MeanConsumer c;
    c.camera = cam.get();
    cam->startStream(c, 8);
    for (size_t n = 1; n <= 4; ++n) {
        f.execute("TriggerSoftware");
        ASSERT_TRUE(waitFor([&] { return c.count() == n; }));
    }
    cam->stopStream();
    ASSERT_EQ(c.means.size(), 4u);
    EXPECT_LT(c.means[0] * 3, c.means[1]);
    EXPECT_NEAR(c.means[1], c.means[2], 1.0);
    EXPECT_NEAR(c.means[3], c.means[0], 1.0);
    // Outside modes 12 and 13 the camera's own exposure applies again.
    f.setEnumValue("ExposureMode", "Mode0");
    cam->startStream(c, 8);
    f.execute("TriggerSoftware");
    ASSERT_TRUE(waitFor([&] { return c.count() == 5; }));
    cam->stopStream();
    EXPECT_GT(c.means[4], c.means[0] * 3);
}

TEST(SimCamera, AFullPoolAndTransportLossCountAsDroppedFrames)
{
    auto cam = make(SimKind::GigEColour);
    cam->features().setFloatValue("AcquisitionFrameRateAbs", 500);
    Consumer stalled;
    stalled.consume = false;  // a user-interface thread that never gets round to the frames
    cam->startStream(stalled, 4);
    ASSERT_TRUE(waitFor([&] { return stalled.drops.load() >= 10; }));
    cam->stopStream();
    EXPECT_EQ(cam->receivedFrameCount(), 4u);

    SimFaults lossy;
    lossy.dropRate = 0.5;
    auto lossyCam = make(SimKind::GigEColour, lossy);
    lossyCam->features().setFloatValue("AcquisitionFrameRateAbs", 500);
    Consumer c;
    c.camera = lossyCam.get();
    lossyCam->startStream(c, 8);
    ASSERT_TRUE(waitFor([&] { return c.frames.load() + c.drops.load() >= 200; }));
    lossyCam->stopStream();
    EXPECT_GT(c.drops.load(), 50);
    EXPECT_GT(c.frames.load(), 50);
    EXPECT_EQ(lossyCam->droppedFrames(), static_cast<uint64_t>(c.drops.load()));
}

TEST(SimCamera, RegistersHoldTheMacAddressAndRefuseBadAccess)
{
    auto cam = make(SimKind::GigEColour);  // MAC 02:4d:56:00:00:01
    EXPECT_EQ(cam->readRegister(8), 0x024du);
    EXPECT_EQ(cam->readRegister(12), 0x56000001u);
    EXPECT_EQ(codeOf([&] { cam->writeRegister(8, 1); }), code::AccessDenied);
    EXPECT_EQ(codeOf([&] { cam->readRegister(6); }), code::OutOfRange);
    cam->writeRegister(0x1000, 0xdeadbeef);
    EXPECT_EQ(cam->readRegister(0x1000), 0xdeadbeefu);
}

TEST(SimCamera, UserSetsAndSelectorsKeepTheirOwnValues)
{
    auto cam = make(SimKind::GigEColour);
    FeatureAccess &f = cam->features();
    f.setFloatValue("Gain", 6);
    f.setEnumValue("GainSelector", "Red");
    f.setFloatValue("Gain", 3);
    f.setEnumValue("GainSelector", "All");
    EXPECT_DOUBLE_EQ(f.floatValue("Gain"), 6);
    cam->loadSaveUserSet(2, true);
    f.setFloatValue("Gain", 12);
    cam->loadSaveUserSet(2, false);
    EXPECT_DOUBLE_EQ(f.floatValue("Gain"), 6);
    cam->loadSaveUserSet(0, false);  // the factory set
    EXPECT_DOUBLE_EQ(f.floatValue("Gain"), 0);
    EXPECT_EQ(codeOf([&] { cam->loadSaveUserSet(0, true); }), code::AccessDenied);
    EXPECT_EQ(codeOf([&] { cam->loadSaveUserSet(8, false); }), code::OutOfRange);
}

TEST(SimCamera, Ieee1394FormatsFixGeometryAndOnlyFixedModesHaveRateLists)
{
    auto cam = make(SimKind::Ieee1394Mono);
    EXPECT_EQ(cam->info().type, CameraType::Ieee1394);
    EXPECT_EQ(cam->frameRates().size(), 6u);
    EXPECT_EQ(codeOf([&] { cam->features().setIntValue("Width", 320); }), code::AccessDenied);
    cam->setImageFormat(2);  // 1024x768, slower rates only
    EXPECT_EQ(cam->features().intValue("Width"), 1024);
    EXPECT_EQ(cam->frameRates().back(), "15");
    EXPECT_EQ(cam->frameRateIndex(), 3);
    cam->setImageFormat(4);  // Format7
    EXPECT_EQ(codeOf([&] { cam->frameRates(); }), code::NotSupported);
    cam->features().setIntValue("Width", 512);
    cam->features().setIntValue("BytePerPacket", 1024);
    EXPECT_EQ(codeOf([&] { cam->features().setIntValue("BytePerPacket", 1026); }), code::OutOfRange);
}

TEST(SimulatedCameras, FaultRulesAreCheckedBeforeAnyCameraIsMade)
{
    struct Case {
        const char *rule;
        bool ok;
    };
    const Case cases[] = {
        {"1:held", true},         {"2:unopenable", true}, {"3:drop=5", true},
        {"3:drop=100", true},     {"1:arrive=2.5", true}, {"4:remove=0", true},
        {"1:drop=101", false},    {"1:drop=-1", false},   {"1:drop=", false},
        {"1:drop=abc", false},    {"0:held", false},      {"65:held", false},
        {"x:held", false},        {"1", false},           {"1:held=3", false},
        {"1:explode", false},     {"1:arrive", false},    {"2:line=25", true},
        {"2:line=0", false},      {"2:line", false},      {"2:line=1001", false},
        // Times whose milliseconds do not fit an int, and numbers that are no numbers.
        {"1:arrive=86400", true}, {"1:arrive=86401", false}, {"1:remove=3333333", false},
        {"1:arrive=inf", false},  {"1:remove=nan", false},   {"1:line=nan", false},
    };
    for (const Case &c : cases) {
        SimulatedCameras sims;
        std::string error;
        EXPECT_EQ(sims.addFault(c.rule, &error), c.ok) << c.rule;
        EXPECT_EQ(error.empty(), c.ok) << c.rule << ": " << error;
    }
}

TEST(SimulatedCameras, TheCountSettingIsAWholeNumberFromOneTo64OrNone)
{
    EXPECT_EQ(SimulatedCameras::countFromSetting("3"), 3);
    EXPECT_EQ(SimulatedCameras::countFromSetting("64"), 64);
    for (const char *text : {"", "0", "65", "-2", "3x", "abc", "4294967299", "99999999999999999999"})
        EXPECT_EQ(SimulatedCameras::countFromSetting(text), 0) << text;
}

TEST(SimulatedCameras, CamerasCycleThroughTheKindsAndCarryTheirIdInTheirLine)
{
    const SimKind expected[] = {SimKind::GigEColour, SimKind::Ieee1394Mono, SimKind::GigEYuv,
                                SimKind::GigEColour};
    for (int n = 1; n <= 4; ++n) {
        SimCameraSpec s = simCameraSpec(n);
        EXPECT_EQ(s.kind, expected[n - 1]);
        EXPECT_NE(s.info.listLine.find(s.info.deviceId), std::string::npos);
        EXPECT_EQ(s.info.listLine.find("YUV") != std::string::npos, s.kind == SimKind::GigEYuv);
    }
}

TEST(FrameQueue, BuffersGoRoundAndAFullPoolRefusesMore)
{
    FrameQueue q(2, 16);
    FrameBuffer *a = q.acquire(), *b = q.acquire();
    ASSERT_TRUE(a && b);
    EXPECT_EQ(q.acquire(), nullptr);
    EXPECT_TRUE(q.push(a));   // the consumer must be woken
    EXPECT_FALSE(q.push(b));  // it is awake already
    EXPECT_EQ(q.pop(), a);    // in order
    q.release(a);
    EXPECT_EQ(q.acquire(), a);
    EXPECT_EQ(q.pop(), b);
    EXPECT_EQ(q.pop(), nullptr);
    q.release(nullptr);  // harmless
}

// A frame lent to a worker thread must not be refilled by the camera while the worker reads it.
TEST(FrameQueue, ALentBufferComesBackOnlyWhenOwnerAndEveryLoanLetGoEvenAfterTheQueue)
{
    auto q = std::make_unique<FrameQueue>(1, 16);
    FrameBuffer *a = q->acquire();
    ASSERT_NE(a, nullptr);
    q->push(a);
    ASSERT_EQ(q->pop(), a);
    auto first = q->hold(a), second = q->hold(a);
    q->release(a);  // the consumer moves on to its next frame
    EXPECT_EQ(q->acquire(), nullptr);
    first.reset();
    EXPECT_EQ(q->acquire(), nullptr);
    second.reset();
    EXPECT_EQ(q->acquire(), a);
    // A loan outlives the queue (the stream restarted): its buffer stays readable.
    q->release(a);
    FrameBuffer *b = q->acquire();
    b->data[3] = 42;
    auto late = q->hold(b);
    q->release(b);
    q.reset();
    EXPECT_EQ(late->data[3], 42);
    late.reset();
}

namespace {
struct CountingLender : FrameLender {
    std::atomic<int> given{0};
    void giveBack(FrameBuffer *) override { ++given; }
};
} // namespace

// A backend's receive buffer held by a worker goes back to the backend only after the worker
// is done, and the backend can wait for that before it frees its memory.
TEST(FrameQueue, AHeldLenderFrameGoesBackWhenTheHoldEndsAndTheLenderCanWaitForIt)
{
    CountingLender lender;
    uint8_t memory[16] = {};
    FrameQueue q(16, lender);
    FrameBuffer *f = q.lend(memory, nullptr);
    q.push(f);
    ASSERT_EQ(q.pop(), f);
    auto held = q.hold(f);
    q.release(f);
    EXPECT_EQ(lender.given, 0);
    std::thread worker([held = std::move(held)]() mutable {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        held.reset();
    });
    q.waitUntilUnheld();
    EXPECT_EQ(lender.given, 1);
    worker.join();
    q.push(f);  // round again without a hold: straight back
    q.pop();
    q.release(f);
    EXPECT_EQ(lender.given, 2);
}

TEST(LatestWorker, AJobWaitingWhenANewerComesIsDroppedAndTheNewestRuns)
{
    LatestWorker worker(0);
    std::mutex gate;
    std::unique_lock<std::mutex> closed(gate);
    std::vector<int> ran;
    std::mutex ranMutex;
    std::atomic<bool> started{false};
    auto job = [&](int n) {
        return [&, n] {
            started = true;
            std::lock_guard<std::mutex> wait(gate);
            std::lock_guard<std::mutex> lock(ranMutex);
            ran.push_back(n);
        };
    };
    worker.submit(job(1));
    while (!started)  // the worker has taken job 1 and waits at the gate
        std::this_thread::yield();
    worker.submit(job(2));
    worker.submit(job(3));  // replaces 2, which never runs
    EXPECT_FALSE(worker.idle());
    closed.unlock();
    while (!worker.idle())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    EXPECT_EQ(worker.done(), 2u);
}

TEST(TestPattern, TheImageMovesEightPixelsAFrameAndKeepsBayerPhase)
{
    TestPattern p;
    p.configure(PixelFormat::BayerGR8, 64, 32, 8, PatternLook{});
    std::vector<uint8_t> a(p.frameBytes()), b(p.frameBytes());
    p.render(1, a.data());
    p.render(2, b.data());
    EXPECT_NE(a, b);
    // Frame 2 is frame 1 moved left by eight pixels.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x + 8 < 64; ++x)
            ASSERT_EQ(b[y * 64 + x], a[y * 64 + x + 8]) << x << "," << y;
}

TEST(TestPattern, ARegionShowsExactlyThatPartOfTheSensorImage)
{
    TestPattern whole, part;
    whole.configure(PixelFormat::Mono8, 64, 32, 8, PatternLook{});
    part.configure(PixelFormat::Mono8, 64, 32, {16, 10, 24, 12}, 8, PatternLook{});
    EXPECT_EQ(part.width(), 24);
    EXPECT_EQ(part.height(), 12);
    ASSERT_EQ(part.frameBytes(), 24u * 12u);
    std::vector<uint8_t> sensor(whole.frameBytes()), b(part.frameBytes());
    whole.render(0, sensor.data());
    for (int frame : {0, 3, 7}) {  // also while the image moves and wraps round
        part.render(frame, b.data());
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(b[y * 24 + x], sensor[(y + 10) * 64 + (16 + x + frame * 8) % 64])
                    << frame << ":" << x << "," << y;
    }
    // A region past the sensor's edge is pulled back inside it.
    part.configure(PixelFormat::Mono8, 64, 32, {60, 0, 24, 12}, 8, PatternLook{});
    part.render(0, b.data());
    EXPECT_EQ(b[0], sensor[40]);
}
