// Fuzzes loading a user/feature file ("Name=Value" lines) into a simulated camera's feature tree.
// The input's first byte picks the kind of camera, the rest is the file.
#include "camera/FeatureFile.h"
#include "camera/sim/SimCamera.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

using namespace cam;

namespace {

std::string text(FeatureAccess &f)
{
    std::string out;
    for (const auto &s : FeatureFile::collect(f, 0))
        out += s.name + "=" + s.value + "\n";
    return out;
}

// One opened camera of each kind and its settings right after opening. After a file changed a
// camera, those settings are loaded back (faster than making it anew), so every input starts
// from the same state.
struct Camera {
    std::unique_ptr<SimCamera> sim;
    std::string defaults;
};

Camera &camera(int kind)
{
    static const SimKind kinds[] = {SimKind::GigEColour, SimKind::Ieee1394Mono, SimKind::GigEYuv};
    static Camera cameras[3];
    Camera &c = cameras[kind % 3];
    if (!c.sim) {
        c.sim = std::make_unique<SimCamera>(simCameraSpec(kinds[kind % 3], 1));
        c.sim->open(OpenMode::Control);
        c.defaults = text(c.sim->features());
    }
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    Camera &c = camera(data[0]);
    FeatureAccess &f = c.sim->features();
    int paused = 0;
    const FeatureLoadReport report =
        FeatureFile::apply(f, std::string(reinterpret_cast<const char *>(data + 1), size - 1),
                           [&](bool on) { paused += on ? 1 : -1; });
    // A pause is always ended; every problem names its line.
    if (paused != 0)
        std::abort();
    for (const auto &p : report.problems)
        if (p.rfind("line ", 0) != 0)
            std::abort();
    report.summary();
    if (report.applied == 0)
        return 0;
    // Whatever a file left the camera with saves and loads back without a complaint.
    if (!FeatureFile::apply(f, text(f)).problems.empty() || !FeatureFile::apply(f, c.defaults).problems.empty())
        std::abort();
    return 0;
}
