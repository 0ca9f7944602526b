// Writes an AVI (RIFF) file of one video stream from frames already encoded: Motion JPEG or
// uncompressed 24-bit BGR. The file grows under "<path>.part" and takes its name when closed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cam {

class AviFileWriter {
public:
    enum class Kind { Mjpeg, Uncompressed };

    AviFileWriter() = default;
    ~AviFileWriter();  // an unfinished file is removed
    AviFileWriter(const AviFileWriter &) = delete;
    AviFileWriter &operator=(const AviFileWriter &) = delete;

    // Creates the temporary file; throws std::runtime_error with the reason when it cannot.
    void open(const std::string &path, Kind kind, int width, int height, double fps);
    // Appends one frame (a JPEG, or bottom-up BGR rows padded to 4 bytes); throws on a write error.
    void writeFrame(const uint8_t *data, size_t size);
    // Writes the index and the headers and gives the file its name; throws on a write error.
    void close();
    // Removes the temporary file without finishing it.
    void abandon();

    bool isOpen() const { return fd_ >= 0; }
    uint32_t frames() const { return static_cast<uint32_t>(index_.size()); }
    const std::string &temporaryPath() const { return temp_; }
    // The bytes of one uncompressed frame of this size.
    static size_t uncompressedFrameSize(int width, int height);

private:
    struct IndexEntry {
        uint32_t offset;
        uint32_t size;
    };
    void writeAll(const void *data, size_t size);
    void writeAt(uint64_t offset, const std::vector<uint8_t> &bytes);
    std::vector<uint8_t> headers() const;
    [[noreturn]] void failWith(const std::string &what);

    int fd_ = -1;
    std::string path_, temp_;
    Kind kind_ = Kind::Mjpeg;
    int width_ = 0, height_ = 0;
    double fps_ = 30;
    uint64_t size_ = 0;       // bytes written so far
    uint64_t movi_ = 0;       // bytes of the frame chunks
    uint32_t largest_ = 0;    // largest frame
    std::vector<IndexEntry> index_;
};

} // namespace cam
