// The desktop program's settings file.
#include "tools/DesktopSettings.h"

#include <cstdlib>
#include <fstream>

std::string DesktopSettings::value(const std::string &key)
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    const char *home = std::getenv("HOME");
    const std::string dir = config && *config ? config : std::string(home ? home : "") + "/.config";
    std::ifstream in(dir + "/Molvane/Molvane.conf");
    return value(in, key);
}

std::string DesktopSettings::value(std::istream &in, const std::string &key)
{
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[')
            section = line;
        else if ((section.empty() || section == "[General]") && line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return {};
}
