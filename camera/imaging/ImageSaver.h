// Saves still images through encoder threads, so a series of every frame never holds up the
// user-interface thread. Each file is written under "<name>.part" and renamed when complete.
#pragma once

#include "camera/imaging/WriterQueue.h"

#include <atomic>
#include <memory>
#include <string>

namespace cam {

class ImageSaver {
public:
    explicit ImageSaver(int encoders = 0);
    ~ImageSaver();

    // Checks the ending and the folder at once (throws CameraError), then queues the frame.
    // A failure of an earlier file is thrown here once, and the saver starts afresh.
    void save(const FrameBuffer &frame, const ImageSettings &settings, const std::string &path, int quality);
    // Waits until every queued image is on disk (or counted lost).
    void flush();
    // Counts since the saver was made (kept across flushes and failures).
    WriterStatus status() const;

private:
    void startQueue();
    void retire();  // adds the queue's counts to the totals and drops it

    int encoders_;
    std::atomic<int> quality_{90};
    std::unique_ptr<WriterQueue> queue_;
    uint64_t writtenBefore_ = 0, lostBefore_ = 0;
    std::string lastError_;
};

} // namespace cam
