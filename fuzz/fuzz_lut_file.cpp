// Fuzzes the LUT file reader (Write LUT on the LUT page) with file contents.
#include "pages/LutFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    static LutFile::Table table;
    std::string problem;
    const LutFile::Status status = LutFile::Read(in, table, &problem);
    // A refused file leaves nothing half read and says why in a few words.
    if (status == LutFile::Status::NotNumbers &&
        (problem.empty() || problem.size() > 120 || std::any_of(table.begin(), table.end(), [](uint16_t v) { return v != 0; })))
        std::abort();
    return 0;
}
