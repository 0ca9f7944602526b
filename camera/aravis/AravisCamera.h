// A GigE Vision or USB3 Vision camera through Aravis, behind the component's device interface.
#pragma once

#include "camera/CameraDevice.h"
#include "camera/FrameRateMeter.h"
#include "camera/aravis/AravisFeatures.h"
#include "camera/aravis/ControlLinkWatch.h"
#include "camera/aravis/GvspMonitor.h"

#include <arv.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace cam {

// Serialises Aravis's global device list and device creation across threads.
std::mutex &aravisMutex();

class AravisFramePool;

class AravisCamera : public CameraDevice, public std::enable_shared_from_this<AravisCamera> {
public:
    AravisCamera(const std::string &aravisId, const DeviceInfo &info);
    ~AravisCamera() override;

    const std::string &aravisId() const { return aravisId_; }
    // The camera stopped answering (discovery, its control-lost signal, the link watch or a
    // control timeout): every further call fails at once and the camera leaves the bus.
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
    int frameRateIndex() override { return -1; }
    void setFrameRateIndex(int index) override;
    void startStream(StreamListener &listener, int bufferCount) override;
    void stopStream() override;
    bool streaming() const override { return stream_ != nullptr || monitor_ != nullptr; }
    FrameQueue *queue() override;
    void startShots(int count) override;
    double receivedFrameRate() override;
    uint32_t receivedFrameCount() override { return received_; }
    uint32_t readRegister(uint32_t address) override;
    void writeRegister(uint32_t address, uint32_t value) override;
    std::vector<TriggerRecord> triggerSequence() override;
    void setTriggerSequence(const std::vector<TriggerRecord> &records) override;
    void saveTriggerSequence(int slot) override;
    void loadTriggerSequence(int slot) override;
    void writeLut(int index, const uint16_t *values, size_t count) override;
    void loadSaveUserSet(int index, bool save) override;

    StreamStatistics streamStatistics() const override;

private:
    void bufferDone(ArvStream *stream, ArvBuffer *buffer);
    [[noreturn]] void fail(GError *error, const std::string &what);
    void watchControlLink(ArvDevice *device);
    void startMonitor(StreamListener &listener, int bufferCount);
    void startMulticast(StreamListener &listener, int bufferCount);
    void receiveRoute(const GvspRoute &route, StreamListener &listener, int bufferCount);
    void resetCounters(StreamListener &listener);
    StreamStatistics currentStatistics() const;
    static void tuneStream(ArvStream *stream, bool resend);
    bool shotMode();
    bool takeShotFrame();  // stream thread: whether a frame belongs to the current shot
    ArvDevice *device() const;
    FeatureAccess &control();

    std::string aravisId_;
    DeviceInfo info_;
    std::atomic<bool> lost_{false};
    std::unique_ptr<ControlLinkWatch> watch_;  // GigE Vision cameras while open
    ArvCamera *camera_ = nullptr;
    OpenMode mode_ = OpenMode::Control;
    std::unique_ptr<AravisFeatures> features_;
    ArvStream *stream_ = nullptr;
    std::unique_ptr<GvspMonitor> monitor_;  // a stream received by Molvane's own receiver
    bool multicasting_ = false;             // this controller sends the stream to a group
    std::unique_ptr<FrameQueue> queue_;       // the pool of Molvane's own receiver
    std::unique_ptr<AravisFramePool> pool_;   // the pool Aravis's stream receives into
    std::mutex deliveryMutex_;  // protects listener_, and the counters below while they are reset
    StreamListener *listener_ = nullptr;
    std::atomic<uint32_t> received_{0};
    uint64_t frameNumber_ = 0;  // counted on Aravis's stream thread
    uint64_t underrunsSeen_ = 0;  // likewise
    FrameRateMeter rateMeter_;
    StreamStatistics lastStatistics_;  // of the stream stopped last; UI thread only
    std::atomic<int> shotsLeft_{-1};  // frames the current shot still delivers; -1: not shooting
};

} // namespace cam
