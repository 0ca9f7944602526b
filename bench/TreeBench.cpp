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

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>
#include <iostream>

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

int measure(const char *file)
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
    {
        auto app = std::make_unique<CMolvaneApp>();
        if (!app->InitInstance())
            return 1;
        settle();
        CMainFrame &frame = *mainFrame();
        frame.m_wndCameraList.select(0);
        frame.m_wndCameraList.dispatch(fw::Notify::SelChange, res::ListCameras);
        frame.m_wndCameraList.dispatch(fw::Notify::DblClick, res::ListCameras);
        settle();
        CMolvaneView *view = frame.activeCameraView();
        if (!view)
            return 1;
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
    }
    cam::CameraBus::instance().clear();
    return 0;
}

} // namespace

int runTreeBench(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: molvane-bench tree GENICAM.xml\n";
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
    return measure(argv[2]);
}
