// The ROI rectangle view.
#include "pages/CRectView.h"

#include "framework/Platform.h"
#include "pages/CROIDlg.h"

#include <algorithm>

CRectView *g_pRectView = nullptr;

namespace {

// Grid rounding of a sensor coordinate with the axis unit.
int roundDown(int v, int unit) { return unit > 0 ? v - v % unit : v; }
int roundUp(int v, int unit) { return unit > 0 ? v + (unit - v % unit) : v; }
int roundNearest(int v, int unit)
{
    if (unit <= 0 || v % unit == 0)
        return v;
    return v % unit > unit / 2 ? roundUp(v, unit) : roundDown(v, unit);
}

} // namespace

CRectView::CRectView(CROIDlg &page) : m_page(page) { g_pRectView = this; }

CRectView::~CRectView()
{
    destroyWindow();
    if (g_pRectView == this)
        g_pRectView = nullptr;
}

bool CRectView::Create()
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::FormChild;
    params.parent = &m_page;
    params.rect = {40, 40, 40 + kWidth, 40 + kHeight};
    params.drawsItself = true;
    return create(params);
}

void CRectView::InitScale()
{
    m_fScaleX = m_page.m_nMaxX / static_cast<float>(kWidth);
    m_fScaleY = m_page.m_nMaxY / static_cast<float>(kHeight);
}

int CRectView::SensorX(int viewX) const { return static_cast<int>(viewX * m_fScaleX); }
int CRectView::SensorY(int viewY) const { return static_cast<int>(viewY * m_fScaleY); }
int CRectView::ViewX(int sensorX) const { return m_fScaleX > 0 ? static_cast<int>(sensorX / m_fScaleX) : 0; }
int CRectView::ViewY(int sensorY) const { return m_fScaleY > 0 ? static_cast<int>(sensorY / m_fScaleY) : 0; }

void CRectView::SetEdge(int sensorValue, int edge)
{
    switch (edge) {
    case Left: m_rc.left = ViewX(sensorValue); break;
    case Top: m_rc.top = ViewY(sensorValue); break;
    case Right: m_rc.right = ViewX(sensorValue); break;
    case Bottom: m_rc.bottom = ViewY(sensorValue); break;
    default: break;
    }
}

void CRectView::DrawGrid(fw::Canvas &c) const
{
    if (m_fScaleX <= 0 || m_fScaleY <= 0)
        return;  // no sensor size read yet
    const float stepX = m_page.m_nUnitX / m_fScaleX, stepY = m_page.m_nUnitY / m_fScaleY;
    if (!(stepX > 3.0f && stepY > 3.0f))
        return;  // a grid finer than that would hide the picture
    const fw::Color old = c.setBackground({0, 0, 255});
    c.setPen({{255, 255, 255}, 1, fw::PenStyle::Dot, false});
    for (int k = 1; static_cast<int>(k * stepX) < kWidth; ++k)
        c.line({static_cast<int>(k * stepX), 0}, {static_cast<int>(k * stepX), kHeight});
    for (int k = 1; static_cast<int>(k * stepY) < kHeight; ++k)
        c.line({0, static_cast<int>(k * stepY)}, {kWidth, static_cast<int>(k * stepY)});
    c.setBackground(old);
}

void CRectView::onPaint(fw::Canvas &c)
{
    c.fillRect({0, 0, kWidth, kHeight}, fw::Brush{});
    DrawGrid(c);
    c.fillRect(m_rc, m_brush);
    c.setPen(m_pen);
    c.setBrush(m_brush);
    c.rectangle(m_rc);
}

void CRectView::onLButtonDown(fw::Point p)
{
    captureMouse(true);
    m_nDragMode = m_page.m_nRectMode;
    if (m_nDragMode == 0)
        BeginDraw(p);
    else
        BeginMove(p);
}

void CRectView::BeginDraw(fw::Point p)
{
    const int ux = m_page.m_nUnitX, uy = m_page.m_nUnitY;
    m_ptPress = {SensorX(p.x), SensorY(p.y)};
    const int x = roundDown(m_ptPress.x, ux), y = roundDown(m_ptPress.y, uy);
    m_page.SetStart(x, y);
    m_rc = {ViewX(x), ViewY(y), ViewX(x + ux), ViewY(y + uy)};
    m_ptAnchor = {roundUp(m_ptPress.x, ux), roundUp(m_ptPress.y, uy)};
    m_ptAnchorView = {ViewX(m_ptAnchor.x), ViewY(m_ptAnchor.y)};
    invalidate();
    m_bDragging = true;
}

void CRectView::BeginMove(fw::Point p)
{
    if (!m_rc.contains(p))
        return;
    m_bDragging = true;
    m_ptOffset = {p.x - m_rc.left, p.y - m_rc.top};
    m_nSizeX = m_page.SizeX();
    m_nSizeY = m_page.SizeY();
}

void CRectView::onMouseMove(fw::Point p)
{
    if (!m_bDragging)
        return;
    if (m_nDragMode == 0)
        DragDraw(p);
    else
        DragMove(p);
}

void CRectView::DragMove(fw::Point p)
{
    // The rectangle keeps its size; its right and bottom edges may reach 161 and 121.
    const int w = m_rc.width(), h = m_rc.height();
    const int left = std::clamp(p.x - m_ptOffset.x, 0, std::max(0, kWidth + 1 - w));
    const int top = std::clamp(p.y - m_ptOffset.y, 0, std::max(0, kHeight + 1 - h));
    m_rc = {left, top, left + w, top + h};
    // Against the far border the region ends at the sensor's edge.
    const int x = m_rc.right >= kWidth ? m_page.m_nMaxX - m_nSizeX : SensorX(left);
    const int y = m_rc.bottom >= kHeight ? m_page.m_nMaxY - m_nSizeY : SensorY(top);
    m_page.SetStart(std::max(0, x), std::max(0, y));
    m_page.SetEnd(std::max(0, x) + m_nSizeX, std::max(0, y) + m_nSizeY);
    invalidate();
}

void CRectView::DragDraw(fw::Point p)
{
    m_rc.right = std::clamp(p.x, 0, kWidth);
    m_rc.bottom = std::clamp(p.y, 0, kHeight);
    m_page.SetEnd(SensorX(m_rc.right), SensorY(m_rc.bottom));
    m_page.ShowSizes();
    invalidate();
}

void CRectView::onLButtonUp(fw::Point p)
{
    captureMouse(false);
    if (!m_bDragging)
        return;
    m_bDragging = false;
    if (m_nDragMode == 0)
        EndDraw(p);
    else
        EndMove();
}

void CRectView::EndDraw(fw::Point p)
{
    const int ux = m_page.m_nUnitX, uy = m_page.m_nUnitY;
    const fw::Point release{SensorX(std::clamp(p.x, 0, kWidth)), SensorY(std::clamp(p.y, 0, kHeight))};
    int x0 = m_page.StartX(), y0 = m_page.StartY();
    int x1 = std::min(roundUp(release.x, ux), m_page.m_nMaxX);
    int y1 = std::min(roundUp(release.y, uy), m_page.m_nMaxY);
    // Drawn leftwards or upwards: the region turns round on that axis.
    if (release.x < m_ptPress.x) {
        x0 = roundDown(release.x, ux);
        x1 = m_ptAnchor.x;
    }
    if (release.y < m_ptPress.y) {
        y0 = roundDown(release.y, uy);
        y1 = m_ptAnchor.y;
    }
    m_page.SetStart(x0, y0);
    m_page.SetEnd(x1, y1);
    m_page.ShowSizes();
    m_rc = {ViewX(x0), ViewY(y0), ViewX(x1), ViewY(y1)};
    ClipRegion();
    if (m_page.SizeX() >= 60 && m_page.SizeY() >= 60) {
        invalidate();
        return;
    }
    fw::platform().messageBox(fw::loadString(566), "", fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
    m_page.onInitialUpdate();
}

void CRectView::EndMove()
{
    const int ux = m_page.m_nUnitX, uy = m_page.m_nUnitY;
    const int x0 = roundNearest(m_page.StartX(), ux), y0 = roundNearest(m_page.StartY(), uy);
    const int x1 = roundNearest(m_page.EndX(), ux), y1 = roundNearest(m_page.EndY(), uy);
    m_page.SetStart(x0, y0);
    m_page.SetEnd(x1, y1);
    m_page.ShowSizes();
    m_rc = {ViewX(x0), ViewY(y0), ViewX(x1), ViewY(y1)};
    ClipRegion();
    invalidate();
}

void CRectView::ClipRegion()
{
    m_rc.left = std::clamp(m_rc.left, 0, kWidth);
    m_rc.right = std::clamp(m_rc.right, 0, kWidth);
    m_rc.top = std::clamp(m_rc.top, 0, kHeight);
    m_rc.bottom = std::clamp(m_rc.bottom, 0, kHeight);
}
