// One camera as a backend offers it: identity, opening, features, formats, streaming, registers.
#pragma once

#include "camera/FeatureAccess.h"
#include "camera/FrameQueue.h"
#include "camera/StreamStatistics.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cam {

enum class CameraType { GigE = 0, Ieee1394 = 1 };

struct DeviceInfo {
    std::string model;
    std::string vendor;
    std::string serial;
    std::string userName;
    std::string version;
    std::string ip;
    std::string mac;
    std::string deviceId;  // the "DeviceID" value; it occurs in the list line
    std::string listLine;  // the camera list's text for this camera
    CameraType type = CameraType::GigE;
};

enum class OpenMode { Control, MulticastControl, Monitor };

struct TriggerRecord {
    int32_t order = 0;
    int32_t increment = 0;
    int32_t gain = 0;
    int32_t shutter = 0;
};

// What a streaming device tells its consumer; called on the acquisition thread.
class StreamListener {
public:
    virtual ~StreamListener() = default;
    virtual void framesReady() = 0;
    virtual void frameDropped() = 0;
};

class CameraDevice {
public:
    virtual ~CameraDevice() = default;

    virtual DeviceInfo info() const = 0;

    // Opening: throws CameraError -4 when another application holds the camera, -6 when it
    // cannot be opened at all.
    virtual void open(OpenMode mode) = 0;
    virtual void close(OpenMode mode) = 0;
    virtual bool removed() const = 0;
    // What a call on a removed camera fails with.
    virtual std::string goneMessage() const { return "the camera was disconnected"; }

    virtual FeatureAccess &features() = 0;

    // Image formats by index ("PixelFormat" entries, or IIDC video modes).
    virtual std::vector<std::string> imageFormats() = 0;
    virtual int imageFormat() = 0;
    virtual void setImageFormat(int index) = 0;
    // Frame rates of an IEEE 1394 camera for the current format; throws for other cameras.
    virtual std::vector<std::string> frameRates() = 0;
    virtual int frameRateIndex() = 0;
    virtual void setFrameRateIndex(int index) = 0;

    // Streaming into a pool the device allocates; frames wait in the queue for the consumer.
    virtual void startStream(StreamListener &listener, int bufferCount) = 0;
    virtual void stopStream() = 0;
    virtual bool streaming() const = 0;
    virtual FrameQueue *queue() = 0;
    virtual void startShots(int count) = 0;  // deliver count frames in a shot mode
    virtual double receivedFrameRate() = 0;
    virtual uint32_t receivedFrameCount() = 0;
    // The transport's counts for the current stream, or the last one after it stopped.
    virtual StreamStatistics streamStatistics() const { return {}; }

    virtual uint32_t readRegister(uint32_t address) = 0;
    virtual void writeRegister(uint32_t address, uint32_t value) = 0;

    // Camera-specific tables; a camera without them throws CameraError.
    virtual std::vector<TriggerRecord> triggerSequence() = 0;
    virtual void setTriggerSequence(const std::vector<TriggerRecord> &records) = 0;
    virtual void saveTriggerSequence(int slot) = 0;
    virtual void loadTriggerSequence(int slot) = 0;
    virtual void writeLut(int index, const uint16_t *values, size_t count) = 0;
    virtual void loadSaveUserSet(int index, bool save) = 0;
};

} // namespace cam
