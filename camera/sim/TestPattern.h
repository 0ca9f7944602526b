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

class TestPattern {
public:
    // Builds the scene once; rendering a frame is then a copy of shifted rows.
    void configure(PixelFormat format, int width, int height, int bits, const PatternLook &look);
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
    size_t rowBytes_ = 0;         // bytes of one frame row
    std::vector<uint8_t> scene_;  // two frame widths side by side, so any shift is one copy
};

} // namespace cam
