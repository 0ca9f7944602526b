// A setting page of the control pane.
#include "pages/CFormPage.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "framework/Platform.h"

CMolvaneView *CFormPage::ActiveView()
{
    CMainFrame *frame = mainFrame();
    return frame ? frame->activeCameraView() : nullptr;
}

void CFormPage::WarnAt(int anchor, int stringId)
{
    const fw::Rect r = controlScreenRect(anchor);
    fw::platform().showBalloon({fw::loadString(511), fw::loadString(stringId), fw::BalloonIcon::Warning,
                                {r.left + r.width() / 2, r.bottom}});
}
