// A bounded queue of frames to disk with parallel encoding and in-order writing.
#include "camera/imaging/WriterQueue.h"

#include <algorithm>
#include <exception>

namespace cam {

WriterQueue::WriterQueue(int slots, int encoders, Encode encode, Write write, Close close)
    : encode_(std::move(encode)), write_(std::move(write)), close_(std::move(close))
{
    for (int i = 0; i < std::max(slots, 1); ++i)
        slots_.push_back(std::make_unique<Slot>());
    for (int i = 0; i < std::max(encoders, 1); ++i)
        encoders_.emplace_back(&WriterQueue::encoderLoop, this);
    writer_ = std::thread(&WriterQueue::writerLoop, this);
}

WriterQueue::~WriterQueue() { finish(); }

int WriterQueue::defaultEncoders()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

bool WriterQueue::push(const FrameBuffer &frame, const ImageSettings &settings, const std::string &path,
                       bool wait)
{
    Slot *slot = nullptr;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        auto freeSlot = [&] {
            for (auto &s : slots_)
                if (s->state == State::Free)
                    return s.get();
            return static_cast<Slot *>(nullptr);
        };
        if (wait)
            freed_.wait(lock, [&] { return stop_ || failed_ || freeSlot(); });
        if (!stop_ && !failed_)
            slot = freeSlot();
        if (!slot) {
            ++lost_;  // the encoders are behind or writing failed: this frame is not written
            return false;
        }
        slot->state = State::Encoding;  // reserved: no encoder takes it until it is queued
        // Under the lock: the writer looks every reserved slot's sequence up while it waits.
        slot->job.sequence = nextSequence_++;
    }
    // The copy runs outside the lock so that encoders and the writer keep going meanwhile.
    WriterJob &job = slot->job;
    job.frame.copyFrom(frame);
    job.settings = settings;
    job.path = path;
    job.encoded.clear();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        slot->state = State::Queued;
    }
    toEncode_.notify_one();
    return true;
}

WriterQueue::Slot *WriterQueue::nextToEncode()
{
    Slot *best = nullptr;
    for (auto &s : slots_)
        if (s->state == State::Queued && (!best || s->job.sequence < best->job.sequence))
            best = s.get();
    return best;
}

WriterQueue::Slot *WriterQueue::slotOf(uint64_t sequence)
{
    for (auto &s : slots_)
        if (s->state != State::Free && s->job.sequence == sequence)
            return s.get();
    return nullptr;
}

void WriterQueue::encoderLoop()
{
    for (;;) {
        Slot *slot = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            toEncode_.wait(lock, [&] { return (slot = nextToEncode()) != nullptr || stop_; });
            if (!slot)
                return;  // stopped, nothing left to encode
            slot->state = State::Encoding;
        }
        State done = State::Encoded;
        std::string message;
        try {
            if (!failed_)
                encode_(slot->job);
        } catch (const std::exception &e) {
            done = State::Lost;
            message = e.what();
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            slot->state = done;
            if (!message.empty() && error_.empty())
                error_ = message;
        }
        toWrite_.notify_one();
    }
}

void WriterQueue::writerLoop()
{
    for (;;) {
        Slot *slot = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            toWrite_.wait(lock, [&] {
                slot = slotOf(nextWrite_);
                if (slot && (slot->state == State::Encoded || slot->state == State::Lost))
                    return true;
                slot = nullptr;
                return stop_ && nextWrite_ == nextSequence_;
            });
            if (!slot)
                break;  // stopped and everything taken in has been handled
        }
        if (slot->state == State::Encoded && !failed_) {
            try {
                write_(slot->job);
                ++written_;
            } catch (const std::exception &e) {
                fail(e.what());
                ++lost_;
            }
        } else {
            ++lost_;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            slot->state = State::Free;
            ++nextWrite_;
        }
        freed_.notify_one();
    }
    if (close_ && !failed_) {
        try {
            close_();
        } catch (const std::exception &e) {
            fail(e.what());
        }
    }
    finished_ = true;
}

void WriterQueue::fail(const std::string &message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (error_.empty())
        error_ = message;
    failed_ = true;
    freed_.notify_all();
}

void WriterQueue::requestFinish()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    toEncode_.notify_all();
    toWrite_.notify_all();
    freed_.notify_all();
}

void WriterQueue::finish()
{
    requestFinish();
    for (auto &t : encoders_)
        if (t.joinable())
            t.join();
    // Encoders end only once nothing is queued, so the writer sees every frame's last state.
    toWrite_.notify_all();
    if (writer_.joinable())
        writer_.join();
}

WriterStatus WriterQueue::status() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return {!stop_ && !failed_, finished_, written_, lost_, error_};
}

} // namespace cam
