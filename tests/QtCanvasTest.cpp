// Views that draw themselves, on Qt: the canvas paints through a back buffer with QPainter at
// the screen's pixel ratio, and the left button reaches the view with the mouse captured.
#include "SketchWindow.h"

#include "framework/qt/QtPlatform.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <memory>

#include <gtest/gtest.h>

namespace {

QColor at(const QImage &img, int x, int y, qreal ratio)
{
    return img.pixelColor(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
}

void send(QWidget *widget, QEvent::Type type, QPointF p)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, p, widget->mapToGlobal(p), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A QApplication on the offscreen platform at a screen scale, for one test.
struct OffscreenApp {
    explicit OffscreenApp(qreal ratio)
    {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(ratio));
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    ~OffscreenApp()
    {
        app.reset();
        qunsetenv("QT_SCALE_FACTOR");
    }
    int argc = 1;
    char name[17] = "molvane_qt_tests";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};

void paintAndCheck(qreal ratio)
{
    OffscreenApp app(ratio);
    fw::QtPlatform platform;
    SketchWindow w;
    ASSERT_TRUE(w.create(sketchSpec()));
    auto *widget = static_cast<QWidget *>(w.nativeHandle());
    widget->show();
    const QImage img = widget->grab().toImage();
    ASSERT_NEAR(img.width(), 80 * ratio, 1);
    // Inside the rectangle: the fill; on its border: the inside-frame pen, both edges inside.
    EXPECT_EQ(at(img, 30, 30, ratio), QColor(255, 255, 150));
    EXPECT_EQ(at(img, 10, 30, ratio), QColor(0, 0, 255));
    EXPECT_EQ(at(img, 49, 30, ratio), QColor(0, 0, 255));
    EXPECT_NE(at(img, 50, 30, ratio), QColor(0, 0, 255));
    // The dotted line shows white dots on the blue background.
    bool white = false, blue = false;
    for (int x = 0; x < 20; ++x) {
        white = white || at(img, x, 5, ratio) == QColor(255, 255, 255);
        blue = blue || at(img, x, 5, ratio) == QColor(0, 0, 255);
    }
    EXPECT_TRUE(white && blue);
    // Press, drag out of the window, release: the view gets points inside its client.
    send(widget, QEvent::MouseButtonPress, {30, 30});
    send(widget, QEvent::MouseMove, {300, 30});
    send(widget, QEvent::MouseButtonRelease, {300, 30});
    ASSERT_EQ(w.pressed.size(), 1u);
    EXPECT_EQ(w.pressed[0].x, 30);
    ASSERT_EQ(w.moved.size(), 1u);
    EXPECT_EQ(w.moved[0].x, 79);
    ASSERT_EQ(w.released.size(), 1u);
    EXPECT_EQ(w.released[0].x, 79);
    w.destroyWindow();
    QApplication::processEvents();  // the pointer moved back inside: let that event pass
}

} // namespace

TEST(QtCanvas, PaintsTheDrawingAndDeliversTheCapturedMouse) { paintAndCheck(1.0); }

TEST(QtCanvas, HighDpiKeepsCoordinatesAndDrawsAtDevicePixels) { paintAndCheck(2.0); }

// A view placed in a dialog whose drawing is wider than the view: the client takes the
// drawing's width, the scroll bar stays below it, and only dragging the box reaches the view.
TEST(QtCanvas, AViewWiderThanItsPlaceScrollsAndHearsOnlyTheDraggedBox)
{
    OffscreenApp app(1.0);
    fw::QtPlatform platform;
    fw::Window dialog;
    fw::WindowSpec outer;
    outer.kind = fw::WindowKind::Dialog;
    outer.rect = {0, 0, 300, 200};
    ASSERT_TRUE(dialog.create(outer));
    SketchWindow view;
    fw::WindowSpec inner = sketchSpec();
    inner.kind = fw::WindowKind::FormChild;
    inner.parent = &dialog;
    inner.rect = {10, 10, 210, 110};
    ASSERT_TRUE(view.create(inner));
    static_cast<QWidget *>(dialog.nativeHandle())->window()->show();
    view.setScrollExtent({1000, 0});
    QApplication::processEvents();
    const int bar = platform.scrollBarExtent();
    ASSERT_GT(bar, 0);
    EXPECT_EQ(view.clientRect().width(), 1000);
    EXPECT_EQ(view.clientRect().height(), 100 - bar);
    EXPECT_EQ(view.visibleRect().width(), 200);

    auto *area = qobject_cast<QScrollArea *>(static_cast<QWidget *>(view.nativeHandle())->parentWidget()->parentWidget());
    ASSERT_NE(area, nullptr);
    QScrollBar *h = area->horizontalScrollBar();
    EXPECT_EQ(h->maximum(), 800);
    h->setValue(100);  // an arrow or the wheel
    QApplication::processEvents();
    EXPECT_TRUE(view.dragged.empty());
    EXPECT_EQ(view.visibleRect().left, 100);
    h->setSliderDown(true);  // the operator drags the box
    h->setSliderPosition(300);
    h->setSliderDown(false);
    QApplication::processEvents();
    ASSERT_EQ(view.dragged.size(), 1u);
    EXPECT_EQ(view.dragged[0].x, 300);
    EXPECT_EQ(view.visibleRect().left, 300);
    view.destroyWindow();
    dialog.destroyWindow();
    QApplication::processEvents();
}
