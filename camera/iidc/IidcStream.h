// The capture thread of an IIDC camera: frames libdc1394 filled are copied into the
// component's pool and handed to the consumer; frames that find no room are counted as lost.
#pragma once

#include "camera/CameraDevice.h"
#include "camera/FrameRateMeter.h"
#include "camera/iidc/Dc1394Camera.h"

#include <atomic>
#include <functional>
#include <thread>

namespace cam {

class IidcStream {
public:
    struct Hooks {
        std::function<bool()> takeFrame;  // whether a frame belongs to the current shot
        std::function<void()> lost;       // capture failed: the camera is gone
    };
    // Frames arrive in `format`: the current mode's, which cannot change while streaming.
    IidcStream(Dc1394Camera &camera, PixelFormat format, FrameQueue &queue, StreamListener &listener, Hooks hooks);
    ~IidcStream();

    void start();
    void stop();  // joins the thread
    uint32_t received() const { return received_; }
    double rate() const { return meter_.rate(FrameRateMeter::Clock::now()); }

private:
    void loop();
    void deliver(const IidcFrame &frame);

    Dc1394Camera &camera_;
    PixelFormat format_;
    FrameQueue &queue_;
    StreamListener &listener_;
    Hooks hooks_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::atomic<uint32_t> received_{0};
    uint64_t number_ = 0;  // capture thread only
    FrameRateMeter meter_;
};

} // namespace cam
