// The command line of molvane-cli: the program's options, the command and its arguments, read
// and checked without any camera.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace cam {
class SimulatedCameras;
}

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class CliArguments {
public:
    enum class Action { Run, Help, Version };

    // Reads the program's options wherever they stand and keeps every other word, in order, for
    // the command; simulated faults go to `sims`. Throws UsageError for an unknown or bad option.
    static CliArguments parse(const std::vector<std::string> &args, cam::SimulatedCameras &sims);

    // The command's word `i` (0 is the command itself); UsageError "missing `what`" when absent.
    std::string word(size_t i, const char *what) const;
    // The value after the command's option `name`, or `fallback`.
    std::string option(const std::string &name, const std::string &fallback = {}) const;
    bool flag(const std::string &name) const;
    // The command's option `name` as a whole number from `min` to `max`; `usage` when it is not.
    long count(const std::string &name, const std::string &fallback, long min, long max,
               const std::string &usage) const;
    // "beginner", "expert" or "guru" (--visibility, guru when absent) as 0, 1 or 2.
    int visibility() const;
    // --format: raw (when absent), bmp, jpg, tif or png.
    std::string imageFormat() const;

    // A whole number in `base` (0: decimal, 0x... hexadecimal, 0... octal) that fits an int.
    static int integer(const std::string &text, int base, const char *what);
    // A 32-bit hexadecimal number, as the register's bits.
    static int hex(const std::string &text, const char *what);
    // A number that fits a float.
    static float real(const std::string &text, const char *what);

    Action action = Action::Run;
    int simulate = 0;
    bool multicast = false, monitor = false, json = false;
    std::vector<std::string> words;  // the command, its arguments and its options
};
