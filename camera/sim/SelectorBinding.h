// Keeps the values of nodes that depend on a selector (GainSelector -> Gain, TimerSelector -> ...).
#pragma once

#include "camera/NodeMap.h"

#include <map>
#include <string>
#include <vector>

namespace cam {

class SelectorBinding {
public:
    SelectorBinding(NodeMap &nodes, std::string selector, std::vector<std::string> dependents);

    // Call after the selector was written: stores the previous entry's values, loads the new one's.
    void selectorChanged();
    // The value a dependent holds for an entry (the live value for the selected entry).
    double value(const std::string &entry, const std::string &dependent);

private:
    struct Saved {
        int64_t i = 0;
        double f = 0;
        bool b = false;
        std::string e;
    };
    void store(const std::string &entry);
    void load(const std::string &entry);

    NodeMap &nodes_;
    std::string selector_;
    std::vector<std::string> dependents_;
    std::string current_;
    std::map<std::string, std::map<std::string, Saved>> saved_;
};

} // namespace cam
