// The trigger, strobe and shot page.
#include "pages/CTriggerCtrlDlg.h"

#include "app/AppAccess.h"
#include "app/CCameraInfoDlg.h"
#include "framework/TypedNumber.h"
#include "framework/Platform.h"
#include "pages/CTriggerExtraDlg.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <cmath>
#include <cstdlib>
#include <string>

using namespace res;

namespace {



// "Mode12" -> 12: the text after "Mode".
int modeNumber(const std::string &text) { return text.size() > 4 ? fw::wholeNumber(text.substr(4)) : 0; }

int indexOf(const std::vector<std::string> &items, const std::string &item)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            return static_cast<int>(i);
    return -1;
}

// Which controls a trigger mode uses; modes without a row leave the page as it is.
struct ModeLayout {
    bool parameter, extra, exposure, interval, source;
};

const ModeLayout *layoutOf(int mode)
{
    static const ModeLayout off{false, false, false, false, true};
    static const ModeLayout fixedSource{false, false, false, false, false};
    static const ModeLayout counted{true, false, false, false, false};
    static const ModeLayout sequence{true, true, false, false, true};
    static const ModeLayout interval{true, true, true, true, false};
    static const ModeLayout free{true, false, false, false, true};
    switch (mode) {
    case 0: return &off;
    case 1: return &fixedSource;
    case 2:
    case 4:
    case 5: return &counted;
    case 12:
    case 13: return &sequence;
    case 14: return &interval;
    case 15: return &free;
    default: return nullptr;
    }
}

} // namespace

CTriggerCtrlDlg::CTriggerCtrlDlg() : CFormPage(kTemplate)
{
    using N = fw::Notify;
    on(N::Clicked, TrgSet, [this] { OnSetTriggerProperty(); });
    on(N::Clicked, TrgSoftware, [this] { OnSoftwareTrigger(); });
    on(N::Clicked, TrgSetDelay, [this] { SendTriggerDelay(); });
    on(N::Clicked, TrgSetExposure, [this] { OnSetExposure(); });
    on(N::Clicked, TrgExtra, [this] { OnExtraParameter(); });
    on(N::SelChange, TrgMode, [this] { OnModeChanged(); });
    on(N::Clicked, TrgStrobeSet, [this] { OnSetStrobe(); });
    on(N::SelChange, TrgStrobe, [this] { OnSelectStrobe(); });
    on(N::Clicked, TrgShotEnable, [this] { OnShotEnable(); });
    on(N::Clicked, TrgOneShot, [this] { ChooseShot(false); });
    on(N::Clicked, TrgMultiShot, [this] { ChooseShot(true); });
    on(N::Clicked, TrgShot, [this] { OnShot(); });
}

CTriggerCtrlDlg::~CTriggerCtrlDlg() { onDestroy(); }

void CTriggerCtrlDlg::onDestroy()
{
    delete g_pTriggerExtraDlg;
    g_pTriggerExtraDlg = nullptr;
}

CMolvaneView *CTriggerCtrlDlg::View()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0)
        return nullptr;
    return view;
}

void CTriggerCtrlDlg::Error(const char *text)
{
    fw::platform().messageBox(text, fw::loadString(128), fw::MsgButtons::Ok, fw::MsgIcon::None);
}

void CTriggerCtrlDlg::onInitialUpdate()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    form().setRange(TrgParameterSpin, 1, 4095);
    form().setPos(TrgParameterSpin, 1);
    LoadTriggerSettings();
    LoadStrobeSettings();
    LoadShotSettings(*view);
}

void CTriggerCtrlDlg::LoadShotSettings(CMolvaneView &view)
{
    cam::CMolvane *c = view.m_pCamera;
    const auto modes = c->GetEnumEntries("AcquisitionMode");
    if (!modes || modes->size() <= 1) {
        EnableShotControls(false);
        form().enable(TrgShotEnable, false);
        ShowWarning(TrgOneShot, 324);
        return;
    }
    const std::string mode = c->GetAcquisitionMode();
    if (mode == "Continuous") {
        form().setCheck(TrgShotEnable, 0);
    } else {
        form().setCheck(TrgShotEnable, 1);
        if (mode == "SingleFrame" || mode == "MultiFrame") {
            form().setCheck(TrgOneShot, mode == "SingleFrame");
            form().setCheck(TrgMultiShot, mode == "MultiFrame");
        }
    }
    form().enable(TrgShotEnable, true);
    ApplyShotState();
    form().setRange(TrgCountSpin, 2, 65535);
    form().setPos(TrgCountSpin, 2);
    form().setText(TrgCount, "2");
    view.m_nFrameCount = 0;
    if (CCameraInfoDlg *info = cameraInfoDlg())
        info->ShowStatus();
    showWindow(true);
}

void CTriggerCtrlDlg::LoadTriggerSettings()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    cam::CMolvane *c = view->m_pCamera;
    // Each list is filled in a step of its own: a refusal ends that step only.
    Attempt([&] {
        form().clearItems(TrgPolarity);
        const std::string current = c->GetTriggerPolarity();
        form().setItems(TrgPolarity, c->GetEnumEntries("TriggerActivation").value_or(std::vector<std::string>{}));
        form().setSelection(TrgPolarity, indexOf(form().items(TrgPolarity), current));
    });
    int mode = -1;
    Attempt([&] {
        form().clearItems(TrgMode);
        mode = c->GetTriggerMode();
        form().setItems(TrgMode, c->GetEnumEntries("ExposureMode").value_or(std::vector<std::string>{}));
        form().setSelection(TrgMode, indexOf(form().items(TrgMode), "Mode" + std::to_string(mode)));
    });
    std::string source;
    Attempt([&] {
        form().clearItems(TrgSource);
        source = c->GetTriggerSource();
        form().setItems(TrgSource, c->GetEnumEntries("TriggerSource").value_or(std::vector<std::string>{}));
        form().setSelection(TrgSource, indexOf(form().items(TrgSource), source));
    });
    // A camera without one of the nodes below keeps that field as it was.
    Attempt([&] { form().setText(TrgParameter, std::to_string(c->GetTriggerParameter())); });
    Attempt([&] { form().setCheck(TrgOnOff, c->GetTriggerOnOff() ? 1 : 0); });
    form().enable(TrgSoftware, form().check(TrgOnOff) && source == "Software");
    ApplyTriggerModeLayout(mode);
    Attempt([&] {
        const int delay = fw::truncated(c->GetTriggerDelay(""));
        form().setText(TrgDelay, std::to_string(delay));
        ShowBounds(TrgDelaySpin, TrgDelayLow, TrgDelayHigh, fw::truncated(c->GetTriggerDelayMin()), fw::truncated(c->GetTriggerDelayMax()), delay);
    });
    form().setCheck(TrgMultiShot, view->m_bMultiShot ? 1 : 0);
    form().setCheck(TrgOneShot, view->m_bMultiShot ? 0 : 1);
}

void CTriggerCtrlDlg::ApplyTriggerModeLayout(int mode)
{
    const ModeLayout *l = layoutOf(mode);
    if (!l)
        return;
    form().enable(TrgParameter, l->parameter);
    form().enable(TrgParameterSpin, l->parameter);
    form().enable(TrgExtra, l->extra);
    form().enable(TrgSetExposure, l->exposure);
    form().enable(TrgExposure, l->exposure);
    form().enable(TrgInterval, l->interval);
    form().enable(TrgSource, l->source);
    if (!l->source)
        form().setSelection(TrgSource, 0);
    if (mode != 2 && mode != 4 && mode != 5)
        return;
    CMolvaneView *view = View();
    if (!view)
        return;
    const int least = mode == 2 ? 2 : 1;
    const int p = view->m_pCamera->GetTriggerParameter();
    form().setText(TrgParameter, std::to_string(p < least ? least : p));
}

void CTriggerCtrlDlg::OnModeChanged()
{
    if (View())
        ApplyTriggerModeLayout(modeNumber(form().selectedText(TrgMode)));
}

void CTriggerCtrlDlg::OnSetTriggerProperty()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    cam::CMolvane *c = view->m_pCamera;
    if (form().check(TrgShotEnable)) {
        Error("First, you must turn off the one/multi shot function. ");
        form().setCheck(TrgOnOff, 0);
        return;
    }
    const std::string modeText = form().selectedText(TrgMode);
    if (!Attempt([&] { c->SetTriggerMode(modeNumber(modeText)); }))
        Error("Error while setting Trigger Mode!");
    const std::string source = form().selectedText(TrgSource);
    if (Attempt([&] { c->SetTriggerSource(source); }))
        form().enable(TrgSoftware, source == "Software");
    else
        Error("Error while setting Trigger Source!");
    if (!Attempt([&] { c->SetTriggerPolarity(form().selectedText(TrgPolarity)); }))
        Error("Error while setting Trigger Polarity!");
    if (modeText != "Mode0" && modeText != "Mode1")
        SendTriggerParameter();
    const int on = form().check(TrgOnOff) ? 1 : 0;
    if (!Attempt([&] { c->SetTriggerOnOff(on); }))
        Error("Error while setting Trigger On/Off!");
    if (CCameraInfoDlg *info = cameraInfoDlg())
        info->form().setText(InfoTrigger, on ? "ON" : "OFF");
}

void CTriggerCtrlDlg::SendTriggerParameter()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    const int p = fw::wholeNumber(form().text(TrgParameter));
    if (p < 0) {
        ShowWarning(TrgParameterAnchor, 524);
        return;
    }
    if (!Attempt([&] { view->m_pCamera->SetTriggerParameter(p); }))
        Error("Error while setting Trigger Pluse Count!");
}

void CTriggerCtrlDlg::SendTriggerDelay()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    const double v = fw::decimalNumber(form().text(TrgDelay));
    if (v < 0 || v > 4000) {
        ShowWarning(TrgSetDelay, 527);
        return;
    }
    if (!Attempt([&] { view->m_pCamera->SetTriggerDelay("", static_cast<float>(v)); }))
        Error("Error while setting Trigger Delay!");
}

void CTriggerCtrlDlg::OnSetExposure()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    const int t = fw::wholeNumber(form().text(TrgExposure)), i = fw::wholeNumber(form().text(TrgInterval));
    if (t < 1 || t > 64000 || i < 1 || i > 64000) {
        ShowWarning(TrgSetExposure, 552);
        return;
    }
    view->m_pCamera->SetExposureTimeInterval(t, i);
}

void CTriggerCtrlDlg::OnSoftwareTrigger()
{
    if (CMolvaneView *view = View())
        Attempt([&] { view->m_pCamera->SendSoftwareTrigger(); });
}

void CTriggerCtrlDlg::OnExtraParameter()
{
    if (!View())
        return;
    if (!g_pTriggerExtraDlg)
        g_pTriggerExtraDlg = new CTriggerExtraDlg;
    if (g_pTriggerExtraDlg->hasWindow())
        return;
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Dialog;
    params.parent = parent();
    params.templateId = DialogTriggerExtra;
    params.caption = fw::findDialog(DialogTriggerExtra)->caption;
    const fw::Point here = clientToScreen({40, 40});
    params.rect = {here.x, here.y, here.x + fw::dluToPixelsX(360), here.y + fw::dluToPixelsY(236)};
    g_pTriggerExtraDlg->create(params);
}

void CTriggerCtrlDlg::LoadStrobeSettings()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    cam::CMolvane *c = view->m_pCamera;
    std::string strobe, enable, polarity;
    Attempt([&] {
        const auto p = c->GetStrobeProperty().value_or(std::vector<std::string>{});
        if (p.size() >= 3) {
            strobe = p[0];
            enable = p[1];
            polarity = p[2];
        }
    });
    Attempt([&] {
        form().clearItems(TrgStrobe);
        for (const auto &name : c->GetStrobeList().value_or(std::vector<std::string>{}))
            form().addItem(TrgStrobe, name);
        form().setSelection(TrgStrobe, indexOf(form().items(TrgStrobe), strobe));
    });
    ShowStrobe(enable, polarity);
}

void CTriggerCtrlDlg::ShowStrobe(const std::string &enable, const std::string &polarity)
{
    form().setCheck(TrgStrobeEnable, enable == "ON");
    form().setCheck(TrgStrobeHigh, polarity == "LevelHigh");
    form().setCheck(TrgStrobeLow, polarity != "LevelHigh");
    LoadStrobeDelayDuration();
}

void CTriggerCtrlDlg::OnSelectStrobe()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    cam::CMolvane *c = view->m_pCamera;
    c->SetEnumValue("TimerSelector", form().selectedText(TrgStrobe));
    const std::string source = c->GetEnumValue("TimerTriggerSource");
    ShowStrobe(source, c->GetEnumValue("TimerTriggerActivation"));
}

void CTriggerCtrlDlg::LoadStrobeDelayDuration()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    cam::CMolvane *c = view->m_pCamera;
    // What could not be read keeps the text it had; a camera without strobe timers has no
    // bounds either, which its value's message has already said.
    int delay = fw::wholeNumber(form().text(TrgStrobeDelay));
    if (Attempt([&] { delay = fw::truncated(c->GetStrobeDelay("")); }))
        form().setText(TrgStrobeDelay, std::to_string(delay));
    else
        Error("Error while setting Strobe Delay!");
    Attempt([&] {
        m_fStrobeDelayLower = c->GetStrobeDelayMin();
        m_fStrobeDelayUpper = c->GetStrobeDelayMax();
        ShowBounds(TrgStrobeDelaySpin, TrgStrobeDelayLow, TrgStrobeDelayHigh, fw::truncated(m_fStrobeDelayLower), fw::truncated(m_fStrobeDelayUpper), delay);
    });
    int duration = fw::wholeNumber(form().text(TrgDuration));
    if (Attempt([&] { duration = fw::truncated(c->GetStrobeDuration("")); }))
        form().setText(TrgDuration, std::to_string(duration));
    else
        Error("Error while setting Strobe Duration!");
    Attempt([&] {
        m_nStrobeDurationLower = fw::truncated(c->GetStrobeDurationMin());
        m_nStrobeDurationUpper = fw::truncated(c->GetStrobeDurationMax());
        ShowBounds(TrgDurationSpin, TrgDurationLow, TrgDurationHigh, m_nStrobeDurationLower, m_nStrobeDurationUpper, duration);
    });
}

void CTriggerCtrlDlg::ShowBounds(int spin, int low, int high, int lower, int upper, int value)
{
    form().setRange(spin, lower, upper);
    form().setPos(spin, value);
    form().setText(low, std::to_string(lower));
    form().setText(high, std::to_string(upper));
}

void CTriggerCtrlDlg::OnSetStrobe()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    const std::string polarity = form().check(TrgStrobeHigh) ? "LevelHigh" : "LevelLow";
    const std::string enable = form().check(TrgStrobeEnable) ? "ON" : "OFF";
    if (!Attempt([&] { view->m_pCamera->SetStrobeProperty(form().selectedText(TrgStrobe), enable, polarity); }))
        Error("Error while setting Strobe Property!");
    SendStrobeDelayDuration();
}

int CTriggerCtrlDlg::RoundToStrobeUnit(int duration)
{
    const int r = duration % 250;  // carries the sign of the duration
    if (r == 0)
        return duration;
    return duration - r + (r > 125 ? 250 : 0);
}

void CTriggerCtrlDlg::SendStrobeDelayDuration()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    const int d = fw::wholeNumber(form().text(TrgStrobeDelay)), u = fw::wholeNumber(form().text(TrgDuration));
    if (d < fw::truncated(m_fStrobeDelayLower) || d > fw::truncated(m_fStrobeDelayUpper)) {
        ShowWarning(TrgStrobeDelayAnchor, 530);
        return;
    }
    if (u < m_nStrobeDurationLower || u > m_nStrobeDurationUpper) {
        ShowWarning(TrgDurationAnchor, 531);
        return;
    }
    const int rounded = RoundToStrobeUnit(u);
    if (!Attempt([&] { view->m_pCamera->SetStrobeDelay("", static_cast<float>(d)); }))
        Error("Error while setting Strobe Delay!");
    if (!Attempt([&] { view->m_pCamera->SetStrobeDuration("", static_cast<float>(rounded)); }))
        Error("Error while setting Strobe Duration!");
}

void CTriggerCtrlDlg::EnableCount(bool enabled)
{
    for (int id : {TrgCount, TrgCountSpin, TrgCountLabel})
        form().enable(id, enabled);
}

void CTriggerCtrlDlg::EnableShotControls(bool enabled)
{
    for (int id : {TrgOneShot, TrgMultiShot, TrgShot})
        form().enable(id, enabled);
    EnableCount(enabled);
}

void CTriggerCtrlDlg::OnShotEnable()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    if (form().check(TrgShotEnable) && view->m_pCamera->GetTriggerOnOff()) {
        Error("First, you must turn off the trigger function .");
        form().setCheck(TrgShotEnable, 0);
        return;
    }
    ApplyShotState();
}

void CTriggerCtrlDlg::ApplyShotState()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    cam::CMolvane *c = view->m_pCamera;
    if (!form().check(TrgShotEnable)) {
        EnableShotControls(false);
        if (c->GetAcquisitionMode() != "Continuous")
            c->SetAcquisitionMode("Continuous");
        return;
    }
    for (int id : {TrgOneShot, TrgMultiShot, TrgShot})
        form().enable(id, true);
    if (form().check(TrgOneShot)) {
        EnableCount(false);
        c->SetAcquisitionMode("SingleFrame");
    } else if (form().check(TrgMultiShot)) {
        EnableCount(true);
        c->SetAcquisitionMode("MultiFrame");
    }
}

void CTriggerCtrlDlg::ChooseShot(bool multi)
{
    CMolvaneView *view = View();
    const char *mode = multi ? "MultiFrame" : "SingleFrame";
    if (!view || view->m_pCamera->GetAcquisitionMode() == mode)
        return;
    view->m_pCamera->SetAcquisitionMode(mode);
    EnableCount(multi);
    form().setCheck(multi ? TrgOneShot : TrgMultiShot, 0);
    view->m_bMultiShot = multi ? 1 : 0;
}

void CTriggerCtrlDlg::OnShot()
{
    CMolvaneView *view = View();
    if (!view)
        return;
    cam::CMolvane *c = view->m_pCamera;
    view->m_nFrameCount = 0;
    if (!c->GetAcquisition()) {
        ShowWarning(TrgShot, 325);
        return;
    }
    if (form().check(TrgOneShot)) {
        c->StartOneShot();
        return;
    }
    if (!form().check(TrgMultiShot))
        return;
    const int count = fw::wholeNumber(form().text(TrgCount));
    if (count < 2 || count > 65535) {
        ShowWarning(TrgCountAnchor, 326);
        return;
    }
    c->SetMultiShotCount(count);
    c->StartMultiShot();
}

void CTriggerCtrlDlg::RestoreContinuousAcquisition()
{
    CMolvaneView *view = View();
    if (!view || !view->m_bPlaying)
        return;
    if (view->m_pCamera->GetAcquisitionMode() == "Continuous")
        return;
    view->m_pCamera->SetAcquisitionMode("Continuous");
    view->StopInner();
    view->PlayInner();
}
