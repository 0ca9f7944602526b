// A fixed pool of frame buffers.
#include "camera/FrameQueue.h"

#include "camera/CameraError.h"

#include <stdexcept>
#include <string>

namespace cam {

FrameQueue::FrameQueue(size_t count, size_t capacity) : capacity_(capacity), pool_(std::make_shared<Pool>())
{
    try {
        for (size_t i = 0; i < count; ++i) {
            auto b = std::make_unique<FrameBuffer>();
            b->data.resize(capacity);
            pool_->free.push_back(b.get());
            pool_->uses[b.get()] = 0;  // every buffer's entry made now: none is made per frame
            pool_->buffers.push_back(std::move(b));
        }
    } catch (const std::exception &) {  // std::bad_alloc, or a size past what a vector holds
        throw CameraError(code::Failed, "not enough memory for " + std::to_string(count) +
                                            " frame buffers of " + std::to_string(capacity) + " bytes");
    }
}

FrameBuffer *FrameQueue::acquire()
{
    std::lock_guard<std::mutex> lock(pool_->mutex);
    if (pool_->free.empty())
        return nullptr;
    FrameBuffer *b = pool_->free.back();
    pool_->free.pop_back();
    pool_->uses[b] = 1;
    return b;
}

bool FrameQueue::push(FrameBuffer *buffer)
{
    std::lock_guard<std::mutex> lock(pool_->mutex);
    bool wasEmpty = pool_->ready.empty();
    pool_->ready.push_back(buffer);
    return wasEmpty;
}

void FrameQueue::release(FrameBuffer *buffer)
{
    if (buffer)
        pool_->release(buffer);
}

void FrameQueue::Pool::release(FrameBuffer *buffer)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = uses.find(buffer);
    if (it != uses.end() && --it->second > 0)
        return;  // still lent out
    free.push_back(buffer);
}

std::shared_ptr<const FrameBuffer> FrameQueue::lend(FrameBuffer *buffer)
{
    if (!buffer)
        return nullptr;
    {
        std::lock_guard<std::mutex> lock(pool_->mutex);
        ++pool_->uses[buffer];
    }
    return std::shared_ptr<const FrameBuffer>(buffer, [pool = pool_](const FrameBuffer *b) {
        pool->release(const_cast<FrameBuffer *>(b));
    });
}

FrameBuffer *FrameQueue::pop()
{
    std::lock_guard<std::mutex> lock(pool_->mutex);
    if (pool_->ready.empty())
        return nullptr;
    FrameBuffer *b = pool_->ready.front();
    pool_->ready.pop_front();
    return b;
}

size_t FrameQueue::readyCount() const
{
    std::lock_guard<std::mutex> lock(pool_->mutex);
    return pool_->ready.size();
}

} // namespace cam
