// Generic access to a camera's feature tree (GenICam node names and interface types).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cam {

// Access modes as the node members report them.
namespace access {
constexpr int NotImplemented = 0;
constexpr int NotAvailable = 1;
constexpr int WriteOnly = 2;
constexpr int ReadOnly = 3;
constexpr int ReadWrite = 4;
} // namespace access

// Whether `value` (not below `min`) lies a whole number of `inc` steps above `min`. Computed in
// unsigned arithmetic: cameras give ranges as wide as int64_t (a minimum of INT64_MIN is common),
// where value - min overflows a signed integer.
inline bool onStep(int64_t value, int64_t min, int64_t inc)
{
    return inc <= 1 || (static_cast<uint64_t>(value) - static_cast<uint64_t>(min)) % static_cast<uint64_t>(inc) == 0;
}

class FeatureAccess {
public:
    virtual ~FeatureAccess() = default;

    virtual std::vector<std::string> childNodes(const std::string &category) = 0;
    virtual std::string interfaceName(const std::string &node) = 0;
    virtual int accessMode(const std::string &node) = 0;
    virtual std::string description(const std::string &node) = 0;
    virtual void setVisibility(int level) = 0;  // 0 beginner, 1 expert, 2 guru

    virtual int64_t intValue(const std::string &node) = 0;
    virtual void setIntValue(const std::string &node, int64_t value) = 0;
    virtual int64_t intMin(const std::string &node) = 0;
    virtual int64_t intMax(const std::string &node) = 0;
    virtual int64_t intInc(const std::string &node) = 0;

    virtual double floatValue(const std::string &node) = 0;
    virtual void setFloatValue(const std::string &node, double value) = 0;
    virtual double floatMin(const std::string &node) = 0;
    virtual double floatMax(const std::string &node) = 0;

    virtual bool boolValue(const std::string &node) = 0;
    virtual void setBoolValue(const std::string &node, bool value) = 0;

    virtual std::string stringValue(const std::string &node) = 0;
    virtual void setStringValue(const std::string &node, const std::string &value) = 0;

    virtual std::vector<std::string> enumEntries(const std::string &node) = 0;
    virtual std::string enumValue(const std::string &node) = 0;
    virtual void setEnumValue(const std::string &node, const std::string &entry) = 0;

    virtual void execute(const std::string &node) = 0;

    // Whether the camera has a node of that name (implemented, whatever its access now).
    virtual bool has(const std::string &node) = 0;
};

} // namespace cam
