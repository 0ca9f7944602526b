// GigE Vision pixel format codes (PFNC) to the formats the component converts.
#pragma once

#include "camera/PixelFormat.h"

#include <cstdint>

namespace cam {

// Formats the display does not convert come as 16-bit grey with `bits` significant bits.
PixelFormat pixelFormatFromPfnc(uint32_t code, int &bits);

} // namespace cam
