// Writes an AVI (RIFF) file of one video stream from frames already encoded.
#include "camera/imaging/AviFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <stdexcept>
#include <unistd.h>

namespace cam {

namespace {

// Bytes before the first frame: RIFF, hdrl (avih, strl with strh and strf) and the movi list head.
constexpr uint32_t kHeaderSize = 12 + 12 + 64 + 12 + 64 + 48 + 12;
constexpr uint32_t kMoviFourcc = kHeaderSize - 4;  // idx1 offsets count from here
constexpr uint64_t kLargestFile = std::numeric_limits<uint32_t>::max() - (64u << 20);

class Bytes {
public:
    void fourcc(const char *f) { out.insert(out.end(), f, f + 4); }
    void u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void u16(uint16_t v)
    {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    std::vector<uint8_t> out;
};

std::string reason() { return std::strerror(errno); }

} // namespace

AviFileWriter::~AviFileWriter() { abandon(); }

size_t AviFileWriter::uncompressedFrameSize(int width, int height)
{
    return static_cast<size_t>((width * 3 + 3) & ~3) * static_cast<size_t>(height);
}

void AviFileWriter::open(const std::string &path, Kind kind, int width, int height, double fps)
{
    abandon();
    if (width <= 0 || height <= 0)
        throw std::runtime_error("cannot record frames of " + std::to_string(width) + " x " +
                                 std::to_string(height));
    path_ = path;
    temp_ = path + ".part";
    kind_ = kind;
    width_ = width;
    height_ = height;
    fps_ = fps > 0 ? fps : 30.0;
    size_ = 0;
    movi_ = 0;
    largest_ = 0;
    index_.clear();
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw std::runtime_error("cannot create " + temp_ + ": " + reason());
    const auto head = headers();
    writeAll(head.data(), head.size());
}

void AviFileWriter::writeFrame(const uint8_t *data, size_t size)
{
    if (fd_ < 0)
        throw std::runtime_error("the AVI file is not open");
    const size_t padded = size + (size & 1);
    if (size_ + padded + 8 + 16 * (index_.size() + 1) > kLargestFile)
        failWith("the AVI file reached its 4 GB limit");
    Bytes chunk;
    chunk.fourcc(kind_ == Kind::Mjpeg ? "00dc" : "00db");
    chunk.u32(static_cast<uint32_t>(size));
    index_.push_back({static_cast<uint32_t>(size_ - kMoviFourcc), static_cast<uint32_t>(size)});
    writeAll(chunk.out.data(), chunk.out.size());
    writeAll(data, size);
    if (size & 1) {
        const uint8_t pad = 0;
        writeAll(&pad, 1);
    }
    largest_ = std::max(largest_, static_cast<uint32_t>(size));
    movi_ += 8 + padded;
}

void AviFileWriter::close()
{
    if (fd_ < 0)
        return;
    Bytes idx;
    idx.fourcc("idx1");
    idx.u32(static_cast<uint32_t>(16 * index_.size()));
    for (const auto &e : index_) {
        idx.fourcc(kind_ == Kind::Mjpeg ? "00dc" : "00db");
        idx.u32(0x10);  // key frame
        idx.u32(e.offset);
        idx.u32(e.size);
    }
    writeAll(idx.out.data(), idx.out.size());
    writeAt(0, headers());
    if (::close(fd_) != 0) {
        fd_ = -1;
        failWith("cannot finish " + temp_ + ": " + reason());
    }
    fd_ = -1;
    if (std::rename(temp_.c_str(), path_.c_str()) != 0)
        failWith("cannot rename " + temp_ + " to " + path_ + ": " + reason());
    temp_.clear();
}

void AviFileWriter::abandon()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

void AviFileWriter::failWith(const std::string &what)
{
    abandon();
    throw std::runtime_error(what);
}

void AviFileWriter::writeAll(const void *data, size_t size)
{
    const auto *p = static_cast<const uint8_t *>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failWith("cannot write " + path_ + ": " + reason());
        p += n;
        size -= static_cast<size_t>(n);
        size_ += static_cast<uint64_t>(n);
    }
}

void AviFileWriter::writeAt(uint64_t offset, const std::vector<uint8_t> &bytes)
{
    if (::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)) !=
        static_cast<ssize_t>(bytes.size()))
        failWith("cannot write " + path_ + ": " + reason());
}

std::vector<uint8_t> AviFileWriter::headers() const
{
    const bool mjpeg = kind_ == Kind::Mjpeg;
    const uint32_t frames = static_cast<uint32_t>(index_.size());
    const uint32_t total = static_cast<uint32_t>(kHeaderSize + movi_ + 8 + 16 * frames);
    const uint32_t rate = static_cast<uint32_t>(std::lround(fps_ * 1000));
    const uint32_t frameBytes = mjpeg ? 0 : static_cast<uint32_t>(uncompressedFrameSize(width_, height_));
    Bytes b;
    b.fourcc("RIFF");
    b.u32(total - 8);
    b.fourcc("AVI ");
    b.fourcc("LIST");
    b.u32(4 + 64 + 12 + 64 + 48);
    b.fourcc("hdrl");
    b.fourcc("avih");
    b.u32(56);
    b.u32(static_cast<uint32_t>(std::lround(1e6 / fps_)));  // microseconds per frame
    b.u32(static_cast<uint32_t>(largest_ * fps_));
    b.u32(0);
    b.u32(0x10);  // has an index
    b.u32(frames);
    b.u32(0);
    b.u32(1);  // streams
    b.u32(largest_ + 8);
    b.u32(static_cast<uint32_t>(width_));
    b.u32(static_cast<uint32_t>(height_));
    for (int i = 0; i < 4; ++i)
        b.u32(0);
    b.fourcc("LIST");
    b.u32(4 + 64 + 48);
    b.fourcc("strl");
    b.fourcc("strh");
    b.u32(56);
    b.fourcc("vids");
    if (mjpeg)
        b.fourcc("MJPG");
    else
        b.u32(0);
    b.u32(0);   // flags
    b.u16(0);   // priority
    b.u16(0);   // language
    b.u32(0);   // initial frames
    b.u32(1000);  // scale: rate / scale is the frame rate
    b.u32(rate);
    b.u32(0);  // start
    b.u32(frames);
    b.u32(largest_ + 8);
    b.u32(0xFFFFFFFFu);  // default quality
    b.u32(0);            // sample size varies
    b.u16(0);
    b.u16(0);
    b.u16(static_cast<uint16_t>(width_));
    b.u16(static_cast<uint16_t>(height_));
    b.fourcc("strf");
    b.u32(40);
    b.u32(40);
    b.u32(static_cast<uint32_t>(width_));
    b.u32(static_cast<uint32_t>(height_));  // positive: uncompressed rows bottom-up
    b.u16(1);
    b.u16(24);
    if (mjpeg)
        b.fourcc("MJPG");
    else
        b.u32(0);
    b.u32(mjpeg ? static_cast<uint32_t>(width_ * height_ * 3) : frameBytes);
    for (int i = 0; i < 4; ++i)
        b.u32(0);
    b.fourcc("LIST");
    b.u32(static_cast<uint32_t>(4 + movi_));
    b.fourcc("movi");
    return b.out;
}

} // namespace cam
