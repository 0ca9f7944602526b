// Fuzzes GenICam values given as text (feature files, the tree page, molvane-cli set): a value
// written to a node of each interface and read back as text. The input's first byte picks the
// node, the rest is the value.
#include "camera/CameraError.h"
#include "camera/FeatureFile.h"
#include "camera/NodeMap.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

using namespace cam;

namespace {

// Nodes as cameras describe them, ranges at the edges of their types included.
NodeMap &nodes()
{
    static NodeMap *map = [] {
        auto *m = new NodeMap;
        constexpr int64_t lowest = std::numeric_limits<int64_t>::min();
        constexpr int64_t highest = std::numeric_limits<int64_t>::max();
        m->category("Root", "Values");
        m->integer("Values", "Whole", 0, lowest, highest);
        m->integer("Values", "Stepped", 0, -1024, highest, 4);
        m->integer("Values", "Width", 640, 16, 4096, 16);
        m->real("Values", "Gain", 0, -1e300, 1e300);
        m->real("Values", "Ratio", 1, 0.5, 2.0);
        m->boolean("Values", "ReverseX", false);
        m->string("Values", "DeviceUserID", "", access::ReadWrite);
        m->enumeration("Values", "PixelFormat", {"Mono8", "BayerGR8", "YUV422Packed"}, "Mono8");
        m->integer("Values", "SensorWidth", 1280, 0, 1280, 1, access::ReadOnly);
        m->command("Values", "AcquisitionStart", [] {});
        return m;
    }();
    return *map;
}

const char *kNames[] = {"Whole", "Stepped", "Width", "Gain", "Ratio", "ReverseX", "DeviceUserID",
                        "PixelFormat", "SensorWidth", "AcquisitionStart", "Values", "Missing"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string name = kNames[data[0] % (sizeof kNames / sizeof *kNames)];
    const std::string value(reinterpret_cast<const char *>(data + 1), size - 1);
    NodeMap &f = nodes();
    try {
        FeatureFile::writeValue(f, name, value);
    } catch (const CameraError &) {
        return 0;  // refused with the component's error: what a bad value should get
    }
    // A value taken reads back as text that writes the same value again.
    const std::string text = FeatureFile::valueText(f, name);
    FeatureFile::writeValue(f, name, text);
    if (FeatureFile::valueText(f, name) != text)
        std::abort();
    return 0;
}
