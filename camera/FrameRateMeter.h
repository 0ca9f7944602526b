// The received frame rate, averaged over a window long enough for slow cameras.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>

namespace cam {

// Frames are counted on the acquisition thread and the rate is read on any other. The reading
// is the frames received between two arrivals divided by the time between them, over at least
// one second and at least eight frames: a 7.5 fps camera reads 7.50 whenever it is sampled,
// not 6 or 8 as a count over a fixed half second would say.
class FrameRateMeter {
public:
    using Clock = std::chrono::steady_clock;

    void reset();
    void frameArrived(Clock::time_point when);
    // Frames per second as of `now`; 0 before two frames and once the frames stop.
    double rate(Clock::time_point now) const;

private:
    struct Mark {
        Clock::time_point time;
        uint64_t frames = 0;
    };
    bool spansWindow(const Mark &from) const;

    mutable std::mutex mutex_;  // protects marks_ and last_
    std::deque<Mark> marks_;    // arrivals at least kMarkSpacing apart, oldest first
    Mark last_;                 // the latest arrival and the frames counted up to it
};

} // namespace cam
