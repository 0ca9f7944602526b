// The control link watch against a stand-in GVCP responder on loopback that the test can silence.
#include "camera/aravis/ControlLinkWatch.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace cam;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Answers GVCP register reads (with an error status when asked to) until silenced.
class Responder {
public:
    Responder()
    {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr *>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr *>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~Responder()
    {
        done_ = true;
        thread_.join();
        close(fd_);
    }
    uint16_t port() const { return port_; }
    std::atomic<bool> silent{false};
    std::atomic<bool> refuse{false};  // answer with an "access denied" status
    std::atomic<int> reads{0};

private:
    void serve()
    {
        while (!done_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            uint8_t cmd[64];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n = recvfrom(fd_, cmd, sizeof cmd, 0, reinterpret_cast<sockaddr *>(&from), &len);
            if (n < 12 || cmd[0] != 0x42 || cmd[2] != 0x00 || cmd[3] != 0x80)
                continue;
            ++reads;
            if (silent)
                continue;
            uint8_t ack[12] = {0, 0, 0x00, 0x81, 0, 4, cmd[6], cmd[7], 0, 1, 0, 0};
            if (refuse)
                ack[0] = 0x80, ack[1] = 0x06;
            sendto(fd_, ack, sizeof ack, 0, reinterpret_cast<sockaddr *>(&from), len);
        }
    }
    int fd_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

constexpr ControlLinkWatch::Timing kFast{100, 100, 3};

} // namespace

TEST(ControlLinkWatch, ACameraThatAnswersEvenWithAnErrorIsNeverReportedLost)
{
    Responder camera;
    std::atomic<int> lost{0};
    {
        ControlLinkWatch watch("127.0.0.1", camera.port(), kFast, [&] { ++lost; });
        std::this_thread::sleep_for(500ms);
        camera.refuse = true;
        std::this_thread::sleep_for(500ms);
        EXPECT_GE(watch.requests(), 4u);
    }
    EXPECT_EQ(lost, 0);
    EXPECT_GE(camera.reads, 4);
}

TEST(ControlLinkWatch, ASilentCameraIsReportedOnceAfterTheMissesInARow)
{
    Responder camera;
    std::atomic<int> lost{0};
    Clock::time_point reported;
    ControlLinkWatch watch("127.0.0.1", camera.port(), kFast, [&] {
        reported = Clock::now();
        ++lost;
    });
    std::this_thread::sleep_for(300ms);
    camera.silent = true;
    const auto silenced = Clock::now();
    while (lost == 0 && Clock::now() - silenced < 3s)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(lost, 1);
    // Up to one period plus three unanswered waits.
    EXPECT_LT(reported - silenced, 700ms);
    const int reads = camera.reads;
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(camera.reads, reads);  // the watch has stopped asking
    EXPECT_EQ(lost, 1);
}

TEST(ControlLinkWatch, NobodyListeningIsLostAndStoppingNeverWaitsOutATimeout)
{
    uint16_t port = 0;
    {
        Responder gone;
        port = gone.port();
    }
    std::atomic<int> lost{0};
    {
        ControlLinkWatch watch("127.0.0.1", port, {100, 100, 3}, [&] { ++lost; });
        std::this_thread::sleep_for(600ms);
    }
    EXPECT_EQ(lost, 1);
    Responder camera;
    const auto start = Clock::now();
    {
        ControlLinkWatch slow("127.0.0.1", camera.port(), {5000, 5000, 3}, [] {});
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_LT(Clock::now() - start, 500ms);
}
