// The "Camera Info" pane.
#include "app/CCameraInfoBasePane.h"

#include "res/ResourceIds.h"

bool CCameraInfoBasePane::onCreate()
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::FormChild;
    params.parent = this;
    params.templateId = res::DialogCameraInfo;
    params.controlId = res::DialogCameraInfo;
    params.rect = clientRect();
    return m_dlg.create(params);
}

void CCameraInfoBasePane::onSize(int width, int height)
{
    m_dlg.moveWindow({0, 0, width, height});
}
