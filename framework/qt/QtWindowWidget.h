// The widget that stands for one logic window: forwards size, paint and close to it and holds
// the controls built from its dialog template.
#pragma once

#include "framework/Window.h"

#include <QWidget>

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

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Window *window_;
    std::unique_ptr<QtFormBinder> binder_;
};

// Runs the window's close-box handler after the current event (the window may delete itself).
void postCloseBox(Window *window);

// The nearest window widget that contains `w` (itself included), or null.
QtWindowWidget *windowWidgetOf(QWidget *w);

} // namespace fw
