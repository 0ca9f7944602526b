// The framework the logic is written against: forms, message maps, routing, timers, posting.
#include "framework/FrameWindow.h"
#include "framework/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Recorder : fw::FormListener {
    std::vector<int> changed;
    void controlChanged(int id) override { changed.push_back(id); }
};

struct TimedWindow : fw::Window {
    std::vector<std::pair<long long, int>> fired;
    fw::HeadlessPlatform *platform = nullptr;
    void onTimer(int id) override { fired.push_back({platform->now(), id}); }
};

} // namespace

TEST(Form, ListEditsKeepSelectionConsistentAndNotify)
{
    fw::Form f;
    Recorder r;
    f.setListener(&r);
    f.setItems(5, {"a", "b", "c"});
    f.setSelection(5, 2);
    f.removeItem(5, 0);
    EXPECT_EQ(f.selection(5), 1);
    EXPECT_EQ(f.selectedText(5), "c");
    f.insertItem(5, 0, "z");
    EXPECT_EQ(f.selectedText(5), "c");
    f.removeItem(5, 2);
    EXPECT_EQ(f.selection(5), -1);
    f.setSelection(5, 7);  // out of range selects nothing
    EXPECT_EQ(f.selection(5), -1);
    EXPECT_EQ(f.itemText(5, 9), "");
    EXPECT_EQ(r.changed.size(), 6u);
    // A control nobody set reads as the template's empty default.
    EXPECT_EQ(f.text(99), "");
    EXPECT_TRUE(f.isEnabled(99));
}

TEST(FrameWindow, CommandsRouteToTheFirstHandlerAndUnhandledOnesAreDisabled)
{
    fw::HeadlessPlatform platform;
    fw::FrameWindow frame;
    fw::Window app;
    frame.setApplicationWindow(&app);
    std::vector<std::string> ran;
    frame.on(fw::Notify::Command, 10, [&] { ran.push_back("frame"); });
    app.on(fw::Notify::Command, 10, [&] { ran.push_back("app"); });
    app.on(fw::Notify::Command, 11, [&] { ran.push_back("app11"); });
    EXPECT_TRUE(frame.routeCommand(10));
    EXPECT_TRUE(frame.routeCommand(11));
    EXPECT_FALSE(frame.routeCommand(12));
    EXPECT_EQ(ran, (std::vector<std::string>{"frame", "app11"}));
    EXPECT_TRUE(frame.commandUi(11).enabled);
    EXPECT_FALSE(frame.commandUi(12).enabled);
}

TEST(HeadlessPlatform, TimersFireInDueOrderAndStopWhenKilled)
{
    fw::HeadlessPlatform platform;
    TimedWindow w;
    w.platform = &platform;
    platform.setTimer(&w, 1, 100);
    platform.setTimer(&w, 2, 250);
    platform.advance(500);
    std::vector<std::pair<long long, int>> expected = {{100, 1}, {200, 1}, {250, 2}, {300, 1},
                                                       {400, 1}, {500, 1}, {500, 2}};
    EXPECT_EQ(w.fired, expected);
    platform.killTimers(&w);
    platform.advance(1000);
    EXPECT_EQ(w.fired.size(), expected.size());
}

TEST(HeadlessPlatform, CallsPostedFromOtherThreadsRunOnTheLoop)
{
    fw::HeadlessPlatform platform;
    int ran = 0;
    std::thread t([&] {
        for (int i = 0; i < 100; ++i)
            platform.post([&] { ++ran; });
    });
    t.join();
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(platform.processEvents(), 100);
    EXPECT_EQ(ran, 100);
}

// A camera that goes away while a box is open must not close windows the box's caller holds.
TEST(HeadlessPlatform, WorkThatClosesWindowsWaitsForTheLastModalLoopAndKeepsItsOrder)
{
    fw::HeadlessPlatform platform;
    std::vector<int> ran;
    auto add = [&](int n) { return [&ran, n] { ran.push_back(n); }; };
    platform.whenNotModal(add(1));
    EXPECT_EQ(ran, std::vector<int>{1});  // no loop open: at once
    {
        fw::Platform::ModalLoop outer(platform);
        platform.whenNotModal(add(2));
        {
            fw::Platform::ModalLoop inner(platform);
            platform.whenNotModal(add(3));
        }
        platform.processEvents();
        EXPECT_EQ(ran, std::vector<int>{1});  // the outer box is still open
    }
    // The caller of the box goes on first; work arriving now queues behind what waits.
    platform.whenNotModal(add(4));
    EXPECT_EQ(ran, std::vector<int>{1});
    platform.processEvents();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4}));

    // Work that opens a box of its own holds up the rest while that box is open.
    std::vector<int> seenInOwnBox;
    {
        fw::Platform::ModalLoop box(platform);
        platform.whenNotModal([&] {
            fw::Platform::ModalLoop own(platform);
            ran.push_back(5);
            platform.processEvents();
            seenInOwnBox = ran;
        });
        platform.whenNotModal(add(6));
    }
    platform.processEvents();
    EXPECT_EQ(seenInOwnBox, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4, 5, 6}));

    // Work that fails is reported as any handler's failure; the rest still runs.
    {
        fw::Platform::ModalLoop box(platform);
        platform.whenNotModal([] { throw std::runtime_error("gone"); });
        platform.whenNotModal(add(7));
    }
    platform.processEvents();
    EXPECT_EQ(ran.back(), 7);
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.messageBoxes()[0].text, "gone");
    EXPECT_EQ(platform.modalDepth(), 0);
}

TEST(Window, PostedCloseIsDroppedWhenTheWindowIsGone)
{
    fw::HeadlessPlatform platform;
    int closes = 0;
    struct Closing : fw::Window {
        int *count;
        void onClose() override { ++*count; }
    };
    auto w = std::make_unique<Closing>();
    w->count = &closes;
    w->postClose();
    w.reset();
    platform.processEvents();
    EXPECT_EQ(closes, 0);
}

TEST(Window, AHandlerThatFailsIsEndedAndReportedOnceWhileTheProgramGoesOn)
{
    fw::HeadlessPlatform platform;
    fw::Window w;
    int after = 0;
    w.on(fw::Notify::Clicked, 1, [&] {
        throw std::runtime_error("the camera has no node \"DeviceFirmwareVersion\"");
        ++after;
    });
    w.on(fw::Notify::Clicked, 2, [&] { ++after; });
    EXPECT_TRUE(w.dispatch(fw::Notify::Clicked, 1));
    EXPECT_TRUE(w.dispatch(fw::Notify::Clicked, 1));  // a second failure while the first is pending
    w.dispatch(fw::Notify::Clicked, 2);
    platform.processEvents();
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.messageBoxes()[0].text, "the camera has no node \"DeviceFirmwareVersion\"");
    EXPECT_EQ(after, 1);
    w.dispatch(fw::Notify::Clicked, 1);  // reported again once the first box is gone
    platform.processEvents();
    EXPECT_EQ(platform.messageBoxes().size(), 2u);
}
