// The process-wide list of cameras.
#include "camera/CameraBus.h"

#include <algorithm>

namespace cam {

CameraBus &CameraBus::instance()
{
    static CameraBus bus;
    return bus;
}

std::vector<std::shared_ptr<CameraDevice>> CameraBus::devices() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::shared_ptr<CameraDevice>> out;
    for (const auto &e : entries_)
        out.push_back(e.device);
    return out;
}

std::shared_ptr<CameraDevice> CameraBus::device(int position) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (position < 0 || position >= static_cast<int>(entries_.size()))
        return nullptr;
    return entries_[position].device;
}

int CameraBus::count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(entries_.size());
}

void CameraBus::add(std::shared_ptr<CameraDevice> device, bool simulated)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto at = simulated ? entries_.end()
                            : std::find_if(entries_.begin(), entries_.end(),
                                           [](const Entry &e) { return e.simulated; });
        entries_.insert(at, Entry{std::move(device), simulated});
    }
    std::lock_guard<std::mutex> lock(listenerMutex_);
    for (auto *l : listeners_)
        l->cameraArrived();
}

void CameraBus::remove(const CameraDevice *device)
{
    int position = -1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].device.get() == device) {
                position = static_cast<int>(i);
                entries_.erase(entries_.begin() + i);
                break;
            }
        }
    }
    if (position < 0)
        return;
    std::lock_guard<std::mutex> lock(listenerMutex_);
    for (auto *l : listeners_)
        l->cameraRemoved(position);
}

void CameraBus::clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

void CameraBus::addListener(BusListener *listener)
{
    std::lock_guard<std::mutex> lock(listenerMutex_);
    listeners_.push_back(listener);
}

void CameraBus::removeListener(BusListener *listener)
{
    std::lock_guard<std::mutex> lock(listenerMutex_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener),
                     listeners_.end());
}

} // namespace cam
