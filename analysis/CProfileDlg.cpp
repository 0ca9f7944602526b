// A line profile viewer.
#include "analysis/CProfileDlg.h"

#include "analysis/FrameAnalysis.h"
#include "analysis/OpenViews.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <cstdlib>

CProfileDlg::CProfileDlg(int templateId, int closingMessage, int lineField)
    : CToolWindow(templateId, closingMessage), m_nLineField(lineField)
{
}

CProfileDlg::~CProfileDlg() { m_pView.reset(); }

bool CProfileDlg::onCreate()
{
    m_pCameraView = ActiveCameraView(m_pCameraView);
    if (m_pCameraView && m_pCameraView->m_pCamera) {
        m_nWidth = m_pCameraView->m_pCamera->GetImageWidth();
        m_nHeight = m_pCameraView->m_pCamera->GetImageHeight();
    }
    m_bOpen = 1;
    const int available = AvailableSpace(), length = LineLength();
    m_fScale = available <= 0 || available >= length ? 1.0f : static_cast<float>(available) / length;
    if (!m_pView) {
        m_pView = MakeView();
        m_pView->Create();
    } else {
        m_pView->moveWindow(PlotRect());
    }
    m_pView->m_fScale = m_fScale;
    m_pView->m_nScroll = 0;
    m_pView->onInitialUpdate();
    FitDialog();
    return true;
}

void CProfileDlg::Reinitialise()
{
    if (hasWindow())
        onCreate();
}

int CProfileDlg::LineNumber(const CMolvaneView &view)
{
    fw::Form &f = form();
    const std::string source = std::to_string(SourceLine(view));
    if (f.text(m_nLineField) != source)  // unchanged text is not written again every feed
        f.setText(m_nLineField, source);
    const long typed = std::strtol(f.text(m_nLineField).c_str(), nullptr, 10);
    const long line = std::clamp<long>(typed, 0, std::max(0, LineCount() - 1));
    if (line != typed)
        f.setText(m_nLineField, std::to_string(line));
    return static_cast<int>(line);
}

void CProfileDlg::Update(const FeedResult &result)
{
    if (!m_bOpen || !m_pView || !m_pView->hasWindow())
        return;
    m_nWidth = result.width;
    m_nHeight = result.height;
    m_pView->Update(LinePixels(result), result.colour, result.pixel);
}

void CProfileDlg::Hide()
{
    if (m_pView && m_pView->hasWindow())
        m_pView->showWindow(false);
}

void CProfileDlg::onSize(int width, int height)
{
    if (m_pView && m_pView->hasWindow() && width > 0 && height > 0)
        FollowClient(width, height);
}

void CProfileDlg::onClose()
{
    m_bOpen = 0;
    CToolWindow::onClose();
}

void CProfileDlg::onDestroy() { m_pView.reset(); }
