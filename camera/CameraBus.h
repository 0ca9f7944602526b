// The process-wide list of cameras the component can see, real ones first, with arrival events.
#pragma once

#include "camera/CameraDevice.h"

#include <memory>
#include <mutex>
#include <vector>

namespace cam {

class BusListener {
public:
    virtual ~BusListener() = default;
    // Called on whatever thread changed the bus; listeners only hand the news on.
    virtual void cameraArrived() = 0;
    virtual void cameraRemoved(int position) = 0;
};

class CameraBus {
public:
    static CameraBus &instance();

    std::vector<std::shared_ptr<CameraDevice>> devices() const;
    std::shared_ptr<CameraDevice> device(int position) const;
    int count() const;

    // Adds a camera: real cameras go before every simulated one.
    void add(std::shared_ptr<CameraDevice> device, bool simulated);
    // Removes a camera and tells the listeners its former list position.
    void remove(const CameraDevice *device);
    void clear();

    void addListener(BusListener *listener);
    void removeListener(BusListener *listener);

private:
    struct Entry {
        std::shared_ptr<CameraDevice> device;
        bool simulated;
    };
    mutable std::mutex mutex_;  // protects entries_
    std::vector<Entry> entries_;
    std::mutex listenerMutex_;  // protects listeners_ and is held while they are told
    std::vector<BusListener *> listeners_;
};

} // namespace cam
