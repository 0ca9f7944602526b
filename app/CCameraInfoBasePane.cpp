// The "Camera Info" pane.
#include "app/CCameraInfoBasePane.h"

#include "res/ResourceIds.h"

bool CCameraInfoBasePane::onCreate()
{
    fw::WindowSpec spec;
    spec.kind = fw::WindowKind::FormChild;
    spec.parent = this;
    spec.templateId = res::DialogCameraInfo;
    spec.controlId = res::DialogCameraInfo;
    spec.rect = clientRect();
    return m_dlg.create(spec);
}

void CCameraInfoBasePane::onSize(int width, int height)
{
    m_dlg.moveWindow({0, 0, width, height});
}
