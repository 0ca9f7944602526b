// The main frame: toolbars, status bar, panes, the hidden camera component and the tool windows.
#pragma once

#include "app/CCameraListWnd.h"
#include "camera/CMolvane.h"
#include "framework/FrameWindow.h"

#include <array>
#include <list>
#include <memory>
#include <string>
#include <vector>

class CCameraInfoBasePane;
class CControlBasePane;
class CEventLogDlg;
class CRegisterAccessDlg;
class CChildFrame;
class CMolvaneView;

class CMainFrame : public fw::FrameWindow, private cam::CameraEvents {
public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the frame window from menu 128; false when the process must end.
    bool LoadFrame(int menuId);

    fw::Window *activeView() const override;
    CMolvaneView *activeCameraView() const;
    CChildFrame *activeChildFrame() const;

    // Opens a new camera window on the camera selected in the list (the New command).
    void OpenCameraWindow();
    void RefreshAnalysisWindows();
    bool AnalysisWindowOpen() const;
    // A tool window tells the frame it closed (WM_USER + 100 to + 103).
    void OnToolWindowClosed(int message);
    // Adds one more register access window (command 32815).
    void OnRegisterAccess();
    void SyncToolbarChecks();

    // The list of the components of all open camera windows.
    void AddCameraCtrl(cam::CMolvane *ctrl);
    bool RemoveCameraCtrl(cam::CMolvane *ctrl);
    const std::list<cam::CMolvane *> &cameraCtrls() const { return m_listCameraCtrl; }
    // A child frame finished closing; the frame lets go of it after the current handler.
    void ChildFrameClosed(CChildFrame *child);
    std::vector<CChildFrame *> childFrames() const;

    bool preTranslateKey(const fw::KeyEvent &key) override;
    void onClose() override;
    void onCloseBox() override;

    CCameraInfoBasePane *m_pCameraInfoPane = nullptr;
    CCameraListWnd m_wndCameraList;
    CControlBasePane *m_pControlPane = nullptr;
    CEventLogDlg *m_pEventLogDlg = nullptr;
    std::array<CRegisterAccessDlg *, 10> m_pRegisterDlg{};
    cam::CMolvane *m_pEnumCtrl = nullptr;
    int m_bZoomChanged = 0;
    int m_bControlPaneShown = 0;
    int m_nRegisterDlg = 0;

protected:
    bool onCreate() override;

private:
    // Events of the hidden component. They wait while a box or dialog is open: the code that
    // opened it may hold the window of the camera that went away.
    void CameraArrived() override;
    void CameraRemoved(int position) override;
    void ListArrivedCamera();
    void CloseRemovedCamera(int position);

    void OnToggleToolbar(int command, int toolbar);
    template <typename Dlg>
    void ShowToolWindow(Dlg *&slot, fw::Point position);
    void HideControlPane();
    // The rectangle of the k-th camera window (from 0), cascaded inside the workspace.
    fw::Rect CascadeRect(int k) const;
    // The camera's name in a list line, for messages.
    static std::string CameraName(const std::string &line);

    std::list<cam::CMolvane *> m_listCameraCtrl;
    std::vector<std::unique_ptr<CChildFrame>> m_children;
};
