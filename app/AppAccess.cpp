// How the pages reach the panes of the main frame.
#include "app/AppAccess.h"

#include "app/CCameraInfoBasePane.h"
#include "app/CMainFrame.h"
#include "diagnostics/CEventLogDlg.h"

fw::Form *cameraInfoForm()
{
    CMainFrame *frame = mainFrame();
    return frame && frame->m_pCameraInfoPane ? &frame->m_pCameraInfoPane->m_dlg.form() : nullptr;
}

void logEvent(const std::string &line)
{
    CMainFrame *frame = mainFrame();
    CEventLogDlg *log = frame ? frame->m_pEventLogDlg : nullptr;
    if (log && log->hasWindow() && log->Logging())
        log->AddLine(line);
}

fw::Rect mainClientRect()
{
    CMainFrame *frame = mainFrame();
    if (!frame || !frame->hasWindow())
        return {};
    // The whole inside of the main window, panes and bars included (its own client area is
    // the part the camera windows take).
    const fw::Rect r = frame->windowRect();
    return {0, 0, r.width(), r.height()};
}

int cameraInfoClientWidth()
{
    CMainFrame *frame = mainFrame();
    CCameraInfoBasePane *pane = frame ? frame->m_pCameraInfoPane : nullptr;
    return pane && pane->hasWindow() ? pane->clientRect().width() : 0;
}
