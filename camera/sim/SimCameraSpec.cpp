// The kinds of simulated camera.
#include "camera/sim/SimCameraSpec.h"

#include <cstdio>

namespace cam {

SimCameraSpec simCameraSpec(int number)
{
    static const SimKind cycle[] = {SimKind::GigEColour, SimKind::Ieee1394Mono, SimKind::GigEYuv};
    return simCameraSpec(cycle[(number - 1) % 3], number);
}

SimCameraSpec simCameraSpec(SimKind kind, int number)
{
    SimCameraSpec s;
    s.kind = kind;
    char buf[64];
    DeviceInfo &i = s.info;
    i.vendor = "Molvane Simulation";
    i.version = "1.0";
    std::snprintf(buf, sizeof buf, "127.0.0.%d", 100 + number);
    i.ip = buf;
    std::snprintf(buf, sizeof buf, "02:4d:56:00:00:%02x", number & 0xff);
    i.mac = buf;
    switch (kind) {
    case SimKind::GigEColour:
        i.model = "SIM-GC1280";
        i.type = CameraType::GigE;
        s.sensorWidth = 1280;
        s.sensorHeight = 960;
        s.pixelFormats = {"BayerGR8", "BayerGR12", "Mono8", "Mono16", "YUV422Packed"};
        break;
    case SimKind::Ieee1394Mono:
        i.model = "SIM-FM1024";
        i.type = CameraType::Ieee1394;
        i.ip.clear();
        s.sensorWidth = 1024;
        s.sensorHeight = 768;
        s.frameRate = 30.0;
        break;
    case SimKind::GigEYuv:
        i.model = "SIM-GY800";
        i.type = CameraType::GigE;
        s.sensorWidth = 800;
        s.sensorHeight = 600;
        s.pixelFormats = {"YUV422Packed", "Mono8"};
        break;
    }
    std::snprintf(buf, sizeof buf, "SIM%05d", number);
    i.serial = buf;
    i.deviceId = i.serial;
    i.userName = "sim" + std::to_string(number);
    const char *link = i.type == CameraType::GigE ? "GigE" : "1394";
    const char *yuv = kind == SimKind::GigEYuv ? " YUV" : "";
    std::snprintf(buf, sizeof buf, "[%s] %s%s (%s)", link, i.model.c_str(), yuv, i.deviceId.c_str());
    i.listLine = buf;
    return s;
}

} // namespace cam
