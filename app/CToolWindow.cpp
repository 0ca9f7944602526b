// A modeless tool window of the main frame.
#include "app/CToolWindow.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "framework/Platform.h"

void CToolWindow::onClose()
{
    const int message = m_closingMessage;
    fw::platform().post([message] {
        if (CMainFrame *frame = mainFrame())
            frame->OnToolWindowClosed(message);
    });
    destroyWindow();
}

bool CToolWindow::preTranslateKey(const fw::KeyEvent &key)
{
    // Enter and Escape never close a tool window.
    return key.key == fw::Key::Enter || key.key == fw::Key::Escape;
}
