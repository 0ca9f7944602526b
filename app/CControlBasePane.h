// The "Camera Control" pane that hosts the setting pages.
#pragma once

#include "framework/Window.h"

class CXMLTreeDlg;

class CControlBasePane : public fw::Window {
public:
    // Re-runs the initial update of the visible page for the active camera.
    void RefreshPages() {}
    // A camera view is going away with its tree page.
    void ForgetTreePage(CXMLTreeDlg * /*page*/) {}
    void onCloseBox() override;
};
