// The histogram viewer's plot.
#include "analysis/CHistogramView.h"

#include "analysis/CHistoDlg.h"
#include "analysis/PlotStyle.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <cmath>

CHistogramView::CHistogramView(CHistoDlg &dlg) : m_dlg(dlg) {}

CHistogramView::~CHistogramView() { destroyWindow(); }

bool CHistogramView::Create()
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::FormChild;
    params.parent = &m_dlg;
    params.rect = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    params.drawsItself = true;
    params.minPaintInterval = plot::kPaintInterval;
    params.coversClient = true;
    return create(params);
}

void CHistogramView::onInitialUpdate()
{
    if (CMolvaneView *view = m_dlg.m_pCameraView; view && view->m_pCamera) {
        m_nImageWidth = view->m_pCamera->GetImageWidth();
        m_nImageHeight = view->m_pCamera->GetImageHeight();
    }
    m_bDrawn = false;
    m_curves.clear();
    invalidate();
}

void CHistogramView::Update(const ChannelCounts &counts)
{
    m_counts = counts;
    if (hasWindow())
        Draw();
}

std::vector<CHistogramView::Use> CHistogramView::UsedTables(const std::string &channel) const
{
    if (channel == "INTENSITY")
        return {{&m_counts.blue, plot::kBlack}};
    if (channel == "BLUE")
        return {{&m_counts.blue, plot::kBlue}};
    if (channel == "GREEN")
        return {{&m_counts.green, plot::kGreen}};
    if (channel == "RED")
        return {{&m_counts.red, plot::kRed}};
    if (channel == "ALL")  // red ends on top
        return {{&m_counts.blue, plot::kBlue}, {&m_counts.green, plot::kGreen}, {&m_counts.red, plot::kRed}};
    return {};
}

void CHistogramView::Draw()
{
    const std::string channel = m_dlg.ChannelText();
    if (channel.empty())
        return;  // no channel chosen: the plot keeps its last image
    const std::vector<Use> used = UsedTables(channel);
    const fw::Rect client = clientRect();
    const int w = client.width(), h = client.height();
    const double xScale = w * 0.00390625;
    int64_t largest = 0;
    m_curves.clear();
    m_shown.clear();
    for (const Use &u : used) {
        const uint32_t top = *std::max_element(u.table->begin(), u.table->end());
        largest = std::max<int64_t>(largest, top);
        // An all-zero table draws a flat line at the bottom.
        const double yScale = top > 0 ? static_cast<double>(h) / top : 0.0;
        plot::Curve curve{fw::Pen{u.colour, 1, fw::PenStyle::Solid, false}, {}};
        curve.points.reserve(257);
        curve.points.push_back({1, h});
        curve.points.push_back({1, h - static_cast<int>((*u.table)[0] * yScale)});
        for (int i = 1; i < 256; ++i)
            curve.points.push_back({static_cast<int>(std::trunc(i * xScale + 0.5)) + 1,
                                    h - static_cast<int>((*u.table)[i] * yScale)});
        m_curves.push_back(std::move(curve));
        m_shown.push_back(u.table);
    }
    m_bDrawn = true;
    m_dlg.ShowMaxCount(largest);
    invalidate();
    showWindow(true);
}

int CHistogramView::BinAt(int x) const
{
    const int w = std::max(1, clientRect().width());
    return std::clamp(static_cast<int>(std::lround((x - 1) * 256.0 / w)), 0, 255);
}

std::string CHistogramView::HoverText() const
{
    const int bin = BinAt(m_nHoverX);
    std::string text = std::to_string(bin) + ":";
    static const char *names[] = {" B ", " G ", " R "};
    for (const auto *table : m_shown) {
        const int which = table == &m_counts.blue ? 0 : table == &m_counts.green ? 1 : 2;
        text += (m_shown.size() > 1 ? names[which] : std::string(" ")) + std::to_string((*table)[bin]);
    }
    return text;
}

void CHistogramView::onPaint(fw::Canvas &c)
{
    const fw::Rect client = clientRect();
    if (!m_bDrawn) {
        c.fillRect(client, fw::Brush{plot::kButtonFace, false});
        return;
    }
    c.fillRect(client, fw::Brush{plot::kPlotGround, false});
    plot::DrawCurves(c, m_curves);
    if (m_nHoverX >= 0 && !m_shown.empty())
        plot::DrawHover(c, {m_nHoverX, 0}, {m_nHoverX, client.height()}, {4, 2}, HoverText());
}

void CHistogramView::onMouseMove(fw::Point p)
{
    m_nHoverX = p.x;
    invalidate();
}

void CHistogramView::onMouseLeave()
{
    m_nHoverX = -1;
    invalidate();
}
