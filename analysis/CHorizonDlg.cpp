// The "Horizontal Profile Viewer".
#include "analysis/CHorizonDlg.h"

#include "analysis/CHorizonView.h"
#include "analysis/FrameAnalysis.h"
#include "app/AppAccess.h"
#include "framework/Platform.h"
#include "view/CMolvaneView.h"

#include <algorithm>

int CHorizonDlg::SourceLine(const CMolvaneView &view) const { return view.m_ptPixel.y; }

int CHorizonDlg::AvailableSpace() const
{
    // The main window's client width beside the camera info pane.
    const int width = mainClientRect().width();
    return width > 0 ? std::max(1, width - cameraInfoClientWidth()) : 0;
}

fw::Rect CHorizonDlg::PlotRect() const { return {kLeft, kTop, kLeft + m_nWidth + 20, kTop + kPlotHeight}; }

std::unique_ptr<CProfileView> CHorizonDlg::MakeView()
{
    return std::make_unique<CHorizonView>(*this, PlotRect());
}

void CHorizonDlg::FitDialog()
{
    const fw::Rect r = windowRect();
    moveWindow({r.left, r.top, r.left + static_cast<int>(m_nWidth * m_fScale) + 60, r.bottom});
}

void CHorizonDlg::FollowClient(int width, int /*height*/)
{
    // The plot keeps its scale and its height; a dialog narrower than the line scrolls it.
    const int bar = fw::platform().scrollBarExtent();
    m_pView->moveWindow({kLeft, kTop, kLeft + std::max(64, width - kLeft - 10), kTop + kPlotHeight + bar});
}

const std::vector<uint8_t> &CHorizonDlg::LinePixels(const FeedResult &result) const { return result.rowPixels; }
