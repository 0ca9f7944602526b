// An IEEE 1394 (IIDC) camera through libdc1394.
#include "camera/iidc/IidcCamera.h"

#include "camera/CameraBus.h"
#include "camera/CameraError.h"
#include "camera/FrameBudget.h"
#include "camera/iidc/IidcNames.h"

#include <algorithm>

namespace cam {

namespace {
constexpr int kCaptureBuffers = 8;  // libdc1394's DMA ring
constexpr int kPoolBuffers = 16;
} // namespace

IidcCamera::IidcCamera(std::shared_ptr<Dc1394Api> api, const IidcIdentity &identity)
    : api_(std::move(api)), id_(identity.id), info_(describe(identity))
{
}

IidcCamera::~IidcCamera() { close(OpenMode::Control); }

DeviceInfo IidcCamera::describe(const IidcIdentity &identity)
{
    DeviceInfo d;
    d.model = identity.model;
    d.vendor = identity.vendor;
    d.serial = iidcSerial(identity.id.guid);
    if (identity.id.unit > 0)
        d.serial += "-" + std::to_string(identity.id.unit);
    d.deviceId = d.serial;
    d.version = identity.iidcVersion.empty() ? "IIDC" : "IIDC " + identity.iidcVersion;
    d.type = CameraType::Ieee1394;
    d.listLine = "[1394] " + d.model + " (" + d.deviceId + ")";
    return d;
}

void IidcCamera::markLost()
{
    if (lost_.exchange(true))
        return;
    CameraBus::instance().remove(this);
}

std::string IidcCamera::goneMessage() const { return "Camera " + info_.deviceId + " was disconnected"; }

void IidcCamera::open(OpenMode mode)
{
    std::lock_guard<std::mutex> lock(openMutex_);
    if (lost_)
        throw CameraError(code::CannotOpen, goneMessage());
    if (mode == OpenMode::Monitor)
        throw CameraError(code::CannotOpen, "an IEEE 1394 camera cannot be opened for monitoring only");
    if (handle_)
        throw CameraError(code::HeldElsewhere, info_.deviceId + " is open in another window");
    std::unique_ptr<Dc1394Camera> h = api_->open(id_);
    if (!h)
        throw CameraError(code::CannotOpen, info_.deviceId + " cannot be opened");
    bool busy = false;
    try {
        busy = h->transmitting();
    } catch (const CameraError &e) {
        throw CameraError(code::CannotOpen, info_.deviceId + " cannot be opened: " + e.what());
    }
    // Isochronous data already flowing means another application is capturing from it.
    if (busy)
        throw CameraError(code::HeldElsewhere, info_.deviceId + " is streaming to another application");
    handle_ = std::move(h);
    try {
        buildTree();
    } catch (const CameraError &e) {
        featureNodes_.reset();
        format_.reset();
        nodes_.reset();
        handle_.reset();
        throw CameraError(code::CannotOpen, info_.deviceId + " cannot be opened: " + e.what());
    }
}

void IidcCamera::buildTree()
{
    nodes_ = std::make_unique<IidcNodeMap>();
    format_ = std::make_unique<IidcFormatNodes>(*nodes_, *handle_);
    featureNodes_ = std::make_unique<IidcFeatureNodes>(*nodes_, *handle_);
    featureNodes_->buildDevice(info_);
    format_->build();
    featureNodes_->buildAcquisition([this] { stopStream(); });
    featureNodes_->buildFeatures();
    featureNodes_->buildTrigger();
    featureNodes_->buildStrobes();
    featureNodes_->buildRegisters();
}

void IidcCamera::close(OpenMode)
{
    stopStream();
    std::lock_guard<std::mutex> lock(openMutex_);
    featureNodes_.reset();
    format_.reset();
    nodes_.reset();
    handle_.reset();
}

Dc1394Camera &IidcCamera::handle()
{
    if (lost_)
        throw CameraError(code::Removed, goneMessage());
    if (!handle_)
        throw CameraError(code::NotOpen, "the camera is not open");
    return *handle_;
}

FeatureAccess &IidcCamera::features()
{
    handle();
    return *nodes_;
}

IidcFormatNodes &IidcCamera::format()
{
    handle();
    return *format_;
}

std::vector<std::string> IidcCamera::imageFormats() { return format().modeNames(); }

int IidcCamera::imageFormat() { return format().modeIndex(); }

void IidcCamera::setImageFormat(int index) { format().setModeIndex(index); }

std::vector<std::string> IidcCamera::frameRates() { return format().rateNames(); }

int IidcCamera::frameRateIndex() { return format().rateIndex(); }

void IidcCamera::setFrameRateIndex(int index) { format().setRateIndex(index); }

void IidcCamera::startStream(StreamListener &listener, int bufferCount)
{
    stopStream();
    Dc1394Camera &h = handle();
    const uint64_t bytes = format_->frameBytes();
    const int count = FrameBudget::buffers(bytes, bufferCount > 0 ? bufferCount : kPoolBuffers, *nodes_);
    queue_ = std::make_unique<FrameQueue>(count, bytes);
    h.setupCapture(kCaptureBuffers);
    try {
        h.setTransmission(true);
    } catch (const CameraError &) {
        h.stopCapture();
        throw;
    }
    format_->setStreaming(true);
    shotsLeft_ = nodes_->enumValue("AcquisitionMode") == "Continuous" ? -1 : 0;
    stream_ = std::make_unique<IidcStream>(h, format_->pixelFormat(), *queue_, listener,
                                           IidcStream::Hooks{[this] { return takeShotFrame(); },
                                                             [this] { markLost(); }});
    stream_->start();
}

void IidcCamera::stopStream()
{
    if (!stream_)
        return;
    stream_->stop();
    lastReceived_ = stream_->received();
    stream_.reset();
    if (!lost_) {
        try {
            handle_->setTransmission(false);
        } catch (const CameraError &) {
            // A camera that cannot be told any more stops sending when it goes.
        }
    }
    handle_->stopCapture();
    format_->setStreaming(false);
}

void IidcCamera::startShots(int count)
{
    handle();
    shotsLeft_ = count;
}

bool IidcCamera::takeShotFrame()
{
    // A shot passes on exactly its frames; the camera keeps sending, the rest is let go.
    int left = shotsLeft_.load();
    do {
        if (left <= 0)
            return left < 0;
    } while (!shotsLeft_.compare_exchange_weak(left, left - 1));
    return true;
}

double IidcCamera::receivedFrameRate() { return stream_ ? stream_->rate() : 0.0; }

uint32_t IidcCamera::receivedFrameCount() { return stream_ ? stream_->received() : lastReceived_; }

uint32_t IidcCamera::readRegister(uint32_t address) { return handle().readRegister(address); }

void IidcCamera::writeRegister(uint32_t address, uint32_t value) { handle().writeRegister(address, value); }

void IidcCamera::unsupported(const char *what) const
{
    throw CameraError(code::NotSupported, std::string("an IEEE 1394 camera has no ") + what);
}

std::vector<TriggerRecord> IidcCamera::triggerSequence() { unsupported("trigger sequence table"); }

void IidcCamera::setTriggerSequence(const std::vector<TriggerRecord> &) { unsupported("trigger sequence table"); }

void IidcCamera::saveTriggerSequence(int) { unsupported("trigger sequence table"); }

void IidcCamera::loadTriggerSequence(int) { unsupported("trigger sequence table"); }

void IidcCamera::writeLut(int, const uint16_t *, size_t) { unsupported("user look-up table"); }

void IidcCamera::loadSaveUserSet(int, bool) { unsupported("user sets"); }

} // namespace cam
