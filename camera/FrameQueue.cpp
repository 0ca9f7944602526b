// A fixed pool of frame buffers.
#include "camera/FrameQueue.h"

namespace cam {

FrameQueue::FrameQueue(size_t count, size_t capacity) : capacity_(capacity)
{
    for (size_t i = 0; i < count; ++i) {
        auto b = std::make_unique<FrameBuffer>();
        b->data.resize(capacity);
        free_.push_back(b.get());
        buffers_.push_back(std::move(b));
    }
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
