// Receives a GigE Vision stream that another application controls: reads the GVSP packets the
// camera sends to the controller's destination (a multicast group, or any address this host
// can see through a packet socket) and assembles them into frames.
#pragma once

#include "camera/CameraDevice.h"
#include "camera/aravis/GvspAssembler.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace cam {

struct GvspRoute {
    uint32_t cameraIp = 0;  // host byte order
    uint32_t destIp = 0;    // SCDA
    uint16_t destPort = 0;  // SCP
    int packetSize = 1500;  // SCPS: the IP packet size the camera sends
};

class GvspMonitor {
public:
    ~GvspMonitor() { stop(); }

    // Opens the receiving socket; throws CameraError when this process may not receive there.
    void start(const GvspRoute &route, FrameQueue &queue, StreamListener &listener);
    void stop();
    uint64_t completed() const { return completed_; }
    uint64_t failures() const { return failures_; }

private:
    void loop();
    void deliver(const uint8_t *gvsp, size_t length);

    GvspRoute route_;
    int fd_ = -1;
    bool packetSocket_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::unique_ptr<GvspAssembler> assembler_;  // used by the receiving thread only
    std::atomic<uint64_t> completed_{0};
    std::atomic<uint64_t> failures_{0};
};

} // namespace cam
