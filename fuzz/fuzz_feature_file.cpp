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

// One opened camera of each kind, as it is after opening; one a file changed is made anew for
// the next input, so that every input starts from the same state.
std::unique_ptr<SimCamera> &camera(int kind)
{
    static const SimKind kinds[] = {SimKind::GigEColour, SimKind::Ieee1394Mono, SimKind::GigEYuv};
    static std::unique_ptr<SimCamera> cameras[3];
    std::unique_ptr<SimCamera> &c = cameras[kind % 3];
    if (!c) {
        c = std::make_unique<SimCamera>(simCameraSpec(kinds[kind % 3], 1));
        c->open(OpenMode::Control);
    }
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    std::unique_ptr<SimCamera> &c = camera(data[0]);
    FeatureAccess &f = c->features();
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
    std::string saved;
    for (const auto &s : FeatureFile::collect(f, 0))
        saved += s.name + "=" + s.value + "\n";
    const FeatureLoadReport again = FeatureFile::apply(f, saved);
    if (!again.problems.empty())
        std::abort();
    c->close(OpenMode::Control);
    c.reset();
    return 0;
}
