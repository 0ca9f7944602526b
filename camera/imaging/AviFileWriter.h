// Writes an AVI file of one video stream from frames already encoded: Motion JPEG or
// uncompressed 24-bit BGR. The file grows under "<path>.part" and takes its name when closed.
// It is an OpenDML (AVI 2.0) file: a first RIFF "AVI " with the legacy index, then as many RIFF
// "AVIX" parts as the length needs, each with an index of its own listed in the stream's super
// index, so a recording is not held to 4 GB (an uncompressed full-size one reaches that in
// seconds); readers of AVI 1.0 still play the first part.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cam {

class AviFileWriter {
public:
    enum class Kind { Mjpeg, Uncompressed };
    // Bytes of one RIFF part before the next begins, as other OpenDML writers do.
    static constexpr uint64_t kPartSize = uint64_t{1} << 30;
    // Parts the super index has room for: the longest file is this many parts.
    static constexpr uint32_t kMaxParts = 512;

    AviFileWriter() = default;
    ~AviFileWriter();  // an unfinished file is removed
    AviFileWriter(const AviFileWriter &) = delete;
    AviFileWriter &operator=(const AviFileWriter &) = delete;

    // Creates the temporary file; throws std::runtime_error with the reason when it cannot.
    // partSize below kPartSize is for tests, which see several parts without writing gigabytes.
    void open(const std::string &path, Kind kind, int width, int height, double fps,
              uint64_t partSize = kPartSize);
    // Appends one frame (a JPEG, or bottom-up BGR rows padded to 4 bytes); throws on a write error.
    void writeFrame(const uint8_t *data, size_t size);
    // Writes the indexes and the headers and gives the file its name; throws on a write error.
    void close();
    // Removes the temporary file without finishing it.
    void abandon();

    bool isOpen() const { return fd_ >= 0; }
    uint32_t frames() const { return frames_; }
    // RIFF parts begun so far.
    uint32_t parts() const { return static_cast<uint32_t>(parts_.size()) + (fd_ >= 0 ? 1 : 0); }
    const std::string &temporaryPath() const { return temp_; }
    // The bytes of one uncompressed frame of this size.
    static size_t uncompressedFrameSize(int width, int height);

private:
    struct IndexEntry {
        uint64_t offset;  // of the frame's data in the file
        uint32_t size;
    };
    // A finished part as the super index lists it: where its index is, how long, how many frames.
    struct PartIndex {
        uint64_t offset;
        uint32_t size;
        uint32_t frames;
    };
    void beginPart();
    void finishPart();
    void writeIndexOfPart();
    void writeLegacyIndex();
    void writeAll(const void *data, size_t size);
    void writeAt(uint64_t offset, const std::vector<uint8_t> &bytes);
    std::vector<uint8_t> headers() const;
    const char *chunkId() const { return kind_ == Kind::Mjpeg ? "00dc" : "00db"; }
    [[noreturn]] void failWith(const std::string &what);

    int fd_ = -1;
    std::string path_, temp_;
    Kind kind_ = Kind::Mjpeg;
    int width_ = 0, height_ = 0;
    double fps_ = 30;
    uint64_t partSize_ = kPartSize;
    uint64_t size_ = 0;         // bytes written so far
    uint32_t largest_ = 0;      // largest frame
    uint32_t frames_ = 0;       // in the whole file
    uint32_t firstFrames_ = 0;  // in the first part, which the legacy index covers
    uint64_t firstSize_ = 0;    // bytes of the first part once finished
    uint64_t partStart_ = 0;    // where the current part's RIFF header is
    std::vector<IndexEntry> index_;  // frames of the current part
    std::vector<PartIndex> parts_;   // finished parts
};

} // namespace cam
