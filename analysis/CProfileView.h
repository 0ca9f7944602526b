// The plot of a line profile viewer: the values of each pixel along one image line as one grey
// or three colour curves, the read-out of the clicked pixel and of the pixel under the pointer.
// The horizontal and the vertical plots are this design turned by 90 degrees.
#pragma once

#include "analysis/FrameAnalysis.h"
#include "analysis/PlotStyle.h"
#include "framework/Canvas.h"
#include "framework/Window.h"

#include <string>
#include <vector>

class CProfileDlg;

class CProfileView : public fw::Window {
public:
    CProfileView(CProfileDlg &dlg, fw::Rect rect);
    ~CProfileView() override;
    bool Create();

    void onInitialUpdate() override;
    // The pixels of the line from the frame feed; `pixels` holds blue, green, red of each.
    void Update(const std::vector<uint8_t> &pixels, bool colour, fw::Point clicked);
    void onPaint(fw::Canvas &canvas) override;
    // The scroll box dragged: the read-out moves with it.
    void onScrollDrag(fw::Point position) override;
    void onMouseMove(fw::Point p) override;
    void onMouseLeave() override;
    void onSize(int width, int height) override;
    bool onMouseActivate() override { return false; }

    const std::vector<plot::Curve> &curves() const { return m_curves; }
    const std::string &readout() const { return m_strReadout; }
    fw::Point readoutAt() const { return m_ptReadout; }

    float m_fScale = 1.0f;  // position-axis pixels per image pixel
    int m_nScroll = 0;      // P or Q: where the scroll box was last dragged to; places the read-out

protected:
    int Length() const { return static_cast<int>(m_pixels.size() / 3); }
    // The byte of pixel i; channel 0 blue, 1 green, 2 red.
    int Value(int i, int channel) const { return m_pixels[static_cast<size_t>(i) * 3 + channel]; }
    // The pixel's colour read-out with the given position format ("[x:%d]", " [y:%d]\n").
    std::string PixelText(const char *positionFormat, int i) const;

private:
    // Where the turned designs differ.
    virtual fw::Point PointAt(int i, int value, fw::Size client) const = 0;
    virtual fw::Rect Ground(fw::Size client) const = 0;
    virtual void PlaceReadout(int clicked, fw::Size client) = 0;
    virtual int IndexAt(fw::Point p) const = 0;
    virtual void DrawHover(fw::Canvas &c, int index, fw::Size client) const = 0;
    // The coordinate along the line: x for a row, y for a column.
    virtual int Along(fw::Point p) const = 0;
    // The client the drawn line needs: `drawn` pixels along the line.
    virtual fw::Size Extent(int drawn) const = 0;

    void BuildCurves();
    void DrawShownCurves(fw::Canvas &c);
    void Redraw();

    CProfileDlg &m_dlg;
    fw::Rect m_rect;
    std::vector<uint8_t> m_pixels;
    bool m_bColour = false;
    fw::Point m_ptClicked;
    bool m_bDrawn = false;  // before the first line the plot shows the button face
    bool m_bCurvesStale = false;
    std::vector<plot::Curve> m_curves;
    std::vector<fw::Point> m_shownPoints;  // the part of a curve in the window, kept between paints
    fw::Rect m_rcGround;

protected:
    std::string m_strReadout;
    fw::Point m_ptReadout;
    int m_nHover = -1;
};
