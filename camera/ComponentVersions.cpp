// Versions of the program and the camera libraries linked into it.
#include "camera/ComponentVersions.h"

#ifdef MOLVANE_HAVE_ARAVIS
#include <arv.h>
#endif

#include <cstdio>

namespace cam {

Version molvaneVersion() { return {MOLVANE_VERSION_MAJOR, MOLVANE_VERSION_MINOR, MOLVANE_VERSION_PATCH, 0}; }

std::string molvaneVersionText()
{
    const Version v = molvaneVersion();
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build);
}

// The component's interface follows the program's releases.
Version componentVersion() { return molvaneVersion(); }

std::optional<Version> aravisVersion()
{
#ifdef MOLVANE_HAVE_ARAVIS
    return Version{static_cast<int>(arv_get_major_version()), static_cast<int>(arv_get_minor_version()),
                   static_cast<int>(arv_get_micro_version()), 0};
#else
    return std::nullopt;
#endif
}

std::optional<Version> dc1394Version()
{
#ifdef MOLVANE_DC1394_VERSION
    Version v;
    if (std::sscanf(MOLVANE_DC1394_VERSION, "%d.%d.%d", &v.major, &v.minor, &v.build) >= 2)
        return v;
#endif
    return std::nullopt;
}

} // namespace cam
