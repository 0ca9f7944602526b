// Releases a lost camera's objects off the user-interface thread.
#include "camera/aravis/BackgroundRelease.h"

#include <mutex>
#include <thread>
#include <vector>

namespace cam {

namespace {

struct Releases {
    std::mutex mutex;  // protects threads
    std::vector<std::thread> threads;
    ~Releases() { join(); }
    void join()
    {
        std::vector<std::thread> running;
        {
            std::lock_guard<std::mutex> lock(mutex);
            running.swap(threads);
        }
        for (auto &t : running)
            t.join();
    }
};

Releases &releases()
{
    static Releases r;
    return r;
}

} // namespace

void BackgroundRelease::run(std::function<void()> work)
{
    Releases &r = releases();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.threads.emplace_back(std::move(work));
}

void BackgroundRelease::waitAll() { releases().join(); }

} // namespace cam
