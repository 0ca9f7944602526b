// A setting page of the control pane.
#include "pages/CFormPage.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"

CMolvaneView *CFormPage::ActiveView()
{
    CMainFrame *frame = mainFrame();
    return frame ? frame->activeCameraView() : nullptr;
}
