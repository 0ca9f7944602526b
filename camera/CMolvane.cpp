// The camera control component: creation, camera selection, acquisition, display state, images.
#include "camera/CMolvane.h"

#include "camera/CameraError.h"
#include "camera/imaging/FrameConverter.h"

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace cam {

namespace {
DisplayFactory &displayFactory()
{
    static DisplayFactory factory;
    return factory;
}
} // namespace

CMolvane::CMolvane() : alive_(std::make_shared<bool>(true)) {}

CMolvane::~CMolvane()
{
    if (created_)
        CameraBus::instance().removeListener(this);
    closeCamera();
    display_.reset();
    *alive_ = false;
}

void CMolvane::setDisplayFactory(DisplayFactory factory) { displayFactory() = std::move(factory); }

bool CMolvane::Create(const std::string & /*windowName*/, Poster post, CameraEvents *events,
                      void *nativeParent, const ComponentRect &rect)
{
    if (created_)
        return true;
    if (!post)
        return false;
    post_ = std::move(post);
    events_ = events;
    if (nativeParent && displayFactory())
        display_ = displayFactory()(*this, nativeParent, rect);
    created_ = true;
    CameraBus::instance().addListener(this);
    return true;
}

void CMolvane::MoveWindow(const ComponentRect &rect)
{
    if (display_)
        display_->move(rect);
}

void CMolvane::ShowWindow(bool visible)
{
    if (display_)
        display_->setVisible(visible);
}

bool CMolvane::IsWindowVisible() const { return display_ && display_->isVisible(); }

void CMolvane::reportMouse(EventId event, int x, int y)
{
    if (!events_)
        return;
    switch (event) {
    case EventId::ImageMouseDown: events_->ImageMouseDown(x, y); break;
    case EventId::ImageMouseMove: events_->ImageMouseMove(x, y); break;
    case EventId::ImageMouseUp: events_->ImageMouseUp(x, y); break;
    default: break;
    }
}

void CMolvane::postEvent(std::function<void(CameraEvents &)> fire)
{
    if (!created_)
        return;
    std::weak_ptr<bool> alive = alive_;
    post_([this, alive, fire = std::move(fire)] {
        auto token = alive.lock();
        if (token && *token && events_)
            fire(*events_);
    });
}

// ---- events from the acquisition thread and the bus --------------------------------------

void CMolvane::framesReady()
{
    if (deliveryPending_.exchange(true))
        return;  // a delivery is already on its way and will take this frame too
    std::weak_ptr<bool> alive = alive_;
    post_([this, alive] {
        auto token = alive.lock();
        if (token && *token)
            deliverFrames();
    });
}

void CMolvane::frameDropped()
{
    ++dropped_;
    postEvent([](CameraEvents &e) { e.FrameDropped(); });
}

void CMolvane::cameraArrived()
{
    postEvent([](CameraEvents &e) { e.CameraArrived(); });
}

void CMolvane::cameraRemoved(int position)
{
    postEvent([position](CameraEvents &e) { e.CameraRemoved(position); });
}

void CMolvane::deliverFrames()
{
    deliveryPending_ = false;
    std::weak_ptr<bool> alive = alive_;
    // Frames still queued when the camera went away are not handed on: the camera they would be
    // read against is gone.
    while (device_ && !device_->removed() && device_->queue()) {
        FrameBuffer *next = device_->queue()->pop();
        if (!next)
            return;
        releaseCurrent();
        current_ = next;
        ++delivered_;
        recorder_.push(*current_);
        if (display_)
            display_->frameArrived();
        if (events_)
            events_->ImageReceived(0);
        auto token = alive.lock();
        if (!token || !*token)
            return;  // the handler closed this component
    }
}

std::shared_ptr<const FrameBuffer> CMolvane::lendCurrentFrame() const
{
    if (!current_ || !device_ || !device_->queue())
        return nullptr;
    return device_->queue()->hold(current_);
}

void CMolvane::releaseCurrent()
{
    if (current_ && device_ && device_->queue())
        device_->queue()->release(current_);
    current_ = nullptr;
    convertedValid_ = false;
}

void CMolvane::closeCamera()
{
    recorder_.stop();
    if (!device_)
        return;
    device_->stopStream();
    releaseCurrent();
    device_->close(openMode_);
    device_.reset();
}

CameraDevice &CMolvane::dev()
{
    if (!device_)
        throw CameraError(code::NotOpen, "no camera is open");
    if (device_->removed())
        throw CameraError(code::Removed, device_->goneMessage());
    return *device_;
}

FeatureAccess &CMolvane::nodes() { return dev().features(); }

FeatureAccess &CMolvane::control()
{
    FeatureAccess &f = nodes();
    if (openMode_ == OpenMode::Monitor)
        throw CameraError(code::AccessDenied, "the camera is open for monitoring only");
    return f;
}

std::string CMolvane::pick(std::initializer_list<const char *> names)
{
    FeatureAccess &f = nodes();
    for (const char *n : names)
        if (f.has(n))
            return n;
    throw CameraError(code::NoSuchFeature, std::string("the camera has no ") + *names.begin());
}

// ---- camera selection and acquisition ------------------------------------------------------

StringList CMolvane::GetCameraList()
{
    log(Dispid::GetCameraList, CallKind::Method);
    if (!created_)
        return std::nullopt;
    std::vector<std::string> lines;
    for (const auto &d : CameraBus::instance().devices())
        lines.push_back(d->info().listLine);
    return lines;
}

StringList CMolvane::GetCameraInfo(int position)
{
    log(Dispid::GetCameraInfo, CallKind::Method, {position});
    if (!created_)
        return std::nullopt;
    auto d = CameraBus::instance().device(position);
    if (!d)
        return std::nullopt;
    DeviceInfo i = d->info();
    return std::vector<std::string>{i.model, i.vendor, i.serial, i.userName, i.version, i.ip, i.mac};
}

int CMolvane::GetCameraIndex()
{
    log(Dispid::CameraIndex, CallKind::Get);
    if (!device_ || device_->removed())
        return -1;
    auto all = CameraBus::instance().devices();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] == device_)
            return static_cast<int>(i);
    return -1;
}

void CMolvane::SetCameraIndex(int position)
{
    log(Dispid::CameraIndex, CallKind::Put, {position});
    if (!created_)
        return;
    closeCamera();
    auto d = CameraBus::instance().device(position);
    if (!d)
        throw CameraError(code::CannotOpen, "no camera at list position " + std::to_string(position));
    OpenMode mode = accessMode_ == 2 ? OpenMode::Monitor
                    : multicast_ && d->info().type == CameraType::GigE ? OpenMode::MulticastControl
                                                                       : OpenMode::Control;
    d->open(mode);  // throws -4 or -6
    device_ = d;
    openMode_ = mode;
    settings_ = ImageSettings{};
    auto format = pixelFormatOfEntry(d->features().has("PixelFormat")
                                          ? d->features().enumValue("PixelFormat")
                                          : std::string());
    if (format && isBayer(*format))
        settings_.bayerLayout = bayerLayoutOf(*format);
    displayChanged();
}

int CMolvane::GetMulticastMode()
{
    log(Dispid::MulticastMode, CallKind::Get);
    return multicast_;
}

void CMolvane::SetMulticastMode(int mode)
{
    log(Dispid::MulticastMode, CallKind::Put, {mode});
    multicast_ = mode ? 1 : 0;
}

int CMolvane::GetAccessMode()
{
    log(Dispid::AccessMode, CallKind::Get);
    if (device_)
        return openMode_ == OpenMode::Monitor ? 2 : openMode_ == OpenMode::MulticastControl ? 1 : 0;
    return accessMode_;
}

void CMolvane::SetAccessMode(int mode)
{
    log(Dispid::AccessMode, CallKind::Put, {mode});
    accessMode_ = mode;
}

int CMolvane::GetCameraType()
{
    log(Dispid::GetCameraType, CallKind::Method);
    if (!created_)
        return 0;
    return static_cast<int>(dev().info().type);
}

int CMolvane::GetAcquisition()
{
    log(Dispid::Acquisition, CallKind::Get);
    return device_ && device_->streaming() ? 1 : 0;
}

void CMolvane::SetAcquisition(int on)
{
    log(Dispid::Acquisition, CallKind::Put, {on});
    if (!created_)
        return;
    CameraDevice &d = dev();
    if (!on) {
        recorder_.stop();
        d.stopStream();
        return;
    }
    if (d.streaming())
        return;
    releaseCurrent();
    d.startStream(*this, playParameter_);
}

std::string CMolvane::GetAcquisitionMode()
{
    log(Dispid::AcquisitionMode, CallKind::Get);
    return created_ ? nodes().enumValue("AcquisitionMode") : std::string();
}

void CMolvane::SetAcquisitionMode(const std::string &mode)
{
    log(Dispid::AcquisitionMode, CallKind::Put, {mode});
    if (created_)
        control().setEnumValue("AcquisitionMode", mode);
}

int CMolvane::GetPlayParameterEnabled()
{
    log(Dispid::PlayParameterEnabled, CallKind::Get);
    // PlayParameter sets the number of frame buffers of the next acquisition.
    return device_ ? 1 : 0;
}

void CMolvane::SetPlayParameter(int value)
{
    log(Dispid::PlayParameter, CallKind::Put, {value});
    if (value >= 2 && value <= 256)
        playParameter_ = value;
}

void CMolvane::RunCtrlF12Action()
{
    log(Dispid::RunCtrlF12Action, CallKind::Method);
    // Shows or hides the frame statistics drawn over the live image.
    statisticsOverlay_ = !statisticsOverlay_;
    displayChanged();
}

float CMolvane::GetReceivedFrameRate()
{
    log(Dispid::GetReceivedFrameRate, CallKind::Method);
    return created_ ? static_cast<float>(dev().receivedFrameRate()) : 0.0f;
}

int CMolvane::GetReceivedFrameCount()
{
    log(Dispid::GetReceivedFrameCount, CallKind::Method);
    return created_ ? static_cast<int>(dev().receivedFrameCount()) : 0;
}

// ---- display --------------------------------------------------------------------------------

void CMolvane::displayChanged()
{
    convertedValid_ = false;
    if (display_)
        display_->settingsChanged();
}

void CMolvane::SetZoom(float scale)
{
    log(Dispid::SetZoom, CallKind::Method, {double(scale)});
    if (!created_)
        return;
    if (scale < 0)
        throw CameraError(code::OutOfRange, "zoom must not be negative");
    zoom_ = scale;
    displayChanged();
}

void CMolvane::SetRotation(int degrees)
{
    log(Dispid::SetRotation, CallKind::Method, {degrees});
    if (!created_)
        return;
    if (degrees != 0 && degrees != 90 && degrees != 180 && degrees != 270)
        throw CameraError(code::OutOfRange, "rotation must be 0, 90, 180 or 270");
    rotation_ = degrees;
    displayChanged();
}

void CMolvane::SetFullScreen(int on)
{
    log(Dispid::SetFullScreen, CallKind::Method, {on});
    fullScreen_ = on != 0;
    if (display_)
        display_->setFullScreen(fullScreen_);
}

int CMolvane::GetBayerLayout()
{
    log(Dispid::BayerLayout, CallKind::Get);
    return settings_.bayerLayout;
}

void CMolvane::SetBayerLayout(int layout)
{
    log(Dispid::BayerLayout, CallKind::Put, {layout});
    if (!created_)
        return;
    if (layout < 0 || layout > 3)
        throw CameraError(code::OutOfRange, "Bayer layout must be 0 to 3");
    settings_.bayerLayout = layout;
    displayChanged();
}

int CMolvane::GetBayerConversion()
{
    log(Dispid::BayerConversion, CallKind::Get);
    return settings_.bayerConversion ? 1 : 0;
}

void CMolvane::SetBayerConversion(int on)
{
    log(Dispid::BayerConversion, CallKind::Put, {on});
    settings_.bayerConversion = on != 0;
    displayChanged();
}

int CMolvane::GetBayerAlgorithm()
{
    log(Dispid::BayerAlgorithm, CallKind::Get);
    return settings_.bayerAlgorithm;
}

void CMolvane::SetBayerAlgorithm(int algorithm)
{
    log(Dispid::BayerAlgorithm, CallKind::Put, {algorithm});
    if (!created_)
        return;
    if (algorithm < 1 || algorithm > 3)
        throw CameraError(code::OutOfRange, "Bayer algorithm must be 1 to 3");
    settings_.bayerAlgorithm = algorithm;
    displayChanged();
}

int CMolvane::GetFlip()
{
    log(Dispid::Flip, CallKind::Get);
    return settings_.flip;
}

void CMolvane::SetFlip(int on)
{
    log(Dispid::Flip, CallKind::Put, {on});
    settings_.flip = on != 0;
    displayChanged();
}

int CMolvane::GetMirror()
{
    log(Dispid::Mirror, CallKind::Get);
    return settings_.mirror;
}

void CMolvane::SetMirror(int on)
{
    log(Dispid::Mirror, CallKind::Put, {on});
    settings_.mirror = on != 0;
    displayChanged();
}

int CMolvane::GetNegative()
{
    log(Dispid::Negative, CallKind::Get);
    return settings_.negative;
}

void CMolvane::SetNegative(int on)
{
    log(Dispid::Negative, CallKind::Put, {on});
    settings_.negative = on != 0;
    displayChanged();
}

void CMolvane::SetOverlayEnable(int on)
{
    log(Dispid::OverlayEnable, CallKind::Put, {on});
    overlay_ = on != 0;
    displayChanged();
}

const cv::Mat &CMolvane::convertedFrame()
{
    if (!convertedValid_ || convertedNumber_ != current_->number) {
        convertToBgr(*current_, settings_, converted_);
        convertedNumber_ = current_->number;
        convertedValid_ = true;
    }
    return converted_;
}

int CMolvane::GetPixelColor(int x, int y)
{
    log(Dispid::GetPixelColor, CallKind::Method, {x, y});
    if (!current_)
        return 0;
    const cv::Mat &bgr = convertedFrame();
    if (x < 0 || y < 0 || x >= bgr.cols || y >= bgr.rows)
        return 0;
    cv::Vec3b p = bgr.at<cv::Vec3b>(y, x);
    return p[2] | (p[1] << 8) | (p[0] << 16);
}

const cv::Mat *CMolvane::deepFrame()
{
    if (!current_ || rawView(*current_).depth() != CV_16U)
        return nullptr;
    // The 8-bit conversion's cache tells whether the settings changed since.
    if (deepNumber_ != current_->number || !convertedValid_) {
        convertToBgr16(*current_, settings_, deep_);
        deepNumber_ = current_->number;
        convertedFrame();
    }
    return &deep_;
}

std::optional<std::array<int, 3>> CMolvane::GetPixelValue(int x, int y)
{
    const cv::Mat *deep = deepFrame();
    if (!deep || x < 0 || y < 0 || x >= deep->cols || y >= deep->rows)
        return std::nullopt;
    const cv::Vec3w p = deep->at<cv::Vec3w>(y, x);
    return std::array<int, 3>{p[2], p[1], p[0]};
}

// ---- image data and recording -----------------------------------------------------------

ByteArray CMolvane::GetRgbImage(int /*unused*/)
{
    log(Dispid::GetRgbImage, CallKind::Method, {0});
    if (!current_)
        return std::nullopt;
    const cv::Mat &bgr = convertedFrame();
    const size_t row = static_cast<size_t>(bgr.cols) * 3;
    std::vector<uint8_t> out(row * bgr.rows);
    for (int y = 0; y < bgr.rows; ++y)  // bottom row first
        std::memcpy(&out[row * (bgr.rows - 1 - y)], bgr.ptr<uint8_t>(y), row);
    return out;
}

ByteArray CMolvane::GetRawImage(int /*unused*/)
{
    log(Dispid::GetRawImage, CallKind::Method, {0});
    if (!current_)
        return std::nullopt;
    return std::vector<uint8_t>(current_->bytes(), current_->bytes() + current_->size);
}

void CMolvane::SaveImage(const std::string &path, int quality)
{
    log(Dispid::SaveImage, CallKind::Method, {path, quality});
    if (!created_)
        return;
    if (!current_)
        throw CameraError(code::Failed, "there is no image to save");
    saver_.save(*current_, settings_, path, quality);
}

void CMolvane::FlushImages() { saver_.flush(); }

StringList CMolvane::GetAviCodecList()
{
    log(Dispid::GetAviCodecList, CallKind::Method);
    if (!created_)
        return std::nullopt;
    return AviRecorder::availableCodecs();
}

void CMolvane::SetAviCodec(const std::string &name)
{
    log(Dispid::AviCodec, CallKind::Put, {name});
    aviCodec_ = name;
}

void CMolvane::StartAviCapture(const std::string &path, int milliseconds)
{
    log(Dispid::StartAviCapture, CallKind::Method, {path, milliseconds});
    if (!created_)
        return;
    CameraDevice &d = dev();
    if (!d.streaming())
        throw CameraError(code::NotSupported, "recording needs a running acquisition");
    if (milliseconds <= 0)
        throw CameraError(code::OutOfRange, "recording time must be positive");
    const int w = static_cast<int>(d.features().intValue("Width"));
    const int h = static_cast<int>(d.features().intValue("Height"));
    double fps = d.receivedFrameRate();
    if (fps <= 0 && d.features().has("AcquisitionFrameRateAbs"))
        fps = d.features().floatValue("AcquisitionFrameRateAbs");
    recorder_.start(path, aviCodec_, w, h, fps, milliseconds, settings_);
}

void CMolvane::StopAviCapture()
{
    log(Dispid::StopAviCapture, CallKind::Method);
    recorder_.stop();
}

WriterStatus CMolvane::recordingStatus() const { return recorder_.status(); }

WriterStatus CMolvane::imageSaveStatus() const { return saver_.status(); }

} // namespace cam
