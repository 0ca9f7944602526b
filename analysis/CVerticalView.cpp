// The vertical profile's plot.
#include "analysis/CVerticalView.h"

#include "analysis/PlotStyle.h"

#include <algorithm>

fw::Point CVerticalView::PointAt(int i, int value, fw::Size client) const
{
    const double xScale = client.width / 256.0;
    return {static_cast<int>(value * xScale), static_cast<int>(m_fScale * i)};
}

fw::Rect CVerticalView::Ground(fw::Size client) const { return {0, 0, client.width, Length()}; }

void CVerticalView::PlaceReadout(int clicked, fw::Size /*client*/)
{
    const int y = clicked + m_nScroll;
    m_strReadout = PixelText(" [y:%d]\n", y);
    m_ptReadout = {1, m_nScroll + 10};
}

int CVerticalView::IndexAt(fw::Point p) const
{
    return m_fScale > 0 ? std::max(0, static_cast<int>(p.y / m_fScale)) : 0;
}

void CVerticalView::DrawHover(fw::Canvas &c, int index, fw::Size client) const
{
    const int y = static_cast<int>(m_fScale * index);
    plot::DrawHover(c, {0, y}, {client.width, y}, {m_ptReadout.x, m_ptReadout.y + 34},
                    PixelText(" [y:%d]\n", index));
}
