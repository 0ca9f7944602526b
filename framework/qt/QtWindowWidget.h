// The widget that stands for one logic window: forwards size, paint and close to it and holds
// the controls built from its dialog template.
#pragma once

#include "framework/Window.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

#include <memory>

namespace fw {

class QtFormBinder;

class QtWindowWidget : public QWidget {
public:
    QtWindowWidget(Window *window, QWidget *parent, Qt::WindowFlags flags = {});
    ~QtWindowWidget() override;

    Window *window() const { return window_; }
    void detach();  // the logic window is going away: stop forwarding
    void buildFromTemplate(int templateId);
    QWidget *control(int id) const;
    int controlIdOf(const QWidget *widget) const;
    // While captured, the mouse goes to this widget and the pointer stays inside it.
    void setMouseCaptured(bool captured);
    // Repaints soon; a window with a least paint interval is not painted more often than that.
    void requestRepaint();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool drawsItself() const { return window_ && window_->params().drawsItself; }
    void paintBackBuffer();
    QPoint confined(QMouseEvent *event);

    Window *window_;
    std::unique_ptr<QtFormBinder> binder_;
    bool captured_ = false;
    QElapsedTimer lastPaint_;
    bool repaintPending_ = false;
};

// Runs fn on the window after the current event, if the window still exists then; handlers
// that may delete their own window run this way, as posted messages do.
void postToWindow(Window *window, std::function<void(Window &)> fn);
inline void postCloseBox(Window *window)
{
    postToWindow(window, [](Window &w) { w.onCloseBox(); });
}

// The nearest window widget that contains `w` (itself included), or null.
QtWindowWidget *windowWidgetOf(QWidget *w);

} // namespace fw
