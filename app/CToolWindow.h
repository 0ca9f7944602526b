// A modeless tool window of the main frame that tells the frame when it closes.
#pragma once

#include "framework/Window.h"

class CToolWindow : public fw::Window {
public:
    CToolWindow(int templateId, int closingMessage)
        : m_templateId(templateId), m_closingMessage(closingMessage)
    {
    }
    int templateId() const { return m_templateId; }
    // Creates the window from its template, in the template's size, at a screen position.
    bool CreateAt(fw::Window *owner, fw::Point position);

    // Posts the closing message to the frame, which deletes the object; the window goes now.
    void onClose() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;

private:
    int m_templateId;
    int m_closingMessage;
};
