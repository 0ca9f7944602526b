// The command line of molvane-cli.
#include "tools/CliArguments.h"

#include "camera/sim/SimulatedCameras.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cfloat>
#include <map>

namespace {

// Options of the commands that take a value after them.
const char *kValueOptions[] = {"--visibility", "--count", "--frames", "--out", "--format", "--seconds", "--codec"};

// An argument that looks like an option: "--name", or "-" and a letter ("-5" is a value).
bool looksLikeOption(const std::string &a)
{
    return a.size() > 1 && a[0] == '-' && (a[1] == '-' || std::isalpha(static_cast<unsigned char>(a[1])));
}

// A whole number in `base` within [min, max], or false.
bool wholeNumber(const std::string &text, int base, long min, long max, long &out)
{
    char *end = nullptr;
    errno = 0;
    out = std::strtol(text.c_str(), &end, base);
    return !text.empty() && !*end && errno != ERANGE && out >= min && out <= max;
}

} // namespace

CliArguments CliArguments::parse(const std::vector<std::string> &args, cam::SimulatedCameras &sims)
{
    CliArguments r;
    bool options = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (!options || !looksLikeOption(a)) {
            r.words.push_back(a);
        } else if (a == "--") {
            options = false;
        } else if (a == "--multicast" || a == "--monitor") {
            (a == "--multicast" ? r.multicast : r.monitor) = true;
        } else if (a == "--json") {
            r.json = true;
        } else if (a == "--software" || a == "--stats") {
            r.words.push_back(a);  // flags of the trigger and grab commands
        } else if (a == "--help" || a == "-h") {
            r.action = Action::Help;
            return r;
        } else if (a == "--version") {
            r.action = Action::Version;
            return r;
        } else if (std::find(std::begin(kValueOptions), std::end(kValueOptions), a) != std::end(kValueOptions)) {
            r.words.push_back(a);
            if (i + 1 < args.size())
                r.words.push_back(args[++i]);
        } else if (a != "--simulate" && a != "--sim-fault") {
            throw UsageError("unknown option \"" + a + "\"");
        } else if (i + 1 >= args.size()) {
            throw UsageError(a + " needs a value");
        } else if (a == "--simulate") {
            long n = 0;
            if (!wholeNumber(args[++i], 10, 0, 64, n))
                throw UsageError("--simulate takes 0 to 64");
            r.simulate = static_cast<int>(n);
        } else {
            std::string error;
            if (!sims.addFault(args[++i], &error))
                throw UsageError(error);
        }
    }
    return r;
}

std::string CliArguments::word(size_t i, const char *what) const
{
    if (i >= words.size())
        throw UsageError(std::string("missing ") + what);
    return words[i];
}

std::string CliArguments::option(const std::string &name, const std::string &fallback) const
{
    for (size_t i = 2; i + 1 < words.size(); ++i)
        if (words[i] == name)
            return words[i + 1];
    return fallback;
}

bool CliArguments::flag(const std::string &name) const
{
    return std::find(words.begin(), words.end(), name) != words.end();
}

long CliArguments::count(const std::string &name, const std::string &fallback, long min, long max,
                         const std::string &usage) const
{
    long n = 0;
    if (!wholeNumber(option(name, fallback), 10, min, max, n))
        throw UsageError(usage);
    return n;
}

int CliArguments::visibility() const
{
    static const std::map<std::string, int> levels = {{"beginner", 0}, {"expert", 1}, {"guru", 2}};
    const auto it = levels.find(option("--visibility", "guru"));
    if (it == levels.end())
        throw UsageError("visibility is beginner, expert or guru");
    return it->second;
}

std::string CliArguments::imageFormat() const
{
    const std::string format = option("--format", "raw");
    if (format != "raw" && format != "bmp" && format != "jpg" && format != "tif" && format != "png")
        throw UsageError("format is raw, bmp, jpg, tif or png");
    return format;
}

int CliArguments::integer(const std::string &text, int base, const char *what)
{
    long v = 0;
    if (!wholeNumber(text, base, INT_MIN, INT_MAX, v))
        throw UsageError(std::string(what) + " \"" + text + "\" is not a whole number from " +
                         std::to_string(INT_MIN) + " to " + std::to_string(INT_MAX));
    return static_cast<int>(v);
}

int CliArguments::hex(const std::string &text, const char *what)
{
    char *end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || *end || text.size() > 10 || v > 0xffffffffUL)
        throw UsageError(std::string(what) + " \"" + text + "\" is not a 32-bit hexadecimal number");
    return static_cast<int>(static_cast<uint32_t>(v));
}

float CliArguments::real(const std::string &text, const char *what)
{
    char *end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(v) || std::fabs(v) > FLT_MAX)
        throw UsageError(std::string(what) + " \"" + text + "\" is not a number");
    return static_cast<float>(v);
}
