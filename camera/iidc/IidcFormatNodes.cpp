// The video modes of an IIDC camera as image formats.
#include "camera/iidc/IidcFormatNodes.h"

#include "camera/CameraError.h"
#include "camera/iidc/IidcNames.h"

#include <algorithm>

namespace cam {

namespace {
constexpr int Expert = 1;
const char *const kRegion[] = {"Width", "Height", "OffsetX", "OffsetY"};
} // namespace

IidcFormatNodes::IidcFormatNodes(IidcNodeMap &nodes, Dc1394Camera &camera) : nodes_(nodes), camera_(camera) {}

void IidcFormatNodes::readModes()
{
    for (const IidcVideoMode &v : camera_.videoModes()) {
        IidcFilter filter = IidcFilter::RGGB;
        IidcCoding coding = v.coding;
        if (v.format7) {
            const IidcFormat7 f = camera_.format7(v.id);
            filter = f.filter;
            coding = f.coding;
        }
        const auto format = iidcPixelFormat(coding, filter);
        if (!format)
            continue;  // a coding the program cannot show
        Mode m{v, "", *format, {}};
        m.video.coding = coding;
        m.name = iidcModeName(m.video, *format);
        if (!v.format7)
            m.rates = camera_.frameRates(v.id);
        if (v.format7 || !m.rates.empty())
            modes_.push_back(m);
    }
    if (modes_.empty())
        throw CameraError(code::NotSupported, "the camera offers no video mode Molvane can show");
}

void IidcFormatNodes::build()
{
    readModes();
    const int now = camera_.videoMode();
    auto it = std::find_if(modes_.begin(), modes_.end(), [&](const Mode &m) { return m.video.id == now; });
    current_ = it == modes_.end() ? 0 : static_cast<size_t>(it - modes_.begin());
    if (it == modes_.end())
        camera_.setVideoMode(modes_[0].video.id);

    nodes_.category("Root", "ImageFormatControl");
    const char *cat = "ImageFormatControl";
    nodes_.enumeration(cat, "PixelFormat", modeNames(), mode().name).description =
        "Video mode of the camera: a fixed IIDC mode or a Format7 mode with its pixel coding.";
    nodes_.enumeration(cat, "VideoFrameRateSelector", {"-"}, "-").description =
        "Frame rate of the current fixed video mode, in frames per second.";
    nodes_.integer(cat, "WidthMax", 0, 0, 0, 1, access::ReadOnly).visibility = Expert;
    nodes_.integer(cat, "HeightMax", 0, 0, 0, 1, access::ReadOnly).visibility = Expert;
    for (const char *n : kRegion)
        nodes_.integer(cat, n, 0, 0, 0);
    nodes_.find("Width")->description = "Width of the image delivered, in pixels.";
    nodes_.find("Height")->description = "Height of the image delivered, in pixels.";
    Node &packet = nodes_.integer(cat, "BytePerPacket", 0, 0, 0);
    packet.visibility = Expert;
    packet.description = "Bytes sent in each isochronous packet (Format7 only).";

    nodes_.bind("PixelFormat", [this] { applyMode(nodes_.locked([&] { return nodes_.find("PixelFormat")->entry; })); },
                [this] { loadMode(); });
    nodes_.bind("VideoFrameRateSelector", [this] { applyRate(); }, [this] { loadMode(); });
    for (const char *n : kRegion)
        nodes_.bind(n, [this] { applyRegion(-1); }, [this] { loadGeometry(); });
    nodes_.bind("BytePerPacket",
                [this] { applyRegion(static_cast<int>(nodes_.locked([&] { return nodes_.find("BytePerPacket")->intValue; }))); },
                [this] { loadGeometry(); });
    loadMode();
}

void IidcFormatNodes::applyMode(const std::string &name)
{
    auto it = std::find_if(modes_.begin(), modes_.end(), [&](const Mode &m) { return m.name == name; });
    if (it == modes_.end())
        throw CameraError(code::OutOfRange, "no video mode \"" + name + "\"");
    camera_.setVideoMode(it->video.id);
    current_ = static_cast<size_t>(it - modes_.begin());
    if (!mode().rates.empty()) {
        const int now = camera_.frameRate();
        const auto &r = mode().rates;
        if (std::none_of(r.begin(), r.end(), [&](const IidcFrameRate &f) { return f.id == now; }))
            camera_.setFrameRate(r.back().id);
    }
    loadMode();
}

void IidcFormatNodes::loadMode()
{
    rate_ = mode().rates.empty() ? 0 : camera_.frameRate();
    nodes_.locked([&] {
        nodes_.find("PixelFormat")->entry = mode().name;
        Node *rate = nodes_.find("VideoFrameRateSelector");
        rate->entries.clear();
        for (const IidcFrameRate &r : mode().rates) {
            rate->entries.push_back(iidcRateText(r.fps));
            if (r.id == rate_)
                rate->entry = rate->entries.back();
        }
        if (rate->entries.empty())
            rate->entries = {"-"};
        if (std::find(rate->entries.begin(), rate->entries.end(), rate->entry) == rate->entries.end())
            rate->entry = rate->entries.back();
        return 0;
    });
    loadGeometry();
}

void IidcFormatNodes::loadGeometry()
{
    const bool f7 = mode().video.format7;
    if (f7)
        format7_ = camera_.format7(mode().video.id);
    const IidcFormat7 g = f7 ? format7_ : [&] {
        IidcFormat7 fixed;
        fixed.maxWidth = fixed.width = mode().video.width;
        fixed.maxHeight = fixed.height = mode().video.height;
        return fixed;
    }();
    nodes_.locked([&] {
        auto set = [&](const char *name, int64_t value, int64_t min, int64_t max, int64_t inc) {
            Node *n = nodes_.find(name);
            n->intValue = value;
            n->intMin = min;
            n->intMax = std::max(min, max);
            n->intInc = std::max<int64_t>(1, inc);
        };
        set("WidthMax", g.maxWidth, g.maxWidth, g.maxWidth, 1);
        set("HeightMax", g.maxHeight, g.maxHeight, g.maxHeight, 1);
        set("Width", g.width, std::max(1, g.unitWidth), g.maxWidth - g.left, g.unitWidth);
        set("Height", g.height, std::max(1, g.unitHeight), g.maxHeight - g.top, g.unitHeight);
        set("OffsetX", g.left, 0, g.maxWidth - g.width, g.unitLeft);
        set("OffsetY", g.top, 0, g.maxHeight - g.height, g.unitTop);
        set("BytePerPacket", g.packetSize, g.unitPacket, g.maxPacket, g.unitPacket);
        return 0;
    });
    setStreaming(streaming_);
}

void IidcFormatNodes::setStreaming(bool streaming)
{
    streaming_ = streaming;
    const int region = mode().video.format7 && !streaming ? access::ReadWrite : access::ReadOnly;
    nodes_.locked([&] {
        for (const char *n : kRegion)
            nodes_.find(n)->access = region;
        nodes_.find("BytePerPacket")->access = region;
        nodes_.find("PixelFormat")->access = streaming ? access::ReadOnly : access::ReadWrite;
        nodes_.find("VideoFrameRateSelector")->access =
            mode().rates.empty() ? access::NotAvailable : streaming ? access::ReadOnly : access::ReadWrite;
        return 0;
    });
}

void IidcFormatNodes::applyRegion(int packetSize)
{
    int v[4];
    nodes_.locked([&] {
        for (int i = 0; i < 4; ++i)
            v[i] = static_cast<int>(nodes_.find(kRegion[i])->intValue);
        return 0;
    });
    camera_.setFormat7Roi(mode().video.id, format7_.coding, packetSize, v[2], v[3], v[0], v[1]);
    loadGeometry();
}

void IidcFormatNodes::applyRate()
{
    const std::string text = nodes_.locked([&] { return nodes_.find("VideoFrameRateSelector")->entry; });
    for (const IidcFrameRate &r : mode().rates)
        if (iidcRateText(r.fps) == text) {
            camera_.setFrameRate(r.id);
            rate_ = r.id;
        }
}

std::vector<std::string> IidcFormatNodes::modeNames() const
{
    std::vector<std::string> out;
    for (const Mode &m : modes_)
        out.push_back(m.name);
    return out;
}

void IidcFormatNodes::setModeIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(modes_.size()))
        throw CameraError(code::OutOfRange, "no video mode " + std::to_string(index));
    nodes_.setEnumValue("PixelFormat", modes_[index].name);
}

std::vector<std::string> IidcFormatNodes::rateNames() const
{
    if (mode().video.format7)
        throw CameraError(code::NotSupported, "Format7 has no fixed frame rates");
    std::vector<std::string> out;
    for (const IidcFrameRate &r : mode().rates)
        out.push_back(iidcRateText(r.fps));
    return out;
}

int IidcFormatNodes::rateIndex() const
{
    const auto &r = mode().rates;
    auto it = std::find_if(r.begin(), r.end(), [&](const IidcFrameRate &f) { return f.id == rate_; });
    return it == r.end() ? -1 : static_cast<int>(it - r.begin());
}

void IidcFormatNodes::setRateIndex(int index)
{
    const auto names = rateNames();
    if (index < 0 || index >= static_cast<int>(names.size()))
        throw CameraError(code::OutOfRange, "no frame rate " + std::to_string(index));
    nodes_.setEnumValue("VideoFrameRateSelector", names[index]);
}

uint64_t IidcFormatNodes::frameBytes()
{
    return nodes_.locked([&] {
        return static_cast<uint64_t>(nodes_.find("Width")->intValue) *
               static_cast<uint64_t>(nodes_.find("Height")->intValue) * bytesPerPixel(pixelFormat());
    });
}

} // namespace cam
