// What the analysis windows take from one frame.
#include "analysis/FrameAnalysis.h"

#include "camera/CMolvane.h"
#include "camera/imaging/FrameConverter.h"

#include <algorithm>
#include <cstring>

void CountChannels(const uint8_t *bgr, int width, int height, size_t stride, ChannelCounts &counts)
{
    counts = ChannelCounts{};
    for (int y = 0; y < height; ++y) {
        const uint8_t *p = bgr + stride * static_cast<size_t>(y);
        for (int x = 0; x < width; ++x, p += 3) {
            ++counts.blue[p[0]];
            ++counts.green[p[1]];
            ++counts.red[p[2]];
        }
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
