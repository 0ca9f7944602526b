// The component's own window on Qt: paints the latest frame scaled, rotated and mirrored as the
// component's settings say, reports the mouse in image pixels, and goes full screen.
// Converting, shrinking and turning a frame happen on a worker thread of the window's own, at
// most once per screen refresh; the user-interface thread only hands the frame over and copies
// the finished image to the screen.
#pragma once

#include "camera/CMolvane.h"
#include "camera/LatestWorker.h"

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
    // A new frame: painted at the next screen refresh at the latest (latest frame wins); a
    // hidden window does no work for it.
    void frameArrived();
    void settingsChanged();
    void setFullScreen(bool on);
    uint64_t paintedFrames() const { return painted_; }
    uint64_t preparedFrames() const { return prepared_; }

    // A frame made ready for the screen: converted, shrunk to its size on screen, turned and
    // mirrored, so painting it is a plain copy.
    struct Prepared {
        cv::Mat bgra, work, turned;  // kept from frame to frame: no allocation once sized
        QImage image;                // shares bgra's pixels
    };

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QSize shownSize() const;  // the image's size on screen, rotation and zoom applied
    // Where the image sits in the viewport: centred when it fits, scrolled when it does not.
    QRect imageRect() const;
    // Maps the frame to the viewport (for the mouse).
    QTransform imageTransform(QSize source) const;
    // The frame's size on screen before rotation: what a shrunk frame is averaged down to.
    QSize paintedSize(const FrameBuffer &f) const;
    bool onScreen() const;
    void updateScrollBars();
    void requestPaint();
    // Hands the current frame to the worker unless it is already shown as it is now.
    void prepareFrame();
    void imageReady(std::shared_ptr<Prepared> ready);
    bool toImage(const QPoint &widgetPoint, int &x, int &y) const;
    void drawStatistics(QPainter &p);

    CMolvane *camera_;
    std::shared_ptr<Prepared> shown_;  // what paint copies to the screen
    std::shared_ptr<Prepared> spare_;  // the one before, for the next frame to be written into
    // What was last handed to the worker: frames delivered, size before rotation, settings change.
    struct Key {
        uint64_t number = ~0ull;
        QSize size;
        uint64_t settings = 0;
        bool operator==(const Key &o) const
        {
            return number == o.number && size == o.size && settings == o.settings;
        }
    };
    Key submitted_;
    QSize frameSize_;  // of the last frame handed to the worker
    uint64_t settingsChanges_ = 0;
    bool preparing_ = false;     // a frame is with the worker
    bool frameWaiting_ = false;  // a newer frame came meanwhile
    uint64_t painted_ = 0;
    uint64_t prepared_ = 0;
    QElapsedTimer sinceLastPrepare_;
    QTimer *paintTimer_;
    int refreshMs_ = 16;
    QWidget *homeParent_ = nullptr;
    QRect homeGeometry_;
    LatestWorker worker_{5};  // last: it ends before what its jobs post to
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
