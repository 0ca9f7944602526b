// The camera info form.
#include "app/CCameraInfoDlg.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

const int kIdentityFields[7] = {res::InfoModel, res::InfoVendor, res::InfoSerial, res::InfoUser,
                                0, res::InfoIp, res::InfoMac};
const int kClearedFields[] = {res::InfoVendor, res::InfoModel, res::InfoSerial, res::InfoUser,
                              res::InfoMac, res::InfoIp, res::InfoFirmware, res::InfoFormat,
                              res::InfoWidth, res::InfoHeight, res::InfoFps, res::InfoFrames,
                              res::InfoCastMode, res::InfoTrigger, res::InfoBayer, res::InfoZoom,
                              res::InfoStreamLoss};

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

} // namespace

CCameraInfoDlg::CCameraInfoDlg()
{
    for (int id : kClearedFields)
        form().setText(id, " -");
    form().setText(res::InfoFirmware, " - ");
    for (int id : {res::InfoX, res::InfoY, res::InfoR, res::InfoG, res::InfoB})
        form().setText(id, " -");
}

CMolvaneView *CCameraInfoDlg::View()
{
    CMainFrame *frame = mainFrame();
    m_pView = frame ? frame->activeCameraView() : nullptr;
    return m_pView;
}

void CCameraInfoDlg::Clear()
{
    for (int id : kClearedFields)
        form().setText(id, "-");
}

void CCameraInfoDlg::ShowIdentity(const cam::StringList &identity)
{
    Clear();
    if (!identity)
        return;
    for (size_t i = 0; i < identity->size() && i < 7; ++i) {
        if (i == 4)
            continue;
        form().setText(kIdentityFields[i], i == 6 ? upper((*identity)[i]) : (*identity)[i]);
    }
}

void CCameraInfoDlg::ShowCameraState()
{
    CMolvaneView *view = View();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane *c = view->m_pCamera;
    form().setText(res::InfoFirmware, c->GetStringValue("DeviceFirmwareVersion"));
    cam::StringList formats = c->GetImageFormatList();
    if (formats) {
        const int index = c->GetImageFormat();
        if (index >= 0 && index < static_cast<int>(formats->size()))
            form().setText(res::InfoFormat, (*formats)[index]);
    }
    if (c->GetCameraType() == 0)
        form().setText(res::InfoCastMode, view->m_bMulticast ? "Multicast" : "Unicast");
    else
        form().setText(res::InfoCastMode, "None");
    form().setText(res::InfoWidth, std::to_string(c->GetImageWidth()));
    form().setText(res::InfoHeight, std::to_string(c->GetImageHeight()));
    form().setText(res::InfoTrigger, c->GetTriggerOnOff() ? "ON" : "OFF");
    form().setText(res::InfoBayer, c->GetBayerConversion() ? "ON" : "OFF");
}

void CCameraInfoDlg::ShowStatus()
{
    CMolvaneView *view = View();
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane *c = view->m_pCamera;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3.2f", static_cast<double>(c->GetReceivedFrameRate()));
    form().setText(res::InfoFps, buf);
    const std::string mode = c->GetAcquisitionMode();
    const unsigned frames = (mode == "SingleFrame" || mode == "MultiFrame")
                                ? view->m_nFrameCount
                                : static_cast<unsigned>(c->GetReceivedFrameCount());
    form().setText(res::InfoFrames, std::to_string(frames));
    if (view->m_fZoom == 0.0f)
        form().setText(res::InfoZoom, "Fit to window");
    else
        form().setText(res::InfoZoom, std::to_string(static_cast<unsigned>(std::trunc(view->m_fZoom))));
    ShowStreamStatistics(c->device() ? c->device()->streamStatistics() : cam::StreamStatistics{});
}

void CCameraInfoDlg::ShowStreamStatistics(const cam::StreamStatistics &s)
{
    form().setText(res::InfoStreamLoss, s.lossText());
}

void CCameraInfoDlg::ShowPixel(int x, int y)
{
    CMolvaneView *view = m_pView;
    if (!view || !view->m_pCamera)
        return;
    cam::CMolvane *c = view->m_pCamera;
    if (x < 0 || y < 0 || x >= c->GetImageWidth() || y >= c->GetImageHeight())
        return;
    form().setText(res::InfoX, std::to_string(x));
    form().setText(res::InfoY, std::to_string(y));
    try {
        const int colour = c->GetPixelColor(x, y);
        // A 16-bit frame shows the camera's own values rather than the 8-bit ones on screen.
        const auto value = c->GetPixelValue(x, y);
        const std::array<int, 3> rgb =
            value ? *value : std::array<int, 3>{colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff};
        form().setText(res::InfoR, std::to_string(rgb[0]));
        form().setText(res::InfoG, std::to_string(rgb[1]));
        form().setText(res::InfoB, std::to_string(rgb[2]));
    } catch (const std::exception &) {
    }
}

bool CCameraInfoDlg::preTranslateKey(const fw::KeyEvent &key)
{
    return key.key == fw::Key::Enter || key.key == fw::Key::Escape;
}
