// The capture thread of an IIDC camera.
#include "camera/iidc/IidcStream.h"

#include <cstring>

namespace cam {

namespace {
constexpr int kWaitMs = 100;  // how soon the thread notices a stop
} // namespace

IidcStream::IidcStream(Dc1394Camera &camera, PixelFormat format, FrameQueue &queue, StreamListener &listener,
                       Hooks hooks)
    : camera_(camera), format_(format), queue_(queue), listener_(listener), hooks_(std::move(hooks))
{
}

IidcStream::~IidcStream() { stop(); }

void IidcStream::start()
{
    stop_ = false;
    meter_.reset();
    thread_ = std::thread(&IidcStream::loop, this);
}

void IidcStream::stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void IidcStream::loop()
{
    while (!stop_) {
        IidcFrame frame;
        const IidcDequeue got = camera_.dequeue(kWaitMs, frame);
        if (got == IidcDequeue::Failed) {
            // libdc1394 fails a dequeue only when the device has gone away.
            hooks_.lost();
            return;
        }
        if (got == IidcDequeue::Frame) {
            deliver(frame);
            camera_.enqueue(frame);
        }
    }
}

void IidcStream::deliver(const IidcFrame &frame)
{
    if (frame.corrupt) {
        listener_.frameDropped();
        return;
    }
    if (!hooks_.takeFrame())
        return;
    FrameBuffer *b = queue_.acquire();
    if (!b || frame.bytes > queue_.bufferCapacity()) {
        queue_.release(b);
        listener_.frameDropped();
        return;
    }
    if (isSixteenBit(format_)) {
        // IIDC sends 16-bit pixels most significant byte first; frames here are little endian.
        for (size_t i = 0; i + 1 < frame.bytes; i += 2) {
            b->data[i] = frame.image[i + 1];
            b->data[i + 1] = frame.image[i];
        }
    } else {
        std::memcpy(b->data.data(), frame.image, frame.bytes);
    }
    b->size = frame.bytes;
    b->width = frame.width;
    b->height = frame.height;
    b->format = format_;
    b->bits = frame.depth > 8 ? frame.depth : 8;
    b->number = ++number_;
    ++received_;
    meter_.frameArrived(FrameRateMeter::Clock::now());
    if (queue_.push(b))
        listener_.framesReady();
}

} // namespace cam
