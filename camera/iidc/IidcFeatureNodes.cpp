// The IIDC features of a camera as named nodes.
#include "camera/iidc/IidcFeatureNodes.h"

#include "camera/CameraError.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cam {

namespace {

constexpr int Beginner = 0, Expert = 1, Guru = 2;

// Strobe control registers, relative to the strobe base: which outputs exist, then per
// output an inquiry word (bounds) and a control word (on, polarity, delay, duration).
constexpr uint64_t kStrobeInquiry = 0x100, kStrobeControl = 0x200;
constexpr uint32_t kStrobeOn = 1u << 25, kStrobeHigh = 1u << 24;

uint32_t field12(uint32_t word, int shift) { return (word >> shift) & 0xfff; }

const char *entryOf(IidcFeatureMode m)
{
    return m == IidcFeatureMode::Auto ? "Continuous" : m == IidcFeatureMode::OnePush ? "Once" : "Off";
}

IidcFeatureMode modeOf(const std::string &entry)
{
    return entry == "Continuous" ? IidcFeatureMode::Auto
           : entry == "Once"     ? IidcFeatureMode::OnePush
                                 : IidcFeatureMode::Manual;
}

std::string sourceName(int source)
{
    return source == kIidcSoftwareSource ? "Software" : "Line" + std::to_string(source);
}

} // namespace

// How one IIDC feature shows in the tree. Members read as integers keep integer nodes; the
// others become float nodes in the camera's absolute units (scaled) where it has them.
struct IidcFeatureNodes::Row {
    IidcFeature id;
    const char *node;
    const char *autoNode;
    bool floating;
    double scale;  // absolute unit to node unit (seconds to microseconds)
    int visibility;
    const char *description;
};

namespace {
using F = IidcFeature;
const std::vector<IidcFeatureNodes::Row> &rows();
} // namespace

IidcFeatureNodes::IidcFeatureNodes(IidcNodeMap &nodes, Dc1394Camera &camera) : nodes_(nodes), camera_(camera) {}

void IidcFeatureNodes::buildDevice(const DeviceInfo &info)
{
    nodes_.category("Root", "DeviceControl");
    nodes_.string("DeviceControl", "DeviceVendorName", info.vendor).description = "Name of the manufacturer.";
    nodes_.string("DeviceControl", "DeviceModelName", info.model).description = "Model of the device.";
    nodes_.string("DeviceControl", "DeviceID", info.deviceId).description =
        "The unit's GUID, which identifies the device on the bus.";
    nodes_.string("DeviceControl", "DeviceVersion", info.version).description =
        "Version of the IIDC standard the camera follows.";
}

void IidcFeatureNodes::buildAcquisition(std::function<void()> stop)
{
    nodes_.category("Root", "AcquisitionControl");
    nodes_.enumeration("AcquisitionControl", "AcquisitionMode", {"Continuous", "SingleFrame", "MultiFrame"},
                       "Continuous")
        .description = "How many frames one start of acquisition delivers.";
    nodes_.command("AcquisitionControl", "AcquisitionStart", [] {});
    nodes_.command("AcquisitionControl", "AcquisitionStop", std::move(stop));
}

void IidcFeatureNodes::buildFeatures()
{
    nodes_.category("Root", "AnalogControl");
    const auto all = camera_.features();
    for (const Row &row : rows()) {
        auto it = std::find_if(all.begin(), all.end(), [&](const IidcFeatureInfo &f) { return f.id == row.id; });
        if (it != all.end() && it->available)
            addFeature(row, *it);
    }
}

void IidcFeatureNodes::addFeature(const Row &row, const IidcFeatureInfo &info)
{
    const char *cat = "AnalogControl";
    const bool absolute = row.floating && info.absoluteCapable;
    absolute_[static_cast<int>(row.id)] = absolute;
    Node &n = row.floating ? nodes_.real(cat, row.node, 0, 0, 0) : nodes_.integer(cat, row.node, 0, 0, 0);
    n.visibility = row.visibility;
    n.description = row.description;
    if (row.id == F::WhiteBalance)
        nodes_.integer(cat, "WhiteBalanceRV", 0, 0, 0).visibility = Expert;
    if (row.id == F::Gain)  // one gain for all channels, as the gain members select it
        nodes_.enumeration(cat, "GainSelector", {"All"}, "All").visibility = Expert;
    const bool automatic = std::any_of(info.modes.begin(), info.modes.end(),
                                       [](IidcFeatureMode m) { return m != IidcFeatureMode::Manual; });
    std::string autoNode;
    if (row.autoNode && (automatic || row.id == F::WhiteBalance)) {
        autoNode = row.autoNode;
        std::vector<std::string> entries{"Off"};
        for (IidcFeatureMode m : info.modes)
            if (m != IidcFeatureMode::Manual)
                entries.push_back(entryOf(m));
        nodes_.enumeration(cat, autoNode, entries, "Off").description =
            std::string("Automatic control of ") + row.node + ": Off, Continuous or Once.";
        nodes_.bind(autoNode, [this, &row, autoNode] { applyAuto(row, autoNode); }, [this, &row] { loadFeature(row); });
        nodes_.refreshOnRead(autoNode, [this, &row] { loadFeature(row); });
    }
    auto apply = [this, &row] { applyValue(row); };
    auto load = [this, &row] { loadFeature(row); };
    nodes_.bind(row.node, apply, load);
    nodes_.refreshOnRead(row.node, load);
    if (row.id == F::WhiteBalance) {
        nodes_.bind("WhiteBalanceRV", apply, load);
        nodes_.refreshOnRead("WhiteBalanceRV", load);
    }
    loadFeature(row);
}

void IidcFeatureNodes::loadFeature(const Row &row)
{
    const IidcFeatureInfo f = camera_.feature(row.id);
    const bool absolute = absolute_[static_cast<int>(row.id)];
    nodes_.locked([&] {
        Node *n = nodes_.find(row.node);
        if (absolute) {
            n->floatValue = f.absValue * row.scale;
            n->floatMin = f.absMin * row.scale;
            n->floatMax = f.absMax * row.scale;
        } else if (row.floating) {
            n->floatValue = f.value;
            n->floatMin = f.min;
            n->floatMax = f.max;
        } else {
            n->intValue = row.id == F::WhiteBalance ? f.blueU : f.value;
            n->intMin = f.min;
            n->intMax = f.max;
        }
        if (row.id == F::WhiteBalance) {
            Node *rv = nodes_.find("WhiteBalanceRV");
            rv->intValue = f.redV;
            rv->intMin = f.min;
            rv->intMax = f.max;
        }
        if (Node *a = row.autoNode ? nodes_.find(row.autoNode) : nullptr)
            a->entry = entryOf(f.mode);
        return 0;
    });
}

void IidcFeatureNodes::applyValue(const Row &row)
{
    if (row.id == F::WhiteBalance) {
        const auto [bu, rv] = nodes_.locked([&] {
            return std::make_pair(nodes_.find(row.node)->intValue, nodes_.find("WhiteBalanceRV")->intValue);
        });
        camera_.setWhiteBalance(static_cast<uint32_t>(bu), static_cast<uint32_t>(rv));
        return;
    }
    const Node n = nodes_.locked([&] { return *nodes_.find(row.node); });
    if (absolute_[static_cast<int>(row.id)])
        camera_.setFeatureAbsolute(row.id, static_cast<float>(n.floatValue / row.scale));
    else
        camera_.setFeatureValue(row.id, static_cast<uint32_t>(row.floating ? std::lround(n.floatValue) : n.intValue));
}

void IidcFeatureNodes::applyAuto(const Row &row, const std::string &autoNode)
{
    camera_.setFeatureMode(row.id, modeOf(nodes_.locked([&] { return nodes_.find(autoNode)->entry; })));
}

void IidcFeatureNodes::buildTrigger()
{
    const IidcFeatureInfo t = camera_.feature(F::Trigger);
    if (!t.available)
        return;
    const char *cat = "AcquisitionControl";
    nodes_.enumeration(cat, "TriggerMode", {"Off", "On"}, "Off").description =
        "Whether frames are started by a trigger.";
    std::vector<std::string> modes;
    for (int m : t.triggerModes)
        modes.push_back("Mode" + std::to_string(m));
    if (modes.empty())
        modes = {"Mode0"};
    nodes_.enumeration(cat, "ExposureMode", modes, modes.front()).description = "IIDC trigger mode.";
    std::vector<std::string> sources;
    for (int s : t.triggerSources)
        sources.push_back(sourceName(s));
    if (sources.empty())
        sources = {sourceName(0)};
    nodes_.enumeration(cat, "TriggerSource", sources, sources.front()).description = "Where the trigger comes from.";
    auto load = [this] { loadTrigger(); };
    auto entry = [this](const char *node) { return nodes_.locked([&] { return nodes_.find(node)->entry; }); };
    nodes_.bind("TriggerMode", [this, entry] { camera_.setTriggerPower(entry("TriggerMode") == "On"); }, load);
    nodes_.bind("ExposureMode", [this, entry] { camera_.setTriggerMode(std::stoi(entry("ExposureMode").substr(4))); }, load);
    nodes_.bind("TriggerSource", [this, entry] {
        const std::string s = entry("TriggerSource");
        camera_.setTriggerSource(s == "Software" ? kIidcSoftwareSource : std::stoi(s.substr(4)));
    }, load);
    if (t.polarityCapable) {
        nodes_.enumeration(cat, "TriggerActivation", {"FallingEdge", "RisingEdge"}, "FallingEdge");
        nodes_.bind("TriggerActivation", [this, entry] { camera_.setTriggerPolarity(entry("TriggerActivation") == "RisingEdge"); },
                    load);
    }
    if (std::count(t.triggerSources.begin(), t.triggerSources.end(), kIidcSoftwareSource))
        nodes_.command(cat, "TriggerSoftware", [this] { camera_.softwareTrigger(); });
    loadTrigger();
}

void IidcFeatureNodes::loadTrigger()
{
    const IidcFeatureInfo t = camera_.feature(F::Trigger);
    nodes_.locked([&] {
        nodes_.find("TriggerMode")->entry = t.isOn ? "On" : "Off";
        nodes_.find("ExposureMode")->entry = "Mode" + std::to_string(t.triggerMode);
        nodes_.find("TriggerSource")->entry = sourceName(t.triggerSource);
        if (Node *p = nodes_.find("TriggerActivation"))
            p->entry = t.activeHigh ? "RisingEdge" : "FallingEdge";
        return 0;
    });
}

void IidcFeatureNodes::buildStrobes()
{
    uint32_t present = 0;
    try {
        present = camera_.readStrobeRegister(0);
    } catch (const CameraError &) {
        return;  // no strobe outputs
    }
    std::vector<std::string> strobes;
    for (int n = 0; n < 4; ++n)
        if (present & (1u << (31 - n)))
            strobes.push_back("Strobe" + std::to_string(n));
    if (strobes.empty())
        return;
    const char *cat = "CounterAndTimerControl";
    nodes_.category("Root", cat, Expert);
    nodes_.enumeration(cat, "TimerSelector", strobes, strobes.front()).description = "The strobe output the settings below act on.";
    nodes_.enumeration(cat, "TimerTriggerSource", {"OFF", "ON"}, "OFF").description = "Whether the strobe output is on.";
    nodes_.enumeration(cat, "TimerTriggerActivation", {"LevelLow", "LevelHigh"}, "LevelLow");
    nodes_.real(cat, "TimerDelay", 0, 0, 0).description = "Strobe delay, in the camera's units.";
    nodes_.real(cat, "TimerDuration", 0, 0, 0).description = "Strobe duration, in the camera's units.";
    auto load = [this] { loadStrobe(); };
    nodes_.bind("TimerSelector", load, load);
    for (const char *n : {"TimerTriggerSource", "TimerTriggerActivation", "TimerDelay", "TimerDuration"})
        nodes_.bind(n, [this] { applyStrobe(); }, load);
    loadStrobe();
}

int IidcFeatureNodes::selectedStrobe()
{
    return nodes_.locked([&] { return nodes_.find("TimerSelector")->entry.back() - '0'; });
}

void IidcFeatureNodes::loadStrobe()
{
    const int n = selectedStrobe();
    const uint32_t inq = camera_.readStrobeRegister(kStrobeInquiry + 4 * n);
    const uint32_t ctl = camera_.readStrobeRegister(kStrobeControl + 4 * n);
    nodes_.locked([&] {
        nodes_.find("TimerTriggerSource")->entry = ctl & kStrobeOn ? "ON" : "OFF";
        nodes_.find("TimerTriggerActivation")->entry = ctl & kStrobeHigh ? "LevelHigh" : "LevelLow";
        for (const char *name : {"TimerDelay", "TimerDuration"}) {
            Node *v = nodes_.find(name);
            v->floatMin = field12(inq, 12);
            v->floatMax = field12(inq, 0);
            v->floatValue = field12(ctl, std::string(name) == "TimerDelay" ? 12 : 0);
        }
        return 0;
    });
}

void IidcFeatureNodes::applyStrobe()
{
    const int n = selectedStrobe();
    const uint32_t word = nodes_.locked([&] {
        uint32_t w = 1u << 31;  // presence
        if (nodes_.find("TimerTriggerSource")->entry == "ON")
            w |= kStrobeOn;
        if (nodes_.find("TimerTriggerActivation")->entry == "LevelHigh")
            w |= kStrobeHigh;
        w |= (static_cast<uint32_t>(nodes_.find("TimerDelay")->floatValue) & 0xfff) << 12;
        w |= static_cast<uint32_t>(nodes_.find("TimerDuration")->floatValue) & 0xfff;
        return w;
    });
    camera_.writeStrobeRegister(kStrobeControl + 4 * n, word);
}

void IidcFeatureNodes::buildRegisters()
{
    static const std::pair<const char *, uint64_t> registers[] = {
        {"BasicFuncInq", 0x400}, {"FeatureHiInq", 0x404}, {"FeatureLoInq", 0x408}, {"OptFuncInq", 0x40C},
        {"CurFrameRate", 0x600}, {"CurVideoMode", 0x604}, {"CurVideoFormat", 0x608},
        {"IsoChannelSpeed", 0x60C}, {"IsoEnable", 0x614}};
    nodes_.category("Root", "IidcRegisters", Guru).description =
        "Inquiry and status registers of the camera, by their IIDC names.";
    for (const auto &[name, offset] : registers) {
        uint32_t value = 0;
        try {
            value = camera_.readRegister(offset);
        } catch (const CameraError &) {
            continue;
        }
        Node &n = nodes_.integer("IidcRegisters", name, value, 0, 0xffffffffLL, 1, access::ReadOnly);
        n.visibility = Guru;
        char buf[48];
        std::snprintf(buf, sizeof buf, "Control register at offset 0x%03llX.", static_cast<unsigned long long>(offset));
        n.description = buf;
        const std::string node = name;
        const uint64_t at = offset;
        nodes_.refreshOnRead(node, [this, node, at] { nodes_.setValueQuiet(node, camera_.readRegister(at)); });
    }
}

namespace {
const std::vector<IidcFeatureNodes::Row> &rows()
{
    static const std::vector<IidcFeatureNodes::Row> table = {
        {F::Brightness, "Brightness", "BrightnessAuto", true, 1, Beginner, "Offset added to every pixel (black level)."},
        {F::Exposure, "AutoExposure", "AutoExposureMode", false, 1, Beginner, "Target brightness of automatic exposure."},
        {F::Sharpness, "Sharpness", "SharpnessAuto", false, 1, Beginner, "Edge enhancement."},
        {F::WhiteBalance, "WhiteBalanceBU", "BalanceWhiteAuto", false, 1, Expert, "White balance: blue (U) value."},
        {F::Hue, "Hue", "HueAuto", false, 1, Beginner, "Colour phase."},
        {F::Saturation, "Saturation", "SaturationAuto", false, 1, Beginner, "Colour saturation."},
        {F::Gamma, "Gamma", "GammaAuto", true, 1, Beginner, "Gamma correction."},
        {F::Shutter, "ExposureTime", "ExposureAuto", true, 1e6, Beginner,
         "Exposure time: microseconds where the camera has absolute values, otherwise its own units."},
        {F::Gain, "Gain", "GainAuto", true, 1, Beginner, "Amplification: dB where the camera has absolute values."},
        {F::Iris, "IrisCtrl", "IrisAuto", false, 1, Beginner, "Lens iris."},
        {F::Focus, "Focus", "FocusAuto", false, 1, Expert, "Lens focus."},
        {F::TriggerDelay, "TriggerDelay", nullptr, true, 1e6, Expert, "Delay from the trigger to the exposure."},
        {F::Zoom, "Zoom", "ZoomAuto", false, 1, Expert, "Lens zoom."},
        {F::Pan, "PanCtrl", "PanAuto", false, 1, Beginner, "Pan position."},
        {F::Tilt, "TiltCtrl", "TiltAuto", false, 1, Beginner, "Tilt position."},
        {F::OpticalFilter, "OpticalFilter", "OpticalFilterAuto", false, 1, Beginner, "Position of the optical filter."},
    };
    return table;
}
} // namespace

} // namespace cam
