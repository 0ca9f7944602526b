// The trigger, strobe and shot page.
#include "pages/CTriggerCtrlDlg.h"

#include "view/CMolvaneView.h"

void CTriggerCtrlDlg::RestoreContinuousAcquisition()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || !view->m_bPlaying)
        return;
    if (view->m_pCamera->GetAcquisitionMode() == "Continuous")
        return;
    view->m_pCamera->SetAcquisitionMode("Continuous");
    view->StopInner();
    view->PlayInner();
}
