// The camera info form: identity, image format and size, display and status read-outs.
#pragma once

#include "camera/CMolvane.h"
#include "framework/Window.h"

class CMolvaneView;

class CCameraInfoDlg : public fw::Window {
public:
    CCameraInfoDlg();

    void Clear();
    void ShowIdentity(const cam::StringList &identity);
    void ShowCameraState();
    void ShowStatus();
    // Frames the transport lost of all, and packets resent of those asked again; "-" where it
    // keeps no counts.
    void ShowStreamStatistics(const cam::StreamStatistics &statistics);
    void ShowPixel(int x, int y);
    bool PixelReadoutOn() const { return form().check(1034) != 0; }

    bool preTranslateKey(const fw::KeyEvent &key) override;

private:
    CMolvaneView *View();
    CMolvaneView *m_pView = nullptr;
};
