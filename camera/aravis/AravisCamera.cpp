// A GigE Vision or USB3 Vision camera through Aravis.
#include "camera/aravis/AravisCamera.h"

#include "camera/CameraError.h"
#include "camera/aravis/PfncFormats.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>

namespace cam {

namespace {

constexpr int kAravisBuffers = 8;

std::string take(GError *error)
{
    std::string m = error ? error->message : "unknown error";
    if (error)
        g_error_free(error);
    return m;
}

} // namespace

std::mutex &aravisMutex()
{
    static std::mutex m;
    return m;
}

AravisCamera::AravisCamera(const std::string &aravisId, const DeviceInfo &info)
    : aravisId_(aravisId), info_(info)
{
}

AravisCamera::~AravisCamera()
{
    stopStream();
    if (camera_)
        g_object_unref(camera_);
}

void AravisCamera::markRemoved() { removed_ = true; }

ArvDevice *AravisCamera::device() const
{
    if (!camera_)
        throw CameraError(code::NotOpen, "the camera is not open");
    return arv_camera_get_device(camera_);
}

void AravisCamera::open(OpenMode mode)
{
    std::lock_guard<std::mutex> lock(aravisMutex());
    if (removed_)
        throw CameraError(code::CannotOpen, info_.deviceId + " was disconnected");
    if (camera_)
        throw CameraError(code::HeldElsewhere, info_.deviceId + " is open in another window");
    GError *error = nullptr;
    ArvCamera *camera = arv_camera_new(aravisId_.c_str(), &error);
    if (!camera)
        throw CameraError(code::CannotOpen, info_.deviceId + " cannot be opened: " + take(error));
    ArvDevice *dev = arv_camera_get_device(camera);
    if (ARV_IS_GV_DEVICE(dev) && mode != OpenMode::Monitor && !arv_gv_device_is_controller(ARV_GV_DEVICE(dev))) {
        g_object_unref(camera);
        throw CameraError(code::HeldElsewhere, info_.deviceId + " is controlled by another application");
    }
    camera_ = camera;
    mode_ = mode;
    features_ = std::make_unique<AravisFeatures>(dev, info_.deviceId);
}

void AravisCamera::close(OpenMode)
{
    stopStream();
    std::lock_guard<std::mutex> lock(aravisMutex());
    features_.reset();
    if (camera_)
        g_object_unref(camera_);
    camera_ = nullptr;
}

FeatureAccess &AravisCamera::features()
{
    if (!features_)
        throw CameraError(code::NotOpen, "the camera is not open");
    return *features_;
}

std::vector<std::string> AravisCamera::imageFormats() { return features().enumEntries("PixelFormat"); }

int AravisCamera::imageFormat()
{
    const auto entries = imageFormats();
    auto it = std::find(entries.begin(), entries.end(), features().enumValue("PixelFormat"));
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

void AravisCamera::setImageFormat(int index)
{
    const auto entries = imageFormats();
    if (index < 0 || index >= static_cast<int>(entries.size()))
        throw CameraError(code::OutOfRange, "no image format " + std::to_string(index));
    features().setEnumValue("PixelFormat", entries[index]);
}

std::vector<std::string> AravisCamera::frameRates()
{
    throw CameraError(code::NotSupported, "a GigE Vision camera has no frame rate list");
}

void AravisCamera::setFrameRateIndex(int)
{
    throw CameraError(code::NotSupported, "a GigE Vision camera has no frame rate list");
}

void AravisCamera::resetCounters(StreamListener &listener)
{
    listener_ = &listener;
    received_ = 0;
    frameNumber_ = 0;
    underrunsSeen_ = 0;
    std::lock_guard<std::mutex> lock(rateMutex_);
    rateTime_ = std::chrono::steady_clock::now();
    rateCount_ = 0;
    rate_ = 0;
}

namespace {
// Stream channel 0 registers of the GigE Vision bootstrap map.
constexpr uint32_t kRegSCP = 0x0D00;   // port in the low 16 bits
constexpr uint32_t kRegSCPS = 0x0D04;  // packet size in the low 16 bits
constexpr uint32_t kRegSCDA = 0x0D18;  // destination address
constexpr uint16_t kMulticastPort = 50010;

uint32_t ipOf(const std::string &dotted)
{
    in_addr a{};
    if (inet_pton(AF_INET, dotted.c_str(), &a) != 1)
        throw CameraError(code::NotSupported, "monitoring and multicast need a GigE Vision camera");
    return ntohl(a.s_addr);
}
} // namespace

void AravisCamera::receiveRoute(const GvspRoute &route, StreamListener &listener, int bufferCount)
{
    const size_t bytes = static_cast<size_t>(features().intValue("Width")) * features().intValue("Height") * 4;
    queue_ = std::make_unique<FrameQueue>(bufferCount > 0 ? bufferCount : 16, bytes);
    resetCounters(listener);
    monitor_ = std::make_unique<GvspMonitor>();
    monitor_->start(route, *queue_, listener);
}

void AravisCamera::startMonitor(StreamListener &listener, int bufferCount)
{
    // Another application controls the camera: receive what it has the camera send.
    GvspRoute route;
    route.cameraIp = ipOf(info_.ip);
    route.destIp = readRegister(kRegSCDA);
    route.destPort = readRegister(kRegSCP) & 0xffff;
    route.packetSize = readRegister(kRegSCPS) & 0xffff;
    if (route.destPort == 0 || route.destIp == 0)
        throw CameraError(code::NotSupported, "the controlling application is not streaming");
    receiveRoute(route, listener, bufferCount);
}

void AravisCamera::startMulticast(StreamListener &listener, int bufferCount)
{
    // The camera sends to an administratively scoped group named after it, which this
    // window and any monitoring receiver join.
    GvspRoute route;
    route.cameraIp = ipOf(info_.ip);
    route.destIp = 0xEFC00000u | (route.cameraIp & 0xffff);  // 239.192.x.y
    route.destPort = kMulticastPort;
    route.packetSize = readRegister(kRegSCPS) & 0xffff;
    writeRegister(kRegSCDA, route.destIp);
    writeRegister(kRegSCP, (readRegister(kRegSCP) & 0xffff0000u) | route.destPort);
    receiveRoute(route, listener, bufferCount);
    multicasting_ = true;
    features().execute("AcquisitionStart");
}

void AravisCamera::startStream(StreamListener &listener, int bufferCount)
{
    stopStream();
    ArvCamera *camera = camera_;
    if (!camera)
        throw CameraError(code::NotOpen, "the camera is not open");
    if (mode_ == OpenMode::Monitor) {
        startMonitor(listener, bufferCount);
        return;
    }
    if (mode_ == OpenMode::MulticastControl && ARV_IS_GV_DEVICE(arv_camera_get_device(camera))) {
        startMulticast(listener, bufferCount);
        return;
    }
    GError *error = nullptr;
    const guint payload = arv_camera_get_payload(camera, &error);
    if (error)
        throw CameraError(code::Failed, "cannot read the payload size: " + take(error));
    ArvStream *stream = arv_camera_create_stream(camera, nullptr, nullptr, &error);
    if (!stream) {
        const std::string why = take(error);
        if (mode_ == OpenMode::Monitor)
            throw CameraError(code::NotSupported,
                              "this camera does not stream to a monitoring receiver: " + why);
        throw CameraError(code::Failed, "cannot open the stream: " + why);
    }
    if (ARV_IS_GV_STREAM(stream))
        g_object_set(stream, "socket-buffer", ARV_GV_STREAM_SOCKET_BUFFER_AUTO, nullptr);
    queue_ = std::make_unique<FrameQueue>(bufferCount > 0 ? bufferCount : 16, payload);
    for (int i = 0; i < kAravisBuffers; ++i)
        arv_stream_push_buffer(stream, arv_buffer_new(payload, nullptr));
    resetCounters(listener);
    stream_ = stream;
    g_signal_connect(stream, "new-buffer",
                     G_CALLBACK(+[](ArvStream *, gpointer self) {
                         auto *me = static_cast<AravisCamera *>(self);
                         if (ArvBuffer *b = arv_stream_try_pop_buffer(me->stream_))
                             me->bufferDone(b);
                     }),
                     this);
    arv_stream_set_emit_signals(stream, TRUE);
    shotsLeft_ = shotMode() ? 0 : -1;
    arv_camera_start_acquisition(camera, &error);
    if (error) {
        const std::string why = take(error);
        stopStream();
        throw CameraError(code::Failed, "cannot start acquisition: " + why);
    }
}

void AravisCamera::bufferDone(ArvBuffer *buffer)
{
    // Runs on Aravis's stream thread: copy the frame into the pool and hand the buffer back.
    // Frames Aravis had no buffer for are lost as well; they show in its underrun count.
    guint64 completed = 0, failures = 0, underruns = 0;
    arv_stream_get_statistics(stream_, &completed, &failures, &underruns);
    for (; underrunsSeen_ < underruns; ++underrunsSeen_)
        listener_->frameDropped();
    if (arv_buffer_get_status(buffer) != ARV_BUFFER_STATUS_SUCCESS) {
        arv_stream_push_buffer(stream_, buffer);
        listener_->frameDropped();
        return;
    }
    if (!takeShotFrame()) {
        arv_stream_push_buffer(stream_, buffer);
        return;
    }
    FrameBuffer *b = queue_->acquire();
    size_t size = 0;
    const void *data = arv_buffer_get_data(buffer, &size);
    if (!b || size > queue_->bufferCapacity()) {
        queue_->release(b);
        arv_stream_push_buffer(stream_, buffer);
        listener_->frameDropped();
        return;
    }
    std::memcpy(b->data.data(), data, size);
    b->size = size;
    b->width = arv_buffer_get_image_width(buffer);
    b->height = arv_buffer_get_image_height(buffer);
    b->format = pixelFormatFromPfnc(arv_buffer_get_image_pixel_format(buffer), b->bits);
    b->number = ++frameNumber_;
    arv_stream_push_buffer(stream_, buffer);
    ++received_;
    if (queue_->push(b))
        listener_->framesReady();
}

void AravisCamera::stopStream()
{
    if (multicasting_) {
        multicasting_ = false;
        try {
            features().execute("AcquisitionStop");
            writeRegister(kRegSCP, readRegister(kRegSCP) & 0xffff0000u);  // port 0: channel off
        } catch (const CameraError &) {
            // A camera that went away stops sending by itself.
        }
    }
    if (monitor_) {
        monitor_->stop();
        monitor_.reset();
    }
    if (!stream_)
        return;
    if (camera_)
        arv_camera_stop_acquisition(camera_, nullptr);
    arv_stream_set_emit_signals(stream_, FALSE);
    g_object_unref(stream_);  // joins the stream thread
    stream_ = nullptr;
}

void AravisCamera::streamStatistics(uint64_t &completed, uint64_t &failures, uint64_t &underruns) const
{
    completed = failures = underruns = 0;
    if (monitor_) {
        completed = monitor_->completed();
        failures = monitor_->failures();
    }
    if (stream_) {
        guint64 c = 0, f = 0, u = 0;
        arv_stream_get_statistics(stream_, &c, &f, &u);
        completed = c;
        failures = f;
        underruns = u;
    }
}

void AravisCamera::startShots(int count)
{
    if (features().has("AcquisitionFrameCount") && count > 1)
        features().setIntValue("AcquisitionFrameCount", count);
    shotsLeft_ = count;
    features().execute("AcquisitionStart");
}

bool AravisCamera::shotMode()
{
    return features().has("AcquisitionMode") && features().enumValue("AcquisitionMode") != "Continuous";
}

bool AravisCamera::takeShotFrame()
{
    // Some cameras (the fake one among them) keep sending in SingleFrame and MultiFrame mode:
    // a shot delivers exactly its frames, whatever arrives after them is let go.
    int left = shotsLeft_.load();
    while (left > 0 && !shotsLeft_.compare_exchange_weak(left, left - 1)) {
    }
    return left != 0;
}

double AravisCamera::receivedFrameRate()
{
    std::lock_guard<std::mutex> lock(rateMutex_);
    if (!stream_)
        return rate_ = 0.0;
    const auto now = std::chrono::steady_clock::now();
    const double dt = std::chrono::duration<double>(now - rateTime_).count();
    if (dt >= 0.5) {
        const uint32_t count = received_;
        rate_ = (count - rateCount_) / dt;
        rateCount_ = count;
        rateTime_ = now;
    }
    return rate_;
}

uint32_t AravisCamera::readRegister(uint32_t address)
{
    GError *error = nullptr;
    guint32 value = 0;
    if (!arv_device_read_register(device(), address, &value, &error))
        throw CameraError(code::Failed, "cannot read register: " + take(error));
    return value;
}

void AravisCamera::writeRegister(uint32_t address, uint32_t value)
{
    GError *error = nullptr;
    if (!arv_device_write_register(device(), address, value, &error))
        throw CameraError(code::Failed, "cannot write register: " + take(error));
}

std::vector<TriggerRecord> AravisCamera::triggerSequence()
{
    throw CameraError(code::NotSupported, "this camera has no trigger sequence table");
}

void AravisCamera::setTriggerSequence(const std::vector<TriggerRecord> &)
{
    throw CameraError(code::NotSupported, "this camera has no trigger sequence table");
}

void AravisCamera::saveTriggerSequence(int)
{
    throw CameraError(code::NotSupported, "this camera has no trigger sequence table");
}

void AravisCamera::loadTriggerSequence(int)
{
    throw CameraError(code::NotSupported, "this camera has no trigger sequence table");
}

void AravisCamera::writeLut(int index, const uint16_t *values, size_t count)
{
    FeatureAccess &f = features();
    const auto luts = f.enumEntries("LUTSelector");
    if (index < 0 || index >= static_cast<int>(luts.size()))
        throw CameraError(code::OutOfRange, "no LUT " + std::to_string(index));
    f.setEnumValue("LUTSelector", luts[index]);
    const int64_t last = std::min<int64_t>(f.intMax("LUTIndex"), static_cast<int64_t>(count) - 1);
    for (int64_t i = 0; i <= last; ++i) {
        f.setIntValue("LUTIndex", i);
        f.setIntValue("LUTValue", std::min<int64_t>(values[i], f.intMax("LUTValue")));
    }
}

void AravisCamera::loadSaveUserSet(int index, bool save)
{
    FeatureAccess &f = features();
    const auto sets = f.enumEntries("UserSetSelector");
    if (index < 0 || index >= static_cast<int>(sets.size()))
        throw CameraError(code::OutOfRange, "no user set " + std::to_string(index));
    f.setEnumValue("UserSetSelector", sets[index]);
    f.execute(save ? "UserSetSave" : "UserSetLoad");
}

} // namespace cam
