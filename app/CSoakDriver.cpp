// A scripted operator for long unattended runs.
#include "app/CSoakDriver.h"

#include "app/AppAccess.h"
#include "app/CControlBasePane.h"
#include "app/CMainFrame.h"
#include "app/CMolvaneApp.h"
#include "framework/Platform.h"
#include "pages/CCaptureDlg.h"
#include "res/ResourceIds.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

#include <iterator>
#include <vector>

namespace {

constexpr int kTimer = 1;
// A recording asks for longer than the driver lets it run, so the driver's Stop ends it.
constexpr const char *kRecordSeconds = "60";

using Page = CControlBasePane::Page;
const Page kPages[] = {Page::Format, Page::Feature, Page::Trigger, Page::Roi, Page::Capture, Page::Lut};

// The control pane of the active camera window, shown as the operator's command shows it.
CControlBasePane *ControlPane(CMainFrame &frame)
{
    if (!frame.activeCameraView())
        return nullptr;
    if (!frame.m_pControlPane || !frame.m_pControlPane->isWindowVisible())
        frame.routeCommand(res::CmdCameraControl);
    return frame.m_pControlPane;
}

} // namespace

CSoakDriver::CSoakDriver(std::ostream &out, int tickLimit) : m_out(out), m_nTickLimit(tickLimit) {}

CSoakDriver::~CSoakDriver() { destroyWindow(); }

bool CSoakDriver::Start()
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Hidden;
    params.visible = false;
    if (!create(params))
        return false;
    setTimer(kTimer, kTickMs);
    return true;
}

void CSoakDriver::onTimer(int id)
{
    if (id == kTimer)
        Tick();
}

void CSoakDriver::Tick()
{
    ++m_nTick;
    m_out << "soak: tick " << m_nTick << std::endl;
    CMainFrame *frame = mainFrame();
    if (!frame)
        return;
    if (fw::platform().modalDepth() > 0)
        return;  // a box is open: the operator answers it first
    if (m_nTickLimit > 0 && m_nTick > m_nTickLimit) {
        Finish(*frame);
        return;
    }
    OpenListedCameras(*frame);
    OpenAnalysisWindows(*frame);
    if (m_nTick % kRecordTicks == 0 || m_nTick % kRecordTicks == kRecordTicks / 2)
        ToggleRecording(*frame);
    else if (m_nTick % kPageTicks == 0)
        SwitchPage(*frame);
    if (m_nTick % kReportTicks == 0)
        Report();
}

void CSoakDriver::OpenListedCameras(CMainFrame &frame)
{
    CCameraListWnd &list = frame.m_wndCameraList;
    std::set<std::string> listed;
    for (int i = 0; i < list.lineCount(); ++i) {
        const std::string line = list.lineText(i);
        listed.insert(line);
        const Cast_Mode *record = list.record(i);
        if (!record || record->bOpened || !m_tried.insert(line).second)
            continue;
        list.select(i);
        list.OnSelChange();
        list.OnDblClick();
        if (CMolvaneView *view = frame.activeCameraView())
            view->OnPlay();
        m_out << "soak: opened " << line << std::endl;
    }
    for (auto it = m_tried.begin(); it != m_tried.end();)
        it = listed.count(*it) ? std::next(it) : m_tried.erase(it);
}

void CSoakDriver::OpenAnalysisWindows(CMainFrame &frame)
{
    for (int command : {res::CmdHistogram, res::CmdHorizontalProfile, res::CmdVerticalProfile})
        frame.routeCommand(command);  // an open window stays as it is
}

void CSoakDriver::SwitchPage(CMainFrame &frame)
{
    CControlBasePane *pane = ControlPane(frame);
    if (!pane)
        return;
    const int n = static_cast<int>(std::size(kPages));
    m_out << "soak: page " << m_nPage % (n + 1) << " on " << frame.activeCameraView()->m_strDeviceID << std::endl;
    if (m_nPage % (n + 1) == n)
        pane->ShowTreePage();
    else
        pane->ShowPage(kPages[m_nPage % (n + 1)]);
    ++m_nPage;
}

void CSoakDriver::ToggleRecording(CMainFrame &frame)
{
    if (!m_bRecording && !g_listCameraView.empty()) {
        // Each recording on the next camera window, which becomes the active one.
        std::vector<CMolvaneView *> views(g_listCameraView.begin(), g_listCameraView.end());
        CMolvaneView *view = views[m_nCamera++ % views.size()];
        if (view->m_pParentFrame)
            frame.frame()->activateChild(*view->m_pParentFrame);
    }
    CControlBasePane *pane = ControlPane(frame);
    if (!pane)
        return;
    pane->ShowPage(Page::Capture);
    CCaptureDlg *page = pane->m_pCaptureDlg;
    CMolvaneView *view = frame.activeCameraView();
    if (!page || !view)
        return;
    if (!m_bRecording) {
        page->form().setSelection(res::CapType, CCaptureDlg::Stream);
        page->dispatch(fw::Notify::SelChange, res::CapType);
        page->form().setText(res::CapTime, kRecordSeconds);
    }
    if (view->m_bCapturing == (m_bRecording ? 1 : 0))
        page->dispatch(fw::Notify::Clicked, res::CapButton);
    m_bRecording = view->m_bCapturing != 0;
    m_out << "soak: recording " << (m_bRecording ? "started" : "stopped") << " on " << view->m_strDeviceID
          << std::endl;
}

void CSoakDriver::Finish(CMainFrame &frame)
{
    if (m_bRecording)
        ToggleRecording(frame);
    Report();
    m_out << "soak: exit" << std::endl;
    killTimer(kTimer);
    if (CMolvaneApp *app = theApp())
        app->OnAppExit();
}

void CSoakDriver::Report()
{
    for (CMolvaneView *view : g_listCameraView) {
        if (!view->m_pCamera)
            continue;
        m_out << "soak: camera " << view->m_strDeviceID << " delivered " << view->m_pCamera->framesDelivered()
              << " dropped " << view->m_pCamera->framesDropped() << std::endl;
    }
}
