// Simulated cameras on the camera bus.
#include "camera/sim/SimulatedCameras.h"

#include "camera/CameraBus.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace cam {

namespace {

// A scripted arrival or removal at most a day after start: its milliseconds fit an int.
constexpr double kMaxSeconds = 86400;

} // namespace

SimulatedCameras::~SimulatedCameras() { uninstall(); }

bool SimulatedCameras::addFault(const std::string &rule, std::string *error)
{
    auto fail = [&](const std::string &why) {
        if (error)
            *error = "bad simulated fault \"" + rule + "\": " + why;
        return false;
    };
    const auto colon = rule.find(':');
    if (colon == std::string::npos)
        return fail("expected CAMERA:FAULT");
    char *end = nullptr;
    const long number = std::strtol(rule.c_str(), &end, 10);
    if (end != rule.c_str() + colon || number < 1 || number > 64)
        return fail("the camera number must be 1 to 64");
    const std::string fault = rule.substr(colon + 1);
    const auto eq = fault.find('=');
    const std::string name = fault.substr(0, eq);
    double value = 0;
    if (eq != std::string::npos) {
        const char *text = fault.c_str() + eq + 1;
        value = std::strtod(text, &end);
        if (end == text || *end != '\0' || !(value >= 0))  // NaN too
            return fail("the value must be a number of 0 or more");
    }
    SimFaults &f = faults_[static_cast<int>(number)];
    if (name == "held" && eq == std::string::npos)
        f.held = true;
    else if (name == "unopenable" && eq == std::string::npos)
        f.unopenable = true;
    else if (name == "drop" && eq != std::string::npos && value <= 100)
        f.dropRate = value / 100.0;
    else if (name == "arrive" && eq != std::string::npos && value <= kMaxSeconds)
        f.arriveAfterMs = static_cast<int>(value * 1000);
    else if (name == "remove" && eq != std::string::npos && value <= kMaxSeconds)
        f.removeAfterMs = static_cast<int>(value * 1000);
    else if (name == "line" && eq != std::string::npos && value > 0 && value <= 1000)
        f.lineHz = value;
    else
        return fail("known faults are held, unopenable, drop=PERCENT, arrive=SECONDS, "
                    "remove=SECONDS (SECONDS <= 86400), line=HZ (0 < HZ <= 1000)");
    return true;
}

int SimulatedCameras::countFromSetting(const std::string &text)
{
    char *end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && !*end && n > 0 && n <= 64 ? static_cast<int>(n) : 0;
}

void SimulatedCameras::install(int count)
{
    bool scheduled = false;
    for (int n = 1; n <= count; ++n) {
        SimCameraSpec params = simCameraSpec(n);
        params.faults = faults_[n];
        cameras_.push_back(std::make_shared<SimCamera>(params));
        onBus_.push_back(false);
        if (params.faults.arriveAfterMs < 0)
            connect(n);
        scheduled = scheduled || params.faults.arriveAfterMs >= 0 || params.faults.removeAfterMs >= 0;
    }
    if (scheduled)
        scheduler_ = std::thread(&SimulatedCameras::scheduleLoop, this);
}

void SimulatedCameras::connect(int number)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (number < 1 || number > static_cast<int>(cameras_.size()) || onBus_[number - 1])
            return;
        onBus_[number - 1] = true;
    }
    CameraBus::instance().add(cameras_[number - 1], true);
}

void SimulatedCameras::disconnect(int number)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (number < 1 || number > static_cast<int>(cameras_.size()) || !onBus_[number - 1])
            return;
        onBus_[number - 1] = false;
    }
    cameras_[number - 1]->markRemoved();
    CameraBus::instance().remove(cameras_[number - 1].get());
}

void SimulatedCameras::scheduleLoop()
{
    using namespace std::chrono;
    struct Event {
        int ms;
        int number;
        bool arrive;
    };
    std::vector<Event> events;
    for (size_t i = 0; i < cameras_.size(); ++i) {
        const SimFaults &f = cameras_[i]->params().faults;
        if (f.arriveAfterMs >= 0)
            events.push_back({f.arriveAfterMs, static_cast<int>(i + 1), true});
        if (f.removeAfterMs >= 0)
            events.push_back({f.removeAfterMs, static_cast<int>(i + 1), false});
    }
    std::sort(events.begin(), events.end(), [](const Event &a, const Event &b) { return a.ms < b.ms; });
    const auto start = steady_clock::now();
    for (const Event &e : events) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_until(lock, start + milliseconds(e.ms), [this] { return stop_; }))
            return;
        lock.unlock();
        if (e.arrive)
            connect(e.number);
        else
            disconnect(e.number);
    }
}

void SimulatedCameras::uninstall()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        wake_.notify_all();
    }
    if (scheduler_.joinable())
        scheduler_.join();
    for (size_t i = 0; i < cameras_.size(); ++i) {
        bool was;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            was = onBus_[i];
            onBus_[i] = false;
        }
        cameras_[i]->stopStream();
        if (was)
            CameraBus::instance().remove(cameras_[i].get());
    }
    cameras_.clear();
    onBus_.clear();
}

} // namespace cam
