// The knee LUT graph.
#include "pages/CKneeLUTView.h"

#include "pages/CLUTDlg.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const fw::Color kWhite{255, 255, 255};
const fw::Color kGrey{0x80, 0x80, 0x80};
const fw::Color kBlue{0, 0, 255};

} // namespace

CKneeLUTView::CKneeLUTView(CLUTDlg &page) : m_page(page) {}

CKneeLUTView::~CKneeLUTView() { destroyWindow(); }

bool CKneeLUTView::Create()
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::FormChild;
    params.parent = &m_page;
    params.rect = {kLeft, kTop, kLeft + kSize, kTop + kSize};
    params.drawsItself = true;
    return create(params);
}

fw::Point CKneeLUTView::ToLut(fw::Point pixel)
{
    return {kUnitsPerPixel * pixel.x, kUnitsPerPixel * (kSize - pixel.y)};
}

int CKneeLUTView::PointNear(fw::Point lut) const
{
    // A typed knee value may be any int: the distance is taken in a wider type.
    const auto near = [](int a, int b) { return std::llabs(static_cast<long long>(a) - b) <= kPickRange; };
    for (int i = 0; i < 4; ++i)
        if (near(lut.x, m_page.KneeX(i)) && near(lut.y, m_page.KneeY(i)))
            return i;
    return -1;
}

void CKneeLUTView::DrawGrid(fw::Canvas &canvas) const
{
    canvas.setPen({kWhite, 1, fw::PenStyle::Dot});
    const fw::Color old = canvas.setBackground(kGrey);
    for (int v = 40; v <= 240; v += 40) {
        canvas.line(Device(v, 0), Device(v, kSize));
        canvas.line(Device(0, v), Device(kSize, v));
    }
    canvas.setBackground(old);
}

void CKneeLUTView::onPaint(fw::Canvas &canvas)
{
    canvas.fillRect({0, 0, kSize, kSize}, fw::Brush{{0, 0, 0}, false});
    DrawGrid(canvas);
    canvas.setPen({kBlue, 2, fw::PenStyle::Solid});
    std::vector<fw::Point> curve{Device(0, 0)};
    for (int i = 0; i < 4; ++i)
        curve.push_back(Device(m_page.KneeX(i) / kUnitsPerPixel, m_page.KneeY(i) / kUnitsPerPixel));
    curve.push_back(Device(kSize, kSize));
    canvas.polyline(curve);
    for (size_t i = 1; i + 1 < curve.size(); ++i) {  // a circle of radius 5 round each point
        std::vector<fw::Point> circle;
        for (int k = 0; k <= 24; ++k) {
            const double a = k * 2 * M_PI / 24;
            circle.push_back({curve[i].x + static_cast<int>(std::lround(5 * std::cos(a))),
                              curve[i].y + static_cast<int>(std::lround(5 * std::sin(a)))});
        }
        canvas.polyline(circle);
    }
}

void CKneeLUTView::onLButtonDown(fw::Point p)
{
    captureMouse(true);
    m_bDragging = true;
    m_nSelected = PointNear(ToLut(p));
    invalidate();
}

void CKneeLUTView::onMouseMove(fw::Point p)
{
    fw::Point lut = ToLut(p);
    if (m_bDragging) {
        lut.x = std::clamp(lut.x, 0, 4095);
        lut.y = std::clamp(lut.y, 0, 4095);
        if (m_nSelected >= 0)
            m_page.MoveKneePoint(m_nSelected, lut.x, lut.y);
        invalidate();
    }
    m_page.ShowCurrentPoint(lut.x, lut.y);
}

void CKneeLUTView::onLButtonUp(fw::Point)
{
    m_bDragging = false;
    m_nSelected = -1;
    captureMouse(false);
    m_page.ClampKnee();
    invalidate();
}
