// Runs a task periodically on a thread of its own.
#include "camera/PollingThread.h"

namespace cam {

void PollingThread::start(int intervalMs, std::function<void()> task)
{
    stop();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = false;
    }
    thread_ = std::thread(&PollingThread::loop, this, intervalMs, std::move(task));
}

void PollingThread::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void PollingThread::loop(int intervalMs, std::function<void()> task)
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        lock.unlock();
        task();
        lock.lock();
        wake_.wait_for(lock, std::chrono::milliseconds(intervalMs), [this] { return stop_; });
    }
}

} // namespace cam
