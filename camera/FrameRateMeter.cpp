// The received frame rate over a window of at least one second and eight frames.
#include "camera/FrameRateMeter.h"

namespace cam {

namespace {
constexpr auto kWindow = std::chrono::seconds(1);
constexpr uint64_t kWindowFrames = 8;
// Arrivals closer than this to the previous mark are counted but not kept, which bounds the
// marks to about twenty whatever the frame rate.
constexpr auto kMarkSpacing = std::chrono::milliseconds(50);
} // namespace

void FrameRateMeter::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    marks_.clear();
    last_ = Mark{};
}

bool FrameRateMeter::spansWindow(const Mark &from) const
{
    return last_.time - from.time >= kWindow && last_.frames - from.frames >= kWindowFrames;
}

void FrameRateMeter::frameArrived(Clock::time_point when)
{
    std::lock_guard<std::mutex> lock(mutex_);
    last_ = Mark{when, last_.frames + 1};
    if (marks_.empty() || when - marks_.back().time >= kMarkSpacing)
        marks_.push_back(last_);
    // Keep the newest mark that still spans the window and nothing older.
    while (marks_.size() >= 2 && spansWindow(marks_[1]))
        marks_.pop_front();
}

double FrameRateMeter::rate(Clock::time_point now) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (marks_.empty())
        return 0.0;
    const Mark &from = marks_.front();
    const uint64_t frames = last_.frames - from.frames;
    if (frames == 0)
        return 0.0;
    using Seconds = std::chrono::duration<double>;
    const double span = Seconds(last_.time - from.time).count();
    const double silent = Seconds(now - last_.time).count();
    if (span <= 0 || silent > span)
        return 0.0;  // nothing arrived for a whole window: the frames have stopped
    // A frame overdue by more than the mean interval stretches the window, so the reading
    // falls off smoothly when a camera slows down or stops.
    const double overdue = silent - span / frames;
    return frames / (overdue > 0 ? span + overdue : span);
}

} // namespace cam
