// The few pieces of JSON that molvane-cli prints for scripts: quoted strings and key lists.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace cli {

inline std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (const unsigned char ch : text) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", ch);
            out += buf;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out + "\"";
}

// An object of string members, in the given order.
inline std::string jsonObject(const std::vector<std::pair<std::string, std::string>> &members)
{
    std::string out = "{";
    for (size_t i = 0; i < members.size(); ++i)
        out += (i ? ", " : "") + jsonString(members[i].first) + ": " + jsonString(members[i].second);
    return out + "}";
}

} // namespace cli
