// A GigE Vision or USB3 Vision camera through Aravis.
#include "camera/aravis/AravisCamera.h"

#include "camera/CameraBus.h"
#include "camera/CameraError.h"
#include "camera/FrameBudget.h"
#include "camera/aravis/AravisFramePool.h"
#include "camera/aravis/BackgroundRelease.h"
#include "camera/aravis/PfncFormats.h"

#include <algorithm>
#include <arpa/inet.h>

namespace cam {

namespace {

constexpr int kAravisBuffers = 8;
constexpr uint16_t kGvcpPort = 3956;
constexpr uint32_t kRegGvcpCapability = 0x0934;
constexpr uint32_t kCapabilityPacketResend = 1u << 2;  // bit 29 counted from the top

bool isTimeout(const GError *error)
{
    return error && error->domain == ARV_DEVICE_ERROR && error->code == ARV_DEVICE_ERROR_TIMEOUT;
}

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

AravisCamera::~AravisCamera() { close(mode_); }

void AravisCamera::markLost()
{
    if (lost_.exchange(true))
        return;
    CameraBus::instance().remove(this);
}

std::string AravisCamera::goneMessage() const
{
    return "Camera " + aravisId_ + " (" + info_.deviceId + ") stopped answering";
}

void AravisCamera::fail(GError *error, const std::string &what)
{
    // One control timeout already means several unanswered retries: the camera is gone.
    if (isTimeout(error)) {
        g_error_free(error);
        markLost();
    }
    if (lost_)
        throw CameraError(code::Removed, goneMessage());
    throw CameraError(code::Failed, what + ": " + take(error));
}

ArvDevice *AravisCamera::device() const
{
    if (lost_)
        throw CameraError(code::Removed, goneMessage());
    if (!camera_)
        throw CameraError(code::NotOpen, "the camera is not open");
    return arv_camera_get_device(camera_);
}

void AravisCamera::watchControlLink(ArvDevice *device)
{
    g_signal_connect(device, "control-lost",
                     G_CALLBACK(+[](ArvDevice *, gpointer self) { static_cast<AravisCamera *>(self)->markLost(); }),
                     this);
    if (ARV_IS_GV_DEVICE(device) && !info_.ip.empty())
        watch_ = std::make_unique<ControlLinkWatch>(info_.ip, kGvcpPort, ControlLinkWatch::Timing{},
                                                    [this] { markLost(); });
}

void AravisCamera::open(OpenMode mode)
{
    std::lock_guard<std::mutex> lock(aravisMutex());
    if (lost_)
        throw CameraError(code::CannotOpen, goneMessage());
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
    // Registers the description does not mark uncachable are read from the camera once and
    // then served from Aravis's cache (a write goes through to the camera and the cache).
    arv_device_set_register_cache_policy(dev, ARV_REGISTER_CACHE_POLICY_ENABLE);
    camera_ = camera;
    mode_ = mode;
    features_ = std::make_unique<AravisFeatures>(dev, info_.deviceId, [this](GError *e, const std::string &what) {
        fail(e, what);
    });
    watchControlLink(dev);
}

void AravisCamera::close(OpenMode)
{
    stopStream();
    watch_.reset();
    features_.reset();
    ArvCamera *camera = camera_;
    camera_ = nullptr;
    if (!camera)
        return;
    g_signal_handlers_disconnect_by_data(arv_camera_get_device(camera), this);
    if (lost_) {
        // Aravis's teardown of a device that does not answer waits for its heartbeat and a
        // last control write to time out.
        BackgroundRelease::run([camera] { g_object_unref(camera); });
        return;
    }
    std::lock_guard<std::mutex> lock(aravisMutex());
    g_object_unref(camera);
}

FeatureAccess &AravisCamera::features()
{
    if (lost_)
        throw CameraError(code::Removed, goneMessage());
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
    // Under the delivery lock, which the stream thread holds while it counts: whatever orders the
    // stream thread's start (GLib's own locks) is invisible to ThreadSanitizer.
    std::lock_guard<std::mutex> lock(deliveryMutex_);
    listener_ = &listener;
    received_ = 0;
    frameNumber_ = 0;
    underrunsSeen_ = 0;
    rateMeter_.reset();
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
    const int64_t width = features().intValue("Width");
    const int64_t height = features().intValue("Height");
    if (width <= 0 || height <= 0 || width > 1 << 20 || height > 1 << 20)
        throw CameraError(code::OutOfRange, "the camera reports an image of " + std::to_string(width) +
                                                " x " + std::to_string(height) + " pixels");
    const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
    const int count = FrameBudget::buffers(bytes, bufferCount > 0 ? bufferCount : 16, features());
    queue_ = std::make_unique<FrameQueue>(count, bytes);
    pool_.reset();
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
    if (features_)
        features_->keepLockedValues(true);
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
    // Lost packets are asked for again only from a camera that says it serves PACKETRESEND_CMD;
    // requests to one that does not (the fake camera) go unanswered and only add traffic.
    const bool resend = ARV_IS_GV_DEVICE(arv_camera_get_device(camera)) &&
                        (readRegister(kRegGvcpCapability) & kCapabilityPacketResend) != 0;
    GError *error = nullptr;
    const guint payload = arv_camera_get_payload(camera, &error);
    if (error)
        fail(error, "cannot read the payload size");
    // The stream receives straight into the component's pool: no frame is copied. Aravis
    // needs a few buffers of its own beyond those the consumer may hold.
    const int total = FrameBudget::buffers(payload, (bufferCount > 0 ? bufferCount : 16) + kAravisBuffers,
                                           features());
    pool_ = std::make_unique<AravisFramePool>(total, payload);
    queue_.reset();
    ArvStream *stream = arv_camera_create_stream(camera, nullptr, nullptr, &error);
    if (!stream) {
        const std::string why = take(error);
        if (mode_ == OpenMode::Monitor)
            throw CameraError(code::NotSupported,
                              "this camera does not stream to a monitoring receiver: " + why);
        throw CameraError(code::Failed, "cannot open the stream: " + why);
    }
    if (ARV_IS_GV_STREAM(stream))
        tuneStream(stream, resend);
    pool_->lendTo(stream);
    resetCounters(listener);
    stream_ = stream;
    g_signal_connect(stream, "new-buffer",
                     G_CALLBACK(+[](ArvStream *s, gpointer self) {
                         if (ArvBuffer *b = arv_stream_try_pop_buffer(s))
                             static_cast<AravisCamera *>(self)->bufferDone(s, b);
                     }),
                     this);
    arv_stream_set_emit_signals(stream, TRUE);
    shotsLeft_ = shotMode() ? 0 : -1;
    arv_camera_start_acquisition(camera, &error);
    if (error) {
        if (isTimeout(error))
            markLost();  // so that stopping does not wait on the camera again
        stopStream();
        fail(error, "cannot start acquisition");
    }
}

void AravisCamera::tuneStream(ArvStream *stream, bool resend)
{
    g_object_set(stream, "socket-buffer", ARV_GV_STREAM_SOCKET_BUFFER_AUTO, "packet-resend",
                 resend ? ARV_GV_STREAM_PACKET_RESEND_ALWAYS : ARV_GV_STREAM_PACKET_RESEND_NEVER, nullptr);
}

void AravisCamera::bufferDone(ArvStream *stream, ArvBuffer *buffer)
{
    // Runs on Aravis's stream thread: hands the frame received into the pool to the consumer.
    // Frames Aravis had no buffer for are lost as well; they show in its underrun count.
    std::lock_guard<std::mutex> lock(deliveryMutex_);
    if (!listener_) {
        arv_stream_push_buffer(stream, buffer);  // the stream is being let go
        return;
    }
    guint64 completed = 0, failures = 0, underruns = 0;
    arv_stream_get_statistics(stream, &completed, &failures, &underruns);
    for (; underrunsSeen_ < underruns; ++underrunsSeen_)
        listener_->frameDropped();
    if (arv_buffer_get_status(buffer) != ARV_BUFFER_STATUS_SUCCESS) {
        arv_stream_push_buffer(stream, buffer);
        listener_->frameDropped();
        return;
    }
    if (!takeShotFrame()) {
        arv_stream_push_buffer(stream, buffer);
        return;
    }
    size_t size = 0;
    arv_buffer_get_data(buffer, &size);
    FrameBuffer *b = pool_->take(buffer);
    b->size = size;
    b->width = arv_buffer_get_image_width(buffer);
    b->height = arv_buffer_get_image_height(buffer);
    b->format = pixelFormatFromPfnc(arv_buffer_get_image_pixel_format(buffer), b->bits);
    b->number = ++frameNumber_;
    ++received_;
    rateMeter_.frameArrived(FrameRateMeter::Clock::now());
    if (pool_->queue().push(b))
        listener_->framesReady();
}

void AravisCamera::stopStream()
{
    if (features_)
        features_->keepLockedValues(false);
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
        monitor_->stop();  // its counts stay
        lastStatistics_ = currentStatistics();
        monitor_.reset();
    }
    ArvStream *stream = stream_;
    if (!stream)
        return;
    pool_->withdraw();  // frames the consumer still holds stay with the pool
    const bool lost = lost_;  // nothing to stop on a lost camera
    if (!lost && camera_) {
        GError *error = nullptr;
        arv_camera_stop_acquisition(camera_, &error);
        if (isTimeout(error))
            markLost();
        if (error)
            g_error_free(error);
    }
    arv_stream_set_emit_signals(stream, FALSE);
    {
        // Once a frame being handed on is through, the counts kept are exactly those reported.
        std::lock_guard<std::mutex> lock(deliveryMutex_);
        listener_ = nullptr;
        lastStatistics_ = currentStatistics();
    }
    stream_ = nullptr;
    if (lost) {
        // The stream is released off this thread, with this camera kept alive until no frame
        // can reach it any more.
        BackgroundRelease::run([stream, keep = weak_from_this().lock()] { g_object_unref(stream); });
        return;
    }
    g_object_unref(stream);  // joins the stream thread
}

FrameQueue *AravisCamera::queue() { return pool_ ? &pool_->queue() : queue_.get(); }

StreamStatistics AravisCamera::currentStatistics() const
{
    StreamStatistics s;
    if (monitor_) {
        s.frames = true;
        s.framesCompleted = monitor_->completed();
        s.framesFailed = monitor_->failures();
    }
    if (!stream_)
        return s;
    s.frames = true;
    guint64 completed = 0, failures = 0, underruns = 0;
    arv_stream_get_statistics(stream_, &completed, &failures, &underruns);
    s.framesCompleted = completed;
    s.framesFailed = failures;
    s.framesUnderrun = underruns;
    if (ARV_IS_GV_STREAM(stream_)) {
        s.packets = true;
        s.packetsReceived = arv_stream_get_info_uint64_by_name(stream_, "n_received_packets");
        s.packetsMissing = arv_stream_get_info_uint64_by_name(stream_, "n_missing_packets");
        s.resendRequests = arv_stream_get_info_uint64_by_name(stream_, "n_resend_requests");
        s.packetsResent = arv_stream_get_info_uint64_by_name(stream_, "n_resent_packets");
    }
    return s;
}

StreamStatistics AravisCamera::streamStatistics() const
{
    return stream_ || monitor_ ? currentStatistics() : lastStatistics_;
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
    return stream_ ? rateMeter_.rate(FrameRateMeter::Clock::now()) : 0.0;
}

uint32_t AravisCamera::readRegister(uint32_t address)
{
    GError *error = nullptr;
    guint32 value = 0;
    if (!arv_device_read_register(device(), address, &value, &error))
        fail(error, "cannot read register");
    return value;
}

void AravisCamera::writeRegister(uint32_t address, uint32_t value)
{
    GError *error = nullptr;
    if (!arv_device_write_register(device(), address, value, &error))
        fail(error, "cannot write register");
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
