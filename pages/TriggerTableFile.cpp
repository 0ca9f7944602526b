// Trigger sequence table files.
#include "pages/TriggerTableFile.h"

#include "camera/WholeFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// A whole number of 0 or more that fits a record field, or false.
bool field(const std::string &token, int32_t &out)
{
    if (token.empty() || token.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    const long long v = std::strtoll(token.c_str(), nullptr, 10);
    if (errno == ERANGE || v > INT32_MAX)
        return false;
    out = static_cast<int32_t>(v);
    return true;
}

} // namespace

TriggerTableFile::Result TriggerTableFile::Read(const std::string &path)
{
    Result r;
    std::ifstream in;
    if (!cam::openRegularFile(path, in)) {
        r.status = Status::CannotOpen;
        return r;
    }
    return Read(in);
}

TriggerTableFile::Result TriggerTableFile::Read(std::istream &in)
{
    Result r;
    std::vector<int32_t> numbers;
    std::string token;
    while (in >> token) {
        int32_t v = 0;
        if (!field(token, v)) {
            r.status = Status::Malformed;
            // A binary file can hold a "word" of megabytes: the message shows its start.
            const std::string shown = token.size() > 20 ? token.substr(0, 20) + "..." : token;
            r.problem = "\"" + shown + "\" in record " + std::to_string(numbers.size() / 4 + 1) +
                        " is not a whole number of 0 or more.";
            return r;
        }
        numbers.push_back(v);
        if (numbers.size() > 4u * (kRecords + 1)) {
            r.status = Status::TooManyRecords;
            return r;
        }
    }
    if (numbers.size() % 4 != 0) {
        r.status = Status::Malformed;
        r.problem = "Record " + std::to_string(numbers.size() / 4 + 1) + " is incomplete: every record has four numbers.";
        return r;
    }
    for (size_t i = 0; i + 3 < numbers.size() && r.records.size() < kRecords; i += 4)
        r.records.push_back({numbers[i], numbers[i + 1], numbers[i + 2], numbers[i + 3]});
    return r;
}

bool TriggerTableFile::Write(const std::string &path, const std::vector<cam::TriggerRecord> &records)
{
    std::string text;
    char line[64];
    for (size_t i = 0; i < records.size(); ++i) {
        const cam::TriggerRecord &t = records[i];
        std::snprintf(line, sizeof line, "%d  %d  %d  %d\n", static_cast<int>(i + 1), t.increment, t.gain,
                      t.shutter);
        text += line;
    }
    return cam::writeWholeFile(path, text);
}
