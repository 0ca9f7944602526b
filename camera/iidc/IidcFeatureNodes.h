// The IIDC features of a camera as named nodes: image features with their automatic modes,
// the trigger, the strobe outputs, and the inquiry and status registers.
#pragma once

#include "camera/CameraDevice.h"
#include "camera/iidc/Dc1394Camera.h"
#include "camera/iidc/IidcNodeMap.h"

#include <functional>

namespace cam {

class IidcFeatureNodes {
public:
    IidcFeatureNodes(IidcNodeMap &nodes, Dc1394Camera &camera);

    void buildDevice(const DeviceInfo &info);
    void buildAcquisition(std::function<void()> stop);
    void buildFeatures();
    void buildTrigger();
    void buildStrobes();
    void buildRegisters();

    struct Row;  // how one IIDC feature shows in the tree

private:
    void addFeature(const Row &row, const IidcFeatureInfo &info);
    void loadFeature(const Row &row);
    void applyValue(const Row &row);
    void applyAuto(const Row &row, const std::string &autoNode);
    void loadTrigger();
    void loadStrobe();
    void applyStrobe();
    int selectedStrobe();

    IidcNodeMap &nodes_;
    Dc1394Camera &camera_;
    bool absolute_[32] = {};  // per feature: values are the camera's absolute units
};

} // namespace cam
