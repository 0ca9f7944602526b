// libdc1394 itself: the context, enumeration and opening.
#include "camera/iidc/Dc1394Library.h"

#include "camera/CameraError.h"
#include "camera/iidc/Dc1394Handle.h"

#include <dc1394/dc1394.h>

namespace cam {

namespace {

// libdc1394 prints its errors and warnings to stderr by default; the backend reports what
// matters through CameraError, so they go nowhere.
void quiet(dc1394log_t, const char *, void *) {}

std::string versionText(dc1394iidc_version_t v)
{
    static const char *const names[] = {"1.04", "1.20", "PTGrey", "1.30", "1.31", "1.32", "1.33",
                                        "1.34", "1.35", "1.36", "1.37", "1.38", "1.39"};
    const int i = static_cast<int>(v) - DC1394_IIDC_VERSION_MIN;
    return i >= 0 && i < DC1394_IIDC_VERSION_NUM ? names[i] : "";
}

} // namespace

std::unique_ptr<Dc1394Library> Dc1394Library::create(std::string &why)
{
    dc1394_log_register_handler(DC1394_LOG_ERROR, quiet, nullptr);
    dc1394_log_register_handler(DC1394_LOG_WARNING, quiet, nullptr);
    dc1394_t *context = dc1394_new();
    if (!context) {
        why = "libdc1394 found no IEEE 1394 or USB platform to use";
        return nullptr;
    }
    return std::unique_ptr<Dc1394Library>(new Dc1394Library(context));
}

Dc1394Library::~Dc1394Library() { dc1394_free(context_); }

std::vector<IidcIdentity> Dc1394Library::enumerate()
{
    dc1394camera_list_t *list = nullptr;
    const dc1394error_t err = dc1394_camera_enumerate(context_, &list);
    if (err != DC1394_SUCCESS)
        throw CameraError(code::Failed, std::string("cannot list IEEE 1394 cameras: ") +
                                            dc1394_error_get_string(err));
    std::vector<IidcIdentity> out;
    for (uint32_t i = 0; list && i < list->num; ++i)
        out.push_back(identify({list->ids[i].guid, list->ids[i].unit}));
    if (list)
        dc1394_camera_free_list(list);
    return out;
}

IidcIdentity Dc1394Library::identify(const IidcCameraId &id)
{
    const auto key = std::make_pair(id.guid, id.unit);
    auto it = seen_.find(key);
    if (it != seen_.end())
        return it->second;
    // The list names only the unit; its vendor and model come from its configuration ROM.
    IidcIdentity identity;
    identity.id = id;
    dc1394camera_t *c = dc1394_camera_new_unit(context_, id.guid, id.unit);
    if (!c)
        return identity;  // asked again at the next look
    identity.vendor = c->vendor ? c->vendor : "";
    identity.model = c->model ? c->model : "";
    identity.iidcVersion = versionText(c->iidc_version);
    dc1394_camera_free(c);
    return seen_[key] = identity;
}

std::unique_ptr<Dc1394Camera> Dc1394Library::open(const IidcCameraId &id)
{
    dc1394camera_t *c = dc1394_camera_new_unit(context_, id.guid, id.unit);
    if (!c)
        return nullptr;
    return std::make_unique<Dc1394Handle>(c);
}

} // namespace cam
