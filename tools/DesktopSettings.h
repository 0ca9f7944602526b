// The desktop program's settings as molvane-cli reads them: the INI file QSettings writes.
#pragma once

#include <istream>
#include <string>

class DesktopSettings {
public:
    // The value of `key` in $XDG_CONFIG_HOME (or ~/.config)/Molvane/Molvane.conf; empty when missing.
    static std::string value(const std::string &key);
    // The value of `key` in an INI text: keys outside any section or in [General] are the
    // program's own; the first line "key=..." wins; empty when missing.
    static std::string value(std::istream &in, const std::string &key);
};
