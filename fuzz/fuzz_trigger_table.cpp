// Fuzzes the trigger sequence table reader (Import on the Trigger extra page) with file contents.
#include "pages/TriggerTableFile.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    const TriggerTableFile::Result r = TriggerTableFile::Read(in);
    using S = TriggerTableFile::Status;
    // What the page relies on: records only from a good file, never more than the table holds,
    // every number 0 or more, and a reason of a few words for every malformed file.
    if (r.status != S::Ok && !r.records.empty())
        std::abort();
    if (r.records.size() > static_cast<size_t>(TriggerTableFile::kRecords))
        std::abort();
    for (const auto &t : r.records)
        if (t.order < 0 || t.increment < 0 || t.gain < 0 || t.shutter < 0)
            std::abort();
    if (r.status == S::Malformed && (r.problem.empty() || r.problem.size() > 120))
        std::abort();
    return 0;
}
