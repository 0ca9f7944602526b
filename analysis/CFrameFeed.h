// Hands one frame at a time to a worker thread that does the analysis windows' arithmetic and
// posts the result to the user-interface thread. The latest frame wins: a frame still waiting
// when the next one comes is replaced, so the worker never falls behind the camera.
#pragma once

#include "analysis/FrameAnalysis.h"
#include "camera/LatestWorker.h"

#include <functional>

namespace cam {
class CMolvane;
}

class CFrameFeed {
public:
    // `sink` runs on the user-interface thread with each result.
    using Sink = std::function<void(const FeedResult &)>;
    explicit CFrameFeed(Sink sink);

    // Lends the camera's current frame to the worker (no copy is made on the calling thread);
    // false when the camera has no frame.
    bool Deliver(const cam::CMolvane &camera, const FeedRequest &request);
    // Results posted so far (for tests and benchmarks).
    uint64_t results() const;
    // No frame waiting and none being analysed.
    bool idle() const;

private:
    Sink m_sink;
    // The analysis is the least urgent work of the process: it gives way to the acquisition
    // and user-interface threads, and the latest-frame slot keeps it from falling behind.
    cam::LatestWorker m_worker{10};
};
