// One camera opened through libdc1394; the only place that converts between libdc1394's
// enumerations and the backend's types.
#include "camera/iidc/Dc1394Handle.h"

#include "camera/CameraError.h"

#include <dc1394/dc1394.h>

#include <poll.h>

namespace cam {

namespace {

void check(dc1394error_t err, const char *what)
{
    if (err != DC1394_SUCCESS)
        throw CameraError(code::Failed, std::string(what) + ": " + dc1394_error_get_string(err));
}

// A value libdc1394 writes through a pointer, or CameraError.
template <typename T, typename Fn>
T fetch(Fn call, const char *what)
{
    T value{};
    check(call(&value), what);
    return value;
}

dc1394feature_t featureOf(IidcFeature f)
{
    return static_cast<dc1394feature_t>(DC1394_FEATURE_MIN + static_cast<int>(f));
}

IidcCoding codingOf(dc1394color_coding_t c)
{
    return static_cast<IidcCoding>(c - DC1394_COLOR_CODING_MIN);
}

dc1394color_coding_t codingOf(IidcCoding c)
{
    return static_cast<dc1394color_coding_t>(DC1394_COLOR_CODING_MIN + static_cast<int>(c));
}

// libdc1394 numbers the trigger modes 0-5, 14 and 15 consecutively.
constexpr int kTriggerModes[] = {0, 1, 2, 3, 4, 5, 14, 15};

int triggerModeNumber(dc1394trigger_mode_t m) { return kTriggerModes[m - DC1394_TRIGGER_MODE_MIN]; }

IidcFeatureInfo convert(const dc1394feature_info_t &f)
{
    IidcFeatureInfo out;
    out.id = static_cast<IidcFeature>(f.id - DC1394_FEATURE_MIN);
    out.available = f.available == DC1394_TRUE;
    out.absoluteCapable = f.absolute_capable == DC1394_TRUE;
    out.onOffCapable = f.on_off_capable == DC1394_TRUE;
    out.isOn = f.is_on == DC1394_ON;
    for (uint32_t i = 0; i < f.modes.num; ++i)
        out.modes.push_back(static_cast<IidcFeatureMode>(f.modes.modes[i] - DC1394_FEATURE_MODE_MIN));
    out.mode = static_cast<IidcFeatureMode>(f.current_mode - DC1394_FEATURE_MODE_MIN);
    out.min = f.min;
    out.max = f.max;
    out.value = f.value;
    out.blueU = f.BU_value;
    out.redV = f.RV_value;
    out.absMin = f.abs_min;
    out.absMax = f.abs_max;
    out.absValue = f.abs_value;
    if (f.id == DC1394_FEATURE_TRIGGER) {
        for (uint32_t i = 0; i < f.trigger_modes.num; ++i)
            out.triggerModes.push_back(triggerModeNumber(f.trigger_modes.modes[i]));
        out.triggerMode = triggerModeNumber(f.trigger_mode);
        for (uint32_t i = 0; i < f.trigger_sources.num; ++i)
            out.triggerSources.push_back(f.trigger_sources.sources[i] - DC1394_TRIGGER_SOURCE_MIN);
        out.triggerSource = f.trigger_source - DC1394_TRIGGER_SOURCE_MIN;
        out.polarityCapable = f.polarity_capable == DC1394_TRUE;
        out.activeHigh = f.trigger_polarity == DC1394_TRIGGER_ACTIVE_HIGH;
    }
    return out;
}

} // namespace

Dc1394Handle::~Dc1394Handle() { dc1394_camera_free(camera_); }

bool Dc1394Handle::transmitting()
{
    return fetch<dc1394switch_t>([&](dc1394switch_t *on) { return dc1394_video_get_transmission(camera_, on); },
                                 "cannot read the transmission state") == DC1394_ON;
}

void Dc1394Handle::setTransmission(bool on)
{
    check(dc1394_video_set_transmission(camera_, on ? DC1394_ON : DC1394_OFF), "cannot switch transmission");
}

std::vector<IidcVideoMode> Dc1394Handle::videoModes()
{
    dc1394video_modes_t modes;
    check(dc1394_video_get_supported_modes(camera_, &modes), "cannot read the video modes");
    std::vector<IidcVideoMode> out;
    for (uint32_t i = 0; i < modes.num; ++i) {
        const dc1394video_mode_t m = modes.modes[i];
        IidcVideoMode v;
        v.id = m;
        v.format7 = dc1394_is_video_mode_scalable(m) == DC1394_TRUE;
        v.format7Index = v.format7 ? m - DC1394_VIDEO_MODE_FORMAT7_MIN : 0;
        uint32_t w = 0, h = 0;
        dc1394color_coding_t coding = DC1394_COLOR_CODING_MONO8;
        if (dc1394_get_image_size_from_video_mode(camera_, m, &w, &h) != DC1394_SUCCESS ||
            dc1394_get_color_coding_from_video_mode(camera_, m, &coding) != DC1394_SUCCESS)
            continue;  // EXIF and still-image modes have no image size
        v.width = static_cast<int>(w);
        v.height = static_cast<int>(h);
        v.coding = codingOf(coding);
        out.push_back(v);
    }
    return out;
}

int Dc1394Handle::videoMode()
{
    return fetch<dc1394video_mode_t>([&](dc1394video_mode_t *m) { return dc1394_video_get_mode(camera_, m); },
                                     "cannot read the video mode");
}

void Dc1394Handle::setVideoMode(int mode)
{
    check(dc1394_video_set_mode(camera_, static_cast<dc1394video_mode_t>(mode)), "cannot set the video mode");
}

std::vector<IidcFrameRate> Dc1394Handle::frameRates(int mode)
{
    dc1394framerates_t rates;
    check(dc1394_video_get_supported_framerates(camera_, static_cast<dc1394video_mode_t>(mode), &rates),
          "cannot read the frame rates");
    std::vector<IidcFrameRate> out;
    for (uint32_t i = 0; i < rates.num; ++i) {
        float fps = 0;
        dc1394_framerate_as_float(rates.framerates[i], &fps);
        out.push_back({rates.framerates[i], fps});
    }
    return out;
}

int Dc1394Handle::frameRate()
{
    return fetch<dc1394framerate_t>([&](dc1394framerate_t *r) { return dc1394_video_get_framerate(camera_, r); },
                                    "cannot read the frame rate");
}

void Dc1394Handle::setFrameRate(int rate)
{
    check(dc1394_video_set_framerate(camera_, static_cast<dc1394framerate_t>(rate)), "cannot set the frame rate");
}

IidcFormat7 Dc1394Handle::format7(int mode)
{
    dc1394format7mode_t f;
    check(dc1394_format7_get_mode_info(camera_, static_cast<dc1394video_mode_t>(mode), &f),
          "cannot read the Format7 mode");
    IidcFormat7 out;
    out.maxWidth = f.max_size_x;
    out.maxHeight = f.max_size_y;
    out.unitWidth = f.unit_size_x;
    out.unitHeight = f.unit_size_y;
    out.unitLeft = f.unit_pos_x;
    out.unitTop = f.unit_pos_y;
    out.left = f.pos_x;
    out.top = f.pos_y;
    out.width = f.size_x;
    out.height = f.size_y;
    out.coding = codingOf(f.color_coding);
    for (uint32_t i = 0; i < f.color_codings.num; ++i)
        out.codings.push_back(codingOf(f.color_codings.codings[i]));
    out.filter = static_cast<IidcFilter>(f.color_filter - DC1394_COLOR_FILTER_MIN);
    out.packetSize = f.packet_size;
    out.unitPacket = f.unit_packet_size;
    out.maxPacket = f.max_packet_size;
    return out;
}

void Dc1394Handle::setFormat7Roi(int mode, IidcCoding coding, int packetSize, int left, int top,
                                 int width, int height)
{
    check(dc1394_format7_set_roi(camera_, static_cast<dc1394video_mode_t>(mode), codingOf(coding),
                                 packetSize < 0 ? DC1394_USE_MAX_AVAIL : packetSize, left, top, width, height),
          "cannot set the Format7 region");
}

std::vector<IidcFeatureInfo> Dc1394Handle::features()
{
    dc1394featureset_t set;
    check(dc1394_feature_get_all(camera_, &set), "cannot read the features");
    std::vector<IidcFeatureInfo> out;
    for (const auto &f : set.feature)
        out.push_back(convert(f));
    return out;
}

IidcFeatureInfo Dc1394Handle::feature(IidcFeature id)
{
    dc1394feature_info_t f;
    f.id = featureOf(id);
    check(dc1394_feature_get(camera_, &f), "cannot read the feature");
    return convert(f);
}

void Dc1394Handle::setFeatureValue(IidcFeature id, uint32_t value)
{
    dc1394_feature_set_absolute_control(camera_, featureOf(id), DC1394_OFF);
    check(dc1394_feature_set_value(camera_, featureOf(id), value), "cannot set the feature");
}

void Dc1394Handle::setFeatureAbsolute(IidcFeature id, float value)
{
    check(dc1394_feature_set_absolute_control(camera_, featureOf(id), DC1394_ON), "cannot use absolute values");
    check(dc1394_feature_set_absolute_value(camera_, featureOf(id), value), "cannot set the feature");
}

void Dc1394Handle::setFeatureMode(IidcFeature id, IidcFeatureMode mode)
{
    const auto m = static_cast<dc1394feature_mode_t>(DC1394_FEATURE_MODE_MIN + static_cast<int>(mode));
    check(dc1394_feature_set_mode(camera_, featureOf(id), m), "cannot set the feature mode");
}

void Dc1394Handle::setWhiteBalance(uint32_t blueU, uint32_t redV)
{
    check(dc1394_feature_whitebalance_set_value(camera_, blueU, redV), "cannot set the white balance");
}

void Dc1394Handle::setTriggerPower(bool on)
{
    check(dc1394_external_trigger_set_power(camera_, on ? DC1394_ON : DC1394_OFF), "cannot switch the trigger");
}

void Dc1394Handle::setTriggerMode(int mode)
{
    for (int i = 0; i < DC1394_TRIGGER_MODE_NUM; ++i)
        if (kTriggerModes[i] == mode) {
            check(dc1394_external_trigger_set_mode(camera_, static_cast<dc1394trigger_mode_t>(DC1394_TRIGGER_MODE_MIN + i)),
                  "cannot set the trigger mode");
            return;
        }
    throw CameraError(code::OutOfRange, "IIDC has no trigger mode " + std::to_string(mode));
}

void Dc1394Handle::setTriggerSource(int source)
{
    check(dc1394_external_trigger_set_source(camera_, static_cast<dc1394trigger_source_t>(DC1394_TRIGGER_SOURCE_MIN + source)),
          "cannot set the trigger source");
}

void Dc1394Handle::setTriggerPolarity(bool activeHigh)
{
    check(dc1394_external_trigger_set_polarity(camera_, activeHigh ? DC1394_TRIGGER_ACTIVE_HIGH : DC1394_TRIGGER_ACTIVE_LOW),
          "cannot set the trigger polarity");
}

void Dc1394Handle::softwareTrigger()
{
    check(dc1394_software_trigger_set_power(camera_, DC1394_ON), "cannot send a software trigger");
}

uint32_t Dc1394Handle::readRegister(uint64_t offset)
{
    return fetch<uint32_t>([&](uint32_t *v) { return dc1394_get_control_registers(camera_, offset, v, 1); },
                           "cannot read the register");
}

void Dc1394Handle::writeRegister(uint64_t offset, uint32_t value)
{
    check(dc1394_set_control_registers(camera_, offset, &value, 1), "cannot write the register");
}

uint32_t Dc1394Handle::readStrobeRegister(uint64_t offset)
{
    return fetch<uint32_t>([&](uint32_t *v) { return dc1394_get_strobe_register(camera_, offset, v); },
                           "cannot read the strobe register");
}

void Dc1394Handle::writeStrobeRegister(uint64_t offset, uint32_t value)
{
    check(dc1394_set_strobe_register(camera_, offset, value), "cannot write the strobe register");
}

void Dc1394Handle::setupCapture(int buffers)
{
    // 1394b cameras run at 800 Mbit/s; older ones stay at 400.
    if (camera_->bmode_capable == DC1394_TRUE &&
        dc1394_video_set_operation_mode(camera_, DC1394_OPERATION_MODE_1394B) == DC1394_SUCCESS)
        dc1394_video_set_iso_speed(camera_, DC1394_ISO_SPEED_800);
    else
        dc1394_video_set_iso_speed(camera_, DC1394_ISO_SPEED_400);
    check(dc1394_capture_setup(camera_, static_cast<uint32_t>(buffers), DC1394_CAPTURE_FLAGS_DEFAULT),
          "cannot set up capture");
}

IidcDequeue Dc1394Handle::dequeue(int timeoutMs, IidcFrame &frame)
{
    // Waiting in poll() rather than in libdc1394 lets the capture thread notice a stop.
    pollfd p{dc1394_capture_get_fileno(camera_), POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs);
    if (ready == 0)
        return IidcDequeue::Nothing;
    if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
        return IidcDequeue::Failed;
    dc1394video_frame_t *f = nullptr;
    if (dc1394_capture_dequeue(camera_, DC1394_CAPTURE_POLICY_POLL, &f) != DC1394_SUCCESS)
        return IidcDequeue::Failed;
    if (!f)
        return IidcDequeue::Nothing;
    frame.image = f->image;
    frame.bytes = f->image_bytes;
    frame.width = static_cast<int>(f->size[0]);
    frame.height = static_cast<int>(f->size[1]);
    frame.coding = codingOf(f->color_coding);
    frame.depth = static_cast<int>(f->data_depth);
    frame.corrupt = dc1394_capture_is_frame_corrupt(camera_, f) == DC1394_TRUE;
    frame.token = f;
    return IidcDequeue::Frame;
}

void Dc1394Handle::enqueue(const IidcFrame &frame)
{
    dc1394_capture_enqueue(camera_, static_cast<dc1394video_frame_t *>(frame.token));
}

void Dc1394Handle::stopCapture() { dc1394_capture_stop(camera_); }

} // namespace cam
