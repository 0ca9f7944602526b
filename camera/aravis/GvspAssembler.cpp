// Puts GigE Vision stream packets back together into frames.
#include "camera/aravis/GvspAssembler.h"

#include "camera/aravis/PfncFormats.h"

#include <cstring>

namespace cam {

namespace {

constexpr int kIpUdpGvspHeaders = 20 + 8 + 8;  // what SCPS counts besides the image bytes
constexpr uint8_t kLeader = 1, kTrailer = 2, kPayload = 3;

uint16_t be16(const uint8_t *p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t be32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

} // namespace

GvspAssembler::GvspAssembler(FrameQueue &queue, StreamListener &listener, int packetSize)
    : queue_(queue), listener_(listener),
      chunk_(static_cast<size_t>(packetSize > kIpUdpGvspHeaders ? packetSize - kIpUdpGvspHeaders : 1))
{
}

GvspAssembler::~GvspAssembler() { queue_.release(buffer_); }

void GvspAssembler::packet(const uint8_t *g, size_t length)
{
    if (length < 8)
        return;
    // Header: status, block id, format (bit 7: extended ids), packet id.
    const bool extended = g[4] & 0x80;
    const uint8_t format = g[4] & 0x0f;
    uint64_t block;
    uint32_t packetId;
    size_t header;
    if (extended) {
        if (length < 20)
            return;
        block = uint64_t(be32(g + 8)) << 32 | be32(g + 12);
        packetId = be32(g + 16);
        header = 20;
    } else {
        block = be16(g + 2);
        packetId = uint32_t(g[5]) << 16 | uint32_t(g[6]) << 8 | g[7];
        header = 8;
    }
    const uint8_t *data = g + header;
    const size_t dataLen = length - header;
    if (format == kLeader) {
        if (active_)
            finish(false);  // the previous frame never got its trailer
        if (dataLen < 36)
            return;
        active_ = true;
        block_ = block;
        received_ = 0;
        buffer_ = queue_.acquire();  // none free: the frame is lost when its trailer comes
        if (!buffer_)
            return;
        const uint32_t width = be32(data + 16), height = be32(data + 20);
        buffer_->format = pixelFormatFromPfnc(be32(data + 12), buffer_->bits);
        // The size comes from the network: a frame of no pixels or one larger than a buffer
        // (checked by division, so that no product can overflow) is not assembled.
        const size_t bytesPerLine = size_t(width) * bytesPerPixel(buffer_->format);
        if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX ||
            height > buffer_->data.size() / bytesPerLine) {
            queue_.release(buffer_);
            buffer_ = nullptr;
            return;
        }
        buffer_->width = static_cast<int>(width);
        buffer_->height = static_cast<int>(height);
        expected_ = bytesPerLine * height;
        seen_.assign((expected_ + chunk_ - 1) / chunk_, false);
        return;
    }
    if (!active_ || block != block_)
        return;
    if (format == kPayload && buffer_ && packetId >= 1 && packetId - 1 < seen_.size()) {
        // A packet that comes twice (resent, or doubled on the way) counts once.
        const size_t offset = size_t(packetId - 1) * chunk_;
        if (offset + dataLen <= expected_ && !seen_[packetId - 1]) {
            std::memcpy(buffer_->data.data() + offset, data, dataLen);
            seen_[packetId - 1] = true;
            received_ += dataLen;
        }
    } else if (format == kTrailer) {
        finish(buffer_ && received_ == expected_);
    }
}

void GvspAssembler::finish(bool complete)
{
    active_ = false;
    FrameBuffer *b = buffer_;
    buffer_ = nullptr;
    if (!complete) {
        queue_.release(b);
        ++failures_;
        listener_.frameDropped();
        return;
    }
    b->size = expected_;
    b->number = ++frameNumber_;
    ++completed_;
    if (queue_.push(b))
        listener_.framesReady();
}

} // namespace cam
