// Trigger sequence table files: one record per line, four whole numbers (row number, increment,
// gain, shutter) separated by white space.
#pragma once

#include "camera/CameraDevice.h"

#include <istream>
#include <string>
#include <vector>

class TriggerTableFile {
public:
    static constexpr int kRecords = 255;

    enum class Status { Ok, CannotOpen, TooManyRecords, Malformed };
    struct Result {
        Status status = Status::Ok;
        std::vector<cam::TriggerRecord> records;  // the file's records, at most kRecords
        std::string problem;                      // what is wrong with a malformed file
    };

    // Reads records until the end of the file; a file with data after 256 records is refused,
    // and so is one with a token that is not a whole number of 0 or more or an incomplete record.
    static Result Read(const std::string &path);
    static Result Read(std::istream &in);
    // Writes every record as "%d  %d  %d  %d" (the row number first) under a temporary name,
    // then renames it, so a failed write leaves an existing file as it was.
    static bool Write(const std::string &path, const std::vector<cam::TriggerRecord> &records);
};
