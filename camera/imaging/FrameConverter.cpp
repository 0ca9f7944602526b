// Pixel conversion of raw frames to 8-bit BGR.
#include "camera/imaging/FrameConverter.h"

#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace cam {

namespace {

// Channel (0 blue, 1 green, 2 red) at the four positions of a 2 x 2 cell, per layout.
const int *bayerCell(int layout)
{
    static const int cell[4][4] = {{1, 0, 2, 1}, {0, 1, 1, 2}, {2, 1, 1, 0}, {1, 2, 0, 1}};
    return cell[(layout >= 0 && layout < 4) ? layout : 3];
}

// One BGRA pixel per 2 x 2 cell: its blue, its red and the mean of its two greens.
void demosaicCells(const cv::Mat &bayer, int layout, cv::Mat &bgra)
{
    const int *c = bayerCell(layout);
    int blue = 0, red = 0, green[2] = {0, 0}, greens = 0;
    for (int k = 0; k < 4; ++k) {
        if (c[k] == 0)
            blue = k;
        else if (c[k] == 2)
            red = k;
        else
            green[greens++] = k;
    }
    bgra.create(bayer.rows / 2, bayer.cols / 2, CV_8UC4);
    for (int y = 0; y < bgra.rows; ++y) {
        const uint8_t *top = bayer.ptr<uint8_t>(2 * y), *bottom = bayer.ptr<uint8_t>(2 * y + 1);
        uint8_t *o = bgra.ptr<uint8_t>(y);
        int x = 0;
#if CV_SIMD128
        // Sixteen cells at a time: the four positions of each cell split into four vectors.
        const cv::v_uint8x16 opaque = cv::v_setall_u8(255);
        for (; x + 16 <= bgra.cols; x += 16) {
            cv::v_uint8x16 v[4];
            cv::v_load_deinterleave(top + 2 * x, v[0], v[1]);
            cv::v_load_deinterleave(bottom + 2 * x, v[2], v[3]);
            cv::v_uint16x8 g0, g1, h0, h1;
            cv::v_expand(v[green[0]], g0, g1);
            cv::v_expand(v[green[1]], h0, h1);
            const cv::v_uint8x16 g = cv::v_rshr_pack<1>(g0 + h0, g1 + h1);  // rounded mean
            cv::v_store_interleave(o + 4 * x, v[blue], g, v[red], opaque);
        }
#endif
        for (; x < bgra.cols; ++x) {
            const uint8_t v[4] = {top[2 * x], top[2 * x + 1], bottom[2 * x], bottom[2 * x + 1]};
            uint8_t *px = o + 4 * x;
            px[0] = v[blue];
            px[1] = static_cast<uint8_t>((v[green[0]] + v[green[1]] + 1) >> 1);
            px[2] = v[red];
            px[3] = 255;
        }
    }
}

} // namespace

cv::Mat rawView(const FrameBuffer &frame)
{
    auto *data = const_cast<uint8_t *>(frame.bytes());
    switch (frame.format) {
    case PixelFormat::Mono16:
    case PixelFormat::BayerGR12:
        return cv::Mat(frame.height, frame.width, CV_16UC1, data);
    case PixelFormat::YUV422Packed:
        return cv::Mat(frame.height, frame.width, CV_8UC2, data);
    case PixelFormat::RGB8:
        return cv::Mat(frame.height, frame.width, CV_8UC3, data);
    default:
        return cv::Mat(frame.height, frame.width, CV_8UC1, data);
    }
}

void toEightBit(const cv::Mat &src16, int bits, cv::Mat &dst8)
{
    src16.convertTo(dst8, CV_8U, 1.0 / double(1 << (bits - 8)));
}

void convertForDisplay(const FrameBuffer &frame, const ImageSettings &s, cv::Mat &bgra)
{
    static const int toBgra[4] = {cv::COLOR_BayerGR2BGRA, cv::COLOR_BayerRG2BGRA,
                                  cv::COLOR_BayerBG2BGRA, cv::COLOR_BayerGB2BGRA};
    cv::Mat raw = rawView(frame);
    thread_local cv::Mat eight, scaled, bgr;
    if (raw.depth() == CV_16U) {
        // Into a matrix of its own: `eight` may still be a view of an earlier 8-bit frame's
        // buffer, which the camera has reused or freed since.
        toEightBit(raw, frame.bits, scaled);
        eight = scaled;
    } else {
        eight = raw;
    }
    const bool bayer = isBayer(frame.format) && s.bayerConversion;
    if (bayer && s.bayerAlgorithm == 1) {
        cv::cvtColor(eight, bgra, toBgra[(s.bayerLayout >= 0 && s.bayerLayout < 4) ? s.bayerLayout : 3]);
    } else if (bayer || frame.format == PixelFormat::YUV422Packed || frame.format == PixelFormat::RGB8) {
        ImageSettings plain = s;
        plain.mirror = plain.flip = plain.negative = false;
        convertToBgr(frame, plain, bgr);
        cv::cvtColor(bgr, bgra, cv::COLOR_BGR2BGRA);
    } else {
        cv::cvtColor(eight, bgra, cv::COLOR_GRAY2BGRA);
    }
    if (s.negative)
        cv::bitwise_not(bgra, bgra);
}

void convertForDisplay(const FrameBuffer &frame, const ImageSettings &s, cv::Size shown, cv::Mat &bgra)
{
    if (shown.width >= frame.width && shown.height >= frame.height) {
        convertForDisplay(frame, s, bgra);
        return;
    }
    // Converting whole and then shrinking writes and reads four bytes for every frame pixel;
    // grey frames are averaged first, and Bayer frames shown at two thirds of their size or
    // less are demosaicked cell by cell (itself an average over each cell) and then scaled
    // the rest of the way, which costs less than a whole demosaic alone.
    const bool bayer = isBayer(frame.format) && s.bayerConversion;
    const bool grey = !bayer && frame.format != PixelFormat::YUV422Packed && frame.format != PixelFormat::RGB8;
    const bool cells = bayer && shown.width * 3 <= frame.width * 2 && shown.height * 3 <= frame.height * 2;
    thread_local cv::Mat eight, reduced;
    if (!grey && !cells) {
        convertForDisplay(frame, s, reduced);
        shrinkForDisplay(reduced, shown, bgra);
        return;
    }
    const cv::Mat raw = rawView(frame);
    if (raw.depth() == CV_16U)
        toEightBit(raw, frame.bits, eight);
    else
        eight = raw;
    if (grey) {
        shrinkForDisplay(eight, shown, reduced);
        cv::cvtColor(reduced, bgra, cv::COLOR_GRAY2BGRA);
    } else {
        demosaicCells(eight, s.bayerLayout, reduced);
        shrinkForDisplay(reduced, shown, bgra);
    }
    if (s.negative)
        cv::bitwise_not(bgra, bgra);
}

void shrinkForDisplay(const cv::Mat &src, cv::Size size, cv::Mat &dst)
{
    // OpenCV averages areas quickly only by a whole factor (about 0.5 ms for a 1920 x 1200
    // frame, against 9 ms for any other ratio): average by the largest whole factor that
    // keeps the image at least as large as the target, then take the rest of the way, less
    // than half, bilinearly; below a factor of two bilinear still reads every frame pixel.
    const int k = std::max(1, std::min(src.cols / size.width, src.rows / size.height));
    if (src.size() == size) {
        src.copyTo(dst);
        return;
    }
    if (k == 1) {
        cv::resize(src, dst, size, 0, 0, cv::INTER_LINEAR);
        return;
    }
    thread_local cv::Mat averaged;
    const cv::Mat whole = src(cv::Rect(0, 0, src.cols / k * k, src.rows / k * k));
    cv::resize(whole, averaged, cv::Size(whole.cols / k, whole.rows / k), 0, 0, cv::INTER_AREA);
    if (averaged.size() == size)
        averaged.copyTo(dst);
    else
        cv::resize(averaged, dst, size, 0, 0, cv::INTER_LINEAR);
}

int bayerConversionCode(int layout, int algorithm)
{
    // GenICam names the first two pixels of the first row; OpenCV names the second row's
    // second and third pixels, so each layout maps to the opposite corner's name.
    static const int bilinear[4] = {cv::COLOR_BayerGR2BGR, cv::COLOR_BayerRG2BGR,
                                    cv::COLOR_BayerBG2BGR, cv::COLOR_BayerGB2BGR};
    static const int edgeAware[4] = {cv::COLOR_BayerGR2BGR_EA, cv::COLOR_BayerRG2BGR_EA,
                                     cv::COLOR_BayerBG2BGR_EA, cv::COLOR_BayerGB2BGR_EA};
    const int l = (layout >= 0 && layout < 4) ? layout : 3;
    return algorithm == 2 ? edgeAware[l] : bilinear[l];
}

void demosaicNearest(const cv::Mat &bayer, int layout, cv::Mat &bgr)
{
    const int *c = bayerCell(layout);
    bgr.create(bayer.rows, bayer.cols, CV_8UC3);
    for (int y = 0; y + 1 < bayer.rows; y += 2) {
        const uint8_t *r0 = bayer.ptr<uint8_t>(y), *r1 = bayer.ptr<uint8_t>(y + 1);
        cv::Vec3b *o0 = bgr.ptr<cv::Vec3b>(y), *o1 = bgr.ptr<cv::Vec3b>(y + 1);
        for (int x = 0; x + 1 < bayer.cols; x += 2) {
            const uint8_t v[4] = {r0[x], r0[x + 1], r1[x], r1[x + 1]};
            cv::Vec3b px(0, 0, 0);
            int greens = 0, greenSum = 0;
            for (int k = 0; k < 4; ++k) {
                if (c[k] == 1) {
                    greenSum += v[k];
                    ++greens;
                } else {
                    px[c[k]] = v[k];
                }
            }
            px[1] = static_cast<uint8_t>(greenSum / std::max(1, greens));
            o0[x] = o0[x + 1] = o1[x] = o1[x + 1] = px;
        }
    }
}

void uyvyToBgr(const cv::Mat &uyvy, cv::Mat &bgr)
{
    // Spread the shared chroma to both pixels of a pair (Y Cr Cb), then let OpenCV's
    // full-range YCrCb conversion do the arithmetic.
    thread_local cv::Mat ycrcb;
    ycrcb.create(uyvy.rows, uyvy.cols, CV_8UC3);
    for (int y = 0; y < uyvy.rows; ++y) {
        const uint8_t *s = uyvy.ptr<uint8_t>(y);
        uint8_t *d = ycrcb.ptr<uint8_t>(y);
        for (int x = 0; x + 1 < uyvy.cols; x += 2, s += 4, d += 6) {
            d[0] = s[1];
            d[1] = s[2];
            d[2] = s[0];
            d[3] = s[3];
            d[4] = s[2];
            d[5] = s[0];
        }
    }
    cv::cvtColor(ycrcb, bgr, cv::COLOR_YCrCb2BGR);
}

void convertToBgr(const FrameBuffer &frame, const ImageSettings &s, cv::Mat &dst)
{
    cv::Mat raw = rawView(frame);
    cv::Mat eight;
    if (raw.depth() == CV_16U)
        toEightBit(raw, frame.bits, eight);
    else
        eight = raw;

    if (frame.format == PixelFormat::YUV422Packed) {
        uyvyToBgr(eight, dst);
    } else if (frame.format == PixelFormat::RGB8) {
        cv::cvtColor(eight, dst, cv::COLOR_RGB2BGR);
    } else if (isBayer(frame.format) && s.bayerConversion) {
        if (s.bayerAlgorithm == 3)
            demosaicNearest(eight, s.bayerLayout, dst);
        else
            cv::cvtColor(eight, dst, bayerConversionCode(s.bayerLayout, s.bayerAlgorithm));
    } else {
        cv::cvtColor(eight, dst, cv::COLOR_GRAY2BGR);
    }
    applyFlips(s, dst);
    if (s.negative)
        cv::bitwise_not(dst, dst);
}

void applyFlips(const ImageSettings &s, cv::Mat &image)
{
    if (s.mirror && s.flip)
        cv::flip(image, image, -1);
    else if (s.mirror)
        cv::flip(image, image, 1);
    else if (s.flip)
        cv::flip(image, image, 0);
}

void convertToBgr16(const FrameBuffer &frame, const ImageSettings &s, cv::Mat &dst)
{
    const cv::Mat raw = rawView(frame);
    if (isBayer(frame.format) && s.bayerConversion)
        cv::cvtColor(raw, dst, bayerConversionCode(s.bayerLayout, 1));  // bilinear: OpenCV's 16-bit demosaic
    else
        cv::cvtColor(raw, dst, cv::COLOR_GRAY2BGR);
    applyFlips(s, dst);
}

} // namespace cam
