// The knee LUT graph of the LUT page: the curve through the four knee points over a grid, drawn
// with y growing upward; the mouse picks a point within 200 LUT units and drags it.
#pragma once

#include "framework/Canvas.h"
#include "framework/Window.h"

class CLUTDlg;

class CKneeLUTView : public fw::Window {
public:
    static constexpr int kSize = 273;        // pixels square
    static constexpr int kUnitsPerPixel = 15;
    static constexpr int kPickRange = 200;   // LUT units
    static constexpr int kLeft = 75, kTop = 57;

    explicit CKneeLUTView(CLUTDlg &page);
    ~CKneeLUTView() override;
    bool Create();

    // LUT coordinates of a graph pixel.
    static fw::Point ToLut(fw::Point pixel);
    // The first point (0 to 3) within the pick range of a LUT position, or -1.
    int PointNear(fw::Point lut) const;
    int selected() const { return m_nSelected; }
    bool dragging() const { return m_bDragging; }

    bool onMouseActivate() override { return false; }
    void onPaint(fw::Canvas &canvas) override;
    void onLButtonDown(fw::Point p) override;
    void onMouseMove(fw::Point p) override;
    void onLButtonUp(fw::Point p) override;

private:
    void DrawGrid(fw::Canvas &canvas) const;
    static fw::Point Device(int x, int y) { return {x, kSize - y}; }

    CLUTDlg &m_page;
    bool m_bDragging = false;
    int m_nSelected = -1;
};
