// An IEEE 1394 (IIDC) camera through libdc1394, behind the component's device interface.
#pragma once

#include "camera/CameraDevice.h"
#include "camera/iidc/Dc1394Api.h"
#include "camera/iidc/IidcFeatureNodes.h"
#include "camera/iidc/IidcFormatNodes.h"
#include "camera/iidc/IidcNodeMap.h"
#include "camera/iidc/IidcStream.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace cam {

class IidcCamera : public CameraDevice {
public:
    IidcCamera(std::shared_ptr<Dc1394Api> api, const IidcIdentity &identity);
    ~IidcCamera() override;

    static DeviceInfo describe(const IidcIdentity &identity);
    const IidcCameraId &id() const { return id_; }
    // The camera left the bus (discovery no longer lists it, or capture failed): every
    // further call fails at once and the camera leaves the camera list.
    void markLost();

    DeviceInfo info() const override { return info_; }
    void open(OpenMode mode) override;
    void close(OpenMode mode) override;
    bool removed() const override { return lost_; }
    std::string goneMessage() const override;
    FeatureAccess &features() override;
    std::vector<std::string> imageFormats() override;
    int imageFormat() override;
    void setImageFormat(int index) override;
    std::vector<std::string> frameRates() override;
    int frameRateIndex() override;
    void setFrameRateIndex(int index) override;
    void startStream(StreamListener &listener, int bufferCount) override;
    void stopStream() override;
    bool streaming() const override { return stream_ != nullptr; }
    FrameQueue *queue() override { return queue_.get(); }
    void startShots(int count) override;
    double receivedFrameRate() override;
    uint32_t receivedFrameCount() override;
    uint32_t readRegister(uint32_t address) override;
    void writeRegister(uint32_t address, uint32_t value) override;
    std::vector<TriggerRecord> triggerSequence() override;
    void setTriggerSequence(const std::vector<TriggerRecord> &records) override;
    void saveTriggerSequence(int slot) override;
    void loadTriggerSequence(int slot) override;
    void writeLut(int index, const uint16_t *values, size_t count) override;
    void loadSaveUserSet(int index, bool save) override;

private:
    Dc1394Camera &handle();
    IidcFormatNodes &format();
    void buildTree();
    bool takeShotFrame();
    [[noreturn]] void unsupported(const char *what) const;

    std::shared_ptr<Dc1394Api> api_;
    IidcCameraId id_;
    DeviceInfo info_;
    std::atomic<bool> lost_{false};
    std::mutex openMutex_;  // protects handle_ against two windows opening the camera at once
    std::unique_ptr<Dc1394Camera> handle_;
    std::unique_ptr<IidcNodeMap> nodes_;
    std::unique_ptr<IidcFormatNodes> format_;
    std::unique_ptr<IidcFeatureNodes> featureNodes_;
    std::unique_ptr<FrameQueue> queue_;
    std::unique_ptr<IidcStream> stream_;
    uint32_t lastReceived_ = 0;        // frames of the stream before the current one stopped
    std::atomic<int> shotsLeft_{-1};  // frames the current shot still delivers; -1: not shooting
};

} // namespace cam
