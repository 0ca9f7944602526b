// The application object: single instance, the main frame, and the camera window template.
#pragma once

#include "framework/Window.h"

#include <memory>

class CMainFrame;

class CMolvaneApp : public fw::Window {
public:
    CMolvaneApp();
    ~CMolvaneApp() override;

    // Start-up; false when the process must end (second instance, frame cannot be made).
    bool InitInstance();
    CMainFrame *m_pMainWnd = nullptr;

    void OnAppAbout();
    void OnFileNew();
    void OnAppExit();
    // The main frame has closed: the application lets go of it.
    void MainFrameClosed();

private:
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CMainFrame> m_closedFrame;
};
