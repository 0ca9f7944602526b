// Receives a GigE Vision stream that another application controls.
#include "camera/aravis/GvspMonitor.h"

#include "camera/CameraError.h"
#include "camera/aravis/PfncFormats.h"

#include <arpa/inet.h>
#include <cstring>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cam {

namespace {

constexpr int kIpUdpGvspHeaders = 20 + 8 + 8;  // what SCPS counts besides the image bytes
constexpr uint8_t kLeader = 1, kTrailer = 2, kPayload = 3;

uint16_t be16(const uint8_t *p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t be32(const uint8_t *p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

bool isMulticast(uint32_t ip) { return (ip >> 28) == 0xE; }

} // namespace

void GvspMonitor::start(const GvspRoute &route, FrameQueue &queue, StreamListener &listener)
{
    stop();
    route_ = route;
    queue_ = &queue;
    listener_ = &listener;
    frame_ = Assembly{};
    stop_ = false;
    if (isMulticast(route.destIp)) {
        // A multicast stream: join the group on an ordinary socket.
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        int one = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(route.destPort);
        addr.sin_addr.s_addr = htonl(route.destIp);
        ip_mreq group{};
        group.imr_multiaddr.s_addr = htonl(route.destIp);
        group.imr_interface.s_addr = htonl(INADDR_ANY);
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
            setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof group) != 0) {
            stop();
            throw CameraError(code::Failed, "cannot join the camera's multicast stream");
        }
        int size = 16 << 20;
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        packetSocket_ = false;
    } else {
        // A unicast stream to another receiver: visible only through a packet socket.
        fd_ = socket(AF_PACKET, SOCK_DGRAM, htons(ETH_P_IP));
        if (fd_ < 0)
            throw CameraError(code::NotSupported,
                              "monitoring a unicast stream needs CAP_NET_RAW (see the README)");
        int size = 16 << 20;
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        packetSocket_ = true;
    }
    thread_ = std::thread(&GvspMonitor::loop, this);
}

void GvspMonitor::stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (frame_.buffer && queue_)
        queue_->release(frame_.buffer);
    frame_ = Assembly{};
}

void GvspMonitor::loop()
{
    std::vector<uint8_t> buf(65536);
    while (!stop_) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        sockaddr_ll from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr *>(&from), &fromLen);
        if (n <= 0)
            continue;
        if (!packetSocket_) {
            packet(buf.data(), static_cast<size_t>(n));
            continue;
        }
        // Loopback shows every packet twice, leaving and arriving: take the arrivals.
        if (from.sll_pkttype == PACKET_OUTGOING || n < 28)
            continue;
        const auto *ip = reinterpret_cast<const iphdr *>(buf.data());
        const size_t ipLen = ip->ihl * 4u;
        if (ip->protocol != IPPROTO_UDP || static_cast<size_t>(n) < ipLen + 8)
            continue;
        const auto *udp = reinterpret_cast<const udphdr *>(buf.data() + ipLen);
        if (ntohl(ip->saddr) != route_.cameraIp || ntohl(ip->daddr) != route_.destIp ||
            ntohs(udp->dest) != route_.destPort)
            continue;
        packet(buf.data() + ipLen + 8, static_cast<size_t>(n) - ipLen - 8);
    }
}

void GvspMonitor::packet(const uint8_t *g, size_t length)
{
    if (length < 8)
        return;
    // GVSP header: status, block id, format (bit 7: extended ids), packet id.
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
        if (frame_.active)
            finish(false);  // the previous frame never got its trailer
        if (dataLen < 36)
            return;
        const uint32_t pfnc = be32(data + 12);
        const uint32_t w = be32(data + 16), h = be32(data + 20);
        frame_ = Assembly{};
        frame_.active = true;
        frame_.block = block;
        frame_.buffer = queue_->acquire();
        if (frame_.buffer) {
            FrameBuffer &b = *frame_.buffer;
            b.width = static_cast<int>(w);
            b.height = static_cast<int>(h);
            b.format = pixelFormatFromPfnc(pfnc, b.bits);
            frame_.expected = size_t(w) * h * bytesPerPixel(b.format);
            if (frame_.expected > b.data.size()) {
                queue_->release(frame_.buffer);
                frame_.buffer = nullptr;
            }
        }
        return;
    }
    if (!frame_.active || block != frame_.block)
        return;
    if (format == kPayload && frame_.buffer && packetId >= 1) {
        const size_t chunk = static_cast<size_t>(route_.packetSize - kIpUdpGvspHeaders);
        const size_t offset = size_t(packetId - 1) * chunk;
        if (offset + dataLen <= frame_.expected) {
            std::memcpy(frame_.buffer->data.data() + offset, data, dataLen);
            frame_.received += dataLen;
        }
    } else if (format == kTrailer) {
        finish(frame_.buffer && frame_.received >= frame_.expected);
    }
}

void GvspMonitor::finish(bool complete)
{
    frame_.active = false;
    if (!complete) {
        queue_->release(frame_.buffer);
        frame_.buffer = nullptr;
        ++failures_;
        listener_->frameDropped();
        return;
    }
    FrameBuffer *b = frame_.buffer;
    frame_.buffer = nullptr;
    b->size = frame_.expected;
    b->number = ++frameNumber_;
    ++completed_;
    if (queue_->push(b))
        listener_->framesReady();
}

} // namespace cam
