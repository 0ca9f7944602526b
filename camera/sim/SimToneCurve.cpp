// The look-up tables of a simulated camera.
#include "camera/sim/SimToneCurve.h"

#include <opencv2/core.hpp>

#include <algorithm>

namespace cam {

int SimToneCurve::kneeOutput(const KneePoints &points, int input)
{
    std::array<std::pair<int, int>, 6> line{};
    line[0] = {0, 0};
    for (int i = 0; i < 4; ++i)
        line[i + 1] = points[i];
    line[5] = {4095, 4095};
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const auto [x0, y0] = line[i];
        const auto [x1, y1] = line[i + 1];
        if (input < x0 || input > x1)
            continue;
        if (x1 == x0)
            return std::clamp(y1, 0, 4095);
        return std::clamp(y0 + (y1 - y0) * (input - x0) / (x1 - x0), 0, 4095);
    }
    return input;  // points out of order leave a gap: the value passes unchanged there
}

void SimToneCurve::build(const std::vector<uint16_t> *lut, const KneePoints *knee)
{
    identity_ = true;
    for (int v = 0; v < 4096; ++v) {
        int out = v;
        if (lut)
            out = std::min<int>(static_cast<size_t>(v) < lut->size() ? (*lut)[static_cast<size_t>(v)] : 0, 4095);
        if (knee)
            out = kneeOutput(*knee, out);
        table_[static_cast<size_t>(v)] = static_cast<uint16_t>(out);
        identity_ = identity_ && out == v;
    }
    for (int v = 0; v < 256; ++v)
        eight_[static_cast<size_t>(v)] = static_cast<uint8_t>((map((v * 4095 + 127) / 255) * 255 + 2047) / 4095);
}

void SimToneCurve::apply(FrameBuffer &frame) const
{
    if (identity_)
        return;
    uint8_t *data = frame.bytes();
    if (isSixteenBit(frame.format)) {
        const int shift = std::clamp(12 - frame.bits, 0, 4);
        auto *p = reinterpret_cast<uint16_t *>(data);
        for (size_t i = 0; i < frame.size / 2; ++i)
            p[i] = static_cast<uint16_t>(map(p[i] << shift) >> shift);
        return;
    }
    if (frame.format == PixelFormat::YUV422Packed) {
        for (size_t i = 1; i < frame.size; i += 2)
            data[i] = eight_[data[i]];
        return;
    }
    cv::Mat bytes(1, static_cast<int>(frame.size), CV_8UC1, data);
    cv::Mat table(1, 256, CV_8UC1, const_cast<uint8_t *>(eight_.data()));
    cv::LUT(bytes, table, bytes);
}

} // namespace cam
