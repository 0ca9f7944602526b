// A fixed pool of frame buffers.
#include "camera/FrameQueue.h"

#include "camera/CameraError.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace cam {

void FrameBuffer::copyFrom(const FrameBuffer &other)
{
    data.resize(std::max(data.size(), other.size));
    std::copy_n(other.bytes(), other.size, data.begin());
    lent = nullptr;
    loan = nullptr;
    size = other.size;
    width = other.width;
    height = other.height;
    bits = other.bits;
    format = other.format;
    number = other.number;
}

FrameQueue::FrameQueue(size_t count, size_t capacity) : capacity_(capacity)
{
    try {
        for (size_t i = 0; i < count; ++i) {
            auto b = std::make_unique<FrameBuffer>();
            b->data.resize(capacity);
            free_.push_back(b.get());
            buffers_.push_back(std::move(b));
        }
    } catch (const std::exception &) {  // std::bad_alloc, or a size past what a vector holds
        throw CameraError(code::Failed, "not enough memory for " + std::to_string(count) +
                                            " frame buffers of " + std::to_string(capacity) + " bytes");
    }
}

FrameQueue::FrameQueue(size_t capacity, FrameLender &lender) : capacity_(capacity), lender_(&lender) {}

FrameBuffer *FrameQueue::lend(uint8_t *memory, void *loan)
{
    auto b = std::make_unique<FrameBuffer>();
    b->lent = memory;
    b->loan = loan;
    buffers_.push_back(std::move(b));
    return buffers_.back().get();
}

FrameBuffer *FrameQueue::acquire()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.empty())
        return nullptr;
    FrameBuffer *b = free_.back();
    free_.pop_back();
    return b;
}

bool FrameQueue::push(FrameBuffer *buffer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    bool wasEmpty = ready_.empty();
    ready_.push_back(buffer);
    return wasEmpty;
}

void FrameQueue::release(FrameBuffer *buffer)
{
    if (!buffer)
        return;
    if (lender_) {
        lender_->giveBack(buffer);
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(buffer);
}

FrameBuffer *FrameQueue::pop()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (ready_.empty())
        return nullptr;
    FrameBuffer *b = ready_.front();
    ready_.pop_front();
    return b;
}

size_t FrameQueue::readyCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ready_.size();
}

} // namespace cam
