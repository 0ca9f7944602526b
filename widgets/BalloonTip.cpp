// A balloon tip pointing at a screen point.
#include "widgets/BalloonTip.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace widgets {

namespace {
constexpr int kArrow = 12;
constexpr int kPad = 10;
QPointer<BalloonTip> g_current;
} // namespace

void BalloonTip::show(const QString &title, const QString &text, Icon icon, const QPoint &anchor)
{
    dismiss();
    auto *tip = new BalloonTip(title, text, icon, anchor);
    g_current = tip;
    tip->QWidget::show();
}

void BalloonTip::dismiss()
{
    if (g_current)
        g_current->deleteLater();
}

BalloonTip::BalloonTip(const QString &title, const QString &text, Icon icon, const QPoint &anchor)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), title_(title), text_(text), icon_(icon)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("balloon");
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(font()), fb(bold);
    const QRect textBox = fm.boundingRect(QRect(0, 0, 320, 1000), Qt::TextWordWrap, text_);
    const int w = std::max(fb.horizontalAdvance(title_) + 28, textBox.width()) + 2 * kPad;
    const int h = fb.height() + 6 + textBox.height() + 2 * kPad + kArrow;
    resize(w, h);
    // Point down at the anchor from below it, kept on the screen.
    QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                    : QRect(0, 0, 1920, 1080);
    int x = std::clamp(anchor.x() - 20, screen.left(), std::max(screen.left(), screen.right() - w));
    arrowX_ = std::clamp(anchor.x() - x, 8, w - 8);
    move(x, anchor.y());
    // The bubble's outline cuts the window, so its corners show what lies beneath whether or
    // not a compositor blends translucent windows (without one they would be black).
    setMask(QRegion(outline(0).toFillPolygon().toPolygon()));
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &QWidget::close);
    timer_->start(6000);
}

QPainterPath BalloonTip::outline(qreal inset) const
{
    QPainterPath path;
    path.addRoundedRect(QRectF(inset, kArrow + inset, width() - 2 * inset, height() - kArrow - 2 * inset), 6, 6);
    QPainterPath arrow;
    arrow.moveTo(arrowX_, inset);
    arrow.lineTo(arrowX_ - 8, kArrow + 1);
    arrow.lineTo(arrowX_ + 8, kArrow + 1);
    arrow.closeSubpath();
    return path.united(arrow);
}

void BalloonTip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Drawn without smoothing: the window mask has hard edges and the border must meet them.
    p.fillRect(rect(), QColor(255, 255, 225));
    p.setPen(QPen(QColor(90, 90, 70), 1));
    p.drawPath(outline(0.5));
    const QStyle::StandardPixmap sp =
        icon_ == Icon::Warning ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation;
    style()->standardIcon(sp).paint(&p, QRect(kPad, kArrow + kPad, 16, 16));
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Qt::black);
    const int titleH = QFontMetrics(bold).height();
    p.drawText(QRect(kPad + 22, kArrow + kPad, width(), titleH), Qt::AlignLeft | Qt::AlignVCenter, title_);
    p.setFont(font());
    p.drawText(QRect(kPad, kArrow + kPad + titleH + 6, width() - 2 * kPad, height()),
               Qt::TextWordWrap, text_);
}

void BalloonTip::mousePressEvent(QMouseEvent *) { close(); }

} // namespace widgets
