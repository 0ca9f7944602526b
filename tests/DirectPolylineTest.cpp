// Polylines written straight into the raster image: the same line Qt would draw, only inside
// the region being painted and at the painter's offset, and left to Qt wherever writing the
// image directly would be wrong.
#include "framework/qt/DirectPolyline.h"
#include "framework/qt/QtCanvas.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <climits>
#include <memory>
#include <set>
#include <utility>

#include <gtest/gtest.h>

namespace {

using Pixels = std::set<std::pair<int, int>>;

struct App {
    App()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    int argc = 1;
    char name[17] = "molvane_qt_tests";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};

constexpr QRgb kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

Pixels pixelsOf(const QImage &img, QRgb colour, QRect within = {})
{
    Pixels out;
    const QRect area = within.isNull() ? img.rect() : within;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixel(x, y) == colour)
                out.insert({x, y});
    return out;
}

// Every pixel of `a` has one of `b` beside it (or on it): the lines differ at most in how a
// pixel between two candidates was rounded.
bool near(const Pixels &a, const Pixels &b)
{
    for (auto [x, y] : a) {
        bool found = false;
        for (int dy = -1; dy <= 1 && !found; ++dy)
            for (int dx = -1; dx <= 1 && !found; ++dx)
                found = b.count({x + dx, y + dy}) > 0;
        if (!found)
            return false;
    }
    return true;
}

QImage blank(QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    QImage img(120, 90, format);
    img.fill(Qt::white);
    return img;
}

// A plot-like line: one-across steps up and down, long steep and shallow runs, a point drawn
// twice, a diagonal, and ends out of the image on both sides.
const std::vector<fw::Point> kLine{{-30, 40}, {0, 10}, {1, 70}, {2, 12}, {3, 12}, {40, 13},
                                   {41, 60}, {41, 60}, {60, 80}, {100, 20}, {101, 21}, {160, 95}};

} // namespace

TEST(DirectPolyline, DrawsQtsLineAtThePaintersOffsetAndClipsAtTheImage)
{
    App app;
    for (QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32}) {
        QImage direct = blank(format), qt = blank(format);
        {
            QPainter p(&direct);
            p.translate(5, 3);
            ASSERT_TRUE(fw::drawPolylineDirect(p, kLine, qRgb(255, 0, 0)));
        }
        {
            QPainter p(&qt);
            p.translate(5, 3);
            p.setPen(QPen(QColor(255, 0, 0), 1));
            QPolygon poly;
            for (const fw::Point &pt : kLine)
                poly << QPoint(pt.x, pt.y);
            p.drawPolyline(poly);
        }
        const Pixels mine = pixelsOf(direct, kRed), theirs = pixelsOf(qt, kRed);
        EXPECT_TRUE(near(mine, theirs));
        EXPECT_TRUE(near(theirs, mine));
        // Qt's stroker overlaps the steps of neighbouring segments a little more.
        EXPECT_NEAR(static_cast<double>(mine.size()), static_cast<double>(theirs.size()), theirs.size() * 0.15);
        // Nothing but the line's colour and the white ground: no other value was written.
        EXPECT_EQ(pixelsOf(direct, kRed).size() + pixelsOf(direct, qRgb(255, 255, 255)).size(),
                  static_cast<size_t>(direct.width() * direct.height()));
        // Every corner inside the image is on the line, shifted by the painter's offset.
        for (const fw::Point &pt : kLine) {
            if (direct.rect().contains(pt.x + 5, pt.y + 3)) {
                EXPECT_EQ(mine.count({pt.x + 5, pt.y + 3}), 1u) << pt.x << "," << pt.y;
            }
        }
    }
}

TEST(DirectPolyline, LeavesToQtWhatItCannotWriteAsIs)
{
    App app;
    QImage img = blank();
    auto refused = [&](auto setUp) {
        QPainter p(&img);
        setUp(p);
        return !fw::drawPolylineDirect(p, kLine, qRgb(255, 0, 0));
    };
    EXPECT_TRUE(refused([](QPainter &p) { p.setClipRect(10, 10, 20, 20); }));
    EXPECT_TRUE(refused([](QPainter &p) { p.scale(2, 2); }));  // as on a high-DPI screen
    EXPECT_TRUE(refused([](QPainter &p) { p.translate(0.5, 0); }));
    EXPECT_TRUE(refused([](QPainter &p) { p.setRenderHint(QPainter::Antialiasing); }));
    EXPECT_TRUE(refused([](QPainter &p) { p.setCompositionMode(QPainter::CompositionMode_Xor); }));
    EXPECT_TRUE(refused([](QPainter &p) { p.setOpacity(0.5); }));
    EXPECT_TRUE(pixelsOf(img, kRed).empty());
    // Far-away points are Qt's to clip, not a walk of millions of pixels.
    {
        QPainter p(&img);
        EXPECT_FALSE(fw::drawPolylineDirect(p, {{0, 0}, {1 << 30, 5}}, qRgb(255, 0, 0)));
        EXPECT_FALSE(fw::drawPolylineDirect(p, {{0, 0}, {5, INT_MIN}}, qRgb(255, 0, 0)));
    }
    // A copy of an image taken while it is painted is not drawn on.
    {
        QImage other = blank();
        QPainter p(&other);
        const QImage copy = other;
        fw::drawPolylineDirect(p, kLine, qRgb(255, 0, 0));
        EXPECT_TRUE(pixelsOf(copy, kRed).empty());
    }
    QImage grey(50, 50, QImage::Format_Grayscale8);
    {
        QPainter p(&grey);
        EXPECT_FALSE(fw::drawPolylineDirect(p, kLine, qRgb(255, 0, 0)));
    }
    EXPECT_TRUE(pixelsOf(img, kRed).empty());
    // Through the canvas a refused line is still drawn, by Qt.
    {
        QPainter p(&img);
        p.setClipRect(0, 0, 60, 90);
        fw::QtCanvas canvas(p, {img.width(), img.height()});
        canvas.setPen({{255, 0, 0}, 1, fw::PenStyle::Solid, false});
        canvas.polyline(kLine);
    }
    EXPECT_FALSE(pixelsOf(img, kRed, {0, 0, 60, 90}).empty());
    EXPECT_TRUE(pixelsOf(img, kRed, {60, 0, 60, 90}).empty());
}

namespace {

// A widget inside another that draws a horizontal and a vertical line through the canvas.
struct LineWidget : QWidget {
    using QWidget::QWidget;
    QColor colour = Qt::red;
    int directPaints = 0;
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const QRgb rgb = colour.rgb() & 0xFFFFFF;
        directPaints += fw::drawPolylineDirect(p, {{0, 30}, {width() - 1, 30}}, rgb);
        fw::drawPolylineDirect(p, {{10, 0}, {10, height() - 1}}, rgb);
    }
};

} // namespace

TEST(DirectPolyline, WritesOnlyTheRepaintedPartOfAWidgetAtItsPlaceInTheWindow)
{
    App app;
    QWidget top;
    top.resize(200, 100);
    auto *child = new LineWidget(&top);
    child->setGeometry(30, 20, 120, 60);
    top.show();
    QApplication::processEvents();
    auto shot = [&] { return top.screen()->grabWindow(top.winId()).toImage().convertToFormat(QImage::Format_RGB32); };
    QImage img = shot();
    ASSERT_GT(child->directPaints, 0) << "the widget's backing store was not written directly";
    EXPECT_EQ(img.pixel(30 + 5, 20 + 30), kRed);
    EXPECT_EQ(img.pixel(30 + 119, 20 + 30), kRed);
    EXPECT_EQ(img.pixel(30 + 10, 20), kRed);
    EXPECT_NE(img.pixel(29, 20 + 30), kRed) << "drawn left of the widget";
    EXPECT_NE(img.pixel(30 + 5, 30), kRed) << "drawn at the window's origin, not the widget's";
    // Only the left half repainted, in blue: the right half keeps its red line.
    child->colour = Qt::blue;
    child->repaint(QRect(0, 0, 60, 60));
    img = shot();
    EXPECT_EQ(img.pixel(30 + 20, 20 + 30), kBlue);
    EXPECT_EQ(img.pixel(30 + 10, 20 + 50), kBlue);
    EXPECT_EQ(img.pixel(30 + 100, 20 + 30), kRed);
    EXPECT_TRUE(pixelsOf(img, kBlue, {30 + 60, 0, 110, 100}).empty());
}
