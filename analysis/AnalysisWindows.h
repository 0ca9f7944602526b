// The analysis windows as the frame feed sees them: which are open, what they want from a
// frame, and handing them the result.
#pragma once

#include "analysis/FrameAnalysis.h"

class CFrameFeed;
class CMolvaneView;

// The histogram or a profile viewer is open with its plot.
bool AnalysisWindowLive();
// Another window shows the selected camera and it stopped: the channel list is emptied and the
// plots are hidden.
void ClearAnalysisWindows();
// What the open windows want from the view's frame; the profile viewers' line fields follow
// the view's last click.
FeedRequest AnalysisRequest(const CMolvaneView &view);
// Runs on the user-interface thread with each analysed frame.
void ShowFeedResult(const FeedResult &result);

// The process's feed, made on first use; stopped before the windows go.
CFrameFeed &AnalysisFeed();
void StopAnalysisFeed();
// The application ends: the feed stops and the three windows are deleted.
void DeleteAnalysisWindows();
