// Runs jobs one at a time on a thread of its own. A job still waiting when the next one comes is
// dropped, so the worker never falls behind a camera: it always works on the latest frame.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace cam {

class LatestWorker {
public:
    // `niceness` lowers the thread's priority (0 keeps the process's).
    explicit LatestWorker(int niceness);
    ~LatestWorker();  // drops a waiting job and waits for the running one
    LatestWorker(const LatestWorker &) = delete;
    LatestWorker &operator=(const LatestWorker &) = delete;

    void submit(std::function<void()> job);
    // No job waiting and none running.
    bool idle() const;
    // Jobs run to their end so far.
    uint64_t done() const;

private:
    void Run(int niceness);

    mutable std::mutex mutex_;  // protects pending_, stop_, working_, done_
    std::condition_variable wake_;
    std::function<void()> pending_;
    bool stop_ = false;
    bool working_ = false;
    uint64_t done_ = 0;
    std::thread thread_;
};

} // namespace cam
