// The moving test image of a simulated camera.
#include "camera/sim/TestPattern.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace cam {

namespace {

// Colour bars over a grey ramp, a checker board and a circle: easy to judge by eye.
std::vector<uint8_t> baseImage(int w, int h)
{
    static const uint8_t bars[8][3] = {{255, 255, 255}, {0, 255, 255}, {255, 255, 0}, {0, 255, 0},
                                       {255, 0, 255},   {0, 0, 255},   {255, 0, 0},   {16, 16, 16}};
    std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
    const double cx = w * 0.5, cy = h * 0.72, radius = std::min(w, h) * 0.12;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t *p = &bgr[(static_cast<size_t>(y) * w + x) * 3];
            if (y < h / 2) {
                const uint8_t *c = bars[std::min(7, x * 8 / std::max(1, w))];
                p[0] = c[0];
                p[1] = c[1];
                p[2] = c[2];
            } else if (y < h * 5 / 8) {
                uint8_t v = static_cast<uint8_t>(x * 255 / std::max(1, w - 1));
                p[0] = p[1] = p[2] = v;
            } else {
                bool dark = ((x / 32) + (y / 32)) % 2;
                uint8_t v = dark ? 40 : 180;
                p[0] = p[1] = p[2] = v;
                double dx = x - cx, dy = y - cy;
                if (dx * dx + dy * dy < radius * radius) {
                    p[0] = 30;
                    p[1] = 140;
                    p[2] = 230;
                }
            }
        }
    }
    return bgr;
}

uint8_t clamp8(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }

} // namespace

void TestPattern::configure(PixelFormat format, int sensorWidth, int sensorHeight,
                            const PatternRegion &region, int bits, const PatternLook &look)
{
    format_ = format;
    sensorWidth_ = std::max(2, sensorWidth & ~1);
    sensorHeight_ = std::max(2, sensorHeight & ~1);
    width_ = std::clamp(region.width & ~1, 2, sensorWidth_);
    height_ = std::clamp(region.height & ~1, 2, sensorHeight_);
    // Even starts keep Bayer and YUV pairs in phase.
    x_ = std::clamp(region.x & ~1, 0, sensorWidth_ - width_);
    y_ = std::clamp(region.y & ~1, 0, sensorHeight_ - height_);
    bits_ = bits;
    rowBytes_ = static_cast<size_t>(width_) * bytesPerPixel(format_);
    sensorRowBytes_ = static_cast<size_t>(sensorWidth_) * bytesPerPixel(format_);
    buildScene(baseImage(sensorWidth_, sensorHeight_), look);
}

size_t TestPattern::frameBytes() const { return rowBytes_ * height_; }

void TestPattern::buildScene(const std::vector<uint8_t> &bgr, const PatternLook &look)
{
    const int bpp = bytesPerPixel(format_);
    const size_t sceneRow = sensorRowBytes_ * 2;
    scene_.assign(sceneRow * sensorHeight_, 0);
    auto sample = [&](int x, int y, int channel) {
        const uint8_t *p = &bgr[(static_cast<size_t>(y) * sensorWidth_ + x) * 3];
        const double gains[3] = {look.blue, look.green, look.red};
        return clamp8(p[channel] * look.brightness * gains[channel] + look.blackLevel);
    };
    auto grey = [&](int x, int y) {
        return clamp8(0.114 * sample(x, y, 0) + 0.587 * sample(x, y, 1) + 0.299 * sample(x, y, 2));
    };
    const int layout = isBayer(format_) ? bayerLayoutOf(format_) : 3;
    // Colour of the filter at (x, y): layouts name the first two pixels of the first row.
    auto bayerChannel = [layout](int x, int y) {
        static const int first[4][4] = {// channel at (even,even), (odd,even), (even,odd), (odd,odd)
                                        {1, 0, 2, 1},  // GB/RG
                                        {0, 1, 1, 2},  // BG/GR
                                        {2, 1, 1, 0},  // RG/GB
                                        {1, 2, 0, 1}}; // GR/BG
        return first[layout][(x & 1) + 2 * (y & 1)];
    };
    for (int y = 0; y < sensorHeight_; ++y) {
        uint8_t *row = &scene_[y * sceneRow];
        for (int x = 0; x < sensorWidth_; ++x) {
            uint8_t *p = row + static_cast<size_t>(x) * bpp;
            switch (format_) {
            case PixelFormat::Mono8:
                p[0] = grey(x, y);
                break;
            case PixelFormat::Mono16:
            case PixelFormat::BayerGR12: {
                uint8_t v = format_ == PixelFormat::Mono16 ? grey(x, y)
                                                           : sample(x, y, bayerChannel(x, y));
                uint16_t w = static_cast<uint16_t>(v << (bits_ - 8));
                p[0] = static_cast<uint8_t>(w & 0xff);
                p[1] = static_cast<uint8_t>(w >> 8);
                break;
            }
            case PixelFormat::YUV422Packed: {
                double b = sample(x, y, 0), g = sample(x, y, 1), r = sample(x, y, 2);
                double yy = 0.299 * r + 0.587 * g + 0.114 * b;
                p[1] = clamp8(yy);
                // Full-range YCbCr: Cb on even pixels, Cr on odd ones (U Y V Y).
                p[0] = (x & 1) ? clamp8(0.713 * (r - yy) + 128) : clamp8(0.564 * (b - yy) + 128);
                break;
            }
            case PixelFormat::RGB8:
                p[0] = sample(x, y, 2);
                p[1] = sample(x, y, 1);
                p[2] = sample(x, y, 0);
                break;
            default:  // 8-bit Bayer
                p[0] = sample(x, y, bayerChannel(x, y));
                break;
            }
        }
        std::memcpy(row + sensorRowBytes_, row, sensorRowBytes_);
    }
}

void TestPattern::render(uint64_t frameNumber, uint8_t *dst) const
{
    // Eight pixels a frame to the left; an even shift keeps Bayer and YUV pairs in phase.
    const uint64_t w = static_cast<uint64_t>(sensorWidth_);
    const size_t shift = static_cast<size_t>((frameNumber * 8 + static_cast<uint64_t>(x_)) % w);
    const size_t offset = shift * bytesPerPixel(format_);
    const size_t sceneRow = sensorRowBytes_ * 2;
    for (int y = 0; y < height_; ++y)
        std::memcpy(dst + y * rowBytes_, &scene_[(y_ + y) * sceneRow + offset], rowBytes_);
}

} // namespace cam
