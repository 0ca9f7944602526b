// The "Horizontal Profile Viewer" tool window.
#pragma once

#include "app/CToolWindow.h"
#include "res/ResourceIds.h"

class CHorizonDlg : public CToolWindow {
public:
    CHorizonDlg() : CToolWindow(res::DialogHorizontal, res::MsgHorizontalClosed) {}
    void Reinitialise() {}
};
