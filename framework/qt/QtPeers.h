// Window peers on Qt: a plain widget, a dock pane, an MDI child and a modal dialog.
#pragma once

#include "framework/Window.h"
#include "framework/qt/QtWindowWidget.h"

#include <QPointer>

class QDialog;

namespace fw {

class QtMainWindow;

class QtWidgetPeer : public WindowPeer {
public:
    // `outer` is what is shown and moved (the dock, the subwindow or `inner` itself).
    QtWidgetPeer(QWidget *outer, QtWindowWidget *inner, QtMainWindow *frame = nullptr);
    ~QtWidgetPeer() override;

    void setVisible(bool visible) override;
    bool isVisible() const override;
    void setGeometry(const Rect &rect) override;
    Rect geometry() const override;
    Rect clientRect() const override;
    void setTitle(const std::string &title) override;
    std::string title() const override;
    Rect controlScreenRect(int controlId) const override;
    void moveControl(int controlId, const Rect &rect) override;
    Point clientToScreen(Point p) const override;
    void invalidate() override;
    void setFocus(int controlId) override;
    void captureMouse(bool capture) override;
    void setScrollExtent(Size extent) override;
    Rect visibleRect() const override;
    void *nativeHandle() const override { return inner_.data(); }

    QWidget *outer() const { return outer_; }
    QtWindowWidget *inner() const { return inner_; }

private:
    QPointer<QWidget> outer_;
    QPointer<QtWindowWidget> inner_;
    QtMainWindow *frame_;  // set for MDI children, which the frame tracks
    bool movable_;
    bool scrollWatched_ = false;  // dragging a scroll box reaches the window
    Size extent_;
};

} // namespace fw
