// The node tree page.
#include "pages/CXMLTreeDlg.h"

#include "app/AppAccess.h"
#include "app/CCameraInfoBasePane.h"
#include "app/CControlBasePane.h"
#include "app/CMainFrame.h"
#include "camera/FeatureFile.h"
#include "framework/TypedNumber.h"
#include "framework/Platform.h"
#include "pages/CGeneralSettingDlg.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <cstdio>
#include <cstdlib>
#include <set>

using namespace res;

namespace {

constexpr int kWhiteBalanceTimer = 1;
constexpr int kStatusTimer = 1;  // the camera view's status refresh

const std::set<std::string> kAddressNodes = {
    "GevCurrentIPAddress",     "GevCurrentSubnetMask",    "GevSCDA",
    "GevCurrentDefaultGateway", "GevPersistentIPAddress", "GevPersistentSubnetMask",
    "GevPersistentDefaultGateway"};
const std::set<std::string> kOnOffNodes = {"SnowNoiseRemoveOnOff", "DACControlModeOnOff", "AutoIrisModeOnOff",
                                           "WDGControlOnOff",      "GevSCPSDoNotFragment", "LUTEnable",
                                           "LUTKneePointOnOff",    "UserOutputValue"};
const std::set<std::string> kCheckedIntegers = {"Width",         "Height",          "OffsetX",
                                                "OffsetY",       "GevSCPD",         "BinningHorizontal",
                                                "BinningVertical", "BytePerPacket"};

int typeNumber(const std::string &interfaceName)
{
    static const char *names[] = {"IInteger", "IFloat", "IBoolean", "IString", "IEnumeration", "ICommand"};
    for (int i = 0; i < 6; ++i)
        if (interfaceName == names[i])
            return i + 1;
    return 0;
}

std::string printf2f(double v)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%5.2f", v);
    return buf;
}


} // namespace

CXMLTreeDlg::CXMLTreeDlg() : CFormPage(kTemplate)
{
    using N = fw::Notify;
    on(N::TreeSelChange, TreNodes, [this] {
        ReadSelectedNode();
        EnableByAccess();
        ShowNodeValue();
    });
    on(N::SelChange, TreVisibility, [this] { OnVisibility(); });
    on(N::SelChange, TreValueList, [this] { OnValueList(); });
    on(N::Clicked, TreSet, [this] { SetNodeValue(); });
    on(N::Clicked, TreSaveFeatures, [this] { SaveFeatures(); });
    on(N::Clicked, TreLoadFeatures, [this] { LoadFeatures(); });
}

void CXMLTreeDlg::onInitialUpdate()
{
    CMolvaneView *view = ActiveView();
    m_bStarted = 0;
    form().show(TreValue, false);
    form().clearItems(TreValueList);
    form().show(TreValueList, true);
    form().enable(TreValueList, false);
    form().enable(TreSet, false);
    ShowBounds(false);
    form().setItems(TreVisibility, {"BEGINNER", "EXPERT", "GURU"});
    if (!view || !view->m_pCamera)
        return;
    form().setSelection(TreVisibility, view->m_nVisibility);
    view->m_pCamera->SetVisibility(view->m_nVisibility);
    RebuildTree();
    showWindow(true);
}

void CXMLTreeDlg::RebuildTree()
{
    form().clearTree(TreNodes);
    const int root = form().insertTreeItem(TreNodes, -1, "Root", 0);
    BuildNodeTree(root, "Root");
    form().expandTreeItem(TreNodes, root);
}

void CXMLTreeDlg::BuildNodeTree(int item, const std::string &n)
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    for (const auto &child : c.GetChildNodes(n).value_or(std::vector<std::string>{})) {
        if (c.GetAccessMode(child) <= 0)
            continue;  // not implemented: left out with everything below it
        const bool category = c.GetNodeInterface(child) == "ICategory";
        const int added = form().insertTreeItem(TreNodes, item, child, category ? 1 : 3);
        BuildNodeTree(added, child);
    }
}

void CXMLTreeDlg::OnVisibility()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    view->m_nVisibility = form().selection(TreVisibility);
    view->m_pCamera->SetVisibility(view->m_nVisibility);
    RebuildTree();
}

void CXMLTreeDlg::ReadSelectedNode()
{
    const int item = form().selection(TreNodes);
    const auto &items = form().treeItems(TreNodes);
    if (item < 0 || item >= static_cast<int>(items.size())) {
        m_strNode.clear();
        return;
    }
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    m_strNode = items[item].text;
    Attempt([&] {
        m_strDescription = c.GetNodeDescription(m_strNode);
        form().setText(TreDescription, m_strDescription);
        m_strType = c.GetNodeInterface(m_strNode);
        m_nType = typeNumber(m_strType);
        m_nAccess = c.GetAccessMode(m_strNode);
    });
}

void CXMLTreeDlg::EnableByAccess()
{
    switch (m_nAccess) {
    case 0:
    case 1:
    case 3:
        form().enable(TreSet, false);
        form().enable(TreValueList, false);
        form().enable(TreValue, false);
        break;
    case 2:
        form().enable(TreSet, true);
        form().enable(TreValueList, false);
        break;
    case 4:
        form().enable(TreSet, true);
        form().enable(TreValueList, true);
        form().enable(TreValue, true);
        break;
    default:
        break;
    }
}

void CXMLTreeDlg::ShowBounds(bool shown)
{
    form().show(TreMin, shown);
    form().show(TreMax, shown);
}

void CXMLTreeDlg::ShowNodeValue()
{
    CMolvaneView *view = ActiveView();
    if (m_strNode.empty() || !view || !view->m_pCamera)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    form().show(TreSet, true);
    if (m_nType < 1 || m_nType > 6)
        return;
    Attempt([&] {
        switch (m_nType) {
        case 1:
            ShowInteger(c);
            break;
        case 2:
            form().show(TreValue, true);
            form().show(TreValueList, false);
            form().setText(TreValue, printf2f(c.GetFloatValue(m_strNode)));
            form().setText(TreMin, printf2f(c.GetFloatMin(m_strNode)));
            form().setText(TreMax, printf2f(c.GetFloatMax(m_strNode)));
            ShowBounds(true);
            break;
        case 3: {
            const int v = c.GetBoolValue(m_strNode);
            ShowBounds(false);
            if (kOnOffNodes.count(m_strNode)) {
                form().show(TreSet, false);
                form().show(TreValue, false);
                form().setItems(TreValueList, {"Off", "On"});
                form().setSelection(TreValueList, v ? 1 : 0);
                form().show(TreValueList, true);
            } else {
                form().show(TreValue, true);
                form().show(TreValueList, false);
                form().setText(TreValue, std::to_string(v));
            }
            break;
        }
        case 4:
            form().show(TreValue, true);
            form().show(TreValueList, false);
            ShowBounds(false);
            form().setText(TreValue, c.GetStringValue(m_strNode));
            break;
        case 5: {
            m_varEntries = c.GetEnumEntries(m_strNode);
            form().setItems(TreValueList, m_varEntries.value_or(std::vector<std::string>{}));
            ShowBounds(false);
            form().show(TreValueList, true);
            form().show(TreValue, false);
            form().enable(TreSet, false);
            const std::string current = c.GetEnumValue(m_strNode);
            // Entries are tried from the first; when none matches the last stays selected.
            for (int i = 0; i < form().itemCount(TreValueList); ++i) {
                form().setSelection(TreValueList, i);
                if (form().selectedText(TreValueList) == current)
                    break;
            }
            m_varEntries.reset();
            break;
        }
        case 6:
            form().show(TreValue, true);
            form().setText(TreValue, "");
            form().enable(TreValue, false);
            form().show(TreValueList, false);
            ShowBounds(false);
            break;
        }
    });
}

void CXMLTreeDlg::ShowInteger(cam::CMolvane &c)
{
    form().show(TreValue, true);
    form().show(TreValueList, false);
    const int v = c.GetIntValue(m_strNode);
    char text[64];
    if (kAddressNodes.count(m_strNode)) {
        const auto u = static_cast<uint32_t>(v);
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", u >> 24, (u >> 16) & 0xff, (u >> 8) & 0xff, u & 0xff);
        ShowBounds(false);
    } else if (m_strNode == "GevMACAddress") {
        const auto h = static_cast<uint32_t>(c.ReadRegister(8));
        const auto l = static_cast<uint32_t>(c.ReadRegister(12));
        std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", (h >> 8) & 0xff, h & 0xff, l >> 24,
                      (l >> 16) & 0xff, (l >> 8) & 0xff, l & 0xff);
        ShowBounds(false);
    } else {
        const int lo = c.GetIntMin(m_strNode), hi = c.GetIntMax(m_strNode);
        form().show(TreMin, lo >= 0);
        form().setText(TreMin, std::to_string(lo));
        form().show(TreMax, hi >= 0);
        form().setText(TreMax, std::to_string(hi));
        std::snprintf(text, sizeof text, "%d", v);
    }
    form().setText(TreValue, text);
}

void CXMLTreeDlg::OnValueList()
{
    CMolvaneView *view = ActiveView();
    CMainFrame *frame = mainFrame();
    if (!view || !view->m_pCamera || !frame)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    std::string t = form().selectedText(TreValueList);
    const int k = form().selection(TreValueList);
    fw::Form *info = frame->m_pCameraInfoPane ? &frame->m_pCameraInfoPane->m_dlg.form() : nullptr;
    CControlBasePane *pane = frame->m_pControlPane;
    CGeneralSettingDlg *format = pane ? pane->m_pFormatDlg : nullptr;
    if (m_strNode == "PixelFormat") {
        if (view->m_bPlaying) {
            view->m_nSavedCount = 0;
            c.SetAcquisition(0);
        }
        if (format)
            format->form().setSelection(FmtPixelFormat, k);
        c.SetImageFormat(k);
        if (info) {
            info->setText(InfoFormat, t);
            info->setText(InfoWidth, std::to_string(c.GetImageWidth()));
            info->setText(InfoHeight, std::to_string(c.GetImageHeight()));
        }
        if (c.GetCameraType() == 1 && format) {
            if (format->form().selectedText(FmtPixelFormat).find("Format7") != std::string::npos) {
                format->form().clearItems(FmtRate1394);
                format->form().enable(FmtRate1394, false);
            } else {
                format->form().enable(FmtRate1394, true);
                format->FillFrameRates1394();
            }
        }
        if (view->m_bPlaying)
            c.SetAcquisition(1);
        frame->RefreshAnalysisWindows();
    } else if (m_strNode == "VideoFrameRateSelector" || m_strNode == "AcquisitionMode") {
        if (view->m_bPlaying)
            c.SetAcquisition(0);
        if (m_strNode == "AcquisitionMode")
            view->killTimer(kStatusTimer);
        c.SetEnumValue(m_strNode, t);
        if (t == "MultiFrame" || t == "Continuous")
            view->setTimer(kStatusTimer, 500);
        if (t == "SingleFrame" || t == "MultiFrame")
            view->m_nFrameCount = 0;
        if (t == "MultiFrame" && c.GetMultiShotCount() == 0)
            c.SetMultiShotCount(1);
        if (view->m_bPlaying)
            c.SetAcquisition(1);
    } else if (m_strNode == "BalanceWhiteAuto") {
        c.SetEnumValue(m_strNode, t);
        form().enable(TreValueList, false);
        setTimer(kWhiteBalanceTimer, 2000);  // the camera balances; read back after two seconds
    } else if (m_strNode == "LUTEnable" || m_strNode == "LUTKneePointOnOff") {
        c.SetBoolValue(m_strNode, k);
        if (m_strNode == "LUTKneePointOnOff")
            c.ExecuteCommand("LUTKneePointSet");
    } else if (m_strNode == "WDGControlOnOff" || m_strNode == "SnowNoiseRemoveOnOff") {
        c.SetBoolValue(m_strNode, k);
    } else {
        c.SetEnumValue(m_strNode, t);
        if (m_strNode == "TriggerMode" && info)
            info->setText(InfoTrigger, t == "On" ? "ON" : "OFF");
    }
}

void CXMLTreeDlg::onTimer(int id)
{
    if (id != kWhiteBalanceTimer)
        return;
    killTimer(kWhiteBalanceTimer);
    CMolvaneView *view = ActiveView();
    if (view && view->m_pCamera) {
        const std::string w = view->m_pCamera->GetBalanceWhiteAuto();
        if (w != "Off" && w != "Once") {
            form().setSelection(TreValueList, 2);
        } else {
            form().setSelection(TreValueList, 0);
            view->m_pCamera->SetEnumValue("BalanceWhiteAuto", "Off");
        }
    }
    form().enable(TreValueList, true);
}

void CXMLTreeDlg::Warn()
{
    ShowWarning(TreSet, 527);
}

bool CXMLTreeDlg::Accepted(cam::CMolvane &c, int v)
{
    auto multiple = [](int value, int step) { return step <= 1 || value % step == 0; };
    const std::string &n = m_strNode;
    if (n == "Width" || n == "Height") {
        const bool w = n == "Width";
        const int offset = w ? c.GetOffsetX() : c.GetOffsetY();
        const int max = w ? c.GetMaxWidth() : c.GetMaxHeight();
        return v >= c.GetIntMin(n) && v <= c.GetIntMax(n) && offset + v <= max && multiple(v, c.GetIntInc(n));
    }
    if (n == "OffsetX" || n == "OffsetY") {
        const bool x = n == "OffsetX";
        const int size = x ? c.GetImageWidth() : c.GetImageHeight();
        const int max = x ? c.GetMaxWidth() : c.GetMaxHeight();
        return v >= c.GetIntMin(n) && v <= c.GetIntMax(n) && size + v <= max &&
               multiple(v, c.GetIntInc(x ? "Width" : "Height"));
    }
    if (n == "BytePerPacket")
        return v >= c.GetBytePerPacketMin() && v <= c.GetBytePerPacketMax();
    return true;  // GevSCPD and binning: always
}

void CXMLTreeDlg::SetInteger(cam::CMolvane &c)
{
    const int v = fw::wholeNumber(form().text(TreValue));
    if (!kCheckedIntegers.count(m_strNode)) {
        try {
            c.SetIntValue(m_strNode, v);
        } catch (const std::exception &) {
            form().setText(TreValue, std::to_string(c.GetIntValue(m_strNode)));
        }
        return;
    }
    if (!Accepted(c, v)) {
        Warn();
        return;
    }
    CMolvaneView *view = ActiveView();
    CMainFrame *frame = mainFrame();
    fw::Form *info = frame && frame->m_pCameraInfoPane ? &frame->m_pCameraInfoPane->m_dlg.form() : nullptr;
    if (view->m_bPlaying) {
        c.SetAcquisition(0);
        c.ShowWindow(false);
    }
    c.SetIntValue(m_strNode, v);
    if (m_strNode == "Width") {
        view->m_nRoiWidth = v;
        c.SetImageWidth(v);
        if (info)
            info->setText(InfoWidth, std::to_string(v));
    } else if (m_strNode == "Height") {
        view->m_nRoiHeight = v;
        c.SetImageHeight(v);
        if (info)
            info->setText(InfoHeight, std::to_string(v));
    } else if (m_strNode == "BinningHorizontal" || m_strNode == "BinningVertical") {
        ResyncGeometry(c);
    } else if (m_strNode == "BytePerPacket") {
        c.SetBytePerPacket(v);
    }
    if (view->m_bPlaying) {
        c.SetAcquisition(1);
        view->m_bPlaying = 1;
        c.ShowWindow(true);
    }
}

void CXMLTreeDlg::RunCommand(cam::CMolvane &c)
{
    CMolvaneView *view = ActiveView();
    const std::string &n = m_strNode;
    if (n == "AcquisitionStop") {
        if (view->m_bPlaying) {
            view->m_bPlaying = 0;
            c.SetAcquisition(0);
        }
    } else if (n == "AcquisitionStart") {
        if (m_bStarted == 1) {
            m_bStarted = 0;
            view->m_nSavedCount = 0;
            c.SetAcquisition(0);
        }
        const std::string mode = c.GetAcquisitionMode();
        if (mode == "SingleFrame") {
            c.SetAcquisition(1);
            m_bStarted = 1;
        } else if (mode == "MultiFrame") {
            c.SetMultiShotCount(c.GetMultiShotCount());
            c.SetAcquisition(1);
            m_bStarted = 1;
            view->m_bPlaying = 1;
        } else if (mode == "Continuous") {
            m_bStarted = 1;
            view->m_bPlaying = 1;
            c.SetAcquisition(1);
        } else {
            c.ExecuteCommand("AcquisitionStart");
        }
    } else if (n == "DeviceReset") {
        c.ExecuteCommand(n);
        view->m_bPlaying = 0;
    } else if (n == "UserSetLoad") {
        // The set number follows the first seven characters of the entry ("UserSet3" is 3).
        auto number = [](const std::string &s) { return s.size() > 7 ? fw::wholeNumber(s.substr(7)) : 0; };
        const std::string s = c.GetEnumValue("UserSetSelector");
        int set = number(s);
        if (s == "Default") {
            const std::string d = c.GetEnumValue("UserSetDefaultSelector");
            set = d == "Default" ? 0 : number(d);
        }
        const bool pause = view->m_bPlaying && set > 4;
        if (pause) {
            view->m_nSavedCount = 0;
            c.SetAcquisition(0);
        }
        c.ShowWindow(false);
        c.ExecuteCommand("UserSetLoad");
        c.LoadSaveUserSet(set, 0);
        c.ShowWindow(true);
        if (pause)
            c.SetAcquisition(1);
        CMainFrame *frame = mainFrame();
        if (frame && frame->m_pControlPane && frame->m_pControlPane->m_pFormatDlg)
            frame->m_pControlPane->m_pFormatDlg->FillPixelFormats();
    } else {
        c.ExecuteCommand(n);
    }
}

void CXMLTreeDlg::SetNodeValue()
{
    CMolvaneView *view = ActiveView();
    if (m_strNode.empty() || !view || !view->m_pCamera)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    switch (m_nType) {
    case 1:
        SetInteger(c);
        break;
    case 2:
        try {
            c.SetFloatValue(m_strNode, static_cast<float>(fw::decimalNumber(form().text(TreValue))));
        } catch (const std::exception &) {
            form().setText(TreValue, printf2f(c.GetFloatValue(m_strNode)));
        }
        break;
    case 3:
        c.SetBoolValue(m_strNode, fw::wholeNumber(form().text(TreValue)));
        break;
    case 4:
        c.SetStringValue(m_strNode, form().text(TreValue));
        break;
    case 6:
        RunCommand(c);
        break;
    default:
        break;  // enumerations write when their list changes
    }
}

bool CXMLTreeDlg::preTranslateKey(const fw::KeyEvent &key)
{
    if (key.key == fw::Key::Escape)
        return true;
    if (key.key == fw::Key::Enter && form().isVisible(TreSet)) {
        SetNodeValue();
        return true;
    }
    return false;
}

// The component takes up a geometry the camera was given behind its back; the Format page follows.
void CXMLTreeDlg::ResyncGeometry(cam::CMolvane &c)
{
    c.SetImageFormat(c.GetImageFormat());
    c.SetImageWidth(c.GetImageWidth());
    c.SetImageHeight(c.GetImageHeight());
    CMainFrame *frame = mainFrame();
    if (frame && frame->m_pControlPane && frame->m_pControlPane->m_pFormatDlg)
        frame->m_pControlPane->m_pFormatDlg->form().setSelection(FmtPixelFormat, c.GetImageFormat());
}

namespace {
const char *kFeatureFilter = "Camera features (*.txt)|*.txt|All files (*)|*||";
const char *kFeatureTitle = "Camera Features";
} // namespace

// The file the operator picks for the active camera's features; none without a camera.
std::optional<std::string> CXMLTreeDlg::PickFeatureFile(bool save)
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera)
        return std::nullopt;
    return save ? fw::platform().saveFileDialog(kFeatureFilter, {}) : fw::platform().openFileDialog(kFeatureFilter, {});
}

void CXMLTreeDlg::SaveFeatures()
{
    const auto path = PickFeatureFile(true);
    if (!path)
        return;
    CMolvaneView *view = ActiveView();
    try {
        cam::FeatureFile::save(view->m_pCamera->device()->features(), *path, view->m_nVisibility);
    } catch (const std::exception &e) {
        fw::platform().messageBox(e.what(), kFeatureTitle, fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
    }
}

// A playing camera stops while its geometry changes and starts again afterwards.
void CXMLTreeDlg::PauseForGeometry(cam::CMolvane &c, bool pause)
{
    CMolvaneView *view = ActiveView();
    if (!view)
        return;
    if (!pause) {
        ResyncGeometry(c);
        view->m_nRoiWidth = c.GetImageWidth();
        view->m_nRoiHeight = c.GetImageHeight();
        CMainFrame *frame = mainFrame();
        if (frame && frame->m_pCameraInfoPane)
            frame->m_pCameraInfoPane->m_dlg.ShowCameraState();  // format and size as loaded
    }
    if (!view->m_bPlaying)
        return;
    c.SetAcquisition(pause ? 0 : 1);
    c.ShowWindow(!pause);
}

void CXMLTreeDlg::LoadFeatures()
{
    const auto path = PickFeatureFile(false);
    if (!path)
        return;
    cam::CMolvane &c = *ActiveView()->m_pCamera;
    std::string message;
    try {
        const cam::FeatureLoadReport report = cam::FeatureFile::load(
            c.device()->features(), *path, [this, &c](bool pause) { PauseForGeometry(c, pause); });
        if (!report.problems.empty())
            message = "These lines were not applied:\n" + report.summary();
    } catch (const std::exception &e) {
        message = e.what();
    }
    ReadSelectedNode();
    EnableByAccess();
    ShowNodeValue();
    if (!message.empty())
        fw::platform().messageBox(message, kFeatureTitle, fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
}
