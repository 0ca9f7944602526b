// The Capture page.
#include "pages/CCaptureDlg.h"

#include "app/AppAccess.h"
#include "framework/TypedNumber.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace res;

namespace {

const char *const kFormats[] = {"JPG", "BMP", "TIF", "RAW", "RGB"};
const char *const kExtensions[] = {".jpg", ".bmp", ".tif", ".raw", "-rgb.raw"};

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}


// Creates a folder one level deep; a missing parent makes it fail silently.
void createFolder(const std::string &path)
{
    std::error_code ec;
    std::filesystem::create_directory(path, ec);
}

bool alive(const CMolvaneView *view)
{
    return view && std::find(g_listCameraView.begin(), g_listCameraView.end(), view) != g_listCameraView.end();
}

} // namespace

CCaptureDlg::CCaptureDlg() : CFormPage(kTemplate)
{
    using N = fw::Notify;
    on(N::SelChange, CapType, [this] {
        if ((m_pView = ActiveView()))
            ApplyType(*m_pView);
    });
    on(N::SelChange, CapFormat, [this] { OnFormatChange(); });
    on(N::SelChange, CapCodec, [this] { OnCodecChange(); });
    on(N::Clicked, CapFolder, [this] { OnFolder(); });
    on(N::Clicked, CapButton, [this] { OnCapture(); });
}

std::string CCaptureDlg::ExtensionOf(int index)
{
    return index >= 0 && index < 5 ? kExtensions[index] : ".jpg";
}

int CCaptureDlg::FormatIndexOf(const std::string &extension)
{
    for (int i = 0; i < 5; ++i)
        if (upper(extension) == upper(kExtensions[i]))
            return i;
    return -1;
}

const char *CCaptureDlg::FolderKey(int type)
{
    return type == Stream ? "CaptureStream" : type == Auto ? "CaptureAuto" : "CaptureStill";
}

std::string CCaptureDlg::TimeName()
{
    const fw::LocalTime t = fw::platform().localTime();
    char name[64];
    std::snprintf(name, sizeof name, "/%d_%d_%d_%d_%d_%d", t.month, t.day, t.hour, t.minute, t.second,
                  t.millisecond);
    return name;
}

std::string &CCaptureDlg::FolderOf(CMolvaneView &view, int type)
{
    return type == Stream ? view.m_strStreamFolder : type == Auto ? view.m_strAutoFolder : view.m_strStillFolder;
}

void CCaptureDlg::onInitialUpdate()
{
    CMolvaneView *view = m_pView = ActiveView();
    form().setItems(CapType, {"Still", "Stream", "Auto"});
    form().setRange(CapProgress, 0, 10);
    form().show(CapProgress, false);
    setTimer(StatusTimer, kStatusPeriod);
    if (!view)
        return;
    if (view->m_nCaptureType == -1) {
        form().setSelection(CapType, Still);
        view->m_bCapturing = 0;
        form().setText(CapButton, "Capture");
    } else {
        form().setSelection(CapType, view->m_nCaptureType);
    }
    LoadFolders(*view);
    ApplyType(*view);
    SelectFormat(*view);
    ShowStatus();
    showWindow(true);
}

void CCaptureDlg::LoadFolders(CMolvaneView &view)
{
    std::error_code ec;
    const std::string current = std::filesystem::current_path(ec).string();
    for (int type : {Still, Auto, Stream}) {
        const std::string stored = fw::platform().settings().value(FolderKey(type));
        FolderOf(view, type) = stored.empty() ? current : stored;
    }
    for (int type : {Stream, Auto, Still})
        createFolder(FolderOf(view, type));
}

void CCaptureDlg::FillFormats()
{
    form().setItems(CapFormat, std::vector<std::string>(std::begin(kFormats), std::end(kFormats)));
}

void CCaptureDlg::SelectFormat(const CMolvaneView &view)
{
    const int index = FormatIndexOf(view.m_strCaptureExt);
    if (index >= 0 && form().itemCount(CapFormat) == 5)
        form().setSelection(CapFormat, index);
}

void CCaptureDlg::ApplyType(CMolvaneView &view)
{
    view.m_nCaptureType = form().selection(CapType);
    form().clearItems(CapFormat);
    form().clearItems(CapCodec);
    switch (view.m_nCaptureType) {
    case Stream: ApplyStream(view); break;
    case Auto: ApplyAuto(view); break;
    default: ApplyStill(view); break;
    }
}

void CCaptureDlg::ApplyStill(CMolvaneView &view)
{
    form().setText(CapPathCaption, "Still");
    FillFormats();
    form().enable(CapFormat, true);
    for (int id : {CapTime, CapTimeLabel, CapUnitLabel})
        form().enable(id, false);
    for (int id : {CapCodec, CapCodecLabel, CapProgress})
        form().show(id, false);
    form().enable(CapFormatLabel, true);
    form().setText(CapPath, view.m_strStillFolder);
    SelectFormat(view);
    for (int id : {CapType, CapFormat, CapPath, CapFolder})
        form().enable(id, true);
}

void CCaptureDlg::ApplyStream(CMolvaneView &view)
{
    EnableStreamControls(!view.m_bCapturing);
    form().show(CapProgress, view.m_bCapturing != 0);
    form().setText(CapButton, view.m_bCapturing ? "Stop" : "Capture");
    form().setText(CapPathCaption, "AVI");
    form().setItems(CapFormat, {"AVI"});
    form().setSelection(CapFormat, 0);
    form().enable(CapFormat, false);
    form().show(CapCodec, true);
    form().show(CapCodecLabel, true);
    form().enable(CapFormatLabel, false);
    form().enable(CapTimeLabel, true);
    form().enable(CapUnitLabel, true);
    Attempt([&] {
        if (auto codecs = view.m_pCamera->GetAviCodecList())
            form().setItems(CapCodec, *codecs);
        if (form().itemCount(CapCodec) > 0) {
            form().setSelection(CapCodec, 0);
            view.m_pCamera->SetAviCodec(form().itemText(CapCodec, 0));
        }
    });
    form().setText(CapPath, view.m_strStreamFolder);
}

void CCaptureDlg::ApplyAuto(CMolvaneView &view)
{
    form().setText(CapPathCaption, "Auto");
    FillFormats();
    for (int id : {CapTime, CapTimeLabel, CapUnitLabel, CapFormatLabel})
        form().enable(id, true);
    for (int id : {CapCodec, CapCodecLabel, CapProgress})
        form().show(id, false);
    form().setText(CapPath, view.m_strAutoFolder);
    SelectFormat(view);
    EnableAutoControls(!view.m_bCapturing);
    form().setText(CapButton, view.m_bCapturing ? "Stop" : "Capture");
}

// The five controls an auto capture locks: type, format, folder field and button, time.
void CCaptureDlg::EnableAutoControls(bool enabled)
{
    for (int id : {CapType, CapFormat, CapPath, CapFolder, CapTime})
        form().enable(id, enabled);
}

// What a stream capture locks: type, time, codec, folder field and button.
void CCaptureDlg::EnableStreamControls(bool enabled)
{
    for (int id : {CapType, CapTime, CapCodec, CapPath, CapFolder})
        form().enable(id, enabled);
}

void CCaptureDlg::OnFormatChange()
{
    if ((m_pView = ActiveView()))
        m_pView->m_strCaptureExt = ExtensionOf(form().selection(CapFormat));
}

void CCaptureDlg::OnCodecChange()
{
    if ((m_pView = ActiveView()) && m_pView->m_pCamera)
        Attempt([&] { m_pView->m_pCamera->SetAviCodec(form().selectedText(CapCodec)); });
}

void CCaptureDlg::OnFolder()
{
    m_pView = ActiveView();
    const auto weak = aliveToken();
    const auto chosen = fw::platform().folderDialog("Select image save folder.");
    if (!chosen || weak.expired() || !hasWindow())
        return;
    form().setText(CapPath, *chosen);
    const int type = form().selection(CapType);
    if ((m_pView = ActiveView()))
        FolderOf(*m_pView, type) = *chosen;
    fw::platform().settings().setValue(FolderKey(type), *chosen);
    createFolder(*chosen);
}

void CCaptureDlg::OnCapture()
{
    CMolvaneView *view = m_pView = ActiveView();
    if (!view || !view->m_bPlaying || !view->m_pCamera)
        return;
    const int type = form().selection(CapType);
    FolderOf(*view, type) = form().text(CapPath);
    createFolder(form().text(CapPath));  // a typed folder is used (not stored), so made if missing
    view->m_strFailedFolder.clear();     // a failure in it is reported afresh
    // Milliseconds as the recorder and the timers count them, in an int: a longer time is one
    // they cannot keep, and gets the same answer as no time.
    const long long typed = fw::wholeNumber(form().text(CapTime)) * 1000LL;
    if ((type == Stream && typed == 0) || typed > INT_MAX) {
        ShowWarning(CapTimeAnchor, 576);
        return;
    }
    const int ms = static_cast<int>(std::max<long long>(typed, INT_MIN));
    if (type == Still) {
        view->m_bStillRequest = 1;
    } else if (type == Stream) {
        if (!view->m_bCapturing)
            StartStream(*view, ms);
        else
            StopStream(*view);
    } else {
        ToggleAuto(*view, ms);
    }
}

void CCaptureDlg::StartStream(CMolvaneView &view, int ms)
{
    if (ms <= 0)
        return;
    form().enable(CapCodec, false);
    form().show(CapProgress, true);
    for (int id : {CapType, CapTime, CapPath, CapFolder})
        form().enable(id, false);
    const std::string path = view.m_strStreamFolder + TimeName() + "." + lower(form().selectedText(CapFormat));
    try {
        view.m_pCamera->StartAviCapture(path, ms);
    } catch (const std::exception &) {
        ShowWarning(CapButton, 577);
        EnableStreamControls(true);
        form().show(CapProgress, false);
        return;
    }
    form().setText(CapButton, "Stop");
    setTimer(EndTimer, ms);
    setTimer(ProgressTimer, ms / 10);
    view.m_bCapturing = 1;
    view.m_nStreamLostShown = 0;
    m_pCaptureView = &view;
}

void CCaptureDlg::StopStream(CMolvaneView &view)
{
    killTimer(EndTimer);
    killTimer(ProgressTimer);
    view.m_bCapturing = 0;
    Attempt([&] { view.m_pCamera->StopAviCapture(); });
    form().setText(CapButton, "Capture");
    form().show(CapCodec, true);
    form().show(CapProgress, false);
    form().setPos(CapProgress, 0);
    EnableStreamControls(true);
    ShowStatus();
}

void CCaptureDlg::EndStream()
{
    killTimer(EndTimer);
    form().setPos(CapProgress, std::min(form().pos(CapProgress) + 1, 10));
    if (CMolvaneView *view = CaptureView())
        StopStream(*view);
}

void CCaptureDlg::ToggleAuto(CMolvaneView &view, int ms)
{
    if (ms > 0)
        killTimer(AutoTimer);
    const bool start = !view.m_bCapturing;
    view.m_bCapturing = start ? 1 : 0;
    if (ms <= 0) {
        if (!start)
            Attempt([&] { view.m_pCamera->StopAviCapture(); });
        view.m_bAutoEveryFrame = start ? 1 : 0;
    } else if (start) {
        setTimer(AutoTimer, ms);
    }
    form().setText(CapButton, start ? "Stop" : "Capture");
    EnableAutoControls(!start);
    m_pCaptureView = start ? &view : nullptr;
    if (!start)
        ShowStatus();
}

CMolvaneView *CCaptureDlg::CaptureView()
{
    return alive(m_pCaptureView) ? m_pCaptureView : (m_pView = ActiveView());
}

void CCaptureDlg::onTimer(int id)
{
    switch (id) {
    case EndTimer: EndStream(); break;
    case ProgressTimer:
        form().setPos(CapProgress, form().pos(CapProgress) >= 10 ? 0 : form().pos(CapProgress) + 1);
        break;
    case AutoTimer:
        if (CMolvaneView *view = CaptureView())
            view->m_bAutoTick = 1;
        break;
    case StatusTimer: ShowStatus(); break;
    default: break;
    }
}

// Shows what the writers did for the active camera and answers a failure once: a stream or a
// series stops, and the operator and the event log hear why.
void CCaptureDlg::ShowStatus()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || !hasWindow())
        return;
    const bool stream = form().selection(CapType) == Stream;
    const cam::WriterStatus s =
        stream ? view->m_pCamera->recordingStatus() : view->m_pCamera->imageSaveStatus();
    char text[160];
    std::snprintf(text, sizeof text, "%s: %llu frames written, %llu not written", stream ? "Stream" : "Images",
                  static_cast<unsigned long long>(s.written), static_cast<unsigned long long>(s.lost));
    form().setText(CapStatus, s.written || s.lost ? text : "");
    uint64_t &shown = stream ? view->m_nStreamLostShown : view->m_nImageLostShown;
    if (s.lost <= shown)
        return;
    const uint64_t fresh = s.lost - shown;
    shown = s.lost;
    logEvent("[" + view->m_strDeviceID + "] Capture: " + std::to_string(fresh) + " frames not written" +
             (s.error.empty() ? "." : " (" + s.error + ")."));
    const bool failed = !s.error.empty() && (stream ? !s.active : true);
    if (failed)
        StopAfterFailure(*view, s.error);
}

void CCaptureDlg::StopAfterFailure(CMolvaneView &view, const std::string &error)
{
    if (view.m_bCapturing && form().selection(CapType) == Stream)
        StopStream(view);
    else if (view.m_bCapturing && form().selection(CapType) == Auto) {
        killTimer(AutoTimer);
        ToggleAuto(view, view.m_bAutoEveryFrame ? 0 : 1);
    }
    view.m_bStillRequest = view.m_bAutoTick = 0;
    fw::platform().messageBox("Capture stopped: " + error, "", fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
}

void CCaptureDlg::onClose()
{
    if (CMolvaneView *view = ActiveView())
        view->m_nCaptureType = -1;
    CFormPage::onClose();
}

bool CCaptureDlg::preTranslateKey(const fw::KeyEvent &key)
{
    if (key.key == fw::Key::Enter) {
        OnCapture();
        return true;
    }
    return key.key == fw::Key::Escape;
}
