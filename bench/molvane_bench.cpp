// molvane-bench: end-to-end speed of the camera paths, printed as "name value" lines.
//   molvane-bench display [--fps N] [--seconds S] [--width W] [--height H] [--format F]
//                         [--histogram] [--profiles]
//     A simulated camera streams through the camera component into its display window (Qt's
//     offscreen platform); frames delivered, frames dropped and user-interface thread time are
//     measured, then the rate is raised until frames drop. With --histogram or --profiles the
//     set rate is run once more without and once with those viewers open, fed every 15th frame
//     as in the application, and both user-interface times are printed.
//   molvane-bench aravis [--seconds S]
//     Starts arv-fake-gv-camera-0.8 on 127.0.0.1 at its largest size and fastest rate and
//     receives from it through the component and through a plain Aravis loop, one after the
//     other, ending with "ratio R" (component / plain).
#include "analysis/AnalysisWindows.h"
#include "analysis/CFrameFeed.h"
#include "analysis/CHistoDlg.h"
#include "analysis/CHorizonDlg.h"
#include "analysis/CVerticalDlg.h"
#include "app/AppAccess.h"
#include "camera/CMolvane.h"
#include "camera/CameraBus.h"
#include "camera/display/QtCameraDisplay.h"
#include "camera/display/QtDisplayInstall.h"
#include "camera/sim/SimCamera.h"
#include "view/CMolvaneView.h"
#include "framework/headless/HeadlessPlatform.h"
#include "framework/qt/QtPlatform.h"
#ifdef MOLVANE_HAVE_ARAVIS
#include "camera/aravis/AravisDiscovery.h"
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
extern char **environ;
#endif

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
    bool histogram = false;
    bool profiles = false;
};

// Set while analysis viewers are open: every 15th frame goes to them, as a camera view feeds
// them. The user-interface time of handing a frame over and of updating the viewers with the
// result is summed apart from painting.
CMolvaneView *g_feedView = nullptr;
CFrameFeed *g_feed = nullptr;
int g_feedCounter = 0;
double g_deliverMs = 0, g_showMs = 0;
uint64_t g_delivered = 0, g_shown = 0;

double threadCpuMs();

void feedViewers()
{
    const double t0 = threadCpuMs();
    if (g_feed->Deliver(*g_feedView->m_pCamera, AnalysisRequest(*g_feedView))) {
        g_feedCounter = 0;
        ++g_delivered;
    }
    g_deliverMs += threadCpuMs() - t0;
}

void showResult(const FeedResult &r)
{
    const double t0 = threadCpuMs();
    ShowFeedResult(r);
    g_showMs += threadCpuMs() - t0;
    ++g_shown;
}

struct Counter : cam::CameraEvents {
    uint64_t images = 0;
    uint64_t drops = 0;
    void ImageReceived(int) override
    {
        ++images;
        if (g_feedView && ++g_feedCounter >= 15)
            feedViewers();
    }
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

// The set rate without and with the chosen analysis viewers open, one after the other.
void runWithViewers(cam::CMolvane &camera, Counter &counter, const Options &o)
{
    const Result without = run(camera, counter, o.fps, o.seconds);
    CMolvaneView view;  // stands for the camera window the viewers were opened for
    view.m_pCamera = &camera;
    view.m_ptPixel = {o.width / 2, o.height / 2};
    std::string names;
    auto open = [&](auto *&slot, fw::Point at, const char *name) {
        slot = new std::remove_reference_t<decltype(*slot)>;
        slot->m_pCameraView = &view;
        slot->CreateAt(nullptr, at);
        names += names.empty() ? name : std::string(",") + name;
    };
    if (o.histogram)
        open(g_pHistoDlg, {160, 250}, "histogram");
    if (o.profiles) {
        open(g_pHorizonDlg, {200, 500}, "horizontal");
        open(g_pVerticalDlg, {500, 200}, "vertical");
    }
    auto feed = std::make_unique<CFrameFeed>(showResult);
    g_feed = feed.get();
    g_feedView = &view;
    const Result with = run(camera, counter, o.fps, o.seconds);
    g_feedView = nullptr;
    feed.reset();
    QApplication::processEvents();
    DeleteAnalysisWindows();
    view.m_pCamera = nullptr;  // the bench owns the camera

    std::printf("viewers %s\n", names.c_str());
    std::printf("frames_per_second_without_viewers %.1f\n", without.fps);
    std::printf("dropped_without_viewers %llu\n", static_cast<unsigned long long>(without.dropped));
    std::printf("ui_ms_per_frame_without_viewers %.4f\n", without.uiMsPerFrame);
    std::printf("frames_per_second_with_viewers %.1f\n", with.fps);
    std::printf("dropped_with_viewers %llu\n", static_cast<unsigned long long>(with.dropped));
    std::printf("ui_ms_per_frame_with_viewers %.4f\n", with.uiMsPerFrame);
    std::printf("ui_ms_per_frame_difference %.4f\n", with.uiMsPerFrame - without.uiMsPerFrame);
    // The same as user-interface time per second: unlike the time per frame it does not grow
    // when a busy machine delivers fewer frames.
    std::printf("ui_ms_per_second_without_viewers %.1f\n", without.uiMsPerFrame * without.fps);
    std::printf("ui_ms_per_second_with_viewers %.1f\n", with.uiMsPerFrame * with.fps);
    std::printf("analysed %llu\n", static_cast<unsigned long long>(g_shown));
    std::printf("ui_ms_per_analysed_frame_handover %.4f\n", g_delivered ? g_deliverMs / g_delivered : 0.0);
    std::printf("ui_ms_per_analysed_frame_viewer_update %.4f\n", g_shown ? g_showMs / g_shown : 0.0);
}

int usage()
{
    std::cerr << "usage: molvane-bench display [--fps N] [--seconds S] [--width W] [--height H]"
                 " [--format BayerGR8|Mono8|Mono16|YUV422Packed] [--histogram] [--profiles]\n"
                 "       molvane-bench aravis [--seconds S]\n";
    return 2;
}

#ifdef MOLVANE_HAVE_ARAVIS
constexpr const char *kFakeId = "Aravis-Fake-GV01";

// The fake camera at its largest image and fastest rate.
void largestAndFastest(cam::FeatureAccess &f)
{
    f.setIntValue("Width", f.intMax("Width"));
    f.setIntValue("Height", f.intMax("Height"));
    f.setFloatValue("AcquisitionFrameRate", f.floatMax("AcquisitionFrameRate"));
}

// Frames per second a bare Aravis receive loop gets from the camera.
double plainAravis(double seconds)
{
    GError *error = nullptr;
    ArvCamera *camera = arv_camera_new(kFakeId, &error);
    if (!camera)
        return 0;
    ArvDevice *device = arv_camera_get_device(camera);
    cam::AravisFeatures f(device, "GV01");
    largestAndFastest(f);
    const guint payload = arv_camera_get_payload(camera, nullptr);
    ArvStream *stream = arv_camera_create_stream(camera, nullptr, nullptr, nullptr);
    g_object_set(stream, "socket-buffer", ARV_GV_STREAM_SOCKET_BUFFER_AUTO, nullptr);
    for (int i = 0; i < 8; ++i)
        arv_stream_push_buffer(stream, arv_buffer_new(payload, nullptr));
    arv_camera_start_acquisition(camera, nullptr);
    QElapsedTimer t;
    t.start();
    uint64_t frames = 0;
    while (t.elapsed() < seconds * 1000) {
        ArvBuffer *b = arv_stream_timeout_pop_buffer(stream, 200000);
        if (!b)
            continue;
        if (arv_buffer_get_status(b) == ARV_BUFFER_STATUS_SUCCESS)
            ++frames;
        arv_stream_push_buffer(stream, b);
    }
    const double fps = frames / (t.nsecsElapsed() / 1e9);
    arv_camera_stop_acquisition(camera, nullptr);
    g_object_unref(stream);
    g_object_unref(camera);
    return fps;
}

int runAravis(double seconds)
{
    char *args[] = {const_cast<char *>("arv-fake-gv-camera-0.8"), const_cast<char *>("-i"),
                    const_cast<char *>("127.0.0.1"), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args, environ) != 0) {
        std::cerr << "molvane-bench: cannot start arv-fake-gv-camera-0.8\n";
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    double component = 0, plain = 0;
    uint64_t dropped = 0;
    int width = 0, height = 0;
    {
        fw::HeadlessPlatform platform;
        cam::AravisDiscovery discovery;
        discovery.scan();
        Counter counter;
        cam::CMolvane camera;
        camera.Create("Molvane", [&](std::function<void()> fn) { platform.post(std::move(fn)); }, &counter);
        try {
            camera.SetCameraIndex(0);
            largestAndFastest(camera.device()->features());
            width = camera.GetImageWidth();
            height = camera.GetImageHeight();
            camera.SetAcquisition(1);
            platform.processUntil([&] { return counter.images >= 3; }, 5000);
            counter = Counter{};
            QElapsedTimer t;
            t.start();
            platform.processUntil([&] { return t.elapsed() >= seconds * 1000; }, static_cast<int>(seconds * 1000 + 1000));
            component = counter.images / (t.nsecsElapsed() / 1e9);
            dropped = counter.drops;
            camera.SetAcquisition(0);
        } catch (const std::exception &e) {
            std::cerr << "molvane-bench: " << e.what() << "\n";
        }
    }
    plain = plainAravis(seconds);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::printf("camera %dx%d Mono8 (arv-fake-gv-camera-0.8, 127.0.0.1)\n", width, height);
    std::printf("component_frames_per_second %.1f\n", component);
    std::printf("component_dropped %llu\n", static_cast<unsigned long long>(dropped));
    std::printf("plain_aravis_frames_per_second %.1f\n", plain);
    std::printf("ratio %.3f\n", plain > 0 ? component / plain : 0.0);
    return 0;
}
#endif

} // namespace

int main(int argc, char **argv)
{
#ifdef MOLVANE_HAVE_ARAVIS
    if (argc >= 2 && std::strcmp(argv[1], "aravis") == 0) {
        double seconds = 10;
        if (argc == 4 && std::strcmp(argv[2], "--seconds") == 0)
            seconds = std::atof(argv[3]);
        else if (argc != 2)
            return usage();
        return seconds > 0 ? runAravis(seconds) : usage();
    }
#endif
    if (argc < 2 || std::strcmp(argv[1], "display") != 0)
        return usage();
    Options o;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--histogram" || a == "--profiles") {
            (a == "--histogram" ? o.histogram : o.profiles) = true;
            continue;
        }
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

    cam::SimCameraSpec params = cam::simCameraSpec(cam::SimKind::GigEColour, 1);
    params.sensorWidth = o.width;
    params.sensorHeight = o.height;
    params.pixelFormats = {o.format};
    params.maxFrameRate = 100000;
    auto sim = std::make_shared<cam::SimCamera>(params);
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
        if (o.histogram || o.profiles)
            runWithViewers(camera, counter, o);
    }
    cam::CameraBus::instance().clear();
    return 0;
}
