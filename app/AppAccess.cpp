// How the pages reach the panes of the main frame.
#include "app/AppAccess.h"

#include "app/CCameraInfoBasePane.h"
#include "app/CMainFrame.h"

fw::Form *cameraInfoForm()
{
    CMainFrame *frame = mainFrame();
    return frame && frame->m_pCameraInfoPane ? &frame->m_pCameraInfoPane->m_dlg.form() : nullptr;
}
