// Puts simulated cameras on the camera bus and plays their scripted arrivals and removals.
#pragma once

#include "camera/sim/SimCamera.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cam {

class SimulatedCameras {
public:
    SimulatedCameras() = default;
    ~SimulatedCameras();

    // Parses "N:held", "N:unopenable", "N:drop=PERCENT", "N:arrive=SECONDS", "N:remove=SECONDS",
    // "N:line=HZ" (N numbers the simulated cameras from 1). Returns false and a message for bad text.
    bool addFault(const std::string &rule, std::string *error);
    // The number of cameras a setting's text asks for: 1 to 64, anything else (empty, not a
    // whole number, out of range) is 0.
    static int countFromSetting(const std::string &text);
    // Creates `count` cameras, puts those without a pending arrival on the bus, and starts
    // the clock for the scripted arrivals and removals.
    void install(int count);
    // Removes every camera this object put on the bus.
    void uninstall();

    const std::vector<std::shared_ptr<SimCamera>> &cameras() const { return cameras_; }
    // For tests: connect or disconnect a camera now.
    void connect(int number);
    void disconnect(int number);

private:
    void scheduleLoop();

    std::map<int, SimFaults> faults_;
    std::vector<std::shared_ptr<SimCamera>> cameras_;
    std::vector<bool> onBus_;
    std::mutex mutex_;  // protects onBus_ and stop_
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread scheduler_;
};

} // namespace cam
