// Puts GigE Vision stream packets (GVSP: leader, payload, trailer) back together into frames.
#pragma once

#include "camera/CameraDevice.h"

#include <cstdint>
#include <vector>

namespace cam {

class GvspAssembler {
public:
    // `packetSize` is the camera's stream packet size (SCPS), headers included.
    GvspAssembler(FrameQueue &queue, StreamListener &listener, int packetSize);
    ~GvspAssembler();

    // One GVSP packet (from its GVSP header on).
    void packet(const uint8_t *gvsp, size_t length);
    uint64_t completed() const { return completed_; }
    uint64_t failures() const { return failures_; }

private:
    void finish(bool complete);

    FrameQueue &queue_;
    StreamListener &listener_;
    size_t chunk_;  // image bytes in every payload packet but the last
    FrameBuffer *buffer_ = nullptr;
    uint64_t block_ = 0;
    size_t expected_ = 0;
    size_t received_ = 0;
    std::vector<bool> seen_;  // the payload packets of the frame received so far
    bool active_ = false;
    uint64_t frameNumber_ = 0;
    uint64_t completed_ = 0;
    uint64_t failures_ = 0;
};

} // namespace cam
