// Fuzzes the settings the programs read back: the desktop settings file as molvane-cli reads it,
// and the texts of "FramePoolMegabytes" and "SimulatedCameras" wherever they come from.
#include "camera/FrameBudget.h"
#include "camera/sim/SimulatedCameras.h"
#include "tools/DesktopSettings.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

using namespace cam;

namespace {

void frameMemory(const std::string &text)
{
    FrameBudget::setMegabytesFromSetting(text);
    if (FrameBudget::megabytes() < 1 || FrameBudget::megabytes() > (1ull << 30))
        std::abort();
    // Whatever the setting, a pool of a small frame fits the budget.
    const int n = FrameBudget::buffers(4096, 16, 64, 64);
    if (n < FrameBudget::kMinBuffers || n > 16)
        std::abort();
}

void simulatedCameras(const std::string &text)
{
    const int n = SimulatedCameras::countFromSetting(text);
    if (n < 0 || n > 64)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::istringstream file(text);
    frameMemory(DesktopSettings::value(file, "FramePoolMegabytes"));
    file.clear();
    file.seekg(0);
    simulatedCameras(DesktopSettings::value(file, "SimulatedCameras"));
    frameMemory(text);
    simulatedCameras(text);
    return 0;
}
