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
