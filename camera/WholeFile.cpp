// Files written whole or not at all, and read only when regular.
#include "camera/WholeFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace cam {

bool writeWholeFile(const std::string &path, const std::string &text)
{
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out << text;
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool openRegularFile(const std::string &path, std::ifstream &in, std::ios::openmode mode)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    in.open(path, mode);
    return static_cast<bool>(in);
}

} // namespace cam
