// The "Camera Control" pane.
#include "app/CControlBasePane.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "res/ResourceIds.h"

void CControlBasePane::onCloseBox()
{
    // The close box acts as the Camera Control toolbar button, so the switch stays in step.
    if (CMainFrame *frame = mainFrame())
        frame->routeCommand(res::CmdCameraControl);
}
