// Writes a text file whole or not at all: under a temporary name first, renamed over the target
// only once every byte is on disk, so a failing disk never leaves a file half-replaced.
#pragma once

#include <string>

namespace cam {

// False when the file could not be written; the target is then as it was.
bool writeWholeFile(const std::string &path, const std::string &text);

} // namespace cam
