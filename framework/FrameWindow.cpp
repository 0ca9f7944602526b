// Command routing through the active view, its child frame, the main frame and the application.
#include "framework/FrameWindow.h"

namespace fw {

namespace {
template <typename Fn>
bool forEachTarget(Window *view, Window *child, Window *frame, Window *app, Fn fn)
{
    for (Window *w : {view, child, frame, app})
        if (w && fn(*w))
            return true;
    return false;
}
} // namespace

bool FrameWindow::routeCommand(int id)
{
    return forEachTarget(activeView(), activeChild(), this, app_,
                         [id](Window &w) { return w.dispatch(Notify::Command, id); });
}

CommandUi FrameWindow::commandUi(int id)
{
    CommandUi ui;
    bool handled = forEachTarget(activeView(), activeChild(), this, app_, [&](Window &w) {
        if (!w.handles(Notify::Command, id))
            return false;
        w.onUpdateCommandUi(id, ui);
        return true;
    });
    if (!handled)
        ui.enabled = false;  // MFC disables commands nobody handles
    return ui;
}

bool FrameWindow::preTranslateFrameKey(const KeyEvent &key)
{
    if (preTranslateKey(key))
        return true;
    Window *view = activeView();
    return view && view->preTranslateKey(key);
}

} // namespace fw
