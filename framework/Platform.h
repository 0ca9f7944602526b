// The services the logic asks of its platform: windows, dialogs, timers, clock, settings, posting.
#pragma once

#include "framework/Resources.h"
#include "framework/Types.h"
#include "framework/Window.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fw {

// Values the program keeps between runs (what the original kept in the registry).
class Settings {
public:
    virtual ~Settings() = default;
    virtual std::string value(const std::string &key) const = 0;  // empty when missing
    virtual void setValue(const std::string &key, const std::string &value) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual std::unique_ptr<WindowPeer> createPeer(Window &window, const WindowSpec &params) = 0;
    virtual int runModal(Window &dialog) = 0;

    virtual MsgResult messageBox(const std::string &text, const std::string &title, MsgButtons buttons,
                                 MsgIcon icon) = 0;
    virtual void showBalloon(const Balloon &balloon) = 0;
    virtual std::optional<std::string> openFileDialog(const std::string &filter,
                                                      const std::string &startDir) = 0;
    virtual std::optional<std::string> saveFileDialog(const std::string &filter,
                                                      const std::string &startDir) = 0;
    virtual std::optional<std::string> folderDialog(const std::string &title) = 0;
    // Shows a pop-up menu and returns the chosen command, 0 when dismissed.
    virtual int popupMenu(const MenuItem &popup, Point screen) = 0;

    virtual void setTimer(Window *window, int id, int milliseconds) = 0;
    virtual void killTimer(Window *window, int id) = 0;
    virtual void killTimers(Window *window) = 0;

    virtual LocalTime localTime() = 0;
    virtual Settings &settings() = 0;
    // Runs fn on the user-interface thread; callable from any thread.
    virtual void post(std::function<void()> fn) = 0;
    // The single-instance lock; false when another process holds it.
    virtual bool acquireInstanceLock(const std::string &name) = 0;
    // Width in pixels of a text in the panes' font.
    virtual int textWidth(const std::string &text) = 0;
    // Room a scroll bar takes from a scrolling window's client (0 where bars take none).
    virtual int scrollBarExtent() const { return 0; }
    virtual void quit() = 0;

    // A box, a file dialog, a pop-up menu or a modal dialog runs the event loop inside the call
    // that opened it, and that call goes on with the pointers it held once the loop ends. Work
    // that would destroy windows under it (a camera that went away closing its window) waits
    // for the last of these loops to end. Platforms mark each loop with a ModalLoop.
    class ModalLoop {
    public:
        explicit ModalLoop(Platform &platform);
        ~ModalLoop();
        ModalLoop(const ModalLoop &) = delete;
        ModalLoop &operator=(const ModalLoop &) = delete;

    private:
        Platform &platform_;
    };
    int modalDepth() const { return modalDepth_; }
    // Runs fn now when no modal loop runs and nothing waits before it; otherwise keeps it, to
    // run in order from the event loop once the last modal loop has ended. User-interface
    // thread only.
    void whenNotModal(std::function<void()> fn);

private:
    void postWaiting();
    void runWaiting();
    int modalDepth_ = 0;
    bool drainPosted_ = false;
    std::deque<std::function<void()>> waiting_;
};

Platform &platform();
void setPlatform(Platform *platform);

} // namespace fw
