// The events the camera control component fires; delivered on the user-interface thread.
#pragma once

namespace cam {

class CameraEvents {
public:
    virtual ~CameraEvents() = default;
    virtual void ImageReceived(int /*unused*/) {}
    virtual void ImageMouseDown(int /*x*/, int /*y*/) {}
    virtual void ImageMouseMove(int /*x*/, int /*y*/) {}
    virtual void ImageMouseUp(int /*x*/, int /*y*/) {}
    virtual void FrameDropped() {}
    virtual void CameraArrived() {}
    virtual void CameraRemoved(int /*position*/) {}
};

struct ComponentRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Where a component shows its live image; the component tells it what changed.
class CameraDisplay {
public:
    virtual ~CameraDisplay() = default;
    virtual void frameArrived() = 0;       // a new current frame (latest wins)
    virtual void settingsChanged() = 0;    // zoom, rotation, effects, Bayer, overlay
    virtual void setFullScreen(bool on) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void move(const ComponentRect &rect) = 0;  // in the parent window's client area
};

} // namespace cam
