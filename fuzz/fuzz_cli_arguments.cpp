// Fuzzes molvane-cli's command line: the input is its arguments, separated by NUL bytes. Every
// check a command makes of its arguments before it needs a camera is run on them.
#include "camera/sim/SimulatedCameras.h"
#include "tools/CliArguments.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const uint8_t *data, size_t size)
{
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size && args.size() <= 64; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    return args;
}

// A bad argument is a usage error, nothing else.
void attempt(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const UsageError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    cam::SimulatedCameras sims;
    CliArguments args;
    try {
        args = CliArguments::parse(split(data, size), sims);
    } catch (const UsageError &) {
        return 0;
    }
    if (args.simulate < 0 || args.simulate > 64)
        std::abort();
    attempt([&] { args.word(0, "COMMAND"); });
    attempt([&] { args.visibility(); });
    attempt([&] { args.imageFormat(); });
    for (const char *name : {"--count", "--frames", "--seconds"})
        attempt([&] {
            const long n = args.count(name, "1", 1, 65535, "usage");
            if (n < 1 || n > 65535)
                std::abort();
        });
    for (size_t i = 1; i < args.words.size() && i < 4; ++i) {
        const std::string &w = args.words[i];
        attempt([&] { CliArguments::hex(w, "address"); });
        attempt([&] { CliArguments::integer(w, 0, "value"); });
        attempt([&] { CliArguments::real(w, "value"); });
    }
    args.flag("--software");
    args.option("--out");
    return 0;
}
