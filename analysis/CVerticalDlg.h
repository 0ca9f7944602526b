// The "Vertical Profile Viewer" tool window.
#pragma once

#include "app/CToolWindow.h"
#include "res/ResourceIds.h"

class CVerticalDlg : public CToolWindow {
public:
    CVerticalDlg() : CToolWindow(res::DialogVertical, res::MsgVerticalClosed) {}
    void Reinitialise() {}
};
