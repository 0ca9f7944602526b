// molvane-bench: end-to-end speed of the camera paths, printed as "name value" lines.
//   molvane-bench display [--cameras N] [--fps N] [--seconds S] [--width W] [--height H]
//                         [--format F] [--histogram] [--profiles]
//     N simulated cameras (1 unless told) each stream through a camera component into its own
//     display window (Qt's offscreen platform); frames delivered and dropped per camera and in
//     total and user-interface thread time are measured, then the rate is raised until frames
//     drop. With --histogram or --profiles the set rate is run once more without and once with
//     those viewers open, fed every 15th frame of the first camera as in the application, and
//     both user-interface times are printed.
//   molvane-bench aravis [--seconds S] [--rounds N]
//     Starts arv-fake-gv-camera-0.8 on 127.0.0.1 at its largest size and fastest rate and
//     receives from it through the component (with a camera window's read-outs running) and
//     through a plain Aravis loop, taking turns for N rounds of S seconds each. Prints each
//     round, the process CPU time per frame of each receiver, the control requests a second the
//     camera handled, and "median_ratio R" (component / plain frames per second).
//   molvane-bench tree GENICAM.xml [--fake-camera]
//     The node tree page filled from a camera's description: user-interface time of the fill
//     and of switching the visibility level.
//   molvane-bench record [--codec MJPG|raw|FFV1] [--width W --height H] [--seconds S]
//     The AVI recorder on a simulated camera's frames, against OpenCV's VideoWriter on one
//     thread, ending with "ratio R" (recorder / VideoWriter); see RecordBench.cpp.
#include "analysis/AnalysisWindows.h"
#include "analysis/CFrameFeed.h"
#include "analysis/CHistoDlg.h"
#include "analysis/CHorizonDlg.h"
#include "analysis/CVerticalDlg.h"
#include "app/AppAccess.h"
#include "bench/RecordBench.h"
#include "bench/TreeBench.h"
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
#include <algorithm>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
extern char **environ;
#endif

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Options {
    double fps = 1000;
    double seconds = 10;
    int width = 1920;
    int height = 1200;
    int cameras = 1;
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

struct Counter;
const Counter *g_feedSource = nullptr;  // the events of the camera that feeds the viewers

struct Counter : cam::CameraEvents {
    uint64_t images = 0;
    uint64_t drops = 0;
    void ImageReceived(int) override
    {
        ++images;
        if (g_feedView && this == g_feedSource && ++g_feedCounter >= 15)
            feedViewers();
    }
    void FrameDropped() override { ++drops; }
};

// One simulated camera streaming into a window of its own.
struct Station {
    QWidget host;
    Counter counter;
    cam::CMolvane camera;
    uint64_t painted0 = 0;
    cam::DisplayWidget &display()
    {
        return *static_cast<cam::QtCameraDisplay *>(camera.display())->widget();
    }
};
using Stations = std::vector<std::unique_ptr<Station>>;

struct CameraResult {
    double fps = 0;
    uint64_t delivered = 0;
    uint64_t dropped = 0;
    uint64_t painted = 0;  // per second
};

struct Result {
    std::vector<CameraResult> cameras;
    double fps = 0;
    uint64_t delivered = 0;
    uint64_t dropped = 0;
    double uiMsPerFrame = 0;
    double otherMsPerFrame = 0;  // the other threads: the cameras' frame generation
};

double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double threadCpuMs() { return cpuMs(CLOCK_THREAD_CPUTIME_ID); }

void runEventLoopFor(double seconds)
{
    QTimer::singleShot(static_cast<int>(seconds * 1000), [] { QApplication::exit(); });
    QApplication::exec();
}

// All cameras stream at `fps` at once; each one's delivery and drops, and the user-interface
// thread's time per delivered frame over all of them.
Result run(Stations &stations, double fps, double seconds)
{
    for (auto &s : stations) {
        s->camera.SetFloatValue("AcquisitionFrameRateAbs", static_cast<float>(fps));
        s->camera.SetAcquisition(1);
    }
    runEventLoopFor(0.3);  // let the streams settle before measuring
    for (auto &s : stations) {
        s->counter = Counter{};
        s->painted0 = s->display().paintedFrames();
    }
    const double cpu0 = threadCpuMs(), process0 = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    QElapsedTimer wall;
    wall.start();
    runEventLoopFor(seconds);
    const double cpu = threadCpuMs() - cpu0;
    const double process = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - process0;
    const double elapsed = wall.nsecsElapsed() / 1e9;
    Result r;
    for (auto &s : stations) {
        CameraResult c;
        c.delivered = s->counter.images;
        c.dropped = s->counter.drops;
        c.fps = c.delivered / elapsed;
        c.painted = static_cast<uint64_t>((s->display().paintedFrames() - s->painted0) / elapsed);
        r.cameras.push_back(c);
        r.delivered += c.delivered;
        r.dropped += c.dropped;
        r.fps += c.fps;
    }
    for (auto &s : stations)
        s->camera.SetAcquisition(0);
    r.uiMsPerFrame = r.delivered ? cpu / r.delivered : 0;
    r.otherMsPerFrame = r.delivered ? (process - cpu) / r.delivered : 0;
    return r;
}

// The set rate without and with the chosen analysis viewers open, one after the other.
void runWithViewers(Stations &stations, const Options &o)
{
    cam::CMolvane &camera = stations.front()->camera;
    const Result without = run(stations, o.fps, o.seconds);
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
    g_feedSource = &stations.front()->counter;
    const Result with = run(stations, o.fps, o.seconds);
    g_feedView = nullptr;
    g_feedSource = nullptr;
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
    std::cerr << "usage: molvane-bench display [--cameras N] [--fps N] [--seconds S] [--width W]"
                 " [--height H] [--format BayerGR8|Mono8|Mono16|YUV422Packed] [--histogram] [--profiles]\n"
                 "       molvane-bench aravis [--seconds S] [--rounds N]\n"
                 "       molvane-bench tree GENICAM.xml [--fake-camera]\n";
    return 2;
}

#ifdef MOLVANE_HAVE_ARAVIS
constexpr const char *kFakeId = "Aravis-Fake-GV01";

double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The fake camera, started with its device log on a pipe: each control request it handles
// (a register or memory read or write) is one line there, counted on the camera's side.
struct FakeCamera {
    pid_t pid = -1;
    std::atomic<uint64_t> controlRequests{0};
    std::thread reader;

    bool start()
    {
        int out[2];
        if (pipe(out) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 2);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char *args[] = {const_cast<char *>("arv-fake-gv-camera-0.8"), const_cast<char *>("-i"),
                        const_cast<char *>("127.0.0.1"), const_cast<char *>("-d"),
                        const_cast<char *>("device"), nullptr};
        const bool ok = posix_spawnp(&pid, args[0], &actions, nullptr, args, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (!ok) {
            close(out[0]);
            return false;
        }
        reader = std::thread([this, fd = out[0]] {
            FILE *log = fdopen(fd, "r");
            char line[512];
            while (fgets(line, sizeof line, log))
                if (std::strstr(line, "handle_control_packet] Read") ||
                    std::strstr(line, "handle_control_packet] Write"))
                    ++controlRequests;
            fclose(log);
        });
        return true;
    }
    ~FakeCamera()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (reader.joinable())
            reader.join();
    }
};

// What one receiver did in one round.
struct Round {
    double fps = 0;
    double cpuMsPerFrame = 0;
    double controlPerSecond = 0;
    uint64_t dropped = 0;
};

// Measures `seconds` of a running receiver: `frames` counts what it has received so far and
// `turn` lets it work for a moment (and returns at once if it works on threads of its own).
Round measure(FakeCamera &fake, double seconds, const std::function<uint64_t()> &frames,
              const std::function<void()> &turn)
{
    const uint64_t frames0 = frames();
    const uint64_t control0 = fake.controlRequests;
    const double cpu0 = processCpuMs();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < seconds * 1000)
        turn();
    const double elapsed = t.nsecsElapsed() / 1e9;
    Round r;
    const uint64_t n = frames() - frames0;
    r.fps = n / elapsed;
    r.cpuMsPerFrame = n ? (processCpuMs() - cpu0) / n : 0;
    r.controlPerSecond = (fake.controlRequests - control0) / elapsed;
    return r;
}

// The fake camera at its largest image and fastest rate.
void largestAndFastest(cam::FeatureAccess &f)
{
    f.setIntValue("Width", f.intMax("Width"));
    f.setIntValue("Height", f.intMax("Height"));
    f.setFloatValue("AcquisitionFrameRate", f.floatMax("AcquisitionFrameRate"));
}

// The calls a camera window makes while it plays: the image size with every frame, and the
// info pane's status refresh every 100 ms.
struct ViewLoad : Counter {
    cam::CMolvane *camera = nullptr;
    void ImageReceived(int) override
    {
        ++images;
        camera->GetImageWidth();
        camera->GetImageHeight();
    }
    void refreshStatus()
    {
        camera->GetReceivedFrameRate();
        camera->GetAcquisitionMode();
        camera->GetReceivedFrameCount();
    }
};

// Calls posted to the bench's user-interface thread, which sleeps until one comes as an event
// loop does (the plain loop likewise blocks in Aravis until a frame is there).
struct PostedCalls {
    fw::HeadlessPlatform platform;
    std::mutex mutex;
    std::condition_variable posted;
    bool pending = false;

    void post(std::function<void()> fn)
    {
        platform.post(std::move(fn));
        std::lock_guard<std::mutex> lock(mutex);
        pending = true;
        posted.notify_one();
    }
    void runWithin(std::chrono::milliseconds wait)
    {
        {
            std::unique_lock<std::mutex> lock(mutex);
            posted.wait_for(lock, wait, [this] { return pending; });
            pending = false;
        }
        platform.processEvents();
    }
};

// A round through the camera component, with a camera window's read-outs running.
Round componentRound(FakeCamera &fake, double seconds, int &width, int &height)
{
    PostedCalls calls;
    fw::HeadlessPlatform &platform = calls.platform;
    ViewLoad load;
    cam::CMolvane camera;
    load.camera = &camera;
    camera.Create("Molvane", [&](std::function<void()> fn) { calls.post(std::move(fn)); }, &load);
    Round r;
    try {
        camera.SetCameraIndex(0);
        largestAndFastest(camera.device()->features());
        width = camera.GetImageWidth();
        height = camera.GetImageHeight();
        camera.SetAcquisition(1);
        platform.processUntil([&] { return load.images >= 3; }, 5000);
        QElapsedTimer status;
        status.start();
        r = measure(fake, seconds, [&] { return load.images; }, [&] {
            calls.runWithin(std::chrono::milliseconds(std::max<qint64>(0, 100 - status.elapsed())));
            if (status.elapsed() >= 100) {
                status.restart();
                load.refreshStatus();
            }
        });
        r.dropped = camera.framesDropped();
        camera.SetAcquisition(0);
    } catch (const std::exception &e) {
        std::cerr << "molvane-bench: " << e.what() << "\n";
    }
    return r;
}

// A round through a bare Aravis receive loop.
Round plainRound(FakeCamera &fake, double seconds)
{
    GError *error = nullptr;
    ArvCamera *camera = arv_camera_new(kFakeId, &error);
    if (!camera) {
        g_clear_error(&error);
        return {};
    }
    ArvDevice *device = arv_camera_get_device(camera);
    cam::AravisFeatures f(device, "GV01");
    largestAndFastest(f);
    const guint payload = arv_camera_get_payload(camera, nullptr);
    ArvStream *stream = arv_camera_create_stream(camera, nullptr, nullptr, nullptr);
    g_object_set(stream, "socket-buffer", ARV_GV_STREAM_SOCKET_BUFFER_AUTO, nullptr);
    for (int i = 0; i < 8; ++i) {
        // Touched before the clock runs, as the component's pool is, so that neither receiver's
        // CPU time holds first-touch page faults.
        ArvBuffer *b = arv_buffer_new(payload, nullptr);
        size_t size = 0;
        std::memset(const_cast<void *>(arv_buffer_get_data(b, &size)), 0, size);
        arv_stream_push_buffer(stream, b);
    }
    arv_camera_start_acquisition(camera, nullptr);
    uint64_t frames = 0;
    auto pop = [&] {
        if (ArvBuffer *b = arv_stream_timeout_pop_buffer(stream, 200000)) {
            if (arv_buffer_get_status(b) == ARV_BUFFER_STATUS_SUCCESS)
                ++frames;
            arv_stream_push_buffer(stream, b);
        }
    };
    while (frames < 3)
        pop();
    const Round r = measure(fake, seconds, [&] { return frames; }, pop);
    arv_camera_stop_acquisition(camera, nullptr);
    g_object_unref(stream);
    g_object_unref(camera);
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int runAravis(double seconds, int rounds)
{
    FakeCamera fake;
    if (!fake.start()) {
        std::cerr << "molvane-bench: cannot start arv-fake-gv-camera-0.8\n";
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    cam::AravisDiscovery discovery;
    discovery.scan();
    int width = 0, height = 0;
    std::vector<double> ratios, componentCpu, plainCpu, control, plainControl;
    uint64_t dropped = 0;
    // The receivers take turns, so a slow spell of this shared machine falls on both.
    for (int i = 1; i <= rounds; ++i) {
        const Round c = componentRound(fake, seconds, width, height);
        const Round p = plainRound(fake, seconds);
        std::printf("round %d component_fps %.1f cpu_ms_per_frame %.3f control_per_second %.1f dropped %llu"
                    " | plain_fps %.1f cpu_ms_per_frame %.3f control_per_second %.1f | ratio %.3f\n",
                    i, c.fps, c.cpuMsPerFrame, c.controlPerSecond, static_cast<unsigned long long>(c.dropped),
                    p.fps, p.cpuMsPerFrame, p.controlPerSecond, p.fps > 0 ? c.fps / p.fps : 0.0);
        std::fflush(stdout);
        ratios.push_back(p.fps > 0 ? c.fps / p.fps : 0);
        componentCpu.push_back(c.cpuMsPerFrame);
        plainCpu.push_back(p.cpuMsPerFrame);
        control.push_back(c.controlPerSecond);
        plainControl.push_back(p.controlPerSecond);
        dropped += c.dropped;
    }
    std::printf("camera %dx%d Mono8 (arv-fake-gv-camera-0.8, 127.0.0.1)\n", width, height);
    std::printf("component_cpu_ms_per_frame %.3f\n", median(componentCpu));
    std::printf("plain_aravis_cpu_ms_per_frame %.3f\n", median(plainCpu));
    std::printf("component_dropped %llu\n", static_cast<unsigned long long>(dropped));
    std::printf("component_control_requests_per_second %.1f\n", median(control));
    std::printf("plain_aravis_control_requests_per_second %.1f\n", median(plainControl));
    std::printf("median_ratio %.3f\n", median(ratios));
    return 0;
}
#endif


// The cameras' windows tile a 1920 x 1080 screen, as on a multi-camera station; one camera
// alone gets a 1024 x 768 window.
Stations openStations(const Options &o, fw::QtPlatform &platform)
{
    const int columns = static_cast<int>(std::ceil(std::sqrt(o.cameras)));
    const int rows = (o.cameras + columns - 1) / columns;
    const QSize size = o.cameras == 1 ? QSize(1024, 768) : QSize(1920 / columns, 1080 / rows);
    Stations stations;
    for (int i = 0; i < o.cameras; ++i) {
        cam::SimCameraSpec params = cam::simCameraSpec(cam::SimKind::GigEColour, i + 1);
        params.sensorWidth = o.width;
        params.sensorHeight = o.height;
        params.pixelFormats = {o.format};
        params.maxFrameRate = 100000;
        cam::CameraBus::instance().add(std::make_shared<cam::SimCamera>(params), true);
        auto s = std::make_unique<Station>();
        s->host.setGeometry(QRect(QPoint(i % columns * size.width(), i / columns * size.height()), size));
        s->host.show();
        s->camera.Create("Molvane", [&platform](std::function<void()> fn) { platform.post(std::move(fn)); },
                         &s->counter, &s->host, {0, 0, size.width(), size.height()});
        s->camera.ShowWindow(true);
        s->camera.SetCameraIndex(i);
        s->camera.SetZoom(0);  // fit to the window, as an operator watching a large sensor does
        if (cam::isBayer(*cam::pixelFormatFromName(o.format)))
            s->camera.SetBayerConversion(1);
        stations.push_back(std::move(s));
    }
    return stations;
}

void printResult(const Result &r)
{
    for (size_t i = 0; i < r.cameras.size(); ++i) {
        const CameraResult &c = r.cameras[i];
        std::printf("camera_index %zu\n", i);
        std::printf("frames_per_second %.1f\n", c.fps);
        std::printf("delivered %llu\n", static_cast<unsigned long long>(c.delivered));
        std::printf("dropped %llu\n", static_cast<unsigned long long>(c.dropped));
        std::printf("painted_per_second %llu\n", static_cast<unsigned long long>(c.painted));
    }
    std::printf("total_frames_per_second %.1f\n", r.fps);
    std::printf("total_dropped %llu\n", static_cast<unsigned long long>(r.dropped));
    std::printf("ui_ms_per_frame %.4f\n", r.uiMsPerFrame);
    std::printf("other_threads_ms_per_frame %.4f\n", r.otherMsPerFrame);
    std::fflush(stdout);
}

// Raises every camera's rate by a quarter at a time until frames drop.
void probe(Stations &stations, double fps, bool kept)
{
    double best = kept ? fps : 0;
    double rate = kept ? fps * 1.25 : fps / 2;
    for (int step = 0; step < 12 && rate <= 20000; ++step) {
        const Result t = run(stations, rate, 3.0);
        const bool ok = t.dropped == 0 && t.fps > rate * stations.size() * 0.9;
        std::printf("probe_fps %.0f delivered_fps %.1f dropped %llu\n", rate, t.fps / stations.size(),
                    static_cast<unsigned long long>(t.dropped));
        std::fflush(stdout);
        if (!ok && best > 0)
            break;
        if (ok)
            best = std::max(best, rate);
        rate = ok ? rate * 1.25 : rate / 2;
    }
    std::printf("max_fps_without_drops %.0f\n", best);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "record") == 0)
        return runRecordBench(argc - 2, argv + 2);
#ifdef MOLVANE_HAVE_ARAVIS
    if (argc >= 2 && std::strcmp(argv[1], "aravis") == 0) {
        double seconds = 3;
        int rounds = 5;
        for (int i = 2; i + 1 < argc; i += 2) {
            if (std::strcmp(argv[i], "--seconds") == 0)
                seconds = std::atof(argv[i + 1]);
            else if (std::strcmp(argv[i], "--rounds") == 0)
                rounds = std::atoi(argv[i + 1]);
            else
                return usage();
        }
        if (argc % 2 != 0 || seconds <= 0 || rounds < 1)
            return usage();
        return runAravis(seconds, rounds);
    }
#endif
    if (argc >= 2 && std::strcmp(argv[1], "tree") == 0)
        return runTreeBench(argc, argv);
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
        else if (a == "--cameras")
            o.cameras = std::atoi(v);
        else if (a == "--format")
            o.format = v;
        else
            return usage();
    }
    if (o.fps <= 0 || o.seconds <= 0 || o.width < 64 || o.height < 48 || o.cameras < 1 ||
        o.cameras > 16 || !cam::pixelFormatFromName(o.format))
        return usage();

    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qargc = 1;
    QApplication app(qargc, argv);
    fw::QtPlatform platform;
    cam::installQtDisplay();
    {
        Stations stations = openStations(o, platform);
        const Result r = run(stations, o.fps, o.seconds);
        std::printf("camera %dx%d %s\n", o.width, o.height, o.format.c_str());
        std::printf("cameras %d\n", o.cameras);
        std::printf("set_fps %.0f\n", o.fps);
        printResult(r);
        probe(stations, o.fps, r.dropped == 0);
        if (o.histogram || o.profiles)
            runWithViewers(stations, o);
    }
    cam::CameraBus::instance().clear();
    return 0;
}
