// The main frame without a screen.
#include "framework/headless/HeadlessFramePeer.h"

#include "framework/ErrorReport.h"

#include <algorithm>

namespace fw {

void HeadlessFramePeer::setMenu(int menuId)
{
    menuId_ = menuId;
}

bool HeadlessFramePeer::menuChecked(int commandId) const
{
    auto it = checks_.find(commandId);
    return it != checks_.end() && it->second;
}

bool HeadlessFramePeer::createToolBar(int resourceId)
{
    if (!findToolbar(resourceId))
        return false;
    toolBars_.insert(resourceId);
    return true;
}

void HeadlessFramePeer::showToolBar(int resourceId, bool visible)
{
    if (visible)
        hiddenToolBars_.erase(resourceId);
    else
        hiddenToolBars_.insert(resourceId);
}

bool HeadlessFramePeer::toolBarVisible(int resourceId) const
{
    return toolBars_.count(resourceId) && !hiddenToolBars_.count(resourceId);
}

void HeadlessFramePeer::dockToolBar(int resourceId)
{
    toolBarRow_.erase(std::remove(toolBarRow_.begin(), toolBarRow_.end(), resourceId),
                      toolBarRow_.end());
    toolBarRow_.push_back(resourceId);
}

void HeadlessFramePeer::dockToolBarLeftOf(int resourceId, int ofResourceId)
{
    toolBarRow_.erase(std::remove(toolBarRow_.begin(), toolBarRow_.end(), resourceId),
                      toolBarRow_.end());
    auto it = std::find(toolBarRow_.begin(), toolBarRow_.end(), ofResourceId);
    toolBarRow_.insert(it, resourceId);
}

void HeadlessFramePeer::replaceWithSlider(int commandId, int min, int max, int pos)
{
    (void)min;
    (void)max;
    sliders_[commandId] = pos;
    sliderEnabled_[commandId] = true;
}

void HeadlessFramePeer::setSliderPos(int commandId, int pos)
{
    if (sliders_.count(commandId))
        sliders_[commandId] = std::clamp(pos, 1, 1000);
}

int HeadlessFramePeer::sliderPos(int commandId) const
{
    auto it = sliders_.find(commandId);
    return it == sliders_.end() ? 0 : it->second;
}

bool HeadlessFramePeer::createStatusBar(const std::vector<std::string> &indicators)
{
    indicators_ = indicators;
    return true;
}

void HeadlessFramePeer::dockPaneBelow(Window &pane, Window &above) { below_[&pane] = &above; }

void HeadlessFramePeer::resizePane(Window &pane, Size size) { paneSizes_[&pane] = size; }

Window *HeadlessFramePeer::paneAbove(Window &pane) const
{
    auto it = below_.find(&pane);
    return it == below_.end() ? nullptr : it->second;
}

Size HeadlessFramePeer::paneSize(Window &pane) const
{
    auto it = paneSizes_.find(&pane);
    if (it != paneSizes_.end())
        return it->second;
    return {pane.params().rect.width(), pane.params().rect.height()};
}

void HeadlessFramePeer::activateChild(Window &child)
{
    if (active_ == &child)
        return;
    Window *previous = active_;
    active_ = &child;
    history_.erase(std::remove(history_.begin(), history_.end(), &child), history_.end());
    history_.push_back(&child);
    if (previous)
        guarded([previous] { previous->onActivate(false); });
    guarded([&child] { child.onActivate(true); });
}

void HeadlessFramePeer::activateNextChild()
{
    for (auto it = history_.rbegin(); it != history_.rend(); ++it)
        if (*it != active_) {
            activateChild(**it);
            return;
        }
}

void HeadlessFramePeer::showMaximized()
{
    maximized_ = true;
    base_.setVisible(true);
}

void HeadlessFramePeer::childCreated(Window &child)
{
    children_.push_back(&child);
    history_.insert(history_.begin(), &child);  // never active yet: the last to come next
}

void HeadlessFramePeer::childDestroyed(Window &child)
{
    children_.erase(std::remove(children_.begin(), children_.end(), &child), children_.end());
    history_.erase(std::remove(history_.begin(), history_.end(), &child), history_.end());
    if (active_ != &child)
        return;
    active_ = nullptr;
    if (!history_.empty())
        activateChild(*history_.back());
}

} // namespace fw
