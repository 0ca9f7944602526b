// Finds IEEE 1394 and USB IIDC cameras through libdc1394 and keeps the camera bus in step:
// libdc1394 announces nothing, so the buses are looked at every two seconds.
#pragma once

#include "camera/PollingThread.h"
#include "camera/iidc/IidcCamera.h"

#include <map>
#include <memory>
#include <mutex>

namespace cam {

class IidcDiscovery {
public:
    // Without a library (libdc1394 could not start) nothing is ever found.
    explicit IidcDiscovery(std::shared_ptr<Dc1394Api> api) : api_(std::move(api)) {}
    ~IidcDiscovery() { stop(); }

    void start(int intervalMs = 2000);
    // Stops looking and takes the cameras found off the bus.
    void stop();
    // One look at the buses.
    void scan();

private:
    std::shared_ptr<Dc1394Api> api_;
    PollingThread poller_;
    std::mutex mutex_;  // protects known_
    std::map<std::pair<uint64_t, int>, std::shared_ptr<IidcCamera>> known_;
};

} // namespace cam
