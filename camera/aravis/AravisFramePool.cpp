// The frame pool of an Aravis stream.
#include "camera/aravis/AravisFramePool.h"

#include "camera/CameraError.h"

#include <cstring>
#include <string>

namespace cam {

AravisFramePool::AravisFramePool(int count, size_t size) : queue_(size, *this)
{
    for (int i = 0; i < count; ++i) {
        // Allocated here, so that running out of memory is a CameraError rather than GLib's abort.
        void *data = g_try_malloc(size);
        if (!data) {
            for (ArvBuffer *b : buffers_)
                g_object_unref(b);
            throw CameraError(code::Failed, "not enough memory for " + std::to_string(count) +
                                                " receive buffers of " + std::to_string(size) + " bytes");
        }
        // Touched once here, so the stream thread does not stall on fresh pages mid-frame.
        std::memset(data, 0, size);
        FrameBuffer *frame = queue_.lend(static_cast<uint8_t *>(data), nullptr);
        ArvBuffer *buffer = arv_buffer_new_full(size, data, frame, nullptr);
        g_object_set_data_full(G_OBJECT(buffer), "molvane-memory", data, g_free);
        frame->loan = buffer;
        buffers_.push_back(buffer);
    }
}

AravisFramePool::~AravisFramePool()
{
    withdraw();
    for (ArvBuffer *b : buffers_)
        g_object_unref(b);
}

void AravisFramePool::lendTo(ArvStream *stream)
{
    std::lock_guard<std::mutex> lock(mutex_);
    stream_ = stream;
    for (ArvBuffer *b : buffers_)
        arv_stream_push_buffer(stream_, ARV_BUFFER(g_object_ref(b)));
}

void AravisFramePool::withdraw()
{
    std::lock_guard<std::mutex> lock(mutex_);
    stream_ = nullptr;
}

FrameBuffer *AravisFramePool::take(ArvBuffer *buffer)
{
    auto *frame = static_cast<FrameBuffer *>(const_cast<void *>(arv_buffer_get_user_data(buffer)));
    g_object_unref(buffer);
    return frame;
}

void AravisFramePool::giveBack(FrameBuffer *frame)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (stream_)
        arv_stream_push_buffer(stream_, ARV_BUFFER(g_object_ref(frame->loan)));
}

} // namespace cam
