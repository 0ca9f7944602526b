// The in-memory feature tree: access modes, bounds, steps, visibility, hooks.
#include "camera/CameraError.h"
#include "camera/NodeMap.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using cam::CameraError;
using cam::NodeMap;

namespace {


void sample(NodeMap &m)
{
    m.category("Root", "Image");
    m.category("Root", "Secret", 2);
    m.integer("Image", "Width", 640, 48, 1280, 8);
    m.real("Image", "Gain", 0, 0, 24);
    m.string("Image", "DeviceID", "CAM1");
    m.enumeration("Image", "Mode", {"Off", "On"}, "Off");
    m.integer("Image", "Hidden", 0, 0, 1, 1, cam::access::NotImplemented);
    m.integer("Secret", "Key", 1, 0, 9);
}

} // namespace

TEST(NodeMap, RefusesWritesOutsideBoundsStepsAndAccess)
{
    NodeMap m;
    sample(m);
    m.setIntValue("Width", 648);
    EXPECT_EQ(m.intValue("Width"), 648);
    EXPECT_EQ(codeOf([&] { m.setIntValue("Width", 641); }), cam::code::OutOfRange);
    EXPECT_EQ(codeOf([&] { m.setIntValue("Width", 1288); }), cam::code::OutOfRange);
    EXPECT_EQ(codeOf([&] { m.setFloatValue("Gain", 24.5); }), cam::code::OutOfRange);
    EXPECT_EQ(codeOf([&] { m.setStringValue("DeviceID", "x"); }), cam::code::AccessDenied);
    EXPECT_EQ(codeOf([&] { m.setEnumValue("Mode", "on"); }), cam::code::OutOfRange);  // case matters
    EXPECT_EQ(codeOf([&] { m.intValue("Gain"); }), cam::code::WrongType);
    EXPECT_EQ(codeOf([&] { m.intValue("Nope"); }), cam::code::NoSuchFeature);
    EXPECT_EQ(codeOf([&] { m.intValue("Hidden"); }), cam::code::NoSuchFeature);
    EXPECT_EQ(m.intValue("Width"), 648);  // nothing refused was written
}

TEST(NodeMap, StepsAreCheckedWithoutOverflowOnRangesAsWideAsSixtyFourBits)
{
    NodeMap m;
    constexpr int64_t lowest = std::numeric_limits<int64_t>::min();
    constexpr int64_t highest = std::numeric_limits<int64_t>::max();
    m.integer("Root", "Wide", 0, lowest, highest, 4);
    m.integer("Root", "Offset", 0, -1024, highest, 4);
    m.setIntValue("Wide", highest - 3);  // highest - INT64_MIN + 1 steps: a multiple of 4
    EXPECT_EQ(m.intValue("Wide"), highest - 3);
    EXPECT_EQ(codeOf([&] { m.setIntValue("Wide", highest); }), cam::code::OutOfRange);
    m.setIntValue("Offset", highest - 3);
    EXPECT_EQ(codeOf([&] { m.setIntValue("Offset", highest); }), cam::code::OutOfRange);
    EXPECT_TRUE(cam::onStep(lowest, lowest, 4));
    EXPECT_FALSE(cam::onStep(-3, lowest, 4));
}

TEST(NodeMap, VisibilityFiltersChildrenButNotImplementedNodesStayListedForTheCaller)
{
    NodeMap m;
    sample(m);
    m.setVisibility(0);
    EXPECT_EQ(m.childNodes("Root"), (std::vector<std::string>{"Image"}));
    m.setVisibility(2);
    EXPECT_EQ(m.childNodes("Root"), (std::vector<std::string>{"Image", "Secret"}));
    // The tree keeps unimplemented nodes; their access mode says so and browsers leave them out.
    auto children = m.childNodes("Image");
    EXPECT_NE(std::find(children.begin(), children.end(), "Hidden"), children.end());
    EXPECT_EQ(m.accessMode("Hidden"), cam::access::NotImplemented);
    EXPECT_FALSE(m.has("Hidden"));
    EXPECT_EQ(m.interfaceName("Mode"), "IEnumeration");
}

TEST(NodeMap, WriteHooksRunAfterTheValueIsStored)
{
    NodeMap m;
    sample(m);
    int64_t seen = -1;
    m.find("Width")->onWrite = [&] { seen = m.intValue("Width"); };
    m.setIntValue("Width", 800);
    EXPECT_EQ(seen, 800);
}
