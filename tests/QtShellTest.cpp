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
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include "framework/Window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSlider>
#include <QTest>
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

} // namespace

TEST(QtShell, BuildsTheMainWindowAndOpensACameraWindowFromTheList)
{
    OffscreenApp qapp;
    cam::SimulatedCameras sims;
    {
        fw::QtPlatform platform;
        sims.install(2);
        auto app = std::make_unique<CMolvaneApp>();
        ASSERT_TRUE(app->InitInstance());
        spin(100);

        QMainWindow *mw = mainWindow();
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
        list->setCurrentRow(0);
        QListWidgetItem *item = list->item(0);
        // What the list view emits for the operator's double-click.
        emit list->itemDoubleClicked(item);
        spin(200);
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
        app.reset();
        spin(50);
    }
    sims.uninstall();
    cam::CameraBus::instance().clear();
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
