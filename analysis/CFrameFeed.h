// Hands one frame at a time to a worker thread that does the analysis windows' arithmetic and
// posts the result to the user-interface thread. The latest frame wins: a frame still waiting
// when the next one comes is replaced, so the worker never falls behind the camera.
#pragma once

#include "analysis/FrameAnalysis.h"
#include "camera/FrameQueue.h"
#include "camera/imaging/ImageSettings.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace cam {
class CMolvane;
}

class CFrameFeed {
public:
    // `sink` runs on the user-interface thread with each result.
    using Sink = std::function<void(const FeedResult &)>;
    explicit CFrameFeed(Sink sink);
    ~CFrameFeed();
    CFrameFeed(const CFrameFeed &) = delete;
    CFrameFeed &operator=(const CFrameFeed &) = delete;

    // Copies the camera's current raw frame for the worker; false when the camera has no frame.
    bool Deliver(const cam::CMolvane &camera, const FeedRequest &request);
    // Results posted so far (for tests and benchmarks).
    uint64_t results() const;
    // No frame waiting and none being analysed.
    bool idle() const;

private:
    struct Job {
        cam::FrameBuffer frame;
        cam::ImageSettings settings;
        FeedRequest request;
    };
    void Run();
    std::unique_ptr<Job> TakeSpare();

    Sink m_sink;
    mutable std::mutex m_mutex;  // protects m_pending, m_free, m_stop, m_working, m_results
    std::condition_variable m_wake;
    std::unique_ptr<Job> m_pending;  // filled, waiting for the worker
    // Jobs not in use; their buffers are kept, so no copy after the first few touches fresh memory.
    std::vector<std::unique_ptr<Job>> m_free;
    bool m_stop = false;
    bool m_working = false;  // the worker holds a job
    uint64_t m_results = 0;
    std::thread m_worker;
};
