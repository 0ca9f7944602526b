// The "Histogram Viewer" tool window.
#pragma once

#include "app/CToolWindow.h"
#include "res/ResourceIds.h"

class CHistoDlg : public CToolWindow {
public:
    CHistoDlg() : CToolWindow(res::DialogHistogram, res::MsgHistogramClosed) {}
    // Runs the dialog initialisation again for the active camera.
    void Reinitialise() {}
};
