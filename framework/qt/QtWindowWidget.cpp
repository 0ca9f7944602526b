// The widget that stands for one logic window.
#include "framework/qt/QtWindowWidget.h"

#include "framework/ErrorReport.h"
#include "framework/qt/QtFormBinder.h"

#include <QApplication>
#include <QCloseEvent>

namespace fw {

QtWindowWidget::QtWindowWidget(Window *window, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), window_(window)
{
    setProperty("molvaneWindow", true);
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
    if (window_)
        guarded([this] { window_->onPaint(); });
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
