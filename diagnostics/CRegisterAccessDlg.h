// A "Register Access" window; closing only hides it, so it can be shown again in its place.
#pragma once

#include "framework/Window.h"

class CRegisterAccessDlg : public fw::Window {
public:
    int m_bShown = 0;
    void onClose() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;
};
