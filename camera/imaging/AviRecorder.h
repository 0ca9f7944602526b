// Records the live stream into an AVI file: frames are encoded on every core and written in
// order by a writer thread, so neither the user-interface nor the acquisition thread waits.
#pragma once

#include "camera/FrameQueue.h"
#include "camera/imaging/ImageSettings.h"
#include "camera/imaging/WriterQueue.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace cam {

class AviRecorder {
public:
    AviRecorder();
    ~AviRecorder();

    // Codec names that really write here, in display order (FFV1 probed once).
    static const std::vector<std::string> &availableCodecs();
    // The codec a short name ("MJPG", "raw", "FFV1") or a full name stands for; empty if none.
    static std::string codecNamed(const std::string &name);

    // Opens the file; throws CameraError when the codec, the frame size or the file is refused.
    void start(const std::string &path, const std::string &codec, int width, int height, double fps,
               int durationMs, const ImageSettings &settings, int encoders = 0);
    // Hands a delivered frame over; the first frame after the duration ends the recording.
    void push(const FrameBuffer &frame);
    // The same, waiting for room in the queue instead of counting the frame lost.
    void pushWaiting(const FrameBuffer &frame);
    // Writes what is queued and closes the file (it takes its name now).
    void stop();
    bool recording() const { return queue_ && status().active; }
    WriterStatus status() const;
    uint64_t framesWritten() const { return status().written; }
    uint64_t framesSkipped() const { return status().lost; }

private:
    struct Output;
    void push(const FrameBuffer &frame, bool wait);
    std::unique_ptr<Output> output_;
    std::unique_ptr<WriterQueue> queue_;
    ImageSettings settings_;
    WriterStatus last_;  // what the queue reported when it was stopped
    std::chrono::steady_clock::time_point end_;
};

} // namespace cam
