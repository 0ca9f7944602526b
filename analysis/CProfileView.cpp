// The plot of a line profile viewer.
#include "analysis/CProfileView.h"

#include "analysis/CProfileDlg.h"
#include "analysis/PlotStyle.h"

#include <algorithm>
#include <cstdio>

CProfileView::CProfileView(CProfileDlg &dlg, fw::Rect rect) : m_dlg(dlg), m_rect(rect) {}

CProfileView::~CProfileView() { destroyWindow(); }

bool CProfileView::Create()
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::FormChild;
    params.parent = &m_dlg;
    params.rect = m_rect;
    params.drawsItself = true;
    params.minPaintInterval = plot::kPaintInterval;
    params.coversClient = true;
    return create(params);
}

void CProfileView::onInitialUpdate()
{
    m_bDrawn = false;
    m_curves.clear();
    invalidate();
}

std::string CProfileView::PixelText(const char *positionFormat, int i) const
{
    if (Length() == 0)
        return {};
    // A position past the line shows its last pixel.
    const int at = std::clamp(i, 0, Length() - 1);
    char text[80];
    std::snprintf(text, sizeof text, positionFormat, i);
    std::string out = text;
    std::snprintf(text, sizeof text, " R%d G%d B%d", Value(at, 2), Value(at, 1), Value(at, 0));
    return out + text;
}

void CProfileView::Update(const std::vector<uint8_t> &pixels, bool colour, fw::Point clicked)
{
    m_pixels = pixels;
    m_bColour = colour;
    m_ptClicked = clicked;
    m_bDrawn = true;
    Redraw();
    showWindow(true);
}

void CProfileView::onScrollDrag(fw::Point position)
{
    m_nScroll = Along(position);
    if (m_bDrawn)
        Redraw();
}

void CProfileView::onSize(int, int)
{
    m_bCurvesStale = true;  // the points and the ground follow the client's size
}

void CProfileView::Redraw()
{
    // The whole line at its scale; a window shorter than that scrolls along it.
    setScrollExtent(Extent(static_cast<int>(Length() * m_fScale)));
    m_bCurvesStale = true;  // built at the next paint: the feed may come more often than paints
    const fw::Rect shown = visibleRect();
    PlaceReadout(Along(m_ptClicked), {shown.width(), shown.height()});
    invalidate();
}

void CProfileView::BuildCurves()
{
    const fw::Rect client = clientRect();
    const fw::Size size{client.width(), client.height()};
    m_rcGround = Ground(size);
    // A grey frame is one black curve of the first byte; a colour frame is blue, green, red.
    const std::vector<std::pair<int, fw::Color>> channels =
        m_bColour ? std::vector<std::pair<int, fw::Color>>{{0, plot::kBlue}, {1, plot::kGreen}, {2, plot::kRed}}
                  : std::vector<std::pair<int, fw::Color>>{{0, plot::kBlack}};
    // The curves' points are kept from line to line: no allocation once they are long enough.
    m_curves.resize(channels.size());
    for (size_t k = 0; k < channels.size(); ++k) {
        const auto &[channel, colour] = channels[k];
        plot::Curve &curve = m_curves[k];
        curve.pen = fw::Pen{colour, 1, fw::PenStyle::Solid, false};
        curve.points.resize(static_cast<size_t>(Length()));
        for (int i = 0; i < Length(); ++i)
            curve.points[static_cast<size_t>(i)] = PointAt(i, Value(i, channel), size);
    }
}

void CProfileView::onPaint(fw::Canvas &c)
{
    const fw::Rect client = clientRect();
    if (!m_bDrawn) {
        c.fillRect(client, fw::Brush{plot::kButtonFace, false});
        return;
    }
    if (m_bCurvesStale) {
        BuildCurves();
        m_bCurvesStale = false;
    }
    // The ground of the plot, and the button face beside and below it.
    const fw::Brush face{plot::kButtonFace, false};
    c.fillRect({m_rcGround.right, 0, client.right, client.bottom}, face);
    c.fillRect({0, m_rcGround.bottom, std::min(m_rcGround.right, client.right), client.bottom}, face);
    c.fillRect(m_rcGround, fw::Brush{plot::kPlotGround, false});
    DrawShownCurves(c);
    plot::Label(c, m_ptReadout, m_strReadout, plot::kBlack);
    if (m_nHover >= 0 && Length() > 0)
        DrawHover(c, std::min(m_nHover, Length() - 1), {client.width(), client.height()});
}

// A line longer than the window is scrolled along: only its points in the window, and one
// beyond each edge so the curve runs on out of sight, are drawn.
void CProfileView::DrawShownCurves(fw::Canvas &c)
{
    const fw::Rect shown = visibleRect();
    const int first = std::max(0, IndexAt({shown.left, shown.top}) - 1);
    const int end = std::min(Length(), IndexAt({shown.right, shown.bottom}) + 2);
    for (const plot::Curve &curve : m_curves) {
        if (first >= end || static_cast<size_t>(end) > curve.points.size())
            continue;
        m_shownPoints.assign(curve.points.begin() + first, curve.points.begin() + end);
        c.setPen(curve.pen);
        c.polyline(m_shownPoints);
    }
}

void CProfileView::onMouseMove(fw::Point p)
{
    m_nHover = IndexAt(p);
    invalidate();
}

void CProfileView::onMouseLeave()
{
    m_nHover = -1;
    invalidate();
}
