// A worker thread that always takes the latest job.
#include "camera/LatestWorker.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace cam {

LatestWorker::LatestWorker(int niceness) : thread_([this, niceness] { Run(niceness); }) {}

LatestWorker::~LatestWorker()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        pending_ = nullptr;
    }
    wake_.notify_all();
    thread_.join();
}

void LatestWorker::submit(std::function<void()> job)
{
    std::function<void()> replaced;  // ends outside the lock: it may hold a lent frame
    {
        std::lock_guard<std::mutex> lock(mutex_);
        replaced = std::move(pending_);
        pending_ = std::move(job);
    }
    wake_.notify_one();
}

bool LatestWorker::idle() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return !pending_ && !working_;
}

uint64_t LatestWorker::done() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
}

void LatestWorker::Run(int niceness)
{
    if (niceness != 0)
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), niceness);
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || pending_; });
            if (stop_)
                return;
            job = std::move(pending_);
            pending_ = nullptr;
            working_ = true;
        }
        job();
        job = nullptr;  // lets go of what the job held before it counts as done
        std::lock_guard<std::mutex> lock(mutex_);
        working_ = false;
        ++done_;
    }
}

} // namespace cam
