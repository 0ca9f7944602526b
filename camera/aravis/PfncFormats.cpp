// GigE Vision pixel format codes.
#include "camera/aravis/PfncFormats.h"

#include <arv.h>

namespace cam {

PixelFormat pixelFormatFromPfnc(uint32_t code, int &bits)
{
    bits = 8;
    switch (code) {
    case ARV_PIXEL_FORMAT_MONO_8: return PixelFormat::Mono8;
    case ARV_PIXEL_FORMAT_BAYER_GR_8: return PixelFormat::BayerGR8;
    case ARV_PIXEL_FORMAT_BAYER_RG_8: return PixelFormat::BayerRG8;
    case ARV_PIXEL_FORMAT_BAYER_GB_8: return PixelFormat::BayerGB8;
    case ARV_PIXEL_FORMAT_BAYER_BG_8: return PixelFormat::BayerBG8;
    case ARV_PIXEL_FORMAT_BAYER_GR_12: bits = 12; return PixelFormat::BayerGR12;
    case ARV_PIXEL_FORMAT_YUV_422_PACKED: return PixelFormat::YUV422Packed;
    case ARV_PIXEL_FORMAT_RGB_8_PACKED: return PixelFormat::RGB8;
    case ARV_PIXEL_FORMAT_MONO_10: bits = 10; return PixelFormat::Mono16;
    case ARV_PIXEL_FORMAT_MONO_12: bits = 12; return PixelFormat::Mono16;
    default: bits = 16; return PixelFormat::Mono16;
    }
}

} // namespace cam
