// Runs the program on Qt Widgets; a plain header so callers need no Qt.
#pragma once

#include <functional>

namespace fw {

// Makes the Qt application and platform, runs `start` (false ends the process with 1), then the
// event loop; `finish` runs before the platform goes, while windows can still be destroyed.
int runWithQt(int &argc, char **argv, const std::function<bool()> &start,
              const std::function<void()> &finish);

} // namespace fw
