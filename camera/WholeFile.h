// Files a user saves and loads whole: written under a temporary name first, renamed over the
// target only once every byte is on disk, so a failing disk never leaves a file half-replaced;
// read only when they are regular files.
#pragma once

#include <fstream>
#include <string>

namespace cam {

// False when the file could not be written; the target is then as it was.
bool writeWholeFile(const std::string &path, const std::string &text);

// Opens `path` for reading into `in`; false for anything but a readable regular file (a folder
// or a device opens, but reads as an empty file).
bool openRegularFile(const std::string &path, std::ifstream &in, std::ios::openmode mode = std::ios::in);

} // namespace cam
