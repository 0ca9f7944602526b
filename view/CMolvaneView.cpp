// A camera window's view.
#include "view/CMolvaneView.h"

#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMainFrame.h"
#include "camera/CameraError.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"
#include "view/CChildFrame.h"

#include <algorithm>
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
    if (!m_pCamera->Create("Molvane", [](std::function<void()> fn) { fw::platform().post(std::move(fn)); },
                           this)) {
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
    return true;
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
    const int position = frame->m_wndCameraList.selection();
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
    guarded([&] { m_pCamera->SetAcquisition(1); });
    CMainFrame *frame = mainFrame();
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
        fw::WindowSpec spec;
        spec.kind = fw::WindowKind::Pane;
        spec.parent = frame;
        spec.caption = "Camera Control";
        spec.rect = {0, 0, 600, 330};
        spec.controlId = res::PaneCameraInfo;
        spec.area = fw::DockArea::Bottom;
        spec.closable = true;
        frame->m_pControlPane->create(spec);
    } else {
        frame->m_pControlPane->showWindow(true);
        frame->m_pControlPane->RefreshPages();
    }
    frame->frame()->recalcLayout();
}

void CMolvaneView::onUpdateCommandUi(int id, fw::CommandUi &ui)
{
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
    CMainFrame *frame = mainFrame();
    if (frame && frame->m_pCameraInfoPane)
        frame->m_pCameraInfoPane->m_dlg.ShowStatus();
}

void CMolvaneView::onPaint()
{
    if (m_bFirstDrawDone || !m_pCamera)
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
    ++m_nFrameCount;
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

void CMolvaneView::FrameDropped() {}

void CMolvaneView::onDestroy()
{
    if (!m_pCamera)
        return;
    CMainFrame *frame = mainFrame();
    if (frame && frame->m_pControlPane)
        frame->m_pControlPane->ForgetTreePage(m_pXMLTreeDlg);
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
