// The analysis windows' frame feed.
#include "analysis/CFrameFeed.h"

#include "camera/CMolvane.h"
#include "framework/Platform.h"

#include <memory>

CFrameFeed::CFrameFeed(Sink sink) : m_sink(std::move(sink)) {}

bool CFrameFeed::Deliver(const cam::CMolvane &camera, const FeedRequest &request)
{
    std::shared_ptr<const cam::FrameBuffer> frame = camera.lendCurrentFrame();
    if (!frame)
        return false;
    if (!request.histogram && request.row < 0 && request.column < 0)
        return true;  // only the pixel read-out is fed, and it reads the camera itself
    // Converting and counting are the worker's; the frame stays out of the camera's pool
    // until the worker lets go of it.
    m_worker.submit([sink = m_sink, frame, settings = camera.imageSettings(), request] {
        auto result = std::make_shared<FeedResult>(AnalyseFrame(*frame, settings, request));
        fw::platform().post([sink, result] { sink(*result); });
    });
    return true;
}

uint64_t CFrameFeed::results() const { return m_worker.done(); }

bool CFrameFeed::idle() const { return m_worker.idle(); }
