// molvane-cli's command line read without a camera: options anywhere, values that must fit what
// they are given to, and usage errors for everything else.
#include "camera/sim/SimulatedCameras.h"
#include "tools/CliArguments.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

CliArguments parse(std::vector<std::string> args)
{
    cam::SimulatedCameras sims;
    return CliArguments::parse(args, sims);
}

bool usageError(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const UsageError &) {
        return true;
    }
    return false;
}

} // namespace

TEST(CliArguments, OptionsStandAnywhereAndTheCommandKeepsItsOwnWords)
{
    const CliArguments a = parse({"get", "--simulate", "3", "0", "--json", "Width", "--", "--monitor"});
    EXPECT_EQ(a.simulate, 3);
    EXPECT_TRUE(a.json);
    EXPECT_FALSE(a.monitor);  // after "--" it is a word
    EXPECT_EQ(a.words, (std::vector<std::string>{"get", "0", "Width", "--monitor"}));
    const CliArguments g = parse({"grab", "0", "--count", "-5", "--format", "png", "--software"});
    EXPECT_EQ(g.option("--count"), "-5");  // a negative number is a value, not an option
    EXPECT_EQ(g.imageFormat(), "png");
    EXPECT_TRUE(g.flag("--software"));
    EXPECT_EQ(parse({"list", "--help"}).action, CliArguments::Action::Help);
    for (const std::vector<std::string> &bad :
         {std::vector<std::string>{"-x", "list"}, {"--simulate"}, {"--simulate", "65"}, {"--simulate", ""},
          {"--simulate", "4294967297"}, {"--sim-fault", "1:arrive=1e10"}, {"--sim-fault", "9"}})
        EXPECT_TRUE(usageError([&] { parse(bad); })) << bad.back();
}

TEST(CliArguments, NumbersMustFitWhatTheyAreGivenTo)
{
    EXPECT_EQ(CliArguments::integer("0x10", 0, "value"), 16);
    EXPECT_EQ(CliArguments::integer("-8", 0, "value"), -8);
    EXPECT_EQ(CliArguments::hex("ffffffff", "value"), -1);  // the register's bits
    EXPECT_FLOAT_EQ(CliArguments::real("2.5", "value"), 2.5f);
    // Values that used to reach the camera cut to 32 bits or as a float out of range.
    for (const char *text : {"4294967297", "-2147483649", "abc", "", "12x"})
        EXPECT_TRUE(usageError([&] { CliArguments::integer(text, 0, "value"); })) << text;
    for (const char *text : {"1e300", "-1e39", "nan", "inf", "1.5.2"})
        EXPECT_TRUE(usageError([&] { CliArguments::real(text, "value"); })) << text;
    EXPECT_TRUE(usageError([] { CliArguments::hex("100000000", "address"); }));
    // A count whose wait in milliseconds would overflow is refused, not wrapped.
    const CliArguments grab = parse({"grab", "0", "--count", "30000000", "--visibility", "all"});
    EXPECT_TRUE(usageError([&] { grab.count("--count", "1", 1, 1000000, "usage"); }));
    EXPECT_EQ(parse({"grab", "0"}).count("--count", "1", 1, 1000000, "usage"), 1);
    EXPECT_TRUE(usageError([&] { grab.visibility(); }));
    EXPECT_TRUE(usageError([] { parse({"grab"}).word(1, "CAMERA"); }));
}
