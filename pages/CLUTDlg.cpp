// The LUT page.
#include "pages/CLUTDlg.h"

#include "framework/TypedNumber.h"
#include "framework/Platform.h"
#include "pages/CKneeLUTView.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace res;

namespace {

const int kKneeEdits[8] = {KneeX1, KneeY1, KneeX2, KneeY2, KneeX3, KneeY3, KneeX4, KneeY4};
const int kKneeSpins[8] = {KneeX1Spin, KneeY1Spin, KneeX2Spin, KneeY2Spin,
                           KneeX3Spin, KneeY3Spin, KneeX4Spin, KneeY4Spin};

void message(const std::string &text)
{
    fw::platform().messageBox(text, fw::loadString(501), fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
}

} // namespace

CLUTDlg::CLUTDlg() : CFormPage(kTemplate)
{
    using N = fw::Notify;
    on(N::Clicked, LutSet, [this] { OnSetLut(); });
    on(N::Clicked, LutWrite, [this] { OnWriteLut(); });
    on(N::Clicked, KneeSet, [this] { OnKneeSet(); });
    on(N::Clicked, KneeLinear, [this] { OnLinear(); });
    for (int i = 0; i < 8; ++i)
        on(N::SpinDelta, kKneeSpins[i], [this, i] { OnSpin(i); });
}

CLUTDlg::~CLUTDlg() { m_pKneeView.reset(); }  // the graph is a child of this page: it goes first

void CLUTDlg::onInitialUpdate()
{
    m_nSelectedLut = 0;
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    form().clearItems(LutNumber);
    Attempt([&] {
        const auto entries = c.GetEnumEntries("LUTSelector").value_or(std::vector<std::string>{});
        form().setItems(LutNumber, entries);
        const std::string current = c.GetEnumValue("LUTSelector");
        form().setSelection(LutNumber, static_cast<int>(entries.size()) - 1);
        const auto at = std::find(entries.begin(), entries.end(), current);
        if (at != entries.end())
            form().setSelection(LutNumber, static_cast<int>(at - entries.begin()));
    });
    Attempt([&] { form().setCheck(LutPassThrough, c.GetLUTPassThrough() ? 1 : 0); });
    Attempt([&] { form().setCheck(LutOnOff, c.GetLUTEnable() ? 1 : 0); });
    if (ReadKnee(c)) {
        Attempt([&] { form().setCheck(KneePassThrough, c.GetKneeLUTPassThrough() ? 1 : 0); });
        for (int i = 0; i < 8; ++i) {
            form().setRange(kKneeSpins[i], 0, 4095);
            ShowKneeValue(i, m_nKnee[i]);
        }
        if (!m_pKneeView) {
            m_pKneeView = std::make_unique<CKneeLUTView>(*this);
            m_pKneeView->Create();
        }
    }
    if (m_pKneeView)
        m_pKneeView->invalidate();
    showWindow(true);
}

// Reads the four knee points and the knee switch; false (after saying so) when the camera has none.
bool CLUTDlg::ReadKnee(cam::CMolvane &c)
{
    std::array<int, 8> knee{};
    bool kneeOn = false;
    try {
        for (int i = 0; i < 4; ++i) {
            c.GetKneePoint(i, &knee[2 * i], &knee[2 * i + 1]);
            if (i == 0)
                kneeOn = c.GetBoolValue("LUTKneePointOnOff") != 0;
        }
    } catch (const std::exception &) {
        message(fw::loadString(570));
        return false;
    }
    form().setCheck(KneeOn, kneeOn ? 1 : 0);
    m_nKnee = knee;
    return true;
}

void CLUTDlg::ShowKneeValue(int index, int value)
{
    form().setPos(kKneeSpins[index], std::clamp(value, 0, 4095));
    form().setText(kKneeEdits[index], std::to_string(value));
}

bool CLUTDlg::preTranslateKey(const fw::KeyEvent &key)
{
    if (key.key == fw::Key::Enter) {
        OnSetLut();
        return true;
    }
    return key.key == fw::Key::Escape;
}

void CLUTDlg::OnSetLut()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    Attempt([&] { c.SetLUTPassThrough(form().check(LutPassThrough) ? 1 : 0); });
    m_nSelectedLut = form().selection(LutNumber);
    Attempt([&] { c.SetLUTIndex(m_nSelectedLut); });
    Attempt([&] { c.SetLUTEnable(form().check(LutOnOff) ? 1 : 0); });
}

void CLUTDlg::OnWriteLut()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    if (!form().check(LutOnOff)) {
        ShowWarning(LutOnOff, 328);
        return;
    }
    std::error_code ec;
    const std::string start = std::filesystem::current_path(ec).string() + "/table/LUT";
    const auto path = fw::platform().openFileDialog("Data Files (*.dat)|*.dat|All Files (*.*)|*.*||", start);
    if (!path)
        return;
    auto table = std::make_unique<LutTable>();
    std::string problem;
    switch (LutFile::Read(*path, *table, &problem)) {
    case LutFile::Status::CannotOpen: message(fw::loadString(514)); return;
    case LutFile::Status::NotNumbers:
        message("The LUT file " + *path + " cannot be used: " + problem + ". Nothing was written to the camera.");
        return;
    case LutFile::Status::Ok: break;
    }
    cam::CMolvane &c = *view->m_pCamera;
    const int index = form().selection(LutNumber);
    Attempt([&] { c.SetLUTIndex(index); });
    Attempt([&] { c.SetLUTEnable(1); });
    Attempt([&] { c.WriteLUT(index, table->data()); });
    Attempt([&] { c.SetLUTPassThrough(form().check(LutPassThrough) ? 1 : 0); });
}

void CLUTDlg::OnKneeSet()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    std::array<int, 8> typed{};
    for (int i = 0; i < 8; ++i)
        typed[i] = fw::wholeNumber(form().text(kKneeEdits[i]));
    Attempt([&] { c.SetKneeLUTPassThrough(form().check(KneePassThrough) ? 1 : 0); });
    Attempt([&] { c.SetKneeLUTEnable(form().check(KneeOn) ? 1 : 0); });
    for (int i = 0; i < 4; ++i)
        Attempt([&] { c.SetKneePoint(i, typed[2 * i], typed[2 * i + 1]); });
    m_nKnee = typed;
    if (m_pKneeView)
        m_pKneeView->invalidate();
}

void CLUTDlg::OnLinear()
{
    for (int i = 0; i < 8; ++i) {
        m_nKnee[i] = 1000 + 500 * (i / 2);
        ShowKneeValue(i, m_nKnee[i]);
    }
    if (m_pKneeView)
        m_pKneeView->invalidate();
    OnKneeSet();
}

void CLUTDlg::OnSpin(int index)
{
    const fw::ControlState &spin = form().state(kKneeSpins[index]);
    m_nKnee[index] = std::clamp(spin.pos, 0, 4095);
    form().setText(kKneeEdits[index], std::to_string(m_nKnee[index]));
    if (m_pKneeView)
        m_pKneeView->invalidate();
}

void CLUTDlg::MoveKneePoint(int point, int x, int y)
{
    m_nKnee[2 * point] = x;
    m_nKnee[2 * point + 1] = y;
    ShowKneeValue(2 * point, x);
    ShowKneeValue(2 * point + 1, y);
}

void CLUTDlg::ClampKnee()
{
    for (int &v : m_nKnee)
        v = std::clamp(v, 0, 4095);
}

void CLUTDlg::ShowCurrentPoint(int x, int y)
{
    char text[48];
    std::snprintf(text, sizeof text, "( %d,%d )", x, y);
    form().setText(KneeCurrent, text);
}
