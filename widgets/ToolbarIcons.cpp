// Toolbar and application icons.
#include "widgets/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace widgets {

namespace {

constexpr int kSize = 48;  // drawn at twice the toolbar size for sharp high-DPI rendering

void magnifier(QPainter &p)
{
    p.setPen(QPen(QColor(40, 60, 90), 4));
    p.setBrush(QColor(220, 235, 250));
    p.drawEllipse(QRectF(6, 6, 26, 26));
    p.setPen(QPen(QColor(40, 60, 90), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 30), QPointF(42, 42));
}

void draw(QPainter &p, const QString &name)
{
    p.setRenderHint(QPainter::Antialiasing);
    if (name == "play") {
        QPainterPath path;
        path.moveTo(12, 6);
        path.lineTo(42, 24);
        path.lineTo(12, 42);
        path.closeSubpath();
        p.fillPath(path, QColor(36, 160, 70));
        p.setPen(QPen(QColor(20, 100, 40), 2));
        p.drawPath(path);
    } else if (name == "stop") {
        p.setPen(QPen(QColor(130, 20, 20), 2));
        p.setBrush(QColor(210, 50, 45));
        p.drawRoundedRect(QRectF(9, 9, 30, 30), 4, 4);
    } else if (name == "bayer") {
        const QColor cells[4] = {QColor(60, 180, 75), QColor(220, 50, 50), QColor(50, 90, 220),
                                 QColor(60, 180, 75)};
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRectF(6 + (i % 2) * 18, 6 + (i / 2) * 18, 17, 17), cells[i]);
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(6, 6, 36, 36));
    } else if (name == "control") {
        p.setPen(QPen(QColor(70, 70, 80), 3, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(8, 12 + i * 12), QPointF(40, 12 + i * 12));
        p.setPen(QPen(QColor(30, 30, 40), 2));
        p.setBrush(QColor(240, 170, 40));
        const int knobs[3] = {16, 32, 22};
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(knobs[i], 12 + i * 12), 5, 5);
    } else if (name == "zoom-in" || name == "zoom-out") {
        magnifier(p);
        p.setPen(QPen(QColor(40, 60, 90), 4));
        p.drawLine(QPointF(12, 19), QPointF(26, 19));
        if (name == "zoom-in")
            p.drawLine(QPointF(19, 12), QPointF(19, 26));
    } else if (name == "zoom-100") {
        p.setPen(QColor(40, 60, 90));
        QFont f = p.font();
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, "1:1");
    } else if (name == "fit") {
        p.setPen(QPen(QColor(40, 60, 90), 3));
        p.setBrush(QColor(220, 235, 250));
        p.drawRect(QRectF(10, 12, 28, 24));
        p.setPen(QPen(QColor(40, 60, 90), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 24), QPointF(9, 24));
        p.drawLine(QPointF(39, 24), QPointF(45, 24));
        p.drawLine(QPointF(24, 4), QPointF(24, 11));
        p.drawLine(QPointF(24, 37), QPointF(24, 44));
    } else if (name == "full-screen") {
        p.setPen(QPen(QColor(40, 60, 90), 4, Qt::SolidLine, Qt::SquareCap));
        const QPointF corners[4][3] = {{{6, 16}, {6, 6}, {16, 6}},
                                       {{32, 6}, {42, 6}, {42, 16}},
                                       {{42, 32}, {42, 42}, {32, 42}},
                                       {{16, 42}, {6, 42}, {6, 32}}};
        for (const auto &c : corners)
            p.drawPolyline(c, 3);
    } else if (name == "camera") {
        p.setPen(QPen(QColor(30, 40, 60), 2));
        p.setBrush(QColor(60, 80, 120));
        p.drawRoundedRect(QRectF(4, 14, 40, 26), 4, 4);
        p.drawRect(QRectF(14, 8, 14, 7));
        p.setBrush(QColor(180, 210, 240));
        p.drawEllipse(QPointF(24, 27), 9, 9);
        p.setBrush(QColor(30, 40, 60));
        p.drawEllipse(QPointF(24, 27), 4, 4);
    }
}

QIcon drawn(const QString &name)
{
    QPixmap pix(kSize, kSize);
    pix.fill(Qt::transparent);
    {
        QPainter p(&pix);
        draw(p, name);
    }
    return QIcon(pix);
}

} // namespace

QIcon toolbarIcon(const QString &name) { return drawn(name); }

QIcon applicationIcon() { return drawn("camera"); }

} // namespace widgets
