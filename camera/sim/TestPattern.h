// The moving test image of a simulated camera, rendered in its pixel format.
#pragma once

#include "camera/PixelFormat.h"

#include <cstdint>
#include <vector>

namespace cam {

struct PatternLook {
    double brightness = 1.0;               // exposure and gain together
    double red = 1.0, green = 1.0, blue = 1.0;  // white balance
    int blackLevel = 0;
};

// The part of the sensor a frame shows, in sensor pixels.
struct PatternRegion {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class TestPattern {
public:
    // Builds the scene of the whole sensor once; rendering a frame is then a copy of the
    // region's part of shifted rows.
    void configure(PixelFormat format, int sensorWidth, int sensorHeight, const PatternRegion &region,
                   int bits, const PatternLook &look);
    // The whole sensor.
    void configure(PixelFormat format, int width, int height, int bits, const PatternLook &look)
    {
        configure(format, width, height, {0, 0, width, height}, bits, look);
    }
    size_t frameBytes() const;
    void render(uint64_t frameNumber, uint8_t *dst) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void buildScene(const std::vector<uint8_t> &bgr, const PatternLook &look);

    PixelFormat format_ = PixelFormat::Mono8;
    int width_ = 0;
    int height_ = 0;
    int bits_ = 8;
    int sensorWidth_ = 0;
    int sensorHeight_ = 0;
    int x_ = 0;                   // the region's start on the sensor
    int y_ = 0;
    size_t rowBytes_ = 0;         // bytes of one frame row
    size_t sensorRowBytes_ = 0;   // bytes of one sensor row
    std::vector<uint8_t> scene_;  // two sensor widths side by side, so any shift is one copy
};

} // namespace cam
