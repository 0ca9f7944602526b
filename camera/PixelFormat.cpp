// Pixel format names and sizes.
#include "camera/PixelFormat.h"

#include <array>
#include <utility>

namespace cam {

namespace {
const std::array<std::pair<PixelFormat, const char *>, 9> kNames{{
    {PixelFormat::Mono8, "Mono8"},
    {PixelFormat::Mono16, "Mono16"},
    {PixelFormat::BayerGR8, "BayerGR8"},
    {PixelFormat::BayerRG8, "BayerRG8"},
    {PixelFormat::BayerGB8, "BayerGB8"},
    {PixelFormat::BayerBG8, "BayerBG8"},
    {PixelFormat::BayerGR12, "BayerGR12"},
    {PixelFormat::YUV422Packed, "YUV422Packed"},
    {PixelFormat::RGB8, "RGB8"},
}};
} // namespace

std::string pixelFormatName(PixelFormat format)
{
    for (const auto &[f, name] : kNames)
        if (f == format)
            return name;
    return "Unknown";
}

std::optional<PixelFormat> pixelFormatFromName(const std::string &name)
{
    for (const auto &[f, n] : kNames)
        if (name == n)
            return f;
    return std::nullopt;
}

std::optional<PixelFormat> pixelFormatOfEntry(const std::string &entry)
{
    if (auto format = pixelFormatFromName(entry))
        return format;
    const size_t space = entry.rfind(' ');
    return space == std::string::npos ? std::nullopt : pixelFormatFromName(entry.substr(space + 1));
}

int bytesPerPixel(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Mono16:
    case PixelFormat::BayerGR12:
    case PixelFormat::YUV422Packed:
        return 2;
    case PixelFormat::RGB8:
        return 3;
    default:
        return 1;
    }
}

bool isBayer(PixelFormat format)
{
    return format == PixelFormat::BayerGR8 || format == PixelFormat::BayerRG8 ||
           format == PixelFormat::BayerGB8 || format == PixelFormat::BayerBG8 ||
           format == PixelFormat::BayerGR12;
}

bool isSixteenBit(PixelFormat format)
{
    return format == PixelFormat::Mono16 || format == PixelFormat::BayerGR12;
}

int bayerLayoutOf(PixelFormat format)
{
    switch (format) {
    case PixelFormat::BayerGB8: return 0;
    case PixelFormat::BayerBG8: return 1;
    case PixelFormat::BayerRG8: return 2;
    default: return 3;
    }
}

} // namespace cam
