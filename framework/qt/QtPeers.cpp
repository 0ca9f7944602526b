// Window peers on Qt.
#include "framework/qt/QtPeers.h"

#include "framework/qt/QtMainWindow.h"

#include <QDockWidget>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>

namespace fw {

QtWidgetPeer::QtWidgetPeer(QWidget *outer, QtWindowWidget *inner, QtMainWindow *frame)
    : outer_(outer), inner_(inner), frame_(frame), movable_(!qobject_cast<QDockWidget *>(outer))
{
}

QtWidgetPeer::~QtWidgetPeer()
{
    if (inner_)
        inner_->detach();
    if (frame_ && outer_)
        frame_->removeChild(static_cast<QMdiSubWindow *>(outer_.data()));
    if (outer_) {
        outer_->hide();
        outer_->deleteLater();  // the window may be going away inside one of its own events
    }
}

void QtWidgetPeer::setVisible(bool visible)
{
    if (outer_)
        outer_->setVisible(visible);
}

bool QtWidgetPeer::isVisible() const { return outer_ && !outer_->isHidden(); }

void QtWidgetPeer::setGeometry(const Rect &r)
{
    if (!outer_)
        return;
    // A size the logic asks for wins over the minimum its template gave the window.
    if (outer_->isWindow())
        outer_->setMinimumSize(outer_->minimumSize().boundedTo(QSize(r.width(), r.height())));
    if (movable_)
        outer_->setGeometry(r.left, r.top, r.width(), r.height());
    else if (outer_->isWindow())  // a floating pane takes the size asked; a docked one cannot
        outer_->resize(r.width(), r.height());
}

Rect QtWidgetPeer::geometry() const
{
    if (!outer_)
        return {};
    QRect g = outer_->geometry();
    return {g.left(), g.top(), g.right() + 1, g.bottom() + 1};
}

Rect QtWidgetPeer::clientRect() const
{
    if (!inner_)
        return {};
    return {0, 0, inner_->width(), inner_->height()};
}

void QtWidgetPeer::setTitle(const std::string &title)
{
    if (outer_)
        outer_->setWindowTitle(QString::fromStdString(title));
}

std::string QtWidgetPeer::title() const
{
    return outer_ ? outer_->windowTitle().toStdString() : std::string();
}

void QtWidgetPeer::moveControl(int controlId, const Rect &rect)
{
    if (QWidget *w = inner_ ? inner_->control(controlId) : nullptr)
        w->setGeometry(rect.left, rect.top, rect.width(), rect.height());
}

Rect QtWidgetPeer::controlScreenRect(int controlId) const
{
    if (!inner_)
        return {};
    QWidget *w = inner_->control(controlId);
    if (!w)
        w = inner_;
    QPoint p = w->mapToGlobal(QPoint(0, 0));
    return {p.x(), p.y(), p.x() + w->width(), p.y() + w->height()};
}

Point QtWidgetPeer::clientToScreen(Point p) const
{
    if (!inner_)
        return p;
    QPoint g = inner_->mapToGlobal(QPoint(p.x, p.y));
    return {g.x(), g.y()};
}

void QtWidgetPeer::invalidate()
{
    if (inner_)
        inner_->requestRepaint();
}

void QtWidgetPeer::captureMouse(bool capture)
{
    if (inner_)
        inner_->setMouseCaptured(capture);
}

void QtWidgetPeer::setFocus(int controlId)
{
    if (!inner_)
        return;
    if (QWidget *w = inner_->control(controlId))
        w->setFocus();
}

void QtWidgetPeer::setScrollExtent(Size extent)
{
    auto *area = qobject_cast<QScrollArea *>(outer_.data());
    if (!area || !inner_ || (scrollWatched_ && extent.width == extent_.width && extent.height == extent_.height))
        return;  // each new line sets it again
    extent_ = extent;
    inner_->setMinimumSize(extent.width, extent.height);
    // The bar of a scrolling direction stays, so the client keeps one size while the content
    // grows and shrinks.
    area->setHorizontalScrollBarPolicy(extent.width > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(extent.height > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    if (scrollWatched_)
        return;
    scrollWatched_ = true;
    QScrollBar *h = area->horizontalScrollBar(), *v = area->verticalScrollBar();
    QPointer<QtWindowWidget> inner = inner_;
    auto dragged = [inner](Point at) {
        if (inner && inner->window())
            postToWindow(inner->window(), [at](Window &w) { w.onScrollDrag(at); });
    };
    QObject::connect(h, &QScrollBar::sliderMoved, inner_, [dragged, v](int x) { dragged({x, v->value()}); });
    QObject::connect(v, &QScrollBar::sliderMoved, inner_, [dragged, h](int y) { dragged({h->value(), y}); });
}

Rect QtWidgetPeer::visibleRect() const
{
    auto *area = qobject_cast<QScrollArea *>(outer_.data());
    if (!area)
        return clientRect();
    const int x = area->horizontalScrollBar()->value(), y = area->verticalScrollBar()->value();
    const QSize port = area->viewport()->size();
    return {x, y, x + port.width(), y + port.height()};
}

} // namespace fw
