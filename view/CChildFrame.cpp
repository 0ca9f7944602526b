// A camera window's frame.
#include "view/CChildFrame.h"

#include "analysis/CHistoDlg.h"
#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMainFrame.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

namespace {
constexpr int kSelfCloseTimer = 521;
}

CChildFrame::CChildFrame() : m_pDoc(std::make_unique<CMolvaneDoc>()) {}

CChildFrame::~CChildFrame()
{
    if (m_pView)
        m_pView->destroyWindow();
    destroyWindow();
}

bool CChildFrame::onCreate()
{
    CMainFrame *frame = mainFrame();
    m_strCameraLine = frame ? frame->m_wndCameraList.selectedLine() : std::string();
    setWindowText(m_strCameraLine + " Zoom : 100%");
    m_pDoc->OnNewDocument();
    m_pView = std::make_unique<CMolvaneView>();
    fw::WindowSpec params;
    params.kind = fw::WindowKind::View;
    params.parent = this;
    params.rect = clientRect();
    params.controlId = 0xE900;  // AFX_IDW_PANE_FIRST
    if (!m_pView->create(params))
        return false;
    m_pView->onInitialUpdate();
    // A window whose camera did not open closes itself a second later, whether or not the
    // platform has activated it yet.
    if (!m_pView->m_bOpenOK)
        setTimer(kSelfCloseTimer, 1000);
    return true;
}

void CChildFrame::onSize(int width, int height)
{
    if (m_pView && m_pView->hasWindow())
        m_pView->moveWindow({0, 0, width, height});
}

void CChildFrame::onActivate(bool active)
{
    if (!active || !m_pView || !m_pView->m_bOpenOK)
        return;  // a window whose open failed is closing itself
    CMainFrame *frame = mainFrame();
    if (!frame)
        return;
    if (m_pView->m_pCamera && m_pView->m_pCamera->GetCameraType() == 0 && m_pView->m_nAccessMode == 2 &&
        frame->m_pControlPane && frame->m_pControlPane->isWindowVisible())
        frame->m_pControlPane->showWindow(false);
    // With an analysis window or the pixel read-out on, the list follows the active window.
    if (frame->AnalysisWindowOpen() || frame->m_pCameraInfoPane->m_dlg.PixelReadoutOn()) {
        CCameraListWnd &list = frame->m_wndCameraList;
        for (int i = 0; i < list.lineCount(); ++i)
            if (!list.lineText(i).empty() && m_strCameraLine.find(list.lineText(i)) != std::string::npos)
                list.select(i);
        if (g_pHistoDlg && g_pHistoDlg->hasWindow())
            g_pHistoDlg->SelectChannel(m_pView->m_nHistoChannel);
    }
}

bool CChildFrame::onMouseActivate()
{
    ShowInPanes();
    return true;
}

void CChildFrame::ShowInPanes()
{
    CMainFrame *frame = mainFrame();
    CMolvaneView *view = m_pView.get();
    if (!frame || !view || !view->m_pCamera)
        return;
    try {
        if (view->m_pCamera->GetCameraType() == 0 && view->m_nAccessMode == 2) {
            if (frame->m_pControlPane && frame->m_pControlPane->isWindowVisible())
                frame->m_pControlPane->showWindow(false);
        } else if (frame->m_bControlPaneShown && frame->m_pControlPane &&
                   !frame->m_pControlPane->isWindowVisible()) {
            frame->m_pControlPane->showWindow(true);
        }
        CCameraListWnd &list = frame->m_wndCameraList;
        for (int i = 0; i < list.lineCount(); ++i) {
            if (list.lineText(i).find(view->m_strDeviceID) == std::string::npos)
                continue;
            list.select(i);
            CCameraInfoDlg &info = frame->m_pCameraInfoPane->m_dlg;
            if (info.form().text(res::InfoSerial).find(view->m_strDeviceID) != std::string::npos)
                break;
            info.ShowIdentity(view->m_pCamera->GetCameraInfo(i));
            info.ShowCameraState();
            info.ShowStatus();
            if (frame->m_pControlPane && frame->m_pControlPane->hasWindow())
                frame->m_pControlPane->RefreshPages();
            frame->RefreshAnalysisWindows();
            if (view->m_fZoom != 0.0f)
                frame->frame()->setSliderPos(res::CmdZoomSlider, static_cast<int>(view->m_fZoom));
            break;
        }
    } catch (const std::exception &) {
        // A camera that went away meanwhile: the window closes on its removal event.
    }
}

void CChildFrame::onTimer(int id)
{
    if (id != kSelfCloseTimer || !m_pView || m_pView->m_bOpenOK || m_bClosing)
        return;
    killTimer(kSelfCloseTimer);
    postClose();
    m_bClosing = 1;
}

void CChildFrame::onClose()
{
    CMainFrame *frame = mainFrame();
    // As an MDI area does, the next window becomes active before this one goes, so the view
    // going away already finds its successor active (its tree page is handed over to it).
    if (frame && frame->activeChild() == this)
        frame->frame()->activateNextChild();
    if (frame && m_pView) {
        if (!m_pView->m_pCamera || !frame->RemoveCameraCtrl(m_pView->m_pCamera)) {
            if (m_pView->m_pCamera)
                fw::platform().messageBox("Fail to delete camera activeX!", "Molvane",
                                          fw::MsgButtons::Ok, fw::MsgIcon::None);
        }
        if (frame->m_pCameraInfoPane)
            frame->m_pCameraInfoPane->m_dlg.Clear();
        if (!m_pView->m_bRemoved) {
            if (Cast_Mode *r = frame->m_wndCameraList.record(frame->m_wndCameraList.selection()))
                r->bOpened = 0;
        }
    }
    if (m_pView)
        m_pView->destroyWindow();
    destroyWindow();
    if (frame)
        frame->ChildFrameClosed(this);
}
