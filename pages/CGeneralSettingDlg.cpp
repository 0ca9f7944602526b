// The Format page.
#include "pages/CGeneralSettingDlg.h"

#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CMainFrame.h"
#include "framework/TypedNumber.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"
#include "view/CChildFrame.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace res;

namespace {

const char *const kFrameRateNode = "AcquisitionFrameRateAbs";

std::string format(const char *f, double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}



} // namespace

CGeneralSettingDlg::CGeneralSettingDlg() : CFormPage(kTemplate)
{
    using N = fw::Notify;
    on(N::SelChange, FmtPixelFormat, [this] { OnPixelFormatChanged(); });
    on(N::SelChange, FmtRate1394, [this] { OnFrameRate1394Changed(); });
    on(N::SelChange, FmtLayout, [this] {
        if (CMolvaneView *v = ActiveView())
            Attempt([&] { v->m_pCamera->SetBayerLayout(form().selection(FmtLayout)); });
    });
    on(N::SelChange, FmtAlgorithm, [this] {
        if (CMolvaneView *v = ActiveView())
            Attempt([&] { v->m_pCamera->SetBayerAlgorithm(form().selection(FmtAlgorithm) + 1); });
    });
    on(N::SelChange, FmtRotate, [this] { OnRotation(); });
    on(N::Clicked, FmtLoad, [this] { OnLoad(); });
    on(N::Clicked, FmtSave, [this] { OnSave(); });
    on(N::Clicked, FmtZoomSet, [this] { OnZoomSet(); });
    for (int box : {FmtMirror, FmtFlip, FmtNegative})
        on(N::Clicked, box, [this, box] { OnEffect(box); });
    on(N::Clicked, FmtNone, [this] { OnNone(); });
    on(N::Clicked, FmtBayer, [this] { OnBayer(); });
    on(N::Clicked, FmtBits10, [this] { OnBits(10); });
    on(N::Clicked, FmtBits12, [this] { OnBits(12); });
    on(N::Scroll, FmtRateSlider, [this] { OnRateSlider(); });
}

void CGeneralSettingDlg::onInitialUpdate()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane *c = view->m_pCamera;
    FillPixelFormats();
    form().clearItems(FmtUserSet);
    Attempt([&] {
        if (auto sets = c->GetEnumEntries("UserSetSelector"))
            form().setItems(FmtUserSet, *sets);
        form().setSelection(FmtUserSet, c->GetUserSetIndex());
    });
    form().setItems(FmtRotate, {"0", "90", "180", "270"});
    form().setSelection(FmtRotate, view->m_nRotation);
    RefreshFormatPage();
    showWindow(true);
}

void CGeneralSettingDlg::FillPixelFormats()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane *c = view->m_pCamera;
    form().clearItems(FmtPixelFormat);
    Attempt([&] {
        for (const auto &name : c->GetImageFormatList().value_or(std::vector<std::string>{})) {
            if (name.empty())
                break;
            form().addItem(FmtPixelFormat, name);
        }
        form().setSelection(FmtPixelFormat, c->GetImageFormat());
    });
    FillFrameRates1394();
    if (CMainFrame *frame = mainFrame())
        frame->RefreshAnalysisWindows();
}

void CGeneralSettingDlg::FillFrameRates1394()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane *c = view->m_pCamera;
    const bool ok = Attempt([&] {
        auto rates = c->GetFrameRateList();
        if (!rates)
            return;
        form().clearItems(FmtRate1394);
        form().setItems(FmtRate1394, *rates);
        const int index = c->GetFrameRateIndex();
        if (index < 0) {
            form().setSelection(FmtRate1394, form().itemCount(FmtRate1394) - 1);
            c->SetFrameRateIndex(form().itemCount(FmtRate1394) - 1);
        } else {
            form().setSelection(FmtRate1394, index);
        }
        form().enable(FmtRate1394, true);
    });
    if (!ok) {  // a GigE Vision camera (or Format7) has no such list
        form().clearItems(FmtRate1394);
        form().enable(FmtRate1394, false);
    }
}

void CGeneralSettingDlg::ShowRateBounds(float lower, float upper, float value)
{
    m_fRateLower = lower;
    m_fRateUpper = upper;
    form().setText(FmtRateLow, format("%1.1f", lower));
    form().setText(FmtRateHigh, format("%3.1f", upper));
    form().setText(FmtRateBox, format("%3.1f", value));
    form().setRange(FmtRateSlider, 0, fw::truncated(10.0 * upper) - fw::truncated(10.0 * lower));
    form().setPos(FmtRateSlider, fw::truncated(10.0 * (value - lower) + 0.5));
}

void CGeneralSettingDlg::ShowGigEFrameRate(float lower, float upper, float value)
{
    ShowRateBounds(lower, upper, value);
    form().enable(FmtRateSlider, true);
    form().enable(FmtRateBox, true);
}

void CGeneralSettingDlg::RefreshFormatPage()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane *c = view->m_pCamera;
    const int type = c->GetCameraType();
    if (type == 1) {
        form().enable(FmtRateSlider, false);
        form().enable(FmtRateBox, false);
    } else if (type == 0) {
        form().enable(FmtRateSlider, !view->m_bPlaying);
        form().enable(FmtRateBox, !view->m_bPlaying);
        if (!Attempt([&] {
                const float lo = c->GetFloatMin(kFrameRateNode), hi = c->GetFloatMax(kFrameRateNode);
                ShowRateBounds(lo, hi, c->GetFloatValue(kFrameRateNode));
            })) {
            form().enable(FmtRateSlider, false);
            form().enable(FmtRateBox, false);
        }
    }
    form().setRange(FmtZoomSpin, 0, 1000);
    SetZoomSpin(fw::truncated(view->m_fZoom));
    form().setCheck(FmtNone, 1);
    Attempt([&] {
        const int bits = c->GetBitPerPixel();
        if (bits == 10 || bits == 12) {
            form().setCheck(FmtBits10, bits == 10);
            form().setCheck(FmtBits12, bits == 12);
        }
    });
    const std::string name = form().selectedText(FmtPixelFormat);
    const bool deep = name.find("Mono16") != std::string::npos || name.find("BayerGR12") != std::string::npos;
    form().enable(FmtBits10, deep);
    form().enable(FmtBits12, deep);
    const int negative = c->GetNegative(), mirror = c->GetMirror(), flip = c->GetFlip();
    form().setCheck(FmtNegative, negative != 0);
    form().setCheck(FmtMirror, mirror != 0);
    form().setCheck(FmtFlip, flip != 0);
    form().setCheck(FmtNone, !negative && !mirror && !flip);
    RefreshBayer();
}

void CGeneralSettingDlg::RefreshBayer()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    if (!view->m_bBayer) {
        form().setCheck(FmtBayer, 0);
        form().enable(FmtLayout, false);
        form().enable(FmtAlgorithm, false);
        form().setSelection(FmtLayout, 0);
        form().setSelection(FmtAlgorithm, 0);
    } else if (form().selectedText(FmtPixelFormat).find("YUV") != std::string::npos) {
        form().setCheck(FmtBayer, 0);
        form().enable(FmtLayout, false);
        form().enable(FmtAlgorithm, false);
    } else {
        form().setCheck(FmtBayer, 1);
        form().enable(FmtLayout, true);
        form().enable(FmtAlgorithm, true);
        form().setSelection(FmtAlgorithm, view->m_pCamera->GetBayerAlgorithm() - 1);
        form().setSelection(FmtLayout, view->m_pCamera->GetBayerLayout());
    }
}

void CGeneralSettingDlg::SetZoomSpin(int zoom)
{
    form().setPos(FmtZoomSpin, zoom);
    form().setText(FmtZoomBox, std::to_string(zoom));
}

void CGeneralSettingDlg::OnPixelFormatChanged()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0)
        return;
    cam::CMolvane *c = view->m_pCamera;
    if (view->m_bPlaying)
        view->StopInner();
    const int i = form().selection(FmtPixelFormat);
    Attempt([&] {
        c->SetImageFormat(i);
        auto rates = c->GetFrameRateList();  // a GigE Vision camera refuses: this step ends
        c->SetFrameRateIndex(static_cast<int>(rates ? rates->size() : 0) - 1);
        form().setSelection(FmtRate1394, form().itemCount(FmtRate1394) - 1);
    });
    FillFrameRates1394();
    RefreshFormatPage();
    CMainFrame *frame = mainFrame();
    if (frame && frame->m_pCameraInfoPane) {
        fw::Form &info = frame->m_pCameraInfoPane->m_dlg.form();
        auto formats = c->GetImageFormatList().value_or(std::vector<std::string>{});
        if (i >= 0 && i < static_cast<int>(formats.size()))
            info.setText(InfoFormat, formats[i]);
        info.setText(InfoWidth, std::to_string(c->GetImageWidth()));
        info.setText(InfoHeight, std::to_string(c->GetImageHeight()));
    }
    if (view->m_bPlaying)
        view->PlayInner();
}

void CGeneralSettingDlg::OnFrameRate1394Changed()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0)
        return;
    if (view->m_bPlaying)
        view->StopInner();
    view->m_pCamera->SetFrameRateIndex(form().selection(FmtRate1394));
    view->m_fZoom = 100;
    view->m_pCamera->SetZoom(1.0f);
    if (CMainFrame *frame = mainFrame())
        frame->frame()->setSliderPos(CmdZoomSlider, 100);
    if (view->m_bPlaying)
        view->PlayInner();
}

void CGeneralSettingDlg::OnRateSlider()
{
    const int p = form().pos(FmtRateSlider);
    if (p < 1) {
        form().setPos(FmtRateSlider, 1);
        form().setText(FmtRateBox, format("%3.1f", m_fRateLower));
    } else {
        form().setText(FmtRateBox, format("%3.1f", std::min(m_fRateLower + p / 10.0f, m_fRateUpper)));
    }
    ApplyGigEFrameRate();
}

void CGeneralSettingDlg::ApplyGigEFrameRate()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0)
        return;
    if (view->m_pCamera->GetAcquisitionMode() != "Continuous")
        return;
    const double v = fw::decimalNumber(form().text(FmtRateBox));
    if (v >= m_fRateLower && v <= m_fRateUpper)
        view->m_pCamera->SetFloatValue(kFrameRateNode, static_cast<float>(v));
    else
        ShowWarning(FmtRateSlider, 517);
}

void CGeneralSettingDlg::OnLoad()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0 || view->m_nAccessMode == 2)
        return;
    cam::CMolvane *c = view->m_pCamera;
    CMainFrame *frame = mainFrame();
    const int s = form().selection(FmtUserSet);
    const bool ok = Attempt([&] {
        if (s > 4)
            c->ShowWindow(false);
        c->LoadSaveUserSet(s, 0);
        frame->frame()->enableSlider(CmdZoomSlider, true);
        form().setSelection(FmtPixelFormat, c->GetImageFormat());
        if (c->GetCameraType() == 1) {
            form().setSelection(FmtRate1394, c->GetFrameRateIndex());
            FillFrameRates1394();
        }
        if ((s == 0 || s >= 5) && frame->m_pCameraInfoPane)
            frame->m_pCameraInfoPane->m_dlg.form().setText(InfoTrigger, c->GetTriggerOnOff() ? "ON" : "OFF");
        if (s > 4)
            c->ShowWindow(true);
        RefreshFormatPage();
        if (frame->m_pCameraInfoPane) {
            frame->m_pCameraInfoPane->m_dlg.ShowCameraState();
            frame->m_pCameraInfoPane->m_dlg.ShowStatus();
        }
    });
    if (!ok)
        FillFrameRates1394();
}

void CGeneralSettingDlg::OnSave()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0 || view->m_nAccessMode == 2)
        return;
    view->m_pCamera->PrepareUserSetSave();
    view->m_pCamera->LoadSaveUserSet(form().selection(FmtUserSet), 1);
}

void CGeneralSettingDlg::OnEffect(int box)
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane *c = view->m_pCamera;
    const int on = form().check(box) ? 1 : 0;
    if (box == FmtMirror)
        c->SetMirror(on);
    else if (box == FmtFlip)
        c->SetFlip(on);
    else
        c->SetNegative(on);
    const bool any = form().check(FmtMirror) || form().check(FmtFlip) || form().check(FmtNegative);
    form().setCheck(FmtNone, !any);
}

void CGeneralSettingDlg::OnNone()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    view->m_pCamera->SetMirror(0);
    view->m_pCamera->SetFlip(0);
    view->m_pCamera->SetNegative(0);
    for (int box : {FmtMirror, FmtFlip, FmtNegative})
        form().setCheck(box, 0);
    form().setCheck(FmtNone, 1);
}

void CGeneralSettingDlg::OnRotation()
{
    CMolvaneView *view = ActiveView();
    const int s = form().selection(FmtRotate);
    if (!view || !view->m_pCamera || s < 0 || s > 3)
        return;
    view->m_pCamera->SetRotation(s * 90);
    view->m_nRotation = s;
}

void CGeneralSettingDlg::OnBits(int bits)
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    view->m_pCamera->SetBitPerPixel(bits);
    const int now = view->m_pCamera->GetBitPerPixel();
    form().setCheck(FmtBits10, now == 10);
    form().setCheck(FmtBits12, now == 12);
}

void CGeneralSettingDlg::OnBayer()
{
    CMolvaneView *view = ActiveView();
    CMainFrame *frame = mainFrame();
    if (!view || !view->m_pCamera || !frame)
        return;
    const bool on = form().check(FmtBayer) != 0;
    if (frame->m_pCameraInfoPane)
        frame->m_pCameraInfoPane->m_dlg.form().setText(InfoBayer, on ? "ON" : "OFF");
    view->m_pCamera->SetBayerConversion(on ? 1 : 0);
    if (on) {
        view->m_pCamera->SetBayerAlgorithm(form().selection(FmtAlgorithm) + 1);
        // The list showed its first entry while off; show the layout the camera decodes with.
        form().setSelection(FmtLayout, view->m_pCamera->GetBayerLayout());
    }
    form().enable(FmtLayout, on);
    form().enable(FmtAlgorithm, on);
    view->m_bBayer = on ? 1 : 0;
    if (on)
        frame->RefreshAnalysisWindows();
}

void CGeneralSettingDlg::OnZoomSet()
{
    if (fw::wholeNumber(form().text(FmtZoomBox)) > 1000) {
        ShowWarning(FmtZoomAnchor, 541);
        return;
    }
    ApplyZoom();
}

void CGeneralSettingDlg::ApplyZoom()
{
    CMolvaneView *view = ActiveView();
    CMainFrame *frame = mainFrame();
    if (!view || !view->m_pCamera || !frame)
        return;
    cam::CMolvane *c = view->m_pCamera;
    const float z = static_cast<float>(fw::decimalNumber(form().text(FmtZoomBox)));
    view->m_fZoom = z;
    const float r = z / 100;
    frame->m_bZoomChanged = 0;
    fw::FramePeer *f = frame->frame();
    if (r > 0 && f->toolBarVisible(ToolbarZoom)) {
        f->setSliderPos(CmdZoomSlider, fw::truncated(z));
        if (!frame->m_bZoomChanged) {  // the slider's own handling did not apply it
            const int p = f->sliderPos(CmdZoomSlider);
            view->m_fZoom = static_cast<float>(p);
            c->ShowWindow(false);
            c->SetZoom(p * 0.01f);
            c->ShowWindow(true);
            frame->m_bZoomChanged = 1;
        }
    } else {
        c->ShowWindow(false);
        c->SetZoom(std::max(0.0f, r));
        c->ShowWindow(true);
        if (r <= 0 && view->m_pParentFrame)
            view->m_pParentFrame->setWindowText(frame->m_wndCameraList.selectedLine() + " Zoom : Fit to window");
    }
}

bool CGeneralSettingDlg::preTranslateKey(const fw::KeyEvent &key)
{
    if (key.key == fw::Key::Escape)
        return true;
    if (key.key != fw::Key::Enter)
        return false;
    if (key.controlId == FmtRateBox) {
        ApplyGigEFrameRate();
        return true;
    }
    if (key.controlId == FmtZoomBox) {
        OnZoomSet();
        return true;
    }
    return false;
}
