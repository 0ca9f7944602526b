// The component's own window on Qt: paints the latest frame scaled, rotated and mirrored as the
// component's settings say, reports the mouse in image pixels, and goes full screen.
#pragma once

#include "camera/CMolvane.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTransform>

#include <opencv2/core.hpp>

class QTimer;

namespace cam {

class DisplayWidget : public QAbstractScrollArea {
public:
    DisplayWidget(CMolvane &camera, QWidget *parent);
    void detach() { camera_ = nullptr; }
    // A new frame: painted at the next screen refresh at the latest (latest frame wins).
    void frameArrived();
    void settingsChanged();
    void setFullScreen(bool on);
    uint64_t paintedFrames() const { return painted_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QSize shownSize() const;  // the image's size on screen, rotation and zoom applied
    // Maps an image of size `source` (the frame, or the frame as converted for painting) to
    // the viewport.
    QTransform imageTransform(QSize source) const;
    // The frame's size on screen before rotation: what a shrunk frame is averaged down to.
    QSize paintedSize(const FrameBuffer &f) const;
    void prepareImage(const FrameBuffer &f);
    void updateScrollBars();
    void requestPaint();
    bool toImage(const QPoint &widgetPoint, int &x, int &y) const;
    void drawStatistics(QPainter &p);

    CMolvane *camera_;
    cv::Mat bgra_;  // the converted frame at its size on screen at most, reused
    QImage image_;
    uint64_t convertedNumber_ = ~0ull;
    QSize preparedSize_;
    bool settingsDirty_ = true;
    uint64_t painted_ = 0;
    QElapsedTimer sinceLastPaint_;
    QTimer *paintTimer_;
    int refreshMs_ = 16;
    QWidget *homeParent_ = nullptr;
    QRect homeGeometry_;
};

// The CameraDisplay a component owns; the widget itself belongs to the parent window.
class QtCameraDisplay : public CameraDisplay {
public:
    QtCameraDisplay(CMolvane &camera, QWidget *parent, const ComponentRect &rect);
    ~QtCameraDisplay() override;

    void frameArrived() override;
    void settingsChanged() override;
    void setFullScreen(bool on) override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    void move(const ComponentRect &rect) override;
    DisplayWidget *widget() const { return widget_; }

private:
    QPointer<DisplayWidget> widget_;
};


} // namespace cam
