// Times the node tree page on a real camera's description (Qt's offscreen platform).
#include "bench/TreeBench.h"

#include "app/AppAccess.h"
#include "app/CCameraListWnd.h"
#include "app/CControlBasePane.h"
#include "app/CMainFrame.h"
#include "app/CMenuDlg.h"
#include "app/CMolvaneApp.h"
#include "bench/GenICamXmlTree.h"
#include "camera/CameraBus.h"
#include "camera/display/QtDisplayInstall.h"
#include "camera/sim/SimCamera.h"
#include "framework/qt/QtPlatform.h"
#include "pages/CXMLTreeDlg.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"
#ifdef MOLVANE_HAVE_ARAVIS
#include "camera/aravis/AravisDiscovery.h"
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
extern char **environ;
#endif

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>
#include <iostream>
#include <string>

namespace {

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents(QEventLoop::AllEvents);
}

// Runs one operator action and everything it leaves for the event loop; prints its
// user-interface thread time (CPU) and its wall time.
void timed(const char *name, const std::function<void()> &action)
{
    const double cpu0 = threadCpuMs();
    QElapsedTimer wall;
    wall.start();
    action();
    settle();
    std::printf("%s_ui_ms %.1f\n%s_wall_ms %.1f\n", name, threadCpuMs() - cpu0, name,
                wall.nsecsElapsed() / 1e6);
}

void chooseLevel(CXMLTreeDlg &page, int level)
{
    page.form().setSelection(res::TreVisibility, level);
    page.dispatch(fw::Notify::SelChange, res::TreVisibility);
}

// Opens the camera of list line `line` in the application and times its tree page.
int timePage(int line)
{
    auto app = std::make_unique<CMolvaneApp>();
    if (!app->InitInstance())
        return 1;
    settle();
    CMainFrame &frame = *mainFrame();
    frame.m_wndCameraList.select(line);
    frame.m_wndCameraList.dispatch(fw::Notify::SelChange, res::ListCameras);
    frame.m_wndCameraList.dispatch(fw::Notify::DblClick, res::ListCameras);
    settle();
    CMolvaneView *view = frame.activeCameraView();
    if (!view) {
        std::cerr << "molvane-bench: the camera did not open\n";
        return 1;
    }
    frame.routeCommand(res::CmdCameraControl);
    settle();
    timed("fill", [&] { frame.m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnTree); });
    CXMLTreeDlg &page = *view->m_pXMLTreeDlg;
    std::printf("items_beginner %zu\n", page.form().treeItems(res::TreNodes).size());
    timed("switch_to_guru", [&] { chooseLevel(page, 2); });
    std::printf("items_guru %zu\n", page.form().treeItems(res::TreNodes).size());
    timed("switch_to_beginner", [&] { chooseLevel(page, 0); });
    frame.close();
    settle();
    return 0;
}

// A simulated camera carrying the description's feature tree: the page's own time.
int onSimulatedCamera(const char *file)
{
    auto sim = std::make_shared<cam::SimCamera>(cam::simCameraSpec(cam::SimKind::GigEColour, 1));
    auto &map = static_cast<cam::NodeMap &>(sim->features());
    map.category("Root", "Description");
    const int loaded = GenICamXmlTree::load(file, map, "Description");
    if (loaded < 0) {
        std::cerr << "molvane-bench: " << file << " is not a GenICam description with a Root\n";
        return 1;
    }
    cam::CameraBus::instance().add(sim, true);
    std::printf("description %s\nfeatures_loaded %d\n", file, loaded);
    const int status = timePage(0);
    cam::CameraBus::instance().clear();
    return status;
}

#ifdef MOLVANE_HAVE_ARAVIS
// arv-fake-gv-camera-0.8 serving the description on 127.0.0.1: the page with every register
// read going over the network (the fake camera crashes on registers far above its XML, which
// only the AVT and JAI descriptions avoid).
int onFakeCamera(const char *file)
{
    char *args[] = {const_cast<char *>("arv-fake-gv-camera-0.8"), const_cast<char *>("-i"),
                    const_cast<char *>("127.0.0.1"), const_cast<char *>("-g"),
                    const_cast<char *>(file), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args, environ) != 0) {
        std::cerr << "molvane-bench: cannot start arv-fake-gv-camera-0.8\n";
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int status = 1;
    {
        cam::AravisDiscovery discovery;
        discovery.scan();
        std::printf("description %s\nserved_by arv-fake-gv-camera-0.8\n", file);
        status = timePage(0);
        cam::CameraBus::instance().clear();
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return status;
}
#endif

} // namespace

int runTreeBench(int argc, char **argv)
{
    const bool fake = argc == 4 && std::string(argv[3]) == "--fake-camera";
    if (argc != 3 && !fake) {
        std::cerr << "usage: molvane-bench tree GENICAM.xml [--fake-camera]\n";
        return 2;
    }
    // A settings store and a single-instance lock of its own, away from the operator's.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qargc = 1;
    QApplication qapp(qargc, argv);
    fw::QtPlatform platform;
    cam::installQtDisplay();
#ifdef MOLVANE_HAVE_ARAVIS
    if (fake)
        return onFakeCamera(argv[2]);
#endif
    return fake ? 2 : onSimulatedCamera(argv[2]);
}
