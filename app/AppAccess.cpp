// How the pages reach the panes of the main frame.
#include "app/AppAccess.h"

#include "app/CCameraInfoBasePane.h"
#include "app/CMainFrame.h"

fw::Form *cameraInfoForm()
{
    CMainFrame *frame = mainFrame();
    return frame && frame->m_pCameraInfoPane ? &frame->m_pCameraInfoPane->m_dlg.form() : nullptr;
}

CMolvaneView *activeCameraView()
{
    CMainFrame *frame = mainFrame();
    return frame ? frame->activeCameraView() : nullptr;
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
