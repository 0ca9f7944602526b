// The bus side of libdc1394: which IIDC cameras are connected, and opening one of them.
#pragma once

#include "camera/iidc/Dc1394Camera.h"

#include <memory>

namespace cam {

class Dc1394Api {
public:
    virtual ~Dc1394Api() = default;

    // The cameras on the 1394 buses and USB ports; throws CameraError when enumeration fails.
    virtual std::vector<IidcIdentity> enumerate() = 0;
    // Null when libdc1394 cannot open the camera.
    virtual std::unique_ptr<Dc1394Camera> open(const IidcCameraId &id) = 0;
};

} // namespace cam
