// Records the live stream into an AVI file.
#include "camera/imaging/AviRecorder.h"

#include "camera/CameraError.h"
#include "camera/imaging/FrameConverter.h"

#include <opencv2/videoio.hpp>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace cam {

namespace {

struct Codec {
    const char *name;
    int fourcc;
};

const Codec kCandidates[] = {
    {"MJPG (Motion JPEG)", cv::VideoWriter::fourcc('M', 'J', 'P', 'G')},
    {"XVID (MPEG-4 Part 2)", cv::VideoWriter::fourcc('X', 'V', 'I', 'D')},
    {"FFV1 (lossless)", cv::VideoWriter::fourcc('F', 'F', 'V', '1')},
    {"Uncompressed", 0},
};

int fourccOf(const std::string &name)
{
    for (const auto &c : kCandidates)
        if (name == c.name)
            return c.fourcc;
    return -1;
}

// A codec counts only if it writes a small clip that has bytes in it.
bool encodes(int fourcc)
{
    namespace fs = std::filesystem;
    fs::path path = fs::temp_directory_path() /
                    ("molvane-codec-" + std::to_string(getpid()) + "-" + std::to_string(fourcc) + ".avi");
    bool ok = false;
    {
        cv::VideoWriter w;
        if (w.open(path.string(), cv::CAP_ANY, fourcc, 10.0, cv::Size(64, 48), true)) {
            cv::Mat frame(48, 64, CV_8UC3, cv::Scalar(40, 120, 200));
            for (int i = 0; i < 3; ++i)
                w.write(frame);
            w.release();
            std::error_code ec;
            ok = fs::file_size(path, ec) > 0 && !ec;
        }
    }
    std::error_code ec;
    fs::remove(path, ec);
    return ok;
}

} // namespace

const std::vector<std::string> &AviRecorder::availableCodecs()
{
    static const std::vector<std::string> codecs = [] {
        std::vector<std::string> out;
        for (const auto &c : kCandidates)
            if (encodes(c.fourcc))
                out.push_back(c.name);
        return out;
    }();
    return codecs;
}

AviRecorder::AviRecorder() = default;

AviRecorder::~AviRecorder() { stop(); }

void AviRecorder::start(const std::string &path, const std::string &codec, int width, int height,
                        double fps, int durationMs, const ImageSettings &settings)
{
    stop();
    const auto &codecs = availableCodecs();
    if (codecs.empty() || width <= 0 || height <= 0)
        throw CameraError(code::NotSupported, "no video codec can record this format");
    const std::string name = codec.empty() ? codecs.front() : codec;
    if (std::find(codecs.begin(), codecs.end(), name) == codecs.end())
        throw CameraError(code::NotSupported, "codec \"" + name + "\" is not available");
    writer_ = std::make_unique<cv::VideoWriter>();
    if (!writer_->open(path, cv::CAP_ANY, fourccOf(name), fps > 0 ? fps : 30.0,
                       cv::Size(width, height), true)) {
        writer_.reset();
        throw CameraError(code::NotSupported, "cannot record \"" + path + "\" with " + name);
    }
    settings_ = settings;
    end_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(durationMs);
    written_ = 0;
    skipped_ = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = false;
        slots_.clear();
        free_.clear();
        pending_.clear();
        for (int i = 0; i < 8; ++i) {
            slots_.push_back(std::make_unique<Slot>());
            free_.push_back(slots_.back().get());
        }
    }
    recording_ = true;
    thread_ = std::thread(&AviRecorder::writerLoop, this);
}

void AviRecorder::push(const FrameBuffer &frame)
{
    if (!recording_)
        return;
    if (std::chrono::steady_clock::now() >= end_) {
        stop();
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.empty()) {
        ++skipped_;  // the encoder is behind: this frame is not in the file
        return;
    }
    Slot *slot = free_.back();
    free_.pop_back();
    FrameBuffer &copy = slot->frame;
    copy.data.resize(std::max(copy.data.size(), frame.size));
    std::copy(frame.data.begin(), frame.data.begin() + frame.size, copy.data.begin());
    copy.size = frame.size;
    copy.width = frame.width;
    copy.height = frame.height;
    copy.bits = frame.bits;
    copy.format = frame.format;
    copy.number = frame.number;
    pending_.push_back(slot);
    wake_.notify_one();
}

void AviRecorder::writerLoop()
{
    cv::Mat bgr;
    for (;;) {
        Slot *slot = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || !pending_.empty(); });
            if (pending_.empty())
                return;  // stopped and drained
            slot = pending_.front();
            pending_.pop_front();
        }
        convertToBgr(slot->frame, settings_, bgr);
        writer_->write(bgr);
        ++written_;
        std::lock_guard<std::mutex> lock(mutex_);
        free_.push_back(slot);
    }
}

void AviRecorder::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        wake_.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
    if (writer_) {
        writer_->release();
        writer_.reset();
    }
    recording_ = false;
}

} // namespace cam
