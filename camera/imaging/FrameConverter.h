// Pixel conversion of raw frames to 8-bit BGR, with demosaic and image effects.
#pragma once

#include "camera/FrameQueue.h"
#include "camera/imaging/ImageSettings.h"

#include <opencv2/core.hpp>

namespace cam {

// The frame's pixels as an OpenCV matrix without copying (8UC1, 16UC1, 8UC2 or 8UC3).
cv::Mat rawView(const FrameBuffer &frame);
// Scales a 16-bit frame with `bits` significant bits down to 8 bits.
void toEightBit(const cv::Mat &src16, int bits, cv::Mat &dst8);
// Converts a frame to 8-bit BGR as the operator sees it; `dst` is reused when its size fits.
void convertToBgr(const FrameBuffer &frame, const ImageSettings &settings, cv::Mat &dst);
// Mirrors and flips an image in place as the settings ask.
void applyFlips(const ImageSettings &settings, cv::Mat &image);
// The camera's own values of a 16-bit frame (10, 12 or 16 significant bits) as 16-bit BGR,
// demosaiced when Bayer conversion is on, mirrored and flipped as shown; no negative.
void convertToBgr16(const FrameBuffer &frame, const ImageSettings &settings, cv::Mat &dst);
// Converts a frame for painting: 8-bit BGRA (the alpha byte unused), negative applied; mirror,
// flip and rotation are left to the paint transform.
void convertForDisplay(const FrameBuffer &frame, const ImageSettings &settings, cv::Mat &bgra);
// The same for a frame shown at `shown` (mirror, flip and rotation not applied): when that is
// smaller than the frame, the result is averaged down to it, converting at reduced size where
// the format allows (a Bayer frame by 2 x 2 cells when shown at two thirds or less).
void convertForDisplay(const FrameBuffer &frame, const ImageSettings &settings, cv::Size shown,
                       cv::Mat &bgra);
// Shrinks an image to the size it is shown at, each shown pixel the mean of the frame
// pixels it covers (area averaging), so fine detail does not break up into jagged steps; an
// image smaller than `size` is enlarged bilinearly.
void shrinkForDisplay(const cv::Mat &src, cv::Size size, cv::Mat &dst);
// The OpenCV conversion code for a Bayer layout index and algorithm.
int bayerConversionCode(int layout, int algorithm);
// Full-range YCbCr 4:2:2 (U Y V Y) to BGR, as GigE Vision cameras send YUV422Packed.
void uyvyToBgr(const cv::Mat &uyvy, cv::Mat &bgr);
// Nearest-neighbour demosaic: each 2 x 2 cell takes its own red, green and blue.
void demosaicNearest(const cv::Mat &bayer, int layout, cv::Mat &bgr);

} // namespace cam
