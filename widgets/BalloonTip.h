// A balloon tip: title, icon and text in a bubble pointing at a screen point.
#pragma once

#include <QPainterPath>
#include <QString>
#include <QWidget>

class QTimer;

namespace widgets {

class BalloonTip : public QWidget {
public:
    enum class Icon { Warning, Information };
    // Shows a balloon; the previous one goes away. It closes itself on a click or after a while.
    static void show(const QString &title, const QString &text, Icon icon, const QPoint &anchor);
    // Takes the balloon showing, if any, away.
    static void dismiss();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // The bubble and its arrow, `inset` pixels inside the window's edge.
    QPainterPath outline(qreal inset) const;
    BalloonTip(const QString &title, const QString &text, Icon icon, const QPoint &anchor);
    QString title_;
    QString text_;
    Icon icon_;
    QTimer *timer_;
    int arrowX_ = 20;
};

} // namespace widgets
