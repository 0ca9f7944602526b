// What a platform does for the main frame: menus, toolbars, status bar, panes, child windows.
#pragma once

#include "framework/Window.h"

#include <string>
#include <vector>

namespace fw {

class FramePeer : public WindowPeer {
public:
    virtual void setMenu(int menuId) = 0;
    virtual int menuId() const = 0;
    virtual void setMenuCheck(int commandId, bool checked) = 0;
    virtual bool menuChecked(int commandId) const = 0;

    virtual bool createToolBar(int resourceId) = 0;
    virtual void showToolBar(int resourceId, bool visible) = 0;
    virtual bool toolBarVisible(int resourceId) const = 0;
    virtual void dockToolBar(int resourceId) = 0;
    virtual void dockToolBarLeftOf(int resourceId, int ofResourceId) = 0;
    // Replaces a toolbar button by a slider button.
    virtual void replaceWithSlider(int commandId, int min, int max, int pos) = 0;
    virtual void setSliderPos(int commandId, int pos) = 0;
    virtual int sliderPos(int commandId) const = 0;
    virtual void enableSlider(int commandId, bool enabled) = 0;

    virtual bool createStatusBar(const std::vector<std::string> &indicators) = 0;
    virtual void setStatusText(const std::string &text) = 0;

    // Panes are windows created with WindowKind::Pane and this frame as parent.
    virtual void dockPaneBelow(Window &pane, Window &above) = 0;
    virtual void resizePane(Window &pane, Size size) = 0;
    virtual void recalcLayout() = 0;

    virtual Window *activeChild() const = 0;
    virtual void activateChild(Window &child) = 0;
    // Activates the child that was active before the active one, as when the active child
    // closes; nothing happens when there is no other child.
    virtual void activateNextChild() = 0;
    virtual std::vector<Window *> children() const = 0;

    virtual void showMaximized() = 0;
    // The window layout kept between runs (a platform without one keeps nothing).
    virtual void saveLayout() {}
    virtual void resetLayout() {}
};

} // namespace fw
