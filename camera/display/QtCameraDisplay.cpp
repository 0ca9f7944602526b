// The component's own window on Qt.
#include "camera/display/QtCameraDisplay.h"

#include "camera/display/QtDisplayInstall.h"
#include "camera/imaging/FrameConverter.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <cmath>

namespace cam {

DisplayWidget::DisplayWidget(CMolvane &camera, QWidget *parent)
    : QAbstractScrollArea(parent), camera_(&camera), paintTimer_(new QTimer(this))
{
    setObjectName("cameraDisplay");
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    if (QScreen *s = QGuiApplication::primaryScreen())
        refreshMs_ = std::max(4, static_cast<int>(1000.0 / std::max(30.0, s->refreshRate())));
    paintTimer_->setSingleShot(true);
    connect(paintTimer_, &QTimer::timeout, this, [this] { viewport()->update(); });
    sinceLastPaint_.start();
}

void DisplayWidget::frameArrived() { requestPaint(); }

void DisplayWidget::settingsChanged()
{
    settingsDirty_ = true;
    updateScrollBars();
    viewport()->update();
}

void DisplayWidget::requestPaint()
{
    // At most one paint per screen refresh, however fast frames come.
    if (paintTimer_->isActive())
        return;
    const qint64 wait = refreshMs_ - sinceLastPaint_.elapsed();
    paintTimer_->start(static_cast<int>(std::max<qint64>(0, wait)));
}

QSize DisplayWidget::shownSize() const
{
    const FrameBuffer *f = camera_ ? camera_->currentFrame() : nullptr;
    if (!f)
        return {};
    QSizeF size(f->width, f->height);
    if (camera_->rotation() == 90 || camera_->rotation() == 270)
        size.transpose();
    const float zoom = camera_->zoom();
    if (zoom <= 0.0f)
        return size.scaled(viewport()->size(), Qt::KeepAspectRatio).toSize();
    return (size * zoom).toSize();
}

QTransform DisplayWidget::imageTransform(QSize source) const
{
    const QSize shown = shownSize();
    const QSize port = viewport()->size();
    // Centred when it fits, scrolled when it does not; whole pixels, so that an image already
    // at its size on screen is painted as a plain copy.
    const int ox = shown.width() < port.width() ? (port.width() - shown.width()) / 2
                                                : -horizontalScrollBar()->value();
    const int oy = shown.height() < port.height() ? (port.height() - shown.height()) / 2
                                                  : -verticalScrollBar()->value();
    const bool turned = camera_->rotation() == 90 || camera_->rotation() == 270;
    const double sx = shown.width() / double(turned ? source.height() : source.width());
    const double sy = shown.height() / double(turned ? source.width() : source.height());
    const ImageSettings &s = camera_->imageSettings();
    QTransform t;
    t.translate(ox + shown.width() / 2.0, oy + shown.height() / 2.0);
    t.rotate(camera_->rotation());
    t.scale(turned ? sy : sx, turned ? sx : sy);
    t.scale(s.mirror ? -1 : 1, s.flip ? -1 : 1);
    t.translate(-source.width() / 2.0, -source.height() / 2.0);
    return t;
}

QSize DisplayWidget::paintedSize(const FrameBuffer &f) const
{
    QSize shown = shownSize();
    if (camera_->rotation() == 90 || camera_->rotation() == 270)
        shown.transpose();
    return shown.boundedTo(QSize(f.width, f.height)).expandedTo(QSize(1, 1));
}

void DisplayWidget::prepareImage(const FrameBuffer &f)
{
    // Only the frame being painted is converted, and shrunk when it is shown smaller.
    preparedSize_ = paintedSize(f);
    convertForDisplay(f, camera_->imageSettings(), cv::Size(preparedSize_.width(), preparedSize_.height()),
                      bgra_);
    image_ = QImage(bgra_.data, bgra_.cols, bgra_.rows, static_cast<int>(bgra_.step),
                    QImage::Format_RGB32);
    convertedNumber_ = f.number;
}

void DisplayWidget::updateScrollBars()
{
    const QSize shown = shownSize();
    const QSize port = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, shown.width() - port.width()));
    verticalScrollBar()->setRange(0, std::max(0, shown.height() - port.height()));
    horizontalScrollBar()->setPageStep(port.width());
    verticalScrollBar()->setPageStep(port.height());
}

void DisplayWidget::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void DisplayWidget::scrollContentsBy(int, int) { viewport()->update(); }

void DisplayWidget::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), QColor(48, 50, 54));
    sinceLastPaint_.restart();
    const FrameBuffer *f = camera_ ? camera_->currentFrame() : nullptr;
    if (!f) {
        p.setPen(QColor(170, 170, 170));
        p.drawText(viewport()->rect(), Qt::AlignCenter, tr("No image: press Play"));
        return;
    }
    if (f->number != convertedNumber_ || settingsDirty_ || paintedSize(*f) != preparedSize_) {
        prepareImage(*f);
        if (settingsDirty_)
            updateScrollBars();
        settingsDirty_ = false;
    }
    // A shrunk frame is already averaged to its size on screen and is drawn one to one;
    // an enlarged one is drawn without smoothing so its pixels stay visible.
    p.setTransform(imageTransform(image_.size()));
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QPoint(0, 0), image_);
    p.resetTransform();
    ++painted_;
    if (camera_->statisticsOverlay())
        drawStatistics(p);
}

void DisplayWidget::drawStatistics(QPainter &p)
{
    const FrameBuffer *f = camera_->currentFrame();
    const QString text = QString("%1 x %2  frame %3  delivered %4  dropped %5")
                             .arg(f->width)
                             .arg(f->height)
                             .arg(f->number)
                             .arg(camera_->framesDelivered())
                             .arg(camera_->framesDropped());
    const QRect box = p.fontMetrics().boundingRect(text).adjusted(-6, -3, 6, 3).translated(10, 22);
    p.fillRect(box, QColor(0, 0, 0, 160));
    p.setPen(QColor(120, 255, 120));
    p.drawText(box, Qt::AlignCenter, text);
}

bool DisplayWidget::toImage(const QPoint &widgetPoint, int &x, int &y) const
{
    const FrameBuffer *f = camera_ ? camera_->currentFrame() : nullptr;
    if (!f)
        return false;
    bool ok = false;
    const QPointF ip = imageTransform(QSize(f->width, f->height)).inverted(&ok).map(QPointF(widgetPoint));
    x = static_cast<int>(std::floor(ip.x()));
    y = static_cast<int>(std::floor(ip.y()));
    return ok && x >= 0 && y >= 0 && x < f->width && y < f->height;
}

void DisplayWidget::mousePressEvent(QMouseEvent *event)
{
    int x, y;
    toImage(event->pos(), x, y);
    if (camera_ && camera_->currentFrame())
        camera_->reportMouse(EventId::ImageMouseDown, x, y);
    QAbstractScrollArea::mousePressEvent(event);
}

void DisplayWidget::mouseMoveEvent(QMouseEvent *event)
{
    int x, y;
    if (toImage(event->pos(), x, y))
        camera_->reportMouse(EventId::ImageMouseMove, x, y);
}

void DisplayWidget::mouseReleaseEvent(QMouseEvent *event)
{
    int x, y;
    toImage(event->pos(), x, y);
    if (camera_ && camera_->currentFrame())
        camera_->reportMouse(EventId::ImageMouseUp, x, y);
}

void DisplayWidget::setFullScreen(bool on)
{
    if (on && !isWindow()) {
        homeParent_ = parentWidget();
        homeGeometry_ = geometry();
        QScreen *screen = homeParent_ ? homeParent_->screen() : QGuiApplication::primaryScreen();
        setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
        setWindowTitle("Molvane");
        // Without a window manager full screen is only a request: cover the screen ourselves.
        if (screen)
            setGeometry(screen->geometry());
        showFullScreen();
        raise();
        activateWindow();
        setFocus();
    } else if (!on && isWindow() && homeParent_) {
        setParent(homeParent_, Qt::Widget);
        setGeometry(homeGeometry_);
        show();
    }
    settingsChanged();
}

QtCameraDisplay::QtCameraDisplay(CMolvane &camera, QWidget *parent, const ComponentRect &rect)
    : widget_(new DisplayWidget(camera, parent))
{
    move(rect);
    widget_->hide();  // created not visible; the view shows it
}

QtCameraDisplay::~QtCameraDisplay()
{
    if (!widget_)
        return;
    widget_->detach();
    widget_->hide();
    widget_->deleteLater();
}

void QtCameraDisplay::frameArrived()
{
    if (widget_)
        widget_->frameArrived();
}

void QtCameraDisplay::settingsChanged()
{
    if (widget_)
        widget_->settingsChanged();
}

void QtCameraDisplay::setFullScreen(bool on)
{
    if (widget_)
        widget_->setFullScreen(on);
}

void QtCameraDisplay::setVisible(bool visible)
{
    if (widget_)
        widget_->setVisible(visible);
}

bool QtCameraDisplay::isVisible() const { return widget_ && !widget_->isHidden(); }

void QtCameraDisplay::move(const ComponentRect &r)
{
    if (widget_ && !widget_->isWindow())
        widget_->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void installQtDisplay()
{
    CMolvane::setDisplayFactory([](CMolvane &camera, void *parent, const ComponentRect &rect) {
        return std::make_unique<QtCameraDisplay>(camera, static_cast<QWidget *>(parent), rect);
    });
}

} // namespace cam
