// Dialog templates (geometry in dialog units).
#include "framework/Resources.h"
#include "res/ResourceIds.h"

#include <map>

namespace fw {

namespace {

using K = ControlKind;

ControlTemplate c(K kind, int id, const std::string &text, int x, int y, int w, int h, int flags = 0)
{
    return ControlTemplate{kind, id, text, x, y, w, h, flags, {}, 0, 0};
}

// One "label : value" row of the camera info form.
void infoRow(std::vector<ControlTemplate> &out, const std::string &label, int id, int y,
             const std::string &initial = " -")
{
    out.push_back(c(K::Static, 0, label, 10, y, 106, 10));
    out.push_back(c(K::Static, id, initial, 118, y, 90, 10));
}

DialogTemplate cameraInfo()
{
    DialogTemplate t{res::DialogCameraInfo, "", 214, 354, {}};
    auto &v = t.controls;
    v.push_back(c(K::GroupBox, 0, "Camera Info", 4, 2, 206, 110));
    infoRow(v, "Vendor Name :", res::InfoVendor, 16);
    infoRow(v, "Model Name :", res::InfoModel, 29);
    infoRow(v, "Serial Number :", res::InfoSerial, 42);
    infoRow(v, "User Name :", res::InfoUser, 55);
    infoRow(v, "Mac Address :", res::InfoMac, 68);
    infoRow(v, "IP Address :", res::InfoIp, 81);
    infoRow(v, "Firmware Ver : ", res::InfoFirmware, 94, " - ");
    v.push_back(c(K::GroupBox, 0, "Image Format / Size", 4, 116, 206, 58));
    infoRow(v, "Image Format : ", res::InfoFormat, 130);
    infoRow(v, "Width :", res::InfoWidth, 143);
    infoRow(v, "Height :", res::InfoHeight, 156);
    v.push_back(c(K::GroupBox, 0, "Display", 4, 178, 206, 44));
    infoRow(v, "Received Fps :", res::InfoFps, 192);
    infoRow(v, "Total Frames :", res::InfoFrames, 205);
    v.push_back(c(K::GroupBox, 0, "Status", 4, 226, 206, 70));
    infoRow(v, "Multicaset/ Unicast :", res::InfoCastMode, 240);
    infoRow(v, "Trigger On/Off :", res::InfoTrigger, 253);
    infoRow(v, "Bayer Conversion On/Off :", res::InfoBayer, 266);
    infoRow(v, "Zoom :", res::InfoZoom, 279);
    v.push_back(c(K::GroupBox, 0, "Pixel Info", 4, 300, 206, 50));
    v.push_back(c(K::CheckBox, res::InfoPixelCheck, "Mouse Pointer Movement", 12, 312, 120, 10));
    v.push_back(c(K::Static, 0, "X :", 12, 326, 12, 10));
    v.push_back(c(K::Static, res::InfoX, " -", 26, 326, 40, 10));
    v.push_back(c(K::Static, 0, "Y :", 70, 326, 12, 10));
    v.push_back(c(K::Static, res::InfoY, " -", 84, 326, 40, 10));
    v.push_back(c(K::Static, 0, "R :", 12, 338, 12, 10));
    v.push_back(c(K::Static, res::InfoR, " -", 26, 338, 30, 10));
    v.push_back(c(K::Static, 0, "G :", 70, 338, 12, 10));
    v.push_back(c(K::Static, res::InfoG, " -", 84, 338, 30, 10));
    v.push_back(c(K::Static, 0, "B :", 128, 338, 12, 10));
    v.push_back(c(K::Static, res::InfoB, " -", 142, 338, 30, 10));
    return t;
}

DialogTemplate about()
{
    DialogTemplate t{res::DialogAbout, "About Molvane", 236, 118, {}};
    auto &v = t.controls;
    v.push_back(c(K::Static, 0, "@icon", 10, 12, 24, 24));
    v.push_back(c(K::GroupBox, 0, "Molvane", 42, 6, 186, 84));
    v.push_back(c(K::Static, res::AboutProgram, "", 50, 20, 172, 10));
    v.push_back(c(K::Static, res::AboutApi, "", 50, 33, 172, 10));
    v.push_back(c(K::Static, res::AboutGigE, "", 50, 46, 172, 10));
    v.push_back(c(K::Static, res::About1394, "", 50, 59, 172, 10));
    v.push_back(c(K::Static, res::AboutTl, "", 50, 72, 172, 10));
    v.push_back(c(K::Button, res::IdOk, "OK", 178, 97, 50, 14));
    return t;
}

DialogTemplate cameraListPane()
{
    DialogTemplate t{res::DialogCameraListPane, "", 200, 246, {}};
    t.controls.push_back(c(K::ListBox, res::ListCameras, "", 1, 1, 198, 244, FillParent));
    return t;
}

DialogTemplate toolWindow(int id, const std::string &caption, int w, int h)
{
    return DialogTemplate{id, caption, w, h, {}};
}

DialogTemplate eventLog()
{
    using namespace res;
    DialogTemplate t{DialogEventLog, "Event Log Viewer", 319, 156, {}};
    t.controls.push_back(c(K::ListBox, LogList, "", 6, 6, 220, 144, Sorted));
    t.controls.push_back(c(K::GroupBox, 0, "Option", 232, 4, 82, 40));
    t.controls.push_back(c(K::CheckBox, LogFrameDrop, "Frame Drop", 238, 18, 70, 10));
    t.controls.push_back(c(K::Button, LogClear, "Clear", 248, 128, 56, 16));
    return t;
}

DialogTemplate registerAccess()
{
    using namespace res;
    DialogTemplate t{DialogRegister, "Register Access", 180, 86, {}};
    t.controls.push_back(c(K::Static, RegRange, "Available input range : 0 ~ 9, A ~ F", 8, 6, 164, 10));
    t.controls.push_back(c(K::Static, 0, "Address  0x", 8, 24, 48, 10));
    t.controls.push_back(c(K::Edit, RegAddress, "", 58, 22, 70, 12));
    t.controls.back().maxLength = 8;
    t.controls.push_back(c(K::Static, 0, "Data        0x", 8, 42, 48, 10));
    t.controls.push_back(c(K::Edit, RegData, "", 58, 40, 70, 12));
    t.controls.back().maxLength = 8;
    t.controls.push_back(c(K::Button, RegRead, "Read", 8, 62, 60, 16, Disabled));
    t.controls.push_back(c(K::Button, RegWrite, "Write", 76, 62, 60, 16, Disabled));
    return t;
}

ControlTemplate list(int id, int x, int y, int w, std::vector<std::string> items = {}, int flags = 0)
{
    ControlTemplate t = c(K::DropList, id, "", x, y, w, 12, flags);
    t.items = std::move(items);
    return t;
}

DialogTemplate formatPage()
{
    using namespace res;
    DialogTemplate t{147, "", 420, 124, {}};
    auto &v = t.controls;
    v.push_back(c(K::GroupBox, 0, "Pixel Format/ FrameRate", 4, 2, 206, 86));
    v.push_back(c(K::Static, 0, "Pixel Format", 10, 16, 78, 10));
    v.push_back(list(FmtPixelFormat, 90, 14, 114));
    v.push_back(c(K::Static, 0, "Frame Rate(1394)", 10, 32, 78, 10));
    v.push_back(list(FmtRate1394, 90, 30, 114));
    v.push_back(c(K::Static, 0, "Frame Rate (GigE)", 10, 48, 78, 10));
    v.push_back(c(K::Slider, FmtRateSlider, "", 90, 47, 114, 10));
    v.push_back(c(K::Static, FmtRateLow, "", 90, 58, 50, 9));
    v.push_back(c(K::Static, FmtRateHigh, "", 154, 58, 50, 9, AlignRight));
    v.push_back(c(K::Edit, FmtRateBox, "", 90, 70, 50, 12));
    v.push_back(c(K::Static, 0, "fps", 144, 72, 20, 10));
    v.push_back(c(K::GroupBox, 0, "User Set", 4, 90, 206, 30));
    v.push_back(list(FmtUserSet, 10, 102, 90));
    v.push_back(c(K::Button, FmtLoad, "Load", 104, 101, 48, 14));
    v.push_back(c(K::Button, FmtSave, "Save", 156, 101, 48, 14));
    v.push_back(c(K::GroupBox, 0, "Image Effect", 216, 2, 100, 62));
    v.push_back(c(K::CheckBox, FmtMirror, "Mirror", 222, 13, 80, 10));
    v.push_back(c(K::CheckBox, FmtFlip, "Flip", 222, 25, 80, 10));
    v.push_back(c(K::CheckBox, FmtNegative, "Negative", 222, 37, 80, 10));
    v.push_back(c(K::CheckBox, FmtNone, "None", 222, 49, 80, 10));
    v.push_back(c(K::GroupBox, 0, "Rotate ", 216, 66, 100, 26));
    v.push_back(list(FmtRotate, 222, 76, 60));
    v.push_back(c(K::GroupBox, 0, "Bit Per Pixel", 216, 94, 100, 26));
    v.push_back(c(K::Radio, FmtBits10, "10 Bits", 222, 105, 44, 10));
    v.push_back(c(K::Radio, FmtBits12, "12 Bits", 268, 105, 44, 10));
    v.push_back(c(K::GroupBox, 0, "Zoom", 322, 2, 94, 30));
    v.push_back(c(K::Edit, FmtZoomBox, "", 328, 14, 34, 12));
    ControlTemplate spin = c(K::Spin, FmtZoomSpin, "", 362, 14, 10, 12);
    spin.buddy = FmtZoomBox;
    v.push_back(spin);
    v.push_back(c(K::Button, FmtZoomAnchor, "", 340, 24, 1, 1, Hidden));
    v.push_back(c(K::Button, FmtZoomSet, "Set", 376, 13, 34, 14));
    v.push_back(c(K::GroupBox, 0, "Bayer Conversion", 322, 34, 94, 60));
    v.push_back(c(K::CheckBox, FmtBayer, "Enable/Disable", 328, 45, 80, 10));
    v.push_back(c(K::Static, 0, "Layout", 328, 60, 26, 10));
    v.push_back(list(FmtLayout, 356, 58, 56, {"GB/RG", "BG/GR", "RG/GB", "GR/BG"}));
    v.push_back(c(K::Static, 0, "Algo.", 328, 76, 26, 10));
    v.push_back(list(FmtAlgorithm, 356, 74, 56, {"Bilinear", "Bilinear HQ", "Nearest"}, Sorted));
    return t;
}

DialogTemplate featurePage()
{
    using namespace res;
    DialogTemplate t{315, "", 420, 160, {}};
    auto &v = t.controls;
    v.push_back(c(K::ListView, FeaList, "", 4, 4, 196, 152));
    v.push_back(c(K::Static, FeaTitle, "", 208, 4, 206, 16));
    v.push_back(c(K::Slider, FeaSlider, "", 208, 28, 206, 10));
    v.push_back(c(K::Static, FeaLow, "", 208, 40, 60, 9));
    v.push_back(c(K::Static, FeaHigh, "", 354, 40, 60, 9, AlignRight));
    v.push_back(c(K::Edit, FeaValue, "", 208, 54, 60, 12));
    v.push_back(c(K::CheckBox, FeaAuto, "Auto", 276, 55, 40, 10));
    v.push_back(list(FeaChoice, 208, 72, 120));
    v.push_back(c(K::Edit, FeaExposure, "", 208, 90, 80, 12, Hidden));
    v.push_back(c(K::Button, FeaUnitAnchor, "", 230, 102, 1, 1, Hidden));
    v.push_back(c(K::Button, FeaDefault, "Default", 208, 136, 60, 16));
    return t;
}

DialogTemplate treePage()
{
    using namespace res;
    DialogTemplate t{150, "", 420, 160, {}};
    auto &v = t.controls;
    v.push_back(c(K::TreeView, TreNodes, "", 4, 4, 196, 152));
    v.push_back(c(K::Static, 0, "Visiability", 208, 6, 40, 10));
    v.push_back(list(TreVisibility, 250, 4, 80, {}, Sorted));
    v.push_back(c(K::Static, TreDescription, "", 208, 22, 206, 30, Multiline));
    v.push_back(c(K::Edit, TreValue, "", 208, 56, 120, 12));
    v.push_back(list(TreValueList, 208, 56, 120));
    v.push_back(c(K::Button, TreSet, "Set", 332, 55, 40, 14));
    v.push_back(c(K::Static, TreMin, "Min", 208, 72, 60, 10));
    v.push_back(c(K::Static, TreMax, "Max", 268, 72, 60, 10, AlignRight));
    v.push_back(c(K::Button, TreSaveFeatures, "Save…", 208, 140, 50, 14));
    v.push_back(c(K::Button, TreLoadFeatures, "Load…", 262, 140, 50, 14));
    return t;
}

DialogTemplate featurePageTitleBold(DialogTemplate t)
{
    for (auto &c : t.controls)
        if (c.id == res::FeaTitle)
            c.flags |= Bold;
    return t;
}

// A setting page whose controls come with its own work: its caption for now.
DialogTemplate page(int id, const std::string &caption, int w, int h)
{
    DialogTemplate t{id, "", w, h, {}};
    t.controls.push_back(c(K::Static, 0, caption, 8, 6, 200, 12));
    return t;
}

DialogTemplate pageMenu()
{
    DialogTemplate t{res::DialogPageMenu, "", 136, 150, {}};
    const std::pair<int, const char *> buttons[] = {
        {res::BtnFormat, "Format"},
        {res::BtnFeature, "Feature Control"},
        {res::BtnTrigger, "Trigger/Strobe , One/Multi Shot"},
        {res::BtnRoi, "ROI / Byte per packet"},
        {res::BtnTree, "XML Tree Viewer"},
        {res::BtnCapture, "Capture"},
        {res::BtnLut, "LUT"}};
    int y = 4;
    for (const auto &[id, text] : buttons) {
        t.controls.push_back(c(K::Button, id, text, 4, y, 128, 20));
        y += 20;
    }
    return t;
}

const std::map<int, DialogTemplate> &dialogs()
{
    static const std::map<int, DialogTemplate> table = [] {
        std::map<int, DialogTemplate> m;
        for (DialogTemplate t : {cameraInfo(), about(), cameraListPane(),
                                 toolWindow(res::DialogHistogram, "Histogram Viewer", 301, 188),
                                 toolWindow(res::DialogHorizontal, "Horizontal Profile Viewer", 515, 112),
                                 toolWindow(res::DialogVertical, "Vertical Profile Viewer", 99, 363),
                                 eventLog(), registerAccess(),
                                 pageMenu(),
                                 formatPage(),
                                 featurePageTitleBold(featurePage()),
                                 treePage(),
                                 page(319, "Trigger/Strobe , One/Multi Shot", 400, 140),
                                 page(320, "ROI / Byte per packet", 400, 140),
                                 page(317, "Capture", 400, 140),
                                 page(145, "LUT", 400, 140)})
            m[t.id] = t;
        return m;
    }();
    return table;
}

} // namespace

const DialogTemplate *findDialog(int id)
{
    auto it = dialogs().find(id);
    return it == dialogs().end() ? nullptr : &it->second;
}

} // namespace fw
