// The "Event Log Viewer" tool window.
#pragma once

#include "app/CToolWindow.h"
#include "res/ResourceIds.h"

class CEventLogDlg : public CToolWindow {
public:
    CEventLogDlg() : CToolWindow(res::DialogEventLog, res::MsgEventLogClosed) {}
};
