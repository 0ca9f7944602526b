// molvane-bench record: how fast the AVI recorder writes a simulated camera's frames, next to
// OpenCV's single-thread VideoWriter on the same frames, and what it loses at a steady input.
#include "bench/RecordBench.h"

#include "camera/imaging/AviRecorder.h"
#include "camera/imaging/FrameConverter.h"
#include "camera/sim/TestPattern.h"

#include <opencv2/videoio.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct RecordOptions {
    std::string codec = "MJPG";
    int width = 1920;
    int height = 1200;
    double seconds = 5;
    std::string format = "BayerGR8";
    fs::path dir = fs::temp_directory_path();
};

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time of the whole process (all threads), in milliseconds: on a shared machine the
// work per frame stays put while wall-clock rates move with the other load.
double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// A few frames of the simulated camera's moving pattern, fed round and round.
std::vector<cam::FrameBuffer> cameraFrames(const RecordOptions &o, cam::PixelFormat format)
{
    cam::TestPattern pattern;
    const int bits = cam::isSixteenBit(format) ? 12 : 8;
    pattern.configure(format, o.width, o.height, bits, cam::PatternLook{});
    std::vector<cam::FrameBuffer> frames(16);
    for (size_t i = 0; i < frames.size(); ++i) {
        cam::FrameBuffer &f = frames[i];
        f.width = o.width;
        f.height = o.height;
        f.bits = bits;
        f.format = format;
        f.number = i;
        f.data.resize(pattern.frameBytes());
        f.size = f.data.size();
        pattern.render(i * 7, f.data.data());
    }
    return frames;
}

struct RecorderRun {
    double fps = 0;
    double cpuMsPerFrame = 0;
    double mbPerSecond = 0;
    uint64_t written = 0;
    uint64_t lost = 0;
};

// Pushes frames for the given time, either as fast as the recorder takes them (inputFps 0) or at
// a steady rate; the file is closed before the clock stops.
RecorderRun record(const RecordOptions &o, const std::vector<cam::FrameBuffer> &frames,
                   const cam::ImageSettings &settings, double inputFps, int encoders = 0)
{
    const fs::path path = o.dir / ("molvane-bench-" + std::to_string(getpid()) + ".avi");
    cam::AviRecorder recorder;
    recorder.start(path.string(), o.codec, o.width, o.height, inputFps > 0 ? inputFps : 100, 3600 * 1000, settings,
                   encoders);
    const double cpu0 = cpuMs();
    const auto start = Clock::now();
    for (uint64_t n = 0; since(start) < o.seconds; ++n) {
        const cam::FrameBuffer &f = frames[n % frames.size()];
        if (inputFps > 0) {
            std::this_thread::sleep_until(start + std::chrono::duration<double>(n / inputFps));
            recorder.push(f);
        } else {
            recorder.pushWaiting(f);
        }
    }
    recorder.stop();
    const double elapsed = since(start);
    RecorderRun r;
    const cam::WriterStatus s = recorder.status();
    if (!s.error.empty())
        std::cerr << "recording failed: " << s.error << "\n";
    std::error_code ec;
    const auto bytes = fs::file_size(path, ec);
    fs::remove(path, ec);
    r.written = s.written;
    r.lost = s.lost;
    r.fps = s.written / elapsed;
    r.cpuMsPerFrame = s.written ? (cpuMs() - cpu0) / s.written : 0;
    r.mbPerSecond = ec ? 0 : bytes / elapsed / 1e6;
    return r;
}

// OpenCV's VideoWriter on one thread: convert and write each frame in turn.
double videoWriterFps(const RecordOptions &o, const std::vector<cam::FrameBuffer> &frames,
                      const cam::ImageSettings &settings, double &cpuMsPerFrame)
{
    const fs::path path = o.dir / ("molvane-bench-vw-" + std::to_string(getpid()) + ".avi");
    const int fourcc = o.codec == "raw" ? 0
                       : o.codec == "FFV1" ? cv::VideoWriter::fourcc('F', 'F', 'V', '1')
                                           : cv::VideoWriter::fourcc('M', 'J', 'P', 'G');
    cv::VideoWriter writer(path.string(), cv::CAP_FFMPEG, fourcc, 100, cv::Size(o.width, o.height), true);
    if (!writer.isOpened())
        writer.open(path.string(), cv::CAP_ANY, fourcc, 100, cv::Size(o.width, o.height), true);
    if (!writer.isOpened())
        return 0;
    cv::Mat bgr;
    uint64_t n = 0;
    const double cpu0 = cpuMs();
    const auto start = Clock::now();
    for (; since(start) < o.seconds; ++n) {
        cam::convertToBgr(frames[n % frames.size()], settings, bgr);
        writer.write(bgr);
    }
    writer.release();
    const double elapsed = since(start);
    cpuMsPerFrame = n ? (cpuMs() - cpu0) / n : 0;
    std::error_code ec;
    fs::remove(path, ec);
    return n / elapsed;
}

// Plain write() of frame-sized blocks into one file: the speed the disk (with its cache) takes.
double diskMbPerSecond(const RecordOptions &o, size_t block, double seconds)
{
    const fs::path path = o.dir / ("molvane-bench-disk-" + std::to_string(getpid()));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return 0;
    std::vector<uint8_t> data(block, 0x5a);
    uint64_t bytes = 0;
    const auto start = Clock::now();
    while (since(start) < seconds) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n <= 0)
            break;
        bytes += static_cast<uint64_t>(n);
    }
    ::close(fd);
    const double elapsed = since(start);
    std::error_code ec;
    fs::remove(path, ec);
    return bytes / elapsed / 1e6;
}

int recordUsage()
{
    std::cerr << "usage: molvane-bench record [--codec MJPG|raw|FFV1] [--width W --height H] [--seconds S]"
                 " [--format BayerGR8|Mono8|Mono16] [--dir FOLDER]\n";
    return 2;
}

} // namespace

int runRecordBench(int argc, char **argv)
{
    RecordOptions o;
    for (int i = 0; i < argc; i += 2) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            return recordUsage();
        const char *v = argv[i + 1];
        if (a == "--codec")
            o.codec = v;
        else if (a == "--width")
            o.width = std::atoi(v);
        else if (a == "--height")
            o.height = std::atoi(v);
        else if (a == "--seconds")
            o.seconds = std::atof(v);
        else if (a == "--format")
            o.format = v;
        else if (a == "--dir")
            o.dir = v;
        else
            return recordUsage();
    }
    const auto format = cam::pixelFormatFromName(o.format);
    if (!format || o.width < 64 || o.height < 48 || o.seconds <= 0 || cam::AviRecorder::codecNamed(o.codec).empty())
        return recordUsage();
    cam::ImageSettings settings;
    settings.bayerConversion = cam::isBayer(*format);  // colour, as the operator sees it
    const auto frames = cameraFrames(o, *format);
    std::printf("codec %s\nframe %dx%d %s\nencoders %d\n", cam::AviRecorder::codecNamed(o.codec).c_str(),
                o.width, o.height, o.format.c_str(), cam::WriterQueue::defaultEncoders());
    const RecorderRun fastest = record(o, frames, settings, 0);
    std::printf("recorder_frames_per_second %.1f\nrecorder_mb_per_second %.1f\nrecorder_skipped %llu\n"
                "recorder_cpu_ms_per_frame %.2f\n",
                fastest.fps, fastest.mbPerSecond, static_cast<unsigned long long>(fastest.lost), fastest.cpuMsPerFrame);
    // The same with one encoder: how much comes from the threads and how much from the encoder.
    const RecorderRun one = record(o, frames, settings, 0, 1);
    std::printf("recorder_1_encoder_frames_per_second %.1f\nrecorder_1_encoder_cpu_ms_per_frame %.2f\n", one.fps,
                one.cpuMsPerFrame);
    for (double rate : {50.0, 100.0}) {
        const RecorderRun paced = record(o, frames, settings, rate);
        std::printf("input_%.0f_fps_written %llu\ninput_%.0f_fps_lost %llu\n", rate,
                    static_cast<unsigned long long>(paced.written), rate,
                    static_cast<unsigned long long>(paced.lost));
    }
    if (o.codec == "raw") {
        const double disk = diskMbPerSecond(o, frames.front().size * 3, o.seconds);
        std::printf("disk_mb_per_second %.1f\nraw_vs_disk %.3f\n", disk, disk > 0 ? fastest.mbPerSecond / disk : 0);
    }
    double singleCpu = 0;
    const double single = videoWriterFps(o, frames, settings, singleCpu);
    std::printf("videowriter_frames_per_second %.1f\nvideowriter_cpu_ms_per_frame %.2f\n", single, singleCpu);
    // What an otherwise idle machine gives: the recorder's work spread over every core, against
    // the single thread's work per frame.
    const double cores = cam::WriterQueue::defaultEncoders();
    std::printf("idle_machine_ratio %.3f\n",
                fastest.cpuMsPerFrame > 0 ? singleCpu / (fastest.cpuMsPerFrame / cores) : 0.0);
    std::printf("ratio %.3f\n", single > 0 ? fastest.fps / single : 0.0);
    return 0;
}
