// Writes an OpenDML AVI file of one video stream from frames already encoded.
#include "camera/imaging/AviFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace cam {

namespace {

// The stream's super index: a 24-byte head and 16 bytes for each part.
constexpr uint32_t kSuperIndexSize = 24 + 16 * AviFileWriter::kMaxParts;
constexpr uint32_t kStrlSize = 4 + 64 + 48 + 8 + kSuperIndexSize;
constexpr uint32_t kDmlhSize = 248;  // the total frame count, then room kept for later use
constexpr uint32_t kOdmlSize = 4 + 8 + kDmlhSize;
constexpr uint32_t kHdrlSize = 4 + 64 + 8 + kStrlSize + 8 + kOdmlSize;
// Bytes before the first frame: RIFF head, hdrl list and the movi list head.
constexpr uint32_t kHeaderSize = 12 + 8 + kHdrlSize + 12;
// A part's own index: a 32-byte chunk with 8 bytes for each frame.
constexpr uint64_t partIndexSize(size_t frames) { return 32 + 8 * uint64_t{frames}; }
// The first part's legacy index: 16 bytes for each frame.
constexpr uint64_t legacyIndexSize(size_t frames) { return 8 + 16 * uint64_t{frames}; }

class Bytes {
public:
    void fourcc(const char *f) { out.insert(out.end(), f, f + 4); }
    void u8(uint8_t v) { out.push_back(v); }
    void u16(uint16_t v)
    {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void u64(uint64_t v)
    {
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void zeros(size_t n) { out.insert(out.end(), n, 0); }
    std::vector<uint8_t> out;
};

std::vector<uint8_t> u32Bytes(uint64_t v)
{
    Bytes b;
    b.u32(static_cast<uint32_t>(v));
    return b.out;
}

std::string reason() { return std::strerror(errno); }

} // namespace

AviFileWriter::~AviFileWriter() { abandon(); }

size_t AviFileWriter::uncompressedFrameSize(int width, int height)
{
    return static_cast<size_t>((width * 3 + 3) & ~3) * static_cast<size_t>(height);
}

void AviFileWriter::open(const std::string &path, Kind kind, int width, int height, double fps, uint64_t partSize)
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
    partSize_ = std::min(partSize, kPartSize);
    size_ = 0;
    largest_ = 0;
    frames_ = firstFrames_ = 0;
    firstSize_ = partStart_ = 0;
    index_.clear();
    parts_.clear();
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
    if (size > kPartSize / 2)
        failWith("a frame of " + std::to_string(size) + " bytes is too large for an AVI file");
    const uint64_t padded = size + (size & 1);
    const size_t n = index_.size() + 1;
    const uint64_t closing = partIndexSize(n) + (parts_.empty() ? legacyIndexSize(n) : 0);
    if (!index_.empty() && size_ - partStart_ + 8 + padded + closing > partSize_) {
        if (parts_.size() + 1 >= kMaxParts)
            failWith("the AVI file reached its longest length of " +
                     std::to_string((kMaxParts * partSize_) >> 30) + " GB");
        finishPart();
        beginPart();
    }
    Bytes chunk;
    chunk.fourcc(chunkId());
    chunk.u32(static_cast<uint32_t>(size));
    writeAll(chunk.out.data(), chunk.out.size());
    index_.push_back({size_, static_cast<uint32_t>(size)});
    writeAll(data, size);
    if (size & 1) {
        const uint8_t pad = 0;
        writeAll(&pad, 1);
    }
    largest_ = std::max(largest_, static_cast<uint32_t>(size));
    ++frames_;
}

void AviFileWriter::close()
{
    if (fd_ < 0)
        return;
    finishPart();
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

// A further part: RIFF "AVIX" holding a movi list, both sized when the part is finished.
void AviFileWriter::beginPart()
{
    partStart_ = size_;
    Bytes b;
    b.fourcc("RIFF");
    b.u32(0);
    b.fourcc("AVIX");
    b.fourcc("LIST");
    b.u32(0);
    b.fourcc("movi");
    writeAll(b.out.data(), b.out.size());
}

// Ends the movi list with the part's index, the first part also with the legacy index, and
// writes the sizes of the part and of its movi list.
void AviFileWriter::finishPart()
{
    const bool first = parts_.empty();
    const uint64_t moviList = first ? kHeaderSize - 12 : partStart_ + 12;
    writeIndexOfPart();
    const uint64_t moviEnd = size_;
    if (first) {
        writeLegacyIndex();
        firstFrames_ = static_cast<uint32_t>(index_.size());
        firstSize_ = size_;
    }
    writeAt(partStart_ + 4, u32Bytes(size_ - partStart_ - 8));
    writeAt(moviList + 4, u32Bytes(moviEnd - moviList - 8));
    index_.clear();
}

// The part's standard index: where each frame's data is, counted from the part's start.
void AviFileWriter::writeIndexOfPart()
{
    Bytes b;
    b.fourcc("ix00");
    b.u32(static_cast<uint32_t>(partIndexSize(index_.size()) - 8));
    b.u16(2);  // longs per entry
    b.u8(0);   // sub-type
    b.u8(1);   // an index of chunks
    b.u32(static_cast<uint32_t>(index_.size()));
    b.fourcc(chunkId());
    b.u64(partStart_);
    b.u32(0);
    for (const IndexEntry &e : index_) {
        b.u32(static_cast<uint32_t>(e.offset - partStart_));
        b.u32(e.size);  // the top bit clear: every frame is a key frame
    }
    parts_.push_back({size_, static_cast<uint32_t>(b.out.size()), static_cast<uint32_t>(index_.size())});
    writeAll(b.out.data(), b.out.size());
}

// The AVI 1.0 index of the first part: each chunk's place counted from the movi list's type.
void AviFileWriter::writeLegacyIndex()
{
    const uint64_t moviType = kHeaderSize - 4;
    Bytes b;
    b.fourcc("idx1");
    b.u32(static_cast<uint32_t>(legacyIndexSize(index_.size()) - 8));
    for (const IndexEntry &e : index_) {
        b.fourcc(chunkId());
        b.u32(0x10);  // key frame
        b.u32(static_cast<uint32_t>(e.offset - 8 - moviType));
        b.u32(e.size);
    }
    writeAll(b.out.data(), b.out.size());
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

// The first part's head: sizes and counts are those of a finished file once the first part is
// finished, and placeholders before.
std::vector<uint8_t> AviFileWriter::headers() const
{
    const bool mjpeg = kind_ == Kind::Mjpeg;
    const uint32_t rate = static_cast<uint32_t>(std::lround(fps_ * 1000));
    const uint32_t frameBytes = mjpeg ? 0 : static_cast<uint32_t>(uncompressedFrameSize(width_, height_));
    const uint64_t firstSize = firstSize_ ? firstSize_ : kHeaderSize;
    const uint64_t moviSize = parts_.empty() ? 4 : parts_.front().offset + parts_.front().size - (kHeaderSize - 4);
    Bytes b;
    b.fourcc("RIFF");
    b.u32(static_cast<uint32_t>(firstSize - 8));
    b.fourcc("AVI ");
    b.fourcc("LIST");
    b.u32(kHdrlSize);
    b.fourcc("hdrl");
    b.fourcc("avih");
    b.u32(56);
    b.u32(static_cast<uint32_t>(std::lround(1e6 / fps_)));  // microseconds per frame
    b.u32(static_cast<uint32_t>(largest_ * fps_));
    b.u32(0);
    b.u32(0x10);  // has an index
    b.u32(firstFrames_);  // frames of the first part, for readers of AVI 1.0
    b.u32(0);
    b.u32(1);  // streams
    b.u32(largest_ + 8);
    b.u32(static_cast<uint32_t>(width_));
    b.u32(static_cast<uint32_t>(height_));
    b.zeros(16);
    b.fourcc("LIST");
    b.u32(kStrlSize);
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
    b.u32(frames_);
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
    b.zeros(16);
    // The super index: one entry for each part's own index.
    b.fourcc("indx");
    b.u32(kSuperIndexSize);
    b.u16(4);  // longs per entry
    b.u8(0);   // sub-type
    b.u8(0);   // an index of indexes
    b.u32(static_cast<uint32_t>(parts_.size()));
    b.fourcc(chunkId());
    b.zeros(12);
    for (const PartIndex &p : parts_) {
        b.u64(p.offset);
        b.u32(p.size);
        b.u32(p.frames);
    }
    b.zeros(16 * (kMaxParts - parts_.size()));
    b.fourcc("LIST");
    b.u32(kOdmlSize);
    b.fourcc("odml");
    b.fourcc("dmlh");
    b.u32(kDmlhSize);
    b.u32(frames_);
    b.zeros(kDmlhSize - 4);
    b.fourcc("LIST");
    b.u32(static_cast<uint32_t>(moviSize));
    b.fourcc("movi");
    return b.out;
}

} // namespace cam
