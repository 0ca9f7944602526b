// Watches a GigE Vision camera's control port from a socket of its own, so a camera that stops
// answering is noticed within about a second instead of after Aravis's retries.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace cam {

class ControlLinkWatch {
public:
    struct Timing {
        int periodMs = 500;   // between two reads while the camera answers
        int timeoutMs = 250;  // wait for one answer
        int misses = 3;       // unanswered reads in a row that mean the camera is gone
    };

    // `onLost` runs once, on the watch's thread, when the camera stops answering.
    ControlLinkWatch(const std::string &cameraIp, uint16_t port, Timing timing,
                     std::function<void()> onLost);
    ~ControlLinkWatch();
    ControlLinkWatch(const ControlLinkWatch &) = delete;
    ControlLinkWatch &operator=(const ControlLinkWatch &) = delete;

    // Reads sent so far (each is one control request the camera receives).
    uint64_t requests() const { return requests_; }

private:
    void loop();
    bool answered(uint16_t id);
    bool waitStop(int milliseconds);

    Timing timing_;
    std::function<void()> onLost_;
    int socket_ = -1;
    int wake_[2] = {-1, -1};  // a pipe: stopping writes to it, so no wait outlasts the destructor
    std::atomic<bool> stop_{false};
    std::atomic<uint64_t> requests_{0};
    std::thread thread_;
};

} // namespace cam
