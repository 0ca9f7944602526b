// The trigger page: the mode layout table, Set Trigger Property's writes and messages, the
// numeric checks at their bounds, strobe rounding and bounds, the shot/trigger exclusion,
// shots, and continuous acquisition restored when another page is chosen.
#include "TestSupport.h"

#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMenuDlg.h"
#include "camera/NodeMap.h"
#include "pages/CTriggerCtrlDlg.h"
#include "view/CMolvaneView.h"

using cam::Dispid;
using namespace res;

class TriggerPage : public AppFixture {
protected:
    CTriggerCtrlDlg &page(int line = 0)
    {
        if (!view)
            view = open(line);
        frame().routeCommand(CmdCameraControl);
        menu(BtnTrigger);
        return *frame().m_pControlPane->m_pTriggerDlg;
    }
    void menu(int button) { frame().m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, button); }
    void select(CTriggerCtrlDlg &p, int id, const std::string &text)
    {
        const auto &items = p.form().items(id);
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i] == text)
                p.form().setSelection(id, static_cast<int>(i));
        p.dispatch(fw::Notify::SelChange, id);
    }
    void click(CTriggerCtrlDlg &p, int id, int check = -1)
    {
        if (check >= 0)
            p.form().setCheck(id, check);
        p.dispatch(fw::Notify::Clicked, id);
    }
    void type(CTriggerCtrlDlg &p, int id, const std::string &text) { p.form().setText(id, text); }
    cam::Node &node(const std::string &name)
    {
        auto &nodes = dynamic_cast<cam::NodeMap &>(sims.cameras()[0]->features());
        return *nodes.find(name);
    }
    std::vector<std::string> messages() const
    {
        std::vector<std::string> out;
        for (const auto &m : platform.messageBoxes())
            out.push_back(m.text);
        return out;
    }
    std::string lastBalloon() const
    {
        return platform.balloons().empty() ? std::string() : platform.balloons().back().text;
    }
    cam::CMolvane &camera() { return *view->m_pCamera; }
    fw::Form &info() { return frame().m_pCameraInfoPane->m_dlg.form(); }
    CMolvaneView *view = nullptr;
};

TEST_F(TriggerPage, ShowingThePageLoadsListsBoundsAndTheShotGroupFromTheCamera)
{
    start(1);
    view = open(0);
    camera().SetTriggerPolarity("FallingEdge");
    camera().SetTriggerMode(12);
    camera().SetTriggerSource("Software");
    camera().SetTriggerOnOff(1);
    CTriggerCtrlDlg &p = page();
    const fw::Form &f = p.form();
    EXPECT_EQ(f.selectedText(TrgPolarity), "FallingEdge");
    EXPECT_EQ(f.itemCount(TrgMode), 16);
    EXPECT_EQ(f.selectedText(TrgMode), "Mode12");
    EXPECT_EQ(f.selectedText(TrgSource), "Software");
    EXPECT_TRUE(f.check(TrgOnOff));
    EXPECT_TRUE(f.isEnabled(TrgSoftware));  // on, and the source is "Software"
    EXPECT_TRUE(f.isEnabled(TrgExtra));     // mode 12 takes the sequence table
    EXPECT_EQ(f.text(TrgDelayLow), "0");
    EXPECT_EQ(f.text(TrgDelayHigh), "4000");
    EXPECT_EQ(f.items(TrgStrobe), (std::vector<std::string>{"Timer0", "Timer1", "Timer2", "Timer3"}));
    EXPECT_EQ(f.selectedText(TrgStrobe), "Timer0");
    EXPECT_EQ(f.text(TrgDuration), "1000");
    EXPECT_EQ(f.text(TrgDurationHigh), "64000");
    EXPECT_TRUE(f.check(TrgStrobeLow) == !f.check(TrgStrobeHigh));
    EXPECT_TRUE(f.isEnabled(TrgShotEnable));
    EXPECT_FALSE(f.check(TrgShotEnable));  // "Continuous"
    EXPECT_FALSE(f.isEnabled(TrgShot));
    EXPECT_TRUE(f.check(TrgOneShot));  // the view's m_bMultiShot starts at 0
    EXPECT_EQ(f.state(TrgCountSpin).rangeMin, 2);
    EXPECT_EQ(f.state(TrgCountSpin).rangeMax, 65535);
    EXPECT_TRUE(platform.balloons().empty());
}

TEST_F(TriggerPage, EachModeEnablesItsControlsAndModesWithoutARowChangeNothing)
{
    start(1);
    CTriggerCtrlDlg &p = page();
    const fw::Form &f = p.form();
    struct Row {
        const char *mode;
        bool parameter, extra, exposure, interval, source;
    };
    const Row table[] = {{"Mode0", false, false, false, false, true},
                         {"Mode1", false, false, false, false, false},
                         {"Mode2", true, false, false, false, false},
                         {"Mode4", true, false, false, false, false},
                         {"Mode5", true, false, false, false, false},
                         {"Mode12", true, true, false, false, true},
                         {"Mode13", true, true, false, false, true},
                         {"Mode14", true, true, true, true, false},
                         {"Mode15", true, false, false, false, true}};
    for (const Row &r : table) {
        select(p, TrgSource, "Software");
        select(p, TrgMode, r.mode);
        EXPECT_EQ(f.isEnabled(TrgParameter), r.parameter) << r.mode;
        EXPECT_EQ(f.isEnabled(TrgExtra), r.extra) << r.mode;
        EXPECT_EQ(f.isEnabled(TrgSetExposure), r.exposure) << r.mode;
        EXPECT_EQ(f.isEnabled(TrgExposure), r.exposure) << r.mode;
        EXPECT_EQ(f.isEnabled(TrgInterval), r.interval) << r.mode;
        EXPECT_EQ(f.isEnabled(TrgSource), r.source) << r.mode;
        // A disabled source list shows its first entry.
        EXPECT_EQ(f.selection(TrgSource), r.source ? 2 : 0) << r.mode;
    }
    // Mode 3 (and 6 to 11) leave everything as mode 14 left it.
    select(p, TrgMode, "Mode14");
    select(p, TrgMode, "Mode3");
    EXPECT_TRUE(f.isEnabled(TrgInterval));
    EXPECT_FALSE(f.isEnabled(TrgSource));
    // Modes 2, 4 and 5 show the camera's parameter raised to their least value.
    camera().SetTriggerParameter(0);
    select(p, TrgMode, "Mode2");
    EXPECT_EQ(f.text(TrgParameter), "2");
    select(p, TrgMode, "Mode4");
    EXPECT_EQ(f.text(TrgParameter), "1");
    camera().SetTriggerParameter(7);
    select(p, TrgMode, "Mode5");
    EXPECT_EQ(f.text(TrgParameter), "7");
    // Choosing a mode writes nothing.
    EXPECT_EQ(camera().GetTriggerMode(), 0);
}

TEST_F(TriggerPage, SetTriggerPropertyWritesInOrderAndReportsEachRefusalButGoesOn)
{
    start(1);
    CTriggerCtrlDlg &p = page();
    const std::vector<Dispid> members = {Dispid::TriggerMode, Dispid::TriggerSource, Dispid::TriggerPolarity,
                                         Dispid::TriggerParameter, Dispid::TriggerOnOff};
    select(p, TrgMode, "Mode2");
    select(p, TrgSource, "Software");
    select(p, TrgPolarity, "LevelHigh");
    type(p, TrgParameter, "9");
    p.form().setCheck(TrgOnOff, 1);
    camera().callLog().clear();
    click(p, TrgSet);
    EXPECT_EQ(puts(camera(), members),
              (std::vector<int>{24, 26, 27, 29, 28}));
    EXPECT_EQ(camera().GetTriggerMode(), 2);
    EXPECT_EQ(camera().GetTriggerParameter(), 9);
    EXPECT_EQ(camera().GetTriggerOnOff(), 1);
    EXPECT_EQ(info().text(InfoTrigger), "ON");
    // Mode 1 leaves the parameter alone (mode 1 fixes the source to the first entry).
    select(p, TrgMode, "Mode1");
    p.form().setCheck(TrgOnOff, 0);
    camera().callLog().clear();
    click(p, TrgSet);
    EXPECT_EQ(puts(camera(), members), (std::vector<int>{24, 26, 27, 28}));
    EXPECT_FALSE(p.form().isEnabled(TrgSoftware));  // Line1 was written
    EXPECT_EQ(info().text(InfoTrigger), "OFF");
    // A negative parameter is refused at its edit while the rest is still written.
    select(p, TrgMode, "Mode15");
    type(p, TrgParameter, "-1");
    camera().callLog().clear();
    click(p, TrgSet);
    EXPECT_EQ(lastBalloon(), "Unavailable Trigger pulse value");
    EXPECT_EQ(puts(camera(), members), (std::vector<int>{24, 26, 27, 28}));
    // A camera refusing the mode and the polarity: both are reported, source and on/off written.
    node("ExposureMode").access = cam::access::ReadOnly;
    node("TriggerActivation").access = cam::access::ReadOnly;
    node("TriggerParameter").access = cam::access::ReadOnly;
    select(p, TrgMode, "Mode15");
    type(p, TrgParameter, "3");
    p.form().setCheck(TrgOnOff, 1);
    click(p, TrgSet);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Error while setting Trigger Mode!",
                                                    "Error while setting Trigger Polarity!",
                                                    "Error while setting Trigger Pluse Count!"}));
    EXPECT_EQ(camera().GetTriggerOnOff(), 1);
}

TEST_F(TriggerPage, DelayAndExposureChecksHoldAtTheirFixedBounds)
{
    start(1);
    CTriggerCtrlDlg &p = page();
    auto delay = [&](const std::string &text) {
        platform.clearRecords();
        type(p, TrgDelay, text);
        click(p, TrgSetDelay);
        return lastBalloon();
    };
    EXPECT_EQ(delay("4000"), "");
    EXPECT_FLOAT_EQ(camera().GetTriggerDelay(), 4000.0f);
    EXPECT_EQ(delay("4000.5"), "Unavailable input value");
    EXPECT_EQ(delay("-0.1"), "Unavailable input value");
    EXPECT_FLOAT_EQ(camera().GetTriggerDelay(), 4000.0f);
    EXPECT_EQ(delay("12.5us"), "");  // the leading number counts
    EXPECT_FLOAT_EQ(camera().GetTriggerDelay(), 12.5f);
    EXPECT_EQ(delay("abc"), "");  // no number reads as 0
    EXPECT_FLOAT_EQ(camera().GetTriggerDelay(), 0.0f);

    auto exposure = [&](const std::string &t, const std::string &i) {
        platform.clearRecords();
        camera().callLog().clear();
        type(p, TrgExposure, t);
        type(p, TrgInterval, i);
        click(p, TrgSetExposure);
        return lastBalloon();
    };
    EXPECT_EQ(exposure("64000", "1"), "");
    EXPECT_EQ(dispids(camera(), {Dispid::SetExposureTimeInterval}).size(), 1u);
    EXPECT_EQ(camera().GetIntValue("ExposureTimeInterval"), 1);
    for (auto [t, i] : {std::pair{"0", "5"}, {"64001", "5"}, {"5", "0"}, {"5", "64001"}}) {
        EXPECT_EQ(exposure(t, i), "Invalid range.") << t << " " << i;
        EXPECT_TRUE(dispids(camera(), {Dispid::SetExposureTimeInterval}).empty());
    }
}

TEST_F(TriggerPage, StrobeDurationRoundsToQuarterMillisecondsAndBoundsRefuseBeforeAnyWrite)
{
    EXPECT_EQ(CTriggerCtrlDlg::RoundToStrobeUnit(1125), 1000);
    EXPECT_EQ(CTriggerCtrlDlg::RoundToStrobeUnit(1126), 1250);
    EXPECT_EQ(CTriggerCtrlDlg::RoundToStrobeUnit(1250), 1250);
    EXPECT_EQ(CTriggerCtrlDlg::RoundToStrobeUnit(0), 0);
    EXPECT_EQ(CTriggerCtrlDlg::RoundToStrobeUnit(-1126), -1000);  // the remainder keeps the sign
    start(1);
    CTriggerCtrlDlg &p = page();
    select(p, TrgStrobe, "Timer2");
    p.form().setCheck(TrgStrobeEnable, 1);
    p.form().setCheck(TrgStrobeHigh, 0);
    p.form().setCheck(TrgStrobeLow, 1);
    type(p, TrgStrobeDelay, "300");
    type(p, TrgDuration, "1126");
    camera().callLog().clear();
    click(p, TrgStrobeSet);
    EXPECT_EQ(dispids(camera(), {Dispid::SetStrobeProperty, Dispid::SetStrobeDelay, Dispid::SetStrobeDuration}),
              (std::vector<int>{125, 172, 170}));
    EXPECT_EQ(p.form().text(TrgDuration), "1126");  // the edit keeps what was typed
    EXPECT_EQ(camera().GetStrobeProperty(), (cam::StringList{{"Timer2", "ON", "LevelLow"}}));
    EXPECT_FLOAT_EQ(camera().GetStrobeDuration(), 1250.0f);
    EXPECT_FLOAT_EQ(camera().GetStrobeDelay(), 300.0f);
    // Selecting another output reads its own settings; Timer2 keeps what was set.
    select(p, TrgStrobe, "Timer0");
    EXPECT_FALSE(p.form().check(TrgStrobeEnable));
    EXPECT_TRUE(p.form().check(TrgStrobeHigh));
    EXPECT_EQ(p.form().text(TrgDuration), "1000");
    select(p, TrgStrobe, "Timer2");
    EXPECT_TRUE(p.form().check(TrgStrobeEnable));
    EXPECT_EQ(p.form().text(TrgDuration), "1250");
    // Out of bounds: the delay is checked first; nothing is written.
    auto set = [&](const std::string &d, const std::string &u) {
        platform.clearRecords();
        camera().callLog().clear();
        type(p, TrgStrobeDelay, d);
        type(p, TrgDuration, u);
        click(p, TrgStrobeSet);
        EXPECT_TRUE(dispids(camera(), {Dispid::SetStrobeDelay, Dispid::SetStrobeDuration}).empty());
        return lastBalloon();
    };
    EXPECT_EQ(set("65536", "64001"), "Unavailable delay value");
    EXPECT_EQ(set("-1", "1000"), "Unavailable delay value");
    EXPECT_EQ(set("65535", "64001"), "Unavailable duration value");
    EXPECT_EQ(set("0", "-1"), "Unavailable duration value");
}

TEST_F(TriggerPage, StrobeReadFailuresAreReportedAndTheRestStillLoads)
{
    start(1);
    node("TimerDelay").access = cam::access::NotImplemented;
    CTriggerCtrlDlg &p = page();
    EXPECT_EQ(messages(), std::vector<std::string>{"Error while setting Strobe Delay!"});
    EXPECT_EQ(p.form().text(TrgDuration), "1000");
}

// The page goes on loading the camera after its message is answered (and finds it gone); the
// camera's window, which the page holds, closes only then, and reports nothing meanwhile.
TEST_F(TriggerPage, ACameraLostWhileAStrobeMessageIsOpenClosesItsWindowOnceTheMessageIsAnswered)
{
    start(2);
    node("TimerDelay").access = cam::access::NotImplemented;
    view = open(0);
    view->OnPlay();
    bool openDuringBox = false;
    platform.duringNextMessageBox([&] {
        sims.disconnect(1);
        platform.advance(1000);  // the window's status timer finds the camera gone: no reports
        openDuringBox = g_listCameraView.size() == 1;
    });
    CTriggerCtrlDlg &p = page();
    EXPECT_TRUE(openDuringBox);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Error while setting Strobe Delay!",
                                                    "Error while setting Strobe Duration!"}));
    EXPECT_TRUE(p.hasWindow());
    platform.processEvents();
    EXPECT_TRUE(g_listCameraView.empty());
    EXPECT_EQ(platform.frame()->statusText(), "SIM-GC1280 (SIM00001) was disconnected");
    EXPECT_EQ(list().lineCount(), 1);
}

TEST_F(TriggerPage, TriggerAndShotsExcludeEachOther)
{
    start(1);
    CTriggerCtrlDlg &p = page();
    // The trigger is on: checking the shot box is refused and writes nothing.
    camera().SetTriggerOnOff(1);
    camera().callLog().clear();
    click(p, TrgShotEnable, 1);
    EXPECT_EQ(messages(), std::vector<std::string>{"First, you must turn off the trigger function ."});
    EXPECT_FALSE(p.form().check(TrgShotEnable));
    EXPECT_TRUE(puts(camera(), {Dispid::AcquisitionMode}).empty());
    // Trigger off: the box goes on with One Shot, the camera is in "SingleFrame".
    camera().SetTriggerOnOff(0);
    platform.clearRecords();
    click(p, TrgShotEnable, 1);
    EXPECT_EQ(camera().GetAcquisitionMode(), "SingleFrame");
    EXPECT_TRUE(p.form().isEnabled(TrgShot));
    EXPECT_FALSE(p.form().isEnabled(TrgCount));
    // Now Set Trigger Property is refused and unticks Trigger On/Off.
    p.form().setCheck(TrgOnOff, 1);
    camera().callLog().clear();
    click(p, TrgSet);
    EXPECT_EQ(messages(), std::vector<std::string>{"First, you must turn off the one/multi shot function. "});
    EXPECT_FALSE(p.form().check(TrgOnOff));
    EXPECT_TRUE(puts(camera(), {Dispid::TriggerMode, Dispid::TriggerSource, Dispid::TriggerOnOff}).empty());
    // Multi Shot: "MultiFrame", the count enabled, remembered by the view.
    click(p, TrgMultiShot, 1);
    EXPECT_EQ(camera().GetAcquisitionMode(), "MultiFrame");
    EXPECT_FALSE(p.form().check(TrgOneShot));
    EXPECT_TRUE(p.form().isEnabled(TrgCount));
    EXPECT_EQ(view->m_bMultiShot, 1);
    // Unchecking the box goes back to "Continuous".
    click(p, TrgShotEnable, 0);
    EXPECT_EQ(camera().GetAcquisitionMode(), "Continuous");
    EXPECT_FALSE(p.form().isEnabled(TrgShot));
    // Shown again, the page keeps Multi Shot ticked from the view.
    menu(BtnFormat);
    menu(BtnTrigger);
    EXPECT_TRUE(p.form().check(TrgMultiShot));
}

TEST_F(TriggerPage, ShotsNeedAPlayingCameraAndACountInRangeAndDeliverExactlyThatMany)
{
    start(1);
    CTriggerCtrlDlg &p = page();
    click(p, TrgShotEnable, 1);
    click(p, TrgMultiShot, 1);
    view->m_nFrameCount = 9;
    click(p, TrgShot);
    EXPECT_EQ(lastBalloon(), "First, you must play camera.");
    EXPECT_EQ(view->m_nFrameCount, 0u);  // reset even so
    frame().routeCommand(CmdPlay);
    for (const char *bad : {"1", "65536", "x"}) {
        platform.clearRecords();
        camera().callLog().clear();
        type(p, TrgCount, bad);
        click(p, TrgShot);
        EXPECT_EQ(lastBalloon(), "Unavailable shot count. \n Available range : 2 ~ 65535") << bad;
        EXPECT_TRUE(dispids(camera(), {Dispid::StartMultiShot}).empty());
    }
    type(p, TrgCount, "65535");
    camera().callLog().clear();
    click(p, TrgShot);
    EXPECT_EQ(dispids(camera(), {Dispid::MultiShotCount, Dispid::StartMultiShot}), (std::vector<int>{47, 186}));
    EXPECT_EQ(camera().GetMultiShotCount(), 65535);
    // A multi shot of 5 brings exactly five frames.
    frame().routeCommand(CmdStop);
    frame().routeCommand(CmdPlay);
    type(p, TrgCount, "5");
    click(p, TrgShot);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 5; }));
    platform.processUntil([] { return false; }, 300);
    EXPECT_EQ(view->m_nFrameCount, 5u);
    // One shot: one frame.
    click(p, TrgOneShot, 1);
    click(p, TrgShot);
    ASSERT_TRUE(platform.processUntil([&] { return view->m_nFrameCount >= 1; }));
    platform.processUntil([] { return false; }, 300);
    EXPECT_EQ(view->m_nFrameCount, 1u);
}

TEST_F(TriggerPage, LeavingThePageRestoresContinuousAcquisitionOfAPlayingCamera)
{
    start(1);
    CTriggerCtrlDlg &p = page();
    frame().routeCommand(CmdPlay);
    click(p, TrgShotEnable, 1);
    click(p, TrgMultiShot, 1);
    camera().callLog().clear();
    menu(BtnFeature);
    EXPECT_EQ(camera().GetAcquisitionMode(), "Continuous");
    EXPECT_EQ(puts(camera(), {Dispid::AcquisitionMode, Dispid::Acquisition}), (std::vector<int>{11, 12, 12}));
    EXPECT_EQ(view->m_bPlaying, 1);
    EXPECT_EQ(camera().GetAcquisition(), 1);
    // A stopped camera is left as it is.
    menu(BtnTrigger);
    frame().routeCommand(CmdStop);
    click(p, TrgShotEnable, 1);
    menu(BtnFormat);
    EXPECT_EQ(camera().GetAcquisitionMode(), "MultiFrame");
}

TEST_F(TriggerPage, ACameraWithoutShotModesGetsTheShotGroupDisabledEachTimeItIsShown)
{
    start(1);
    node("AcquisitionMode").entries = {"Continuous"};
    CTriggerCtrlDlg &p = page();
    for (int id : {TrgShotEnable, TrgOneShot, TrgMultiShot, TrgCount, TrgCountSpin, TrgShot})
        EXPECT_FALSE(p.form().isEnabled(id)) << id;
    EXPECT_EQ(lastBalloon(), "This camera not support One/MultiShot");
    platform.clearRecords();
    menu(BtnFormat);
    menu(BtnTrigger);
    EXPECT_EQ(lastBalloon(), "This camera not support One/MultiShot");
}

TEST_F(TriggerPage, ReturnAndEscapeDoNothing)
{
    start(1);
    CTriggerCtrlDlg &p = page();
    for (fw::Key k : {fw::Key::Enter, fw::Key::Escape}) {
        fw::KeyEvent key;
        key.key = k;
        key.controlId = TrgDelay;
        EXPECT_TRUE(p.preTranslateKey(key));
    }
    EXPECT_FALSE(p.onMouseActivate());
}

// Every bad entry in every number field of the page, each sent by its own button: refused with
// the field's balloon before any write, or written and, when the camera refuses it, its error
// shown; the camera never holds a value outside the field's range (a pulse count of 0, which no
// number reads as, is the camera's to take). The shot count is tried on a playing camera.
TEST_F(TriggerPage, BadNumbersInEveryFieldGetAMessageAndNeverReachTheCameraOutOfRange)
{
    start(1);
    CTriggerCtrlDlg &p = page();
    select(p, TrgMode, "Mode2");  // a mode with a pulse count
    select(p, TrgStrobe, "Timer2");
    struct Field {
        int edit, button;
        std::vector<cam::Dispid> writes;
        std::function<bool()> inRange;  // what the camera holds afterwards
    };
    const std::vector<Field> fields = {
        {TrgParameter, TrgSet, {Dispid::TriggerParameter},
         [&] { return camera().GetTriggerParameter() >= 0 && camera().GetTriggerParameter() <= 4095; }},
        {TrgDelay, TrgSetDelay, {Dispid::SetTriggerDelay},
         [&] { return camera().GetTriggerDelay("") >= 0 && camera().GetTriggerDelay("") <= 4000; }},
        {TrgExposure, TrgSetExposure, {Dispid::SetExposureTimeInterval}, [] { return true; }},
        {TrgInterval, TrgSetExposure, {Dispid::SetExposureTimeInterval}, [] { return true; }},
        {TrgStrobeDelay, TrgStrobeSet, {Dispid::SetStrobeDelay, Dispid::SetStrobeDuration},
         [&] { return camera().GetStrobeDelay("") >= 0 && camera().GetStrobeDelay("") <= 65535; }},
        {TrgDuration, TrgStrobeSet, {Dispid::SetStrobeDelay, Dispid::SetStrobeDuration},
         [&] { return camera().GetStrobeDuration("") >= 0 && camera().GetStrobeDuration("") <= 64000; }},
    };
    for (const Field &f : fields) {
        for (const std::string &text : badNumbers()) {
            SCOPED_TRACE(std::to_string(f.edit) + " <- \"" + text + "\"");
            for (int edit : {TrgParameter, TrgDelay, TrgExposure, TrgInterval, TrgStrobeDelay, TrgDuration})
                type(p, edit, edit == TrgDelay ? "10" : "300");  // the others hold good values
            type(p, f.edit, text);
            const Mark m = mark(view->m_pCamera);
            click(p, f.button);
            EXPECT_TRUE(f.inRange());
            // Refused before a write: its balloon; written: at most the camera's refusal.
            const std::vector<std::string> shown = shownSince(m);
            EXPECT_EQ(shown.size(), callsSince(camera(), m, f.writes) == 0 ? 1u : shown.size());
            EXPECT_LE(shown.size(), 1u) << ::testing::PrintToString(shown);
        }
    }
    frame().routeCommand(CmdPlay);
    click(p, TrgShotEnable, 1);
    click(p, TrgMultiShot, 1);
    for (const std::string &text : badNumbers()) {
        SCOPED_TRACE(text);
        type(p, TrgCount, text);
        const Mark m = mark(view->m_pCamera);
        click(p, TrgShot);
        EXPECT_EQ(shownSince(m), std::vector<std::string>{"Unavailable shot count. \n Available range : 2 ~ 65535"});
        EXPECT_EQ(callsSince(camera(), m, {Dispid::MultiShotCount, Dispid::StartMultiShot}), 0);
    }
}
