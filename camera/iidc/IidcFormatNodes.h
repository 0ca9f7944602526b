// The video modes of an IIDC camera as image formats: the "PixelFormat" entries, the frame
// rates of fixed modes, and the region and packet size of Format7 modes.
#pragma once

#include "camera/PixelFormat.h"
#include "camera/iidc/Dc1394Camera.h"
#include "camera/iidc/IidcNodeMap.h"

#include <string>
#include <vector>

namespace cam {

class IidcFormatNodes {
public:
    IidcFormatNodes(IidcNodeMap &nodes, Dc1394Camera &camera);

    // Reads the modes the camera offers and adds the format nodes; the camera's current mode
    // is selected when the program can show it, otherwise the first one.
    void build();

    std::vector<std::string> modeNames() const;
    int modeIndex() const { return static_cast<int>(current_); }
    void setModeIndex(int index);
    std::vector<std::string> rateNames() const;  // throws for Format7 modes
    int rateIndex() const;
    void setRateIndex(int index);
    PixelFormat pixelFormat() const { return modes_[current_].format; }
    uint64_t frameBytes();
    // While the camera streams its mode, rate and region cannot change.
    void setStreaming(bool streaming);

private:
    struct Mode {
        IidcVideoMode video;
        std::string name;
        PixelFormat format;
        std::vector<IidcFrameRate> rates;
    };
    const Mode &mode() const { return modes_[current_]; }
    void readModes();
    void applyMode(const std::string &name);
    void loadMode();      // the tree from the camera's current mode
    void loadGeometry();  // sizes, offsets, packet size and their bounds
    void applyRegion(int packetSize);
    void applyRate();

    IidcNodeMap &nodes_;
    Dc1394Camera &camera_;
    std::vector<Mode> modes_;
    size_t current_ = 0;
    IidcFormat7 format7_;  // of the current mode, when it is a Format7 mode
    int rate_ = 0;         // libdc1394's value of the current fixed rate
    bool streaming_ = false;
};

} // namespace cam
