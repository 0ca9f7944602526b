// What kind of camera a simulated camera is, and the faults it is told to show.
#pragma once

#include "camera/CameraDevice.h"

#include <string>
#include <vector>

namespace cam {

enum class SimKind {
    GigEColour,  // Bayer colour GigE Vision camera
    Ieee1394Mono,  // IEEE 1394 (IIDC) monochrome camera
    GigEYuv,  // GigE Vision camera delivering YUV 4:2:2
};

struct SimFaults {
    bool held = false;        // another application holds the camera: opening for control gives -4
    bool unopenable = false;  // opening gives -6
    double dropRate = 0.0;    // share of frames lost in transport (0..1)
    int arriveAfterMs = -1;   // the camera is connected this long after start
    int removeAfterMs = -1;   // the camera is disconnected this long after start
    double lineHz = 0.0;      // pulses per second on the trigger input lines (0: nothing wired)
};

struct SimCameraSpec {
    SimKind kind = SimKind::GigEColour;
    DeviceInfo info;
    int sensorWidth = 1280;
    int sensorHeight = 960;
    double frameRate = 30.0;
    double maxFrameRate = 1000.0;
    std::vector<std::string> pixelFormats;  // GigE: PixelFormat entries
    SimFaults faults;
};

// The n-th simulated camera (n from 1), cycling through the kinds.
SimCameraSpec simCameraSpec(int number);
SimCameraSpec simCameraSpec(SimKind kind, int number);

} // namespace cam
