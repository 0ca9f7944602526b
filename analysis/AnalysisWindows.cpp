// The analysis windows as the frame feed sees them.
#include "analysis/AnalysisWindows.h"

#include "analysis/CFrameFeed.h"
#include "analysis/CHistoDlg.h"
#include "analysis/CHorizonDlg.h"
#include "analysis/CVerticalDlg.h"
#include "app/AppAccess.h"
#include "view/CMolvaneView.h"

#include <memory>

namespace {

std::unique_ptr<CFrameFeed> &feed()
{
    static std::unique_ptr<CFrameFeed> instance;
    return instance;
}

} // namespace

bool AnalysisWindowLive()
{
    return (g_pHistoDlg && g_pHistoDlg->IsLive()) || (g_pHorizonDlg && g_pHorizonDlg->IsLive()) ||
           (g_pVerticalDlg && g_pVerticalDlg->IsLive());
}

void ClearAnalysisWindows()
{
    if (g_pHistoDlg && g_pHistoDlg->hasWindow())
        g_pHistoDlg->Clear();
    if (g_pHorizonDlg)
        g_pHorizonDlg->Hide();
    if (g_pVerticalDlg)
        g_pVerticalDlg->Hide();
}

FeedRequest AnalysisRequest(const CMolvaneView &view)
{
    FeedRequest r;
    r.histogram = g_pHistoDlg && g_pHistoDlg->IsLive();
    if (g_pHorizonDlg && g_pHorizonDlg->IsLive())
        r.row = g_pHorizonDlg->LineNumber(view);
    if (g_pVerticalDlg && g_pVerticalDlg->IsLive())
        r.column = g_pVerticalDlg->LineNumber(view);
    r.pixel = view.m_ptPixel;
    return r;
}

void ShowFeedResult(const FeedResult &result)
{
    if (result.hasCounts && g_pHistoDlg && g_pHistoDlg->IsLive())
        g_pHistoDlg->Update(result.counts);
    if (result.row >= 0 && g_pHorizonDlg)
        g_pHorizonDlg->Update(result);
    if (result.column >= 0 && g_pVerticalDlg)
        g_pVerticalDlg->Update(result);
}

CFrameFeed &AnalysisFeed()
{
    if (!feed())
        feed() = std::make_unique<CFrameFeed>(ShowFeedResult);
    return *feed();
}

void StopAnalysisFeed() { feed().reset(); }

void DeleteAnalysisWindows()
{
    StopAnalysisFeed();
    delete g_pHistoDlg;
    delete g_pHorizonDlg;
    delete g_pVerticalDlg;
    g_pHistoDlg = nullptr;
    g_pHorizonDlg = nullptr;
    g_pVerticalDlg = nullptr;
}
