// The feature tree of a simulated camera: every node name the program uses, with categories,
// visibility levels and access modes as a GenICam camera describes them.
#include "camera/CameraError.h"
#include "camera/sim/SimCamera.h"

#include <array>
#include <cstdio>
#include <memory>

namespace cam {

namespace {

constexpr int Expert = 1, Guru = 2;  // visibility levels; beginner (0) is every node's default

std::vector<std::string> numbered(const std::string &prefix, int from, int to)
{
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i)
        out.push_back(prefix + std::to_string(i));
    return out;
}

int64_t ipValue(const std::string &dotted)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4)
        return 0;
    return (int64_t(a) << 24) | (b << 16) | (c << 8) | d;
}

int64_t macValue(const std::string &mac)
{
    unsigned v[6] = {};
    if (std::sscanf(mac.c_str(), "%x:%x:%x:%x:%x:%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 6)
        return 0;
    int64_t out = 0;
    for (unsigned b : v)
        out = (out << 8) | b;
    return out;
}

} // namespace

void SimCamera::buildTree()
{
    buildDeviceNodes();
    buildFormatNodes();
    buildAcquisitionNodes();
    buildAnalogNodes();
    buildLutAndUserSetNodes();
    buildTransportNodes();
    buildHiddenNodes();
}

void SimCamera::buildDeviceNodes()
{
    const DeviceInfo &i = spec_.info;
    nodes_.category("Root", "DeviceControl");
    nodes_.string("DeviceControl", "DeviceVendorName", i.vendor).description = "Name of the manufacturer.";
    nodes_.string("DeviceControl", "DeviceModelName", i.model).description = "Model of the device.";
    nodes_.string("DeviceControl", "DeviceID", i.deviceId).description =
        "Serial number that identifies the device.";
    nodes_.string("DeviceControl", "DeviceFirmwareVersion", "1.4.2").description =
        "Version of the firmware in the device.";
    nodes_.string("DeviceControl", "DeviceVersion", i.version).visibility = Expert;
    nodes_.string("DeviceControl", "DeviceUserID", i.userName, access::ReadWrite).description =
        "A name the user gives the device.";
    Node &temp = nodes_.real("DeviceControl", "DeviceTemperature", 41.5, -20, 100, access::ReadOnly);
    temp.visibility = Expert;
    temp.description = "Temperature of the sensor board in degrees Celsius.";
    Node &reset = nodes_.command("DeviceControl", "DeviceReset", [this] {
        stopStream();
        restore(userSets_.empty() ? Snapshot() : userSets_[0]);
    });
    reset.visibility = Guru;
    reset.description = "Resets the device to its power-up state.";
}

void SimCamera::buildFormatNodes()
{
    nodes_.category("Root", "ImageFormatControl");
    const bool is1394 = spec_.info.type == CameraType::Ieee1394;
    const int w = spec_.sensorWidth, h = spec_.sensorHeight;
    nodes_.integer("ImageFormatControl", "SensorWidth", w, w, w, 1, access::ReadOnly).visibility = Expert;
    nodes_.integer("ImageFormatControl", "SensorHeight", h, h, h, 1, access::ReadOnly).visibility = Expert;
    nodes_.integer("ImageFormatControl", "WidthMax", w, w, w, 1, access::ReadOnly).visibility = Expert;
    nodes_.integer("ImageFormatControl", "HeightMax", h, h, h, 1, access::ReadOnly).visibility = Expert;
    auto geometry = [this] { geometryChanged(); };
    Node &width = nodes_.integer("ImageFormatControl", "Width", w, 48, w, 8);
    width.description = "Width of the image delivered, in pixels.";
    width.onWrite = geometry;
    Node &height = nodes_.integer("ImageFormatControl", "Height", h, 48, h, 2);
    height.description = "Height of the image delivered, in pixels.";
    height.onWrite = geometry;
    nodes_.integer("ImageFormatControl", "OffsetX", 0, 0, 0, 8).onWrite = geometry;
    nodes_.integer("ImageFormatControl", "OffsetY", 0, 0, 0, 2).onWrite = geometry;
    Node &bh = nodes_.integer("ImageFormatControl", "BinningHorizontal", 1, 1, 2);
    bh.visibility = Expert;
    bh.onWrite = geometry;
    Node &bv = nodes_.integer("ImageFormatControl", "BinningVertical", 1, 1, 2);
    bv.visibility = Expert;
    bv.onWrite = geometry;

    std::vector<std::string> formats;
    if (is1394) {
        const std::vector<std::string> fast = {"1.875", "3.75", "7.5", "15", "30", "60"};
        const std::vector<std::string> slow = {"1.875", "3.75", "7.5", "15"};
        modes_ = {{"640x480 Mono8", 640, 480, PixelFormat::Mono8, fast, false},
                  {"800x600 Mono8", 800, 600, PixelFormat::Mono8, fast, false},
                  {"1024x768 Mono8", 1024, 768, PixelFormat::Mono8, slow, false},
                  {"640x480 Mono16", 640, 480, PixelFormat::Mono16, slow, false},
                  {"Format7 Mode0 Mono8", w, h, PixelFormat::Mono8, {}, true},
                  {"Format7 Mode1 Mono16", w, h, PixelFormat::Mono16, {}, true}};
        for (const auto &m : modes_)
            formats.push_back(m.name);
        mode_ = 0;
    } else {
        formats = spec_.pixelFormats;
    }
    Node &pf = nodes_.enumeration("ImageFormatControl", "PixelFormat", formats, formats.front());
    pf.description = "Format of the pixels delivered by the camera.";
    pf.onWrite = [this, is1394] {
        if (is1394) {
            std::string e = nodes_.locked([&] { return nodes_.find("PixelFormat")->entry; });
            for (size_t k = 0; k < modes_.size(); ++k)
                if (modes_[k].name == e)
                    applyVideoMode(static_cast<int>(k));
        }
        lookChanged();
    };
    Node &bits = nodes_.enumeration("ImageFormatControl", "PixelSize", {"Bpp10", "Bpp12"}, "Bpp12");
    bits.visibility = Expert;
    bits.onWrite = [this] { lookChanged(); };
    if (is1394) {
        Node &rate = nodes_.enumeration("ImageFormatControl", "VideoFrameRateSelector",
                                        modes_[0].rates, "30");
        rate.description = "Frame rate of the current video format, in frames per second.";
        Node &bpp = nodes_.integer("ImageFormatControl", "BytePerPacket", 4096, 64, 4096, 4,
                                   access::ReadOnly);
        bpp.description = "Bytes sent in each isochronous packet (Format7 only).";
        bpp.visibility = Expert;
        applyVideoMode(0);
    }
}

void SimCamera::buildAcquisitionNodes()
{
    nodes_.category("Root", "AcquisitionControl");
    Node &mode = nodes_.enumeration("AcquisitionControl", "AcquisitionMode",
                                    {"Continuous", "SingleFrame", "MultiFrame"}, "Continuous");
    mode.description = "How many frames one start of acquisition delivers.";
    nodes_.command("AcquisitionControl", "AcquisitionStart", [] {});
    nodes_.command("AcquisitionControl", "AcquisitionStop", [this] { stopStream(); });
    nodes_.integer("AcquisitionControl", "AcquisitionFrameCount", 2, 1, 65535).description =
        "Frames delivered by one start in MultiFrame mode.";
    Node &rate = nodes_.real("AcquisitionControl", "AcquisitionFrameRateAbs", spec_.frameRate, 1.0,
                             spec_.maxFrameRate,
                             spec_.info.type == CameraType::GigE ? access::ReadWrite
                                                                 : access::NotImplemented);
    rate.description = "Frame rate of continuous acquisition, in frames per second.";
    nodes_.enumeration("AcquisitionControl", "TriggerSelector", {"FrameStart"}, "FrameStart")
        .visibility = Expert;
    nodes_.enumeration("AcquisitionControl", "TriggerMode", {"Off", "On"}, "Off").description =
        "Whether frames are started by a trigger.";
    nodes_.enumeration("AcquisitionControl", "TriggerSource", {"Line1", "Line2", "Software"},
                       "Line1")
        .description = "Where the trigger comes from. The lines pulse only when a pulse rate "
                       "is simulated for them.";
    nodes_.enumeration("AcquisitionControl", "TriggerActivation",
                       {"RisingEdge", "FallingEdge", "LevelHigh", "LevelLow"}, "RisingEdge");
    Node &em = nodes_.enumeration("AcquisitionControl", "ExposureMode", numbered("Mode", 0, 15),
                                  "Mode0");
    em.description = "Trigger mode number (IIDC trigger modes 0 to 15).";
    nodes_.integer("AcquisitionControl", "TriggerParameter", 1, 0, 4095).visibility = Expert;
    nodes_.real("AcquisitionControl", "TriggerDelay", 0, 0, 4000).description =
        "Delay from the trigger to the start of exposure, in microseconds.";
    nodes_.command("AcquisitionControl", "TriggerSoftware", [this] {
        std::lock_guard<std::mutex> lock(streamMutex_);
        ++softwareTriggers_;
        wake_.notify_all();
    });
    nodes_.integer("AcquisitionControl", "ExposureTimeInterval", 1, 1, 64000).visibility = Guru;
    Node &exp = nodes_.real("AcquisitionControl", "ExposureTime", 10000, 20, 1000000);
    exp.description = "Exposure time in microseconds.";
    exp.onWrite = [this] { lookChanged(); };
    nodes_.enumeration("AcquisitionControl", "ExposureAuto", {"Off", "Continuous"}, "Off").onWrite =
        [this] { lookChanged(); };
    nodes_.integer("AcquisitionControl", "AutoExposure", 128, 0, 255).description =
        "Target brightness of automatic exposure.";

    nodes_.category("Root", "CounterAndTimerControl", Expert);
    nodes_.enumeration("CounterAndTimerControl", "TimerSelector", numbered("Timer", 0, 3), "Timer0");
    nodes_.enumeration("CounterAndTimerControl", "TimerTriggerSource", {"OFF", "ON"}, "OFF");
    nodes_.enumeration("CounterAndTimerControl", "TimerTriggerActivation",
                       {"LevelHigh", "LevelLow"}, "LevelHigh");
    nodes_.real("CounterAndTimerControl", "TimerDelay", 0, 0, 65535);
    nodes_.real("CounterAndTimerControl", "TimerDuration", 1000, 0, 64000).description =
        "Strobe pulse length in microseconds, in steps of 250.";
    timerBinding_ = std::make_unique<SelectorBinding>(
        nodes_, "TimerSelector",
        std::vector<std::string>{"TimerTriggerSource", "TimerTriggerActivation", "TimerDelay",
                                 "TimerDuration"});
    nodes_.find("TimerSelector")->onWrite = [this] { timerBinding_->selectorChanged(); };
}

void SimCamera::buildAnalogNodes()
{
    const bool colour = spec_.kind != SimKind::Ieee1394Mono;
    nodes_.category("Root", "AnalogControl");
    std::vector<std::string> selectors = colour ? std::vector<std::string>{"All", "Red", "Green", "Blue"}
                                                : std::vector<std::string>{"All"};
    nodes_.enumeration("AnalogControl", "GainSelector", selectors, "All");
    Node &gain = nodes_.real("AnalogControl", "Gain", 0, 0, 24);
    gain.description = "Amplification of the selected channel, in dB.";
    gain.onWrite = [this] { lookChanged(); };
    gainBinding_ = std::make_unique<SelectorBinding>(nodes_, "GainSelector",
                                                     std::vector<std::string>{"Gain"});
    nodes_.find("GainSelector")->onWrite = [this] { gainBinding_->selectorChanged(); };
    nodes_.enumeration("AnalogControl", "GainAuto", {"Off", "Continuous"}, "Off").onWrite =
        [this] { lookChanged(); };
    Node &black = nodes_.real("AnalogControl", "BlackLevel", 0, 0, 64);
    black.onWrite = [this] { lookChanged(); };
    black.description = "Offset added to every pixel (also called Brightness).";
    nodes_.real("AnalogControl", "Gamma", 1.0, 0.0, 4.0).description = "Gamma correction exponent.";
    nodes_.integer("AnalogControl", "Sharpness", 0, 0, 7);
    if (colour) {
        nodes_.integer("AnalogControl", "Saturation", 128, 0, 255);
        nodes_.integer("AnalogControl", "Hue", 0, -40, 40);
        nodes_.enumeration("AnalogControl", "BalanceWhiteAuto", {"Off", "Continuous", "Once"}, "Off")
            .onWrite = [this] { balanceOnce(); };
    } else {
        nodes_.integer("AnalogControl", "IrisCtrl", 4, 0, 15);
        nodes_.integer("AnalogControl", "PanCtrl", 0, -100, 100);
        nodes_.integer("AnalogControl", "TiltCtrl", 0, -100, 100);
        nodes_.integer("AnalogControl", "OpticalFilter", 0, 0, 3).description =
            "Position of the filter wheel.";
        nodes_.boolean("AnalogControl", "AutoIrisModeOnOff", false).visibility = Expert;
    }
    nodes_.boolean("AnalogControl", "SnowNoiseRemoveOnOff", false).visibility = Expert;
    nodes_.boolean("AnalogControl", "DACControlModeOnOff", false).visibility = Guru;
    nodes_.boolean("AnalogControl", "WDGControlOnOff", false).visibility = Guru;
    nodes_.boolean("AnalogControl", "UserOutputValue", false).visibility = Expert;
}

void SimCamera::buildLutAndUserSetNodes()
{
    nodes_.category("Root", "LUTControl", Expert);
    nodes_.enumeration("LUTControl", "LUTSelector", {"0", "1", "2", "3"}, "0");
    nodes_.boolean("LUTControl", "LUTEnable", false);
    nodes_.boolean("LUTControl", "LUTPassThrough", false);
    nodes_.integer("LUTControl", "LUTIndex", 0, 0, 4095);
    nodes_.integer("LUTControl", "LUTValue", 0, 0, 4095);
    nodes_.boolean("LUTControl", "LUTKneePointOnOff", false);
    nodes_.boolean("LUTControl", "KneeLUTPassThrough", false);
    nodes_.integer("LUTControl", "LUTKneePointSelector", 0, 0, 3);
    nodes_.integer("LUTControl", "LUTKneePointX", 1000, 0, 4095);
    nodes_.integer("LUTControl", "LUTKneePointY", 1000, 0, 4095);
    nodes_.command("LUTControl", "LUTKneePointSet", [this] { toneChanged(); });
    for (const char *name : {"LUTSelector", "LUTEnable", "LUTPassThrough", "LUTKneePointOnOff", "KneeLUTPassThrough"})
        nodes_.find(name)->onWrite = [this] { toneChanged(); };
    // Knee points follow their integer selector: one value pair per index.
    auto points = kneePoints_ = std::make_shared<std::array<std::pair<int64_t, int64_t>, 4>>();
    for (int k = 0; k < 4; ++k)
        (*points)[k] = {1000 + 500 * k, 1000 + 500 * k};
    auto current = kneeSelected_ = std::make_shared<int64_t>(0);
    auto load = [this, points, current] {
        nodes_.locked([&] {
            int64_t sel = nodes_.find("LUTKneePointSelector")->intValue;
            (*points)[*current] = {nodes_.find("LUTKneePointX")->intValue,
                                   nodes_.find("LUTKneePointY")->intValue};
            *current = sel;
            nodes_.find("LUTKneePointX")->intValue = (*points)[sel].first;
            nodes_.find("LUTKneePointY")->intValue = (*points)[sel].second;
            return 0;
        });
    };
    nodes_.find("LUTKneePointSelector")->onWrite = load;
    nodes_.setValueQuiet("LUTKneePointX", 1000);
    nodes_.setValueQuiet("LUTKneePointY", 1000);

    nodes_.category("Root", "UserSetControl");
    std::vector<std::string> sets = {"Default"};
    for (auto &s : numbered("UserSet", 1, 7))
        sets.push_back(s);
    nodes_.enumeration("UserSetControl", "UserSetSelector", sets, "Default");
    nodes_.enumeration("UserSetControl", "UserSetDefaultSelector", sets, "Default").visibility = Expert;
    nodes_.command("UserSetControl", "UserSetLoad", [this] {
        auto sets = nodes_.enumEntries("UserSetSelector");
        std::string s = nodes_.enumValue("UserSetSelector");
        for (size_t k = 0; k < sets.size(); ++k)
            if (sets[k] == s)
                loadSaveUserSet(static_cast<int>(k), false);
    });
    nodes_.command("UserSetControl", "UserSetSave", [this] {
        auto sets = nodes_.enumEntries("UserSetSelector");
        std::string s = nodes_.enumValue("UserSetSelector");
        for (size_t k = 0; k < sets.size(); ++k)
            if (sets[k] == s)
                loadSaveUserSet(static_cast<int>(k), true);
    });
}

void SimCamera::buildTransportNodes()
{
    const DeviceInfo &i = spec_.info;
    if (i.type != CameraType::GigE)
        return;
    nodes_.category("Root", "TransportLayerControl", Expert);
    const char *cat = "TransportLayerControl";
    nodes_.integer(cat, "GevCurrentIPAddress", ipValue(i.ip), 0, 0xffffffffLL, 1, access::ReadOnly);
    nodes_.integer(cat, "GevCurrentSubnetMask", 0xff000000LL, 0, 0xffffffffLL, 1, access::ReadOnly);
    nodes_.integer(cat, "GevCurrentDefaultGateway", ipValue("127.0.0.1"), 0, 0xffffffffLL, 1,
                   access::ReadOnly);
    nodes_.integer(cat, "GevPersistentIPAddress", ipValue(i.ip), 0, 0xffffffffLL);
    nodes_.integer(cat, "GevPersistentSubnetMask", 0xff000000LL, 0, 0xffffffffLL);
    nodes_.integer(cat, "GevPersistentDefaultGateway", ipValue("127.0.0.1"), 0, 0xffffffffLL);
    nodes_.integer(cat, "GevMACAddress", macValue(i.mac), 0, 0xffffffffffffLL, 1, access::ReadOnly);
    nodes_.integer(cat, "GevSCDA", ipValue("127.0.0.1"), 0, 0xffffffffLL).visibility = Guru;
    nodes_.integer(cat, "GevSCPSPacketSize", 1500, 576, 9000, 4);
    nodes_.integer(cat, "GevSCPD", 0, 0, 100000).description =
        "Delay between stream packets, in timestamp ticks.";
    nodes_.boolean(cat, "GevSCPSDoNotFragment", true).visibility = Guru;
}

void SimCamera::buildHiddenNodes()
{
    // A feature this model does not implement, with a subtree: browsers must leave it out.
    Node factory;
    factory.name = "FactoryTest";
    factory.type = NodeType::Category;
    factory.access = access::NotImplemented;
    nodes_.add("Root", factory);
    nodes_.integer("FactoryTest", "FactoryTestPattern", 0, 0, 7, 1, access::NotImplemented);
    Node &seq = nodes_.enumeration("AcquisitionControl", "SequencerMode", {"Off", "On"}, "Off",
                                   access::NotImplemented);
    seq.visibility = Guru;
    // Registers the node tree reads (the MAC address lives at 8 and 12).
    int64_t mac = macValue(spec_.info.mac);
    registers_[0x0000] = 0x00010002;  // version
    registers_[0x0004] = 0x80000001;  // device mode
    registers_[0x0008] = static_cast<uint32_t>((mac >> 32) & 0xffff);
    registers_[0x000C] = static_cast<uint32_t>(mac & 0xffffffff);
    registers_[0x0024] = static_cast<uint32_t>(ipValue(spec_.info.ip));
    registers_[0x0A00] = 0;  // control channel privilege
    registers_[0x0D04] = 1500;
}

} // namespace cam
