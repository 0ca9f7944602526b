// The look-up tables of a simulated camera: the user LUT and the 4-step knee curve, both mapping
// the 12-bit A/D output (0 to 4095) to the output value, applied to each rendered frame.
#pragma once

#include "camera/FrameQueue.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace cam {

class SimToneCurve {
public:
    using KneePoints = std::array<std::pair<int, int>, 4>;

    // The user LUT (null: off) first, then the knee curve (null: off).
    void build(const std::vector<uint16_t> *lut, const KneePoints *knee);
    bool identity() const { return identity_; }
    // The output for a 12-bit input.
    int map(int input) const { return table_[static_cast<size_t>(input & 4095)]; }
    // Maps the frame's pixels in place (luminance only for YUV).
    void apply(FrameBuffer &frame) const;
    // The knee curve: straight lines from (0, 0) through the four points to (4095, 4095).
    static int kneeOutput(const KneePoints &points, int input);

private:
    std::vector<uint16_t> table_ = std::vector<uint16_t>(4096);
    std::array<uint8_t, 256> eight_{};
    bool identity_ = true;
};

} // namespace cam
