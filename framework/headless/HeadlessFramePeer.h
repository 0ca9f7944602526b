// The main frame without a screen: menus, toolbars, panes and child windows as plain state.
#pragma once

#include "framework/FramePeer.h"
#include "framework/Resources.h"
#include "framework/headless/HeadlessPeer.h"

#include <map>
#include <set>
#include <vector>

namespace fw {

class HeadlessFramePeer : public FramePeer {
public:
    explicit HeadlessFramePeer(const WindowSpec &params) : base_(params) {}

    // WindowPeer
    void setVisible(bool visible) override { base_.setVisible(visible); }
    bool isVisible() const override { return base_.isVisible(); }
    void setGeometry(const Rect &rect) override { base_.setGeometry(rect); }
    Rect geometry() const override { return base_.geometry(); }
    Rect clientRect() const override { return base_.clientRect(); }
    void setTitle(const std::string &title) override { base_.setTitle(title); }
    std::string title() const override { return base_.title(); }
    Rect controlScreenRect(int id) const override { return base_.controlScreenRect(id); }
    Point clientToScreen(Point p) const override { return base_.clientToScreen(p); }

    // FramePeer
    void setMenu(int menuId) override;
    int menuId() const override { return menuId_; }
    void setMenuCheck(int commandId, bool checked) override { checks_[commandId] = checked; }
    bool menuChecked(int commandId) const override;
    bool createToolBar(int resourceId) override;
    void showToolBar(int resourceId, bool visible) override;
    bool toolBarVisible(int resourceId) const override;
    void dockToolBar(int resourceId) override;
    void dockToolBarLeftOf(int resourceId, int ofResourceId) override;
    void replaceWithSlider(int commandId, int min, int max, int pos) override;
    void setSliderPos(int commandId, int pos) override;
    int sliderPos(int commandId) const override;
    void enableSlider(int commandId, bool enabled) override { sliderEnabled_[commandId] = enabled; }
    bool createStatusBar(const std::vector<std::string> &indicators) override;
    void setStatusText(const std::string &text) override { statusText_ = text; }
    const std::string &statusText() const { return statusText_; }
    void dockPaneBelow(Window &pane, Window &above) override;
    void resizePane(Window &pane, Size size) override;
    void recalcLayout() override {}
    Window *activeChild() const override { return active_; }
    void activateChild(Window &child) override;
    void activateNextChild() override;
    std::vector<Window *> children() const override { return children_; }
    void showMaximized() override;

    // Called by the platform as child frames come and go.
    void childCreated(Window &child);
    void childDestroyed(Window &child);

    // For tests.
    const std::vector<std::string> &statusIndicators() const { return indicators_; }
    const std::vector<int> &toolBarRow() const { return toolBarRow_; }
    bool maximized() const { return maximized_; }
    Window *paneAbove(Window &pane) const;
    Size paneSize(Window &pane) const;

private:
    HeadlessPeer base_;
    int menuId_ = 0;
    std::map<int, bool> checks_;
    std::set<int> toolBars_;
    std::set<int> hiddenToolBars_;
    std::vector<int> toolBarRow_;  // docked toolbars, left to right
    std::map<int, int> sliders_;
    std::map<int, bool> sliderEnabled_;
    std::vector<std::string> indicators_;
    std::string statusText_;
    std::map<Window *, Window *> below_;
    std::map<Window *, Size> paneSizes_;
    std::vector<Window *> children_;
    std::vector<Window *> history_;  // children in the order they were last activated
    Window *active_ = nullptr;
    bool maximized_ = false;
};

} // namespace fw
