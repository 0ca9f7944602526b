// Saves still images through encoder threads.
#include "camera/imaging/ImageSaver.h"

#include "camera/CameraError.h"
#include "camera/imaging/FrameEncoding.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace cam {

namespace {

// Writes the bytes under a temporary name and gives the file its name once all are on disk.
void writeFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    const std::string temp = path + ".part";
    bool ok;
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        ok = f && f.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size())) &&
             f.flush();
        f.close();
        ok = ok && !f.fail();
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0)
        return;
    const std::string reason = errno ? std::strerror(errno) : "write error";
    std::remove(temp.c_str());
    throw std::runtime_error("cannot write " + path + ": " + reason);
}

} // namespace

ImageSaver::ImageSaver(int encoders)
    : encoders_(encoders > 0 ? encoders : WriterQueue::defaultEncoders())
{
}

ImageSaver::~ImageSaver() { flush(); }

void ImageSaver::startQueue()
{
    queue_ = std::make_unique<WriterQueue>(
        WriterQueue::defaultSlots(encoders_), encoders_,
        [this](WriterJob &job) { encodeStill(job.frame, job.settings, job.path, quality_, job.encoded); },
        [](WriterJob &job) { writeFile(job.path, job.encoded); });
}

void ImageSaver::retire()
{
    if (!queue_)
        return;
    queue_->finish();
    const WriterStatus s = queue_->status();
    writtenBefore_ += s.written;
    lostBefore_ += s.lost;
    if (!s.error.empty())
        lastError_ = s.error;
    queue_.reset();
}

void ImageSaver::save(const FrameBuffer &frame, const ImageSettings &settings, const std::string &path,
                      int quality)
{
    const std::string ending = stillEnding(path);
    if (ending != ".jpg" && ending != ".jpeg" && ending != ".bmp" && ending != ".tif" && ending != ".tiff" &&
        ending != ".png" && ending != ".raw" && ending != "-rgb.raw")
        throw CameraError(code::NotSupported, "cannot save images as \"" + ending + "\"");
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
        throw CameraError(code::FileError, "cannot write " + path + ": no folder " + folder.string());
    if (queue_ && queue_->failed()) {
        const std::string error = queue_->status().error;
        retire();
        throw CameraError(code::FileError, error);
    }
    if (!queue_)
        startQueue();
    quality_ = quality;
    queue_->push(frame, settings, path);
}

void ImageSaver::flush() { retire(); }

WriterStatus ImageSaver::status() const
{
    WriterStatus s = queue_ ? queue_->status() : WriterStatus{};
    s.written += writtenBefore_;
    s.lost += lostBefore_;
    if (s.error.empty())
        s.error = lastError_;
    return s;
}

} // namespace cam
