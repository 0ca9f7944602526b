// One camera opened through libdc1394.
#pragma once

#include "camera/iidc/Dc1394Camera.h"

struct __dc1394_camera;

namespace cam {

class Dc1394Handle : public Dc1394Camera {
public:
    explicit Dc1394Handle(__dc1394_camera *camera) : camera_(camera) {}
    ~Dc1394Handle() override;

    bool transmitting() override;
    void setTransmission(bool on) override;
    std::vector<IidcVideoMode> videoModes() override;
    int videoMode() override;
    void setVideoMode(int mode) override;
    std::vector<IidcFrameRate> frameRates(int mode) override;
    int frameRate() override;
    void setFrameRate(int rate) override;
    IidcFormat7 format7(int mode) override;
    void setFormat7Roi(int mode, IidcCoding coding, int packetSize, int left, int top, int width,
                       int height) override;
    std::vector<IidcFeatureInfo> features() override;
    IidcFeatureInfo feature(IidcFeature id) override;
    void setFeatureValue(IidcFeature id, uint32_t value) override;
    void setFeatureAbsolute(IidcFeature id, float value) override;
    void setFeatureMode(IidcFeature id, IidcFeatureMode mode) override;
    void setWhiteBalance(uint32_t blueU, uint32_t redV) override;
    void setTriggerPower(bool on) override;
    void setTriggerMode(int mode) override;
    void setTriggerSource(int source) override;
    void setTriggerPolarity(bool activeHigh) override;
    void softwareTrigger() override;
    uint32_t readRegister(uint64_t offset) override;
    void writeRegister(uint64_t offset, uint32_t value) override;
    uint32_t readStrobeRegister(uint64_t offset) override;
    void writeStrobeRegister(uint64_t offset, uint32_t value) override;
    void setupCapture(int buffers) override;
    IidcDequeue dequeue(int timeoutMs, IidcFrame &frame) override;
    void enqueue(const IidcFrame &frame) override;
    void stopCapture() override;

private:
    __dc1394_camera *camera_;
};

} // namespace cam
