// Camera settings to and from "Name=Value" text files.
#include "camera/FeatureFile.h"

#include "camera/CameraError.h"
#include "camera/WholeFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace cam {

namespace {

// Settings of the connection to this host rather than of the camera's set-up: writing them
// from a file would break the session or re-address the camera.
bool belongsToConnection(const std::string &name)
{
    static const std::set<std::string> names = {"GevCCP", "GevSCDA", "GevSCPHostPort", "GevMCDA", "GevMCPHostPort",
                                                "GevMCTT", "GevMCRC", "GevPrimaryApplicationSocket",
                                                "GevPrimaryApplicationIPAddress", "TLParamsLocked"};
    return names.count(name) || name.rfind("GevPersistent", 0) == 0 || name.rfind("GevCurrentIP", 0) == 0 ||
           name.rfind("GevCurrentSubnet", 0) == 0 || name.rfind("GevCurrentDefault", 0) == 0;
}

bool isSelector(const std::string &name)
{
    const std::string suffix = "Selector";
    return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

const std::set<std::string> kValueTypes = {"IInteger", "IFloat", "IBoolean", "IString", "IEnumeration"};

void walk(FeatureAccess &f, const std::string &category, std::vector<std::string> &out, std::set<std::string> &seen)
{
    for (const auto &child : f.childNodes(category)) {
        if (!seen.insert(child).second || f.accessMode(child) <= access::NotImplemented)
            continue;
        const std::string type = f.interfaceName(child);
        if (type == "ICategory")
            walk(f, child, out, seen);
        else if (kValueTypes.count(type) && f.accessMode(child) == access::ReadWrite && !belongsToConnection(child))
            out.push_back(child);
    }
}

// Text a person can read in a message: no control bytes, not too long.
std::string printable(const std::string &text)
{
    std::string out;
    for (const unsigned char ch : text.substr(0, 40))
        out += std::isprint(ch) ? static_cast<char>(ch) : '?';
    return text.size() > 40 ? out + "..." : out;
}

struct Line {
    int number;
    std::string name, value;
};

// The Name=Value lines of a text; blank lines and "#" comments are skipped, others reported.
std::vector<Line> parse(const std::string &text, std::vector<std::string> &problems)
{
    std::vector<Line> lines;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#')
            continue;
        const auto eq = line.find('=');
        const std::string name = line.substr(0, eq);
        const bool wellFormed = eq != std::string::npos && eq > 0 &&
                                std::all_of(name.begin(), name.end(), [](unsigned char ch) {
                                    return std::isalnum(ch) || ch == '_';
                                });
        if (wellFormed)
            lines.push_back({number, name, line.substr(eq + 1)});
        else
            problems.push_back("line " + std::to_string(number) + ": \"" + printable(line) +
                               "\" is not a Name=Value line");
    }
    return lines;
}

std::string problem(const Line &line, const std::string &why)
{
    return "line " + std::to_string(line.number) + ": " + line.name + "=" + printable(line.value) + ": " + why;
}

int64_t parseInteger(const std::string &name, const std::string &text)
{
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        throw CameraError(code::OutOfRange, name + " takes a whole number");
    return v;
}

double parseFloat(const std::string &name, const std::string &text)
{
    char *end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end)
        throw CameraError(code::OutOfRange, name + " takes a number");
    return v;
}

bool parseBool(const std::string &name, const std::string &text)
{
    if (text == "1" || text == "true")
        return true;
    if (text == "0" || text == "false")
        return false;
    throw CameraError(code::OutOfRange, name + " takes 1 or 0");
}

// Whether the feature already holds the value (then it is not written again).
bool holds(FeatureAccess &f, const Line &line)
{
    try {
        return FeatureFile::valueText(f, line.name) == line.value;
    } catch (const std::exception &) {
        return false;  // not readable now: write it
    }
}

} // namespace

std::string FeatureLoadReport::summary(size_t maxLines) const
{
    std::string text;
    for (size_t i = 0; i < problems.size() && i < maxLines; ++i)
        text += problems[i] + "\n";
    if (problems.size() > maxLines)
        text += "... and " + std::to_string(problems.size() - maxLines) + " more\n";
    return text;
}

bool FeatureFile::isGeometry(const std::string &name)
{
    static const std::set<std::string> names = {"Width",           "Height",          "OffsetX",
                                                "OffsetY",         "BinningHorizontal", "BinningVertical",
                                                "DecimationHorizontal", "DecimationVertical", "PixelFormat",
                                                "BytePerPacket",   "GevSCPSPacketSize"};
    return names.count(name) > 0;
}

std::string FeatureFile::valueText(FeatureAccess &f, const std::string &name)
{
    const std::string type = f.interfaceName(name);
    if (type == "IInteger")
        return std::to_string(f.intValue(name));
    if (type == "IFloat") {
        char buf[32];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, f.floatValue(name));
        return ec == std::errc() ? std::string(buf, end) : std::string();
    }
    if (type == "IBoolean")
        return f.boolValue(name) ? "1" : "0";
    if (type == "IEnumeration")
        return f.enumValue(name);
    std::string text = type == "IString" ? f.stringValue(name) : std::string();
    std::replace_if(text.begin(), text.end(), [](char ch) { return ch == '\n' || ch == '\r'; }, ' ');
    return text;
}

void FeatureFile::writeValue(FeatureAccess &f, const std::string &name, const std::string &value)
{
    if (!f.has(name))
        throw CameraError(code::NoSuchFeature, "the camera has no such feature");
    if (f.accessMode(name) != access::ReadWrite)
        throw CameraError(code::AccessDenied, "cannot be written now");
    const std::string type = f.interfaceName(name);
    if (type == "IInteger")
        f.setIntValue(name, parseInteger(name, value));
    else if (type == "IFloat")
        f.setFloatValue(name, parseFloat(name, value));
    else if (type == "IBoolean")
        f.setBoolValue(name, parseBool(name, value));
    else if (type == "IString")
        f.setStringValue(name, value);
    else if (type != "IEnumeration")
        throw CameraError(code::WrongType, "an " + type + " takes no value");
    else {
        const auto entries = f.enumEntries(name);
        if (std::find(entries.begin(), entries.end(), value) == entries.end())
            throw CameraError(code::OutOfRange, "not one of the entries of " + name);
        f.setEnumValue(name, value);
    }
}

std::vector<FeatureSetting> FeatureFile::collect(FeatureAccess &f, int visibilityAfter)
{
    std::vector<std::string> names;
    std::set<std::string> seen;
    f.setVisibility(2);
    try {
        walk(f, "Root", names, seen);
    } catch (...) {
        f.setVisibility(visibilityAfter);
        throw;
    }
    f.setVisibility(visibilityAfter);
    std::stable_partition(names.begin(), names.end(), isSelector);
    std::vector<FeatureSetting> settings;
    for (const auto &name : names) {
        try {
            settings.push_back({name, valueText(f, name)});
        } catch (const std::exception &) {
            // readable in the tree but not now (e.g. while another feature is on): left out
        }
    }
    return settings;
}

void FeatureFile::save(FeatureAccess &f, const std::string &path, int visibilityAfter)
{
    std::ostringstream text;
    for (const auto &s : collect(f, visibilityAfter))
        text << s.name << '=' << s.value << '\n';
    if (!writeWholeFile(path, text.str()))
        throw CameraError(code::FileError, "cannot write " + path);
}

FeatureLoadReport FeatureFile::load(FeatureAccess &f, const std::string &path, const std::function<void(bool)> &pause)
{
    std::ifstream in;
    if (!openRegularFile(path, in, std::ios::binary))
        throw CameraError(code::FileError, "cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return apply(f, text.str(), pause);
}

FeatureLoadReport FeatureFile::apply(FeatureAccess &f, const std::string &text, const std::function<void(bool)> &pause)
{
    FeatureLoadReport report;
    std::vector<Line> pending;
    for (auto &line : parse(text, report.problems)) {
        if (f.has(line.name))
            pending.push_back(std::move(line));
        else
            report.problems.push_back(problem(line, "the camera has no such feature"));
    }
    const bool paused = pause && std::any_of(pending.begin(), pending.end(), [&](const Line &l) {
        return isGeometry(l.name) && !holds(f, l);
    });
    if (paused)
        pause(true);
    std::vector<std::string> reasons(pending.size());
    for (bool progress = true; progress && !pending.empty();) {
        progress = false;
        std::vector<Line> refused;
        std::vector<std::string> why;
        for (size_t i = 0; i < pending.size(); ++i) {
            try {
                if (!holds(f, pending[i]))
                    writeValue(f, pending[i].name, pending[i].value);
                ++report.applied;
                progress = true;
            } catch (const std::exception &e) {
                refused.push_back(pending[i]);
                why.push_back(e.what());
            }
        }
        pending.swap(refused);
        reasons.swap(why);
    }
    for (size_t i = 0; i < pending.size(); ++i)
        report.problems.push_back(problem(pending[i], reasons[i]));
    std::stable_sort(report.problems.begin(), report.problems.end(), [](const std::string &a, const std::string &b) {
        return std::atoi(a.c_str() + 5) < std::atoi(b.c_str() + 5);
    });
    if (paused)
        pause(false);
    return report;
}

} // namespace cam
