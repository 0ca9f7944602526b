// A modeless tool window of the main frame.
#include "app/CToolWindow.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "framework/Platform.h"
#include "framework/Resources.h"

bool CToolWindow::CreateAt(fw::Window *owner, fw::Point position)
{
    const fw::DialogTemplate *t = fw::findDialog(m_templateId);
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Dialog;
    params.parent = owner;
    params.templateId = m_templateId;
    params.caption = t ? t->caption : std::string();
    const int w = t ? fw::dluToPixelsX(t->width) : 300, h = t ? fw::dluToPixelsY(t->height) : 200;
    params.rect = {position.x, position.y, position.x + w, position.y + h};
    return create(params);
}

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
