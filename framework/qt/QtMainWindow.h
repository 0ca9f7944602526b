// The main frame on Qt: QMainWindow with an MDI area, menus, toolbars, status bar and docks.
#pragma once

#include "framework/FramePeer.h"
#include "framework/FrameWindow.h"

#include <QMainWindow>

#include <map>

class QMdiArea;
class QMdiSubWindow;
class QSlider;
class QToolBar;
class QDockWidget;

namespace fw {

class QtMainWindow : public QMainWindow, public FramePeer {
public:
    QtMainWindow(FrameWindow &window, const WindowSpec &params);
    ~QtMainWindow() override;

    void detach() { window_ = nullptr; }
    QMdiArea *mdiArea() const { return mdi_; }
    void addPane(QDockWidget *dock, Window &pane, DockArea area);
    void addChild(QMdiSubWindow *sub, Window &child, const Rect &rect);
    void removeChild(QMdiSubWindow *sub);
    FrameWindow *frameWindow() const { return window_; }

    // WindowPeer
    void setVisible(bool visible) override;
    bool isVisible() const override { return !isHidden(); }
    void setGeometry(const Rect &rect) override;
    Rect geometry() const override;
    Rect clientRect() const override;
    void setTitle(const std::string &title) override;
    std::string title() const override;
    Rect controlScreenRect(int controlId) const override;
    Point clientToScreen(Point p) const override;

    // FramePeer
    void setMenu(int menuId) override;
    int menuId() const override { return menuId_; }
    void setMenuCheck(int commandId, bool checked) override;
    bool menuChecked(int commandId) const override;
    bool createToolBar(int resourceId) override;
    void showToolBar(int resourceId, bool visible) override;
    bool toolBarVisible(int resourceId) const override;
    void dockToolBar(int resourceId) override;
    void dockToolBarLeftOf(int resourceId, int ofResourceId) override;
    void replaceWithSlider(int commandId, int min, int max, int pos) override;
    void setSliderPos(int commandId, int pos) override;
    int sliderPos(int commandId) const override;
    void enableSlider(int commandId, bool enabled) override;
    bool createStatusBar(const std::vector<std::string> &indicators) override;
    void setStatusText(const std::string &text) override;
    void dockPaneBelow(Window &pane, Window &above) override;
    void resizePane(Window &pane, Size size) override;
    void recalcLayout() override {}
    Window *activeChild() const override;
    void activateChild(Window &child) override;
    void activateNextChild() override;
    std::vector<Window *> children() const override;
    void showMaximized() override;
    void saveLayout() override;
    void resetLayout() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateCommandUi();
    void fillScreen();
    void postCommand(int id);
    void subWindowActivated(QMdiSubWindow *sub);
    QMdiSubWindow *latestOtherChild() const;
    QDockWidget *dockOf(Window &pane) const;
    static QSize formRoom(QDockWidget *dock);  // what the forms placed in a pane need
    void fitPane(QDockWidget *dock, Size size);

    FrameWindow *window_;
    QMdiArea *mdi_;
    int menuId_ = 0;
    QByteArray defaultState_;  // the docks and toolbars as built, for "Reset window layout"
    std::map<int, bool> checks_;
    std::multimap<int, QAction *> menuActions_;
    std::map<int, QToolBar *> toolBars_;
    std::multimap<int, QAction *> toolActions_;
    std::map<int, QSlider *> sliders_;
    std::map<Window *, QDockWidget *> docks_;
    std::map<QDockWidget *, Size> paneSizes_;  // sizes asked by the logic, applied again when shown
    std::map<QMdiSubWindow *, Window *> children_;
    Window *active_ = nullptr;
};

} // namespace fw
