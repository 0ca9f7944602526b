// Fuzzes the GigE Vision stream assembler with packets as they come off the network. The input:
// two bytes of stream packet size, then packets, each two bytes of length and its bytes.
#include "camera/FrameQueue.h"
#include "camera/PixelFormat.h"
#include "camera/aravis/GvspAssembler.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace cam;

namespace {

struct Listener : StreamListener {
    void framesReady() override {}
    void frameDropped() override {}
};

// A delivered frame is whole: a positive size, and exactly the bytes its size and format take.
void check(const FrameBuffer &f, size_t capacity)
{
    if (f.width <= 0 || f.height <= 0 || f.size > capacity ||
        f.size != size_t(f.width) * size_t(f.height) * size_t(bytesPerPixel(f.format)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    constexpr size_t kCapacity = 1 << 16;
    FrameQueue queue(3, kCapacity);
    Listener listener;
    GvspAssembler assembler(queue, listener, data[0] << 8 | data[1]);
    for (size_t at = 2; at + 2 <= size;) {
        const size_t length = std::min<size_t>(size_t(data[at]) << 8 | data[at + 1], size - at - 2);
        assembler.packet(data + at + 2, length);
        at += 2 + length;
        while (FrameBuffer *f = queue.pop()) {
            check(*f, kCapacity);
            queue.release(f);
        }
    }
    return 0;
}
