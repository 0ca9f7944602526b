// The process-wide platform the logic talks to.
#include "framework/Platform.h"

#include <stdexcept>

namespace fw {

namespace {
Platform *g_platform = nullptr;
}

Platform &platform()
{
    if (!g_platform)
        throw std::logic_error("no platform installed");
    return *g_platform;
}

void setPlatform(Platform *p) { g_platform = p; }

} // namespace fw
