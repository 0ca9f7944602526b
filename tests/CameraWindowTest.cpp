// Scenarios of camera windows: zoom rules and titles, the shared slider, full screen, Bayer
// colour, the camera info pane, the control pane's page rules, closing the last window.
#include "TestSupport.h"

#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMenuDlg.h"
#include "camera/FrameBudget.h"
#include "pages/CCaptureDlg.h"
#include "pages/CFeatureCtrlDlg.h"
#include "pages/CGeneralSettingDlg.h"
#include "pages/CLUTDlg.h"
#include "pages/CROIDlg.h"
#include "pages/CTriggerCtrlDlg.h"
#include "pages/CXMLTreeDlg.h"
#include "res/ResourceIds.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

using cam::Dispid;

namespace {

// The arguments of the component's calls of one member, in order.
std::vector<double> floatArgs(const cam::CMolvane &c, Dispid id)
{
    std::vector<double> out;
    for (const auto &call : c.callLog().calls())
        if (call.dispid == id && !call.args.empty()) {
            if (auto *d = std::get_if<double>(&call.args[0]))
                out.push_back(*d);
            else if (auto *i = std::get_if<int>(&call.args[0]))
                out.push_back(*i);
        }
    return out;
}

} // namespace

class CameraWindow : public AppFixture {
protected:
    void command(int id)
    {
        frame().routeCommand(id);
        platform.processEvents();
    }
    // Moves the shared slider as the operator does; the toolbar then notifies the view.
    void slide(int pos)
    {
        platform.frame()->setSliderPos(res::CmdZoomSlider, pos);
        command(res::CmdZoomSlider);
    }
    const fw::Form &info() { return frame().m_pCameraInfoPane->m_dlg.form(); }
    // Opens a line held elsewhere in multicast, answering OK to the monitoring question.
    CMolvaneView *openMonitoring(int line)
    {
        list().m_listCastMode[line].nCastMode = list().m_listCastMode[line].nAccessMode = 1;
        platform.answerMessageBox(fw::MsgResult::Ok);
        return open(line);
    }
};

TEST_F(CameraWindow, ZoomCommandsStepByTenWithinBoundsAndMoveTheSlider)
{
    start(1);
    CMolvaneView *view = open(0);
    view->m_pCamera->callLog().clear();
    command(res::CmdZoomIn);
    slide(platform.frame()->sliderPos(res::CmdZoomSlider));
    EXPECT_FLOAT_EQ(view->m_fZoom, 110);
    EXPECT_EQ(platform.frame()->sliderPos(res::CmdZoomSlider), 110);
    EXPECT_EQ(view->m_pParentFrame->windowText(), list().lineText(0) + " Zoom : 110%");
    EXPECT_EQ(info().text(res::InfoZoom), "110");
    command(res::CmdZoom100);
    EXPECT_EQ(floatArgs(*view->m_pCamera, Dispid::SetZoom).back(), 1.0);
    EXPECT_EQ(platform.frame()->sliderPos(res::CmdZoomSlider), 100);

    view->m_fZoom = 1001;  // above 1000 Zoom In does nothing
    view->m_pCamera->callLog().clear();
    command(res::CmdZoomIn);
    EXPECT_FLOAT_EQ(view->m_fZoom, 1001);
    view->m_fZoom = 9;     // below 10 Zoom Out does nothing
    command(res::CmdZoomOut);
    EXPECT_FLOAT_EQ(view->m_fZoom, 9);
    EXPECT_TRUE(floatArgs(*view->m_pCamera, Dispid::SetZoom).empty());
    platform.frame()->setSliderPos(res::CmdZoomSlider, 5000);
    EXPECT_EQ(platform.frame()->sliderPos(res::CmdZoomSlider), 1000);  // never leaves 1..1000
}

TEST_F(CameraWindow, FitToWindowAppliesScaleZeroAndRetitles)
{
    start(1);
    CMolvaneView *view = open(0);
    command(res::CmdFitToWindow);
    EXPECT_EQ(floatArgs(*view->m_pCamera, Dispid::SetZoom).back(), 0.0);
    EXPECT_FLOAT_EQ(view->m_fZoom, 0);
    EXPECT_EQ(view->m_pParentFrame->windowText(), list().lineText(0) + " Zoom : Fit to window ");
    EXPECT_EQ(info().text(res::InfoZoom), "Fit to window");
    view->m_pCamera->callLog().clear();
    view->onTimer(1);  // the status refresh keeps saying so
    EXPECT_EQ(info().text(res::InfoZoom), "Fit to window");
}

TEST_F(CameraWindow, TheSliderZoomsOnlyTheWindowOfTheSelectedCamera)
{
    start(2);
    CMolvaneView *first = open(0);
    CMolvaneView *second = open(1);
    ASSERT_NE(first, second);
    // Camera 1 selected in the list while the second window is active: nothing zooms.
    list().select(0);
    slide(250);
    EXPECT_FLOAT_EQ(second->m_fZoom, 100);
    list().select(1);
    slide(300);
    EXPECT_FLOAT_EQ(second->m_fZoom, 300);
    EXPECT_FLOAT_EQ(first->m_fZoom, 100);
    EXPECT_EQ(frame().m_bZoomChanged, 1);
}

TEST_F(CameraWindow, CtrlEnterLeavesFullScreenButASecondPressDoesNot)
{
    start(1);
    CMolvaneView *view = open(0);
    command(res::CmdFullScreen);
    EXPECT_TRUE(view->m_bFullScreen);
    EXPECT_TRUE(view->m_pCamera->fullScreen());
    EXPECT_TRUE(frame().commandUi(res::CmdFullScreen).checked);
    fw::KeyEvent ctrlEnter;
    ctrlEnter.key = fw::Key::Enter;
    ctrlEnter.ctrl = true;
    frame().preTranslateFrameKey(ctrlEnter);
    EXPECT_FALSE(view->m_bFullScreen);
    EXPECT_FALSE(view->m_pCamera->fullScreen());
    command(res::CmdFullScreen);
    command(res::CmdFullScreen);  // cleared by the command: the display stays full screen
    EXPECT_FALSE(view->m_bFullScreen);
    EXPECT_TRUE(view->m_pCamera->fullScreen());
}

TEST_F(CameraWindow, BayerColourTogglesExceptOnAYuvCamerasLine)
{
    start(3);
    CMolvaneView *view = open(0);
    view->m_pCamera->callLog().clear();
    command(res::CmdBayerColor);
    EXPECT_EQ(dispids(*view->m_pCamera, {Dispid::BayerAlgorithm, Dispid::BayerConversion}),
              (std::vector<int>{33, 32}));
    EXPECT_EQ(view->m_pCamera->GetBayerConversion(), 1);
    EXPECT_EQ(info().text(res::InfoBayer), "ON");
    command(res::CmdBayerColor);
    EXPECT_EQ(info().text(res::InfoBayer), "OFF");
    EXPECT_EQ(view->m_pCamera->GetBayerConversion(), 0);

    CMolvaneView *yuv = open(2);
    ASSERT_NE(list().lineText(2).find("YUV"), std::string::npos);
    yuv->m_pCamera->callLog().clear();
    command(res::CmdBayerColor);
    EXPECT_EQ(yuv->m_bBayer, 0);
    EXPECT_TRUE(dispids(*yuv->m_pCamera, {Dispid::BayerConversion}).empty());
}

TEST_F(CameraWindow, InfoPaneShowsStateAndStatusOfTheActiveCamera)
{
    start(2);
    list().m_listCastMode[0].nCastMode = list().m_listCastMode[0].nAccessMode = 1;
    CMolvaneView *gige = open(0);
    gige->onPaint();  // the first draw refreshes the pane
    EXPECT_EQ(info().text(res::InfoCastMode), "Multicast");
    EXPECT_EQ(info().text(res::InfoFormat), "BayerGR8");
    EXPECT_EQ(info().text(res::InfoWidth), "1280");
    EXPECT_EQ(info().text(res::InfoHeight), "960");
    EXPECT_EQ(info().text(res::InfoFirmware), "1.4.2");
    EXPECT_EQ(info().text(res::InfoTrigger), "OFF");
    gige->m_fZoom = 150.7f;
    frame().m_pCameraInfoPane->m_dlg.ShowStatus();
    EXPECT_EQ(info().text(res::InfoZoom), "150");
    // In a shot mode the total is the view's own count.
    gige->m_pCamera->SetAcquisitionMode("SingleFrame");
    gige->m_nFrameCount = 7;
    frame().m_pCameraInfoPane->m_dlg.ShowStatus();
    EXPECT_EQ(info().text(res::InfoFrames), "7");

    CMolvaneView *firewire = open(1);
    firewire->onPaint();
    EXPECT_EQ(info().text(res::InfoCastMode), "None");
    EXPECT_EQ(info().text(res::InfoFormat), "640x480 Mono8");
}

TEST_F(CameraWindow, ThePixelReadOutFollowsTheMouseEveryFifteenthFrameWhileChecked)
{
    start(1);
    CMolvaneView *view = open(0);
    view->onPaint();  // the first draw makes the pane know the camera
    view->ImageMouseMove(5, 6);
    command(res::CmdPlay);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 20; }));
    EXPECT_EQ(info().text(res::InfoX), " -");  // unchecked: never changes
    frame().m_pCameraInfoPane->m_dlg.form().setCheck(res::InfoPixelCheck, 1);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 40; }));
    EXPECT_EQ(info().text(res::InfoX), "5");
    EXPECT_EQ(info().text(res::InfoY), "6");
    EXPECT_NE(info().text(res::InfoR), " -");
    // A position at x = ImageWidth is outside the image: the read-out keeps its values.
    view->ImageMouseMove(1280, 6);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 60; }));
    EXPECT_EQ(info().text(res::InfoX), "5");
    command(res::CmdStop);
}

TEST_F(CameraWindow, ControlPaneShowsOnePageAtATimeAndFollowsTheActiveCamera)
{
    start(2);
    CMolvaneView *first = open(0);
    command(res::CmdCameraControl);
    CControlBasePane *pane = frame().m_pControlPane;
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->windowText(), "Camera Control");
    EXPECT_TRUE(frame().m_bControlPaneShown);
    ASSERT_NE(pane->m_pFormatDlg, nullptr);
    EXPECT_TRUE(pane->m_pFormatDlg->isWindowVisible());
    pane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnFeature);
    EXPECT_TRUE(pane->m_pFeatureDlg->isWindowVisible());
    EXPECT_FALSE(pane->m_pFormatDlg->isWindowVisible());
    EXPECT_EQ(pane->m_pCurrentPage, pane->m_pFeatureDlg);
    // The tree page belongs to the camera window: another window brings its own.
    pane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnTree);
    CXMLTreeDlg *firstTree = first->m_pXMLTreeDlg;
    ASSERT_NE(firstTree, nullptr);
    EXPECT_TRUE(firstTree->isWindowVisible());
    EXPECT_FALSE(pane->m_pFeatureDlg->isWindowVisible());
    CMolvaneView *second = open(1);
    pane->RefreshPages();
    ASSERT_NE(second->m_pXMLTreeDlg, nullptr);
    EXPECT_TRUE(second->m_pXMLTreeDlg->isWindowVisible());
    EXPECT_FALSE(firstTree->isWindowVisible());
    // Closing the window whose tree page is shown shows the tree of the window left active.
    second->m_pParentFrame->close();
    platform.processEvents();
    ASSERT_NE(pane->m_pTreeDlg, nullptr);
    EXPECT_EQ(pane->m_pTreeDlg, first->m_pXMLTreeDlg);
    EXPECT_TRUE(first->m_pXMLTreeDlg->isWindowVisible());
}

TEST_F(CameraWindow, ClosingTheLastWindowHidesThePaneAndClearsItsSwitch)
{
    start(1);
    CMolvaneView *view = open(0);
    command(res::CmdCameraControl);
    ASSERT_TRUE(frame().m_pControlPane->isWindowVisible());
    view->m_pParentFrame->close();
    platform.processEvents();
    EXPECT_FALSE(frame().m_pControlPane->isWindowVisible());
    EXPECT_EQ(frame().m_bControlPaneShown, 0);
    open(0);
    EXPECT_FALSE(frame().m_pControlPane->isWindowVisible());  // the next window starts with it off
    // The pane's close box is the toolbar button.
    command(res::CmdCameraControl);
    EXPECT_TRUE(frame().m_pControlPane->isWindowVisible());
    frame().m_pControlPane->onCloseBox();
    EXPECT_FALSE(frame().m_pControlPane->isWindowVisible());
    EXPECT_EQ(frame().m_bControlPaneShown, 0);
}

TEST_F(CameraWindow, MonitoringModeDisablesThePageMenu)
{
    start(1, {"1:held"});
    CMolvaneView *view = openMonitoring(0);
    ASSERT_EQ(view->m_nAccessMode, 2);
    // The pane exists from an earlier camera window; showing it reads the active view.
    frame().m_pControlPane = new CControlBasePane;
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Pane;
    params.parent = &frame();
    ASSERT_TRUE(frame().m_pControlPane->create(params));
    EXPECT_FALSE(frame().m_pControlPane->m_pMenuDlg->form().isEnabled(res::BtnFormat));
    EXPECT_FALSE(frame().m_pControlPane->m_pMenuDlg->form().isEnabled(res::BtnLut));
}

TEST_F(CameraWindow, IdentityShowsElementsZeroToSixButFourAndClearsTheRest)
{
    start(1);
    CCameraInfoDlg &dlg = frame().m_pCameraInfoPane->m_dlg;
    dlg.form().setText(res::InfoFormat, "Mono8");
    dlg.ShowIdentity(std::vector<std::string>{"M", "V", "S", "U", "hidden", "10.0.0.7", "0a:bc:de:f0:12:34", "extra"});
    EXPECT_EQ(dlg.form().text(res::InfoModel), "M");
    EXPECT_EQ(dlg.form().text(res::InfoVendor), "V");
    EXPECT_EQ(dlg.form().text(res::InfoUser), "U");
    EXPECT_EQ(dlg.form().text(res::InfoIp), "10.0.0.7");
    EXPECT_EQ(dlg.form().text(res::InfoMac), "0A:BC:DE:F0:12:34");
    EXPECT_EQ(dlg.form().text(res::InfoFormat), "-");
    dlg.ShowIdentity(std::nullopt);
    EXPECT_EQ(dlg.form().text(res::InfoModel), "-");
    // Without a camera window the state and status read-outs do nothing.
    dlg.ShowCameraState();
    dlg.ShowStatus();
    EXPECT_EQ(dlg.form().text(res::InfoFps), "-");
}

TEST_F(CameraWindow, KeysInACameraWindow)
{
    start(1);
    CMolvaneView *view = open(0);
    fw::KeyEvent k;
    k.ctrl = k.shift = k.alt = true;
    frame().preTranslateFrameKey(k);
    EXPECT_EQ(frame().m_nRegisterDlg, 1);
    fw::KeyEvent f12;
    f12.key = fw::Key::F12;
    f12.ctrl = true;
    view->m_pCamera->callLog().clear();
    frame().preTranslateFrameKey(f12);
    EXPECT_EQ(dispids(*view->m_pCamera, {Dispid::RunCtrlF12Action}), std::vector<int>{134});
    EXPECT_TRUE(view->m_pCamera->statisticsOverlay());
    view->m_nAccessMode = 2;  // not in monitoring mode
    view->m_pCamera->callLog().clear();
    frame().preTranslateFrameKey(f12);
    EXPECT_TRUE(dispids(*view->m_pCamera, {Dispid::RunCtrlF12Action}).empty());
}

TEST_F(CameraWindow, MouseEventsAreClampedToTheImageAndTrackDragging)
{
    start(1);
    CMolvaneView *view = open(0);
    view->ImageMouseDown(-5, 2000);
    EXPECT_EQ(view->m_ptPixel.x, 0);
    EXPECT_EQ(view->m_ptPixel.y, 959);
    EXPECT_TRUE(view->m_bButtonDown);
    view->ImageMouseMove(10, 20);
    EXPECT_TRUE(view->m_bDragged);
    EXPECT_EQ(view->m_ptMouse.x, 10);
    view->ImageMouseUp(10, 20);
    EXPECT_FALSE(view->m_bButtonDown);
    EXPECT_FALSE(view->m_bDragged);
    view->ImageMouseDown(1280, 3);
    EXPECT_EQ(view->m_ptPixel.x, 1279);
}

TEST_F(CameraWindow, ClickingAWindowSelectsItsCameraAndShowsItsZoomOnTheSlider)
{
    start(2);
    CMolvaneView *first = open(0);
    CMolvaneView *second = open(1);
    first->m_fZoom = 250;
    list().select(1);
    frame().m_pCameraInfoPane->m_dlg.ShowIdentity(std::nullopt);
    platform.frame()->activateChild(*first->m_pParentFrame);
    first->m_pParentFrame->onMouseActivate();
    EXPECT_EQ(list().selection(), 0);
    EXPECT_EQ(info().text(res::InfoSerial), "SIM00001");
    EXPECT_EQ(platform.frame()->sliderPos(res::CmdZoomSlider), 250);
    (void)second;
}

TEST_F(CameraWindow, PressingTheButtonOfTheVisiblePageDoesNotReadItAgain)
{
    start(1);
    open(0);
    command(res::CmdCameraControl);
    CControlBasePane *pane = frame().m_pControlPane;
    pane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnFeature);
    CFeatureCtrlDlg *page = pane->m_pFeatureDlg;
    page->form().setText(res::FeaValue, "typed");  // what a refresh would overwrite
    pane->m_pMenuDlg->dispatch(fw::Notify::Clicked, res::BtnFeature);
    EXPECT_EQ(page->form().text(res::FeaValue), "typed");
    pane->RefreshPages();  // the active camera changed: the visible page reads it again
    EXPECT_NE(page->form().text(res::FeaValue), "typed");
}

namespace {

// Every page of the pane that is on show: the shared ones and each window's tree page.
std::vector<fw::Window *> shownPages(const CControlBasePane &pane)
{
    std::vector<fw::Window *> pages = {pane.m_pFormatDlg, pane.m_pFeatureDlg, pane.m_pTriggerDlg,
                                       pane.m_pROIDlg, pane.m_pCaptureDlg, pane.m_pLUTDlg};
    for (CMolvaneView *v : g_listCameraView)
        pages.push_back(v->m_pXMLTreeDlg);
    std::vector<fw::Window *> shown;
    for (fw::Window *p : pages)
        if (p && p->hasWindow() && p->isWindowVisible())
            shown.push_back(p);
    return shown;
}

// One page on show, and the pane's own idea of the current page is that page.
void expectOnePageShown(const CControlBasePane &pane, fw::Window *page, const char *step)
{
    SCOPED_TRACE(step);
    EXPECT_EQ(shownPages(pane), std::vector<fw::Window *>{page});
    EXPECT_EQ(pane.m_pCurrentPage, page);
    EXPECT_EQ(pane.m_bTreeCurrent != 0, page == pane.m_pTreeDlg && page != nullptr);
}

} // namespace

TEST_F(CameraWindow, ClosingTheActiveWindowHandsToolbarPanesAndPagesToThePreviousOne)
{
    start(3);
    CMolvaneView *first = open(0);
    CMolvaneView *second = open(1);
    command(res::CmdCameraControl);
    CControlBasePane *pane = frame().m_pControlPane;
    CMolvaneView *third = open(2);
    // Back to the second window, then close the third with its close box.
    platform.frame()->activateChild(*second->m_pParentFrame);
    second->m_pParentFrame->onMouseActivate();
    platform.frame()->activateChild(*third->m_pParentFrame);
    third->m_pParentFrame->onMouseActivate();
    third->m_pParentFrame->onCloseBox();
    platform.processEvents();
    // The window active before it takes over, not merely the last one opened.
    ASSERT_EQ(frame().activeCameraView(), second);
    EXPECT_TRUE(frame().commandUi(res::CmdPlay).enabled);
    EXPECT_TRUE(frame().commandUi(res::CmdCameraControl).checked);
    EXPECT_EQ(list().selection(), 1);
    EXPECT_EQ(info().text(res::InfoSerial), "SIM00002");
    EXPECT_EQ(info().text(res::InfoFormat), "640x480 Mono8");
    EXPECT_EQ(pane->m_pFormatDlg->form().items(res::FmtPixelFormat), *second->m_pCamera->GetImageFormatList());
    EXPECT_TRUE(pane->isWindowVisible());
    // Closing that one too leaves the first in charge.
    second->m_pParentFrame->onCloseBox();
    platform.processEvents();
    ASSERT_EQ(frame().activeCameraView(), first);
    EXPECT_EQ(info().text(res::InfoSerial), "SIM00001");
    EXPECT_EQ(info().text(res::InfoFormat), "BayerGR8");
}

TEST_F(CameraWindow, ExactlyOnePageIsShownWhateverWindowsOpenAndClose)
{
    start(3);
    CMolvaneView *a = open(0);
    command(res::CmdCameraControl);
    CControlBasePane *pane = frame().m_pControlPane;
    CMenuDlg *menu = pane->m_pMenuDlg;
    expectOnePageShown(*pane, pane->m_pFormatDlg, "pane switched on");
    menu->dispatch(fw::Notify::Clicked, res::BtnTree);
    expectOnePageShown(*pane, a->m_pXMLTreeDlg, "tree of A");
    menu->dispatch(fw::Notify::Clicked, res::BtnFormat);
    expectOnePageShown(*pane, pane->m_pFormatDlg, "format over A's hidden tree");
    CMolvaneView *b = open(1);
    expectOnePageShown(*pane, pane->m_pFormatDlg, "B opened");
    a->m_pParentFrame->close();  // while B is active
    platform.processEvents();
    expectOnePageShown(*pane, pane->m_pFormatDlg, "A closed behind Format");
    menu->dispatch(fw::Notify::Clicked, res::BtnTree);
    expectOnePageShown(*pane, b->m_pXMLTreeDlg, "tree of B");
    CMolvaneView *c = open(2);
    expectOnePageShown(*pane, c->m_pXMLTreeDlg, "C opened: its own tree");
    b->m_pParentFrame->close();
    platform.processEvents();
    expectOnePageShown(*pane, c->m_pXMLTreeDlg, "B closed behind C's tree");
    menu->dispatch(fw::Notify::Clicked, res::BtnFeature);
    expectOnePageShown(*pane, pane->m_pFeatureDlg, "feature page");
    menu->dispatch(fw::Notify::Clicked, res::BtnTree);
    CMolvaneView *d = open(0);
    expectOnePageShown(*pane, d->m_pXMLTreeDlg, "A again: its tree");
    d->m_pParentFrame->close();
    platform.processEvents();
    expectOnePageShown(*pane, c->m_pXMLTreeDlg, "the shown tree's window closed");
}

TEST_F(CameraWindow, TheInfoPaneFillsWhenTheWindowFirstShowsAlsoInMonitoringMode)
{
    start(2, {"1:held"});
    // Nothing draws the view here: the window's first showing alone fills the pane.
    CMolvaneView *monitor = openMonitoring(0);
    ASSERT_EQ(monitor->m_nAccessMode, 2);
    EXPECT_EQ(info().text(res::InfoFormat), "BayerGR8");
    EXPECT_EQ(info().text(res::InfoWidth), "1280");
    EXPECT_EQ(info().text(res::InfoFirmware), "1.4.2");
    EXPECT_EQ(info().text(res::InfoCastMode), "Multicast");
    EXPECT_EQ(info().text(res::InfoBayer), "OFF");
    EXPECT_EQ(platform.messageBoxes().size(), 1u);  // the question, nothing else
    open(1);
    EXPECT_EQ(info().text(res::InfoFormat), "640x480 Mono8");
    EXPECT_EQ(info().text(res::InfoCastMode), "None");
}

TEST_F(CameraWindow, NewWindowsCascadeInsideTheWorkspaceAndStartAgainAtItsCorner)
{
    start(6);
    frame().moveWindow({0, 0, 800, 600});
    const fw::Rect area = frame().clientRect();
    std::vector<fw::Rect> placed;
    for (int i = 0; i < 5; ++i) {
        open(i);
        placed.push_back(frame().activeChildFrame()->windowRect());
    }
    for (const fw::Rect &r : placed) {
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, area.right);
        EXPECT_LE(r.bottom, area.bottom);
    }
    EXPECT_EQ(placed[0].left, 0);
    EXPECT_GT(placed[1].top, placed[0].top);
    EXPECT_GT(placed[2].left, placed[1].left);
    EXPECT_EQ(placed[4].top, 0);  // the fifth would not fit below the fourth
    // A workspace smaller than a window gets a window of its size.
    frame().moveWindow({0, 0, 400, 300});
    open(5);
    const fw::Rect small = frame().activeChildFrame()->windowRect();
    EXPECT_LE(small.width(), frame().clientRect().width());
    EXPECT_LE(small.height(), frame().clientRect().height());
}

TEST_F(CameraWindow, PlayThatTheCameraRefusesSaysWhyInTheStatusBar)
{
    start(1);
    CMolvaneView *view = open(0);
    cam::FrameBudget::setMegabytes(3);  // too small for three 1280 x 960 frames
    command(res::CmdPlay);
    cam::FrameBudget::setMegabytes(0);
    const std::string status = platform.frame()->statusText();
    EXPECT_EQ(status.rfind("Acquisition did not start: ", 0), 0u) << status;
    EXPECT_NE(status.find("FramePoolMegabytes"), std::string::npos) << status;
    EXPECT_EQ(view->m_pCamera->GetAcquisition(), 0);
    // Play still counts as pressed, as with any refused start, and Stop clears it.
    EXPECT_EQ(view->m_bPlaying, 1);
    command(res::CmdStop);
    command(res::CmdPlay);
    EXPECT_EQ(view->m_pCamera->GetAcquisition(), 1);
}
