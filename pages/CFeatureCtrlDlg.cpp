// The Feature Control page.
#include "pages/CFeatureCtrlDlg.h"

#include "camera/CameraError.h"
#include "framework/TypedNumber.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace res;

namespace {

constexpr int kOnceTimer = 1;
constexpr int kColValue = 1, kColAuto = 2;
const char *const kShutter = "Shutter(ExposureTime)";


// How one feature is read, bounded and written (a float is truncated toward zero).
struct Feature {
    const char *node;
    const char *display;
    std::function<int(cam::CMolvane &)> read;
    std::function<void(cam::CMolvane &, int &, int &)> bounds;
    std::function<void(cam::CMolvane &, int)> write;
};

// The gain member for the channel GainSelector names.
int readGain(cam::CMolvane &c)
{
    const std::string s = c.GetEnumValue("GainSelector");
    if (s == "Red")
        return fw::truncated(c.GetGainRed());
    if (s == "Green")
        return fw::truncated(c.GetGainGreen());
    if (s == "Blue")
        return fw::truncated(c.GetGainBlue());
    return fw::truncated(c.GetGain());
}

void writeGain(cam::CMolvane &c, int v)
{
    const std::string s = c.GetEnumValue("GainSelector");
    if (s == "All")
        c.SetGain("", static_cast<float>(v));
    else if (s == "Red")
        c.SetGainRed("", static_cast<float>(v));
    else if (s == "Green")
        c.SetGainGreen("", static_cast<float>(v));
    else if (s == "Blue")
        c.SetGainBlue("", static_cast<float>(v));
}

Feature node(const char *name, const char *display, int (cam::CMolvane::*read)())
{
    return {name, display, [read](cam::CMolvane &c) { return (c.*read)(); },
            [name](cam::CMolvane &c, int &lo, int &hi) {
                lo = c.GetIntMin(name);
                hi = c.GetIntMax(name);
            },
            [name](cam::CMolvane &c, int v) { c.SetIntValue(name, v); }};
}

Feature integer(const char *name, int (cam::CMolvane::*read)(), void (cam::CMolvane::*write)(int),
                int (cam::CMolvane::*min)(), int (cam::CMolvane::*max)())
{
    return {name, name, [read](cam::CMolvane &c) { return (c.*read)(); },
            [min, max](cam::CMolvane &c, int &lo, int &hi) {
                lo = (c.*min)();
                hi = (c.*max)();
            },
            [write](cam::CMolvane &c, int v) { (c.*write)(v); }};
}

const std::vector<Feature> &features()
{
    using C = cam::CMolvane;
    static const std::vector<Feature> table = {
        {"Gain", "Gain", readGain,
         [](C &c, int &lo, int &hi) {
             lo = c.GetGainMin();
             hi = c.GetGainMax();
         },
         writeGain},
        {"BlackLevel", "BlackLevel", [](C &c) { return fw::truncated(c.GetBlackLevel()); },
         [](C &c, int &lo, int &hi) {
             lo = fw::truncated(c.GetBlackLevelMin());
             hi = fw::truncated(c.GetBlackLevelMax());
         },
         [](C &c, int v) { c.SetBlackLevel(static_cast<float>(v)); }},
        {"Gamma", "Gamma", [](C &c) { return fw::truncated(c.GetGamma()); },
         [](C &c, int &lo, int &hi) {
             lo = c.GetGammaMin();
             hi = c.GetGammaMax();
         },
         [](C &c, int v) { c.SetGamma(static_cast<float>(v)); }},
        integer("Sharpness", &C::GetSharpness, &C::SetSharpness, &C::GetSharpnessMin, &C::GetSharpnessMax),
        integer("Saturation", &C::GetSaturation, &C::SetSaturation, &C::GetSaturationMin, &C::GetSaturationMax),
        {"ExposureTime", kShutter, [](C &c) { return fw::truncated(c.GetExposureTime()); },
         [](C &c, int &lo, int &hi) {
             lo = c.GetExposureTimeMin();
             hi = c.GetExposureTimeMax();
         },
         [](C &c, int v) { c.SetExposureTime("", static_cast<float>(v)); }},
        integer("AutoExposure", &C::GetAutoExposure, &C::SetAutoExposure, &C::GetAutoExposureMin,
                &C::GetAutoExposureMax),
        {"BalanceWhiteAuto", "WhiteBalance",
         [](C &c) { return c.GetBalanceWhiteAuto() == "Continuous" ? 1 : 0; }, nullptr, nullptr},
        integer("Hue", &C::GetHue, &C::SetHue, &C::GetHueMin, &C::GetHueMax),
        node("IrisCtrl", "Iris", &C::GetIris),
        node("PanCtrl", "Pan", &C::GetPan),
        node("TiltCtrl", "Tilt", &C::GetTilt),
        {"OpticalFilter", "OpticalFilter", [](C &c) { return c.GetIntValue("OpticalFilter"); },
         [](C &c, int &lo, int &hi) {
             lo = c.GetIntMin("OpticalFilter");
             hi = c.GetIntMax("OpticalFilter");
         },
         [](C &c, int v) { c.SetIntValue("OpticalFilter", v); }},
    };
    return table;
}

const Feature *byNode(const std::string &n)
{
    for (const auto &f : features())
        if (n == f.node || (n == "Brightness" && std::string(f.node) == "BlackLevel"))
            return &f;
    return nullptr;
}

std::string nodeOfDisplay(const std::string &d)
{
    for (const auto &f : features())
        if (d == f.display)
            return f.node;
    return {};
}

// Runs a camera call whose rejection the page turns into a default.
template <typename T, typename Fn>
T orElse(T fallback, Fn fn)
{
    try {
        return fn();
    } catch (const std::exception &) {
        return fallback;
    }
}

} // namespace

CFeatureCtrlDlg::CFeatureCtrlDlg() : CFormPage(kTemplate)
{
    using N = fw::Notify;
    on(N::ItemClick, FeaList, [this] { OnListClick(); });
    on(N::Clicked, FeaDefault, [this] { OnDefault(); });
    on(N::Clicked, FeaAuto, [this] { OnAuto(); });
    on(N::SelChange, FeaChoice, [this] { OnChoice(); });
    on(N::Scroll, FeaSlider, [this] { OnSlider(); });
}

cam::CMolvane *CFeatureCtrlDlg::Camera()
{
    CMolvaneView *view = ActiveView();
    return view && view->m_pCamera && view->m_pCamera->GetCameraIndex() >= 0 ? view->m_pCamera : nullptr;
}

void CFeatureCtrlDlg::onInitialUpdate()
{
    m_bFirstRefresh = 1;
    RefreshFeaturePage();
    invalidate();
    showWindow(true);
}

void CFeatureCtrlDlg::onClose()
{
    m_bFirstRefresh = 1;
    destroyWindow();
}

int CFeatureCtrlDlg::RowOf(const std::string &display) const
{
    for (int r = 0; r < form().rowCount(FeaList); ++r)
        if (form().cell(FeaList, r, 0).rfind(display, 0) == 0)
            return r;
    return -1;
}

void CFeatureCtrlDlg::SetCell(const std::string &display, int column, const std::string &text)
{
    form().setCell(FeaList, RowOf(display), column, text);
}

std::string CFeatureCtrlDlg::SelectedNode() const
{
    return nodeOfDisplay(form().cell(FeaList, m_nSelectedRow, 0));
}

bool CFeatureCtrlDlg::GetFeatureValue(const std::string &n, int &value)
{
    value = -1;
    cam::CMolvane *c = Camera();
    const Feature *f = byNode(n);
    if (!c || !f)
        return false;
    try {
        value = f->read(*c);
        return true;
    } catch (const std::exception &) {
        value = -1;
        return false;
    }
}

void CFeatureCtrlDlg::GetFeatureRange(const std::string &n)
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    try {
        const Feature *f = byNode(n);
        if (f && f->bounds) {
            f->bounds(*c, m_nLower, m_nUpper);
        } else {
            m_nLower = c->GetIntMin(n);
            m_nUpper = c->GetIntMax(n);
        }
    } catch (const std::exception &) {
        m_nLower = m_nUpper = -1;
    }
    form().setText(FeaLow, std::to_string(m_nLower));
    form().setText(FeaHigh, std::to_string(m_nUpper));
}

void CFeatureCtrlDlg::RefreshFeaturePage()
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    if (!m_bFirstRefresh)
        m_nSelectedRow = form().selection(FeaList);
    // A camera without automatic exposure reads as manual.
    m_bAuto = orElse(std::string("Off"), [&] { return c->GetExposureAuto(); }) != "Off";
    form().enable(FeaExposure, !m_bAuto);
    form().clearRows(FeaList);
    form().setColumns(FeaList, {"                  Feature", "Value", "Auto"}, {165, 80, 47});
    FillFeatureList();
    m_bFirstRefresh = 0;
    const std::string display = form().cell(FeaList, m_nSelectedRow, 0);
    if (display.empty())
        return;
    SelectFeature(nodeOfDisplay(display), display);
    form().setSelection(FeaList, m_nSelectedRow);
}

void CFeatureCtrlDlg::FillFeatureList()
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    for (const auto &f : features()) {
        int v = 0;
        if (!GetFeatureValue(f.node, v))
            continue;
        char padded[16];
        std::snprintf(padded, sizeof padded, "%5d", v);
        std::string value = padded, automatic = "M";
        const std::string node = f.node;
        if (node == "Gain" && orElse(std::string(), [&] { return c->GetGainAuto(); }) == "Continuous")
            automatic = "A";
        if (node == "ExposureTime") {
            if (orElse(std::string(), [&] { return c->GetExposureAuto(); }) == "Continuous")
                automatic = "A";
            form().show(FeaAuto, true);
            form().setCheck(FeaAuto, m_bAuto);
            value = c->GetExposureTimeText();
            form().setText(FeaExposure, value);
        }
        if (node == "BalanceWhiteAuto") {
            const std::string w = c->GetBalanceWhiteAuto();
            if (w != "Continuous" && w != "Once" && w != "Off")
                continue;
            automatic = w == "Continuous" ? "A" : "M";
            value = w;
            m_bWhiteBalance = w == "Continuous";
        }
        form().addRow(FeaList, {f.display, value, automatic});
    }
}

void CFeatureCtrlDlg::ShowValueControls(bool shown)
{
    for (int id : {FeaLow, FeaHigh, FeaAuto, FeaSlider, FeaValue})
        form().show(id, shown);
}

void CFeatureCtrlDlg::SelectFeature(const std::string &n, const std::string &display)
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    form().setText(FeaTitle, display == kShutter ? "Shutter" : display);
    int value = 0;
    if (!GetFeatureValue(n, value))
        return;
    m_nValue = value;
    for (int id : {FeaSlider, FeaValue, FeaAuto})
        form().enable(id, true);
    form().show(FeaChoice, false);
    form().show(FeaExposure, false);
    ShowValueControls(true);
    try {
        if (n == "Gain")
            SelectGain(*c, display);
        else if (n == "ExposureTime")
            SelectExposure(*c, display);
        else if (n == "BalanceWhiteAuto")
            SelectWhiteBalance(*c, display);
        else {
            form().show(FeaExposure, false);
            form().show(FeaAuto, false);
        }
    } catch (const std::exception &) {
        // A refusal in the feature's own part goes on with the value box below.
    }
    form().setText(FeaValue, std::to_string(m_nValue));
    if (n == "BalanceWhiteAuto")
        return;
    GetFeatureRange(n);
    if (display != kShutter)
        SetCell(display, kColValue, form().text(FeaValue));
    form().setRange(FeaSlider, 0, m_nUpper - m_nLower);
    form().setPos(FeaSlider, m_nValue - m_nLower);
}

void CFeatureCtrlDlg::SelectGain(cam::CMolvane &c, const std::string &display)
{
    std::string selector;
    try {
        m_varGainEntries = c.GetEnumEntries("GainSelector");
        form().clearItems(FeaChoice);
        form().show(FeaChoice, true);
        selector = c.GetEnumValue("GainSelector");
        if (!m_varGainEntries)
            return;
        form().setItems(FeaChoice, *m_varGainEntries);
        for (int i = 0; i < form().itemCount(FeaChoice); ++i)
            if (form().itemText(FeaChoice, i) == selector)
                form().setSelection(FeaChoice, i);
        m_bAuto = c.GetGainAuto() == "Continuous";
        form().enable(FeaSlider, !m_bAuto);
        form().enable(FeaValue, !m_bAuto);
        form().setCheck(FeaAuto, m_bAuto);
        SetCell(display, kColAuto, m_bAuto ? "A" : "M");
        form().show(FeaAuto, selector == "All");
    } catch (const std::exception &) {
        // The selector or gain-auto part was refused: the white balance still decides below.
    }
    const bool balanceOff = c.GetBalanceWhiteAuto() == "Off";
    const bool all = selector == "All";
    // Whether slider and box may be used, and whether the row reads as automatic.
    bool usable, automatic;
    if (balanceOff) {
        usable = !(m_bAuto && all);
        automatic = m_bAuto && all;
    } else {
        usable = !m_bAuto && all;
        automatic = !usable;
    }
    form().enable(FeaSlider, usable);
    form().enable(FeaValue, usable);
    SetCell(display, kColAuto, automatic ? "A" : "M");
}

void CFeatureCtrlDlg::SelectExposure(cam::CMolvane &c, const std::string &display)
{
    form().show(FeaAuto, true);
    form().setCheck(FeaAuto, m_bAuto);
    form().setText(FeaExposure, c.GetExposureTimeText());
    form().show(FeaExposure, true);
    m_bAuto = c.GetExposureAuto() == "Continuous";
    form().enable(FeaSlider, !m_bAuto);
    form().enable(FeaValue, !m_bAuto);
    form().setCheck(FeaAuto, m_bAuto);
    SetCell(display, kColAuto, m_bAuto ? "A" : "M");
    SetCell(display, kColValue, c.GetExposureTimeText());
}

void CFeatureCtrlDlg::SelectWhiteBalance(cam::CMolvane &c, const std::string &display)
{
    form().show(FeaExposure, false);
    ShowValueControls(false);
    form().show(FeaChoice, true);
    form().clearItems(FeaChoice);
    const cam::StringList entries = c.GetEnumEntries("BalanceWhiteAuto");
    const std::string w = c.GetBalanceWhiteAuto();
    if (!entries)
        return;
    form().setItems(FeaChoice, *entries);
    for (int i = 0; i < form().itemCount(FeaChoice); ++i)
        if (form().itemText(FeaChoice, i) == w)
            form().setSelection(FeaChoice, w == "Once" ? 0 : i);
    m_bWhiteBalance = w == "Continuous";
    if (w == "Once")
        c.SetBalanceWhiteAuto("Off");  // the camera ends "Once" by itself
    SetCell(display, kColAuto, m_bWhiteBalance ? "A" : "M");
    SetCell(display, kColValue, w == "Continuous" ? "Continuous" : "Off");
    form().setCheck(FeaAuto, m_bWhiteBalance);
}

void CFeatureCtrlDlg::ApplyFeatureValue()
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    const std::string display = form().cell(FeaList, m_nSelectedRow, 0);
    const std::string n = nodeOfDisplay(display);
    const Feature *f = byNode(n);
    if (n == "BalanceWhiteAuto" || !f || !f->write)
        return;
    int v = fw::wholeNumber(form().text(FeaValue));  // text that is no number reads as 0
    try {
        f->write(*c, v);
    } catch (const std::exception &) {
        v = f->read(*c);  // show what the camera kept
    }
    if (display == kShutter) {
        const std::string text = c->GetExposureTimeText();
        SetCell(display, kColValue, text);
        form().setText(FeaExposure, text);
    } else {
        SetCell(display, kColValue, std::to_string(v));
    }
    form().setText(FeaValue, std::to_string(v));
    form().setPos(FeaSlider, v - m_nLower);
}

void CFeatureCtrlDlg::OnSlider()
{
    form().setText(FeaValue, std::to_string(form().pos(FeaSlider) + m_nLower));
    ApplyFeatureValue();
}

void CFeatureCtrlDlg::OnListClick()
{
    m_nSelectedRow = form().selection(FeaList);
    const std::string display = form().cell(FeaList, m_nSelectedRow, 0);
    if (display.empty())
        return;
    SelectFeature(nodeOfDisplay(display), display);
}

void CFeatureCtrlDlg::OnAuto()
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    const int on = form().check(FeaAuto) ? 1 : 0;
    const std::string n = SelectedNode();
    if (n == "ExposureTime") {
        c->SetExposureAuto(on ? "Continuous" : "Off");
        m_bAuto = on;
        for (int id : {FeaSlider, FeaValue, FeaExposure})
            form().enable(id, !on);
        SelectFeature("ExposureTime", kShutter);
    } else if (n == "Gain") {
        c->SetGainAuto(on ? "Continuous" : "Off");
        m_bAuto = on;
        SelectFeature("Gain", "Gain");
    }
}

void CFeatureCtrlDlg::OnChoice()
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    std::string t = form().selectedText(FeaChoice);
    const std::string display = form().cell(FeaList, m_nSelectedRow, 0);
    if (display == "Gain") {
        c->SetEnumValue("GainSelector", t);
        t = c->GetEnumValue("GainSelector");
    } else if (display == "WhiteBalance") {
        c->SetBalanceWhiteAuto(t);
        if (t == "Once") {
            // The camera balances; the list waits two seconds before it can be used again.
            form().enable(FeaChoice, false);
            setTimer(kOnceTimer, 2000);
            return;
        }
    }
    SelectFeature(nodeOfDisplay(display), display);
}

void CFeatureCtrlDlg::onTimer(int id)
{
    if (id != kOnceTimer)
        return;
    killTimer(kOnceTimer);
    form().enable(FeaChoice, true);
    const std::string display = form().cell(FeaList, m_nSelectedRow, 0);
    SelectFeature(nodeOfDisplay(display), display);
}

void CFeatureCtrlDlg::OnDefault()
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    c->LoadSaveUserSet(0, 0);
    RefreshFeaturePage();
}

bool CFeatureCtrlDlg::preTranslateKey(const fw::KeyEvent &key)
{
    if (key.key == fw::Key::Escape)
        return true;
    if (key.key != fw::Key::Enter)
        return false;
    if (key.controlId == FeaExposure) {
        const std::string text = form().text(FeaExposure);
        const bool unit = text.find("us", 1) != std::string::npos || text.find("ms", 1) != std::string::npos ||
                          text.find('s', 1) != std::string::npos;
        cam::CMolvane *c = Camera();
        if (!unit) {
            const fw::Rect r = controlScreenRect(FeaUnitAnchor);
            fw::platform().showBalloon({fw::loadString(511), fw::loadString(578), fw::BalloonIcon::Warning,
                                        {r.left, r.top}});
        } else if (c) {
            form().setCell(FeaList, m_nSelectedRow, kColValue, text);
            try {
                c->SetExposureTimeText(text);
            } catch (const std::exception &) {
                // The refusal is reported as any other; the row and the box show what the
                // camera kept, not the text it refused.
                SelectFeature("ExposureTime", kShutter);
                throw;
            }
            SelectFeature("ExposureTime", kShutter);
        }
        return true;
    }
    ApplyFeatureValue();
    return true;
}
