// Records the live stream into an AVI file on a writer thread of its own.
#pragma once

#include "camera/FrameQueue.h"
#include "camera/imaging/ImageSettings.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cv {
class VideoWriter;
}

namespace cam {

class AviRecorder {
public:
    AviRecorder();
    ~AviRecorder();

    // Codec names that really encode on this machine, in display order (probed once).
    static const std::vector<std::string> &availableCodecs();

    // Opens the file; throws CameraError when the codec or the frame size is not supported.
    void start(const std::string &path, const std::string &codec, int width, int height, double fps,
               int durationMs, const ImageSettings &settings);
    // Hands a delivered frame over; frames after the duration end the recording.
    void push(const FrameBuffer &frame);
    void stop();
    bool recording() const { return recording_; }
    uint64_t framesWritten() const { return written_; }
    uint64_t framesSkipped() const { return skipped_; }

private:
    struct Slot {
        FrameBuffer frame;
    };
    void writerLoop();

    std::unique_ptr<cv::VideoWriter> writer_;
    ImageSettings settings_;
    std::chrono::steady_clock::time_point end_;
    std::atomic<bool> recording_{false};
    std::atomic<uint64_t> written_{0};
    std::atomic<uint64_t> skipped_{0};

    std::mutex mutex_;  // protects free_, pending_ and stop_
    std::condition_variable wake_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::vector<Slot *> free_;
    std::deque<Slot *> pending_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace cam
