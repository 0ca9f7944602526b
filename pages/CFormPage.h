// A setting page of the control pane: a form on its template that never becomes the active
// view (clicks leave the camera window active) and never closes on Enter or Escape.
#pragma once

#include "framework/Window.h"

#include <exception>

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
    // Runs camera calls whose refusal the page answers itself; false when one was refused.
    template <typename Fn>
    static bool Attempt(Fn fn)
    {
        try {
            fn();
            return true;
        } catch (const std::exception &) {
            return false;
        }
    }

    // The warning balloon "Warning!" with string `stringId`, pointing at a control's bottom middle.
    void WarnAt(int anchor, int stringId);

private:
    int m_templateId;
};
