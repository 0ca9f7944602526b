// The horizontal profile's plot.
#include "analysis/CHorizonView.h"

#include "analysis/PlotStyle.h"

#include <algorithm>

fw::Point CHorizonView::PointAt(int i, int value, fw::Size client) const
{
    const double yScale = client.height * 0.00390625;
    const int yMax = client.height - 1;
    return {static_cast<int>(m_fScale * i), static_cast<int>(yMax - value * yScale)};
}

fw::Rect CHorizonView::Ground(fw::Size client) const { return {0, 0, Length(), client.height}; }

void CHorizonView::PlaceReadout(int clicked, fw::Size client)
{
    const int x = m_nScroll + clicked;
    m_strReadout = PixelText("[x:%d]", x);
    m_ptReadout = {m_nScroll + client.width - 190, 10};
}

int CHorizonView::IndexAt(fw::Point p) const
{
    return m_fScale > 0 ? std::max(0, static_cast<int>(p.x / m_fScale)) : 0;
}

void CHorizonView::DrawHover(fw::Canvas &c, int index, fw::Size client) const
{
    const int x = static_cast<int>(m_fScale * index);
    plot::DrawHover(c, {x, 0}, {x, client.height}, {m_ptReadout.x, m_ptReadout.y + 16},
                    PixelText("[x:%d]", index));
}
