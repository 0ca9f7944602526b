// The component's fixed features, trigger and strobe, tables, generic nodes and registers,
// mapped onto GenICam standard feature names.
#include "camera/CMolvane.h"

#include "camera/CameraError.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace cam {

namespace {

int truncated(double v) { return static_cast<int>(std::trunc(v)); }

// Writes a selector for the duration of a call and puts its old entry back.
template <typename Fn>
auto withSelector(FeatureAccess &f, const std::string &selector, const std::string &entry, Fn fn)
{
    if (!f.has(selector))
        return fn();
    const std::string old = f.enumValue(selector);
    if (old == entry)
        return fn();
    f.setEnumValue(selector, entry);
    struct Restore {
        FeatureAccess &f;
        const std::string &selector;
        const std::string &old;
        ~Restore()
        {
            try {
                f.setEnumValue(selector, old);
            } catch (const CameraError &) {
            }
        }
    } restore{f, selector, old};
    return fn();
}

// Trigger features act on the frame start trigger where the camera has several triggers.
template <typename Fn>
auto onFrameStart(FeatureAccess &f, Fn fn)
{
    if (!f.has("TriggerSelector"))
        return fn();
    const auto entries = f.enumEntries("TriggerSelector");
    if (std::find(entries.begin(), entries.end(), "FrameStart") == entries.end())
        return fn();
    return withSelector(f, "TriggerSelector", "FrameStart", fn);
}

} // namespace

int CMolvane::boundMin(const std::string &node)
{
    FeatureAccess &f = nodes();
    return f.interfaceName(node) == "IFloat" ? truncated(f.floatMin(node))
                                             : static_cast<int>(f.intMin(node));
}

int CMolvane::boundMax(const std::string &node)
{
    FeatureAccess &f = nodes();
    return f.interfaceName(node) == "IFloat" ? truncated(f.floatMax(node))
                                             : static_cast<int>(f.intMax(node));
}

// ---- geometry, format, transport --------------------------------------------------------

// A camera bounds each offset by the size it has now and each size by the offset: a region
// that moves right and shrinks needs its size first, one that moves left and grows its offset
// first. Whichever value comes, the other one of its axis makes room for it beforehand.
void CMolvane::writeRegion(const char *offset, const char *size, bool writeOffset, int value)
{
    FeatureAccess &f = control();
    const char *node = writeOffset ? offset : size;
    const char *other = writeOffset ? size : offset;
    const int64_t room = f.intMax(node);
    if (value > room) {
        const int64_t inc = std::max<int64_t>(1, f.intInc(other));
        const int64_t want = f.intValue(other) - (value - room);
        const int64_t fitted = want - ((want % inc) + inc) % inc;
        // When even the smallest other value leaves no room, the camera refuses the value
        // itself below and nothing has changed.
        if (fitted >= f.intMin(other))
            f.setIntValue(other, fitted);
    }
    f.setIntValue(node, value);
}

int CMolvane::GetImageWidth()
{
    log(Dispid::ImageWidth, CallKind::Get);
    return created_ ? static_cast<int>(nodes().intValue("Width")) : 0;
}

void CMolvane::SetImageWidth(int v)
{
    log(Dispid::ImageWidth, CallKind::Put, {v});
    if (created_)
        writeRegion("OffsetX", "Width", false, v);
}

int CMolvane::GetImageHeight()
{
    log(Dispid::ImageHeight, CallKind::Get);
    return created_ ? static_cast<int>(nodes().intValue("Height")) : 0;
}

void CMolvane::SetImageHeight(int v)
{
    log(Dispid::ImageHeight, CallKind::Put, {v});
    if (created_)
        writeRegion("OffsetY", "Height", false, v);
}

int CMolvane::GetOffsetX()
{
    log(Dispid::OffsetX, CallKind::Get);
    return created_ ? static_cast<int>(nodes().intValue("OffsetX")) : 0;
}

void CMolvane::SetOffsetX(int v)
{
    log(Dispid::OffsetX, CallKind::Put, {v});
    if (created_)
        writeRegion("OffsetX", "Width", true, v);
}

int CMolvane::GetOffsetY()
{
    log(Dispid::OffsetY, CallKind::Get);
    return created_ ? static_cast<int>(nodes().intValue("OffsetY")) : 0;
}

void CMolvane::SetOffsetY(int v)
{
    log(Dispid::OffsetY, CallKind::Put, {v});
    if (created_)
        writeRegion("OffsetY", "Height", true, v);
}

int CMolvane::GetMaxWidth()
{
    log(Dispid::GetMaxWidth, CallKind::Method);
    return created_ ? static_cast<int>(nodes().intValue(pick({"WidthMax", "SensorWidth"}))) : 0;
}

int CMolvane::GetMaxHeight()
{
    log(Dispid::GetMaxHeight, CallKind::Method);
    return created_ ? static_cast<int>(nodes().intValue(pick({"HeightMax", "SensorHeight"}))) : 0;
}

StringList CMolvane::GetImageFormatList()
{
    log(Dispid::GetImageFormatList, CallKind::Method);
    if (!created_)
        return std::nullopt;
    return dev().imageFormats();
}

int CMolvane::GetImageFormat()
{
    log(Dispid::ImageFormat, CallKind::Get);
    return created_ ? dev().imageFormat() : 0;
}

void CMolvane::SetImageFormat(int index)
{
    log(Dispid::ImageFormat, CallKind::Put, {index});
    if (!created_)
        return;
    control();
    dev().setImageFormat(index);
    auto format = pixelFormatOfEntry(nodes().enumValue("PixelFormat"));
    if (format && isBayer(*format))
        settings_.bayerLayout = bayerLayoutOf(*format);
    displayChanged();
}

int CMolvane::GetBitPerPixel()
{
    log(Dispid::BitPerPixel, CallKind::Get);
    if (!created_)
        return 0;
    return nodes().enumValue("PixelSize") == "Bpp10" ? 10 : 12;
}

void CMolvane::SetBitPerPixel(int bits)
{
    log(Dispid::BitPerPixel, CallKind::Put, {bits});
    if (!created_)
        return;
    if (bits != 10 && bits != 12)
        throw CameraError(code::OutOfRange, "bit depth must be 10 or 12");
    control().setEnumValue("PixelSize", bits == 10 ? "Bpp10" : "Bpp12");
}

StringList CMolvane::GetFrameRateList()
{
    log(Dispid::GetFrameRateList, CallKind::Method);
    if (!created_)
        return std::nullopt;
    return dev().frameRates();
}

int CMolvane::GetFrameRateIndex()
{
    log(Dispid::FrameRateIndex, CallKind::Get);
    return created_ ? dev().frameRateIndex() : -1;
}

void CMolvane::SetFrameRateIndex(int index)
{
    log(Dispid::FrameRateIndex, CallKind::Put, {index});
    if (!created_)
        return;
    control();
    dev().setFrameRateIndex(index);
}

int CMolvane::GetBytePerPacket()
{
    log(Dispid::BytePerPacket, CallKind::Get);
    return created_ ? static_cast<int>(nodes().intValue(pick({"BytePerPacket", "GevSCPSPacketSize"}))) : 0;
}

void CMolvane::SetBytePerPacket(int v)
{
    log(Dispid::BytePerPacket, CallKind::Put, {v});
    if (created_)
        control().setIntValue(pick({"BytePerPacket", "GevSCPSPacketSize"}), v);
}

int CMolvane::GetBytePerPacketMin()
{
    log(Dispid::GetBytePerPacketMin, CallKind::Method);
    return created_ ? static_cast<int>(nodes().intMin(pick({"BytePerPacket", "GevSCPSPacketSize"}))) : 0;
}

int CMolvane::GetBytePerPacketMax()
{
    log(Dispid::GetBytePerPacketMax, CallKind::Method);
    return created_ ? static_cast<int>(nodes().intMax(pick({"BytePerPacket", "GevSCPSPacketSize"}))) : 0;
}

// ---- fixed image features ---------------------------------------------------------------

float CMolvane::GetGamma()
{
    log(Dispid::Gamma, CallKind::Get);
    return created_ ? static_cast<float>(nodes().floatValue("Gamma")) : 0.0f;
}

void CMolvane::SetGamma(float v)
{
    log(Dispid::Gamma, CallKind::Put, {double(v)});
    if (created_)
        control().setFloatValue("Gamma", v);
}

#define MOLVANE_INT_FEATURE(Member, Node)                                                      \
    int CMolvane::Get##Member()                                                                \
    {                                                                                          \
        log(Dispid::Member, CallKind::Get);                                                    \
        return created_ ? static_cast<int>(nodes().intValue(Node)) : 0;                        \
    }                                                                                          \
    void CMolvane::Set##Member(int v)                                                          \
    {                                                                                          \
        log(Dispid::Member, CallKind::Put, {v});                                               \
        if (created_)                                                                          \
            control().setIntValue(Node, v);                                                    \
    }
MOLVANE_INT_FEATURE(Sharpness, "Sharpness")
MOLVANE_INT_FEATURE(Saturation, "Saturation")
MOLVANE_INT_FEATURE(AutoExposure, "AutoExposure")
MOLVANE_INT_FEATURE(Hue, "Hue")
MOLVANE_INT_FEATURE(TriggerParameter, "TriggerParameter")
#undef MOLVANE_INT_FEATURE

float CMolvane::GetBlackLevel()
{
    log(Dispid::BlackLevel, CallKind::Get);
    if (!created_)
        return 0.0f;
    std::string n = pick({"BlackLevel", "Brightness"});
    return nodes().interfaceName(n) == "IFloat" ? static_cast<float>(nodes().floatValue(n))
                                                : static_cast<float>(nodes().intValue(n));
}

void CMolvane::SetBlackLevel(float v)
{
    log(Dispid::BlackLevel, CallKind::Put, {double(v)});
    if (!created_)
        return;
    std::string n = pick({"BlackLevel", "Brightness"});
    if (nodes().interfaceName(n) == "IFloat")
        control().setFloatValue(n, v);
    else
        control().setIntValue(n, truncated(v));
}

int CMolvane::GetIris()
{
    log(Dispid::Iris, CallKind::Get);
    return created_ ? static_cast<int>(nodes().intValue("IrisCtrl")) : 0;
}

int CMolvane::GetPan()
{
    log(Dispid::Pan, CallKind::Get);
    return created_ ? static_cast<int>(nodes().intValue("PanCtrl")) : 0;
}

int CMolvane::GetTilt()
{
    log(Dispid::Tilt, CallKind::Get);
    return created_ ? static_cast<int>(nodes().intValue("TiltCtrl")) : 0;
}

#define MOLVANE_TEXT_FEATURE(Member, Node)                                                     \
    std::string CMolvane::Get##Member()                                                        \
    {                                                                                          \
        log(Dispid::Member, CallKind::Get);                                                    \
        return created_ ? nodes().enumValue(Node) : std::string();                             \
    }                                                                                          \
    void CMolvane::Set##Member(const std::string &v)                                           \
    {                                                                                          \
        log(Dispid::Member, CallKind::Put, {v});                                               \
        if (created_)                                                                          \
            control().setEnumValue(Node, v);                                                   \
    }
MOLVANE_TEXT_FEATURE(ExposureAuto, "ExposureAuto")
MOLVANE_TEXT_FEATURE(GainAuto, "GainAuto")
MOLVANE_TEXT_FEATURE(BalanceWhiteAuto, "BalanceWhiteAuto")
#undef MOLVANE_TEXT_FEATURE

#define MOLVANE_TRIGGER_TEXT(Member, Node)                                                     \
    std::string CMolvane::Get##Member()                                                        \
    {                                                                                          \
        log(Dispid::Member, CallKind::Get);                                                    \
        if (!created_)                                                                         \
            return {};                                                                         \
        FeatureAccess &f = nodes();                                                            \
        return onFrameStart(f, [&] { return f.enumValue(Node); });                             \
    }                                                                                          \
    void CMolvane::Set##Member(const std::string &v)                                           \
    {                                                                                          \
        log(Dispid::Member, CallKind::Put, {v});                                               \
        if (!created_)                                                                         \
            return;                                                                            \
        FeatureAccess &f = control();                                                          \
        onFrameStart(f, [&] { f.setEnumValue(Node, v); return 0; });                           \
    }
MOLVANE_TRIGGER_TEXT(TriggerSource, "TriggerSource")
MOLVANE_TRIGGER_TEXT(TriggerPolarity, "TriggerActivation")
#undef MOLVANE_TRIGGER_TEXT

#define MOLVANE_BOUNDS(Member, NodeList)                                                       \
    int CMolvane::Get##Member##Min()                                                           \
    {                                                                                          \
        log(Dispid::Get##Member##Min, CallKind::Method);                                       \
        return created_ ? boundMin(pick(NodeList)) : 0;                                        \
    }                                                                                          \
    int CMolvane::Get##Member##Max()                                                           \
    {                                                                                          \
        log(Dispid::Get##Member##Max, CallKind::Method);                                       \
        return created_ ? boundMax(pick(NodeList)) : 0;                                        \
    }
#define MOLVANE_NODES(...) {__VA_ARGS__}
MOLVANE_BOUNDS(Gamma, MOLVANE_NODES("Gamma"))
MOLVANE_BOUNDS(Sharpness, MOLVANE_NODES("Sharpness"))
MOLVANE_BOUNDS(Saturation, MOLVANE_NODES("Saturation"))
MOLVANE_BOUNDS(Gain, MOLVANE_NODES("Gain", "GainRaw"))
MOLVANE_BOUNDS(AutoExposure, MOLVANE_NODES("AutoExposure"))
MOLVANE_BOUNDS(Hue, MOLVANE_NODES("Hue"))
MOLVANE_BOUNDS(ExposureTime, MOLVANE_NODES("ExposureTime", "ExposureTimeAbs"))
#undef MOLVANE_BOUNDS
#undef MOLVANE_NODES

float CMolvane::GetBlackLevelMin()
{
    log(Dispid::GetBlackLevelMin, CallKind::Method);
    return created_ ? static_cast<float>(boundMin(pick({"BlackLevel", "Brightness"}))) : 0.0f;
}

float CMolvane::GetBlackLevelMax()
{
    log(Dispid::GetBlackLevelMax, CallKind::Method);
    return created_ ? static_cast<float>(boundMax(pick({"BlackLevel", "Brightness"}))) : 0.0f;
}

float CMolvane::channelGain(const std::string &channel)
{
    FeatureAccess &f = nodes();
    std::string n = pick({"Gain", "GainRaw"});
    return withSelector(f, "GainSelector", channel, [&] {
        return f.interfaceName(n) == "IFloat" ? static_cast<float>(f.floatValue(n))
                                              : static_cast<float>(f.intValue(n));
    });
}

void CMolvane::setChannelGain(const std::string &channel, float v)
{
    FeatureAccess &f = control();
    std::string n = pick({"Gain", "GainRaw"});
    withSelector(f, "GainSelector", channel, [&] {
        if (f.interfaceName(n) == "IFloat")
            f.setFloatValue(n, v);
        else
            f.setIntValue(n, truncated(v));
        return 0;
    });
}

#define MOLVANE_GAIN(Member, Channel)                                                          \
    float CMolvane::Get##Member(const std::string &)                                           \
    {                                                                                          \
        log(Dispid::Get##Member, CallKind::Method, {std::string()});                           \
        return created_ ? channelGain(Channel) : 0.0f;                                         \
    }                                                                                          \
    void CMolvane::Set##Member(const std::string &, float v)                                   \
    {                                                                                          \
        log(Dispid::Set##Member, CallKind::Method, {std::string(), double(v)});                \
        if (created_)                                                                          \
            setChannelGain(Channel, v);                                                        \
    }
MOLVANE_GAIN(Gain, "All")
MOLVANE_GAIN(GainRed, "Red")
MOLVANE_GAIN(GainGreen, "Green")
MOLVANE_GAIN(GainBlue, "Blue")
#undef MOLVANE_GAIN

// Float members whose node may carry the older "Abs" name.
#define MOLVANE_FLOAT(Getter, Setter, First, Second)                                           \
    float CMolvane::Getter(const std::string &)                                                \
    {                                                                                          \
        log(Dispid::Getter, CallKind::Method, {std::string()});                                \
        return created_ ? static_cast<float>(nodes().floatValue(pick({First, Second}))) : 0.0f; \
    }                                                                                          \
    void CMolvane::Setter(const std::string &, float v)                                        \
    {                                                                                          \
        log(Dispid::Setter, CallKind::Method, {std::string(), double(v)});                     \
        if (created_)                                                                          \
            control().setFloatValue(pick({First, Second}), v);                                 \
    }
MOLVANE_FLOAT(GetExposureTime, SetExposureTime, "ExposureTime", "ExposureTimeAbs")
MOLVANE_FLOAT(GetTriggerDelay, SetTriggerDelay, "TriggerDelay", "TriggerDelayAbs")
MOLVANE_FLOAT(GetStrobeDuration, SetStrobeDuration, "TimerDuration", "TimerDurationAbs")
MOLVANE_FLOAT(GetStrobeDelay, SetStrobeDelay, "TimerDelay", "TimerDelayAbs")
#undef MOLVANE_FLOAT

#define MOLVANE_FLOAT_BOUNDS(Member, First, Second)                                            \
    float CMolvane::Get##Member##Min()                                                         \
    {                                                                                          \
        log(Dispid::Get##Member##Min, CallKind::Method);                                       \
        return created_ ? static_cast<float>(nodes().floatMin(pick({First, Second}))) : 0.0f;   \
    }                                                                                          \
    float CMolvane::Get##Member##Max()                                                         \
    {                                                                                          \
        log(Dispid::Get##Member##Max, CallKind::Method);                                       \
        return created_ ? static_cast<float>(nodes().floatMax(pick({First, Second}))) : 0.0f;   \
    }
MOLVANE_FLOAT_BOUNDS(TriggerDelay, "TriggerDelay", "TriggerDelayAbs")
MOLVANE_FLOAT_BOUNDS(StrobeDelay, "TimerDelay", "TimerDelayAbs")
MOLVANE_FLOAT_BOUNDS(StrobeDuration, "TimerDuration", "TimerDurationAbs")
#undef MOLVANE_FLOAT_BOUNDS

std::string CMolvane::GetExposureTimeText()
{
    log(Dispid::GetExposureTimeText, CallKind::Method);
    if (!created_)
        return {};
    const double us = nodes().floatValue(pick({"ExposureTime", "ExposureTimeAbs"}));
    char buf[64];
    if (us < 1000.0)
        std::snprintf(buf, sizeof buf, "%.0f us", us);
    else if (us < 1000000.0)
        std::snprintf(buf, sizeof buf, "%.3f ms", us / 1000.0);
    else
        std::snprintf(buf, sizeof buf, "%.3f s", us / 1000000.0);
    return buf;
}

void CMolvane::SetExposureTimeText(const std::string &text)
{
    log(Dispid::SetExposureTimeText, CallKind::Method, {text});
    if (!created_)
        return;
    const char *begin = text.c_str();
    char *end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin)
        throw CameraError(code::OutOfRange, "\"" + text + "\" is not an exposure time");
    std::string unit(end);
    unit.erase(0, unit.find_first_not_of(" \t"));
    unit.erase(unit.find_last_not_of(" \t") + 1);
    double factor;
    if (unit == "us")
        factor = 1.0;
    else if (unit == "ms")
        factor = 1000.0;
    else if (unit == "s")
        factor = 1000000.0;
    else
        throw CameraError(code::OutOfRange, "exposure units are us, ms and s");
    control().setFloatValue(pick({"ExposureTime", "ExposureTimeAbs"}), value * factor);
}

// ---- trigger, strobe, shots -----------------------------------------------------------

int CMolvane::GetTriggerOnOff()
{
    log(Dispid::TriggerOnOff, CallKind::Get);
    if (!created_)
        return 0;
    FeatureAccess &f = nodes();
    return onFrameStart(f, [&] { return f.enumValue("TriggerMode") == "On" ? 1 : 0; });
}

void CMolvane::SetTriggerOnOff(int on)
{
    log(Dispid::TriggerOnOff, CallKind::Put, {on});
    if (!created_)
        return;
    FeatureAccess &f = control();
    onFrameStart(f, [&] {
        f.setEnumValue("TriggerMode", on ? "On" : "Off");
        return 0;
    });
}

int CMolvane::GetTriggerMode()
{
    log(Dispid::TriggerMode, CallKind::Get);
    if (!created_)
        return 0;
    const std::string e = nodes().enumValue("ExposureMode");
    return e.rfind("Mode", 0) == 0 ? std::atoi(e.c_str() + 4) : 0;
}

void CMolvane::SetTriggerMode(int mode)
{
    log(Dispid::TriggerMode, CallKind::Put, {mode});
    if (created_)
        control().setEnumValue("ExposureMode", "Mode" + std::to_string(mode));
}

void CMolvane::SetExposureTimeInterval(int exposure, int interval)
{
    log(Dispid::SetExposureTimeInterval, CallKind::Method, {exposure, interval});
    if (!created_)
        return;
    if (exposure < 1 || exposure > 64000)
        throw CameraError(code::OutOfRange, "exposure must be 1 to 64000");
    control().setIntValue("ExposureTimeInterval", interval);
    nodes().setFloatValue(pick({"ExposureTime", "ExposureTimeAbs"}),
                          std::max<double>(exposure, nodes().floatMin(pick({"ExposureTime", "ExposureTimeAbs"}))));
}

void CMolvane::SendSoftwareTrigger()
{
    log(Dispid::SendSoftwareTrigger, CallKind::Method);
    if (!created_)
        return;
    FeatureAccess &f = control();
    onFrameStart(f, [&] {
        f.execute("TriggerSoftware");
        return 0;
    });
}

StringList CMolvane::GetStrobeList()
{
    log(Dispid::GetStrobeList, CallKind::Method);
    if (!created_)
        return std::nullopt;
    return nodes().enumEntries("TimerSelector");
}

StringList CMolvane::GetStrobeProperty()
{
    log(Dispid::GetStrobeProperty, CallKind::Method);
    if (!created_)
        return std::nullopt;
    FeatureAccess &f = nodes();
    return std::vector<std::string>{f.enumValue("TimerSelector"), f.enumValue("TimerTriggerSource"),
                                    f.enumValue("TimerTriggerActivation")};
}

void CMolvane::SetStrobeProperty(const std::string &strobe, const std::string &onOff,
                                 const std::string &polarity)
{
    log(Dispid::SetStrobeProperty, CallKind::Method, {strobe, onOff, polarity});
    if (!created_)
        return;
    FeatureAccess &f = control();
    f.setEnumValue("TimerSelector", strobe);
    f.setEnumValue("TimerTriggerSource", onOff);
    f.setEnumValue("TimerTriggerActivation", polarity);
}

int CMolvane::GetMultiShotCount()
{
    log(Dispid::MultiShotCount, CallKind::Get);
    if (!created_)
        return 0;
    FeatureAccess &f = nodes();
    return f.has("AcquisitionFrameCount") ? static_cast<int>(f.intValue("AcquisitionFrameCount")) : shotCount_;
}

void CMolvane::SetMultiShotCount(int count)
{
    log(Dispid::MultiShotCount, CallKind::Put, {count});
    if (!created_)
        return;
    // A camera without a frame count node gets its multi shot counted here.
    FeatureAccess &f = control();
    if (f.has("AcquisitionFrameCount"))
        f.setIntValue("AcquisitionFrameCount", count);
    shotCount_ = count;
}

void CMolvane::StartOneShot()
{
    log(Dispid::StartOneShot, CallKind::Method);
    if (!created_)
        return;
    control().setEnumValue("AcquisitionMode", "SingleFrame");
    if (!dev().streaming())
        SetAcquisition(1);
    dev().startShots(1);
}

void CMolvane::StartMultiShot()
{
    log(Dispid::StartMultiShot, CallKind::Method);
    if (!created_)
        return;
    FeatureAccess &f = nodes();
    const int count = f.has("AcquisitionFrameCount") ? static_cast<int>(f.intValue("AcquisitionFrameCount")) : shotCount_;
    control().setEnumValue("AcquisitionMode", "MultiFrame");
    if (!dev().streaming())
        SetAcquisition(1);
    dev().startShots(count);
}

std::vector<TriggerRecord> CMolvane::GetTriggerSequenceTable()
{
    log(Dispid::TriggerSequenceTable, CallKind::Get);
    return created_ ? dev().triggerSequence() : std::vector<TriggerRecord>{};
}

void CMolvane::SetTriggerSequenceTable(const std::vector<TriggerRecord> &records)
{
    log(Dispid::TriggerSequenceTable, CallKind::Put, {static_cast<int>(records.size())});
    if (!created_)
        return;
    control();
    dev().setTriggerSequence(records);
}

void CMolvane::SaveTriggerSequence(int slot)
{
    log(Dispid::SaveTriggerSequence, CallKind::Method, {slot});
    if (!created_)
        return;
    control();
    dev().saveTriggerSequence(slot);
}

void CMolvane::LoadTriggerSequence(int slot)
{
    log(Dispid::LoadTriggerSequence, CallKind::Method, {slot});
    if (!created_)
        return;
    control();
    dev().loadTriggerSequence(slot);
}

// ---- look-up tables and user sets -------------------------------------------------------

void CMolvane::SetLUTIndex(int index)
{
    log(Dispid::LUTIndex, CallKind::Put, {index});
    if (!created_)
        return;
    auto entries = nodes().enumEntries("LUTSelector");
    if (index < 0 || index >= static_cast<int>(entries.size()))
        throw CameraError(code::OutOfRange, "no LUT " + std::to_string(index));
    control().setEnumValue("LUTSelector", entries[index]);
    lutIndex_ = index;
}

int CMolvane::GetLUTEnable()
{
    log(Dispid::LUTEnable, CallKind::Get);
    return created_ && nodes().boolValue("LUTEnable") ? 1 : 0;
}

void CMolvane::SetLUTEnable(int on)
{
    log(Dispid::LUTEnable, CallKind::Put, {on});
    if (created_)
        control().setBoolValue("LUTEnable", on != 0);
}

int CMolvane::GetLUTPassThrough()
{
    log(Dispid::LUTPassThrough, CallKind::Get);
    return created_ && nodes().boolValue("LUTPassThrough") ? 1 : 0;
}

void CMolvane::SetLUTPassThrough(int on)
{
    log(Dispid::LUTPassThrough, CallKind::Put, {on});
    if (created_)
        control().setBoolValue("LUTPassThrough", on != 0);
}

void CMolvane::WriteLUT(int index, const uint16_t *values)
{
    log(Dispid::WriteLUT, CallKind::Method, {index});
    if (!created_ || !values)
        return;
    control();
    dev().writeLut(index, values, 4096);
}

void CMolvane::SetKneeLUTEnable(int on)
{
    log(Dispid::KneeLUTEnable, CallKind::Put, {on});
    if (created_)
        control().setBoolValue("LUTKneePointOnOff", on != 0);
}

int CMolvane::GetKneeLUTPassThrough()
{
    log(Dispid::KneeLUTPassThrough, CallKind::Get);
    return created_ && nodes().boolValue("KneeLUTPassThrough") ? 1 : 0;
}

void CMolvane::SetKneeLUTPassThrough(int on)
{
    log(Dispid::KneeLUTPassThrough, CallKind::Put, {on});
    if (created_)
        control().setBoolValue("KneeLUTPassThrough", on != 0);
}

void CMolvane::GetKneePoint(int index, int *x, int *y)
{
    log(Dispid::GetKneePoint, CallKind::Method, {index});
    if (!created_)
        return;
    FeatureAccess &f = nodes();
    if (!f.has("LUTKneePointSelector"))
        throw CameraError(code::NoSuchFeature, "the camera has no knee table");
    f.setIntValue("LUTKneePointSelector", index);
    if (x)
        *x = static_cast<int>(f.intValue("LUTKneePointX"));
    if (y)
        *y = static_cast<int>(f.intValue("LUTKneePointY"));
}

void CMolvane::SetKneePoint(int index, int x, int y)
{
    log(Dispid::SetKneePoint, CallKind::Method, {index, x, y});
    if (!created_)
        return;
    FeatureAccess &f = control();
    f.setIntValue("LUTKneePointSelector", index);
    f.setIntValue("LUTKneePointX", x);
    f.setIntValue("LUTKneePointY", y);
    f.execute("LUTKneePointSet");
}

int CMolvane::GetUserSetIndex()
{
    log(Dispid::GetUserSetIndex, CallKind::Method);
    if (!created_)
        return 0;
    auto entries = nodes().enumEntries("UserSetSelector");
    const std::string current = nodes().enumValue("UserSetSelector");
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == current)
            return static_cast<int>(i);
    return 0;
}

int CMolvane::PrepareUserSetSave()
{
    log(Dispid::PrepareUserSetSave, CallKind::Method);
    return created_ && device_ ? 1 : 0;
}

void CMolvane::LoadSaveUserSet(int index, int save)
{
    log(Dispid::LoadSaveUserSet, CallKind::Method, {index, save});
    if (!created_)
        return;
    control();
    dev().loadSaveUserSet(index, save != 0);
    displayChanged();
}

// ---- generic nodes ------------------------------------------------------------------------

StringList CMolvane::GetEnumEntries(const std::string &node)
{
    log(Dispid::GetEnumEntries, CallKind::Method, {node});
    if (!created_)
        return std::nullopt;
    return nodes().enumEntries(node);
}

std::string CMolvane::GetEnumValue(const std::string &node)
{
    log(Dispid::GetEnumValue, CallKind::Method, {node});
    return created_ ? nodes().enumValue(node) : std::string();
}

void CMolvane::SetEnumValue(const std::string &node, const std::string &entry)
{
    log(Dispid::SetEnumValue, CallKind::Method, {node, entry});
    if (created_)
        control().setEnumValue(node, entry);
}

int CMolvane::GetBoolValue(const std::string &node)
{
    log(Dispid::GetBoolValue, CallKind::Method, {node});
    return created_ && nodes().boolValue(node) ? 1 : 0;
}

void CMolvane::SetBoolValue(const std::string &node, int value)
{
    log(Dispid::SetBoolValue, CallKind::Method, {node, value});
    if (created_)
        control().setBoolValue(node, value != 0);
}

int CMolvane::GetIntValue(const std::string &node)
{
    log(Dispid::GetIntValue, CallKind::Method, {node});
    return created_ ? static_cast<int>(nodes().intValue(node)) : 0;
}

void CMolvane::SetIntValue(const std::string &node, int value)
{
    log(Dispid::SetIntValue, CallKind::Method, {node, value});
    if (!created_)
        return;
    if (node == "OffsetX" || node == "Width")
        writeRegion("OffsetX", "Width", node == "OffsetX", value);
    else if (node == "OffsetY" || node == "Height")
        writeRegion("OffsetY", "Height", node == "OffsetY", value);
    else
        control().setIntValue(node, value);
}

int CMolvane::GetIntMin(const std::string &node)
{
    log(Dispid::GetIntMin, CallKind::Method, {node});
    return created_ ? static_cast<int>(nodes().intMin(node)) : 0;
}

int CMolvane::GetIntMax(const std::string &node)
{
    log(Dispid::GetIntMax, CallKind::Method, {node});
    return created_ ? static_cast<int>(nodes().intMax(node)) : 0;
}

int CMolvane::GetIntInc(const std::string &node)
{
    log(Dispid::GetIntInc, CallKind::Method, {node});
    return created_ ? static_cast<int>(nodes().intInc(node)) : 0;
}

float CMolvane::GetFloatValue(const std::string &node)
{
    log(Dispid::GetFloatValue, CallKind::Method, {node});
    return created_ ? static_cast<float>(nodes().floatValue(node)) : 0.0f;
}

void CMolvane::SetFloatValue(const std::string &node, float value)
{
    log(Dispid::SetFloatValue, CallKind::Method, {node, double(value)});
    if (created_)
        control().setFloatValue(node, value);
}

float CMolvane::GetFloatMin(const std::string &node)
{
    log(Dispid::GetFloatMin, CallKind::Method, {node});
    return created_ ? static_cast<float>(nodes().floatMin(node)) : 0.0f;
}

float CMolvane::GetFloatMax(const std::string &node)
{
    log(Dispid::GetFloatMax, CallKind::Method, {node});
    return created_ ? static_cast<float>(nodes().floatMax(node)) : 0.0f;
}

std::string CMolvane::GetStringValue(const std::string &node)
{
    log(Dispid::GetStringValue, CallKind::Method, {node});
    return created_ ? nodes().stringValue(node) : std::string();
}

void CMolvane::SetStringValue(const std::string &node, const std::string &value)
{
    log(Dispid::SetStringValue, CallKind::Method, {node, value});
    if (created_)
        control().setStringValue(node, value);
}

void CMolvane::ExecuteCommand(const std::string &node)
{
    log(Dispid::ExecuteCommand, CallKind::Method, {node});
    if (!created_)
        return;
    if (node == "AcquisitionStart") {
        SetAcquisition(1);
        return;
    }
    if (node == "AcquisitionStop") {
        SetAcquisition(0);
        return;
    }
    control().execute(node);
}

StringList CMolvane::GetChildNodes(const std::string &node)
{
    log(Dispid::GetChildNodes, CallKind::Method, {node});
    if (!created_)
        return std::nullopt;
    return nodes().childNodes(node);
}

std::string CMolvane::GetNodeInterface(const std::string &node)
{
    log(Dispid::GetNodeInterface, CallKind::Method, {node});
    return created_ ? nodes().interfaceName(node) : std::string();
}

std::string CMolvane::GetNodeDescription(const std::string &node)
{
    log(Dispid::GetNodeDescription, CallKind::Method, {node});
    return created_ ? nodes().description(node) : std::string();
}

int CMolvane::GetAccessMode(const std::string &node)
{
    log(Dispid::GetAccessMode, CallKind::Method, {node});
    if (!created_)
        return 0;
    int a = nodes().accessMode(node);
    // In monitoring mode nothing can be written.
    if (openMode_ == OpenMode::Monitor && a == access::ReadWrite)
        return access::ReadOnly;
    if (openMode_ == OpenMode::Monitor && a == access::WriteOnly)
        return access::NotAvailable;
    return a;
}

void CMolvane::SetVisibility(int level)
{
    log(Dispid::SetVisibility, CallKind::Method, {level});
    if (created_)
        nodes().setVisibility(level);
}

// ---- registers ----------------------------------------------------------------------------

int CMolvane::ReadRegister(int address)
{
    log(Dispid::ReadRegister, CallKind::Method, {address});
    return created_ ? static_cast<int>(dev().readRegister(static_cast<uint32_t>(address))) : 0;
}

void CMolvane::WriteRegister(int address, int value)
{
    log(Dispid::WriteRegister, CallKind::Method, {address, value});
    if (!created_)
        return;
    control();
    dev().writeRegister(static_cast<uint32_t>(address), static_cast<uint32_t>(value));
}

} // namespace cam
