// A camera window's view.
#include "view/CMolvaneView.h"

#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "analysis/AnalysisWindows.h"
#include "analysis/CFrameFeed.h"
#include "app/CMainFrame.h"
#include "camera/CameraError.h"
#include "framework/Platform.h"
#include "diagnostics/CEventLogDlg.h"
#include "pages/CGeneralSettingDlg.h"
#include "pages/CXMLTreeDlg.h"
#include "res/ResourceIds.h"
#include "view/CChildFrame.h"

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <thread>

namespace {
constexpr int kStatusTimer = 1;

// Runs a camera call whose failure the view ignores on purpose.
template <typename Fn>
void guarded(Fn fn)
{
    try {
        fn();
    } catch (const std::exception &) {
    }
}
} // namespace

CMolvaneView::CMolvaneView()
{
    using N = fw::Notify;
    on(N::Command, res::CmdPlay, [this] { OnPlay(); });
    on(N::Command, res::CmdStop, [this] { OnStop(); });
    on(N::Command, res::CmdCameraControl, [this] { OnCameraControl(); });
    on(N::Command, res::CmdZoomIn, [this] { OnZoomIn(); });
    on(N::Command, res::CmdZoomOut, [this] { OnZoomOut(); });
    on(N::Command, res::CmdZoom100, [this] { OnZoom100(); });
    on(N::Command, res::CmdFitToWindow, [this] { OnFitToWindow(); });
    on(N::Command, res::CmdZoomSlider, [this] { OnZoomSlider(); });
    on(N::Command, res::CmdFullScreen, [this] { OnFullScreen(); });
    on(N::Command, res::CmdBayerColor, [this] { OnBayerColor(); });
}

CMolvaneView::~CMolvaneView()
{
    destroyWindow();
    delete m_pCamera;
    m_pCamera = nullptr;
}

bool CMolvaneView::onCreate()
{
    CMainFrame *frame = mainFrame();
    if (!frame)
        return false;
    m_pCamera = new cam::CMolvane;
    const fw::Rect client = clientRect();
    if (!m_pCamera->Create("Molvane", [](std::function<void()> fn) { fw::platform().post(std::move(fn)); },
                           this, nativeHandle(), {client.left, client.top, client.right, client.bottom})) {
        fw::platform().messageBox(fw::loadString(500), "", fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
        delete m_pCamera;
        m_pCamera = nullptr;
    } else {
        frame->AddCameraCtrl(m_pCamera);
    }
    CCameraListWnd &list = frame->m_wndCameraList;
    const int p = list.selection();
    if (Cast_Mode *r = list.record(p)) {
        m_bMulticast = r->nCastMode;
        m_nAccessMode = r->nAccessMode;
        r->bOpened = 1;
    }
    if (!m_pCamera || !Open()) {
        m_bOpenOK = 0;
        if (Cast_Mode *r = list.record(p))
            r->bOpened = 0;
        delete m_pCamera;
        m_pCamera = nullptr;
        return true;  // creation succeeds; the child frame closes the window
    }
    m_pParentFrame = dynamic_cast<CChildFrame *>(parent());
    m_strDeviceID = m_pCamera->GetStringValue("DeviceID");
    {
        std::lock_guard<std::mutex> lock(m_csZoom);
        g_listCameraView.push_back(this);
    }
    frame->frame()->setSliderPos(res::CmdZoomSlider, static_cast<int>(m_fZoom));
    m_pCamera->ShowWindow(true);
    // The image covers the whole view, so a platform may never paint the view itself: its
    // first draw is also posted, to run once the window is shown and active.
    std::weak_ptr<bool> alive = aliveToken();
    fw::platform().post([this, alive] {
        auto token = alive.lock();
        if (token && *token)
            onPaint();
    });
    return true;
}

void CMolvaneView::onSize(int width, int height)
{
    if (m_pCamera)
        m_pCamera->MoveWindow({0, 0, width, height});
}

bool CMolvaneView::Open()
{
    CMainFrame *frame = mainFrame();
    m_nFrameCount = 0;
    if (m_bMulticast == 1 && m_nAccessMode == 1)
        m_pCamera->SetMulticastMode(1);
    else if (m_bMulticast == 0)
        m_pCamera->SetMulticastMode(0);
    if (m_bPlaying) {
        try {
            StopInner();
        } catch (const std::exception &) {
            return false;
        }
        m_bPlaying = 0;
    }
    const int position = ChosenBusPosition(frame->m_wndCameraList);
    try {
        m_pCamera->SetCameraIndex(position);
    } catch (const cam::CameraError &e) {
        if (e.code() == cam::code::HeldElsewhere) {
            if (m_bMulticast == 1 && m_nAccessMode == 1) {
                auto answer = fw::platform().messageBox(
                    "Selected camera has accessed by other application in now. Do you want to "
                    "open camera in monitoring-mode?",
                    "Molvane", fw::MsgButtons::OkCancel, fw::MsgIcon::None);
                if (answer != fw::MsgResult::Ok) {
                    frame->RemoveCameraCtrl(m_pCamera);
                    return false;
                }
                m_pCamera->SetAccessMode(2);
                m_nAccessMode = 2;
                try {
                    m_pCamera->SetCameraIndex(position);
                } catch (const cam::CameraError &) {
                    frame->RemoveCameraCtrl(m_pCamera);
                    ShowOpenFailedBalloon();
                    return false;
                }
            } else {
                frame->RemoveCameraCtrl(m_pCamera);
                ShowOpenFailedBalloon();
                return false;
            }
        } else if (e.code() == cam::code::CannotOpen) {
            ShowOpenFailedBalloon();
            frame->RemoveCameraCtrl(m_pCamera);
            return false;
        }
        // Any other code: carry on as if the open had succeeded.
    }
    invalidate();
    return true;
}

// The camera list shows the bus as of the last arrival or removal it has been told of; a camera
// found since then has moved the others along the bus. The chosen line is looked up on the bus
// by its text, and one no longer there gives a position with no camera, which cannot be opened.
int CMolvaneView::ChosenBusPosition(const CCameraListWnd &list) const
{
    const int chosen = list.selection();
    const std::string line = list.lineText(chosen);
    const cam::StringList bus = m_pCamera->GetCameraList();
    if (!bus || line.empty())
        return chosen;
    const auto &lines = *bus;
    if (chosen >= 0 && chosen < static_cast<int>(lines.size()) && lines[static_cast<size_t>(chosen)] == line)
        return chosen;
    return static_cast<int>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

void CMolvaneView::ShowOpenFailedBalloon()
{
    CMainFrame *frame = mainFrame();
    CCameraListWnd &list = frame->m_wndCameraList;
    fw::Rect box = list.controlScreenRect(res::ListCameras);
    fw::Balloon b;
    b.title = fw::loadString(511);
    b.text = fw::loadString(512);
    b.icon = fw::BalloonIcon::Warning;
    b.anchor = {box.left + box.width() / 2, box.top + 13 * list.selection() + 15};
    fw::platform().showBalloon(b);
}

void CMolvaneView::SetCastMode(int multicast)
{
    if (!m_pCamera || m_pCamera->GetAcquisition() != 0)
        return;
    if (multicast == 1) {
        m_pCamera->SetMulticastMode(1);
        m_pCamera->GetAccessMode();
        m_pCamera->GetMulticastMode();
        m_bMulticast = m_nAccessMode = 1;
    } else {
        m_pCamera->SetMulticastMode(0);
        m_bMulticast = m_nAccessMode = 0;
    }
}

void CMolvaneView::PlayInner()
{
    int index = -1;
    guarded([&] { index = m_pCamera->GetCameraIndex(); });
    if (index < 0)
        return;
    setTimer(kStatusTimer, 100);
    guarded([&] {
        if (m_pCamera->GetPlayParameterEnabled())
            m_pCamera->SetPlayParameter(m_nPlayParameter);
    });
    CMainFrame *frame = mainFrame();
    try {
        m_pCamera->SetAcquisition(1);
    } catch (const std::exception &e) {
        // Play goes on as if started; the status bar says why no image comes.
        if (frame)
            frame->frame()->setStatusText(std::string("Acquisition did not start: ") + e.what());
    }
    if (frame && frame->m_pControlPane)
        frame->m_pControlPane->RefreshPages();
}

void CMolvaneView::StopInner()
{
    int index = -1;
    guarded([&] { index = m_pCamera->GetCameraIndex(); });
    if (index < 0)
        return;
    guarded([&] { m_pCamera->SetAcquisition(0); });
    killTimer(kStatusTimer);
    m_nSavedCount = 0;
    CMainFrame *frame = mainFrame();
    CControlBasePane *pane = frame ? frame->m_pControlPane : nullptr;
    if (pane && pane->m_pTreeDlg && pane->m_pTreeDlg->isWindowVisible()) {
        pane->m_pTreeDlg->ReadSelectedNode();
        pane->m_pTreeDlg->EnableByAccess();
        pane->m_pTreeDlg->ShowNodeValue();
    }
    CGeneralSettingDlg *format = FormatPage();
    guarded([&] {
        if (format && format->isWindowVisible() && m_pCamera->GetCameraType() == 0) {
            const char *node = "AcquisitionFrameRateAbs";
            format->ShowGigEFrameRate(m_pCamera->GetFloatMin(node), m_pCamera->GetFloatMax(node),
                                      m_pCamera->GetFloatValue(node));
        }
    });
}

CGeneralSettingDlg *CMolvaneView::FormatPage() const
{
    CMainFrame *frame = mainFrame();
    CControlBasePane *pane = frame ? frame->m_pControlPane : nullptr;
    return pane && pane->m_pFormatDlg && pane->m_pFormatDlg->hasWindow() ? pane->m_pFormatDlg : nullptr;
}

void CMolvaneView::OnPlay()
{
    if (!m_pCamera || m_bPlaying)
        return;
    m_bPlaying = 1;
    PlayInner();
}

void CMolvaneView::OnStop()
{
    if (!m_pCamera)
        return;
    if (m_bCapturing) {
        fw::platform().messageBox("First, you must stop capture", fw::loadString(128), fw::MsgButtons::Ok,
                                  fw::MsgIcon::None);
        return;
    }
    m_bPlaying = 0;
    StopInner();
}

void CMolvaneView::OnCameraControl()
{
    CMainFrame *frame = mainFrame();
    if (!frame || !m_pCamera || m_pCamera->GetCameraIndex() < 0 || m_nAccessMode == 2)
        return;
    frame->m_bControlPaneShown = !frame->m_bControlPaneShown;
    if (!frame->m_bControlPaneShown) {
        if (frame->m_pControlPane)
            frame->m_pControlPane->showWindow(false);
    } else if (!frame->m_pControlPane) {
        frame->m_pControlPane = new CControlBasePane;
        fw::WindowSpec params;
        params.kind = fw::WindowKind::Pane;
        params.parent = frame;
        params.caption = "Camera Control";
        params.rect = {0, 0, 600, 330};
        params.controlId = res::PaneCameraInfo;
        params.area = fw::DockArea::Bottom;
        params.closable = true;
        frame->m_pControlPane->create(params);
    } else {
        frame->m_pControlPane->showWindow(true);
        frame->m_pControlPane->RefreshPages();
    }
    frame->frame()->recalcLayout();
}

void CMolvaneView::onUpdateCommandUi(int id, fw::CommandUi &ui)
{
    if (!m_pCamera) {
        ui.enabled = false;  // the camera did not open: the window is about to close
        return;
    }
    CMainFrame *frame = mainFrame();
    switch (id) {
    case res::CmdPlay: ui.checked = m_bPlaying != 0; break;
    case res::CmdCameraControl: ui.checked = frame && frame->m_bControlPaneShown; break;
    case res::CmdBayerColor: ui.checked = m_bBayer != 0; break;
    case res::CmdFullScreen: ui.checked = m_bFullScreen != 0; break;
    default: break;
    }
}

void CMolvaneView::onTimer(int id)
{
    if (id != kStatusTimer)
        return;
    // A camera gone from the bus has no status to show: its window closes once nothing holds it.
    if (!m_pCamera || m_pCamera->GetCameraIndex() < 0)
        return;
    CMainFrame *frame = mainFrame();
    if (frame && frame->m_pCameraInfoPane)
        frame->m_pCameraInfoPane->m_dlg.ShowStatus();
}

void CMolvaneView::onPaint()
{
    // Drawn while the camera is still opening (behind the monitoring question) is no first draw.
    if (m_bFirstDrawDone || !m_pCamera || !m_pParentFrame)
        return;
    m_bFirstDrawDone = 1;
    CMainFrame *frame = mainFrame();
    if (!frame)
        return;
    if (frame->m_pCameraInfoPane) {
        frame->m_pCameraInfoPane->m_dlg.ShowCameraState();
        frame->m_pCameraInfoPane->m_dlg.ShowStatus();
    }
    if (frame->m_pControlPane && frame->m_pControlPane->isWindowVisible())
        frame->m_pControlPane->RefreshPages();
}

bool CMolvaneView::preTranslateKey(const fw::KeyEvent &key)
{
    CMainFrame *frame = mainFrame();
    if (key.ctrl && key.shift && key.alt) {
        if (frame)
            frame->OnRegisterAccess();
        return false;
    }
    if (key.ctrl && key.key == fw::Key::F12 && m_nAccessMode != 2 && m_pCamera)
        guarded([&] { m_pCamera->RunCtrlF12Action(); });
    return false;
}

void CMolvaneView::ImageReceived(int)
{
    if (!hasWindow() || !m_pCamera)
        return;
    SaveCapturedFrame();
    m_pCamera->GetImageWidth();
    m_pCamera->GetImageHeight();
    ++m_nFrameCount;
    FeedFrame();
}

void CMolvaneView::FeedFrame()
{
    CMainFrame *frame = mainFrame();
    if (!frame || !frame->m_pCameraInfoPane)
        return;
    CCameraInfoDlg &info = frame->m_pCameraInfoPane->m_dlg;
    if (!info.PixelReadoutOn() && !AnalysisWindowLive())
        return;  // no analysis window is open and the pixel read-out is off
    CCameraListWnd &list = frame->m_wndCameraList;
    if (list.selection() < 0)
        return;
    const std::string line = list.selectedLine();
    if (!line.empty() && line.find(m_strDeviceID) == std::string::npos)
        return;
    for (CMolvaneView *other : g_listCameraView)
        if (other != this && !other->m_strDeviceID.empty() && line.find(other->m_strDeviceID) != std::string::npos) {
            // Two windows show the selected camera: neither feeds, and a stopped one leaves
            // nothing to show.
            if (!other->m_bPlaying)
                ClearAnalysisWindows();
            return;
        }
    if (++m_nFeedCounter < 15)
        return;
    if (info.PixelReadoutOn())
        info.ShowPixel(m_ptMouse.x, m_ptMouse.y);
    // The frame is copied once for all windows; the worker converts and counts it.
    if (!AnalysisFeed().Deliver(*m_pCamera, AnalysisRequest(*this)))
        return;  // no image: the next frame tries again
    m_nFeedCounter = 0;
}

bool CMolvaneView::CameraOpen()
{
    return m_pCamera && m_pCamera->GetCameraIndex() >= 0;
}

void CMolvaneView::ApplyZoom(float scale)
{
    m_pCamera->ShowWindow(false);
    m_pCamera->SetZoom(scale);
    m_pCamera->ShowWindow(true);
}

void CMolvaneView::SetFormatZoom(int value)
{
    if (CGeneralSettingDlg *format = FormatPage())
        format->SetZoomSpin(value);
}

void CMolvaneView::OnZoomIn()
{
    if (m_fZoom > 1000 || !CameraOpen())
        return;
    m_fZoom += 10;
    ApplyZoom(m_fZoom / 100);
    fw::FramePeer *f = mainFrame()->frame();
    f->setSliderPos(res::CmdZoomSlider, f->sliderPos(res::CmdZoomSlider) + 10);
    SetFormatZoom(static_cast<int>(m_fZoom));
}

void CMolvaneView::OnZoomOut()
{
    if (m_fZoom < 10 || !CameraOpen())
        return;
    m_fZoom -= 10;
    ApplyZoom(m_fZoom / 100);
    fw::FramePeer *f = mainFrame()->frame();
    f->setSliderPos(res::CmdZoomSlider, f->sliderPos(res::CmdZoomSlider) - 10);
    SetFormatZoom(static_cast<int>(m_fZoom));
}

void CMolvaneView::OnZoom100()
{
    if (!CameraOpen())
        return;
    m_fZoom = 100;
    ApplyZoom(1.0f);
    mainFrame()->frame()->setSliderPos(res::CmdZoomSlider, 100);
    SetFormatZoom(100);
}

void CMolvaneView::OnFitToWindow()
{
    if (!CameraOpen())
        return;
    CMainFrame *frame = mainFrame();
    m_pCamera->ShowWindow(false);
    {
        std::lock_guard<std::mutex> lock(m_csZoom);
        m_fZoom = 0;
        m_pCamera->SetZoom(0);
    }
    m_pCamera->ShowWindow(true);
    frame->m_pCameraInfoPane->m_dlg.form().setText(res::InfoZoom, "Fit to window");
    if (m_pParentFrame)
        m_pParentFrame->setWindowText(frame->m_wndCameraList.selectedLine() + " Zoom : Fit to window ");
    SetFormatZoom(0);
}

void CMolvaneView::OnZoomSlider()
{
    CMainFrame *frame = mainFrame();
    if (!m_pCamera || !frame)
        return;
    const std::string line = frame->m_wndCameraList.selectedLine();
    if (line.empty() || line.find(m_strDeviceID) == std::string::npos)
        return;
    const int s = frame->frame()->sliderPos(res::CmdZoomSlider);
    if (s == m_nSliderPos)
        return;
    SetFormatZoom(s);
    m_nSliderPos = s;
    m_fZoom = static_cast<float>(s);
    m_pCamera->ShowWindow(false);
    if (m_pParentFrame)
        m_pParentFrame->setWindowText(line + " Zoom : " + std::to_string(s) + "%");
    frame->m_pCameraInfoPane->m_dlg.form().setText(res::InfoZoom, std::to_string(static_cast<unsigned>(m_fZoom)));
    guarded([&] { m_pCamera->SetZoom(s * 0.01f); });
    m_pCamera->ShowWindow(true);
    frame->m_bZoomChanged = 1;
}

void CMolvaneView::OnFullScreen()
{
    m_bFullScreen = !m_bFullScreen;
    if (m_bFullScreen && m_pCamera)
        guarded([&] { m_pCamera->SetFullScreen(1); });
}

void CMolvaneView::OnBayerColor()
{
    CMainFrame *frame = mainFrame();
    if (!frame || !CameraOpen() || m_nAccessMode == 2)
        return;
    if (frame->m_wndCameraList.selectedLine().find("YUV") != std::string::npos)
        return;
    m_bBayer = !m_bBayer;
    if (m_bBayer)
        m_pCamera->SetBayerAlgorithm(1);
    m_pCamera->SetBayerConversion(m_bBayer);
    frame->m_pCameraInfoPane->m_dlg.form().setText(res::InfoBayer, m_bBayer ? "ON" : "OFF");
    if (CGeneralSettingDlg *format = FormatPage())
        format->RefreshBayer();
    frame->RefreshAnalysisWindows();
}

void CMolvaneView::ImageMouseDown(int x, int y)
{
    m_bButtonDown = 1;
    const int w = m_pCamera ? m_pCamera->GetImageWidth() : 1;
    const int h = m_pCamera ? m_pCamera->GetImageHeight() : 1;
    m_ptPixel = {std::clamp(x, 0, std::max(0, w - 1)), std::clamp(y, 0, std::max(0, h - 1))};
}

void CMolvaneView::ImageMouseMove(int x, int y)
{
    if (m_bButtonDown)
        m_bDragged = 1;
    m_ptMouse = {x, y};
}

void CMolvaneView::ImageMouseUp(int, int)
{
    m_bButtonDown = 0;
    m_bDragged = 0;
}

void CMolvaneView::FrameDropped()
{
    CMainFrame *frame = mainFrame();
    CEventLogDlg *log = frame ? frame->m_pEventLogDlg : nullptr;
    if (log && log->hasWindow() && log->Logging())
        log->AddFrameDrop(m_strDeviceID);
}

void CMolvaneView::onDestroy()
{
    if (!m_pCamera)
        return;
    CMainFrame *frame = mainFrame();
    if (frame && frame->m_pControlPane)
        frame->m_pControlPane->ForgetTreePage(m_pXMLTreeDlg);
    else
        delete m_pXMLTreeDlg;  // the application is closing: no pane is left to forget it
    m_pXMLTreeDlg = nullptr;
    guarded([&] {
        if (m_pCamera->GetAcquisition()) {
            m_pCamera->SetAcquisition(0);
            m_bPlaying = 0;
        }
    });
    {
        std::lock_guard<std::mutex> lock(m_csZoom);
        g_listCameraView.remove(this);
    }
    delete m_pCamera;
    m_pCamera = nullptr;
    m_bBayer = 0;
    if (frame && frame->cameraCtrls().empty())
        frame->m_bControlPaneShown = 0;
}

void CMolvaneView::SaveCapturedFrame()
{
    if (!m_bPlaying || !(m_bAutoEveryFrame || m_bStillRequest || m_bAutoTick) || m_bSaveFailing)
        return;
    const fw::LocalTime t = fw::platform().localTime();
    char name[96];
    std::snprintf(name, sizeof name, "/%d_%d_%d_%d_%d_%d_%u", t.month, t.day, t.hour, t.minute, t.second,
                  t.millisecond, m_nSavedCount);
    const bool raw = m_strCaptureExt == ".raw" || m_strCaptureExt == "-rgb.raw";
    const bool toAuto = raw ? !m_bStillRequest : (m_bAutoEveryFrame || m_bAutoTick);
    const std::string &folder = toAuto ? m_strAutoFolder : m_strStillFolder;
    try {
        // The component queues the frame to its writer threads; this thread does not wait.
        m_pCamera->SaveImage(folder + name + m_strCaptureExt, 90);
    } catch (const std::exception &) {
        // The request stays, so the next frame tries again; the box comes once per failing
        // folder, or the operator could never reach the page to change it.
        if (folder == m_strFailedFolder)
            return;
        m_strFailedFolder = folder;
        m_bSaveFailing = true;  // the box below runs the event loop: later frames must not stack boxes
        fw::platform().messageBox("Unable to open image file.", "", fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
        m_bSaveFailing = false;
        return;
    }
    m_strFailedFolder.clear();
    ++m_nSavedCount;
    if (m_bStillRequest)
        m_bStillRequest = 0;
    else if (m_bAutoTick)
        m_bAutoTick = 0;
}
