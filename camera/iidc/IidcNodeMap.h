// The node tree of an IIDC camera: nodes whose writes go to the camera and whose reads can
// fetch the camera's current value first (a feature in automatic mode changes by itself).
#pragma once

#include "camera/NodeMap.h"

#include <functional>
#include <map>

namespace cam {

class IidcNodeMap : public NodeMap {
public:
    // A write of `node` runs `apply`; when the camera refuses, `refresh` puts the camera's
    // value back into the tree and the refusal goes on to the caller.
    void bind(const std::string &node, std::function<void()> apply, std::function<void()> refresh);
    // Reads of `node` run `refresh` first.
    void refreshOnRead(const std::string &node, std::function<void()> refresh);

    int64_t intValue(const std::string &node) override;
    double floatValue(const std::string &node) override;
    std::string enumValue(const std::string &node) override;

private:
    void refresh(const std::string &node);

    std::map<std::string, std::function<void()>> readers_;  // built before the map is shared
};

} // namespace cam
