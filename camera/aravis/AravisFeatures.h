// The GenICam feature tree of an Aravis device behind the component's generic node access.
#pragma once

#include "camera/FeatureAccess.h"

#include <arv.h>

#include <functional>
#include <map>
#include <string>

namespace cam {

class AravisFeatures : public FeatureAccess {
public:
    // "DeviceID" reads `deviceId` (the serial number the camera announces, which its camera list
    // line carries), so windows and list lines always match whatever the camera's own node says.
    // Errors go to `onError` (which throws) when given: the camera decides what a timeout means.
    using ErrorHandler = std::function<void(GError *error, const std::string &node)>;
    AravisFeatures(ArvDevice *device, std::string deviceId, ErrorHandler onError = nullptr);

    std::vector<std::string> childNodes(const std::string &category) override;
    std::string interfaceName(const std::string &node) override;
    int accessMode(const std::string &node) override;
    std::string description(const std::string &node) override;
    void setVisibility(int level) override { visibility_ = level; }
    int64_t intValue(const std::string &node) override;
    void setIntValue(const std::string &node, int64_t value) override;
    int64_t intMin(const std::string &node) override;
    int64_t intMax(const std::string &node) override;
    int64_t intInc(const std::string &node) override;
    double floatValue(const std::string &node) override;
    void setFloatValue(const std::string &node, double value) override;
    double floatMin(const std::string &node) override;
    double floatMax(const std::string &node) override;
    bool boolValue(const std::string &node) override;
    void setBoolValue(const std::string &node, bool value) override;
    std::string stringValue(const std::string &node) override;
    void setStringValue(const std::string &node, const std::string &value) override;
    std::vector<std::string> enumEntries(const std::string &node) override;
    std::string enumValue(const std::string &node) override;
    void setEnumValue(const std::string &node, const std::string &entry) override;
    void execute(const std::string &node) override;
    bool has(const std::string &node) override;

    // While the camera acquires, what it locks (image size and offsets, pixel format,
    // acquisition mode) is read from it once and then kept; a write replaces the kept value.
    void keepLockedValues(bool on);

private:
    void check(GError *error, const std::string &node);
    void ignore(GError *error, const std::string &node);
    ArvGcNode *lookup(const std::string &name);
    ArvGcNode *node(const std::string &name);
    template <typename T>
    T *as(const std::string &name, bool isType, const char *type);

    ArvGc *gc_;
    static bool lockedWhileAcquiring(const std::string &node);

    std::string fallbackId_;
    bool keeping_ = false;
    std::map<std::string, int64_t> keptInts_;
    std::map<std::string, std::string> keptEntries_;
    ErrorHandler onError_;
    int visibility_ = 2;
};

} // namespace cam
