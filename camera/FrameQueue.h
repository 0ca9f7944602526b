// A fixed pool of frame buffers handed from an acquisition thread to the user-interface thread.
#pragma once

#include "camera/PixelFormat.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace cam {

struct FrameBuffer {
    std::vector<uint8_t> data;  // capacity fixed when the pool is made; empty for a lent frame
    size_t size = 0;            // bytes of this frame
    int width = 0;
    int height = 0;
    int bits = 8;               // significant bits of 16-bit formats
    PixelFormat format = PixelFormat::Mono8;
    uint64_t number = 0;        // frame number since acquisition started
    uint8_t *lent = nullptr;    // a backend's own receive memory the frame is in, instead of `data`
    void *loan = nullptr;       // the backend's handle for that memory

    const uint8_t *bytes() const { return lent ? lent : data.data(); }
    uint8_t *bytes() { return lent ? lent : data.data(); }
    // Makes this frame an owned copy of `other` (a frame kept beyond its pool).
    void copyFrom(const FrameBuffer &other);
};

// A backend whose receive buffers are the pool's frames: a released frame goes back to it.
class FrameLender {
public:
    virtual ~FrameLender() = default;
    virtual void giveBack(FrameBuffer *frame) = 0;
};

class FrameQueue {
public:
    FrameQueue(size_t count, size_t capacity);
    // A pool of frames that `lender` (which outlives the pool) adds with lend().
    FrameQueue(size_t capacity, FrameLender &lender);

    // Adds a frame in the lender's memory, owned by the pool; it starts out with the lender.
    FrameBuffer *lend(uint8_t *memory, void *loan);

    // Acquisition side: a free buffer, or null when the consumer holds them all.
    FrameBuffer *acquire();
    // Hands a filled buffer over; true when the queue was empty (the consumer needs waking).
    bool push(FrameBuffer *buffer);
    // Gives a buffer back (a failed frame, or one the consumer is done with); a lent frame
    // goes back to its lender.
    void release(FrameBuffer *buffer);

    // Consumer side: the oldest ready buffer, or null.
    FrameBuffer *pop();
    size_t readyCount() const;
    size_t bufferCapacity() const { return capacity_; }

private:
    size_t capacity_;
    FrameLender *lender_ = nullptr;
    std::vector<std::unique_ptr<FrameBuffer>> buffers_;
    mutable std::mutex mutex_;  // protects free_ and ready_
    std::vector<FrameBuffer *> free_;
    std::deque<FrameBuffer *> ready_;
};

} // namespace cam
