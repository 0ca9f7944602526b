// A fixed pool of frame buffers handed from an acquisition thread to the user-interface thread.
#pragma once

#include "camera/PixelFormat.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
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
    // Gives a buffer back: a failed or incomplete frame, or one the consumer is done with. A
    // buffer lent out returns to the pool only when its last loan ends too.
    void release(FrameBuffer *buffer);
    // Lends a buffer the consumer holds to another thread without copying it: the buffer
    // stays out of the pool until the returned pointer is dropped, even past the queue's end.
    std::shared_ptr<const FrameBuffer> lend(FrameBuffer *buffer);

    // Consumer side: the oldest ready buffer, or null.
    FrameBuffer *pop();
    size_t readyCount() const;
    size_t bufferCapacity() const { return capacity_; }

private:
    // Shared with the loans, which may end after the queue.
    struct Pool {
        std::vector<std::unique_ptr<FrameBuffer>> buffers;
        std::mutex mutex;  // protects free, ready and uses
        std::vector<FrameBuffer *> free;
        std::deque<FrameBuffer *> ready;
        std::unordered_map<const FrameBuffer *, int> uses;  // holders of each buffer out of the pool
        void release(FrameBuffer *buffer);
    };
    size_t capacity_;
    std::shared_ptr<Pool> pool_;
};

} // namespace cam
