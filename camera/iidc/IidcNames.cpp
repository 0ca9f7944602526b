// Names the IIDC backend gives video modes, pixel codings and frame rates.
#include "camera/iidc/IidcNames.h"

#include <cstdio>

namespace cam {

std::optional<PixelFormat> iidcPixelFormat(IidcCoding coding, IidcFilter filter)
{
    static const PixelFormat bayer[] = {PixelFormat::BayerRG8, PixelFormat::BayerGB8,
                                        PixelFormat::BayerGR8, PixelFormat::BayerBG8};
    switch (coding) {
    case IidcCoding::Mono8: return PixelFormat::Mono8;
    case IidcCoding::Mono16: return PixelFormat::Mono16;
    case IidcCoding::YUV422: return PixelFormat::YUV422Packed;  // U Y V Y, as IIDC sends it
    case IidcCoding::RGB8: return PixelFormat::RGB8;
    case IidcCoding::Raw8: return bayer[static_cast<int>(filter)];
    case IidcCoding::Raw16:
        if (filter == IidcFilter::GRBG)
            return PixelFormat::BayerGR12;
        return std::nullopt;
    default: return std::nullopt;  // YUV 4:1:1 and 4:4:4, 48-bit RGB, signed Mono16
    }
}

std::string iidcModeName(const IidcVideoMode &mode, PixelFormat format)
{
    const std::string coding = mode.coding == IidcCoding::YUV422 ? "YUV422" : pixelFormatName(format);
    if (mode.format7)
        return "Format7 Mode" + std::to_string(mode.format7Index) + " " + coding;
    return std::to_string(mode.width) + "x" + std::to_string(mode.height) + " " + coding;
}

std::string iidcRateText(double fps)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", fps);
    return buf;
}

std::string iidcSerial(uint64_t guid)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(guid));
    return buf;
}

} // namespace cam
