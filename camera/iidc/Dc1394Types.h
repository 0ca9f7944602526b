// What libdc1394 reports about an IIDC camera, in plain types the backend and its tests share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cam {

// Pixel encodings of IIDC video modes, in libdc1394's order.
enum class IidcCoding { Mono8, YUV411, YUV422, YUV444, RGB8, Mono16, RGB16, Mono16S, RGB16S, Raw8, Raw16 };

// The colour filter of a Raw (Bayer) Format7 mode, in libdc1394's order.
enum class IidcFilter { RGGB, GBRG, GRBG, BGGR };

// IIDC features, in libdc1394's order.
enum class IidcFeature {
    Brightness, Exposure, Sharpness, WhiteBalance, Hue, Saturation, Gamma, Shutter, Gain, Iris,
    Focus, Temperature, Trigger, TriggerDelay, WhiteShading, FrameRate, Zoom, Pan, Tilt,
    OpticalFilter, CaptureSize, CaptureQuality
};

enum class IidcFeatureMode { Manual, Auto, OnePush };

// Trigger sources: the four input lines, then the software trigger.
constexpr int kIidcSoftwareSource = 4;

struct IidcCameraId {
    uint64_t guid = 0;
    int unit = 0;
};

struct IidcIdentity {
    IidcCameraId id;
    std::string vendor;
    std::string model;
    std::string iidcVersion;  // "1.31"
};

struct IidcFrameRate {
    int id = 0;       // libdc1394's frame rate value
    double fps = 0;
};

struct IidcVideoMode {
    int id = 0;            // libdc1394's video mode value
    bool format7 = false;
    int format7Index = 0;  // Format7 modes: 0..7
    int width = 0;         // fixed modes: their size; Format7: the current size
    int height = 0;
    IidcCoding coding = IidcCoding::Mono8;
};

struct IidcFormat7 {
    int maxWidth = 0, maxHeight = 0;
    int unitWidth = 1, unitHeight = 1, unitLeft = 1, unitTop = 1;
    int left = 0, top = 0, width = 0, height = 0;
    IidcCoding coding = IidcCoding::Mono8;
    std::vector<IidcCoding> codings;
    IidcFilter filter = IidcFilter::RGGB;
    int packetSize = 0, unitPacket = 4, maxPacket = 4;
};

struct IidcFeatureInfo {
    IidcFeature id = IidcFeature::Brightness;
    bool available = false;
    bool absoluteCapable = false;
    bool onOffCapable = false;
    bool isOn = true;
    std::vector<IidcFeatureMode> modes;
    IidcFeatureMode mode = IidcFeatureMode::Manual;
    uint32_t min = 0, max = 0, value = 0;
    uint32_t blueU = 0, redV = 0;  // white balance
    float absMin = 0, absMax = 0, absValue = 0;
    // The trigger feature.
    std::vector<int> triggerModes;    // 0..15
    int triggerMode = 0;
    std::vector<int> triggerSources;  // 0..3 lines, kIidcSoftwareSource
    int triggerSource = 0;
    bool polarityCapable = false;
    bool activeHigh = false;
};

// A frame libdc1394 filled; handed back with enqueue.
struct IidcFrame {
    const uint8_t *image = nullptr;
    size_t bytes = 0;
    int width = 0, height = 0;
    IidcCoding coding = IidcCoding::Mono8;
    int depth = 8;         // significant bits of 16-bit codings
    bool corrupt = false;  // the camera or the bus lost part of it
    void *token = nullptr;
};

enum class IidcDequeue { Frame, Nothing, Failed };

} // namespace cam
