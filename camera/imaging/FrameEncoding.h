// Turns a raw frame into the bytes of an image file or of one video frame.
#pragma once

#include "camera/FrameQueue.h"
#include "camera/imaging/ImageSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cam {

// True when the frame shows as grey (a mono frame, or Bayer without conversion).
bool showsGrey(const FrameBuffer &frame, const ImageSettings &settings);
// A JPEG of the frame as the operator sees it: one channel for grey frames, else BGR.
void encodeJpeg(const FrameBuffer &frame, const ImageSettings &settings, int quality,
                std::vector<uint8_t> &out);
// The frame as 24-bit BGR rows, each padded to `rowAlign` bytes, the bottom row first or last.
void encodeBgr(const FrameBuffer &frame, const ImageSettings &settings, int rowAlign, bool bottomUp,
               std::vector<uint8_t> &out);
// The same, bottom row first (as uncompressed AVI and "-rgb.raw" keep them).
void encodeBottomUpBgr(const FrameBuffer &frame, const ImageSettings &settings, int rowAlign,
                       std::vector<uint8_t> &out);
// The file bytes of a still: ".jpg", ".bmp", ".tif", ".png", ".raw" (the frame's own bytes) or
// "-rgb.raw". Mono frames of more than 8 bits keep 16 bits in ".tif" and ".png".
// Throws CameraError (NotSupported) for any other ending.
void encodeStill(const FrameBuffer &frame, const ImageSettings &settings, const std::string &path,
                 int quality, std::vector<uint8_t> &out);
// The ending encodeStill goes by: "-rgb.raw" or the lower-case extension.
std::string stillEnding(const std::string &path);

} // namespace cam
