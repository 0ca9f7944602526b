// A simulated camera: a full feature tree, a moving test image at its frame rate, scripted faults.
#pragma once

#include "camera/CameraDevice.h"
#include "camera/FrameRateMeter.h"
#include "camera/NodeMap.h"
#include "camera/sim/SelectorBinding.h"
#include "camera/sim/SimCameraSpec.h"
#include "camera/sim/SimToneCurve.h"
#include "camera/sim/TestPattern.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

namespace cam {

class SimCamera : public CameraDevice, public std::enable_shared_from_this<SimCamera> {
public:
    explicit SimCamera(const SimCameraSpec &params);
    ~SimCamera() override;

    const SimCameraSpec &params() const { return spec_; }
    void setFaults(const SimFaults &faults);
    void markRemoved();

    // CameraDevice
    DeviceInfo info() const override { return spec_.info; }
    void open(OpenMode mode) override;
    void close(OpenMode mode) override;
    bool removed() const override { return removed_; }
    FeatureAccess &features() override { return nodes_; }
    std::vector<std::string> imageFormats() override;
    int imageFormat() override;
    void setImageFormat(int index) override;
    std::vector<std::string> frameRates() override;
    int frameRateIndex() override;
    void setFrameRateIndex(int index) override;
    void startStream(StreamListener &listener, int bufferCount) override;
    void stopStream() override;
    bool streaming() const override { return streaming_; }
    FrameQueue *queue() override { return queue_.get(); }
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

    // Counters for tests and benchmarks.
    uint64_t droppedFrames() const { return dropped_; }

private:
    struct VideoMode {  // IEEE 1394 formats
        std::string name;
        int width;
        int height;
        PixelFormat format;
        std::vector<std::string> rates;
        bool format7;
    };
    using Snapshot = std::map<std::string, Node>;

    void buildTree();
    void buildDeviceNodes();
    void buildFormatNodes();
    void buildAcquisitionNodes();
    void buildAnalogNodes();
    void buildLutAndUserSetNodes();
    void buildTransportNodes();
    void buildHiddenNodes();
    void geometryChanged();
    void lookChanged() { lookDirty_ = true; }
    void toneChanged() { toneDirty_ = true; }
    void rebuildTone();  // on the stream thread
    void lockStreamParameters(bool locked);
    void applyVideoMode(int index);
    void balanceOnce();
    PixelFormat currentFormat();
    double currentFrameRate();
    bool frameDue(std::chrono::steady_clock::time_point &next);
    void streamLoop();
    void produceFrame();
    const TriggerRecord *sequenceRecord();
    PatternLook currentLook(const TriggerRecord *record);
    Snapshot snapshot();
    void restore(const Snapshot &s);

    SimCameraSpec spec_;
    NodeMap nodes_;
    std::unique_ptr<SelectorBinding> gainBinding_;
    std::unique_ptr<SelectorBinding> timerBinding_;
    std::vector<VideoMode> modes_;
    int mode_ = 0;
    std::map<uint32_t, uint32_t> registers_;
    std::vector<TriggerRecord> sequence_;
    std::vector<std::vector<TriggerRecord>> sequenceSlots_;
    std::map<int, std::vector<uint16_t>> luts_;
    std::vector<Snapshot> userSets_;
    // Knee points of the selectors not shown in LUTKneePointX/Y, and the selector shown there.
    std::shared_ptr<std::array<std::pair<int64_t, int64_t>, 4>> kneePoints_;
    std::shared_ptr<int64_t> kneeSelected_;

    mutable std::mutex stateMutex_;  // protects controllers_, monitors_, faults_, registers_ and luts_
    SimFaults faults_;
    int controllers_ = 0;
    int monitors_ = 0;
    std::atomic<bool> removed_{false};

    std::mutex streamMutex_;  // protects the stream control below and wakes the stream thread
    std::condition_variable wake_;
    std::thread thread_;
    bool stopRequested_ = false;
    int softwareTriggers_ = 0;
    int shotsRemaining_ = 0;
    std::atomic<bool> streaming_{false};
    std::atomic<bool> lookDirty_{true};
    std::atomic<bool> toneDirty_{true};
    SimToneCurve tone_;  // used by the stream thread only
    StreamListener *listener_ = nullptr;
    std::unique_ptr<FrameQueue> queue_;
    TestPattern pattern_;  // used by the stream thread only
    uint64_t frameNumber_ = 0;
    TriggerRecord record_;          // the sequence record of the frame being made
    bool sequenceLook_ = false;     // the pattern carries a record's look
    size_t sequenceIndex_ = 0;      // next record of the trigger sequence (under stateMutex_)
    int sequenceUses_ = 0;          // frames the current record has served (under stateMutex_)
    std::mt19937 random_{12345};

    std::atomic<uint32_t> received_{0};
    std::atomic<uint64_t> dropped_{0};
    FrameRateMeter rateMeter_;
};

} // namespace cam
