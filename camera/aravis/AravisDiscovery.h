// Finds GigE Vision and USB3 Vision cameras through Aravis and keeps the camera bus in step:
// a camera that appears is added, one that no longer answers is removed.
#pragma once

#include "camera/PollingThread.h"
#include "camera/aravis/AravisCamera.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace cam {

class AravisDiscovery {
public:
    AravisDiscovery() = default;
    ~AravisDiscovery();

    // Looks at once and then every `intervalMs`, on a thread of its own.
    void start(int intervalMs = 2000);
    void stop();
    // One look at the network and the USB ports.
    void scan();

private:
    std::mutex mutex_;  // protects known_
    std::map<std::string, std::shared_ptr<AravisCamera>> known_;
    PollingThread poller_;
};

} // namespace cam
