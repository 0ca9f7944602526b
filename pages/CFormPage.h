// A setting page of the control pane: a form on its template that never becomes the active
// view (clicks leave the camera window active) and never closes on Enter or Escape.
#pragma once

#include "framework/Window.h"

class CMolvaneView;

class CFormPage : public fw::Window {
public:
    explicit CFormPage(int templateId) : m_templateId(templateId) {}
    int templateId() const { return m_templateId; }

    bool onMouseActivate() override { return false; }
    bool preTranslateKey(const fw::KeyEvent &key) override
    {
        return key.key == fw::Key::Escape || key.key == fw::Key::Enter;
    }

protected:
    // The camera view of the active camera window, or null; taken again by every handler.
    static CMolvaneView *ActiveView();

private:
    int m_templateId;
};
