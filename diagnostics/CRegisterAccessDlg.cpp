// A "Register Access" window.
#include "diagnostics/CRegisterAccessDlg.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"

void CRegisterAccessDlg::onClose()
{
    showWindow(false);
    m_bShown = 0;
    if (CMainFrame *frame = mainFrame())
        frame->m_nRegisterDlg = std::max(0, frame->m_nRegisterDlg - 1);
}

bool CRegisterAccessDlg::preTranslateKey(const fw::KeyEvent &key)
{
    return key.key == fw::Key::Enter || key.key == fw::Key::Escape;
}
