// Fixtures of the tests against arv-fake-gv-camera-0.8 on loopback: the component on its own, and
// the desktop shell, each with a fake camera started and ended by the test.
#pragma once

#include "FakeCameraProcess.h"
#include "TestSupport.h"

#include "camera/aravis/AravisDiscovery.h"

#include <chrono>
#include <thread>

struct Events : cam::CameraEvents {
    int images = 0, drops = 0;
    std::vector<int> removed;
    void ImageReceived(int) override { ++images; }
    void FrameDropped() override { ++drops; }
    void CameraRemoved(int p) override { removed.push_back(p); }
};

class AravisBackend : public ::testing::Test {
protected:
    void SetUp() override
    {
        using namespace std::chrono_literals;
        fake = std::make_unique<ChildProcess>(fakeCameraCommand(loss));
        ASSERT_TRUE(fake->running()) << "arv-fake-gv-camera-0.8 is not installed";
        std::this_thread::sleep_for(300ms);
        discovery.scan();
        ASSERT_EQ(cam::CameraBus::instance().count(), 1) << "the fake camera was not found on 127.0.0.1";
        camera = std::make_unique<cam::CMolvane>();
        camera->Create("Molvane", [this](std::function<void()> fn) { platform.post(std::move(fn)); }, &events);
    }
    void TearDown() override
    {
        camera.reset();
        platform.processEvents();
        discovery.stop();
        fake.reset();
        cam::CameraBus::instance().clear();
    }
    bool frames(int n, int timeoutMs = 8000)
    {
        const int target = events.images + n;
        return platform.processUntil([&] { return events.images >= target; }, timeoutMs);
    }

    int loss = 0;
    fw::HeadlessPlatform platform;
    std::unique_ptr<ChildProcess> fake;
    cam::AravisDiscovery discovery;
    Events events;
    std::unique_ptr<cam::CMolvane> camera;
};

// The desktop shell with a real camera: listed, opened, played; killing it closes the window.
class AravisShell : public AppFixture {
protected:
    void SetUp() override
    {
        fake = std::make_unique<ChildProcess>(fakeCameraCommand());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        discovery.stop();
        fake.reset();
        cam::CameraBus::instance().clear();
    }
    std::unique_ptr<ChildProcess> fake;
    cam::AravisDiscovery discovery;
};

