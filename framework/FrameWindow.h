// The main frame's logic base: command routing and access to the frame's platform services.
#pragma once

#include "framework/FramePeer.h"
#include "framework/Window.h"

namespace fw {

class FrameWindow : public Window {
public:
    FramePeer *frame() const { return static_cast<FramePeer *>(peer()); }

    // The active child frame and its view (MFC's GetActiveFrame / GetActiveView).
    Window *activeChild() const { return frame() ? frame()->activeChild() : nullptr; }
    virtual Window *activeView() const { return nullptr; }

    // Runs a command through view, child frame, main frame and application, as MFC routes it.
    bool routeCommand(int id);
    // Enabled and checked state of a command, as the first window that handles it reports it.
    CommandUi commandUi(int id);
    // Key-down filter run before anything else sees the key; true when consumed.
    virtual bool preTranslateFrameKey(const KeyEvent &key);

    // The application object's handlers come last in the route.
    void setApplicationWindow(Window *app) { app_ = app; }

private:
    Window *app_ = nullptr;
};

} // namespace fw
