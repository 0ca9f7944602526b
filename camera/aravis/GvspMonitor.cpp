// Receives a GigE Vision stream that another application controls.
#include "camera/aravis/GvspMonitor.h"

#include "camera/CameraError.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cam {

namespace {

bool isMulticast(uint32_t ip) { return (ip >> 28) == 0xE; }

} // namespace

void GvspMonitor::start(const GvspRoute &route, FrameQueue &queue, StreamListener &listener)
{
    stop();
    route_ = route;
    assembler_ = std::make_unique<GvspAssembler>(queue, listener, route.packetSize);
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
    if (assembler_) {
        completed_ = assembler_->completed();
        failures_ = assembler_->failures();
    }
    assembler_.reset();
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
            deliver(buf.data(), static_cast<size_t>(n));
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
        deliver(buf.data() + ipLen + 8, static_cast<size_t>(n) - ipLen - 8);
    }
}

void GvspMonitor::deliver(const uint8_t *gvsp, size_t length)
{
    assembler_->packet(gvsp, length);
    completed_ = assembler_->completed();
    failures_ = assembler_->failures();
}



} // namespace cam
