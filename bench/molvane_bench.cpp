// molvane-bench: end-to-end speed of the live image path, printed as "name value" lines.
//   molvane-bench display [--fps N] [--seconds S] [--width W] [--height H] [--format F]
// A simulated camera streams through the camera component into its display window (Qt's
// offscreen platform); frames delivered, frames dropped and user-interface thread time are
// measured, then the rate is raised until frames drop.
#include "camera/CMolvane.h"
#include "camera/CameraBus.h"
#include "camera/display/QtCameraDisplay.h"
#include "camera/display/QtDisplayInstall.h"
#include "camera/sim/SimCamera.h"
#include "framework/qt/QtPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>

namespace {

struct Options {
    double fps = 1000;
    double seconds = 10;
    int width = 1920;
    int height = 1200;
    std::string format = "BayerGR8";
};

struct Counter : cam::CameraEvents {
    uint64_t images = 0;
    uint64_t drops = 0;
    void ImageReceived(int) override { ++images; }
    void FrameDropped() override { ++drops; }
};

struct Result {
    double fps = 0;
    uint64_t delivered = 0;
    uint64_t dropped = 0;
    double uiMsPerFrame = 0;
    uint64_t painted = 0;
};

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Result run(cam::CMolvane &camera, Counter &counter, double fps, double seconds)
{
    camera.SetFloatValue("AcquisitionFrameRateAbs", static_cast<float>(fps));
    auto *display = static_cast<cam::QtCameraDisplay *>(camera.display());
    counter = Counter{};
    camera.SetAcquisition(1);
    // Let the stream settle before measuring.
    QTimer::singleShot(300, [] { QApplication::exit(); });
    QApplication::exec();
    counter = Counter{};
    const double cpu0 = threadCpuMs();
    const uint64_t painted0 = display->widget()->paintedFrames();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(static_cast<int>(seconds * 1000), [] { QApplication::exit(); });
    QApplication::exec();
    const double cpu = threadCpuMs() - cpu0;
    const double elapsed = wall.nsecsElapsed() / 1e9;
    Result r;
    r.delivered = counter.images;
    r.dropped = counter.drops;
    r.fps = counter.images / elapsed;
    r.uiMsPerFrame = counter.images ? cpu / counter.images : 0;
    r.painted = static_cast<uint64_t>((display->widget()->paintedFrames() - painted0) / elapsed);
    camera.SetAcquisition(0);
    return r;
}

int usage()
{
    std::cerr << "usage: molvane-bench display [--fps N] [--seconds S] [--width W] [--height H]"
                 " [--format BayerGR8|Mono8|Mono16|YUV422Packed]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "display") != 0)
        return usage();
    Options o;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            return usage();
        const char *v = argv[++i];
        if (a == "--fps")
            o.fps = std::atof(v);
        else if (a == "--seconds")
            o.seconds = std::atof(v);
        else if (a == "--width")
            o.width = std::atoi(v);
        else if (a == "--height")
            o.height = std::atoi(v);
        else if (a == "--format")
            o.format = v;
        else
            return usage();
    }
    if (o.fps <= 0 || o.seconds <= 0 || o.width < 64 || o.height < 48 ||
        !cam::pixelFormatFromName(o.format))
        return usage();

    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qargc = 1;
    QApplication app(qargc, argv);
    fw::QtPlatform platform;
    cam::installQtDisplay();

    cam::SimCameraSpec spec = cam::simCameraSpec(cam::SimKind::GigEColour, 1);
    spec.sensorWidth = o.width;
    spec.sensorHeight = o.height;
    spec.pixelFormats = {o.format};
    spec.maxFrameRate = 100000;
    auto sim = std::make_shared<cam::SimCamera>(spec);
    cam::CameraBus::instance().add(sim, true);

    QWidget host;
    host.resize(1024, 768);
    host.show();
    Counter counter;
    {
        cam::CMolvane camera;
        camera.Create("Molvane", [&](std::function<void()> fn) { platform.post(std::move(fn)); }, &counter,
                      &host, {0, 0, host.width(), host.height()});
        camera.ShowWindow(true);
        camera.SetCameraIndex(0);
        camera.SetZoom(0);  // fit to the window, as an operator watching a large sensor does
        if (cam::isBayer(*cam::pixelFormatFromName(o.format)))
            camera.SetBayerConversion(1);

        const Result r = run(camera, counter, o.fps, o.seconds);
        std::printf("camera %dx%d %s\n", o.width, o.height, o.format.c_str());
        std::printf("set_fps %.0f\n", o.fps);
        std::printf("frames_per_second %.1f\n", r.fps);
        std::printf("delivered %llu\n", static_cast<unsigned long long>(r.delivered));
        std::printf("dropped %llu\n", static_cast<unsigned long long>(r.dropped));
        std::printf("ui_ms_per_frame %.4f\n", r.uiMsPerFrame);
        std::printf("painted_per_second %llu\n", static_cast<unsigned long long>(r.painted));
        std::fflush(stdout);

        // Raise the rate by a quarter at a time until frames drop.
        double best = r.dropped == 0 ? o.fps : 0;
        double rate = r.dropped == 0 ? o.fps * 1.25 : o.fps / 2;
        for (int step = 0; step < 12 && rate <= 20000; ++step) {
            const Result t = run(camera, counter, rate, 3.0);
            const bool kept = t.dropped == 0 && t.fps > rate * 0.9;
            std::printf("probe_fps %.0f delivered_fps %.1f dropped %llu\n", rate, t.fps,
                        static_cast<unsigned long long>(t.dropped));
            if (!kept && best > 0)
                break;
            if (kept)
                best = std::max(best, rate);
            rate = kept ? rate * 1.25 : rate / 2;
        }
        std::printf("max_fps_without_drops %.0f\n", best);
    }
    cam::CameraBus::instance().clear();
    return 0;
}
