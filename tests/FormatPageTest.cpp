// The Format page: frame-rate bounds and slider mapping, 1394 frame-rate lists, user-set
// thresholds, effects and None, Bayer refresh, the zoom box, pixel format changes while playing.
#include "TestSupport.h"

#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "pages/CGeneralSettingDlg.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

using cam::Dispid;
using namespace res;

class FormatPage : public AppFixture {
protected:
    // Opens camera `line`, switches the control pane on: the Format page shows.
    CGeneralSettingDlg &page(int line)
    {
        view = open(line);
        frame().routeCommand(CmdCameraControl);
        return *frame().m_pControlPane->m_pFormatDlg;
    }
    void select(CGeneralSettingDlg &p, int id, int index)
    {
        p.form().setSelection(id, index);
        p.dispatch(fw::Notify::SelChange, id);
    }
    void click(CGeneralSettingDlg &p, int id, int check = -1)
    {
        if (check >= 0)
            p.form().setCheck(id, check);
        p.dispatch(fw::Notify::Clicked, id);
    }
    CMolvaneView *view = nullptr;
};

TEST_F(FormatPage, GigEFrameRateBoundsDriveTheSliderAndTheBox)
{
    start(1);
    CGeneralSettingDlg &p = page(0);
    const fw::Form &f = p.form();
    EXPECT_EQ(f.text(FmtRateLow), "1.0");
    EXPECT_EQ(f.text(FmtRateHigh), "1000.0");
    EXPECT_EQ(f.text(FmtRateBox), "30.0");
    EXPECT_EQ(f.state(FmtRateSlider).rangeMax, 9990);  // trunc(10 x 1000) - trunc(10 x 1)
    EXPECT_EQ(f.pos(FmtRateSlider), 290);
    EXPECT_FALSE(f.isEnabled(FmtRate1394));  // a GigE camera has no 1394 list
    EXPECT_EQ(f.itemCount(FmtRate1394), 0);
    // A slider position p stands for lower + p / 10.
    p.form().setPos(FmtRateSlider, 495);
    p.dispatch(fw::Notify::Scroll, FmtRateSlider);
    EXPECT_EQ(f.text(FmtRateBox), "50.5");
    EXPECT_FLOAT_EQ(view->m_pCamera->GetFloatValue("AcquisitionFrameRateAbs"), 50.5f);
    p.form().setPos(FmtRateSlider, 0);  // below 1 the slider stays at 1, the box at the bound
    p.dispatch(fw::Notify::Scroll, FmtRateSlider);
    EXPECT_EQ(f.pos(FmtRateSlider), 1);
    EXPECT_EQ(f.text(FmtRateBox), "1.0");
    // Outside the bounds: a balloon, nothing written.
    p.form().setText(FmtRateBox, "1200");
    fw::KeyEvent enter;
    enter.key = fw::Key::Enter;
    enter.controlId = FmtRateBox;
    EXPECT_TRUE(p.preTranslateKey(enter));
    ASSERT_FALSE(platform.balloons().empty());
    EXPECT_EQ(platform.balloons().back().text, "Unavailable node range.");
    EXPECT_FLOAT_EQ(view->m_pCamera->GetFloatValue("AcquisitionFrameRateAbs"), 1.0f);
    // In another acquisition mode nothing happens at all.
    view->m_pCamera->SetAcquisitionMode("SingleFrame");
    platform.clearRecords();
    p.form().setText(FmtRateBox, "5000");
    p.preTranslateKey(enter);
    EXPECT_TRUE(platform.balloons().empty());
}

TEST_F(FormatPage, PlayingDisablesTheGigERateAndStoppingGivesItBack)
{
    start(1);
    CGeneralSettingDlg &p = page(0);
    frame().routeCommand(CmdPlay);  // Play refreshes the visible page
    EXPECT_FALSE(p.form().isEnabled(FmtRateSlider));
    EXPECT_FALSE(p.form().isEnabled(FmtRateBox));
    frame().routeCommand(CmdStop);
    EXPECT_TRUE(p.form().isEnabled(FmtRateSlider));
    EXPECT_TRUE(p.form().isEnabled(FmtRateBox));
}

TEST_F(FormatPage, Ieee1394RatesFillTheListAndFormat7EmptiesIt)
{
    start(2);
    CGeneralSettingDlg &p = page(1);
    const fw::Form &f = p.form();
    EXPECT_TRUE(f.isEnabled(FmtRate1394));
    EXPECT_EQ(f.itemCount(FmtRate1394), 6);
    EXPECT_EQ(f.selectedText(FmtRate1394), "30");
    EXPECT_FALSE(f.isEnabled(FmtRateSlider));
    EXPECT_FALSE(f.isEnabled(FmtRateBox));
    select(p, FmtPixelFormat, 2);  // 1024x768: the last (slowest list's) rate is chosen
    EXPECT_EQ(f.selectedText(FmtRate1394), "15");
    EXPECT_EQ(view->m_pCamera->GetFrameRateIndex(), 3);
    select(p, FmtPixelFormat, 4);  // Format7
    EXPECT_FALSE(f.isEnabled(FmtRate1394));
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(InfoFormat), "Format7 Mode0 Mono8");
}

TEST_F(FormatPage, ChangingThePixelFormatOfAPlayingCameraPausesAroundTheChange)
{
    start(2);
    CGeneralSettingDlg &p = page(1);
    frame().routeCommand(CmdPlay);
    view->m_pCamera->callLog().clear();
    select(p, FmtPixelFormat, 1);
    EXPECT_EQ(puts(*view->m_pCamera, {Dispid::Acquisition, Dispid::ImageFormat, Dispid::FrameRateIndex}),
              (std::vector<int>{12, 6, 188, 12}));  // stop, format, last rate, play
    EXPECT_EQ(view->m_pCamera->GetAcquisition(), 1);
    EXPECT_TRUE(view->m_bPlaying);
}

TEST_F(FormatPage, UserSetsBeyondTheFifthHideTheImageAndSetZeroAndFivePlusRefreshTheTrigger)
{
    start(1);
    CGeneralSettingDlg &p = page(0);
    ASSERT_EQ(p.form().itemCount(FmtUserSet), 8);
    fw::Form &info = frame().m_pCameraInfoPane->m_dlg.form();
    view->m_pCamera->SetTriggerOnOff(1);
    view->m_pCamera->LoadSaveUserSet(2, 1);  // set 2 remembers the trigger on
    info.setText(InfoTrigger, "?");
    select(p, FmtUserSet, 2);
    click(p, FmtLoad);
    EXPECT_EQ(info.text(InfoTrigger), "ON");  // refreshed by the info pane itself, not the rule
    info.setText(InfoTrigger, "?");
    view->m_pCamera->callLog().clear();
    select(p, FmtUserSet, 0);
    click(p, FmtLoad);
    EXPECT_EQ(info.text(InfoTrigger), "OFF");  // the factory set has the trigger off
    // Save: PrepareUserSetSave, then LoadSaveUserSet(index, 1).
    select(p, FmtUserSet, 6);
    view->m_pCamera->callLog().clear();
    click(p, FmtSave);
    EXPECT_EQ(dispids(*view->m_pCamera, {Dispid::PrepareUserSetSave, Dispid::LoadSaveUserSet}),
              (std::vector<int>{112, 113}));
    // Monitoring windows neither load nor save.
    view->m_nAccessMode = 2;
    view->m_pCamera->callLog().clear();
    click(p, FmtSave);
    click(p, FmtLoad);
    EXPECT_TRUE(dispids(*view->m_pCamera, {Dispid::LoadSaveUserSet}).empty());
}

TEST_F(FormatPage, EffectsAndNoneKeepEachOtherInStep)
{
    start(1);
    CGeneralSettingDlg &p = page(0);
    EXPECT_TRUE(p.form().check(FmtNone));
    click(p, FmtMirror, 1);
    EXPECT_EQ(view->m_pCamera->GetMirror(), 1);
    EXPECT_FALSE(p.form().check(FmtNone));
    click(p, FmtMirror, 0);
    EXPECT_TRUE(p.form().check(FmtNone));
    click(p, FmtFlip, 1);
    click(p, FmtNegative, 1);
    click(p, FmtNone, 1);
    EXPECT_EQ(view->m_pCamera->GetFlip(), 0);
    EXPECT_EQ(view->m_pCamera->GetNegative(), 0);
    EXPECT_FALSE(p.form().check(FmtFlip));
    select(p, FmtRotate, 3);
    EXPECT_EQ(view->m_pCamera->rotation(), 270);
    EXPECT_EQ(view->m_nRotation, 3);
}

TEST_F(FormatPage, BayerControlsFollowTheViewAndAYuvFormatTurnsThemOff)
{
    start(1);
    CGeneralSettingDlg &p = page(0);
    EXPECT_FALSE(p.form().check(FmtBayer));
    EXPECT_FALSE(p.form().isEnabled(FmtLayout));
    frame().routeCommand(CmdBayerColor);  // the toolbar button refreshes the page
    EXPECT_TRUE(p.form().check(FmtBayer));
    EXPECT_TRUE(p.form().isEnabled(FmtAlgorithm));
    EXPECT_EQ(p.form().selectedText(FmtLayout), "GR/BG");
    select(p, FmtAlgorithm, 2);
    EXPECT_EQ(view->m_pCamera->GetBayerAlgorithm(), 3);  // Nearest
    select(p, FmtPixelFormat, 4);                        // YUV422Packed
    EXPECT_FALSE(p.form().check(FmtBayer));
    EXPECT_FALSE(p.form().isEnabled(FmtLayout));
    click(p, FmtBayer, 0);
    EXPECT_EQ(view->m_bBayer, 0);
    EXPECT_EQ(frame().m_pCameraInfoPane->m_dlg.form().text(InfoBayer), "OFF");
    // Ticked on the page, the Layout list shows the layout the image is decoded with, not its
    // first entry that it showed while off.
    select(p, FmtPixelFormat, 0);  // BayerGR8 again
    EXPECT_EQ(p.form().selectedText(FmtLayout), "GB/RG");
    click(p, FmtBayer, 1);
    EXPECT_EQ(p.form().selectedText(FmtLayout), "GR/BG");
    EXPECT_EQ(view->m_pCamera->GetBayerLayout(), 3);
}

TEST_F(FormatPage, TheZoomBoxRefusesAbove1000AndZeroFitsTheWindow)
{
    start(1);
    CGeneralSettingDlg &p = page(0);
    EXPECT_EQ(p.form().text(FmtZoomBox), "100");
    p.form().setText(FmtZoomBox, "1001");
    click(p, FmtZoomSet);
    ASSERT_FALSE(platform.balloons().empty());
    EXPECT_EQ(platform.balloons().back().text, "Unavailable zoom range.\n Available range : 1 ~ 1000");
    EXPECT_FLOAT_EQ(view->m_fZoom, 100);
    p.form().setText(FmtZoomBox, "250");
    click(p, FmtZoomSet);
    EXPECT_FLOAT_EQ(view->m_fZoom, 250);
    EXPECT_FLOAT_EQ(view->m_pCamera->zoom(), 2.5f);
    EXPECT_EQ(platform.frame()->sliderPos(CmdZoomSlider), 250);
    p.form().setText(FmtZoomBox, "0");
    click(p, FmtZoomSet);
    EXPECT_FLOAT_EQ(view->m_pCamera->zoom(), 0.0f);
    EXPECT_EQ(view->m_pParentFrame->windowText(), list().lineText(0) + " Zoom : Fit to window");
    // The toolbar's zoom commands move the box along.
    frame().routeCommand(CmdZoom100);
    EXPECT_EQ(p.form().text(FmtZoomBox), "100");
}

// Every bad entry in the two number boxes: the rate box refuses each with its balloon and
// writes nothing; the zoom box refuses what is too large for any number with its own balloon and
// reads the rest as the whole number they begin with (none: fit to the window), never beyond 1000.
TEST_F(FormatPage, BadNumbersInTheRateAndZoomBoxesNeverReachTheCameraOutOfRange)
{
    start(1);
    CGeneralSettingDlg &p = page(0);
    const std::string rateBalloon = "Unavailable node range.";
    const std::string zoomBalloon = "Unavailable zoom range.\n Available range : 1 ~ 1000";
    for (const std::string &text : badNumbers()) {
        SCOPED_TRACE(text);
        Mark m = mark(view->m_pCamera);
        p.form().setText(FmtRateBox, text);
        EXPECT_TRUE(enter(p, FmtRateBox));
        EXPECT_EQ(shownSince(m), std::vector<std::string>{rateBalloon});
        EXPECT_EQ(callsSince(*view->m_pCamera, m, {Dispid::SetFloatValue}), 0);

        m = mark(view->m_pCamera);
        p.form().setText(FmtZoomBox, text);
        click(p, FmtZoomSet);
        const bool huge = text == "99999999999999999999";
        EXPECT_EQ(shownSince(m), huge ? std::vector<std::string>{zoomBalloon} : std::vector<std::string>{});
        EXPECT_LE(view->m_fZoom, 1000.0f);
        EXPECT_LE(view->m_pCamera->zoom(), 10.0f);
        if (huge) {
            EXPECT_EQ(callsSince(*view->m_pCamera, m, {Dispid::SetZoom}), 0);
        }
    }
}
