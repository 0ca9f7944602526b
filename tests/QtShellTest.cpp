// The Qt layer for real, on the offscreen platform: the main window that the shell builds,
// its docks, toolbars and menus, a camera window opened from the list, and closing.
#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "app/CMolvaneApp.h"
#include "camera/CameraBus.h"
#include "camera/display/QtCameraDisplay.h"
#include "camera/display/QtDisplayInstall.h"
#include "camera/sim/SimulatedCameras.h"
#include "framework/qt/QtPlatform.h"
#include "framework/qt/QtWindowLayout.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include "framework/Window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <QTemporaryDir>
#include <QDockWidget>
#include <QScreen>
#include <QSettings>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

QMainWindow *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *mw = qobject_cast<QMainWindow *>(w))
            return mw;
    return nullptr;
}

// A QApplication on the offscreen platform for one test.
struct OffscreenApp {
    int argc = 1;
    char name[32] = "molvane_qt_tests";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
    OffscreenApp()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Settings (and the saved window layout) go to a folder of the test's own.
        static const QTemporaryDir config;  // removed when the tests end
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        app = std::make_unique<QApplication>(argc, argv);
    }
};

void spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The text of a field of the camera info pane.
QString infoField(QMainWindow *mw, int id)
{
    for (QDockWidget *d : mw->findChildren<QDockWidget *>())
        if (d->windowTitle() == "Camera Info")
            if (auto *l = d->findChild<QLabel *>(QString("ctl%1").arg(id)))
                return l->text().trimmed();
    return {};
}

// Double-clicks a line of the camera list, as the list view reports the operator's.
void openLine(QMainWindow *mw, int row)
{
    auto *list = mw->findChild<QListWidget *>("ctl513");
    list->setCurrentRow(row);
    emit list->itemDoubleClicked(list->item(row));
    spin(200);
}

bool playEnabled(QMainWindow *mw)
{
    for (QToolBar *bar : mw->findChildren<QToolBar *>())
        for (QAction *a : bar->actions())
            if (a->data().toInt() == res::CmdPlay)
                return a->isEnabled();
    return false;
}

// The application on the offscreen platform with simulated cameras, for one test.
struct QtSession {
    OffscreenApp qapp;
    cam::SimulatedCameras sims;
    std::unique_ptr<fw::QtPlatform> platform;
    std::unique_ptr<CMolvaneApp> app;
    QMainWindow *mw = nullptr;
    QtSession(int cameras, const std::string &fault = {}, bool keepLayout = false)
    {
        if (!keepLayout)
            fw::QtWindowLayout::forget();  // each session starts as on a first run
        platform = std::make_unique<fw::QtPlatform>();
        if (!fault.empty())
            sims.addFault(fault, nullptr);
        sims.install(cameras);
        app = std::make_unique<CMolvaneApp>();
        if (!app->InitInstance())
            return;
        spin(100);
        mw = mainWindow();
    }
    ~QtSession()
    {
        app.reset();
        spin(50);
        platform.reset();
        sims.uninstall();
        cam::CameraBus::instance().clear();
    }
};

} // namespace

TEST(QtShell, BuildsTheMainWindowAndOpensACameraWindowFromTheList)
{
    QtSession s(2);
    QMainWindow *mw = s.mw;
    ASSERT_NE(mw, nullptr);
    EXPECT_EQ(mw->windowTitle(), "Molvane");
    QStringList menus;
    for (QAction *a : mw->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"Camera", "Help"}));
    EXPECT_EQ(mw->findChildren<QToolBar *>().size(), 2);
    auto *slider = mw->findChild<QSlider *>("zoomSlider");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 1000);
    EXPECT_EQ(slider->value(), 100);
    QStringList docks;
    for (QDockWidget *d : mw->findChildren<QDockWidget *>())
        docks << d->windowTitle();
    docks.sort();
    EXPECT_EQ(docks, (QStringList{"Camera Info", "Camera List"}));

    auto *list = mw->findChild<QListWidget *>("ctl513");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    openLine(mw, 0);
    auto *mdi = mw->findChild<QMdiArea *>();
    ASSERT_EQ(mdi->subWindowList().size(), 1);
    EXPECT_EQ(mdi->subWindowList()[0]->windowTitle(), list->item(0)->text() + " Zoom : 100%");
    menus.clear();
    for (QAction *a : mw->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"Camera", "Analysis", "Help"}));
    CMolvaneView *view = mainFrame()->activeCameraView();
    ASSERT_NE(view, nullptr);
    mainFrame()->routeCommand(res::CmdPlay);
    spin(300);
    EXPECT_GT(view->m_nFrameCount, 0u);

    mdi->subWindowList()[0]->close();  // the window's close box
    spin(100);
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
    EXPECT_TRUE(g_listCameraView.empty());

    mw->close();
    spin(100);
    EXPECT_EQ(mainFrame(), nullptr);
}

TEST(QtShell, ClosingAWindowHandsToolbarAndPanesToTheNextAndNewWindowsCascadeInView)
{
    QtSession s(3);
    ASSERT_NE(s.mw, nullptr);
    for (int row = 0; row < 3; ++row)
        openLine(s.mw, row);
    auto *mdi = s.mw->findChild<QMdiArea *>();
    const QList<QMdiSubWindow *> subs = mdi->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(subs.size(), 3);
    for (QMdiSubWindow *sub : subs) {
        EXPECT_TRUE(mdi->viewport()->rect().contains(sub->geometry())) << sub->windowTitle().toStdString();
        EXPECT_TRUE(sub->isVisible());
    }
    EXPECT_LT(subs[0]->geometry().top(), subs[1]->geometry().top());
    // The newest window filled the info pane when it first showed.
    EXPECT_EQ(infoField(s.mw, res::InfoSerial), "SIM00003");
    EXPECT_EQ(infoField(s.mw, res::InfoFormat), "YUV422Packed");
    // Its close box: the one opened before takes over toolbar and panes.
    subs[2]->close();
    spin(300);
    ASSERT_EQ(mdi->subWindowList().size(), 2);
    EXPECT_EQ(mdi->activeSubWindow(), subs[1]);
    ASSERT_NE(mainFrame()->activeCameraView(), nullptr);
    EXPECT_TRUE(playEnabled(s.mw));
    EXPECT_EQ(infoField(s.mw, res::InfoSerial), "SIM00002");
    EXPECT_EQ(infoField(s.mw, res::InfoFormat), "640x480 Mono8");
    s.mw->close();
    spin(100);
}

TEST(QtShell, AHeldCameraClosesItsWindowAndMonitoringAsksOnlyTheQuestion)
{
    QtSession s(2, "1:held");
    ASSERT_NE(s.mw, nullptr);
    auto *mdi = s.mw->findChild<QMdiArea *>();
    openLine(s.mw, 0);
    EXPECT_EQ(mdi->subWindowList().size(), 1);
    spin(1100);  // the window closes itself a second after the failed open
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
    EXPECT_TRUE(mainFrame()->childFrames().empty());

    // In multicast the monitoring question comes, answered OK, and no other box with it.
    CCameraListWnd &list = mainFrame()->m_wndCameraList;
    list.m_listCastMode[0].nCastMode = list.m_listCastMode[0].nAccessMode = 1;
    QStringList boxes;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->accept();
        }
    });
    answer.start(20);
    openLine(s.mw, 0);
    spin(300);
    answer.stop();
    ASSERT_EQ(boxes.size(), 1) << boxes.join(" | ").toStdString();
    EXPECT_TRUE(boxes[0].startsWith("Selected camera has accessed by other application"));
    ASSERT_EQ(mdi->subWindowList().size(), 1);
    EXPECT_EQ(infoField(s.mw, res::InfoCastMode), "Multicast");
    EXPECT_EQ(infoField(s.mw, res::InfoFormat), "BayerGR8");
    s.mw->close();
    spin(100);
}

namespace {
struct MouseEvents : cam::CameraEvents {
    int images = 0;
    int downX = -1, downY = -1;
    void ImageReceived(int) override { ++images; }
    void ImageMouseDown(int x, int y) override
    {
        downX = x;
        downY = y;
    }
};
} // namespace

TEST(QtDisplay, AClickMapsToTheImagePixelUnderItThroughZoomRotationAndMirror)
{
    OffscreenApp qapp;
    cam::SimulatedCameras sims;
    {
        fw::QtPlatform platform;
        cam::installQtDisplay();
        sims.install(1);  // 1280 x 960
        QWidget host;
        host.resize(400, 300);
        host.show();
        MouseEvents events;
        cam::CMolvane camera;
        camera.Create("Molvane", [&](std::function<void()> fn) { platform.post(std::move(fn)); }, &events,
                      &host, {0, 0, 400, 300});
        camera.ShowWindow(true);
        camera.SetCameraIndex(0);
        camera.SetAcquisition(1);
        QElapsedTimer t;
        t.start();
        while (events.images < 1 && t.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        camera.SetAcquisition(0);
        ASSERT_GE(events.images, 1);
        camera.SetZoom(0.25f);  // 320 x 240, centred at (200, 150)
        camera.SetRotation(180);
        camera.SetMirror(1);
        spin(50);
        auto *display = static_cast<cam::QtCameraDisplay *>(camera.display());
        QWidget *viewport = display->widget()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(44, 38));
        // Turned half round and mirrored: x keeps its direction, y is reversed.
        EXPECT_EQ(events.downX, 640 + (44 - 200) * 4);
        EXPECT_EQ(events.downY, 480 - (38 - 150) * 4);
        EXPECT_NE(camera.GetPixelColor(events.downX, events.downY), -1);
    }
    sims.uninstall();
    cam::CameraBus::instance().clear();
}

namespace {
// A form window whose handlers record what the operator did.
struct Recorder : fw::Window {
    std::vector<std::string> seen;
    Recorder()
    {
        on(fw::Notify::SelChange, res::FmtPixelFormat, [this] { seen.push_back("format " + std::to_string(form().selection(res::FmtPixelFormat))); });
        on(fw::Notify::Clicked, res::FmtMirror, [this] { seen.push_back("mirror " + std::to_string(form().check(res::FmtMirror))); });
        on(fw::Notify::SpinDelta, res::FmtZoomSpin, [this] { seen.push_back("spin " + form().text(res::FmtZoomBox)); });
    }
};
} // namespace

TEST(QtBinder, FormAndWidgetsStayInStepBothWays)
{
    OffscreenApp qapp;
    fw::QtPlatform platform;
    QWidget host;
    Recorder w;
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Dialog;
    params.templateId = 147;  // the Format page
    params.rect = {0, 0, 640, 200};
    ASSERT_TRUE(w.create(params));
    auto *peer = static_cast<QWidget *>(w.nativeHandle());
    ASSERT_NE(peer, nullptr);
    // Template list data arrives in the widget; the logic's changes follow without signals.
    auto *layout = peer->findChild<QComboBox *>("ctl1289");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->count(), 4);
    EXPECT_EQ(layout->itemText(3), "GR/BG");
    w.form().setItems(res::FmtPixelFormat, {"Mono8", "Mono16"});
    w.form().setSelection(res::FmtPixelFormat, 1);
    auto *format = peer->findChild<QComboBox *>("ctl1161");
    EXPECT_EQ(format->currentText(), "Mono16");
    w.form().setText(res::FmtRateLow, "1.0");
    EXPECT_EQ(peer->findChild<QLabel *>("ctl1151")->text(), "1.0");
    w.form().enable(res::FmtBits10, false);
    EXPECT_FALSE(peer->findChild<QWidget *>("ctl1076")->isEnabled());
    EXPECT_TRUE(w.seen.empty());  // a refresh never looks like an operator's edit
    // The operator's actions reach the form first, then the handler.
    emit format->activated(0);
    auto *mirror = peer->findChild<QCheckBox *>("ctl572");
    mirror->click();
    auto *spin = peer->findChild<QSpinBox *>("ctl1060");
    w.form().setRange(res::FmtZoomSpin, 0, 1000);
    spin->setValue(250);
    EXPECT_EQ(w.seen, (std::vector<std::string>{"format 0", "mirror 1", "spin 250"}));
    EXPECT_EQ(peer->findChild<QLineEdit *>("ctl1234")->text(), "250");  // the buddy edit follows
    w.destroyWindow();
}

TEST(QtBinder, ListAndTreeViewsShowRowsAndItemsAndReportSelections)
{
    OffscreenApp qapp;
    fw::QtPlatform platform;
    struct Views : fw::Window {
        std::vector<int> picked;
        Views()
        {
            on(fw::Notify::ItemClick, res::FeaList, [this] { picked.push_back(form().selection(res::FeaList)); });
            on(fw::Notify::TreeSelChange, res::TreNodes, [this] { picked.push_back(100 + form().selection(res::TreNodes)); });
        }
    } feature, tree;
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Dialog;
    params.rect = {0, 0, 640, 260};
    params.templateId = 315;
    ASSERT_TRUE(feature.create(params));
    params.templateId = 150;
    ASSERT_TRUE(tree.create(params));
    feature.form().setColumns(res::FeaList, {"Feature", "Value", "Auto"}, {165, 80, 47});
    feature.form().addRow(res::FeaList, {"Gain", "0", "M"});
    feature.form().addRow(res::FeaList, {"Gamma", "1", "A"});
    auto *list = static_cast<QWidget *>(feature.nativeHandle())->findChild<QTreeWidget *>("ctl1256");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(2), "A");
    emit list->itemClicked(list->topLevelItem(1), 0);
    feature.form().setCell(res::FeaList, 0, 1, "5");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "5");

    const int root = tree.form().insertTreeItem(res::TreNodes, -1, "Root", 0);
    const int cat = tree.form().insertTreeItem(res::TreNodes, root, "ImageFormatControl", 1);
    tree.form().insertTreeItem(res::TreNodes, cat, "Width", 3);
    tree.form().expandTreeItem(res::TreNodes, root);
    auto *nodes = static_cast<QWidget *>(tree.nativeHandle())->findChild<QTreeWidget *>("ctl1189");
    ASSERT_EQ(nodes->topLevelItemCount(), 1);
    QTreeWidgetItem *width = nodes->topLevelItem(0)->child(0)->child(0);
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->text(0), "Width");
    EXPECT_TRUE(nodes->topLevelItem(0)->isExpanded());
    nodes->setCurrentItem(width);
    EXPECT_EQ(feature.picked, std::vector<int>{1});
    EXPECT_EQ(tree.picked, std::vector<int>{102});
    feature.destroyWindow();
    tree.destroyWindow();
}

TEST(QtLayout, AWindowFromALargerScreenIsBroughtInsideTheCurrentOne)
{
    OffscreenApp qapp;
    QWidget w;
    w.setGeometry(1700, 900, 1800, 1100);  // placed on a 3840 x 2160 screen
    const QRect small(0, 0, 1024, 768);
    fw::QtWindowLayout::fitInside(w, small);
    EXPECT_TRUE(small.contains(w.frameGeometry()));
    EXPECT_EQ(w.width(), 1024 - (w.frameGeometry().width() - w.geometry().width()));

    w.setGeometry(-300, 50, 400, 300);  // a small window partly off the left edge keeps its size
    fw::QtWindowLayout::fitInside(w, small);
    EXPECT_EQ(w.size(), QSize(400, 300));
    EXPECT_TRUE(small.contains(w.frameGeometry()));
}

TEST(QtLayout, TheMainWindowComesBackAsItWasLeftAndResetWindowLayoutUndoesIt)
{
    QRect screen;
    {
        QtSession s(1);
        ASSERT_NE(s.mw, nullptr);
        screen = s.mw->screen()->availableGeometry();
        s.mw->showNormal();
        // Left on a larger screen: bigger than this one and beyond its right edge.
        s.mw->setGeometry(screen.width() - 100, 40, screen.width() * 2, screen.height() + 300);
        QDockWidget *info = nullptr;
        for (QDockWidget *d : s.mw->findChildren<QDockWidget *>())
            if (d->windowTitle() == "Camera Info")
                info = d;
        ASSERT_NE(info, nullptr);
        s.mw->addDockWidget(Qt::RightDockWidgetArea, info);
        mainFrame()->routeCommand(res::CmdToolbarZoom);  // hide the zoom toolbar
        spin(50);
        s.mw->close();
        spin(100);
    }
    ASSERT_TRUE(QSettings("Molvane", "Molvane").contains("MainWindow/state"));
    QtSession s(1, {}, true);
    ASSERT_NE(s.mw, nullptr);
    EXPECT_TRUE(screen.contains(s.mw->frameGeometry()))
        << s.mw->frameGeometry().x() << "," << s.mw->frameGeometry().y() << " " << s.mw->frameGeometry().width()
        << "x" << s.mw->frameGeometry().height();
    auto dockArea = [&](const QString &title) {
        for (QDockWidget *d : s.mw->findChildren<QDockWidget *>())
            if (d->windowTitle() == title)
                return s.mw->dockWidgetArea(d);
        return Qt::NoDockWidgetArea;
    };
    auto zoomBar = [&] { return s.mw->findChild<QToolBar *>(QString("toolbar%1").arg(res::ToolbarZoom)); };
    EXPECT_EQ(dockArea("Camera Info"), Qt::RightDockWidgetArea);
    EXPECT_EQ(dockArea("Camera List"), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(zoomBar()->isHidden());
    EXPECT_FALSE(mainFrame()->frame()->menuChecked(res::CmdToolbarZoom));

    mainFrame()->routeCommand(res::CmdResetLayout);
    spin(50);
    EXPECT_EQ(dockArea("Camera Info"), Qt::LeftDockWidgetArea);
    EXPECT_FALSE(zoomBar()->isHidden());
    EXPECT_TRUE(mainFrame()->frame()->menuChecked(res::CmdToolbarZoom));
    EXPECT_TRUE(screen.contains(s.mw->geometry()));
    EXPECT_GE(s.mw->width(), screen.width() - 10);  // the whole screen again
    EXPECT_FALSE(QSettings("Molvane", "Molvane").contains("MainWindow/state"));
}
