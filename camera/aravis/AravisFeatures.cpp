// The GenICam feature tree of an Aravis device.
#include "camera/aravis/AravisFeatures.h"

#include "camera/CameraError.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace cam {

namespace {

int visibilityLevel(ArvGcVisibility v)
{
    switch (v) {
    case ARV_GC_VISIBILITY_BEGINNER: return 0;
    case ARV_GC_VISIBILITY_EXPERT: return 1;
    case ARV_GC_VISIBILITY_GURU: return 2;
    default: return 3;  // invisible: never listed
    }
}

} // namespace

AravisFeatures::AravisFeatures(ArvDevice *device, std::string fallbackId, ErrorHandler onError)
    : gc_(arv_device_get_genicam(device)), fallbackId_(std::move(fallbackId)), onError_(std::move(onError))
{
}

// Turns a GError into the component's error, freeing it.
void AravisFeatures::check(GError *error, const std::string &node)
{
    if (!error)
        return;
    if (onError_)
        onError_(error, node);
    std::string message = node + ": " + error->message;
    g_error_free(error);
    throw CameraError(code::Failed, message);
}

// An error whose answer is already known ("not implemented"), unless the camera timed out.
void AravisFeatures::ignore(GError *error, const std::string &node)
{
    if (error && error->domain == ARV_DEVICE_ERROR && error->code == ARV_DEVICE_ERROR_TIMEOUT)
        check(error, node);
    if (error)
        g_error_free(error);
}

ArvGcNode *AravisFeatures::lookup(const std::string &name)
{
    // Older and newer standard names of the same feature: a camera has one or the other.
    static const std::pair<const char *, const char *> aliases[] = {
        {"AcquisitionFrameRateAbs", "AcquisitionFrameRate"}, {"ExposureTime", "ExposureTimeAbs"},
        {"Gain", "GainRaw"}, {"BlackLevel", "BlackLevelRaw"}, {"TriggerDelay", "TriggerDelayAbs"},
        {"DeviceFirmwareVersion", "DeviceVersion"}};
    if (ArvGcNode *n = arv_gc_get_node(gc_, name.c_str()))
        return n;
    for (const auto &[a, b] : aliases) {
        if (name == a)
            return arv_gc_get_node(gc_, b);
        if (name == b)
            return arv_gc_get_node(gc_, a);
    }
    return nullptr;
}

ArvGcNode *AravisFeatures::node(const std::string &name)
{
    ArvGcNode *n = lookup(name);
    if (!n || !ARV_IS_GC_FEATURE_NODE(n))
        throw CameraError(code::NoSuchFeature, "the camera has no node \"" + name + "\"");
    GError *error = nullptr;
    const gboolean implemented = arv_gc_feature_node_is_implemented(ARV_GC_FEATURE_NODE(n), &error);
    ignore(error, name);
    if (!implemented)
        throw CameraError(code::NoSuchFeature, "the camera does not implement \"" + name + "\"");
    return n;
}

template <typename T>
T *AravisFeatures::as(const std::string &name, bool isType, const char *type)
{
    if (!isType)
        throw CameraError(code::WrongType, "node \"" + name + "\" is not an " + type);
    return reinterpret_cast<T *>(lookup(name));
}

#define MOLVANE_AS(T, TEST, NAME) as<T>(NAME, TEST(node(NAME)), #T)

bool AravisFeatures::has(const std::string &name)
{
    if (name == "DeviceID" && !fallbackId_.empty())
        return true;
    try {
        node(name);
        return true;
    } catch (const CameraError &) {
        return false;
    }
}

std::vector<std::string> AravisFeatures::childNodes(const std::string &category)
{
    ArvGcNode *n = node(category);
    if (!ARV_IS_GC_CATEGORY(n))
        return {};  // a feature has no children
    std::vector<std::string> out;
    for (const GSList *l = arv_gc_category_get_features(ARV_GC_CATEGORY(n)); l; l = l->next) {
        const char *child = static_cast<const char *>(l->data);
        ArvGcNode *c = arv_gc_get_node(gc_, child);
        if (c && ARV_IS_GC_FEATURE_NODE(c) &&
            visibilityLevel(arv_gc_feature_node_get_visibility(ARV_GC_FEATURE_NODE(c))) <= visibility_)
            out.push_back(child);
    }
    return out;
}

std::string AravisFeatures::interfaceName(const std::string &name)
{
    if (name == "DeviceID" && !fallbackId_.empty())
        return "IString";
    ArvGcNode *n = lookup(name);
    if (!n)
        throw CameraError(code::NoSuchFeature, "the camera has no node \"" + name + "\"");
    if (ARV_IS_GC_CATEGORY(n))
        return "ICategory";
    if (ARV_IS_GC_ENUMERATION(n))
        return "IEnumeration";
    if (ARV_IS_GC_COMMAND(n))
        return "ICommand";
    if (ARV_IS_GC_BOOLEAN(n))
        return "IBoolean";
    if (ARV_IS_GC_FLOAT(n))
        return "IFloat";
    if (ARV_IS_GC_INTEGER(n))
        return "IInteger";
    if (ARV_IS_GC_STRING(n))
        return "IString";
    return "IValue";
}

int AravisFeatures::accessMode(const std::string &name)
{
    ArvGcNode *n = lookup(name);
    if (!n || !ARV_IS_GC_FEATURE_NODE(n))
        throw CameraError(code::NoSuchFeature, "the camera has no node \"" + name + "\"");
    auto *f = ARV_GC_FEATURE_NODE(n);
    GError *error = nullptr;
    if (!arv_gc_feature_node_is_implemented(f, &error)) {
        ignore(error, name);
        return access::NotImplemented;
    }
    if (!arv_gc_feature_node_is_available(f, &error)) {
        ignore(error, name);
        return access::NotAvailable;
    }
    if (ARV_IS_GC_CATEGORY(n))
        return access::ReadOnly;
    switch (arv_gc_feature_node_get_actual_access_mode(f)) {
    case ARV_GC_ACCESS_MODE_RO: return access::ReadOnly;
    case ARV_GC_ACCESS_MODE_WO: return access::WriteOnly;
    case ARV_GC_ACCESS_MODE_RW: return access::ReadWrite;
    default: return access::NotAvailable;
    }
}

std::string AravisFeatures::description(const std::string &name)
{
    const char *d = arv_gc_feature_node_get_description(ARV_GC_FEATURE_NODE(node(name)));
    if (!d || !*d)
        d = arv_gc_feature_node_get_tooltip(ARV_GC_FEATURE_NODE(node(name)));
    return d && *d ? d : name;
}

void AravisFeatures::keepLockedValues(bool on)
{
    keeping_ = on;
    keptInts_.clear();
    keptEntries_.clear();
}

bool AravisFeatures::lockedWhileAcquiring(const std::string &node)
{
    static const char *const locked[] = {"Width", "Height", "OffsetX", "OffsetY", "PixelFormat",
                                         "AcquisitionMode", "PayloadSize"};
    return std::find(std::begin(locked), std::end(locked), node) != std::end(locked);
}

int64_t AravisFeatures::intValue(const std::string &name)
{
    if (auto kept = keptInts_.find(name); kept != keptInts_.end())
        return kept->second;
    GError *error = nullptr;
    const int64_t v = arv_gc_integer_get_value(MOLVANE_AS(ArvGcInteger, ARV_IS_GC_INTEGER, name), &error);
    check(error, name);
    if (keeping_ && lockedWhileAcquiring(name))
        keptInts_[name] = v;
    return v;
}

void AravisFeatures::setIntValue(const std::string &name, int64_t value)
{
    if (value < intMin(name) || value > intMax(name))
        throw CameraError(code::OutOfRange, std::to_string(value) + " is outside the range of \"" + name + "\"");
    if (!onStep(value, intMin(name), intInc(name)))
        throw CameraError(code::OutOfRange, std::to_string(value) + " is not a step of \"" + name + "\"");
    keptInts_.erase(name);
    GError *error = nullptr;
    arv_gc_integer_set_value(MOLVANE_AS(ArvGcInteger, ARV_IS_GC_INTEGER, name), value, &error);
    check(error, name);
}

int64_t AravisFeatures::intMin(const std::string &name)
{
    GError *error = nullptr;
    const int64_t v = arv_gc_integer_get_min(MOLVANE_AS(ArvGcInteger, ARV_IS_GC_INTEGER, name), &error);
    check(error, name);
    return v;
}

int64_t AravisFeatures::intMax(const std::string &name)
{
    GError *error = nullptr;
    const int64_t v = arv_gc_integer_get_max(MOLVANE_AS(ArvGcInteger, ARV_IS_GC_INTEGER, name), &error);
    check(error, name);
    return v;
}

int64_t AravisFeatures::intInc(const std::string &name)
{
    GError *error = nullptr;
    const int64_t v = arv_gc_integer_get_inc(MOLVANE_AS(ArvGcInteger, ARV_IS_GC_INTEGER, name), &error);
    check(error, name);
    return v > 0 ? v : 1;
}

double AravisFeatures::floatValue(const std::string &name)
{
    GError *error = nullptr;
    const double v = arv_gc_float_get_value(MOLVANE_AS(ArvGcFloat, ARV_IS_GC_FLOAT, name), &error);
    check(error, name);
    return v;
}

void AravisFeatures::setFloatValue(const std::string &name, double value)
{
    if (!std::isfinite(value) || value < floatMin(name) || value > floatMax(name))
        throw CameraError(code::OutOfRange, "value is outside the range of \"" + name + "\"");
    GError *error = nullptr;
    arv_gc_float_set_value(MOLVANE_AS(ArvGcFloat, ARV_IS_GC_FLOAT, name), value, &error);
    check(error, name);
}

double AravisFeatures::floatMin(const std::string &name)
{
    GError *error = nullptr;
    const double v = arv_gc_float_get_min(MOLVANE_AS(ArvGcFloat, ARV_IS_GC_FLOAT, name), &error);
    check(error, name);
    return v;
}

double AravisFeatures::floatMax(const std::string &name)
{
    GError *error = nullptr;
    const double v = arv_gc_float_get_max(MOLVANE_AS(ArvGcFloat, ARV_IS_GC_FLOAT, name), &error);
    check(error, name);
    return v;
}

bool AravisFeatures::boolValue(const std::string &name)
{
    GError *error = nullptr;
    const bool v = arv_gc_boolean_get_value(MOLVANE_AS(ArvGcBoolean, ARV_IS_GC_BOOLEAN, name), &error);
    check(error, name);
    return v;
}

void AravisFeatures::setBoolValue(const std::string &name, bool value)
{
    GError *error = nullptr;
    arv_gc_boolean_set_value(MOLVANE_AS(ArvGcBoolean, ARV_IS_GC_BOOLEAN, name), value, &error);
    check(error, name);
}

std::string AravisFeatures::stringValue(const std::string &name)
{
    if (name == "DeviceID" && !fallbackId_.empty())
        return fallbackId_;
    GError *error = nullptr;
    const char *v = arv_gc_string_get_value(MOLVANE_AS(ArvGcString, ARV_IS_GC_STRING, name), &error);
    check(error, name);
    return v ? v : "";
}

void AravisFeatures::setStringValue(const std::string &name, const std::string &value)
{
    GError *error = nullptr;
    arv_gc_string_set_value(MOLVANE_AS(ArvGcString, ARV_IS_GC_STRING, name), value.c_str(), &error);
    check(error, name);
}

std::vector<std::string> AravisFeatures::enumEntries(const std::string &name)
{
    GError *error = nullptr;
    guint n = 0;
    const char **values = arv_gc_enumeration_dup_available_string_values(
        MOLVANE_AS(ArvGcEnumeration, ARV_IS_GC_ENUMERATION, name), &n, &error);
    check(error, name);
    std::vector<std::string> out(values, values + n);
    g_free(values);
    return out;
}

std::string AravisFeatures::enumValue(const std::string &name)
{
    if (auto kept = keptEntries_.find(name); kept != keptEntries_.end())
        return kept->second;
    GError *error = nullptr;
    const char *v = arv_gc_enumeration_get_string_value(
        MOLVANE_AS(ArvGcEnumeration, ARV_IS_GC_ENUMERATION, name), &error);
    check(error, name);
    if (keeping_ && lockedWhileAcquiring(name))
        keptEntries_[name] = v ? v : "";
    return v ? v : "";
}

void AravisFeatures::setEnumValue(const std::string &name, const std::string &entry)
{
    const auto entries = enumEntries(name);
    if (std::find(entries.begin(), entries.end(), entry) == entries.end())
        throw CameraError(code::OutOfRange, "\"" + entry + "\" is not an entry of \"" + name + "\"");
    keptEntries_.erase(name);
    GError *error = nullptr;
    arv_gc_enumeration_set_string_value(MOLVANE_AS(ArvGcEnumeration, ARV_IS_GC_ENUMERATION, name),
                                        entry.c_str(), &error);
    check(error, name);
}

void AravisFeatures::execute(const std::string &name)
{
    GError *error = nullptr;
    arv_gc_command_execute(MOLVANE_AS(ArvGcCommand, ARV_IS_GC_COMMAND, name), &error);
    check(error, name);
}

#undef MOLVANE_AS

} // namespace cam
