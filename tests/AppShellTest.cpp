// Scenarios of the application shell: start-up, single instance, the camera list with its
// records, the cast-mode menu, opening camera windows, arrival and removal, tool windows.
#include "TestSupport.h"

#include "analysis/CHistoDlg.h"
#include "app/AppAccess.h"
#include "app/CAboutDlg.h"
#include "app/CCameraInfoBasePane.h"
#include "diagnostics/CEventLogDlg.h"
#include "diagnostics/CRegisterAccessDlg.h"
#include "res/ResourceIds.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

using cam::Dispid;

namespace {

std::vector<std::string> recordLines(const CCameraListWnd &list)
{
    std::vector<std::string> out;
    for (const auto &r : list.m_listCastMode)
        out.push_back(r.strCamera);
    return out;
}

} // namespace

class AppShell : public AppFixture {};

TEST_F(AppShell, StartUpShowsTheFrameWithBothPanesToolbarsAndOneRecordPerLine)
{
    start(2);
    fw::HeadlessFramePeer *f = platform.frame();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->maximized());
    EXPECT_EQ(f->menuId(), res::MenuMain);
    EXPECT_EQ(f->title(), "Molvane");
    EXPECT_EQ(f->toolBarRow(), (std::vector<int>{res::ToolbarCamera, res::ToolbarZoom}));
    EXPECT_EQ(f->sliderPos(res::CmdZoomSlider), 100);
    EXPECT_EQ(f->statusIndicators(), (std::vector<std::string>{"Ready", "CAP", "NUM", "SCRL"}));
    EXPECT_TRUE(f->menuChecked(res::CmdToolbarCamera));
    EXPECT_TRUE(f->menuChecked(res::CmdToolbarZoom));
    EXPECT_EQ(f->paneAbove(*frame().m_pCameraInfoPane), &frame().m_wndCameraList);
    EXPECT_EQ(list().windowText(), "Camera List");
    EXPECT_EQ(frame().m_pCameraInfoPane->windowText(), "Camera Info");
    ASSERT_EQ(list().lineCount(), 2);
    EXPECT_EQ(recordLines(list()), (std::vector<std::string>{list().lineText(0), list().lineText(1)}));
    EXPECT_TRUE(f->children().empty());  // the command line never opens a camera window
    // The hidden component exists and nothing is playable without a camera window.
    ASSERT_NE(frame().m_pEnumCtrl, nullptr);
    EXPECT_FALSE(frame().commandUi(res::CmdPlay).enabled);
    EXPECT_TRUE(frame().commandUi(res::CmdAbout).enabled);
}

TEST_F(AppShell, ASecondInstanceSaysSoAndOpensNoWindow)
{
    start(1);
    CMolvaneApp second;
    EXPECT_FALSE(second.InitInstance());
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.messageBoxes()[0].text, "Another Molvane is already running.");
    EXPECT_EQ(second.m_pMainWnd, nullptr);
}

TEST_F(AppShell, SelectingALineShowsTheCameraIdentityInTheInfoPane)
{
    start(2);
    list().select(1);
    list().dispatch(fw::Notify::SelChange, res::ListCameras);
    const fw::Form &info = frame().m_pCameraInfoPane->m_dlg.form();
    EXPECT_EQ(info.text(res::InfoModel), "SIM-FM1024");
    EXPECT_EQ(info.text(res::InfoVendor), "Molvane Simulation");
    EXPECT_EQ(info.text(res::InfoSerial), "SIM00002");
    EXPECT_EQ(info.text(res::InfoMac), "02:4D:56:00:00:02");  // upper case
    EXPECT_EQ(info.text(res::InfoFormat), "-");                 // no window: the rest is cleared
}

TEST_F(AppShell, ArrivalAndRemovalKeepLinesAndRecordsAligned)
{
    start(3, {"2:arrive=3600"});  // camera 2 is connected later, between 1 and 3
    ASSERT_EQ(list().lineCount(), 2);
    list().m_listCastMode[1].nCastMode = 1;  // camera 3 is set to multicast
    list().m_listCastMode[1].nAccessMode = 1;
    sims.connect(2);
    platform.processEvents();
    ASSERT_EQ(list().lineCount(), 3);
    EXPECT_EQ(recordLines(list()), (std::vector<std::string>{list().lineText(0), list().lineText(1),
                                                             list().lineText(2)}));
    auto castModeOf = [&](const std::string &id) {
        for (const auto &r : list().m_listCastMode)
            if (r.strCamera.find(id) != std::string::npos)
                return r.nCastMode;
        return -1;
    };
    EXPECT_EQ(castModeOf("SIM00003"), 1);  // the others keep their cast modes
    EXPECT_EQ(castModeOf("SIM00002"), 0);
    sims.disconnect(1);
    platform.processEvents();
    ASSERT_EQ(list().lineCount(), 2);
    EXPECT_EQ(recordLines(list()), (std::vector<std::string>{list().lineText(0), list().lineText(1)}));
    EXPECT_EQ(castModeOf("SIM00003"), 1);
    EXPECT_EQ(castModeOf("SIM00001"), -1);
}

TEST_F(AppShell, ACameraLostJustBeforeADoubleClickDoesNotChangeWhichCameraOpens)
{
    start(3);
    // Camera 1 leaves the bus; the list has not heard of it yet and still shows it first.
    sims.disconnect(1);
    ASSERT_EQ(list().lineCount(), 3);
    // Its line opens nothing, not the camera that moved up into its place on the bus.
    list().select(0);
    list().dispatch(fw::Notify::DblClick, res::ListCameras);
    EXPECT_TRUE(g_listCameraView.empty());
    // The line below it still opens its own camera.
    list().select(2);
    list().dispatch(fw::Notify::DblClick, res::ListCameras);
    ASSERT_EQ(g_listCameraView.size(), 1u);
    EXPECT_EQ(g_listCameraView.front()->m_strDeviceID, "SIM00003");
    platform.processEvents();
    EXPECT_EQ(list().lineCount(), 2);
    EXPECT_EQ(g_listCameraView.size(), 1u);
}

TEST_F(AppShell, WithNoCameraTheListIsEmptyAndItsActionsDoNothing)
{
    start(0);
    EXPECT_EQ(list().lineCount(), 0);
    list().dispatch(fw::Notify::DblClick, res::ListCameras);
    list().onContextMenu(res::ListCameras, -1, {10, 10});
    EXPECT_EQ(platform.popupCount(), 0);
    EXPECT_TRUE(platform.frame()->children().empty());
}

TEST_F(AppShell, DoubleClickOpensACameraWindowOnceAndMarksItsRecord)
{
    start(2);
    CMolvaneView *view = open(0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_strDeviceID, "SIM00001");
    EXPECT_EQ(list().m_listCastMode[0].bOpened, 1);
    EXPECT_EQ(platform.frame()->menuId(), res::MenuCamera);
    EXPECT_EQ(frame().cameraCtrls().size(), 1u);
    EXPECT_EQ(g_listCameraView.size(), 1u);
    EXPECT_EQ(view->m_pParentFrame->windowText(), list().lineText(0) + " Zoom : 100%");
    // Unicast: MulticastMode 0 is written, then CameraIndex is put.
    auto order = dispids(*view->m_pCamera, {Dispid::MulticastMode, Dispid::CameraIndex});
    EXPECT_EQ(order[0], static_cast<int>(Dispid::MulticastMode));
    EXPECT_EQ(order[1], static_cast<int>(Dispid::CameraIndex));
    // Double-clicking the same line again opens no second window: the first comes forward.
    CMolvaneView *other = open(1);
    ASSERT_NE(other, view);
    EXPECT_EQ(frame().activeCameraView(), other);
    EXPECT_EQ(open(0), view);
    EXPECT_EQ(platform.frame()->children().size(), 2u);
    other->m_pParentFrame->close();
    platform.processEvents();
    // Closing the window marks the record closed and returns to the menu without cameras.
    view->m_pParentFrame->close();
    platform.processEvents();
    EXPECT_EQ(list().m_listCastMode[0].bOpened, 0);
    EXPECT_TRUE(g_listCameraView.empty());
    EXPECT_TRUE(frame().cameraCtrls().empty());
    EXPECT_EQ(platform.frame()->menuId(), res::MenuMain);
}

TEST_F(AppShell, PlayStartsAcquisitionInTheAgreedOrderAndFramesAreCounted)
{
    start(1);
    CMolvaneView *view = open(0);
    ASSERT_NE(view, nullptr);
    view->m_pCamera->callLog().clear();
    frame().routeCommand(res::CmdPlay);
    EXPECT_TRUE(frame().commandUi(res::CmdPlay).checked);
    EXPECT_EQ(dispids(*view->m_pCamera, {Dispid::CameraIndex, Dispid::PlayParameterEnabled,
                                          Dispid::PlayParameter, Dispid::Acquisition}),
              (std::vector<int>{45, 39, 38, 12}));
    EXPECT_EQ(platform.timerPeriod(view, 1), 100);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 3; }));
    view->m_bCapturing = 1;
    frame().routeCommand(res::CmdStop);
    EXPECT_EQ(platform.messageBoxes().back().text, "First, you must stop capture");
    EXPECT_EQ(view->m_pCamera->GetAcquisition(), 1);
    view->m_bCapturing = 0;
    frame().routeCommand(res::CmdStop);
    EXPECT_EQ(view->m_pCamera->GetAcquisition(), 0);
    EXPECT_FALSE(platform.hasTimer(view, 1));
}

TEST_F(AppShell, AHeldCameraGivesTheBalloonAndItsEmptyWindowClosesAfterASecond)
{
    start(2, {"1:held"});
    list().select(0);
    list().dispatch(fw::Notify::DblClick, res::ListCameras);
    ASSERT_EQ(platform.balloons().size(), 1u);
    EXPECT_EQ(platform.balloons()[0].title, "Warning!");
    EXPECT_EQ(platform.balloons()[0].text, "Unable to open camera");
    EXPECT_EQ(list().m_listCastMode[0].bOpened, 0);
    EXPECT_TRUE(frame().cameraCtrls().empty());
    EXPECT_EQ(platform.frame()->children().size(), 1u);
    EXPECT_FALSE(frame().commandUi(res::CmdPlay).enabled);  // nothing to play in it
    platform.advance(999);
    EXPECT_EQ(platform.frame()->children().size(), 1u);
    platform.advance(2);
    EXPECT_TRUE(platform.frame()->children().empty());
    EXPECT_TRUE(platform.messageBoxes().empty());
}

TEST_F(AppShell, MulticastOnAHeldCameraAsksForMonitoringAndOkOpensIt)
{
    start(1, {"1:held"});
    platform.answerPopupMenu(res::CmdMultiCast);
    list().onContextMenu(res::ListCameras, 0, {40, 40});
    EXPECT_EQ(list().m_listCastMode[0].nCastMode, 1);
    platform.answerMessageBox(fw::MsgResult::Ok);
    CMolvaneView *view = open(0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(platform.messageBoxes().back().text,
              "Selected camera has accessed by other application in now. Do you want to open camera "
              "in monitoring-mode?");
    EXPECT_EQ(view->m_nAccessMode, 2);
    EXPECT_TRUE(view->m_bOpenOK);
    auto order = dispids(*view->m_pCamera, {Dispid::MulticastMode, Dispid::CameraIndex, Dispid::AccessMode});
    EXPECT_EQ(order, (std::vector<int>{10, 45, 42, 45}));
    // Camera Control does nothing in monitoring mode.
    frame().routeCommand(res::CmdCameraControl);
    EXPECT_EQ(frame().m_bControlPaneShown, 0);
}

TEST_F(AppShell, CancellingTheMonitoringQuestionClosesTheWindowWithoutABalloon)
{
    start(1, {"1:held"});
    list().m_listCastMode[0].nCastMode = list().m_listCastMode[0].nAccessMode = 1;
    platform.answerMessageBox(fw::MsgResult::Cancel);
    open(0);
    EXPECT_TRUE(platform.balloons().empty());
    platform.advance(1100);
    EXPECT_TRUE(platform.frame()->children().empty());
}

TEST_F(AppShell, TheCastModeMenuChecksAndGraysByRecordAndCameraType)
{
    start(2);
    list().onContextMenu(res::ListCameras, 0, {5, 5});
    const fw::MenuItem &menu = platform.lastPopupMenu();
    ASSERT_EQ(menu.items.size(), 2u);
    EXPECT_EQ(menu.items[0].text, "MultiCast");
    EXPECT_TRUE(menu.items[0].enabled);
    EXPECT_FALSE(menu.items[0].checked);
    EXPECT_TRUE(menu.items[1].checked);  // Unicast
    // An open GigE camera: both grayed, the check stays.
    open(0);
    list().onContextMenu(res::ListCameras, 0, {5, 5});
    EXPECT_FALSE(platform.lastPopupMenu().items[0].enabled);
    EXPECT_FALSE(platform.lastPopupMenu().items[1].enabled);
    EXPECT_TRUE(platform.lastPopupMenu().items[1].checked);
    // An open IEEE 1394 camera: grayed and no check marks at all.
    open(1);
    list().onContextMenu(res::ListCameras, 1, {5, 5});
    EXPECT_FALSE(platform.lastPopupMenu().items[0].checked);
    EXPECT_FALSE(platform.lastPopupMenu().items[1].checked);
    EXPECT_FALSE(platform.lastPopupMenu().items[1].enabled);
}

TEST_F(AppShell, RemovingAnOpenCameraClosesItsWindowsAndKeepsOtherRecords)
{
    start(2);
    list().m_listCastMode[1].nCastMode = 1;
    CMolvaneView *view = open(0);
    frame().routeCommand(res::CmdPlay);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 1; }));
    sims.disconnect(1);
    platform.processEvents();
    EXPECT_TRUE(platform.frame()->children().empty());
    EXPECT_TRUE(g_listCameraView.empty());
    ASSERT_EQ(list().lineCount(), 1);
    ASSERT_EQ(list().m_listCastMode.size(), 1u);
    EXPECT_EQ(list().m_listCastMode[0].strCamera, list().lineText(0));
    EXPECT_EQ(list().m_listCastMode[0].nCastMode, 1);
}

TEST_F(AppShell, ARemovedCameraIsNamedInTheStatusBarAndTheOtherWindowTakesOver)
{
    start(3);
    CMolvaneView *first = open(0);
    CMolvaneView *second = open(1);
    ASSERT_EQ(list().lineText(1), "[1394] SIM-FM1024 (SIM00002)");
    sims.disconnect(2);
    platform.processEvents();
    EXPECT_EQ(platform.frame()->statusText(), "SIM-FM1024 (SIM00002) was disconnected");
    EXPECT_EQ(g_listCameraView, std::list<CMolvaneView *>{first});
    (void)second;
    // The window left takes over the list's selection and the info pane.
    ASSERT_EQ(frame().activeCameraView(), first);
    EXPECT_EQ(list().selection(), 0);
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(res::InfoSerial), "SIM00001");
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(res::InfoFormat), "BayerGR8");
    EXPECT_TRUE(platform.messageBoxes().empty());
    // A camera with no window goes without a word.
    sims.disconnect(3);
    platform.processEvents();
    EXPECT_EQ(platform.frame()->statusText(), "SIM-FM1024 (SIM00002) was disconnected");
    EXPECT_EQ(list().lineCount(), 1);
}

TEST_F(AppShell, ToolbarTogglesFollowTheirMenuChecksAndGoBackLeftOfTheZoomBar)
{
    start(0);
    fw::HeadlessFramePeer *f = platform.frame();
    frame().routeCommand(res::CmdToolbarCamera);
    EXPECT_FALSE(f->toolBarVisible(res::ToolbarCamera));
    EXPECT_FALSE(f->menuChecked(res::CmdToolbarCamera));
    frame().routeCommand(res::CmdToolbarCamera);
    EXPECT_TRUE(f->toolBarVisible(res::ToolbarCamera));
    EXPECT_TRUE(f->menuChecked(res::CmdToolbarCamera));
    EXPECT_EQ(f->toolBarRow(), (std::vector<int>{res::ToolbarCamera, res::ToolbarZoom}));
}

TEST_F(AppShell, ToolWindowsOpenOnceAndAreDeletedWhenTheyClose)
{
    start(0);
    frame().routeCommand(res::CmdHistogram);
    CHistoDlg *first = g_pHistoDlg;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowRect().left, 160);
    EXPECT_EQ(first->windowRect().top, 250);
    frame().routeCommand(res::CmdHistogram);
    EXPECT_EQ(g_pHistoDlg, first);
    first->close();  // posts WM_USER + 101
    platform.processEvents();
    EXPECT_EQ(g_pHistoDlg, nullptr);
    frame().routeCommand(res::CmdHistogram);
    ASSERT_NE(g_pHistoDlg, nullptr);
    EXPECT_TRUE(g_pHistoDlg->hasWindow());
}

TEST_F(AppShell, TenRegisterWindowsCascadeAndAClosedOneComesBackInItsPlace)
{
    start(0);
    for (int i = 0; i < 11; ++i)
        frame().routeCommand(res::CmdRegisterAccess);
    EXPECT_EQ(frame().m_nRegisterDlg, 10);
    for (int k = 0; k < 10; ++k) {
        ASSERT_NE(frame().m_pRegisterDlg[k], nullptr);
        EXPECT_EQ(frame().m_pRegisterDlg[k]->windowRect().left, 450 + 50 * k);
        EXPECT_EQ(frame().m_pRegisterDlg[k]->windowRect().top, 435 + 35 * k);
    }
    frame().m_pRegisterDlg[3]->close();
    EXPECT_EQ(frame().m_nRegisterDlg, 9);
    EXPECT_FALSE(frame().m_pRegisterDlg[3]->isWindowVisible());
    frame().routeCommand(res::CmdRegisterAccess);
    EXPECT_TRUE(frame().m_pRegisterDlg[3]->isWindowVisible());
    EXPECT_EQ(frame().m_pRegisterDlg[3]->windowRect().left, 600);
    EXPECT_EQ(frame().m_nRegisterDlg, 10);
}

TEST_F(AppShell, TheAboutBoxShowsTheVersionsActuallyLinked)
{
    start(0);
    CAboutDlg about;
    about.OnInitDialog();
    EXPECT_EQ(about.form().text(res::AboutProgram).rfind("Molvane ", 0), 0u);
    EXPECT_EQ(about.form().text(res::AboutApi).rfind("API ", 0), 0u);
#ifdef MOLVANE_HAVE_ARAVIS
    EXPECT_EQ(about.form().text(res::AboutTl).rfind("TL Driver 0.8.", 0), 0u);
#endif
#ifdef MOLVANE_HAVE_DC1394
    EXPECT_EQ(about.form().text(res::About1394).rfind("1394 Camera Driver 2.", 0), 0u);
#else
    EXPECT_EQ(about.form().text(res::About1394), "1394 Camera Driver not available");  // libdc1394 is not linked
#endif
}

TEST_F(AppShell, ClosingTheFrameClosesCameraWindowsAndQuits)
{
    start(1);
    open(0);
    frame().close();
    platform.processEvents();
    EXPECT_TRUE(platform.quitRequested());
    EXPECT_EQ(mainFrame(), nullptr);
    EXPECT_TRUE(g_listCameraView.empty());
}

TEST_F(AppShell, TheEventLogKeepsEachCamerasDropsTogetherWhileLogging)
{
    start(2, {"1:drop=60", "2:drop=60"});
    CMolvaneView *first = open(0);
    CMolvaneView *second = open(1);
    frame().routeCommand(res::CmdEventViewer);
    CEventLogDlg *log = frame().m_pEventLogDlg;
    ASSERT_NE(log, nullptr);
    EXPECT_FALSE(log->Logging());
    first->FrameDropped();  // not checked: nothing is recorded
    EXPECT_EQ(log->form().itemCount(res::LogList), 0);
    log->form().setCheck(res::LogFrameDrop, 1);
    second->FrameDropped();
    first->FrameDropped();
    second->FrameDropped();
    EXPECT_EQ(log->form().items(res::LogList),
              (std::vector<std::string>{"[SIM00001] FrameDrop Event Generated.",
                                        "[SIM00002] FrameDrop Event Generated.",
                                        "[SIM00002] FrameDrop Event Generated."}));
    // Real drops from a lossy camera arrive as events of its window.
    frame().routeCommand(res::CmdPlay);
    ASSERT_TRUE(platform.processUntil([&] { return log->form().itemCount(res::LogList) > 5; }));
    frame().routeCommand(res::CmdStop);
    log->dispatch(fw::Notify::Clicked, res::LogClear);
    EXPECT_EQ(log->form().itemCount(res::LogList), 0);
    log->close();
    platform.processEvents();
    frame().routeCommand(res::CmdEventViewer);  // a new window: empty and unchecked
    EXPECT_FALSE(frame().m_pEventLogDlg->Logging());
    EXPECT_EQ(frame().m_pEventLogDlg->form().itemCount(res::LogList), 0);
}

TEST_F(AppShell, RegisterAccessReadsAndWritesHexadecimalRegisters)
{
    start(1);
    open(0);
    frame().routeCommand(res::CmdRegisterAccess);
    CRegisterAccessDlg &r = *frame().m_pRegisterDlg[0];
    auto type = [&](int id, const std::string &text) {
        r.form().setText(id, text);
        r.dispatch(fw::Notify::EditChange, id);
    };
    EXPECT_FALSE(r.form().isEnabled(res::RegRead));
    EXPECT_FALSE(r.form().isEnabled(res::RegWrite));
    type(res::RegAddress, "c");
    EXPECT_TRUE(r.form().isEnabled(res::RegRead));
    EXPECT_FALSE(r.form().isEnabled(res::RegWrite));
    r.dispatch(fw::Notify::Clicked, res::RegRead);
    EXPECT_EQ(r.form().text(res::RegData), "56000001");
    EXPECT_TRUE(r.form().isEnabled(res::RegWrite));  // what was read can be written back
    type(res::RegAddress, "1000");
    type(res::RegData, "1");
    EXPECT_TRUE(r.form().isEnabled(res::RegWrite));
    fw::KeyEvent enter;
    enter.key = fw::Key::Enter;
    enter.controlId = res::RegData;
    EXPECT_TRUE(r.preTranslateKey(enter));  // Return writes, then Write waits for an edit
    EXPECT_FALSE(r.form().isEnabled(res::RegWrite));
    r.form().setText(res::RegData, "");
    EXPECT_TRUE(r.preTranslateKey(enter));  // with Write disabled Return reads, and Write stays off
    EXPECT_EQ(r.form().text(res::RegData), "00000001");
    EXPECT_FALSE(r.form().isEnabled(res::RegWrite));
    r.dispatch(fw::Notify::Clicked, res::RegRead);
    EXPECT_EQ(r.form().text(res::RegData), "00000001");
    type(res::RegAddress, "6");  // not a register address: the read fails quietly
    r.dispatch(fw::Notify::Clicked, res::RegRead);
    EXPECT_EQ(r.form().text(res::RegData), "");
    EXPECT_FALSE(r.form().isEnabled(res::RegWrite));  // nothing to write
    EXPECT_TRUE(platform.messageBoxes().empty());
    EXPECT_EQ(CRegisterAccessDlg::ParseHex("1fZ9"), 0x1fu);
    EXPECT_EQ(CRegisterAccessDlg::ParseHex("xyz"), 0u);
}

// Bad entries in both fields of a register window: what is no hexadecimal number is sent as the
// number its leading hexadecimal digits form (0 when there are none), a read shows 8 digits or
// nothing, and no entry raises a message or reaches past the register's 32 bits.
TEST_F(AppShell, RegisterAccessTakesBadEntriesAsTheirLeadingHexDigitsWithoutAMessage)
{
    start(1);
    CMolvaneView *view = open(0);
    frame().routeCommand(res::CmdRegisterAccess);
    CRegisterAccessDlg &r = *frame().m_pRegisterDlg[0];
    std::vector<std::string> texts = badNumbers();
    for (const char *hex : {"zz", "123456789abc", "fffffffff", "c\xff\xfe"})
        texts.push_back(hex);
    for (const std::string &text : texts) {
        SCOPED_TRACE(text);
        const Mark m = mark(view->m_pCamera);
        r.form().setText(res::RegAddress, text);
        r.dispatch(fw::Notify::EditChange, res::RegAddress);
        r.dispatch(fw::Notify::Clicked, res::RegRead);
        const std::string data = r.form().text(res::RegData);
        EXPECT_TRUE(data.empty() || (data.size() == 8 && data.find_first_not_of("0123456789abcdef") == std::string::npos))
            << data;
        r.form().setText(res::RegAddress, "1000");
        r.form().setText(res::RegData, text);
        r.dispatch(fw::Notify::EditChange, res::RegData);
        r.dispatch(fw::Notify::Clicked, res::RegWrite);
        r.dispatch(fw::Notify::Clicked, res::RegRead);
        EXPECT_EQ(r.form().text(res::RegData).size(), 8u);
        char expected[16];
        std::snprintf(expected, sizeof expected, "%08x", CRegisterAccessDlg::ParseHex(text));
        EXPECT_EQ(r.form().text(res::RegData), text.empty() ? r.form().text(res::RegData) : expected);
        EXPECT_TRUE(shownSince(m).empty());
    }
}
