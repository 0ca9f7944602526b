// The About box: versions of the program and of the camera libraries linked into it.
#pragma once

#include "framework/Window.h"

class CAboutDlg : public fw::Window {
public:
    CAboutDlg();
    // Fills the five version fields.
    void OnInitDialog();
    int DoModal();
};
