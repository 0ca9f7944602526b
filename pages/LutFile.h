// LUT files: up to 4096 whitespace-separated decimal numbers, one a LUT entry.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>

class LutFile {
public:
    using Table = std::array<uint16_t, 4096>;
    enum class Status { Ok, CannotOpen, NotNumbers };

    // Entry i for number i, each kept as its low 16 bits; entries the file does not give are 0,
    // numbers past the last entry are not read. A word that is not a number is refused (the
    // table is then all 0 and `problem` says which word).
    static Status Read(const std::string &path, Table &table, std::string *problem = nullptr);
    static Status Read(std::istream &in, Table &table, std::string *problem = nullptr);
};
