// A camera window's frame: title, self-close after a failed open, activation, closing.
#pragma once

#include "framework/Window.h"
#include "view/CMolvaneDoc.h"

#include <memory>
#include <string>

class CMolvaneView;

class CChildFrame : public fw::Window {
public:
    CChildFrame();
    ~CChildFrame() override;

    CMolvaneView *view() const { return m_pView.get(); }
    CMolvaneDoc *document() const { return m_pDoc.get(); }

    // Selects this window's camera in the list and has the info pane, the pages, the analysis
    // windows and the zoom slider show it (a click into the window, or its taking over from a
    // window that closed).
    void ShowInPanes();

    std::string m_strCameraLine;
    int m_bClosing = 0;

    bool onCreate() override;
    void onSize(int width, int height) override;
    void onActivate(bool active) override;
    bool onMouseActivate() override;
    void onTimer(int id) override;
    void onClose() override;

private:
    std::unique_ptr<CMolvaneDoc> m_pDoc;
    std::unique_ptr<CMolvaneView> m_pView;
};
