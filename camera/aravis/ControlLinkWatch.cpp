// Watches a GigE Vision camera's control port.
#include "camera/aravis/ControlLinkWatch.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cam {

namespace {

// A GVCP read of the bootstrap "Version" register, which every device answers to anyone.
constexpr uint16_t kReadRegCmd = 0x0080;
constexpr uint16_t kReadRegAck = 0x0081;

void put16(uint8_t *p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

uint16_t get16(const uint8_t *p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

ControlLinkWatch::ControlLinkWatch(const std::string &cameraIp, uint16_t port, Timing timing,
                                   std::function<void()> onLost)
    : timing_(timing), onLost_(std::move(onLost))
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (inet_pton(AF_INET, cameraIp.c_str(), &to.sin_addr) != 1 || pipe(wake_) != 0)
        return;
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    // Connected, so the host's "port unreachable" comes back as a refusal at once.
    if (socket_ < 0 || ::connect(socket_, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0)
        return;
    thread_ = std::thread(&ControlLinkWatch::loop, this);
}

ControlLinkWatch::~ControlLinkWatch()
{
    stop_ = true;
    if (wake_[1] >= 0 && write(wake_[1], "x", 1) < 0) {
        // The watch then stops at its next timeout.
    }
    if (thread_.joinable())
        thread_.join();
    for (int fd : {socket_, wake_[0], wake_[1]})
        if (fd >= 0)
            close(fd);
}

bool ControlLinkWatch::waitStop(int milliseconds)
{
    pollfd p{wake_[0], POLLIN, 0};
    return poll(&p, 1, milliseconds) > 0 || stop_;
}

bool ControlLinkWatch::answered(uint16_t id)
{
    const long long deadline = nowMs() + timing_.timeoutMs;
    for (;;) {
        const long long left = deadline - nowMs();
        if (left <= 0 || stop_)
            return false;
        pollfd p[2] = {{socket_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(p, 2, static_cast<int>(left)) <= 0 || (p[1].revents & POLLIN))
            continue;
        uint8_t ack[64];
        const ssize_t n = recv(socket_, ack, sizeof ack, 0);
        if (n < 0 && errno == ECONNREFUSED) {
            // Nothing listens there now: count it as a miss, at the usual pace.
            waitStop(static_cast<int>(deadline - nowMs()));
            return false;
        }
        // Any acknowledgement, an error status included, shows the camera is there.
        if (n >= 8 && get16(ack + 2) == kReadRegAck && get16(ack + 6) == id)
            return true;
    }
}

void ControlLinkWatch::loop()
{
    uint16_t id = 0;
    int missed = 0;
    while (!stop_) {
        id = static_cast<uint16_t>(id == 0xffff ? 1 : id + 1);
        uint8_t cmd[12] = {0x42, 0x01};  // key, "acknowledge required"
        put16(cmd + 2, kReadRegCmd);
        put16(cmd + 4, 4);
        put16(cmd + 6, id);  // the register address stays 0: "Version"
        if (send(socket_, cmd, sizeof cmd, 0) == static_cast<ssize_t>(sizeof cmd))
            ++requests_;
        if (answered(id)) {
            missed = 0;
            if (waitStop(timing_.periodMs))
                return;
        } else if (!stop_ && ++missed >= timing_.misses) {
            onLost_();
            return;
        }
    }
}

} // namespace cam
