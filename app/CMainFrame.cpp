// The main frame.
#include "app/CMainFrame.h"

#include "analysis/AnalysisWindows.h"
#include "analysis/CHistoDlg.h"
#include "analysis/CHorizonDlg.h"
#include "analysis/CVerticalDlg.h"
#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMolvaneApp.h"
#include "diagnostics/CEventLogDlg.h"
#include "diagnostics/CRegisterAccessDlg.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

#include <algorithm>

std::list<CMolvaneView *> g_listCameraView;
CHistoDlg *g_pHistoDlg = nullptr;
CHorizonDlg *g_pHorizonDlg = nullptr;
CVerticalDlg *g_pVerticalDlg = nullptr;

CMainFrame::CMainFrame()
{
    using N = fw::Notify;
    on(N::Command, res::CmdHistogram, [this] { ShowToolWindow(g_pHistoDlg, {160, 250}); });
    on(N::Command, res::CmdHorizontalProfile,
       [this] { ShowToolWindow(g_pHorizonDlg, {200, 500}); });
    on(N::Command, res::CmdVerticalProfile,
       [this] { ShowToolWindow(g_pVerticalDlg, {500, 200}); });
    on(N::Command, res::CmdEventViewer,
       [this] { ShowToolWindow(m_pEventLogDlg, {400, 400}); });
    on(N::Command, res::CmdRegisterAccess, [this] { OnRegisterAccess(); });
    on(N::Command, res::CmdToolbarCamera, [this] { OnToggleToolbar(res::CmdToolbarCamera, res::ToolbarCamera); });
    on(N::Command, res::CmdToolbarZoom, [this] { OnToggleToolbar(res::CmdToolbarZoom, res::ToolbarZoom); });
    on(N::Command, res::CmdResetLayout, [this] {
        frame()->resetLayout();
        SyncToolbarChecks();
    });
}

// The View Toolbar check marks follow the toolbars a restored or reset layout shows.
void CMainFrame::SyncToolbarChecks()
{
    frame()->setMenuCheck(res::CmdToolbarCamera, frame()->toolBarVisible(res::ToolbarCamera));
    frame()->setMenuCheck(res::CmdToolbarZoom, frame()->toolBarVisible(res::ToolbarZoom));
}

CMainFrame::~CMainFrame()
{
    for (auto &child : m_children)
        child->destroyWindow();
    m_children.clear();
    delete m_pControlPane;
    delete m_pCameraInfoPane;
    delete m_pEnumCtrl;
    DeleteAnalysisWindows();
    delete m_pEventLogDlg;
    for (auto *&dlg : m_pRegisterDlg) {
        delete dlg;
        dlg = nullptr;
    }
    m_listCameraCtrl.clear();
}

bool CMainFrame::LoadFrame(int menuId)
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::MainFrame;
    params.caption = fw::loadString(128);
    params.rect = {0, 0, 1280, 800};
    params.visible = false;
    if (!create(params))
        return false;
    frame()->setMenu(menuId);
    return true;
}

bool CMainFrame::onCreate()
{
    fw::FramePeer *f = frame();
    f->createToolBar(res::ToolbarCamera);  // no message when it fails
    if (f->createToolBar(res::ToolbarZoom))
        f->replaceWithSlider(res::CmdZoomSlider, 1, 1000, 100);
    else
        fw::platform().messageBox(fw::loadString(591), "", fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
    if (!f->createStatusBar({"Ready", "CAP", "NUM", "SCRL"}))
        return false;
    f->dockToolBar(res::ToolbarZoom);
    f->dockToolBarLeftOf(res::ToolbarCamera, res::ToolbarZoom);

    fw::WindowSpec list;
    list.kind = fw::WindowKind::Pane;
    list.parent = this;
    list.templateId = res::DialogCameraListPane;
    list.caption = fw::loadString(133);
    list.rect = {0, 0, 300, 400};
    list.controlId = res::PaneCameraList;
    list.area = fw::DockArea::Left;
    if (!m_wndCameraList.create(list))
        return false;

    if (!m_pCameraInfoPane)
        m_pCameraInfoPane = new CCameraInfoBasePane;
    fw::WindowSpec info = list;
    info.templateId = 0;
    info.caption = fw::loadString(134);
    info.controlId = res::PaneCameraInfo;
    if (!m_pCameraInfoPane->create(info))
        return false;
    f->dockPaneBelow(*m_pCameraInfoPane, m_wndCameraList);
    f->resizePane(m_wndCameraList, {300, 50});
    m_wndCameraList.showWindow(true);
    m_pCameraInfoPane->showWindow(true);

    m_pEnumCtrl = new cam::CMolvane;
    if (!m_pEnumCtrl->Create("Molvane", [](std::function<void()> fn) { fw::platform().post(std::move(fn)); },
                             this)) {
        fw::platform().messageBox(fw::loadString(500), "", fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
        return false;
    }
    // The list pane enumerated before the component existed; fill it now.
    m_wndCameraList.Enumerate();
    f->setMenuCheck(res::CmdToolbarCamera, true);
    f->setMenuCheck(res::CmdToolbarZoom, true);
    return true;
}

fw::Window *CMainFrame::activeView() const { return activeCameraView(); }

CChildFrame *CMainFrame::activeChildFrame() const
{
    return dynamic_cast<CChildFrame *>(activeChild());
}

CMolvaneView *CMainFrame::activeCameraView() const
{
    CChildFrame *child = activeChildFrame();
    return child ? child->view() : nullptr;
}

void CMainFrame::OpenCameraWindow()
{
    auto child = std::make_unique<CChildFrame>();
    CChildFrame *raw = child.get();
    m_children.push_back(std::move(child));
    fw::WindowSpec params;
    params.kind = fw::WindowKind::MdiChild;
    params.parent = this;
    params.rect = CascadeRect(static_cast<int>(m_children.size()) - 1);
    if (!raw->create(params)) {
        ChildFrameClosed(raw);
        return;
    }
    if (m_children.size() == 1)
        frame()->setMenu(res::MenuCamera);
    frame()->activateChild(*raw);
}

fw::Rect CMainFrame::CascadeRect(int k) const
{
    // Each window one caption lower and further right than the one before; when the next
    // would not fit in the workspace the cascade starts again at its top left corner. In a
    // small workspace the windows shrink to leave room for a few steps.
    constexpr int kWidth = 653, kHeight = 515, kStep = 26, kRoom = 3 * kStep;
    const fw::Rect area = clientRect();
    const auto fit = [](int size, int room) {
        return std::max(1, std::min(size, room > 2 * kRoom ? room - kRoom : room));
    };
    const int w = fit(kWidth, area.width());
    const int h = fit(kHeight, area.height());
    const int places = std::min(area.width() - w, area.height() - h) / kStep + 1;
    const int offset = (k % std::max(1, places)) * kStep;
    return {offset, offset, offset + w, offset + h};
}

std::vector<CChildFrame *> CMainFrame::childFrames() const
{
    std::vector<CChildFrame *> out;
    for (const auto &c : m_children)
        out.push_back(c.get());
    return out;
}

void CMainFrame::ChildFrameClosed(CChildFrame *child)
{
    // The child is deleted after the handler that closed it has returned.
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [child](const auto &c) { return c.get() == child; });
    if (it == m_children.end())
        return;
    std::shared_ptr<CChildFrame> keep(std::move(*it));
    m_children.erase(it);
    fw::platform().post([keep] {});
    if (m_children.empty() && hasWindow())
        frame()->setMenu(res::MenuMain);
    // The window that became active takes over the panes once the closing is over (a removed
    // camera's line is gone from the list by then).
    std::weak_ptr<bool> alive = aliveToken();
    fw::platform().post([this, alive] {
        auto token = alive.lock();
        if (token && *token && hasWindow())
            if (CChildFrame *next = activeChildFrame())
                next->ShowInPanes();
    });
}

void CMainFrame::AddCameraCtrl(cam::CMolvane *ctrl) { m_listCameraCtrl.push_back(ctrl); }

bool CMainFrame::RemoveCameraCtrl(cam::CMolvane *ctrl)
{
    auto it = std::find(m_listCameraCtrl.begin(), m_listCameraCtrl.end(), ctrl);
    if (it == m_listCameraCtrl.end())
        return false;
    m_listCameraCtrl.erase(it);
    if (m_listCameraCtrl.empty())
        HideControlPane();
    return true;
}

void CMainFrame::HideControlPane()
{
    if (m_pControlPane && m_pControlPane->hasWindow() && m_pControlPane->isWindowVisible()) {
        m_pControlPane->showWindow(false);
        frame()->recalcLayout();
    }
}

void CMainFrame::RefreshAnalysisWindows()
{
    if (g_pHistoDlg && g_pHistoDlg->hasWindow() && g_pHistoDlg->m_bOpen)
        g_pHistoDlg->Reinitialise();
    if (g_pHorizonDlg && g_pHorizonDlg->hasWindow() && g_pHorizonDlg->m_bOpen)
        g_pHorizonDlg->Reinitialise();
    if (g_pVerticalDlg && g_pVerticalDlg->hasWindow())
        g_pVerticalDlg->Reinitialise();
}

bool CMainFrame::AnalysisWindowOpen() const
{
    return AnalysisWindowLive();
}

template <typename Dlg>
void CMainFrame::ShowToolWindow(Dlg *&slot, fw::Point position)
{
    if (!slot)
        slot = new Dlg;
    if (slot->hasWindow())
        return;  // already open: not even brought to the front
    slot->CreateAt(this, position);
}

void CMainFrame::OnToolWindowClosed(int message)
{
    auto release = [](auto *&slot) {
        delete slot;
        slot = nullptr;
    };
    switch (message) {
    case res::MsgVerticalClosed: release(g_pVerticalDlg); break;
    case res::MsgHistogramClosed: release(g_pHistoDlg); break;
    case res::MsgHorizontalClosed: release(g_pHorizonDlg); break;
    case res::MsgEventLogClosed: release(m_pEventLogDlg); break;
    default: break;
    }
}

void CMainFrame::OnRegisterAccess()
{
    const int k = m_nRegisterDlg;
    if (k >= 10)
        return;
    if (!m_pRegisterDlg[k])
        m_pRegisterDlg[k] = new CRegisterAccessDlg;
    if (m_pRegisterDlg[k]->hasWindow()) {
        // A window closed earlier stays hidden: show the first one that is not shown.
        for (auto *dlg : m_pRegisterDlg) {
            if (dlg && dlg->hasWindow() && !dlg->m_bShown) {
                dlg->showWindow(true);
                dlg->m_bShown = 1;
                ++m_nRegisterDlg;
                return;
            }
        }
        return;
    }
    const fw::DialogTemplate *t = fw::findDialog(res::DialogRegister);
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Dialog;
    params.parent = this;
    params.templateId = res::DialogRegister;
    params.caption = t->caption;
    const int x = (k + 9) * 50, y = 435 + k * 35;
    params.rect = {x, y, x + fw::dluToPixelsX(t->width), y + fw::dluToPixelsY(t->height)};
    if (m_pRegisterDlg[k]->create(params)) {
        m_pRegisterDlg[k]->m_bShown = 1;
        ++m_nRegisterDlg;
    }
}

void CMainFrame::OnToggleToolbar(int command, int toolbar)
{
    fw::FramePeer *f = frame();
    if (f->toolBarVisible(toolbar)) {
        f->showToolBar(toolbar, false);
        f->setMenuCheck(command, false);
    } else {
        if (toolbar == res::ToolbarCamera && f->toolBarVisible(res::ToolbarZoom))
            f->dockToolBarLeftOf(res::ToolbarCamera, res::ToolbarZoom);
        else if (toolbar == res::ToolbarCamera)
            f->dockToolBar(res::ToolbarCamera);
        else
            f->dockToolBarLeftOf(res::ToolbarCamera, res::ToolbarZoom);
        f->showToolBar(toolbar, true);
        f->setMenuCheck(command, true);
    }
    f->recalcLayout();
}

bool CMainFrame::preTranslateKey(const fw::KeyEvent &key)
{
    if (key.key == fw::Key::Enter && key.ctrl) {
        CMolvaneView *view = activeCameraView();
        if (view && view->m_bFullScreen) {
            view->m_bFullScreen = 0;
            if (view->m_pCamera)
                view->m_pCamera->SetFullScreen(0);
        }
    }
    return false;  // the key is then handled normally
}

void CMainFrame::CameraArrived() { whenNotModal([this] { ListArrivedCamera(); }); }

void CMainFrame::CameraRemoved(int position) { whenNotModal([this, position] { CloseRemovedCamera(position); }); }

void CMainFrame::ListArrivedCamera()
{
    m_wndCameraList.Enumerate();
    m_wndCameraList.RebuildRecords();
}

void CMainFrame::CloseRemovedCamera(int position)
{
    if (position < 0 || position >= m_wndCameraList.lineCount())
        return;
    const std::string text = m_wndCameraList.lineText(position);
    std::vector<CChildFrame *> closing;
    for (CMolvaneView *view : g_listCameraView) {
        if (!view->m_strDeviceID.empty() && text.find(view->m_strDeviceID) != std::string::npos) {
            view->m_bRemoved = 1;
            if (view->m_pParentFrame)
                closing.push_back(view->m_pParentFrame);
        }
    }
    for (CChildFrame *child : closing)
        child->close();
    if (!closing.empty())
        frame()->setStatusText(CameraName(text) + " was disconnected");
    m_wndCameraList.Enumerate();
    m_wndCameraList.RemoveRecord(position);
}

std::string CMainFrame::CameraName(const std::string &line)
{
    // A list line is "[interface] model (serial)": the operator knows the camera by the rest.
    if (line.size() > 2 && line[0] == '[') {
        const auto end = line.find("] ");
        if (end != std::string::npos)
            return line.substr(end + 2);
    }
    return line;
}

void CMainFrame::onCloseBox() { close(); }

void CMainFrame::onClose()
{
    frame()->saveLayout();
    delete m_pEnumCtrl;
    m_pEnumCtrl = nullptr;
    // The framework closes the camera windows, then the frame.
    for (CChildFrame *child : childFrames())
        child->close();
    destroyWindow();
    if (CMolvaneApp *app = theApp())
        app->MainFrameClosed();
}
