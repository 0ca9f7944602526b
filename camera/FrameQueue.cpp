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

FrameQueue::FrameQueue(size_t capacity, FrameLender &lender) : capacity_(capacity), pool_(std::make_shared<Pool>())
{
    pool_->lender = &lender;
}

FrameBuffer *FrameQueue::lend(uint8_t *memory, void *loan)
{
    auto b = std::make_unique<FrameBuffer>();
    b->lent = memory;
    b->loan = loan;
    std::lock_guard<std::mutex> lock(pool_->mutex);
    pool_->uses[b.get()] = 0;
    pool_->buffers.push_back(std::move(b));
    return pool_->buffers.back().get();
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
    pool_->uses[buffer] = 1;  // a lender's frame was not acquired: it leaves the lender here
    bool wasEmpty = pool_->ready.empty();
    pool_->ready.push_back(buffer);
    return wasEmpty;
}

void FrameQueue::release(FrameBuffer *buffer)
{
    if (buffer)
        pool_->release(buffer, false);
}

void FrameQueue::Pool::release(FrameBuffer *buffer, bool endsHold)
{
    bool back = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = uses.find(buffer);
        back = it == uses.end() || --it->second <= 0;  // otherwise still held
        if (back && !lender)
            free.push_back(buffer);
    }
    if (back && lender)
        lender->giveBack(buffer);
    if (!endsHold)
        return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        --held;  // only now: the lender may go once no hold is left
    }
    unheld.notify_all();
}

std::shared_ptr<const FrameBuffer> FrameQueue::hold(FrameBuffer *buffer)
{
    if (!buffer)
        return nullptr;
    {
        std::lock_guard<std::mutex> lock(pool_->mutex);
        ++pool_->uses[buffer];
        ++pool_->held;
    }
    return std::shared_ptr<const FrameBuffer>(buffer, [pool = pool_](const FrameBuffer *b) {
        pool->release(const_cast<FrameBuffer *>(b), true);
    });
}

void FrameQueue::waitUntilUnheld()
{
    std::unique_lock<std::mutex> lock(pool_->mutex);
    pool_->unheld.wait(lock, [this] { return pool_->held == 0; });
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
