// Finds cameras through Aravis.
#include "camera/aravis/AravisDiscovery.h"

#include "camera/CameraBus.h"

#include <vector>

namespace cam {

namespace {

std::string text(const char *s) { return s ? s : ""; }

} // namespace

AravisDiscovery::~AravisDiscovery() { stop(); }

void AravisDiscovery::start(int intervalMs)
{
    // The first look happens on the thread too: a discovery takes about a second, and the
    // cameras it finds arrive like any camera plugged in later.
    poller_.start(intervalMs, [this] { scan(); });
}

void AravisDiscovery::stop()
{
    poller_.stop();
    std::map<std::string, std::shared_ptr<AravisCamera>> known;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        known.swap(known_);
    }
    for (auto &[id, camera] : known)
        CameraBus::instance().remove(camera.get());
}

void AravisDiscovery::scan()
{
    struct Found {
        std::string id;
        DeviceInfo info;
    };
    std::vector<Found> found;
    {
        std::lock_guard<std::mutex> lock(aravisMutex());
        arv_update_device_list();
        const unsigned n = arv_get_n_devices();
        for (unsigned i = 0; i < n; ++i) {
            Found f;
            f.id = text(arv_get_device_id(i));
            DeviceInfo &d = f.info;
            d.vendor = text(arv_get_device_vendor(i));
            d.model = text(arv_get_device_model(i));
            d.serial = text(arv_get_device_serial_nbr(i));
            d.ip = text(arv_get_device_address(i));
            d.mac = text(arv_get_device_physical_id(i));
            d.deviceId = d.serial.empty() ? f.id : d.serial;
            const std::string protocol = text(arv_get_device_protocol(i));
            const std::string link = protocol == "USB3Vision" ? "USB3" : "GigE";
            d.type = CameraType::GigE;
            d.listLine = "[" + link + "] " + d.vendor + " " + d.model + " (" + d.deviceId + ")" +
                         (d.ip.empty() ? "" : " " + d.ip);
            found.push_back(f);
        }
    }
    std::vector<std::shared_ptr<AravisCamera>> arrived, gone;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // A camera that stopped answering has left the bus already; if it answers discovery
        // again it comes back as a new arrival.
        for (auto it = known_.begin(); it != known_.end();) {
            bool present = false;
            for (const Found &f : found)
                present = present || f.id == it->first;
            if (present && !it->second->removed()) {
                ++it;
            } else {
                gone.push_back(it->second);
                it = known_.erase(it);
            }
        }
        for (const Found &f : found) {
            if (!known_.count(f.id)) {
                known_[f.id] = std::make_shared<AravisCamera>(f.id, f.info);
                arrived.push_back(known_[f.id]);
            }
        }
    }
    // A camera that no longer answers discovery is lost: its open window must not wait on it.
    for (auto &camera : gone)
        camera->markLost();
    for (auto &camera : arrived)
        CameraBus::instance().add(camera, false);
}

} // namespace cam
