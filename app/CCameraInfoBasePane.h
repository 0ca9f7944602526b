// The "Camera Info" pane, hosting the camera info form.
#pragma once

#include "app/CCameraInfoDlg.h"
#include "framework/Window.h"

class CCameraInfoBasePane : public fw::Window {
public:
    CCameraInfoDlg m_dlg;

    bool onCreate() override;
    void onSize(int width, int height) override;
};
