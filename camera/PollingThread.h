// Runs a task at once and then every interval on a thread of its own, until stopped.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace cam {

class PollingThread {
public:
    ~PollingThread() { stop(); }

    void start(int intervalMs, std::function<void()> task);
    // Wakes the thread and waits for the task in progress to end.
    void stop();

private:
    void loop(int intervalMs, std::function<void()> task);

    std::mutex mutex_;  // protects stop_
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace cam
