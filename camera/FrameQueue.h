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
    std::vector<uint8_t> data;  // capacity fixed when the pool is made
    size_t size = 0;            // bytes of this frame
    int width = 0;
    int height = 0;
    int bits = 8;               // significant bits of 16-bit formats
    PixelFormat format = PixelFormat::Mono8;
    uint64_t number = 0;        // frame number since acquisition started
};

class FrameQueue {
public:
    FrameQueue(size_t count, size_t capacity);

    // Acquisition side: a free buffer, or null when the consumer holds them all.
    FrameBuffer *acquire();
    // Hands a filled buffer over; true when the queue was empty (the consumer needs waking).
    bool push(FrameBuffer *buffer);
    // Gives an unused buffer back (a failed or incomplete frame).
    void release(FrameBuffer *buffer);

    // Consumer side: the oldest ready buffer, or null.
    FrameBuffer *pop();
    size_t readyCount() const;
    size_t bufferCapacity() const { return capacity_; }

private:
    size_t capacity_;
    std::vector<std::unique_ptr<FrameBuffer>> buffers_;
    mutable std::mutex mutex_;  // protects free_ and ready_
    std::vector<FrameBuffer *> free_;
    std::deque<FrameBuffer *> ready_;
};

} // namespace cam
