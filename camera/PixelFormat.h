// The pixel formats frames arrive in, with their GenICam names.
#pragma once

#include <optional>
#include <string>

namespace cam {

enum class PixelFormat {
    Mono8,
    Mono16,  // 10 or 12 significant bits in 16, little endian
    BayerGR8,
    BayerRG8,
    BayerGB8,
    BayerBG8,
    BayerGR12,  // 12 significant bits in 16
    YUV422Packed,  // U Y V Y
    RGB8,
};

std::string pixelFormatName(PixelFormat format);
std::optional<PixelFormat> pixelFormatFromName(const std::string &name);
// The format a "PixelFormat" entry names: the entry itself, or its last word for the video
// modes of IEEE 1394 cameras ("Format7 Mode1 BayerGB8").
std::optional<PixelFormat> pixelFormatOfEntry(const std::string &entry);
int bytesPerPixel(PixelFormat format);
bool isBayer(PixelFormat format);
bool isSixteenBit(PixelFormat format);
// The Bayer layout index (0 "GB/RG", 1 "BG/GR", 2 "RG/GB", 3 "GR/BG") of a Bayer format.
int bayerLayoutOf(PixelFormat format);

} // namespace cam
