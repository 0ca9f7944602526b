// Names the IIDC backend gives video modes, pixel codings and frame rates.
#pragma once

#include "camera/PixelFormat.h"
#include "camera/iidc/Dc1394Types.h"

#include <optional>
#include <string>

namespace cam {

// The frame format of a coding, or nothing for codings the program cannot show.
std::optional<PixelFormat> iidcPixelFormat(IidcCoding coding, IidcFilter filter);
// "640x480 Mono8", "Format7 Mode0 BayerRG8".
std::string iidcModeName(const IidcVideoMode &mode, PixelFormat format);
// "1.875", "7.5", "30".
std::string iidcRateText(double fps);
// The camera list's serial: the unit's GUID as 16 hexadecimal digits.
std::string iidcSerial(uint64_t guid);

} // namespace cam
