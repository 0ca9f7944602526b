// What the analysis windows take from one frame.
#include "analysis/FrameAnalysis.h"

#include "camera/CMolvane.h"
#include "camera/imaging/FrameConverter.h"

#include <algorithm>
#include <cstring>

void CountChannels(const uint8_t *bgr, int width, int height, size_t stride, ChannelCounts &counts)
{
    // Neighbouring pixels often share a value; four sets of tables, one per pixel of a group of
    // four, keep the increments of one pixel from waiting on those of the one before.
    std::array<std::array<uint32_t, 256 * 3>, 4> part{};
    for (int y = 0; y < height; ++y) {
        const uint8_t *p = bgr + stride * static_cast<size_t>(y);
        int x = 0;
        for (; x + 4 <= width; x += 4, p += 12)
            for (int k = 0; k < 4; ++k) {
                ++part[k][p[3 * k]];
                ++part[k][256 + p[3 * k + 1]];
                ++part[k][512 + p[3 * k + 2]];
            }
        for (; x < width; ++x, p += 3) {
            ++part[0][p[0]];
            ++part[0][256 + p[1]];
            ++part[0][512 + p[2]];
        }
    }
    for (int v = 0; v < 256; ++v) {
        counts.blue[v] = part[0][v] + part[1][v] + part[2][v] + part[3][v];
        counts.green[v] = part[0][256 + v] + part[1][256 + v] + part[2][256 + v] + part[3][256 + v];
        counts.red[v] = part[0][512 + v] + part[1][512 + v] + part[2][512 + v] + part[3][512 + v];
    }
}

bool IsColourImage(cam::CMolvane &camera)
{
    return camera.GetBayerConversion() != 0 ||
           camera.GetEnumValue("PixelFormat").find("YUV") != std::string::npos;
}

bool IsColourFrame(const cam::FrameBuffer &frame, const cam::ImageSettings &settings)
{
    return settings.bayerConversion || cam::pixelFormatName(frame.format).find("YUV") != std::string::npos;
}

namespace {

// A grey frame has three equal bytes: one table counted serves all three.
void CountGrey(const cv::Mat &bgr, ChannelCounts &counts)
{
    counts = ChannelCounts{};
    for (int y = 0; y < bgr.rows; ++y) {
        const uint8_t *p = bgr.ptr<uint8_t>(y);
        for (int x = 0; x < bgr.cols; ++x, p += 3)
            ++counts.blue[*p];
    }
    counts.green = counts.blue;
    counts.red = counts.blue;
}

} // namespace

FeedResult AnalyseFrame(const cam::FrameBuffer &frame, const cam::ImageSettings &settings,
                        const FeedRequest &request)
{
    FeedResult r;
    r.colour = IsColourFrame(frame, settings);
    r.pixel = request.pixel;
    cv::Mat bgr;
    cam::convertToBgr(frame, settings, bgr);
    r.width = bgr.cols;
    r.height = bgr.rows;
    if (request.histogram) {
        r.hasCounts = true;
        if (r.colour)
            CountChannels(bgr.ptr<uint8_t>(0), bgr.cols, bgr.rows, bgr.step, r.counts);
        else
            CountGrey(bgr, r.counts);
    }
    if (request.row >= 0 && bgr.rows > 0) {
        r.row = std::min(request.row, bgr.rows - 1);
        const uint8_t *p = bgr.ptr<uint8_t>(r.row);
        r.rowPixels.assign(p, p + static_cast<size_t>(bgr.cols) * 3);
    }
    if (request.column >= 0 && bgr.cols > 0) {
        r.column = std::min(request.column, bgr.cols - 1);
        r.columnPixels.resize(static_cast<size_t>(bgr.rows) * 3);
        for (int y = 0; y < bgr.rows; ++y)
            std::memcpy(&r.columnPixels[static_cast<size_t>(y) * 3], bgr.ptr<uint8_t>(y, r.column), 3);
    }
    return r;
}
