// The "Vertical Profile Viewer".
#include "analysis/CVerticalDlg.h"

#include "analysis/CVerticalView.h"
#include "analysis/FrameAnalysis.h"
#include "app/AppAccess.h"
#include "framework/Platform.h"
#include "view/CMolvaneView.h"

#include <algorithm>

int CVerticalDlg::SourceLine(const CMolvaneView &view) const { return view.m_ptPixel.x; }

int CVerticalDlg::AvailableSpace() const { return mainClientRect().height(); }

fw::Rect CVerticalDlg::PlotRect() const { return {kLeft, kTop, kLeft + kPlotWidth, kTop + m_nHeight + 1}; }

std::unique_ptr<CProfileView> CVerticalDlg::MakeView()
{
    return std::make_unique<CVerticalView>(*this, PlotRect());
}

void CVerticalDlg::FitDialog()
{
    // Wide enough for the plot and its scroll bar beside it.
    const fw::Rect r = windowRect();
    const int width = std::max(r.width(), kLeft + kPlotWidth + fw::platform().scrollBarExtent() + 10);
    moveWindow({r.left, r.top, r.left + width, r.top + static_cast<int>(m_nHeight * m_fScale) - 10});
}

void CVerticalDlg::FollowClient(int /*width*/, int height)
{
    // The plot keeps its scale and its width; a dialog shorter than the column scrolls it.
    const int bar = fw::platform().scrollBarExtent();
    m_pView->moveWindow({kLeft, kTop, kLeft + kPlotWidth + bar, kTop + std::max(64, height - kTop - 4)});
}

const std::vector<uint8_t> &CVerticalDlg::LinePixels(const FeedResult &result) const
{
    return result.columnPixels;
}
