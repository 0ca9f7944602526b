// The Qt layer for real, on the offscreen platform: the main window that the shell builds,
// its docks, toolbars and menus, a camera window opened from the list, and closing.
#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "app/CMenuDlg.h"
#include "app/CControlBasePane.h"
#include "app/CMolvaneApp.h"
#include "camera/CameraBus.h"
#include "camera/display/QtCameraDisplay.h"
#include "camera/display/QtDisplayInstall.h"
#include "camera/imaging/FrameConverter.h"
#include "camera/sim/SimulatedCameras.h"
#include "app/CCameraInfoBasePane.h"
#include "pages/CGeneralSettingDlg.h"
#include "framework/qt/QtPlatform.h"
#include "framework/qt/QtWindowLayout.h"
#include "pages/CXMLTreeDlg.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"
#include "widgets/BalloonTip.h"

#include "framework/Window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

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
    QTemporaryDir dir;
    explicit OffscreenApp(QSize screen = {})
    {
        QByteArray platform = "offscreen";
        if (screen.isValid()) {  // one screen of that size instead of the plugin's 800 x 800
            const QString config = dir.filePath("screen.json");
            QFile f(config);
            f.open(QIODevice::WriteOnly);
            f.write(QString(R"({"screens": [{"name": "Test", "x": 0, "y": 0, "width": %1, "height": %2,
                               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                        .arg(screen.width())
                        .arg(screen.height())
                        .toUtf8());
            platform += ":configfile=" + config.toUtf8();
        }
        qputenv("QT_QPA_PLATFORM", platform);
        // Settings (and the saved window layout) go to a folder of the test's own, and so does
        // the single-instance lock: a Molvane running meanwhile neither holds up the tests nor
        // has its settings changed by them.
        static const QTemporaryDir config, runtime;  // removed when the tests end
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
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

// The first camera's first frame in a 400 x 300 window, acquisition stopped again.
void showFirstFrame(cam::CMolvane &camera, QWidget &host, MouseEvents &events, fw::QtPlatform &platform)
{
    host.resize(400, 300);
    host.show();
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
}
} // namespace

// The first simulated camera (1280 x 960 BayerGR8) with its first frame in a 400 x 300 window.
class QtDisplay : public ::testing::Test {
protected:
    struct Shown {
        fw::QtPlatform platform;
        QWidget host;
        MouseEvents events;
        cam::CMolvane camera;
    };
    void SetUp() override
    {
        shown = std::make_unique<Shown>();
        cam::installQtDisplay();
        sims.install(1);
        showFirstFrame(shown->camera, shown->host, shown->events, shown->platform);
        ASSERT_GE(shown->events.images, 1);
    }
    void TearDown() override
    {
        shown.reset();
        sims.uninstall();
        cam::CameraBus::instance().clear();
    }
    OffscreenApp qapp;
    cam::SimulatedCameras sims;
    std::unique_ptr<Shown> shown;
};

TEST_F(QtDisplay, AClickMapsToTheImagePixelUnderItThroughZoomRotationAndMirror)
{
    cam::CMolvane &camera = shown->camera;
    MouseEvents &events = shown->events;
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

TEST(QtBinder, DestroyedWindowsAndTheBalloonAreDeletedWhenThePlatformEndsWithoutAnEventLoop)
{
    OffscreenApp qapp;
    QPointer<QWidget> widget, balloon;
    {
        fw::QtPlatform platform;
        fw::Window window;
        fw::WindowSpec params;
        params.kind = fw::WindowKind::Dialog;
        params.rect = {0, 0, 320, 200};
        params.templateId = 315;
        ASSERT_TRUE(window.create(params));
        widget = static_cast<QWidget *>(window.nativeHandle());
        ASSERT_FALSE(widget.isNull());
        window.destroyWindow();
        EXPECT_FALSE(widget.isNull());  // deleted later, not inside the call
        platform.showBalloon({"Unable to open camera", "Held elsewhere.", fw::BalloonIcon::Warning, {10, 10}});
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "balloon")
                balloon = w;
        ASSERT_FALSE(balloon.isNull());
    }
    EXPECT_TRUE(widget.isNull());
    EXPECT_TRUE(balloon.isNull());
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

namespace {
// The tree widget's items in pre-order as "parent index/text/expanded", as the form keeps them.
std::vector<std::string> widgetTree(QTreeWidget *view)
{
    std::vector<std::string> out;
    for (QTreeWidgetItemIterator it(view); *it; ++it) {
        QTreeWidgetItem *parent = (*it)->parent();
        const int p = parent ? parent->data(0, Qt::UserRole).toInt() : -1;
        out.push_back(std::to_string(p) + "/" + (*it)->text(0).toStdString() + "/" +
                      ((*it)->isExpanded() ? "+" : "-"));
    }
    return out;
}

std::vector<std::string> formTree(const fw::Form &form)
{
    std::vector<std::string> out;
    for (const fw::TreeItem &t : form.treeItems(res::TreNodes))
        out.push_back(std::to_string(t.parent) + "/" + t.text + "/" + (t.expanded ? "+" : "-"));
    return out;
}
} // namespace

TEST(QtBinder, TheNodeTreeWidgetHoldsTheFormsItemsAfterAFillAndEachLevelSwitch)
{
    OffscreenApp qapp;
    cam::SimulatedCameras sims;
    {
        fw::QtPlatform platform;
        sims.install(1);
        auto app = std::make_unique<CMolvaneApp>();
        ASSERT_TRUE(app->InitInstance());
        CMainFrame &frame = *mainFrame();
        frame.m_wndCameraList.select(0);
        frame.m_wndCameraList.dispatch(fw::Notify::SelChange, res::ListCameras);
        frame.m_wndCameraList.dispatch(fw::Notify::DblClick, res::ListCameras);
        spin(100);
        CMolvaneView *view = frame.activeCameraView();
        ASSERT_NE(view, nullptr);
        frame.routeCommand(res::CmdCameraControl);
        frame.m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnTree);
        spin(50);
        CXMLTreeDlg *page = view->m_pXMLTreeDlg;
        ASSERT_NE(page, nullptr);
        auto *nodes = static_cast<QWidget *>(page->nativeHandle())->findChild<QTreeWidget *>("ctl1189");
        ASSERT_NE(nodes, nullptr);
        const auto beginner = formTree(page->form());
        ASSERT_GT(beginner.size(), 20u);
        EXPECT_EQ(widgetTree(nodes), beginner);
        // GURU lists more nodes, BEGINNER the first ones again: each fill replaces the last.
        for (int level : {2, 0, 1}) {
            page->form().setSelection(res::TreVisibility, level);
            page->dispatch(fw::Notify::SelChange, res::TreVisibility);
            EXPECT_EQ(widgetTree(nodes), formTree(page->form())) << "level " << level;
        }
        EXPECT_GT(widgetTree(nodes).size(), beginner.size());  // EXPERT lists more than BEGINNER
        // The operator's pick reaches the form as the item's index.
        QTreeWidgetItem *picked = nodes->topLevelItem(0)->child(1);
        nodes->setCurrentItem(picked);
        EXPECT_EQ(page->form().selection(res::TreNodes), picked->data(0, Qt::UserRole).toInt());
        EXPECT_EQ(page->m_strNode, picked->text(0).toStdString());
        frame.close();
        spin(50);
        app.reset();
    }
    sims.uninstall();
    cam::CameraBus::instance().clear();
}

namespace {
// The viewport as painted, in grey levels.
cv::Mat paintedGrey(cam::CMolvane &camera)
{
    QWidget *viewport = static_cast<cam::QtCameraDisplay *>(camera.display())->widget()->viewport();
    const QImage shot = viewport->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    return cv::Mat(shot.height(), shot.width(), CV_8UC1, const_cast<uchar *>(shot.constBits()),
                   shot.bytesPerLine()).clone();
}

// Mean difference between horizontal neighbours: high for a fine pattern, low once averaged.
double roughness(const cv::Mat &grey)
{
    cv::Mat dx;
    cv::absdiff(grey.colRange(1, grey.cols), grey.colRange(0, grey.cols - 1), dx);
    return cv::mean(dx)[0];
}

double equalNeighbours(const cv::Mat &grey)
{
    cv::Mat same = grey.colRange(1, grey.cols) == grey.colRange(0, grey.cols - 1);
    return cv::countNonZero(same) / double(same.total());
}
} // namespace

// An undecoded Bayer frame is a fine mosaic: nearest-neighbour shrinking keeps its full
// roughness (jagged), area averaging smooths it; enlarged, each frame pixel stays a block.
TEST_F(QtDisplay, AShrunkFrameIsAveragedAndAnEnlargedOneKeepsItsPixels)
{
    cam::CMolvane &camera = shown->camera;
    const double raw = roughness(cam::rawView(*camera.currentFrame()));
    ASSERT_GT(raw, 10.0);

    camera.SetZoom(0);  // 1280 x 960 fitted into 400 x 300
    spin(50);
    EXPECT_LT(roughness(paintedGrey(camera)), raw * 0.35);
    camera.SetRotation(90);  // turned, the frame is averaged to the turned size
    spin(50);
    EXPECT_LT(roughness(paintedGrey(camera)), raw * 0.35);
    camera.SetRotation(0);
    camera.SetZoom(4.0f);
    spin(50);
    EXPECT_GT(equalNeighbours(paintedGrey(camera)), 0.7);
}

// The frame is made ready for the screen on the display's worker, mirrored and turned there,
// and painted as it is; the worker is asked only for what the screen will show.
TEST_F(QtDisplay, TurnedAndMirroredFramesArePaintedFlippedAndOnlyShownNewFramesArePrepared)
{
    cam::CMolvane &camera = shown->camera;
    MouseEvents &events = shown->events;
    camera.SetZoom(0.25f);  // 320 x 240, centred in the 400 x 300 window
    spin(50);
    const cv::Mat plain = paintedGrey(camera);
    cv::Mat expected;
    camera.SetMirror(1);
    spin(50);
    cv::flip(plain, expected, 1);
    EXPECT_EQ(cv::countNonZero(paintedGrey(camera) != expected), 0);
    camera.SetMirror(0);
    camera.SetRotation(180);
    spin(50);
    cv::flip(plain, expected, -1);
    EXPECT_EQ(cv::countNonZero(paintedGrey(camera) != expected), 0);

    cam::DisplayWidget *display = static_cast<cam::QtCameraDisplay *>(camera.display())->widget();
    const uint64_t prepared = display->preparedFrames();
    display->frameArrived();  // the same frame again: already on screen
    spin(50);
    EXPECT_EQ(display->preparedFrames(), prepared);
    // Frames that come while the window is hidden are not converted at all.
    camera.ShowWindow(false);
    camera.SetAcquisition(1);
    const int seen = events.images;
    QElapsedTimer t;
    t.start();
    while (events.images < seen + 10 && t.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GE(events.images, seen + 10);
    EXPECT_EQ(display->preparedFrames(), prepared);
    camera.ShowWindow(true);
    spin(100);
    camera.SetAcquisition(0);
    EXPECT_GT(display->preparedFrames(), prepared);
}

namespace {
// The scroll area that holds a form placed in a pane, or null.
QScrollArea *scrollAreaOf(fw::Window &form)
{
    auto *inner = static_cast<QWidget *>(form.nativeHandle());
    QWidget *viewport = inner ? inner->parentWidget() : nullptr;
    return viewport ? qobject_cast<QScrollArea *>(viewport->parentWidget()) : nullptr;
}
} // namespace

class QtScreenSize : public ::testing::TestWithParam<QSize> {};

INSTANTIATE_TEST_SUITE_P(Screens, QtScreenSize,
                         ::testing::Values(QSize(800, 600), QSize(1280, 800), QSize(1920, 1080)));

TEST_P(QtScreenSize, EveryControlOfTheFormatPageCanBeReachedAndTheImageKeepsItsRoom)
{
    OffscreenApp qapp(GetParam());
    cam::SimulatedCameras sims;
    {
        fw::QtPlatform platform;
        sims.install(1);
        auto app = std::make_unique<CMolvaneApp>();
        ASSERT_TRUE(app->InitInstance());
        QMainWindow *mw = mainWindow();
        ASSERT_NE(mw, nullptr);
        // Shown with no camera open: Play and Stop look disabled from the first paint on.
        for (QAction *a : mw->findChild<QToolBar *>("toolbar312")->actions()) {
            if (a->data().toInt() == res::CmdPlay || a->data().toInt() == res::CmdStop) {
                EXPECT_FALSE(a->isEnabled()) << a->toolTip().toStdString();
            }
        }
        spin(100);
        const QRect screen = mw->screen()->availableGeometry();
        ASSERT_EQ(screen.size(), GetParam());
        auto *list = mw->findChild<QListWidget *>("ctl513");
        list->setCurrentRow(0);
        emit list->itemDoubleClicked(list->item(0));
        spin(200);
        mainFrame()->routeCommand(res::CmdCameraControl);
        spin(200);

        EXPECT_LE(mw->width(), screen.width());
        EXPECT_LE(mw->height(), screen.height());
        EXPECT_GE(mw->findChild<QMdiArea *>()->height(), 240);  // the camera image keeps its room
        auto *idle = mw->statusBar()->findChild<QLabel *>("statusIdle");
        ASSERT_NE(idle, nullptr);
        EXPECT_EQ(idle->text(), "Ready");
        mw->statusBar()->showMessage("View Camera Control Window.");  // a status tip comes and goes
        mw->statusBar()->clearMessage();
        EXPECT_TRUE(idle->isVisible());

        EXPECT_GE(list->height(), 50);  // the camera list keeps the height the frame asks
        // The Camera Info pane is as wide as its form, and on a tall enough screen as high.
        QScrollArea *info = scrollAreaOf(mainFrame()->m_pCameraInfoPane->m_dlg);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->horizontalScrollBar()->maximum(), 0);
        if (GetParam().height() >= 800) {
            EXPECT_EQ(info->verticalScrollBar()->maximum(), 0);
        }

        CControlBasePane *pane = mainFrame()->m_pControlPane;
        ASSERT_NE(pane, nullptr);
        ASSERT_NE(pane->m_pFormatDlg, nullptr);
        for (fw::Window *form : std::initializer_list<fw::Window *>{pane->m_pMenuDlg, pane->m_pFormatDlg}) {
            QScrollArea *scroll = scrollAreaOf(*form);
            ASSERT_NE(scroll, nullptr);
            QWidget *page = scroll->widget();
            EXPECT_EQ(scroll->height(), scroll->parentWidget()->height());  // the menu and page fill the pane
            // On a small screen the pane is smaller than the page, which then scrolls.
            if (form == pane->m_pFormatDlg && GetParam().width() <= 800) {
                EXPECT_TRUE(page->width() > scroll->viewport()->width() ||
                            page->height() > scroll->viewport()->height());
            }
            // What the scroll bars can bring into view: the viewport moved over their ranges.
            QScrollBar *h = scroll->horizontalScrollBar(), *v = scroll->verticalScrollBar();
            EXPECT_TRUE(h->maximum() == 0 || h->isVisible());
            EXPECT_TRUE(v->maximum() == 0 || v->isVisible());
            const QRect reach(0, 0, scroll->viewport()->width() + h->maximum(),
                              scroll->viewport()->height() + v->maximum());
            int seen = 0;
            for (QWidget *c : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (!c->isVisibleTo(page) || c->objectName().isEmpty())
                    continue;
                ++seen;
                EXPECT_TRUE(reach.contains(c->geometry())) << c->objectName().toStdString() << " is out of reach";
            }
            // The pane's own area is on the screen.
            const QRect pane(scroll->mapToGlobal(QPoint(0, 0)), scroll->size());
            EXPECT_TRUE(screen.contains(pane));
            EXPECT_GT(seen, 6);
        }
        // The XML tree takes the page's free height.
        pane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnTree);
        spin(100);
        ASSERT_NE(pane->m_pTreeDlg, nullptr);
        auto *treePage = static_cast<QWidget *>(pane->m_pTreeDlg->nativeHandle());
        auto *tree = treePage->findChild<QTreeWidget *>("ctl1189");
        ASSERT_NE(tree, nullptr);
        EXPECT_TRUE(tree->isVisible());
        EXPECT_NEAR(tree->geometry().bottom(), treePage->height(), 10);

        mw->close();
        spin(100);
        app.reset();
        spin(50);
    }
    sims.uninstall();
    cam::CameraBus::instance().clear();
}

TEST(QtWidgets, ABalloonIsCutToItsBubbleSoNoCornerShowsWithoutACompositor)
{
    OffscreenApp qapp;
    widgets::BalloonTip::show("Unable to open camera", "The camera is used by another application.",
                              widgets::BalloonTip::Icon::Warning, QPoint(200, 200));
    QWidget *tip = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "balloon")
            tip = w;
    ASSERT_NE(tip, nullptr);
    EXPECT_FALSE(tip->testAttribute(Qt::WA_TranslucentBackground));
    const QRegion mask = tip->mask();
    const int arrow = 12;
    EXPECT_TRUE(mask.contains(QPoint(tip->width() / 2, tip->height() / 2)));
    EXPECT_TRUE(mask.contains(QPoint(200 - tip->x(), 2)));  // the arrow's tip, at the anchor
    for (QPoint corner : {QPoint(0, arrow), QPoint(tip->width() - 1, arrow), QPoint(0, tip->height() - 1),
                          QPoint(tip->width() - 1, tip->height() - 1), QPoint(0, 0)})
        EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
    tip->close();
    spin(20);
}

TEST(QtBinder, AGridShowsItsCellsAndTheOperatorEditsDigitsInPlace)
{
    OffscreenApp qapp;
    fw::QtPlatform platform;
    struct Table : fw::Window {
        std::vector<std::string> seen;
        Table()
        {
            on(fw::Notify::CellEditBegin, res::SeqGrid, [this] { seen.push_back("begin"); });
            on(fw::Notify::CellEditEnd, res::SeqGrid, [this] { seen.push_back("end " + form().cell(res::SeqGrid, 1, 2)); });
        }
    } table;
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Dialog;
    params.rect = {0, 0, 540, 380};
    params.templateId = res::DialogTriggerExtra;
    ASSERT_TRUE(table.create(params));
    table.form().setFixedColumns(res::SeqGrid, 1);
    table.form().setColumns(res::SeqGrid, {"Frame Order", "Increment", "Gain", "Shutter"}, {80, 80, 110, 130});
    table.form().setRows(res::SeqGrid, {{"1", "1", "0", "20"}, {"2", "0", "0", "0"}});
    auto *grid = static_cast<QWidget *>(table.nativeHandle())->findChild<QTableWidget *>("ctl551");
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Gain");
    EXPECT_EQ(grid->item(0, 3)->text(), "20");
    EXPECT_FALSE(grid->item(1, 0)->flags() & Qt::ItemIsEditable);  // the row numbers are fixed
    EXPECT_TRUE(table.seen.empty());
    // The operator types into a cell: letters and signs are not taken, digits are.
    grid->show();
    grid->setCurrentCell(1, 2);
    grid->editItem(grid->item(1, 2));
    auto *editor = grid->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "-x12");
    QTest::keyClick(editor, Qt::Key_Return);
    spin(50);  // the delegate commits after the key
    EXPECT_EQ(table.form().cell(res::SeqGrid, 1, 2), "12");
    EXPECT_EQ(table.seen, (std::vector<std::string>{"begin", "end 12"}));
    table.destroyWindow();
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
