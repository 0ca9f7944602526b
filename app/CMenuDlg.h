// The page menu: seven buttons down the left of the control pane, one per setting page.
#pragma once

#include "framework/Window.h"

class CControlBasePane;

class CMenuDlg : public fw::Window {
public:
    explicit CMenuDlg(CControlBasePane &pane);
    // In monitoring mode every button is disabled (and stays so).
    void onInitialUpdate() override;
    bool onMouseActivate() override { return false; }
    bool preTranslateKey(const fw::KeyEvent &key) override;

private:
    CControlBasePane &m_pane;
};
