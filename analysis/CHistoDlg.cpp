// The "Histogram Viewer".
#include "analysis/CHistoDlg.h"

#include "analysis/CHistogramView.h"
#include "analysis/FrameAnalysis.h"
#include "analysis/OpenViews.h"

#include "framework/Resources.h"
#include "view/CMolvaneView.h"

#include <algorithm>

CHistoDlg::CHistoDlg() : CToolWindow(res::DialogHistogram, res::MsgHistogramClosed)
{
    on(fw::Notify::SelChange, res::HistoChannel, [this] { OnChannelChange(); });
}

CHistoDlg::~CHistoDlg() { destroyWindow(); }

bool CHistoDlg::onCreate()
{
    m_pCameraView = ActiveCameraView(m_pCameraView);
    fw::Form &f = form();
    f.clearItems(res::HistoChannel);
    m_bOpen = 1;
    f.addItem(res::HistoChannel, "INTENSITY");
    if (m_pCameraView && m_pCameraView->m_pCamera && IsColourImage(*m_pCameraView->m_pCamera)) {
        f.removeItem(res::HistoChannel, 0);
        for (const char *channel : {"RED", "GREEN", "BLUE", "ALL"})
            f.addItem(res::HistoChannel, channel);
    }
    SelectChannel(m_pCameraView ? m_pCameraView->m_nHistoChannel : 0);
    if (!m_pView) {
        m_pView = std::make_unique<CHistogramView>(*this);
        m_pView->Create();
    }
    m_pView->onInitialUpdate();
    m_pView->showWindow(true);
    return true;
}

void CHistoDlg::Reinitialise()
{
    if (hasWindow())
        onCreate();
}

void CHistoDlg::SelectChannel(int index)
{
    // An index the list does not have leaves nothing selected.
    form().setSelection(res::HistoChannel, index < form().itemCount(res::HistoChannel) ? index : -1);
}

void CHistoDlg::OnChannelChange()
{
    if (CMolvaneView *view = ActiveCameraView(nullptr))
        view->m_nHistoChannel = form().selection(res::HistoChannel);
    else if (m_pCameraView && IsOpenView(m_pCameraView))
        m_pCameraView->m_nHistoChannel = form().selection(res::HistoChannel);
}

std::string CHistoDlg::ChannelText() const
{
    const int sel = form().selection(res::HistoChannel);
    return sel >= 0 ? form().itemText(res::HistoChannel, sel) : std::string();
}

void CHistoDlg::ShowMaxCount(int64_t count)
{
    m_nMaxCount = count;
    form().setText(res::HistoMaxCount, std::to_string(count));
}

bool CHistoDlg::IsLive() const { return m_bOpen && m_pView && m_pView->hasWindow(); }

void CHistoDlg::Update(const ChannelCounts &counts)
{
    if (m_pView)
        m_pView->Update(counts);
}

void CHistoDlg::Clear()
{
    form().clearItems(res::HistoChannel);
    if (m_pView && m_pView->hasWindow())
        m_pView->showWindow(false);
}

void CHistoDlg::onSize(int width, int height)
{
    // The plot keeps its place and follows the window's size; the axis ends stay under it.
    if (!m_pView || !m_pView->hasWindow() || width <= 0 || height <= 0)
        return;
    const fw::Rect plot{CHistogramView::kLeft, CHistogramView::kTop,
                        std::max(CHistogramView::kLeft + 64, width - 61),
                        std::max(CHistogramView::kTop + 32, height - 85)};
    m_pView->moveWindow(plot);
    const int labelHeight = fw::dluToPixelsY(10);
    moveControl(res::HistoAxisLow, {plot.left, plot.bottom + 4, plot.left + 30, plot.bottom + 4 + labelHeight});
    moveControl(res::HistoAxisHigh, {plot.right - 30, plot.bottom + 4, plot.right, plot.bottom + 4 + labelHeight});
}

void CHistoDlg::onClose()
{
    m_bOpen = 0;
    CToolWindow::onClose();
}

void CHistoDlg::onDestroy() { m_pView.reset(); }
