// The ROI rectangle view: a 160 x 120 picture of the sensor in the ROI page with the grid of the
// region's step and the region; the mouse draws a new region or drags it, moving the page's
// fields only (the page's "Set Area" writes the camera).
#pragma once

#include "framework/Canvas.h"
#include "framework/Window.h"

class CROIDlg;

class CRectView : public fw::Window {
public:
    enum Edge { Left = 1, Top = 2, Right = 3, Bottom = 4 };
    static constexpr int kWidth = 160, kHeight = 120;

    explicit CRectView(CROIDlg &page);
    ~CRectView() override;
    bool Create();  // a child of the page at (40, 40)

    // Stores a sensor value as one edge of the rectangle, in view pixels.
    void SetEdge(int sensorValue, int edge);
    // Sensor pixels per view pixel, from the page's maxima.
    void InitScale();
    fw::Rect region() const { return m_rc; }
    float scaleX() const { return m_fScaleX; }
    float scaleY() const { return m_fScaleY; }
    bool dragging() const { return m_bDragging; }

    bool onMouseActivate() override { return false; }
    void onPaint(fw::Canvas &canvas) override;
    void onLButtonDown(fw::Point p) override;
    void onMouseMove(fw::Point p) override;
    void onLButtonUp(fw::Point p) override;

private:
    int SensorX(int viewX) const;
    int SensorY(int viewY) const;
    int ViewX(int sensorX) const;
    int ViewY(int sensorY) const;
    void DrawGrid(fw::Canvas &canvas) const;
    void BeginDraw(fw::Point p);
    void BeginMove(fw::Point p);
    void DragMove(fw::Point p);
    void DragDraw(fw::Point p);
    void EndDraw(fw::Point p);
    void EndMove();
    void ClipRegion();

    CROIDlg &m_page;
    float m_fScaleX = 1, m_fScaleY = 1;
    fw::Rect m_rc;  // the region in view pixels
    bool m_bDragging = false;
    int m_nDragMode = 0;  // the page's mode at the press
    fw::Point m_ptOffset;  // moving: press point minus the rectangle's top-left corner
    int m_nSizeX = 0, m_nSizeY = 0;  // moving: the page's sizes at the press
    fw::Point m_ptAnchor;      // drawing: the press point rounded up to the grid, sensor pixels
    fw::Point m_ptAnchorView;  // the same in view pixels
    fw::Point m_ptPress;       // drawing: the press point, sensor pixels
    const fw::Brush m_brush{{255, 255, 150}, false};
    const fw::Pen m_pen{{0, 0, 255}, 2, fw::PenStyle::Solid, true};
};

// The one rectangle view of the process, null while there is none.
extern CRectView *g_pRectView;
