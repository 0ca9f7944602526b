// The page menu of the control pane.
#include "app/CMenuDlg.h"

#include "app/AppAccess.h"
#include "app/CControlBasePane.h"
#include "app/CMainFrame.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

namespace {
const int kButtons[] = {res::BtnFormat, res::BtnFeature, res::BtnTrigger, res::BtnRoi,
                        res::BtnTree, res::BtnCapture, res::BtnLut};
}

CMenuDlg::CMenuDlg(CControlBasePane &pane) : m_pane(pane)
{
    using P = CControlBasePane::Page;
    using N = fw::Notify;
    on(N::Clicked, res::BtnFormat, [this] { m_pane.ShowPage(P::Format); });
    on(N::Clicked, res::BtnFeature, [this] { m_pane.ShowPage(P::Feature); });
    on(N::Clicked, res::BtnTrigger, [this] { m_pane.ShowPage(P::Trigger); });
    on(N::Clicked, res::BtnRoi, [this] { m_pane.ShowPage(P::Roi); });
    on(N::Clicked, res::BtnTree, [this] { m_pane.ShowTreePage(); });
    on(N::Clicked, res::BtnCapture, [this] { m_pane.ShowPage(P::Capture); });
    on(N::Clicked, res::BtnLut, [this] { m_pane.ShowPage(P::Lut); });
}

void CMenuDlg::onInitialUpdate()
{
    CMainFrame *frame = mainFrame();
    CMolvaneView *view = frame ? frame->activeCameraView() : nullptr;
    if (view && view->m_nAccessMode == 2)
        for (int id : kButtons)
            form().enable(id, false);
}

bool CMenuDlg::preTranslateKey(const fw::KeyEvent &key)
{
    return key.key == fw::Key::Enter || key.key == fw::Key::Escape;
}
