// The "Camera List" pane.
#include "app/CCameraListWnd.h"

#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMainFrame.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

#include <algorithm>

namespace {

bool showsCamera(const CMolvaneView *view, const std::string &line)
{
    return !view->m_strDeviceID.empty() && line.find(view->m_strDeviceID) != std::string::npos;
}

} // namespace

CCameraListWnd::CCameraListWnd()
{
    on(fw::Notify::SelChange, res::ListCameras, [this] { OnSelChange(); });
    on(fw::Notify::DblClick, res::ListCameras, [this] { OnDblClick(); });
    on(fw::Notify::Command, res::CmdMultiCast, [this] { OnCastMode(1); });
    on(fw::Notify::Command, res::CmdUnicast, [this] { OnCastMode(0); });
}

bool CCameraListWnd::onCreate()
{
    Enumerate();
    return true;
}

int CCameraListWnd::selection() const { return form().selection(res::ListCameras); }

std::string CCameraListWnd::selectedLine() const { return form().selectedText(res::ListCameras); }

int CCameraListWnd::lineCount() const { return form().itemCount(res::ListCameras); }

std::string CCameraListWnd::lineText(int position) const
{
    return form().itemText(res::ListCameras, position);
}

void CCameraListWnd::select(int position) { form().setSelection(res::ListCameras, position); }

Cast_Mode *CCameraListWnd::record(int position)
{
    if (position < 0 || position >= static_cast<int>(m_listCastMode.size()))
        return nullptr;
    return &m_listCastMode[position];
}

void CCameraListWnd::Enumerate()
{
    CMainFrame *frame = mainFrame();
    if (!frame || !frame->m_pEnumCtrl || !frame->m_pEnumCtrl->created())
        return;
    try {
        m_varCameraList = frame->m_pEnumCtrl->GetCameraList();
        if (!m_varCameraList)
            return;  // nothing: the list stays as it was
        form().clearItems(res::ListCameras);
        form().setItems(res::ListCameras, *m_varCameraList);
        UpdateHorizontalExtent();
        invalidate();
    } catch (const std::exception &) {
        // Enumeration failures are silent; the list keeps what it holds.
    }
}

void CCameraListWnd::AppendRecordsForLines()
{
    for (int i = 0; i < lineCount(); ++i)
        m_listCastMode.push_back(Cast_Mode{lineText(i), 0, 0, 0});
}

void CCameraListWnd::RebuildRecords()
{
    for (int i = 0; i < lineCount(); ++i) {
        const std::string line = lineText(i);
        bool found = std::any_of(m_listCastMode.begin(), m_listCastMode.end(), [&](const Cast_Mode &r) {
            return r.strCamera.find(line) != std::string::npos;
        });
        if (found)
            continue;
        // Before the record at i, else after the one at i - 1, else at the end: all three
        // put it at position min(i, count).
        const size_t at = std::min<size_t>(i, m_listCastMode.size());
        m_listCastMode.insert(m_listCastMode.begin() + at, Cast_Mode{line, 0, 0, 0});
    }
}

void CCameraListWnd::RemoveRecord(int position)
{
    if (position >= 0 && position < static_cast<int>(m_listCastMode.size()))
        m_listCastMode.erase(m_listCastMode.begin() + position);
}

void CCameraListWnd::onSize(int /*width*/, int /*height*/) { UpdateHorizontalExtent(); }

void CCameraListWnd::UpdateHorizontalExtent()
{
    int widest = 0;
    for (const auto &line : form().items(res::ListCameras))
        widest = std::max(widest, fw::platform().textWidth(line));
    form().setHorizontalExtent(res::ListCameras, widest);
}

void CCameraListWnd::OnSelChange()
{
    const int pos = selection();
    if (pos < 0)
        return;
    const std::string line = selectedLine();
    CMainFrame *frame = mainFrame();
    if (!frame)
        return;
    if (frame->m_pEnumCtrl && frame->m_pCameraInfoPane)
        frame->m_pCameraInfoPane->m_dlg.ShowIdentity(frame->m_pEnumCtrl->GetCameraInfo(pos));
    for (CMolvaneView *view : std::list<CMolvaneView *>(g_listCameraView)) {
        if (!showsCamera(view, line))
            continue;
        if (!view->m_pParentFrame || !view->m_pParentFrame->hasWindow())
            return;
        frame->frame()->activateChild(*view->m_pParentFrame);
        view->m_pParentFrame->showWindow(true);
        if (frame->m_pCameraInfoPane) {
            frame->m_pCameraInfoPane->m_dlg.ShowCameraState();
            frame->m_pCameraInfoPane->m_dlg.ShowStatus();
        }
        if (frame->m_pControlPane)
            frame->m_pControlPane->RefreshPages();
    }
}

void CCameraListWnd::OnDblClick()
{
    if (selection() < 0)
        return;
    const std::string line = selectedLine();
    for (CMolvaneView *view : g_listCameraView)
        if (showsCamera(view, line))
            return;  // open already: the selection brought its window to the front
    if (CMainFrame *frame = mainFrame())
        frame->routeCommand(res::CmdNew);
}

void CCameraListWnd::onContextMenu(int controlId, int item, fw::Point screen)
{
    if (controlId != res::ListCameras || item < 0 || item >= lineCount())
        return;
    select(item);
    OnSelChange();
    if (!m_menuLoaded) {
        m_castModeMenu = fw::findMenu(res::MenuCastMode)->items.front().items.front();
        m_menuLoaded = true;
    }
    fw::MenuItem menu = m_castModeMenu;
    fw::MenuItem *multi = menu.find(res::CmdMultiCast);
    fw::MenuItem *uni = menu.find(res::CmdUnicast);
    Cast_Mode *r = record(item);
    if (!r)
        return;
    bool skipChecks = false;
    if (r->bOpened == 0) {
        multi->enabled = uni->enabled = true;
    } else {
        const std::string line = lineText(item);
        for (CMolvaneView *view : g_listCameraView) {
            if (!showsCamera(view, line) || !view->m_pCamera)
                continue;
            multi->enabled = uni->enabled = false;
            if (view->m_pCamera->GetCameraType() == 1) {
                multi->checked = uni->checked = false;
                skipChecks = true;
            }
        }
    }
    if (!skipChecks) {
        uni->checked = r->nCastMode == 0;
        multi->checked = r->nCastMode != 0;
    }
    if (int command = fw::platform().popupMenu(menu, screen))
        dispatch(fw::Notify::Command, command);
}

void CCameraListWnd::OnCastMode(int multicast)
{
    const int pos = selection();
    OnSelChange();
    CMainFrame *frame = mainFrame();
    if (frame) {
        if (CMolvaneView *view = frame->activeCameraView()) {
            view->SetCastMode(multicast);
            view->m_bMulticast = multicast;
            view->m_nAccessMode = multicast;
            if (frame->m_pCameraInfoPane)
                frame->m_pCameraInfoPane->m_dlg.form().setText(res::InfoCastMode,
                                                                multicast ? "Multicast" : "Unicast");
        }
    }
    if (Cast_Mode *r = record(pos)) {
        r->nCastMode = multicast;
        r->nAccessMode = multicast;
    }
}
