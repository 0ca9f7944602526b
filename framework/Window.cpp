// Window lifetime, message map dispatch and forwarding to the platform peer.
#include "framework/Window.h"

#include "framework/ErrorReport.h"
#include "framework/Platform.h"

namespace fw {

Window::Window() : alive_(std::make_shared<bool>(true)) {}

Window::~Window()
{
    if (peer_) {
        platform().killTimers(this);
        peer_.reset();
    }
    *alive_ = false;
}

bool Window::create(const WindowSpec &params)
{
    spec_ = params;
    // Template values are the start state of the controls the logic has not touched yet.
    if (const DialogTemplate *t = findDialog(params.templateId)) {
        for (const auto &c : t->controls) {
            if (c.id == 0 || form_.has(c.id))
                continue;
            ControlState &s = form_.mutableState(c.id);
            s.text = c.text;
            s.items = c.items;
            s.visible = !(c.flags & Hidden);
            s.enabled = !(c.flags & Disabled);
        }
    }
    peer_ = platform().createPeer(*this, params);
    if (!peer_)
        return false;
    if (!onCreate()) {
        destroyWindow();
        return false;
    }
    return true;
}

void Window::destroyWindow()
{
    if (!peer_)
        return;
    onDestroy();
    platform().killTimers(this);
    peer_.reset();
}

void Window::showWindow(bool visible)
{
    if (peer_)
        peer_->setVisible(visible);
}

bool Window::isWindowVisible() const { return peer_ && peer_->isVisible(); }

void Window::setWindowText(const std::string &title)
{
    if (peer_)
        peer_->setTitle(title);
}

std::string Window::windowText() const { return peer_ ? peer_->title() : std::string(); }

void Window::moveWindow(const Rect &rect)
{
    if (peer_)
        peer_->setGeometry(rect);
}

void Window::setScrollExtent(Size extent)
{
    if (peer_)
        peer_->setScrollExtent(extent);
}

Rect Window::visibleRect() const { return peer_ ? peer_->visibleRect() : Rect{}; }

Rect Window::windowRect() const { return peer_ ? peer_->geometry() : Rect{}; }

Rect Window::clientRect() const { return peer_ ? peer_->clientRect() : Rect{}; }

Rect Window::controlScreenRect(int controlId) const
{
    return peer_ ? peer_->controlScreenRect(controlId) : Rect{};
}

void Window::moveControl(int controlId, const Rect &rect)
{
    if (peer_)
        peer_->moveControl(controlId, rect);
}

Point Window::clientToScreen(Point p) const { return peer_ ? peer_->clientToScreen(p) : p; }

void Window::invalidate()
{
    if (peer_)
        peer_->invalidate();
}

void Window::captureMouse(bool capture)
{
    if (peer_)
        peer_->captureMouse(capture);
}

void Window::postClose()
{
    std::weak_ptr<bool> alive = alive_;
    platform().post([this, alive] {
        auto token = alive.lock();
        if (token && *token)
            whenNotModal([this] { close(); });
    });
}

void Window::whenNotModal(std::function<void()> fn)
{
    std::weak_ptr<bool> alive = alive_;
    platform().whenNotModal([alive, fn = std::move(fn)] {
        auto token = alive.lock();
        if (token && *token)
            fn();
    });
}

void Window::setTimer(int id, int milliseconds) { platform().setTimer(this, id, milliseconds); }

void Window::killTimer(int id) { platform().killTimer(this, id); }

void Window::on(Notify code, int id, Handler handler)
{
    map_.push_back({code, id, std::move(handler)});
}

bool Window::handles(Notify code, int id) const
{
    for (const auto &e : map_)
        if (e.code == code && e.id == id)
            return true;
    return false;
}

bool Window::dispatch(Notify code, int id)
{
    for (const auto &e : map_) {
        if (e.code == code && e.id == id) {
            // Keep the handler alive even if it replaces the map entry.
            Handler h = e.handler;
            guarded(h);
            return true;
        }
    }
    return false;
}

} // namespace fw
