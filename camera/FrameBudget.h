// How many frame buffers a stream may allocate, within a memory budget per camera.
#pragma once

#include <cstdint>
#include <string>

namespace cam {

class FeatureAccess;

// The frames of one stream (the component's pool and a backend's own receive buffers) share a
// budget: 512 MiB unless the program sets another from its settings ("FramePoolMegabytes").
// The payload size comes from the camera, so it is checked like outside input: one the budget
// cannot hold three times, or larger than the sensor could ever send, is refused.
class FrameBudget {
public:
    static constexpr uint64_t kDefaultMegabytes = 512;
    static constexpr int kMinBuffers = 3;

    // 0 restores the default.
    static void setMegabytes(uint64_t megabytes);
    static uint64_t megabytes();
    // Takes a setting's text ("256"); an empty or unusable text restores the default.
    static void setMegabytesFromSetting(const std::string &text);

    // The number of buffers of `payload` bytes to allocate: `wanted`, fewer when the budget is
    // short, never fewer than three. Throws CameraError for a payload that is absurd: zero,
    // larger than width x height x 8 bytes of the sensor, or too large for three buffers.
    static int buffers(uint64_t payload, int wanted, FeatureAccess &sensor);
    static int buffers(uint64_t payload, int wanted, int64_t sensorWidth, int64_t sensorHeight);
};

} // namespace cam
