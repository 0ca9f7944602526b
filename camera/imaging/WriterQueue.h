// A bounded queue of frames to disk: encoder threads on every core, one writer that takes the
// encoded frames in the order they came in, and counters of what could not be written.
#pragma once

#include "camera/FrameQueue.h"
#include "camera/imaging/ImageSettings.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cam {

// One frame on its way to disk.
struct WriterJob {
    FrameBuffer frame;             // a copy: the camera's buffer goes back at once
    ImageSettings settings;
    std::string path;              // where the frame goes (stills; empty for a video)
    std::vector<uint8_t> encoded;  // filled by the encoder
    uint64_t sequence = 0;
};

// What the queue has done so far.
struct WriterStatus {
    bool active = false;   // still taking frames
    bool finished = true;  // everything taken in has been written or counted lost
    uint64_t written = 0;
    uint64_t lost = 0;   // frames not in the output: queue full, encoding or writing failed
    std::string error;   // the first failure, empty while all went well
};

class WriterQueue {
public:
    // Runs on an encoder thread; throws to mark the frame lost.
    using Encode = std::function<void(WriterJob &)>;
    // Runs on the writer thread in arrival order; throws to stop the queue with that message.
    using Write = std::function<void(WriterJob &)>;

    // Runs on the writer thread after the last frame (closing a file); throws like Write.
    using Close = std::function<void()>;

    WriterQueue(int slots, int encoders, Encode encode, Write write, Close close = {});
    ~WriterQueue();
    WriterQueue(const WriterQueue &) = delete;
    WriterQueue &operator=(const WriterQueue &) = delete;

    // Copies the frame in; false (and counted as lost) when every slot is busy or writing failed.
    // With `wait` it waits for a free slot instead (a source that can wait, such as a benchmark).
    bool push(const FrameBuffer &frame, const ImageSettings &settings, const std::string &path = {},
              bool wait = false);
    // Takes no more frames; what is queued is still written, then Close runs. Does not wait.
    void requestFinish();
    // requestFinish, then waits for the threads. Safe to call twice.
    void finish();
    WriterStatus status() const;
    bool failed() const { return failed_; }
    // How many encoder threads fit this machine.
    static int defaultEncoders();
    // Slots for that many encoders: each busy, plus room for a burst of about a quarter second
    // at 100 fps while the disk or the processor is taken by something else. A slot's memory
    // is taken only when the queue backs up that far.
    static int defaultSlots(int encoders) { return std::max(3 * encoders + 4, 24); }

private:
    enum class State { Free, Queued, Encoding, Encoded, Lost };
    struct Slot {
        WriterJob job;
        State state = State::Free;
    };
    void encoderLoop();
    void writerLoop();
    Slot *nextToEncode();  // with mutex_ held
    Slot *slotOf(uint64_t sequence);  // with mutex_ held
    void fail(const std::string &message);

    Encode encode_;
    Write write_;
    Close close_;
    std::vector<std::unique_ptr<Slot>> slots_;
    mutable std::mutex mutex_;  // protects every slot's state, nextSequence_, error_ and stop_
    std::condition_variable toEncode_;
    std::condition_variable toWrite_;
    std::condition_variable freed_;
    uint64_t nextSequence_ = 0;
    uint64_t nextWrite_ = 0;  // touched by the writer thread only
    std::string error_;
    bool stop_ = false;
    std::atomic<bool> failed_{false};
    std::atomic<bool> finished_{false};
    std::atomic<uint64_t> written_{0};
    std::atomic<uint64_t> lost_{0};
    std::vector<std::thread> encoders_;
    std::thread writer_;
};

} // namespace cam
