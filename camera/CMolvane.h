// The camera control component: every member callers use, by name, tagged with its DISPID.
#pragma once

#include "camera/CallLog.h"
#include "camera/CameraBus.h"
#include "camera/CameraDevice.h"
#include "camera/CameraEvents.h"
#include "camera/imaging/AviRecorder.h"
#include "camera/imaging/ImageSaver.h"
#include "camera/imaging/ImageSettings.h"

#include <opencv2/core.hpp>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cam {

// A list result: "nothing" (nullopt) is kept apart from a list of zero entries.
using StringList = std::optional<std::vector<std::string>>;
// A byte-array result: nullopt when there is no image.
using ByteArray = std::optional<std::vector<uint8_t>>;
// Runs a call on the user-interface thread.
using Poster = std::function<void(std::function<void()>)>;

class CMolvane;
// Makes the window a component draws its live image in, inside a native parent window.
using DisplayFactory =
    std::function<std::unique_ptr<CameraDisplay>(CMolvane &, void *nativeParent, const ComponentRect &)>;

class CMolvane : private StreamListener, private BusListener {
public:
    CMolvane();
    ~CMolvane() override;
    CMolvane(const CMolvane &) = delete;
    CMolvane &operator=(const CMolvane &) = delete;

    // Creates the component; events go to `events` through `post`. With a native parent (and a
    // display factory installed) the component shows its live image in a window of its own.
    bool Create(const std::string &windowName, Poster post, CameraEvents *events,
                void *nativeParent = nullptr, const ComponentRect &rect = {});
    bool created() const { return created_; }
    static void setDisplayFactory(DisplayFactory factory);
    // The component's window.
    void MoveWindow(const ComponentRect &rect);
    void ShowWindow(bool visible);
    bool IsWindowVisible() const;
    CameraDisplay *display() const { return display_.get(); }
    // Mouse over the shown image, in image pixels (reported by the display).
    void reportMouse(EventId event, int x, int y);

    const CallLog &callLog() const { return log_; }
    CallLog &callLog() { return log_; }

    // Camera selection and acquisition.
    StringList GetCameraList();
    StringList GetCameraInfo(int position);
    int GetCameraIndex();
    void SetCameraIndex(int position);
    int GetMulticastMode();
    void SetMulticastMode(int mode);
    int GetAccessMode();
    void SetAccessMode(int mode);
    int GetCameraType();
    int GetAcquisition();
    void SetAcquisition(int on);
    std::string GetAcquisitionMode();
    void SetAcquisitionMode(const std::string &mode);
    int GetPlayParameterEnabled();
    void SetPlayParameter(int value);
    void RunCtrlF12Action();
    float GetReceivedFrameRate();
    int GetReceivedFrameCount();

    // Geometry, format and transport.
    int GetImageWidth();
    void SetImageWidth(int v);
    int GetImageHeight();
    void SetImageHeight(int v);
    int GetOffsetX();
    void SetOffsetX(int v);
    int GetOffsetY();
    void SetOffsetY(int v);
    int GetMaxWidth();
    int GetMaxHeight();
    StringList GetImageFormatList();
    int GetImageFormat();
    void SetImageFormat(int index);
    int GetBitPerPixel();
    void SetBitPerPixel(int bits);
    StringList GetFrameRateList();
    int GetFrameRateIndex();
    void SetFrameRateIndex(int index);
    int GetBytePerPacket();
    void SetBytePerPacket(int v);
    int GetBytePerPacketMin();
    int GetBytePerPacketMax();

    // Display of the live image.
    void SetZoom(float scale);
    void SetRotation(int degrees);
    void SetFullScreen(int on);
    int GetBayerLayout();
    void SetBayerLayout(int layout);
    int GetBayerConversion();
    void SetBayerConversion(int on);
    int GetBayerAlgorithm();
    void SetBayerAlgorithm(int algorithm);
    int GetFlip();
    void SetFlip(int on);
    int GetMirror();
    void SetMirror(int on);
    int GetNegative();
    void SetNegative(int on);
    void SetOverlayEnable(int on);
    int GetPixelColor(int x, int y);
    // The camera's own R, G, B values of a pixel of a 16-bit frame (Mono16, BayerGR12, ...);
    // empty for 8-bit frames, whose values GetPixelColor gives.
    std::optional<std::array<int, 3>> GetPixelValue(int x, int y);

    // Image data and recording.
    ByteArray GetRgbImage(int unused);
    ByteArray GetRawImage(int unused);
    void SaveImage(const std::string &path, int quality);
    StringList GetAviCodecList();
    void SetAviCodec(const std::string &name);
    void StartAviCapture(const std::string &path, int milliseconds);
    void StopAviCapture();
    // Waits until every image SaveImage queued is on disk.
    void FlushImages();
    // Frames written and lost by the AVI recording (the last one once it stopped) and by the
    // still images; the pages show them while a capture runs.
    WriterStatus recordingStatus() const;
    WriterStatus imageSaveStatus() const;

    // Fixed image features.
    float GetGamma();
    void SetGamma(float v);
    int GetSharpness();
    void SetSharpness(int v);
    int GetSaturation();
    void SetSaturation(int v);
    int GetAutoExposure();
    void SetAutoExposure(int v);
    int GetHue();
    void SetHue(int v);
    float GetBlackLevel();
    void SetBlackLevel(float v);
    int GetIris();
    int GetPan();
    int GetTilt();
    std::string GetExposureAuto();
    void SetExposureAuto(const std::string &v);
    std::string GetGainAuto();
    void SetGainAuto(const std::string &v);
    std::string GetBalanceWhiteAuto();
    void SetBalanceWhiteAuto(const std::string &v);
    int GetGammaMin();
    int GetGammaMax();
    int GetSharpnessMin();
    int GetSharpnessMax();
    int GetSaturationMin();
    int GetSaturationMax();
    int GetGainMin();
    int GetGainMax();
    int GetAutoExposureMin();
    int GetAutoExposureMax();
    int GetHueMin();
    int GetHueMax();
    int GetExposureTimeMin();
    int GetExposureTimeMax();
    float GetBlackLevelMin();
    float GetBlackLevelMax();
    float GetGain(const std::string &unused = {});
    void SetGain(const std::string &unused, float v);
    float GetGainRed(const std::string &unused = {});
    void SetGainRed(const std::string &unused, float v);
    float GetGainGreen(const std::string &unused = {});
    void SetGainGreen(const std::string &unused, float v);
    float GetGainBlue(const std::string &unused = {});
    void SetGainBlue(const std::string &unused, float v);
    float GetExposureTime(const std::string &unused = {});
    void SetExposureTime(const std::string &unused, float v);
    std::string GetExposureTimeText();
    void SetExposureTimeText(const std::string &text);

    // Trigger, strobe and shots.
    int GetTriggerOnOff();
    void SetTriggerOnOff(int on);
    int GetTriggerMode();
    void SetTriggerMode(int mode);
    std::string GetTriggerSource();
    void SetTriggerSource(const std::string &source);
    std::string GetTriggerPolarity();
    void SetTriggerPolarity(const std::string &polarity);
    int GetTriggerParameter();
    void SetTriggerParameter(int v);
    float GetTriggerDelay(const std::string &unused = {});
    void SetTriggerDelay(const std::string &unused, float v);
    float GetTriggerDelayMin();
    float GetTriggerDelayMax();
    void SetExposureTimeInterval(int exposure, int interval);
    void SendSoftwareTrigger();
    StringList GetStrobeList();
    StringList GetStrobeProperty();
    void SetStrobeProperty(const std::string &strobe, const std::string &onOff,
                           const std::string &polarity);
    float GetStrobeDuration(const std::string &unused = {});
    void SetStrobeDuration(const std::string &unused, float v);
    float GetStrobeDelay(const std::string &unused = {});
    void SetStrobeDelay(const std::string &unused, float v);
    float GetStrobeDelayMin();
    float GetStrobeDelayMax();
    float GetStrobeDurationMin();
    float GetStrobeDurationMax();
    int GetMultiShotCount();
    void SetMultiShotCount(int count);
    void StartOneShot();
    void StartMultiShot();
    std::vector<TriggerRecord> GetTriggerSequenceTable();
    void SetTriggerSequenceTable(const std::vector<TriggerRecord> &records);
    void SaveTriggerSequence(int slot);
    void LoadTriggerSequence(int slot);

    // Look-up tables and user sets.
    void SetLUTIndex(int index);
    int GetLUTEnable();
    void SetLUTEnable(int on);
    int GetLUTPassThrough();
    void SetLUTPassThrough(int on);
    void WriteLUT(int index, const uint16_t *values);  // 4096 entries
    void SetKneeLUTEnable(int on);
    int GetKneeLUTPassThrough();
    void SetKneeLUTPassThrough(int on);
    void GetKneePoint(int index, int *x, int *y);
    void SetKneePoint(int index, int x, int y);
    int GetUserSetIndex();
    int PrepareUserSetSave();
    void LoadSaveUserSet(int index, int save);

    // Generic nodes.
    StringList GetEnumEntries(const std::string &node);
    std::string GetEnumValue(const std::string &node);
    void SetEnumValue(const std::string &node, const std::string &entry);
    int GetBoolValue(const std::string &node);
    void SetBoolValue(const std::string &node, int value);
    int GetIntValue(const std::string &node);
    void SetIntValue(const std::string &node, int value);
    int GetIntMin(const std::string &node);
    int GetIntMax(const std::string &node);
    int GetIntInc(const std::string &node);
    float GetFloatValue(const std::string &node);
    void SetFloatValue(const std::string &node, float value);
    float GetFloatMin(const std::string &node);
    float GetFloatMax(const std::string &node);
    std::string GetStringValue(const std::string &node);
    void SetStringValue(const std::string &node, const std::string &value);
    void ExecuteCommand(const std::string &node);
    StringList GetChildNodes(const std::string &node);
    std::string GetNodeInterface(const std::string &node);
    std::string GetNodeDescription(const std::string &node);
    int GetAccessMode(const std::string &node);
    void SetVisibility(int level);

    // Device registers.
    int ReadRegister(int address);
    void WriteRegister(int address, int value);

    // What the display and tests read of the current state.
    const ImageSettings &imageSettings() const { return settings_; }
    float zoom() const { return zoom_; }
    int rotation() const { return rotation_; }
    bool fullScreen() const { return fullScreen_; }
    bool overlayEnabled() const { return overlay_; }
    bool statisticsOverlay() const { return statisticsOverlay_; }
    // The frame being handed out (valid on the user-interface thread until the next frame).
    const FrameBuffer *currentFrame() const { return current_; }
    // The current frame for another thread, without a copy: it stays valid while held (null
    // when there is none).
    std::shared_ptr<const FrameBuffer> lendCurrentFrame() const;
    uint64_t framesDelivered() const { return delivered_; }
    uint64_t framesDropped() const { return dropped_; }
    std::shared_ptr<CameraDevice> device() const { return device_; }

private:
    // StreamListener (acquisition thread)
    void framesReady() override;
    void frameDropped() override;
    // BusListener (any thread)
    void cameraArrived() override;
    void cameraRemoved(int position) override;

    void log(Dispid id, CallKind kind, std::vector<CallArg> args = {}) { log_.add(id, kind, std::move(args)); }
    void postEvent(std::function<void(CameraEvents &)> fire);
    void deliverFrames();
    void releaseCurrent();
    void closeCamera();
    CameraDevice &dev();
    FeatureAccess &nodes();
    FeatureAccess &control();  // for writes: refused in monitoring mode
    // Writes one region value so that the camera never refuses it on the way (see the .cpp).
    void writeRegion(const char *offset, const char *size, bool writeOffset, int value);
    std::string pick(std::initializer_list<const char *> names);
    int boundMin(const std::string &node);
    int boundMax(const std::string &node);
    float channelGain(const std::string &channel);
    void setChannelGain(const std::string &channel, float v);
    const cv::Mat &convertedFrame();
    const cv::Mat *deepFrame();  // the current frame's true 16-bit values, when it has them
    void displayChanged();

    CallLog log_;
    bool created_ = false;
    Poster post_;
    CameraEvents *events_ = nullptr;
    std::unique_ptr<CameraDisplay> display_;
    std::shared_ptr<bool> alive_;

    std::shared_ptr<CameraDevice> device_;
    OpenMode openMode_ = OpenMode::Control;
    int multicast_ = 0;
    int accessMode_ = 0;
    int playParameter_ = 30;
    std::string aviCodec_;
    AviRecorder recorder_;
    ImageSaver saver_;

    ImageSettings settings_;
    float zoom_ = 1.0f;
    int rotation_ = 0;
    bool fullScreen_ = false;
    bool overlay_ = true;
    bool statisticsOverlay_ = false;
    int lutIndex_ = 0;
    int shotCount_ = 2;  // frames of a multi shot on a camera without "AcquisitionFrameCount"

    std::atomic<bool> deliveryPending_{false};
    FrameBuffer *current_ = nullptr;
    uint64_t delivered_ = 0;
    std::atomic<uint64_t> dropped_{0};
    cv::Mat converted_;
    uint64_t convertedNumber_ = ~0ull;
    bool convertedValid_ = false;
    cv::Mat deep_;
    uint64_t deepNumber_ = ~0ull;
};

} // namespace cam
