// Finds GigE Vision and USB3 Vision cameras through Aravis and keeps the camera bus in step:
// a camera that appears is added, one that no longer answers is removed.
#pragma once

#include "camera/aravis/AravisCamera.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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
    void loop(int intervalMs);

    std::mutex mutex_;  // protects known_ and stop_
    std::map<std::string, std::shared_ptr<AravisCamera>> known_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace cam
