// The application object.
#include "app/CMolvaneApp.h"

#include "app/AppAccess.h"
#include "app/CAboutDlg.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CMainFrame.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"

namespace {
CMolvaneApp *g_app = nullptr;
}

CMolvaneApp *theApp() { return g_app; }

CMainFrame *mainFrame() { return g_app ? g_app->m_pMainWnd : nullptr; }

CMolvaneView *activeCameraView()
{
    CMainFrame *frame = mainFrame();
    return frame ? frame->activeCameraView() : nullptr;
}

CCameraInfoDlg *cameraInfoDlg()
{
    CMainFrame *frame = mainFrame();
    return frame && frame->m_pCameraInfoPane ? &frame->m_pCameraInfoPane->m_dlg : nullptr;
}

CMolvaneApp::CMolvaneApp()
{
    g_app = this;
    on(fw::Notify::Command, res::CmdAbout, [this] { OnAppAbout(); });
    on(fw::Notify::Command, res::CmdNew, [this] { OnFileNew(); });
    on(fw::Notify::Command, res::CmdExit, [this] { OnAppExit(); });
}

CMolvaneApp::~CMolvaneApp()
{
    m_pMainWnd = nullptr;
    m_frame.reset();
    m_closedFrame.reset();
    if (g_app == this)
        g_app = nullptr;
}

bool CMolvaneApp::InitInstance()
{
    fw::Platform &p = fw::platform();
    if (!p.acquireInstanceLock("Molvane")) {
        p.messageBox("Another Molvane is already running.", fw::loadString(128), fw::MsgButtons::Ok,
                     fw::MsgIcon::None);
        return false;
    }
    m_frame = std::make_unique<CMainFrame>();
    m_pMainWnd = m_frame.get();
    m_frame->setApplicationWindow(this);
    if (!m_frame->LoadFrame(res::MenuMain)) {
        m_frame.reset();
        m_pMainWnd = nullptr;
        return false;
    }
    // The command line never opens a camera window.
    m_frame->m_wndCameraList.Enumerate();
    m_frame->m_wndCameraList.AppendRecordsForLines();
    m_frame->frame()->showMaximized();
    m_frame->SyncToolbarChecks();
    return true;
}

void CMolvaneApp::OnAppAbout()
{
    CAboutDlg dlg;
    dlg.DoModal();
}

void CMolvaneApp::OnFileNew()
{
    if (m_pMainWnd)
        m_pMainWnd->OpenCameraWindow();
}

void CMolvaneApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->close();
}

void CMolvaneApp::MainFrameClosed()
{
    // The frame object goes with the application, after the handler that closed it.
    m_closedFrame = std::move(m_frame);
    m_pMainWnd = nullptr;
    fw::platform().quit();
}
