// Finds IIDC cameras through libdc1394.
#include "camera/iidc/IidcDiscovery.h"

#include "camera/CameraBus.h"
#include "camera/CameraError.h"

#include <vector>

namespace cam {

void IidcDiscovery::start(int intervalMs)
{
    if (api_)
        poller_.start(intervalMs, [this] { scan(); });
}

void IidcDiscovery::stop()
{
    poller_.stop();
    std::map<std::pair<uint64_t, int>, std::shared_ptr<IidcCamera>> known;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        known.swap(known_);
    }
    for (auto &[key, camera] : known)
        CameraBus::instance().remove(camera.get());
}

void IidcDiscovery::scan()
{
    if (!api_)
        return;
    std::vector<IidcIdentity> found;
    try {
        found = api_->enumerate();
    } catch (const CameraError &) {
        return;  // a bus that cannot be read now is read again at the next look
    }
    std::vector<std::shared_ptr<IidcCamera>> arrived, gone;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::map<std::pair<uint64_t, int>, std::shared_ptr<IidcCamera>> now;
        for (const IidcIdentity &f : found) {
            const auto key = std::make_pair(f.id.guid, f.id.unit);
            auto it = known_.find(key);
            // A camera that failed while capturing comes back as a new arrival.
            if (it != known_.end() && !it->second->removed()) {
                now[key] = it->second;
                known_.erase(it);
            } else {
                now[key] = std::make_shared<IidcCamera>(api_, f);
                arrived.push_back(now[key]);
            }
        }
        for (auto &[key, camera] : known_)
            gone.push_back(camera);
        known_.swap(now);
    }
    for (auto &camera : gone)
        camera->markLost();
    for (auto &camera : arrived)
        CameraBus::instance().add(camera, false);
}

} // namespace cam
