// A setting page of the control pane.
#include "pages/CFormPage.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "framework/BalloonAt.h"

CMolvaneView *CFormPage::ActiveView()
{
    CMainFrame *frame = mainFrame();
    return frame ? frame->activeCameraView() : nullptr;
}

void CFormPage::ShowWarning(int anchor, int stringId) const
{
    fw::warnAt(*this, anchor, stringId);
}
