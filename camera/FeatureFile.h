// A camera's settings as a text file: one "Name=Value" line for every feature that can be both
// read and written, in the order of the feature tree, selectors before what they select.
#pragma once

#include "camera/FeatureAccess.h"

#include <functional>
#include <string>
#include <vector>

namespace cam {

struct FeatureSetting {
    std::string name, value;
};

// What a load did: how many values it wrote and, line by line, what it could not apply.
struct FeatureLoadReport {
    int applied = 0;
    std::vector<std::string> problems;
    std::string summary(size_t maxLines = 20) const;
};

class FeatureFile {
public:
    // Every readable-and-writable feature below "Root" at GURU level, with its value as text.
    // The visibility level is set back to `visibilityAfter` before returning.
    static std::vector<FeatureSetting> collect(FeatureAccess &features, int visibilityAfter);
    static void save(FeatureAccess &features, const std::string &path, int visibilityAfter);

    // Applies a file: each line in turn, then again those refused, as long as a pass gets one
    // more written (a value may depend on one set later in the file, e.g. OffsetX on Width).
    // `pause` is called with true before a geometry feature changes and with false at the end.
    static FeatureLoadReport load(FeatureAccess &features, const std::string &path,
                                  const std::function<void(bool)> &pause = {});
    static FeatureLoadReport apply(FeatureAccess &features, const std::string &text,
                                   const std::function<void(bool)> &pause = {});

    static bool isGeometry(const std::string &name);
    static std::string valueText(FeatureAccess &features, const std::string &name);
    // Writes a value given as text; throws CameraError when it is not one the feature takes.
    static void writeValue(FeatureAccess &features, const std::string &name, const std::string &value);
};

} // namespace cam
