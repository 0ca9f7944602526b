// The writers: order under parallel encoding, frames counted when they cannot be written, no
// partial file left behind, AVI files that readers take, and stills that keep their bits.
#include "FileSizeLimit.h"

#include "camera/CameraError.h"
#include "camera/imaging/AviFileWriter.h"
#include "camera/imaging/AviRecorder.h"
#include "camera/imaging/FrameEncoding.h"
#include "camera/imaging/ImageSaver.h"
#include "camera/imaging/WriterQueue.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace cam;
namespace fs = std::filesystem;

namespace {

FrameBuffer monoFrame(int width, int height, uint8_t value)
{
    FrameBuffer f;
    f.width = width;
    f.height = height;
    f.format = PixelFormat::Mono8;
    f.data.assign(static_cast<size_t>(width) * height, value);
    f.size = f.data.size();
    return f;
}

// Noise compresses badly, so a few frames make a file of some size.
FrameBuffer noiseFrame(int width, int height)
{
    FrameBuffer f = monoFrame(width, height, 0);
    cv::Mat m(height, width, CV_8UC1, f.data.data());
    cv::randu(m, 0, 255);
    return f;
}

class WriterFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("molvane-writer-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // Names in the folder, so a test sees any temporary file left behind.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto &e : fs::directory_iterator(dir))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    fs::path dir;
};

} // namespace

TEST(WriterQueue, KeepsArrivalOrderWhileEncodersFinishOutOfOrder)
{
    std::vector<uint64_t> order;
    WriterQueue queue(
        12, 4,
        [](WriterJob &job) {  // early frames take longest, so later ones finish first
            std::this_thread::sleep_for(std::chrono::microseconds(200 * (4 - job.frame.number % 4)));
            job.encoded.assign(1, static_cast<uint8_t>(job.frame.number));
        },
        [&](WriterJob &job) { order.push_back(job.frame.number); });
    uint64_t attempts = 0;
    for (uint64_t i = 0; i < 200; ++i) {
        // Large enough that copying it in overlaps the writer looking the reserved slots up.
        FrameBuffer f = monoFrame(256, 256, 0);
        f.number = i;
        while (++attempts, !queue.push(f, {}))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    queue.finish();
    const WriterStatus s = queue.status();
    ASSERT_EQ(order.size(), 200u);
    for (uint64_t i = 0; i < order.size(); ++i)
        ASSERT_EQ(order[i], i);
    EXPECT_EQ(s.written, 200u);
    EXPECT_EQ(s.lost, attempts - 200);  // every refused push counted
    EXPECT_TRUE(s.finished);
}

TEST(WriterQueue, CountsFramesItCannotTakeAndFramesThatFailed)
{
    std::atomic<bool> release{false};
    WriterQueue queue(
        3, 1,
        [&](WriterJob &job) {
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (job.frame.number == 1)
                throw std::runtime_error("bad frame");
        },
        [](WriterJob &) {});
    int accepted = 0;
    for (uint64_t i = 0; i < 10; ++i) {
        FrameBuffer f = monoFrame(4, 4, 0);
        f.number = i;
        accepted += queue.push(f, {}) ? 1 : 0;
    }
    EXPECT_EQ(accepted, 3);  // the queue is bounded: the rest are refused, not waited for
    release = true;
    queue.finish();
    const WriterStatus s = queue.status();
    EXPECT_EQ(s.written, 2u);
    EXPECT_EQ(s.lost, 8u);  // seven refused and the one whose encoding failed
    EXPECT_EQ(s.error, "bad frame");
}

TEST(WriterQueue, AWriteFailureStopsTheQueueAndCountsWhatFollows)
{
    WriterQueue queue(
        8, 2, [](WriterJob &) {},
        [](WriterJob &job) {
            if (job.frame.number == 2)
                throw std::runtime_error("No space left on device");
        });
    for (uint64_t i = 0; i < 6; ++i) {
        FrameBuffer f = monoFrame(4, 4, 0);
        f.number = i;
        queue.push(f, {});
    }
    queue.finish();
    const WriterStatus s = queue.status();
    EXPECT_FALSE(s.active);
    EXPECT_EQ(s.written, 2u);
    EXPECT_EQ(s.lost, 4u);
    EXPECT_EQ(s.error, "No space left on device");
    FrameBuffer f = monoFrame(4, 4, 0);
    EXPECT_FALSE(queue.push(f, {}));
}

TEST_F(WriterFolder, MjpgRecordingIsReadBackFrameByFrameInOrder)
{
    const fs::path path = dir / "clip.avi";
    AviRecorder recorder;
    recorder.start(path.string(), "MJPG", 64, 48, 25, 60000, ImageSettings{}, 2);
    for (int i = 0; i < 20; ++i)
        recorder.push(monoFrame(64, 48, static_cast<uint8_t>(10 * i)));
    recorder.stop();
    EXPECT_EQ(recorder.framesWritten() + recorder.framesSkipped(), 20u);
    EXPECT_EQ(names(), std::vector<std::string>{"clip.avi"});  // the temporary name is gone

    cv::VideoCapture back(path.string(), cv::CAP_OPENCV_MJPEG);
    ASSERT_TRUE(back.isOpened());
    EXPECT_EQ(static_cast<int>(back.get(cv::CAP_PROP_FRAME_COUNT)), static_cast<int>(recorder.framesWritten()));
    int previous = -1;
    cv::Mat frame;
    while (back.read(frame)) {
        EXPECT_EQ(frame.cols, 64);
        const int value = frame.at<cv::Vec3b>(10, 10)[0];
        EXPECT_GT(value, previous);  // brighter every frame: the order is kept
        previous = value;
    }
}

TEST_F(WriterFolder, UncompressedFramesAreBottomUpRowsPaddedToFourBytes)
{
    const fs::path path = dir / "raw.avi";
    AviFileWriter avi;
    avi.open(path.string(), AviFileWriter::Kind::Uncompressed, 5, 2, 10);
    FrameBuffer f = monoFrame(5, 2, 0);
    f.data[0] = 200;  // top-left pixel
    std::vector<uint8_t> bytes;
    encodeBottomUpBgr(f, {}, 4, bytes);
    ASSERT_EQ(bytes.size(), AviFileWriter::uncompressedFrameSize(5, 2));
    EXPECT_EQ(bytes.size(), 32u);  // 15 bytes of a row padded to 16
    EXPECT_EQ(bytes[16], 200);     // the top row comes second
    avi.writeFrame(bytes.data(), bytes.size());
    EXPECT_TRUE(fs::exists(avi.temporaryPath()));
    EXPECT_FALSE(fs::exists(path));
    avi.close();
    EXPECT_EQ(names(), std::vector<std::string>{"raw.avi"});
    // RIFF size, frame count and the index agree with the file's length.
    const auto size = fs::file_size(path);
    std::ifstream in(path, std::ios::binary);
    std::vector<char> head(256);
    in.read(head.data(), 256);
    auto u32 = [&](size_t at) { return *reinterpret_cast<const uint32_t *>(&head[at]); };
    EXPECT_EQ(u32(4) + 8, size);
    EXPECT_EQ(u32(48), 1u);  // total frames
}

namespace {

uint32_t u32At(const std::vector<uint8_t> &b, uint64_t at)
{
    uint32_t v = 0;
    std::memcpy(&v, &b.at(at + 3) - 3, 4);
    return v;
}

uint64_t u64At(const std::vector<uint8_t> &b, uint64_t at) { return u32At(b, at) | uint64_t{u32At(b, at + 4)} << 32; }

std::string fourccAt(const std::vector<uint8_t> &b, uint64_t at)
{
    return std::string(reinterpret_cast<const char *>(&b.at(at + 3) - 3), 4);
}

// Frames 'value' bright, written through the writer with parts of partSize bytes.
std::vector<uint8_t> writeClip(const fs::path &path, AviFileWriter::Kind kind, int frames, uint64_t partSize)
{
    AviFileWriter avi;
    avi.open(path.string(), kind, 64, 48, 25, partSize);
    std::vector<uint8_t> bytes;
    for (int i = 0; i < frames; ++i) {
        const FrameBuffer f = monoFrame(64, 48, static_cast<uint8_t>(2 * i + 10));
        if (kind == AviFileWriter::Kind::Mjpeg)
            encodeJpeg(f, {}, 90, bytes);
        else
            encodeBottomUpBgr(f, {}, 4, bytes);
        avi.writeFrame(bytes.data(), bytes.size());
    }
    EXPECT_GT(avi.parts(), 3u);
    avi.close();
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// A long recording is split into RIFF parts; every index a reader may use leads to the frames.
TEST_F(WriterFolder, ALongRecordingIsSplitIntoPartsWhoseIndexesLeadToEveryFrame)
{
    for (const auto kind : {AviFileWriter::Kind::Mjpeg, AviFileWriter::Kind::Uncompressed}) {
        const int total = 90;
        const uint64_t partSize = kind == AviFileWriter::Kind::Mjpeg ? 10 << 10 : 64 << 10;
        const std::vector<uint8_t> file = writeClip(dir / "long.avi", kind, total, partSize);
        const std::string id = kind == AviFileWriter::Kind::Mjpeg ? "00dc" : "00db";
        SCOPED_TRACE(id);
        // The parts follow one another to the file's end, none longer than asked.
        std::vector<uint64_t> starts;
        for (uint64_t at = 0; at < file.size(); at += 8 + u32At(file, at + 4)) {
            ASSERT_EQ(fourccAt(file, at), "RIFF");
            EXPECT_EQ(fourccAt(file, at + 8), starts.empty() ? "AVI " : "AVIX");
            EXPECT_LE(u32At(file, at + 4) + 8, partSize);
            starts.push_back(at);
        }
        ASSERT_GT(starts.size(), 3u);
        // Frame counts: the whole file in the stream header and the extended header, the first
        // part in the main header.
        const uint64_t strh = 12 + 12 + 64 + 12;
        ASSERT_EQ(fourccAt(file, strh), "strh");
        EXPECT_EQ(u32At(file, strh + 8 + 32), static_cast<uint32_t>(total));
        // The super index lists one index per part; each leads to the frames in order.
        const uint64_t indx = strh + 64 + 48;
        ASSERT_EQ(fourccAt(file, indx), "indx");
        ASSERT_EQ(u32At(file, indx + 12), starts.size());
        uint32_t seen = 0;
        int previous = -1;
        for (uint32_t p = 0; p < starts.size(); ++p) {
            const uint64_t ix = u64At(file, indx + 32 + 16 * p);
            ASSERT_EQ(fourccAt(file, ix), "ix00");
            ASSERT_GT(ix, starts[p]);
            const uint32_t n = u32At(file, ix + 12);
            EXPECT_EQ(u32At(file, indx + 32 + 16 * p + 12), n);
            const uint64_t base = u64At(file, ix + 20);
            EXPECT_EQ(base, starts[p]);
            for (uint32_t k = 0; k < n; ++k) {
                const uint64_t data = base + u32At(file, ix + 32 + 8 * k);
                ASSERT_EQ(fourccAt(file, data - 8), id);
                ASSERT_EQ(u32At(file, data - 4), u32At(file, ix + 36 + 8 * k));
                if (kind == AviFileWriter::Kind::Uncompressed) {
                    EXPECT_GT(file[data], previous);
                    previous = file[data];
                }
            }
            seen += n;
        }
        EXPECT_EQ(seen, static_cast<uint32_t>(total));
        uint64_t dmlh = indx + 8 + u32At(file, indx + 4) + 12;
        ASSERT_EQ(fourccAt(file, dmlh), "dmlh");
        EXPECT_EQ(u32At(file, dmlh + 8), static_cast<uint32_t>(total));
        // The legacy index covers the first part, counted from its movi list's type.
        const uint32_t firstFrames = u32At(file, 48);
        EXPECT_EQ(firstFrames, u32At(file, indx + 32 + 12));
        const uint64_t movi = dmlh + 8 + u32At(file, dmlh + 4);
        ASSERT_EQ(fourccAt(file, movi + 8), "movi");
        const uint64_t idx1 = movi + 8 + u32At(file, movi + 4);
        ASSERT_EQ(fourccAt(file, idx1), "idx1");
        ASSERT_EQ(u32At(file, idx1 + 4), 16 * firstFrames);
        for (uint32_t k = 0; k < firstFrames; ++k)
            ASSERT_EQ(fourccAt(file, movi + 8 + u32At(file, idx1 + 8 + 16 * k + 8)), id);
        fs::remove(dir / "long.avi");
    }
}

TEST_F(WriterFolder, FfmpegPlaysALongRecordingToItsLastFrame)
{
    const fs::path path = dir / "long.avi";
    writeClip(path, AviFileWriter::Kind::Mjpeg, 90, 10 << 10);
    cv::VideoCapture back(path.string(), cv::CAP_FFMPEG);
    if (!back.isOpened())
        GTEST_SKIP() << "OpenCV reads no AVI through FFmpeg here";
    int frames = 0, previous = -1;
    cv::Mat frame;
    while (back.read(frame)) {
        ++frames;
        const int value = frame.at<cv::Vec3b>(10, 10)[0];
        EXPECT_GT(value, previous);
        previous = value;
    }
    EXPECT_EQ(frames, 90);
}

TEST_F(WriterFolder, AFailingDiskStopsTheRecordingAndLeavesNoFile)
{
    const fs::path path = dir / "full.avi";
    AviRecorder recorder;
    {
        FileSizeLimit limit(200 * 1024);
        recorder.start(path.string(), "raw", 320, 240, 25, 60000, ImageSettings{}, 2);
        const FrameBuffer noise = noiseFrame(320, 240);  // 230 kB a frame uncompressed
        for (int i = 0; i < 50 && recorder.recording(); ++i) {
            recorder.push(noise);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        recorder.stop();
    }
    const WriterStatus s = recorder.status();
    EXPECT_NE(s.error.find("cannot write"), std::string::npos) << s.error;
    EXPECT_GT(s.lost, 0u);
    EXPECT_TRUE(names().empty());  // neither the final name nor the temporary one
}

TEST_F(WriterFolder, AnUnwritableFolderRefusesTheStartAndUnknownCodecsAreRefused)
{
    AviRecorder recorder;
    try {
        recorder.start((dir / "missing" / "x.avi").string(), "MJPG", 64, 48, 25, 1000, {});
        FAIL() << "started in a folder that does not exist";
    } catch (const CameraError &e) {
        EXPECT_EQ(e.code(), code::FileError);
        EXPECT_NE(std::string(e.what()).find("missing"), std::string::npos);
    }
    EXPECT_THROW(recorder.start((dir / "x.avi").string(), "no such codec", 64, 48, 25, 1000, {}), CameraError);
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(AviRecorder::codecNamed("mjpg"), AviRecorder::availableCodecs().front());
    EXPECT_EQ(AviRecorder::codecNamed("raw"), "Uncompressed");
}

TEST_F(WriterFolder, FramesAfterTheDurationEndTheRecording)
{
    const fs::path path = dir / "short.avi";
    AviRecorder recorder;
    recorder.start(path.string(), "", 64, 48, 25, 150, ImageSettings{});
    for (int i = 0; i < 5; ++i)
        recorder.push(monoFrame(64, 48, 128));
    EXPECT_TRUE(recorder.recording());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    recorder.push(monoFrame(64, 48, 128));  // past the duration: the file is closed now
    EXPECT_FALSE(recorder.recording());
    recorder.stop();
    EXPECT_EQ(recorder.framesWritten() + recorder.framesSkipped(), 5u);
    EXPECT_GT(fs::file_size(path), 0u);
}

TEST(Stills, SixteenBitMonoKeepsItsBitsInTiffAndPngAndEightInJpeg)
{
    FrameBuffer f;
    f.width = 8;
    f.height = 4;
    f.format = PixelFormat::Mono16;
    f.bits = 12;
    std::vector<uint16_t> pixels(32, 4000);
    pixels[1] = 17;
    f.data.resize(64);
    std::memcpy(f.data.data(), pixels.data(), 64);
    f.size = 64;
    for (const char *ending : {".tif", ".png"}) {
        std::vector<uint8_t> bytes;
        encodeStill(f, {}, std::string("x") + ending, 90, bytes);
        cv::Mat back = cv::imdecode(bytes, cv::IMREAD_UNCHANGED);
        ASSERT_EQ(back.depth(), CV_16U) << ending;
        EXPECT_EQ(back.at<uint16_t>(0, 0), 4000) << ending;
        EXPECT_EQ(back.at<uint16_t>(0, 1), 17) << ending;
    }
    std::vector<uint8_t> jpeg;
    encodeStill(f, {}, "x.jpg", 90, jpeg);
    EXPECT_EQ(cv::imdecode(jpeg, cv::IMREAD_UNCHANGED).depth(), CV_8U);
    std::vector<uint8_t> rgb;
    encodeStill(f, {}, "x-RGB.raw", 90, rgb);
    EXPECT_EQ(rgb.size(), 8u * 4 * 3);
    EXPECT_THROW(encodeStill(f, {}, "x.gif", 90, rgb), CameraError);
}

TEST_F(WriterFolder, SavedStillsAppearUnderTheirNameAndFailuresAreReported)
{
    ImageSaver saver(2);
    const FrameBuffer f = monoFrame(32, 16, 90);
    for (int i = 0; i < 5; ++i)
        saver.save(f, {}, (dir / ("s" + std::to_string(i) + ".bmp")).string(), 90);
    saver.flush();
    EXPECT_EQ(names().size(), 5u);
    EXPECT_EQ(saver.status().written, 5u);
    EXPECT_THROW(saver.save(f, {}, (dir / "none" / "a.jpg").string(), 90), CameraError);
    {
        FileSizeLimit limit(100);
        saver.save(noiseFrame(64, 64), {}, (dir / "big.bmp").string(), 90);
        saver.flush();
    }
    const WriterStatus s = saver.status();
    EXPECT_EQ(s.lost, 1u);
    EXPECT_NE(s.error.find("big.bmp"), std::string::npos);
    EXPECT_EQ(names().size(), 5u);  // no half-written big.bmp, no temporary file
}
