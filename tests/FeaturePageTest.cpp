// The Feature Control page: rows the camera refuses, padding, the gain and white-balance table,
// typed values, exposure units, "Once" white balance, truncated floats.
#include "TestSupport.h"

#include "framework/ErrorReport.h"

#include "app/CControlBasePane.h"
#include "app/CMenuDlg.h"
#include "pages/CFeatureCtrlDlg.h"
#include "view/CMolvaneView.h"

using cam::Dispid;
using namespace res;

class FeaturePage : public AppFixture {
protected:
    CFeatureCtrlDlg &page(int line)
    {
        view = open(line);
        frame().routeCommand(CmdCameraControl);
        frame().m_pControlPane->m_pMenuDlg->dispatch(fw::Notify::Clicked, BtnFeature);
        return *frame().m_pControlPane->m_pFeatureDlg;
    }
    std::vector<std::string> column(const CFeatureCtrlDlg &p, int col)
    {
        std::vector<std::string> out;
        for (int r = 0; r < p.form().rowCount(FeaList); ++r)
            out.push_back(p.form().cell(FeaList, r, col));
        return out;
    }
    void pick(CFeatureCtrlDlg &p, const std::string &display)
    {
        for (int r = 0; r < p.form().rowCount(FeaList); ++r)
            if (p.form().cell(FeaList, r, 0) == display)
                p.form().setSelection(FeaList, r);
        p.dispatch(fw::Notify::ItemClick, FeaList);
    }
    bool enter(CFeatureCtrlDlg &p, int control)
    {
        fw::KeyEvent k;
        k.key = fw::Key::Enter;
        k.controlId = control;
        return p.preTranslateKey(k);
    }
    CMolvaneView *view = nullptr;
};

TEST_F(FeaturePage, RowsTheCameraRefusesAreLeftOutWithoutGaps)
{
    start(2);
    CFeatureCtrlDlg &colour = page(0);
    EXPECT_EQ(column(colour, 0),
              (std::vector<std::string>{"Gain", "BlackLevel", "Gamma", "Sharpness", "Saturation",
                                        "Shutter(ExposureTime)", "AutoExposure", "WhiteBalance", "Hue"}));
    EXPECT_EQ(colour.form().state(FeaList).columns[0], "                  Feature");
    EXPECT_EQ(colour.form().cell(FeaList, 1, 1), "    0");  // the first fill pads to five
    EXPECT_EQ(colour.form().cell(FeaList, 5, 1), "10.000 ms");
    EXPECT_EQ(colour.form().cell(FeaList, 7, 1), "Off");
    // The IEEE 1394 mono camera has no colour features but iris, pan, tilt and a filter.
    CMolvaneView *mono = open(1);
    ASSERT_NE(mono, view);
    frame().m_pControlPane->RefreshPages();
    EXPECT_EQ(column(colour, 0),
              (std::vector<std::string>{"Gain", "BlackLevel", "Gamma", "Sharpness", "Shutter(ExposureTime)",
                                        "AutoExposure", "Iris", "Pan", "Tilt", "OpticalFilter"}));
    EXPECT_EQ(column(colour, 2), std::vector<std::string>(10, "M"));
}

TEST_F(FeaturePage, SelectingShowsBoundsAndThePlainValueAndTypedTextWritesItsNumber)
{
    start(1);
    CFeatureCtrlDlg &p = page(0);
    pick(p, "Sharpness");
    EXPECT_EQ(p.form().text(FeaTitle), "Sharpness");
    EXPECT_EQ(p.form().text(FeaLow), "0");
    EXPECT_EQ(p.form().text(FeaHigh), "7");
    EXPECT_EQ(p.form().cell(FeaList, 3, 1), "0");  // after a selection: the plain number
    p.form().setText(FeaValue, "5");
    EXPECT_TRUE(enter(p, FeaValue));
    EXPECT_EQ(view->m_pCamera->GetSharpness(), 5);
    EXPECT_EQ(p.form().pos(FeaSlider), 5);
    p.form().setText(FeaValue, "abc");  // no number reads as 0
    enter(p, FeaValue);
    EXPECT_EQ(view->m_pCamera->GetSharpness(), 0);
    p.form().setText(FeaValue, "99");  // refused by the camera: the box shows what it kept
    enter(p, FeaValue);
    EXPECT_EQ(p.form().text(FeaValue), "0");
    // The slider writes its position plus the lower bound.
    p.form().setPos(FeaSlider, 3);
    p.dispatch(fw::Notify::Scroll, FeaSlider);
    EXPECT_EQ(view->m_pCamera->GetSharpness(), 3);
}

TEST_F(FeaturePage, FloatsAreShownTruncated)
{
    start(1);
    CFeatureCtrlDlg &p = page(0);
    view->m_pCamera->SetGamma(2.9f);
    pick(p, "Gamma");
    EXPECT_EQ(p.form().text(FeaValue), "2");
}

TEST_F(FeaturePage, GainFollowsTheSelectorAndWhiteBalanceTable)
{
    start(1);
    CFeatureCtrlDlg &p = page(0);
    pick(p, "Gain");
    EXPECT_EQ(p.form().items(FeaChoice), (std::vector<std::string>{"All", "Red", "Green", "Blue"}));
    EXPECT_TRUE(p.form().isVisible(FeaAuto));
    EXPECT_TRUE(p.form().isEnabled(FeaSlider));
    // Red with white balance "Continuous": automatic and locked although GainAuto is "Off".
    view->m_pCamera->SetBalanceWhiteAuto("Continuous");
    p.form().setSelection(FeaChoice, 1);
    p.dispatch(fw::Notify::SelChange, FeaChoice);
    EXPECT_EQ(view->m_pCamera->GetEnumValue("GainSelector"), "Red");
    EXPECT_FALSE(p.form().isVisible(FeaAuto));
    EXPECT_FALSE(p.form().isEnabled(FeaSlider));
    EXPECT_EQ(p.form().cell(FeaList, 0, 2), "A");
    // Gain auto on with "All": locked, automatic; with white balance off too.
    view->m_pCamera->SetBalanceWhiteAuto("Off");
    p.form().setSelection(FeaChoice, 0);
    p.dispatch(fw::Notify::SelChange, FeaChoice);
    p.form().setCheck(FeaAuto, 1);
    p.dispatch(fw::Notify::Clicked, FeaAuto);
    EXPECT_EQ(view->m_pCamera->GetGainAuto(), "Continuous");
    EXPECT_FALSE(p.form().isEnabled(FeaValue));
    EXPECT_EQ(p.form().cell(FeaList, 0, 2), "A");
}

TEST_F(FeaturePage, ExposureTextNeedsAUnitAndGoesToTheCameraUnchanged)
{
    start(1);
    CFeatureCtrlDlg &p = page(0);
    pick(p, "Shutter(ExposureTime)");
    EXPECT_EQ(p.form().text(FeaTitle), "Shutter");
    EXPECT_TRUE(p.form().isVisible(FeaExposure));
    p.form().setText(FeaExposure, "12");
    EXPECT_TRUE(enter(p, FeaExposure));
    ASSERT_FALSE(platform.balloons().empty());
    EXPECT_EQ(platform.balloons().back().text, "Unit error");
    EXPECT_FLOAT_EQ(view->m_pCamera->GetExposureTime(), 10000);
    for (const char *text : {"12 ms", "250us"}) {
        view->m_pCamera->callLog().clear();
        p.form().setText(FeaExposure, text);
        enter(p, FeaExposure);
        auto calls = view->m_pCamera->callLog().calls();
        auto it = std::find_if(calls.begin(), calls.end(),
                               [](const cam::Call &c) { return c.dispid == Dispid::SetExposureTimeText; });
        ASSERT_NE(it, calls.end());
        EXPECT_EQ(std::get<std::string>(it->args[0]), text);
    }
    EXPECT_FLOAT_EQ(view->m_pCamera->GetExposureTime(), 250);
    EXPECT_EQ(p.form().text(FeaExposure), "250 us");
    // Auto exposure locks the slider and the box.
    p.form().setCheck(FeaAuto, 1);
    p.dispatch(fw::Notify::Clicked, FeaAuto);
    EXPECT_EQ(view->m_pCamera->GetExposureAuto(), "Continuous");
    EXPECT_FALSE(p.form().isEnabled(FeaSlider));
    EXPECT_EQ(p.form().cell(FeaList, 5, 2), "A");
}

TEST_F(FeaturePage, ARefusedExposureTextIsReportedAndTheCamerasValueShownAgain)
{
    start(1);
    CFeatureCtrlDlg &p = page(0);
    pick(p, "Shutter(ExposureTime)");
    const int row = p.form().selection(FeaList);
    for (const char *text : {"xyz ms", "12 ks"}) {
        p.form().setText(FeaExposure, text);
        fw::guarded([&] { enter(p, FeaExposure); });  // as the platform runs a key handler
        platform.processEvents();
        ASSERT_FALSE(platform.messageBoxes().empty()) << text;
        EXPECT_EQ(p.form().text(FeaExposure), "10.000 ms") << text;
        EXPECT_EQ(p.form().cell(FeaList, row, 1), "10.000 ms") << text;
    }
    EXPECT_EQ(platform.messageBoxes()[0].text, "\"xyz ms\" is not an exposure time");
    EXPECT_FLOAT_EQ(view->m_pCamera->GetExposureTime(), 10000);
}

TEST_F(FeaturePage, OnceWhiteBalanceWaitsTwoSecondsAndReadsBackOff)
{
    start(1);
    CFeatureCtrlDlg &p = page(0);
    pick(p, "WhiteBalance");
    EXPECT_FALSE(p.form().isVisible(FeaSlider));
    EXPECT_TRUE(p.form().isVisible(FeaChoice));
    p.form().setSelection(FeaChoice, 2);  // "Once"
    p.dispatch(fw::Notify::SelChange, FeaChoice);
    EXPECT_FALSE(p.form().isEnabled(FeaChoice));
    platform.advance(1999);
    EXPECT_FALSE(p.form().isEnabled(FeaChoice));
    platform.advance(1);
    EXPECT_TRUE(p.form().isEnabled(FeaChoice));
    // Still "Once" when read: written back as "Off", the list shows the first entry.
    EXPECT_EQ(view->m_pCamera->GetBalanceWhiteAuto(), "Off");
    EXPECT_EQ(p.form().selectedText(FeaChoice), "Off");
    EXPECT_EQ(p.form().cell(FeaList, 7, 1), "Off");
}

TEST_F(FeaturePage, DefaultLoadsTheFirstUserSet)
{
    start(1);
    CFeatureCtrlDlg &p = page(0);
    view->m_pCamera->SetSharpness(6);
    p.dispatch(fw::Notify::Clicked, FeaDefault);
    EXPECT_EQ(view->m_pCamera->GetSharpness(), 0);
    EXPECT_EQ(p.form().cell(FeaList, 3, 1), "    0");
}

// Every bad entry in the value box of every row of a colour and a mono camera, and in the
// exposure text box: a value box entry reads as its whole number (none: 0) and the camera keeps
// only what lies within the row's bounds, which the box then shows; an exposure text without a
// unit gets "Unit error", stays for the operator to correct and nothing is written; one with a
// unit but no usable time is refused and the camera's time shown again.
TEST_F(FeaturePage, BadNumbersLeaveEveryFeatureWithinItsBoundsAndTheBoxShowingIt)
{
    start(2);
    CFeatureCtrlDlg &p = page(1);
    for (int line : {1, 0}) {
        view = open(line);
        frame().m_pControlPane->RefreshPages();
        for (int r = 0; r < p.form().rowCount(FeaList); ++r) {
            const std::string row = p.form().cell(FeaList, r, 0);
            if (row == "WhiteBalance")
                continue;  // a list, no value box
            for (const std::string &text : badNumbers()) {
                SCOPED_TRACE(row + " <- \"" + text + "\"");
                pick(p, row);
                if (!p.form().isEnabled(FeaValue))
                    break;  // run automatically
                p.form().setText(FeaValue, text);
                EXPECT_TRUE(enter(p, FeaValue));
                const int shown = std::stoi(p.form().text(FeaValue));
                EXPECT_GE(shown, std::stoi(p.form().text(FeaLow)));
                EXPECT_LE(shown, std::stoi(p.form().text(FeaHigh)));
                pick(p, row);  // read back from the camera
                EXPECT_EQ(std::stoi(p.form().text(FeaValue)), shown);
            }
        }
    }
    pick(p, "Shutter(ExposureTime)");
    const std::string kept = view->m_pCamera->GetExposureTimeText();
    for (const std::string &number : badNumbers()) {
        for (const std::string &text : {number, number + " ms"}) {
            SCOPED_TRACE(text);
            const Mark m = mark(view->m_pCamera);
            p.form().setText(FeaExposure, text);
            fw::guarded([&] { enter(p, FeaExposure); });
            if (text == number) {
                EXPECT_EQ(shownSince(m), std::vector<std::string>{"Unit error"});
                EXPECT_EQ(callsSince(*view->m_pCamera, m, {Dispid::SetExposureTimeText}), 0);
            } else {
                EXPECT_EQ(p.form().text(FeaExposure), kept);
            }
            EXPECT_EQ(view->m_pCamera->GetExposureTimeText(), kept);
        }
    }
}
