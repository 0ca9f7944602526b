// What the analysis windows take from one frame: the counts per colour byte, one image row and
// one image column, computed away from the user-interface thread.
#pragma once

#include "camera/FrameQueue.h"
#include "camera/imaging/ImageSettings.h"
#include "framework/Types.h"

#include <array>
#include <cstdint>
#include <vector>

namespace cam {
class CMolvane;
}

// Counts per value of the first (blue), second (green) and third (red) byte of each pixel.
struct ChannelCounts {
    std::array<uint32_t, 256> blue{}, green{}, red{};
};

// What the open windows want from a frame.
struct FeedRequest {
    bool histogram = false;
    int row = -1;      // image row for the horizontal profile, -1 for none
    int column = -1;   // image column for the vertical profile, -1 for none
    fw::Point pixel;   // the operator's last click, for the profiles' read-outs
};

struct FeedResult {
    int width = 0;
    int height = 0;
    bool colour = false;            // drawn as three curves
    bool hasCounts = false;
    ChannelCounts counts;
    int row = -1, column = -1;
    std::vector<uint8_t> rowPixels;     // blue, green, red of each pixel of the row, left to right
    std::vector<uint8_t> columnPixels;  // of each pixel of the column, top to bottom
    fw::Point pixel;
};

// Counts the three bytes of `height` rows of `width` 3-byte pixels, rows `stride` bytes apart.
void CountChannels(const uint8_t *bgr, int width, int height, size_t stride, ChannelCounts &counts);

// A colour image: Bayer conversion on, or a pixel format whose name contains "YUV".
bool IsColourImage(cam::CMolvane &camera);
bool IsColourFrame(const cam::FrameBuffer &frame, const cam::ImageSettings &settings);

// Converts the frame as the camera shows it and takes from it what the request asks for.
FeedResult AnalyseFrame(const cam::FrameBuffer &frame, const cam::ImageSettings &settings,
                        const FeedRequest &request);
