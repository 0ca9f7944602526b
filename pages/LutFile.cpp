// LUT files.
#include "pages/LutFile.h"

#include "camera/WholeFile.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>

LutFile::Status LutFile::Read(const std::string &path, Table &table, std::string *problem)
{
    table.fill(0);
    std::ifstream in;
    if (!cam::openRegularFile(path, in))
        return Status::CannotOpen;
    return Read(in, table, problem);
}

LutFile::Status LutFile::Read(std::istream &in, Table &table, std::string *problem)
{
    table.fill(0);
    std::string word;
    for (size_t i = 0; i < table.size() && in >> word; ++i) {
        errno = 0;
        char *end = nullptr;
        const long long v = std::strtoll(word.c_str(), &end, 10);
        if (end == word.c_str() || *end != '\0' || errno == ERANGE) {
            table.fill(0);
            if (problem)
                *problem = "value " + std::to_string(i + 1) + " (\"" + word.substr(0, 20) + "\") is not a number";
            return Status::NotNumbers;
        }
        table[i] = static_cast<uint16_t>(static_cast<unsigned long long>(v) & 0xFFFF);  // its low 16 bits
    }
    return Status::Ok;
}
