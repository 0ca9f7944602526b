// The process-wide platform the logic talks to.
#include "framework/Platform.h"

#include <stdexcept>

namespace fw {

namespace {
Platform *g_platform = nullptr;
}

Platform &platform()
{
    if (!g_platform)
        throw std::logic_error("no platform installed");
    return *g_platform;
}

void setPlatform(Platform *p) { g_platform = p; }

Platform::ModalLoop::ModalLoop(Platform &platform) : platform_(platform) { ++platform_.modalDepth_; }

// The waiting work runs from the event loop, not here: the call that opened the loop still
// has to return.
Platform::ModalLoop::~ModalLoop()
{
    if (--platform_.modalDepth_ == 0)
        platform_.postWaiting();
}

void Platform::whenNotModal(std::function<void()> fn)
{
    if (modalDepth_ == 0 && waiting_.empty()) {
        fn();
        return;
    }
    waiting_.push_back(std::move(fn));
}

void Platform::postWaiting()
{
    if (waiting_.empty() || drainPosted_)
        return;
    drainPosted_ = true;
    post([this] {
        drainPosted_ = false;
        runWaiting();
    });
}

// A piece of work may open a modal loop of its own: the rest waits for that one to end. One
// that throws leaves the rest to the next turn of the event loop.
void Platform::runWaiting()
{
    while (modalDepth_ == 0 && !waiting_.empty()) {
        auto fn = std::move(waiting_.front());
        waiting_.pop_front();
        try {
            fn();
        } catch (...) {
            postWaiting();
            throw;
        }
    }
}

} // namespace fw
