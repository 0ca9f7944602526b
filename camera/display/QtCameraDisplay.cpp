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

namespace {

// Converts and shrinks the frame to `size` (its size on screen before rotation), then mirrors,
// flips and turns it as the display does: mirrored first, then turned clockwise.
void prepareForScreen(const FrameBuffer &f, const ImageSettings &s, int rotation, QSize size,
                      DisplayWidget::Prepared &out)
{
    const int flipCode = s.mirror && s.flip ? -1 : s.mirror ? 1 : s.flip ? 0 : 2;
    const bool flipped = flipCode != 2;
    const bool turned = rotation == 90 || rotation == 180 || rotation == 270;
    cv::Mat &converted = flipped || turned ? out.work : out.bgra;
    convertForDisplay(f, s, cv::Size(size.width(), size.height()), converted);
    if (flipped)
        cv::flip(converted, turned ? out.turned : out.bgra, flipCode);
    if (turned)
        cv::rotate(flipped ? out.turned : converted, out.bgra,
                   rotation == 90 ? cv::ROTATE_90_CLOCKWISE
                                  : rotation == 180 ? cv::ROTATE_180 : cv::ROTATE_90_COUNTERCLOCKWISE);
    out.image = QImage(out.bgra.data, out.bgra.cols, out.bgra.rows, static_cast<int>(out.bgra.step),
                       QImage::Format_RGB32);
}

} // namespace

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
    connect(paintTimer_, &QTimer::timeout, this, [this] { prepareFrame(); });
    sinceLastPrepare_.start();
}

void DisplayWidget::frameArrived() { requestPaint(); }

void DisplayWidget::settingsChanged()
{
    ++settingsChanges_;
    updateScrollBars();
    requestPaint();
    viewport()->update();
}

bool DisplayWidget::onScreen() const { return isVisible() && !viewport()->visibleRegion().isEmpty(); }

void DisplayWidget::requestPaint()
{
    // At most one frame per screen refresh, however fast frames come.
    if (!onScreen() || paintTimer_->isActive())
        return;
    const qint64 wait = refreshMs_ - sinceLastPrepare_.elapsed();
    paintTimer_->start(static_cast<int>(std::max<qint64>(0, wait)));
}

void DisplayWidget::prepareFrame()
{
    if (preparing_) {
        frameWaiting_ = true;  // sent when the worker is done
        return;
    }
    std::shared_ptr<const FrameBuffer> frame = camera_ ? camera_->lendCurrentFrame() : nullptr;
    if (!frame) {
        viewport()->update();  // "No image"
        return;
    }
    if (QSize(frame->width, frame->height) != frameSize_) {  // the first frame, or a new format
        frameSize_ = QSize(frame->width, frame->height);
        updateScrollBars();
    }
    const Key key{camera_->framesDelivered(), paintedSize(*frame), settingsChanges_};
    if (key == submitted_ && shown_)
        return;  // already on screen as it is
    submitted_ = key;
    preparing_ = true;
    sinceLastPrepare_.restart();
    std::shared_ptr<Prepared> out = spare_ ? std::move(spare_) : std::make_shared<Prepared>();
    worker_.submit([this, frame, out, settings = camera_->imageSettings(), rotation = camera_->rotation(),
                    size = key.size] {
        prepareForScreen(*frame, settings, rotation, size, *out);
        QMetaObject::invokeMethod(this, [this, out] { imageReady(out); }, Qt::QueuedConnection);
    });
}

void DisplayWidget::imageReady(std::shared_ptr<Prepared> ready)
{
    preparing_ = false;
    ++prepared_;
    spare_ = std::move(shown_);
    shown_ = std::move(ready);
    viewport()->update();
    if (frameWaiting_) {
        frameWaiting_ = false;
        requestPaint();
    }
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

QRect DisplayWidget::imageRect() const
{
    const QSize shown = shownSize();
    const QSize port = viewport()->size();
    // Whole pixels, so that an image already at its size on screen is painted as a plain copy.
    const int ox = shown.width() < port.width() ? (port.width() - shown.width()) / 2
                                                : -horizontalScrollBar()->value();
    const int oy = shown.height() < port.height() ? (port.height() - shown.height()) / 2
                                                  : -verticalScrollBar()->value();
    return QRect(QPoint(ox, oy), shown);
}

QTransform DisplayWidget::imageTransform(QSize source) const
{
    const QRect shown = imageRect();
    const bool turned = camera_->rotation() == 90 || camera_->rotation() == 270;
    const double sx = shown.width() / double(turned ? source.height() : source.width());
    const double sy = shown.height() / double(turned ? source.width() : source.height());
    const ImageSettings &s = camera_->imageSettings();
    QTransform t;
    t.translate(shown.x() + shown.width() / 2.0, shown.y() + shown.height() / 2.0);
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

void DisplayWidget::updateScrollBars()
{
    const QSize shown = shownSize();
    const QSize port = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, shown.width() - port.width()));
    verticalScrollBar()->setRange(0, std::max(0, shown.height() - port.height()));
    horizontalScrollBar()->setPageStep(port.width());
    verticalScrollBar()->setPageStep(port.height());
}

void DisplayWidget::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    requestPaint();  // frames that came while hidden were not prepared
}

void DisplayWidget::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    requestPaint();
}

void DisplayWidget::scrollContentsBy(int, int) { viewport()->update(); }

void DisplayWidget::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    const QColor background(48, 50, 54);
    if (!shown_ || !camera_ || !camera_->currentFrame()) {
        p.fillRect(viewport()->rect(), background);
        if (!camera_ || !camera_->currentFrame()) {
            p.setPen(QColor(170, 170, 170));
            p.drawText(viewport()->rect(), Qt::AlignCenter, tr("No image: press Play"));
        }
        return;
    }
    const QRect target = imageRect();
    for (const QRect &margin : QRegion(viewport()->rect()).subtracted(target))
        p.fillRect(margin, background);
    // A shrunk frame is already averaged to its size on screen and is copied one to one; an
    // enlarged one is drawn without smoothing so its pixels stay visible.
    if (shown_->image.size() == target.size()) {
        p.drawImage(target.topLeft(), shown_->image);
    } else {
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(target, shown_->image);
    }
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
