// A simulated camera: opening rules, formats, the stream thread, registers and tables.
#include "camera/sim/SimCamera.h"

#include "camera/CameraError.h"
#include "camera/FrameBudget.h"

#include <algorithm>
#include <cmath>

namespace cam {

namespace {
constexpr int kPoolBuffers = 16;
constexpr int kSequenceRecords = 255;
constexpr int kSequenceSlots = 16;

const char *const kUserSetNodes[] = {
    "PixelFormat", "PixelSize", "BinningHorizontal", "BinningVertical", "OffsetX", "OffsetY",
    "Width", "Height", "AcquisitionFrameRateAbs", "ExposureTime", "ExposureAuto", "Gain",
    "GainAuto", "BlackLevel", "Gamma", "Sharpness", "Saturation", "Hue", "TriggerMode",
    "TriggerSource", "TriggerActivation", "ExposureMode", "TriggerParameter", "TriggerDelay",
    "AcquisitionMode", "VideoFrameRateSelector", "BytePerPacket"};

double dbToFactor(double db) { return std::pow(10.0, db / 20.0); }
} // namespace

SimCamera::SimCamera(const SimCameraSpec &params)
    : spec_(params), sequence_(kSequenceRecords), sequenceSlots_(kSequenceSlots),
      faults_(params.faults)
{
    for (auto &slot : sequenceSlots_)
        slot.resize(kSequenceRecords);
    buildTree();
    geometryChanged();
    userSets_.resize(nodes_.enumEntries("UserSetSelector").size());
    userSets_[0] = snapshot();  // the factory set
}

SimCamera::~SimCamera() { stopStream(); }

void SimCamera::setFaults(const SimFaults &faults)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    faults_ = faults;
}

void SimCamera::markRemoved()
{
    removed_ = true;
    stopStream();
}

void SimCamera::open(OpenMode mode)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (removed_ || faults_.unopenable)
        throw CameraError(code::CannotOpen, spec_.info.deviceId + " cannot be opened");
    if (mode == OpenMode::Monitor) {
        ++monitors_;
        return;
    }
    if (faults_.held || controllers_ > 0)
        throw CameraError(code::HeldElsewhere,
                          spec_.info.deviceId + " is held by another application");
    ++controllers_;
}

void SimCamera::close(OpenMode mode)
{
    stopStream();
    std::lock_guard<std::mutex> lock(stateMutex_);
    int &count = mode == OpenMode::Monitor ? monitors_ : controllers_;
    count = std::max(0, count - 1);
}

std::vector<std::string> SimCamera::imageFormats() { return nodes_.enumEntries("PixelFormat"); }

int SimCamera::imageFormat()
{
    auto entries = imageFormats();
    auto it = std::find(entries.begin(), entries.end(), nodes_.enumValue("PixelFormat"));
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

void SimCamera::setImageFormat(int index)
{
    auto entries = imageFormats();
    if (index < 0 || index >= static_cast<int>(entries.size()))
        throw CameraError(code::OutOfRange, "no image format " + std::to_string(index));
    nodes_.setEnumValue("PixelFormat", entries[index]);
}

std::vector<std::string> SimCamera::frameRates()
{
    if (spec_.info.type != CameraType::Ieee1394)
        throw CameraError(code::NotSupported, "a GigE Vision camera has no frame rate list");
    if (modes_[mode_].format7)
        throw CameraError(code::NotSupported, "Format7 has no fixed frame rates");
    return modes_[mode_].rates;
}

int SimCamera::frameRateIndex()
{
    if (spec_.info.type != CameraType::Ieee1394 || modes_[mode_].format7)
        return -1;
    const auto &rates = modes_[mode_].rates;
    auto it = std::find(rates.begin(), rates.end(), nodes_.enumValue("VideoFrameRateSelector"));
    return it == rates.end() ? -1 : static_cast<int>(it - rates.begin());
}

void SimCamera::setFrameRateIndex(int index)
{
    auto rates = frameRates();
    if (index < 0 || index >= static_cast<int>(rates.size()))
        throw CameraError(code::OutOfRange, "no frame rate " + std::to_string(index));
    nodes_.setEnumValue("VideoFrameRateSelector", rates[index]);
}

void SimCamera::applyVideoMode(int index)
{
    mode_ = index;
    const VideoMode &m = modes_[index];
    nodes_.locked([&] {
        Node *w = nodes_.find("Width"), *h = nodes_.find("Height");
        Node *ox = nodes_.find("OffsetX"), *oy = nodes_.find("OffsetY");
        Node *rate = nodes_.find("VideoFrameRateSelector"), *bpp = nodes_.find("BytePerPacket");
        const int fixed = m.format7 ? access::ReadWrite : access::ReadOnly;
        w->access = h->access = ox->access = oy->access = fixed;
        w->intValue = m.width;
        h->intValue = m.height;
        ox->intValue = oy->intValue = 0;
        nodes_.find("PixelFormat")->entry = m.name;
        if (rate) {
            rate->entries = m.rates.empty() ? std::vector<std::string>{"-"} : m.rates;
            rate->access = m.rates.empty() ? access::NotAvailable : access::ReadWrite;
            if (std::find(rate->entries.begin(), rate->entries.end(), rate->entry) ==
                rate->entries.end())
                rate->entry = rate->entries.back();
        }
        if (bpp)
            bpp->access = m.format7 ? access::ReadWrite : access::ReadOnly;
        return 0;
    });
    geometryChanged();
}

void SimCamera::geometryChanged()
{
    nodes_.locked([&] {
        Node *w = nodes_.find("Width"), *h = nodes_.find("Height");
        Node *ox = nodes_.find("OffsetX"), *oy = nodes_.find("OffsetY");
        int64_t bh = nodes_.find("BinningHorizontal")->intValue;
        int64_t bv = nodes_.find("BinningVertical")->intValue;
        int64_t maxW = spec_.sensorWidth / bh, maxH = spec_.sensorHeight / bv;
        if (spec_.info.type == CameraType::Ieee1394 && !modes_[mode_].format7) {
            maxW = modes_[mode_].width;
            maxH = modes_[mode_].height;
        }
        maxW -= maxW % w->intInc;
        maxH -= maxH % h->intInc;
        nodes_.find("WidthMax")->intValue = maxW;
        nodes_.find("HeightMax")->intValue = maxH;
        nodes_.find("WidthMax")->intMin = nodes_.find("WidthMax")->intMax = maxW;
        nodes_.find("HeightMax")->intMin = nodes_.find("HeightMax")->intMax = maxH;
        w->intValue = std::min(w->intValue, maxW);
        h->intValue = std::min(h->intValue, maxH);
        ox->intValue = std::min(ox->intValue, maxW - w->intValue);
        oy->intValue = std::min(oy->intValue, maxH - h->intValue);
        w->intMax = maxW - ox->intValue;
        h->intMax = maxH - oy->intValue;
        ox->intMax = maxW - w->intValue;
        oy->intMax = maxH - h->intValue;
        return 0;
    });
    lookChanged();
}

void SimCamera::lockStreamParameters(bool locked)
{
    const bool fixedMode = spec_.info.type == CameraType::Ieee1394 && !modes_[mode_].format7;
    nodes_.locked([&] {
        for (const char *name :
             {"Width", "Height", "PixelFormat", "PixelSize", "BinningHorizontal", "BinningVertical"}) {
            Node *n = nodes_.find(name);
            bool geometry = std::string(name) == "Width" || std::string(name) == "Height";
            if (n)
                n->access = (locked || (fixedMode && geometry)) ? access::ReadOnly : access::ReadWrite;
        }
        return 0;
    });
}

PixelFormat SimCamera::currentFormat()
{
    if (spec_.info.type == CameraType::Ieee1394)
        return modes_[mode_].format;
    return pixelFormatFromName(nodes_.enumValue("PixelFormat")).value_or(PixelFormat::Mono8);
}

double SimCamera::currentFrameRate()
{
    if (spec_.info.type == CameraType::GigE)
        return nodes_.floatValue("AcquisitionFrameRateAbs");
    if (!modes_[mode_].format7)
        return std::atof(nodes_.enumValue("VideoFrameRateSelector").c_str());
    // Format7: one packet every 125 microseconds carries BytePerPacket bytes.
    double bytes = double(nodes_.intValue("Width")) * nodes_.intValue("Height") *
                   bytesPerPixel(modes_[mode_].format);
    return std::clamp(nodes_.intValue("BytePerPacket") * 8000.0 / bytes, 0.5, 240.0);
}

void SimCamera::balanceOnce()
{
    if (nodes_.enumValue("BalanceWhiteAuto") != "Once")
        return;
    // The camera balances for about a second, then reports "Off".
    std::weak_ptr<SimCamera> self = weak_from_this();
    std::thread([self] {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        if (auto cam = self.lock()) {
            cam->nodes_.setEntryQuiet("BalanceWhiteAuto", "Off");
            cam->lookChanged();
        }
    }).detach();
}

void SimCamera::startStream(StreamListener &listener, int bufferCount)
{
    stopStream();
    const size_t bytes = static_cast<size_t>(nodes_.intValue("Width")) *
                         nodes_.intValue("Height") * bytesPerPixel(currentFormat());
    const int count = FrameBudget::buffers(bytes, bufferCount > 0 ? bufferCount : kPoolBuffers, nodes_);
    auto queue = std::make_unique<FrameQueue>(count, bytes);
    {
        std::lock_guard<std::mutex> lock(streamMutex_);
        listener_ = &listener;
        stopRequested_ = false;
        softwareTriggers_ = 0;
        shotsRemaining_ = 0;
        sequenceIndex_ = sequenceUses_ = 0;
        queue_ = std::move(queue);
    }
    lockStreamParameters(true);
    lookDirty_ = true;
    received_ = 0;
    rateMeter_.reset();
    streaming_ = true;
    thread_ = std::thread(&SimCamera::streamLoop, this);
}

void SimCamera::stopStream()
{
    {
        std::lock_guard<std::mutex> lock(streamMutex_);
        stopRequested_ = true;
        wake_.notify_all();
    }
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
    if (streaming_) {
        streaming_ = false;
        lockStreamParameters(false);
    }
}

void SimCamera::startShots(int count)
{
    std::lock_guard<std::mutex> lock(streamMutex_);
    shotsRemaining_ = count;
    wake_.notify_all();
}

bool SimCamera::frameDue(std::chrono::steady_clock::time_point &next)
{
    using namespace std::chrono;
    for (;;) {
        // Settings are read on every pass, so a change while waiting takes effect at once.
        const bool shots = nodes_.enumValue("AcquisitionMode") != "Continuous";
        const bool triggered = nodes_.enumValue("TriggerMode") == "On";
        const bool software = triggered && nodes_.enumValue("TriggerSource") == "Software";
        double lineHz;
        {
            std::lock_guard<std::mutex> lock(stateMutex_);
            lineHz = faults_.lineHz;
        }
        const bool line = triggered && !software;
        const double fps = line ? lineHz : currentFrameRate();

        std::unique_lock<std::mutex> lock(streamMutex_);
        if (stopRequested_)
            return false;
        const bool waitShot = shots && shotsRemaining_ == 0;
        const bool waitSoftware = software && softwareTriggers_ == 0;
        const bool waitLine = line && lineHz <= 0;  // nothing pulses the input lines
        if (waitShot || waitSoftware || waitLine) {
            wake_.wait_for(lock, milliseconds(20));
            next = steady_clock::now();
            continue;
        }
        const auto period = duration_cast<steady_clock::duration>(duration<double>(1.0 / fps));
        const auto now = steady_clock::now();
        if (!software && now < next) {
            wake_.wait_until(lock, std::min(next, now + milliseconds(50)));
            continue;
        }
        if (software)
            --softwareTriggers_;
        if (shots)
            --shotsRemaining_;
        next += period;
        if (next < now - period * 4)
            next = now;  // far behind: do not burst to catch up
        return true;
    }
}

const TriggerRecord *SimCamera::sequenceRecord()
{
    // Trigger modes 12 and 13 take gain and shutter of each triggered frame from the table.
    const std::string mode = nodes_.enumValue("ExposureMode");
    if (nodes_.enumValue("TriggerMode") != "On" || (mode != "Mode12" && mode != "Mode13"))
        return nullptr;
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (sequenceIndex_ >= sequence_.size() || sequence_[sequenceIndex_].increment <= 0)
        sequenceIndex_ = sequenceUses_ = 0;
    if (sequence_.empty() || sequence_[0].increment <= 0)
        return nullptr;
    record_ = sequence_[sequenceIndex_];
    // A record serves `increment` frames, then the next one; the table repeats after its end.
    if (++sequenceUses_ >= record_.increment) {
        sequenceUses_ = 0;
        ++sequenceIndex_;
    }
    return &record_;
}

PatternLook SimCamera::currentLook(const TriggerRecord *record)
{
    PatternLook look;
    const bool autoExposure = nodes_.enumValue("ExposureAuto") == "Continuous";
    const bool autoGain = nodes_.enumValue("GainAuto") == "Continuous";
    double gain = autoGain ? 0.0 : gainBinding_->value("All", "Gain");
    double exposure = autoExposure ? 10000.0 : nodes_.floatValue("ExposureTime");
    if (record) {
        gain = record->gain;
        exposure = record->shutter;
    }
    look.brightness = exposure / 10000.0 * dbToFactor(gain);
    if (spec_.kind != SimKind::Ieee1394Mono) {
        look.red = dbToFactor(gainBinding_->value("Red", "Gain"));
        look.green = dbToFactor(gainBinding_->value("Green", "Gain"));
        look.blue = dbToFactor(gainBinding_->value("Blue", "Gain"));
    }
    look.blackLevel = static_cast<int>(nodes_.floatValue("BlackLevel"));
    return look;
}

void SimCamera::streamLoop()
{
    auto next = std::chrono::steady_clock::now();
    while (frameDue(next))
        produceFrame();
}

void SimCamera::produceFrame()
{
    const PixelFormat format = currentFormat();
    const TriggerRecord *record = sequenceRecord();
    if (lookDirty_.exchange(false) || record || sequenceLook_) {
        const int bits = nodes_.enumValue("PixelSize") == "Bpp10" ? 10 : 12;
        const auto geometry = [this](const char *name) { return static_cast<int>(nodes_.intValue(name)); };
        const PatternRegion region{geometry("OffsetX"), geometry("OffsetY"), geometry("Width"),
                                   geometry("Height")};
        pattern_.configure(format, geometry("WidthMax"), geometry("HeightMax"), region, bits,
                           currentLook(record));
        sequenceLook_ = record != nullptr;  // the next frame without a record looks normal again
    }
    FrameBuffer *buffer = queue_->acquire();
    ++frameNumber_;
    double dropRate;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        dropRate = faults_.dropRate;
    }
    const bool lost = dropRate > 0 && std::uniform_real_distribution<double>(0, 1)(random_) < dropRate;
    if (!buffer || lost || pattern_.frameBytes() > queue_->bufferCapacity()) {
        queue_->release(buffer);
        ++dropped_;
        listener_->frameDropped();
        return;
    }
    pattern_.render(frameNumber_, buffer->bytes());
    buffer->size = pattern_.frameBytes();
    buffer->width = pattern_.width();
    buffer->height = pattern_.height();
    buffer->format = format;
    buffer->bits = nodes_.enumValue("PixelSize") == "Bpp10" ? 10 : 12;
    if (toneDirty_.exchange(false))
        rebuildTone();
    tone_.apply(*buffer);
    buffer->number = frameNumber_;
    ++received_;
    rateMeter_.frameArrived(FrameRateMeter::Clock::now());
    if (queue_->push(buffer))
        listener_->framesReady();
}

double SimCamera::receivedFrameRate()
{
    return streaming_ ? rateMeter_.rate(FrameRateMeter::Clock::now()) : 0.0;
}

uint32_t SimCamera::readRegister(uint32_t address)
{
    if (address % 4 != 0)
        throw CameraError(code::OutOfRange, "register addresses are multiples of 4");
    if (address >= 0x10000)
        throw CameraError(code::NoSuchFeature, "no register at that address");
    if (address == 0x0D04 && spec_.info.type == CameraType::GigE)
        return static_cast<uint32_t>(nodes_.intValue("GevSCPSPacketSize"));
    std::lock_guard<std::mutex> lock(stateMutex_);
    auto it = registers_.find(address);
    return it == registers_.end() ? 0 : it->second;
}

void SimCamera::writeRegister(uint32_t address, uint32_t value)
{
    if (address % 4 != 0)
        throw CameraError(code::OutOfRange, "register addresses are multiples of 4");
    if (address >= 0x10000)
        throw CameraError(code::NoSuchFeature, "no register at that address");
    if (address <= 0x000C || address == 0x0024)
        throw CameraError(code::AccessDenied, "the register is read-only");
    std::lock_guard<std::mutex> lock(stateMutex_);
    registers_[address] = value;
}

std::vector<TriggerRecord> SimCamera::triggerSequence()
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return sequence_;
}

void SimCamera::setTriggerSequence(const std::vector<TriggerRecord> &records)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    std::vector<TriggerRecord> table(kSequenceRecords);
    std::copy_n(records.begin(), std::min<size_t>(records.size(), kSequenceRecords), table.begin());
    sequence_ = table;
}

void SimCamera::saveTriggerSequence(int slot)
{
    if (slot < 0 || slot >= kSequenceSlots)
        throw CameraError(code::OutOfRange, "trigger sequence slots are 0 to 15");
    std::lock_guard<std::mutex> lock(stateMutex_);
    sequenceSlots_[slot] = sequence_;
}

void SimCamera::loadTriggerSequence(int slot)
{
    if (slot < 0 || slot >= kSequenceSlots)
        throw CameraError(code::OutOfRange, "trigger sequence slots are 0 to 15");
    std::lock_guard<std::mutex> lock(stateMutex_);
    sequence_ = sequenceSlots_[slot];
}

void SimCamera::writeLut(int index, const uint16_t *values, size_t count)
{
    if (index < 0 || index > 3)
        throw CameraError(code::OutOfRange, "LUT index must be 0 to 3");
    std::lock_guard<std::mutex> lock(stateMutex_);
    luts_[index].assign(values, values + count);
    toneChanged();
}

void SimCamera::rebuildTone()
{
    const bool lutOn = nodes_.boolValue("LUTEnable") && !nodes_.boolValue("LUTPassThrough");
    const bool kneeOn = nodes_.boolValue("LUTKneePointOnOff") && !nodes_.boolValue("KneeLUTPassThrough");
    SimToneCurve::KneePoints knee{};
    nodes_.locked([&] {
        for (int k = 0; k < 4; ++k) {
            const bool shown = k == *kneeSelected_;
            knee[k] = {static_cast<int>(shown ? nodes_.find("LUTKneePointX")->intValue : (*kneePoints_)[k].first),
                       static_cast<int>(shown ? nodes_.find("LUTKneePointY")->intValue : (*kneePoints_)[k].second)};
        }
        return 0;
    });
    const auto entries = nodes_.enumEntries("LUTSelector");
    const auto at = std::find(entries.begin(), entries.end(), nodes_.enumValue("LUTSelector"));
    const int index = static_cast<int>(at - entries.begin());
    std::vector<uint16_t> lut;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        auto it = luts_.find(index);
        if (it != luts_.end())
            lut = it->second;
    }
    // A LUT switched on before any was written maps straight through.
    const bool useLut = lutOn && !lut.empty();
    tone_.build(useLut ? &lut : nullptr, kneeOn ? &knee : nullptr);
}

SimCamera::Snapshot SimCamera::snapshot()
{
    return nodes_.locked([&] {
        Snapshot s;
        for (const char *name : kUserSetNodes)
            if (Node *n = nodes_.find(name))
                s[name] = *n;
        return s;
    });
}

void SimCamera::restore(const Snapshot &s)
{
    nodes_.locked([&] {
        for (const auto &[name, saved] : s) {
            Node *n = nodes_.find(name);
            if (!n || n->access != access::ReadWrite)
                continue;
            n->intValue = saved.intValue;
            n->floatValue = saved.floatValue;
            n->boolValue = saved.boolValue;
            n->entry = saved.entry;
        }
        return 0;
    });
    if (spec_.info.type == CameraType::Ieee1394 && !streaming_) {
        std::string e = nodes_.enumValue("PixelFormat");
        for (size_t k = 0; k < modes_.size(); ++k)
            if (modes_[k].name == e)
                applyVideoMode(static_cast<int>(k));
    }
    geometryChanged();
}

void SimCamera::loadSaveUserSet(int index, bool save)
{
    if (index < 0 || index >= static_cast<int>(userSets_.size()))
        throw CameraError(code::OutOfRange, "no user set " + std::to_string(index));
    if (save) {
        if (index == 0)
            throw CameraError(code::AccessDenied, "the default user set is read-only");
        userSets_[index] = snapshot();
        return;
    }
    restore(userSets_[index].empty() ? userSets_[0] : userSets_[index]);
}

} // namespace cam
