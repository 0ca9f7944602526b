// A "Register Access" window: reads and writes one 32-bit register of the active camera by its
// hexadecimal address. Closing only hides it, so it can be shown again in its place.
#pragma once

#include "framework/Window.h"

#include <cstdint>
#include <string>

class CRegisterAccessDlg : public fw::Window {
public:
    CRegisterAccessDlg();
    int m_bShown = 0;

    bool onCreate() override;
    void onClose() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;

    void OnRead();
    void OnWrite();
    // Hexadecimal text as the window reads it: up to the first non-digit, 0 when none.
    static uint32_t ParseHex(const std::string &text);

private:
    void OnEdit();
};
