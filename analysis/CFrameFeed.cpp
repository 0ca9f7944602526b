// The analysis windows' frame feed.
#include "analysis/CFrameFeed.h"

#include "camera/CMolvane.h"
#include "framework/Platform.h"

#include <algorithm>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

CFrameFeed::CFrameFeed(Sink sink) : m_sink(std::move(sink)), m_worker([this] { Run(); }) {}

CFrameFeed::~CFrameFeed()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

std::unique_ptr<CFrameFeed::Job> CFrameFeed::TakeSpare()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_free.empty()) {
        std::unique_ptr<Job> job = std::move(m_free.back());
        m_free.pop_back();
        return job;
    }
    if (m_pending)
        return std::move(m_pending);  // not taken yet: this frame replaces it
    return std::make_unique<Job>();
}

bool CFrameFeed::Deliver(const cam::CMolvane &camera, const FeedRequest &request)
{
    const cam::FrameBuffer *frame = camera.currentFrame();
    if (!frame)
        return false;
    if (!request.histogram && request.row < 0 && request.column < 0)
        return true;  // only the pixel read-out is fed, and it reads the camera itself
    std::unique_ptr<Job> job = TakeSpare();
    // Only the raw bytes are copied here; converting and counting are the worker's.
    job->frame.copyFrom(*frame);
    job->settings = camera.imageSettings();
    job->request = request;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pending)
            m_free.push_back(std::move(m_pending));
        m_pending = std::move(job);
    }
    m_wake.notify_one();
    return true;
}

uint64_t CFrameFeed::results() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_results;
}

bool CFrameFeed::idle() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_pending && !m_working;
}

void CFrameFeed::Run()
{
    // The analysis is the least urgent work of the process: it gives way to the acquisition and
    // user-interface threads, and the latest-frame slot keeps it from falling behind.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
    for (;;) {
        std::unique_ptr<Job> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_pending; });
            if (m_stop)
                return;
            job = std::move(m_pending);
            m_working = true;
        }
        auto result = std::make_shared<FeedResult>(AnalyseFrame(job->frame, job->settings, job->request));
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_free.push_back(std::move(job));
            m_working = false;
            ++m_results;
        }
        fw::platform().post([sink = m_sink, result] { sink(*result); });
    }
}
