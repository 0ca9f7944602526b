// The widget that stands for one logic window.
#include "framework/qt/QtWindowWidget.h"

#include "framework/ErrorReport.h"
#include "framework/qt/QtCanvas.h"
#include "framework/qt/QtFormBinder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace fw {

QtWindowWidget::QtWindowWidget(Window *window, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), window_(window)
{
    setProperty("molvaneWindow", true);
    // Windows that draw themselves show what lies under the pointer, button or not, and cover
    // their whole client when they paint: nothing beneath them needs erasing first.
    const bool drawn = window && window->params().drawsItself;
    setMouseTracking(drawn);
    setAttribute(Qt::WA_OpaquePaintEvent, drawn);
}

QtWindowWidget::~QtWindowWidget() = default;

void QtWindowWidget::detach()
{
    window_ = nullptr;
    binder_.reset();
}

void QtWindowWidget::buildFromTemplate(int templateId)
{
    const DialogTemplate *t = findDialog(templateId);
    if (!t || !window_)
        return;
    binder_ = std::make_unique<QtFormBinder>(*window_, this, *t);
    // A form of fixed controls needs its template's size; one that fills its window does not.
    bool fills = false;
    for (const auto &c : t->controls)
        fills = fills || (c.flags & FillParent);
    if (!fills)
        setMinimumSize(binder_->templateSize());
}

QWidget *QtWindowWidget::control(int id) const { return binder_ ? binder_->control(id) : nullptr; }

int QtWindowWidget::controlIdOf(const QWidget *widget) const
{
    return binder_ ? binder_->controlIdOf(widget) : 0;
}

void QtWindowWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (binder_)
        binder_->layout(size());
    if (window_)
        guarded([this] { window_->onSize(width(), height()); });
}

void QtWindowWidget::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (drawsItself())
        paintBackBuffer();
    else if (window_)
        guarded([this] { window_->onPaint(); });
}

void QtWindowWidget::requestRepaint()
{
    const int interval = window_ ? window_->params().minPaintInterval : 0;
    if (interval <= 0 || !lastPaint_.isValid() || lastPaint_.elapsed() >= interval)
        return update();
    if (repaintPending_)
        return;  // the paint already planned will show the latest state
    repaintPending_ = true;
    QTimer::singleShot(static_cast<int>(interval - lastPaint_.elapsed()), this, [this] {
        repaintPending_ = false;
        update();
    });
}

void QtWindowWidget::paintBackBuffer()
{
    lastPaint_.restart();
    // The widget's backing store is the back buffer: the window draws its whole client there
    // and it is shown at once. It has the screen's device pixels, so drawing stays sharp on
    // high-DPI screens, and no second image has to be filled and copied on every paint.
    QPainter painter(this);
    // Parts of the client the window leaves undrawn show the window colour, not stale pixels
    // (the widget is opaque: Qt does not erase it first). A live plot covers its client itself
    // and is not filled twice.
    if (!window_->params().coversClient)
        painter.fillRect(rect(), palette().window());
    QtCanvas canvas(painter, {width(), height()});
    guarded([&] { window_->onPaint(canvas); });
}

void QtWindowWidget::setMouseCaptured(bool captured)
{
    if (captured == captured_)
        return;
    captured_ = captured;
    if (captured)
        grabMouse();
    else
        releaseMouse();
}

QPoint QtWindowWidget::confined(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (!captured_)
        return p;
    const QPoint inside(std::clamp(p.x(), 0, std::max(0, width() - 1)),
                        std::clamp(p.y(), 0, std::max(0, height() - 1)));
    if (inside != p)
        QCursor::setPos(mapToGlobal(inside));
    return inside;
}

void QtWindowWidget::mousePressEvent(QMouseEvent *event)
{
    if (!drawsItself() || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    guarded([&] { window_->onLButtonDown({p.x(), p.y()}); });
}

void QtWindowWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!drawsItself())
        return QWidget::mouseMoveEvent(event);
    const QPoint p = confined(event);
    guarded([&] { window_->onMouseMove({p.x(), p.y()}); });
}

void QtWindowWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (!drawsItself() || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const QPoint p = confined(event);
    guarded([&] { window_->onLButtonUp({p.x(), p.y()}); });
}

void QtWindowWidget::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (drawsItself())
        guarded([this] { window_->onMouseLeave(); });
}

void QtWindowWidget::closeEvent(QCloseEvent *event)
{
    // The logic decides whether the window goes; the platform never closes it by itself.
    event->ignore();
    postCloseBox(window_);
}

void postToWindow(Window *window, std::function<void(Window &)> fn)
{
    if (!window)
        return;
    std::weak_ptr<bool> alive = window->aliveToken();
    QMetaObject::invokeMethod(
        qApp,
        [alive, window, fn = std::move(fn)] {
            auto token = alive.lock();
            if (token && *token)
                guarded([&] { fn(*window); });
        },
        Qt::QueuedConnection);
}

QtWindowWidget *windowWidgetOf(QWidget *w)
{
    while (w) {
        if (auto *ww = dynamic_cast<QtWindowWidget *>(w))
            return ww;
        w = w->parentWidget();
    }
    return nullptr;
}

} // namespace fw
