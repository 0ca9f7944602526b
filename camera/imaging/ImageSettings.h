// How the component turns a raw frame into the colour image it shows and hands out.
#pragma once

namespace cam {

struct ImageSettings {
    bool bayerConversion = false;
    int bayerLayout = 3;     // 0 "GB/RG", 1 "BG/GR", 2 "RG/GB", 3 "GR/BG"
    int bayerAlgorithm = 1;  // 1 Bilinear, 2 Bilinear HQ, 3 Nearest
    bool mirror = false;
    bool flip = false;
    bool negative = false;
};

} // namespace cam
