// The base of every logic window: its form, message map, timers and platform peer.
#pragma once

#include "framework/Form.h"
#include "framework/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fw {

class Canvas;
class Window;

enum class WindowKind {
    MainFrame,    // the application's main window
    MdiChild,     // a child frame inside the main frame
    View,         // the client of a child frame
    Pane,         // a dockable pane of the main frame
    FormChild,    // a form (page) inside another window
    Dialog,       // a modeless top-level dialog
    ModalDialog,  // a dialog run by runModal
    Hidden,       // an invisible helper window
};

enum class DockArea { Left, Right, Top, Bottom };

struct WindowSpec {
    WindowKind kind = WindowKind::FormChild;
    Window *parent = nullptr;
    int templateId = 0;    // dialog template the platform builds controls from
    std::string caption;
    Rect rect;             // initial rectangle (screen for top-level, parent client otherwise)
    int controlId = 0;
    bool visible = true;
    DockArea area = DockArea::Left;  // panes
    bool closable = false;           // panes: has a close box
    bool drawsItself = false;        // painted through onPaint(Canvas &), gets the mouse
    int minPaintInterval = 0;        // ms between two paints at the most frequent (live plots)
    bool coversClient = false;       // onPaint paints every pixel of the client: nothing erased first
};

// What a platform does for one window.
class WindowPeer {
public:
    virtual ~WindowPeer() = default;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void setGeometry(const Rect &rect) = 0;  // parent client coordinates
    virtual Rect geometry() const = 0;
    virtual Rect clientRect() const = 0;
    virtual void setTitle(const std::string &title) = 0;
    virtual std::string title() const = 0;
    virtual Rect controlScreenRect(int controlId) const = 0;
    virtual Point clientToScreen(Point p) const = 0;
    virtual void invalidate() {}
    virtual void setFocus(int /*controlId*/) {}
    // Places a control of the window's template elsewhere (client pixels).
    virtual void moveControl(int /*controlId*/, const Rect & /*rect*/) {}
    // The platform's own handle of the window's client (a QWidget on Qt), for hosted components.
    virtual void *nativeHandle() const { return nullptr; }
    // Mouse capture: the pointer is confined to the client area until released.
    virtual void captureMouse(bool /*capture*/) {}
    // Windows placed in a page: the client becomes at least `extent` large (0: the window's
    // own size that way) and the window scrolls over it.
    virtual void setScrollExtent(Size /*extent*/) {}
    // The part of the client the window shows, in client coordinates.
    virtual Rect visibleRect() const { return clientRect(); }
};

struct CommandUi {
    bool enabled = true;
    bool checked = false;
};

class Window {
public:
    Window();
    virtual ~Window();
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;

    Form &form() { return form_; }
    const Form &form() const { return form_; }

    // Lifetime: create asks the platform for a peer, then runs onCreate.
    bool create(const WindowSpec &params);
    bool hasWindow() const { return peer_ != nullptr; }
    void destroyWindow();
    const WindowSpec &params() const { return spec_; }
    WindowPeer *peer() const { return peer_.get(); }
    int controlId() const { return spec_.controlId; }
    Window *parent() const { return spec_.parent; }

    void showWindow(bool visible);
    bool isWindowVisible() const;
    void setWindowText(const std::string &title);
    std::string windowText() const;
    void moveWindow(const Rect &rect);
    Rect windowRect() const;
    Rect clientRect() const;
    Rect controlScreenRect(int controlId) const;
    void moveControl(int controlId, const Rect &rect);
    Point clientToScreen(Point p) const;
    void invalidate();
    void captureMouse(bool capture);
    void setScrollExtent(Size extent);
    Rect visibleRect() const;
    void *nativeHandle() const { return peer_ ? peer_->nativeHandle() : nullptr; }

    // WM_CLOSE now, or posted to run after the current handler.
    void close() { onClose(); }
    void postClose();
    // Runs fn once no box or dialog is open (at once when none is), unless this window is gone
    // by then.
    void whenNotModal(std::function<void()> fn);

    void setTimer(int id, int milliseconds);
    void killTimer(int id);

    // Message map: (notification, control id) -> handler.
    using Handler = std::function<void()>;
    void on(Notify code, int id, Handler handler);
    bool handles(Notify code, int id) const;
    bool dispatch(Notify code, int id);

    // A token that tells posted calls whether the window still exists.
    std::weak_ptr<bool> aliveToken() const { return alive_; }

    // Overridables, named after the messages they stand for.
    virtual bool onCreate() { return true; }
    virtual void onInitialUpdate() {}
    virtual void onClose() { destroyWindow(); }
    virtual void onDestroy() {}
    virtual void onTimer(int /*id*/) {}
    virtual void onSize(int /*width*/, int /*height*/) {}
    virtual void onPaint() {}
    // Windows created with drawsItself: draw the whole client area, and the left button.
    virtual void onPaint(Canvas & /*canvas*/) {}
    virtual void onLButtonDown(Point /*client*/) {}
    virtual void onMouseMove(Point /*client*/) {}
    virtual void onLButtonUp(Point /*client*/) {}
    // The pointer left the client area (windows that draw themselves also get moves without a button).
    virtual void onMouseLeave() {}
    virtual void onActivate(bool /*active*/) {}
    virtual bool onMouseActivate() { return true; }  // false: the click does not activate
    virtual bool preTranslateKey(const KeyEvent & /*key*/) { return false; }  // true: consumed
    virtual void onUpdateCommandUi(int /*id*/, CommandUi & /*ui*/) {}
    // Right button released over a control; `item` is the list line under the point or -1.
    virtual void onContextMenu(int /*controlId*/, int /*item*/, Point /*screen*/) {}
    // A pane was made to float (true) or docked again (false).
    virtual void onFloat(bool /*floating*/) {}
    // The operator closes a floating pane or a tool window with its close box.
    virtual void onCloseBox() { close(); }
    // The operator dragged a scroll box; `position` is the client point now at the top left.
    virtual void onScrollDrag(Point /*position*/) {}

private:
    struct Entry {
        Notify code;
        int id;
        Handler handler;
    };
    Form form_;
    WindowSpec spec_;
    std::unique_ptr<WindowPeer> peer_;
    std::vector<Entry> map_;
    std::shared_ptr<bool> alive_;
};

} // namespace fw
