// Versions of the program, its camera component and the camera libraries actually linked.
#pragma once

#include <optional>
#include <string>

namespace cam {

struct Version {
    int major = 0, minor = 0, build = 0, revision = 0;
};

Version molvaneVersion();
std::string molvaneVersionText();  // "major.minor.patch", as --version prints it
Version componentVersion();
std::optional<Version> aravisVersion();   // empty when built without Aravis
std::optional<Version> dc1394Version();   // empty when built without libdc1394

} // namespace cam
