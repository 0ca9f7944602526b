// Copies the feature tree of a GenICam XML description (names, interface types, visibility,
// categories, enumeration entries) into a NodeMap, so the tree page can be timed on a real
// camera's description without that camera.
#pragma once

#include "camera/NodeMap.h"

#include <string>

class GenICamXmlTree {
public:
    // Adds the description's "Root" features below `category` of `map`; returns the number of
    // nodes added, or -1 when the file cannot be read or has no "Root" category. Names the map
    // already holds get a trailing "_", so the map's own nodes stay as they are.
    static int load(const std::string &file, cam::NodeMap &map, const std::string &category);
};
