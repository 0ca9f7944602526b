// Records the live stream into an AVI file through encoder threads and an in-order writer.
#include "camera/imaging/AviRecorder.h"

#include "camera/CameraError.h"
#include "camera/imaging/AviFileWriter.h"
#include "camera/imaging/FrameConverter.h"
#include "camera/imaging/FrameEncoding.h"

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace cam {

namespace {

const char *const kMjpg = "MJPG (Motion JPEG)";
const char *const kRaw = "Uncompressed";
const char *const kFfv1 = "FFV1 (lossless)";
constexpr int kJpegQuality = 90;

int ffv1Fourcc() { return cv::VideoWriter::fourcc('F', 'F', 'V', '1'); }

// FFV1 counts only if OpenCV's FFmpeg writes a small clip that has bytes in it.
bool ffv1Writes()
{
    namespace fs = std::filesystem;
    const fs::path path = fs::temp_directory_path() / ("molvane-codec-" + std::to_string(getpid()) + ".avi");
    bool ok = false;
    {
        cv::VideoWriter w;
        if (w.open(path.string(), cv::CAP_FFMPEG, ffv1Fourcc(), 10.0, cv::Size(64, 48), true)) {
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

// Where the encoded frames go: our own AVI writer, or OpenCV's for FFV1.
struct AviRecorder::Output {
    std::string codec;
    AviFileWriter avi;
    cv::VideoWriter video;
    std::string path, temp;
    int width = 0, height = 0;

    void open(const std::string &file, int w, int h, double fps)
    {
        path = file;
        width = w;
        height = h;
        if (codec == kFfv1) {
            temp = file + ".part.avi";  // FFmpeg picks the container by the ending
            if (!video.open(temp, cv::CAP_FFMPEG, ffv1Fourcc(), fps, cv::Size(w, h), true))
                throw std::runtime_error("cannot create " + temp);
        } else {
            avi.open(file, codec == kMjpg ? AviFileWriter::Kind::Mjpeg : AviFileWriter::Kind::Uncompressed, w,
                     h, fps);
        }
    }
    void encode(WriterJob &job) const
    {
        if (job.frame.width != width || job.frame.height != height)
            throw std::runtime_error("a frame of another size");
        if (codec == kMjpg)
            encodeJpeg(job.frame, job.settings, kJpegQuality, job.encoded);
        else if (codec == kRaw)
            encodeBottomUpBgr(job.frame, job.settings, 4, job.encoded);
        else
            encodeBgr(job.frame, job.settings, 1, false, job.encoded);
    }
    void write(WriterJob &job)
    {
        if (codec != kFfv1) {
            avi.writeFrame(job.encoded.data(), job.encoded.size());
            return;
        }
        video.write(cv::Mat(height, width, CV_8UC3, job.encoded.data()));
    }
    void close()
    {
        if (codec != kFfv1) {
            avi.close();
            return;
        }
        video.release();
        std::error_code ec;
        if (std::filesystem::file_size(temp, ec) == 0 || ec)
            throw std::runtime_error("cannot write " + path);
        std::filesystem::rename(temp, path, ec);
        if (ec)
            throw std::runtime_error("cannot rename " + temp + " to " + path + ": " + ec.message());
    }
    void abandon()
    {
        avi.abandon();
        if (codec == kFfv1 && !temp.empty()) {
            video.release();
            std::error_code ec;
            std::filesystem::remove(temp, ec);
        }
    }
};

const std::vector<std::string> &AviRecorder::availableCodecs()
{
    static const std::vector<std::string> codecs = [] {
        std::vector<std::string> out{kMjpg, kRaw};
        if (ffv1Writes())
            out.push_back(kFfv1);
        return out;
    }();
    return codecs;
}

std::string AviRecorder::codecNamed(const std::string &name)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto &codec : availableCodecs()) {
        std::string full = codec;
        std::transform(full.begin(), full.end(), full.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (full == lower || full.rfind(lower + " ", 0) == 0)
            return codec;
    }
    if (lower == "raw" || lower == "uncompressed")
        return kRaw;
    return {};
}

AviRecorder::AviRecorder() = default;

AviRecorder::~AviRecorder() { stop(); }

void AviRecorder::start(const std::string &path, const std::string &codec, int width, int height,
                        double fps, int durationMs, const ImageSettings &settings, int encoders)
{
    stop();
    const std::string name = codec.empty() ? availableCodecs().front() : codecNamed(codec);
    if (name.empty())
        throw CameraError(code::NotSupported, "codec \"" + codec + "\" is not available");
    if (width <= 0 || height <= 0)
        throw CameraError(code::NotSupported, "no video codec can record this format");
    auto output = std::make_unique<Output>();
    output->codec = name;
    try {
        output->open(path, width, height, fps > 0 ? fps : 30.0);
    } catch (const std::exception &e) {
        throw CameraError(code::FileError, e.what());
    }
    output_ = std::move(output);
    Output *out = output_.get();
    const int threads = encoders > 0 ? encoders : WriterQueue::defaultEncoders();
    // Enough slots that every encoder has work while the writer catches up.
    queue_ = std::make_unique<WriterQueue>(
        WriterQueue::defaultSlots(threads), threads, [out](WriterJob &job) { out->encode(job); },
        [out](WriterJob &job) { out->write(job); }, [out] { out->close(); });
    end_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(durationMs);
    settings_ = settings;
}

void AviRecorder::push(const FrameBuffer &frame) { push(frame, false); }

void AviRecorder::pushWaiting(const FrameBuffer &frame) { push(frame, true); }

void AviRecorder::push(const FrameBuffer &frame, bool wait)
{
    if (!queue_ || !queue_->status().active)
        return;
    if (std::chrono::steady_clock::now() >= end_) {
        queue_->requestFinish();  // the writer closes the file once the queue is written
        return;
    }
    queue_->push(frame, settings_, {}, wait);
}

void AviRecorder::stop()
{
    if (!queue_)
        return;
    queue_->finish();
    last_ = queue_->status();
    if (queue_->failed())
        output_->abandon();  // nothing truncated stays behind
    queue_.reset();
    output_.reset();
}

WriterStatus AviRecorder::status() const
{
    return queue_ ? queue_->status() : last_;
}

} // namespace cam
