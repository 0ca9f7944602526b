// GigE Vision stream packets back into frames: complete frames, lost packets, lost trailers,
// extended ids, and a consumer that keeps every buffer.
#include "camera/aravis/GvspAssembler.h"

#include <arv.h>
#include <gtest/gtest.h>

#include <vector>

using namespace cam;

namespace {

struct Listener : StreamListener {
    int ready = 0, dropped = 0;
    void framesReady() override { ++ready; }
    void frameDropped() override { ++dropped; }
};

constexpr int kPacketSize = 36 + 100;  // 100 image bytes a packet

void be(std::vector<uint8_t> &v, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        v.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// One packet: format 1 leader, 2 trailer, 3 payload.
std::vector<uint8_t> packet(uint8_t format, uint64_t block, uint32_t id, bool extended = false)
{
    std::vector<uint8_t> p;
    be(p, 0, 2);  // status
    be(p, extended ? 0 : block, 2);
    p.push_back(static_cast<uint8_t>(format | (extended ? 0x80 : 0)));
    be(p, extended ? 0 : id, 3);
    if (extended) {
        be(p, block, 8);
        be(p, id, 4);
    }
    return p;
}

std::vector<uint8_t> leader(uint64_t block, uint32_t w, uint32_t h, bool extended = false)
{
    auto p = packet(1, block, 0, extended);
    be(p, 0, 2);  // reserved
    be(p, 1, 2);  // payload type: image
    be(p, 0, 8);  // timestamp
    be(p, ARV_PIXEL_FORMAT_MONO_8, 4);
    be(p, w, 4);
    be(p, h, 4);
    be(p, 0, 12);  // offsets and padding
    return p;
}

std::vector<uint8_t> payload(uint64_t block, uint32_t id, size_t bytes, uint8_t fill, bool extended = false)
{
    auto p = packet(3, block, id, extended);
    p.insert(p.end(), bytes, fill);
    return p;
}

void send(GvspAssembler &a, const std::vector<uint8_t> &p) { a.packet(p.data(), p.size()); }

// A 25 x 10 Mono8 frame: 250 bytes in payload packets 1, 2 (100 each) and 3 (50).
void sendFrame(GvspAssembler &a, uint64_t block, std::vector<uint32_t> ids = {1, 2, 3},
               bool trailer = true, bool extended = false)
{
    send(a, leader(block, 25, 10, extended));
    for (uint32_t id : ids)
        send(a, payload(block, id, id == 3 ? 50 : 100, static_cast<uint8_t>(id), extended));
    if (trailer)
        send(a, packet(2, block, 4, extended));
}

} // namespace

TEST(GvspAssembler, PutsACompleteFrameTogetherInPlaceWhateverThePacketOrder)
{
    FrameQueue queue(4, 1000);
    Listener l;
    GvspAssembler a(queue, l, kPacketSize);
    sendFrame(a, 7, {3, 1, 2});
    ASSERT_EQ(l.ready, 1);
    FrameBuffer *f = queue.pop();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->width, 25);
    EXPECT_EQ(f->height, 10);
    EXPECT_EQ(f->format, PixelFormat::Mono8);
    EXPECT_EQ(f->size, 250u);
    EXPECT_EQ(f->data[0], 1);
    EXPECT_EQ(f->data[100], 2);
    EXPECT_EQ(f->data[249], 3);
    EXPECT_EQ(a.completed(), 1u);
    EXPECT_EQ(l.dropped, 0);
}

TEST(GvspAssembler, AMissingPacketOrTrailerDropsTheFrameAndReturnsItsBuffer)
{
    FrameQueue queue(2, 1000);
    Listener l;
    GvspAssembler a(queue, l, kPacketSize);
    sendFrame(a, 1, {1, 3});  // packet 2 lost
    EXPECT_EQ(l.dropped, 1);
    sendFrame(a, 2, {1, 2, 3}, false);  // trailer lost: noticed at the next leader
    sendFrame(a, 3);
    EXPECT_EQ(l.dropped, 2);
    EXPECT_EQ(a.completed(), 1u);
    EXPECT_EQ(a.failures(), 2u);
    // Packets of an old block after a new leader are ignored.
    send(a, payload(2, 1, 100, 9));
    EXPECT_EQ(queue.readyCount(), 1u);
    // Both buffers are usable again: dropped frames gave theirs back.
    queue.release(queue.pop());
    sendFrame(a, 4);
    sendFrame(a, 5);
    EXPECT_EQ(queue.readyCount(), 2u);
}

TEST(GvspAssembler, ExtendedIdsAndAConsumerHoldingEveryBuffer)
{
    FrameQueue queue(1, 1000);
    Listener l;
    GvspAssembler a(queue, l, kPacketSize);
    sendFrame(a, 0x100000001ull, {1, 2, 3}, true, true);
    EXPECT_EQ(a.completed(), 1u);
    sendFrame(a, 0x100000002ull, {1, 2, 3}, true, true);  // the only buffer is still held
    EXPECT_EQ(a.completed(), 1u);
    EXPECT_EQ(l.dropped, 1);
}

TEST(GvspAssembler, LeadersOfNoPixelsOrOfSizesThatOverflowAreDroppedNotDelivered)
{
    FrameQueue queue(2, 1000);
    Listener l;
    GvspAssembler a(queue, l, kPacketSize);
    const std::pair<uint32_t, uint32_t> sizes[] = {
        {0, 10}, {25, 0}, {0xFFFFFFFF, 1}, {0x80000000, 0x80000000}, {0xFFFFFFFF, 0xFFFFFFFF}};
    uint64_t block = 1;
    for (const auto &[w, h] : sizes) {
        send(a, leader(block, w, h));
        send(a, payload(block, 1, 100, 1));
        send(a, packet(2, block, 2));
        ++block;
    }
    EXPECT_EQ(a.completed(), 0u);
    EXPECT_EQ(l.dropped, 5);
    EXPECT_EQ(queue.readyCount(), 0u);
    sendFrame(a, block);  // both buffers came back
    sendFrame(a, block + 1);
    EXPECT_EQ(queue.readyCount(), 2u);
}

TEST(GvspAssembler, APacketThatComesTwiceCountsOnceSoALostOneStillDropsTheFrame)
{
    FrameQueue queue(2, 1000);
    Listener l;
    GvspAssembler a(queue, l, kPacketSize);
    send(a, leader(1, 25, 10));
    send(a, payload(1, 1, 100, 1));
    send(a, payload(1, 1, 100, 1));  // doubled on the way
    send(a, payload(1, 3, 50, 3));   // packet 2 lost
    send(a, packet(2, 1, 4));
    EXPECT_EQ(a.completed(), 0u);
    EXPECT_EQ(l.dropped, 1);
    sendFrame(a, 2, {1, 2, 2, 3});  // a resent packet after the first copy: the frame is whole
    EXPECT_EQ(a.completed(), 1u);
}
