// One IIDC camera as libdc1394 offers it: exactly the calls the IIDC backend makes.
#pragma once

#include "camera/iidc/Dc1394Types.h"

namespace cam {

// Every call either succeeds or throws CameraError with libdc1394's reason.
class Dc1394Camera {
public:
    virtual ~Dc1394Camera() = default;

    // Whether the camera sends isochronous data (for instance to another application).
    virtual bool transmitting() = 0;
    virtual void setTransmission(bool on) = 0;

    virtual std::vector<IidcVideoMode> videoModes() = 0;
    virtual int videoMode() = 0;
    virtual void setVideoMode(int mode) = 0;
    virtual std::vector<IidcFrameRate> frameRates(int mode) = 0;
    virtual int frameRate() = 0;
    virtual void setFrameRate(int rate) = 0;

    virtual IidcFormat7 format7(int mode) = 0;
    // Packet size -1 asks the camera for the largest it allows with this region.
    virtual void setFormat7Roi(int mode, IidcCoding coding, int packetSize, int left, int top,
                               int width, int height) = 0;

    virtual std::vector<IidcFeatureInfo> features() = 0;
    virtual IidcFeatureInfo feature(IidcFeature id) = 0;
    virtual void setFeatureValue(IidcFeature id, uint32_t value) = 0;
    virtual void setFeatureAbsolute(IidcFeature id, float value) = 0;
    virtual void setFeatureMode(IidcFeature id, IidcFeatureMode mode) = 0;
    virtual void setWhiteBalance(uint32_t blueU, uint32_t redV) = 0;

    virtual void setTriggerPower(bool on) = 0;
    virtual void setTriggerMode(int mode) = 0;
    virtual void setTriggerSource(int source) = 0;
    virtual void setTriggerPolarity(bool activeHigh) = 0;
    virtual void softwareTrigger() = 0;

    // Control and status registers, by offset from the camera's command register base.
    virtual uint32_t readRegister(uint64_t offset) = 0;
    virtual void writeRegister(uint64_t offset, uint32_t value) = 0;
    // Strobe output registers, by offset from the strobe control base; throws when the camera
    // has no strobe outputs.
    virtual uint32_t readStrobeRegister(uint64_t offset) = 0;
    virtual void writeStrobeRegister(uint64_t offset, uint32_t value) = 0;

    virtual void setupCapture(int buffers) = 0;
    // Waits up to `timeoutMs` for a frame; a frame is handed back with enqueue.
    virtual IidcDequeue dequeue(int timeoutMs, IidcFrame &frame) = 0;
    virtual void enqueue(const IidcFrame &frame) = 0;
    virtual void stopCapture() = 0;
};

} // namespace cam
