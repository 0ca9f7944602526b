// Dialog templates (geometry in dialog units).
#include "framework/Resources.h"
#include "res/ResourceIds.h"

#include <map>

namespace fw {

namespace {

using K = ControlKind;

ControlTemplate c(K kind, int id, const std::string &text, int x, int y, int w, int h, int flags = 0)
{
    return ControlTemplate{kind, id, text, x, y, w, h, flags, {}};
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
                                 toolWindow(res::DialogEventLog, "Event Log Viewer", 319, 156),
                                 toolWindow(res::DialogRegister, "Register Access", 180, 90),
                                 pageMenu(),
                                 page(147, "Format", 400, 140),
                                 page(315, "Feature Control", 400, 140),
                                 page(319, "Trigger/Strobe , One/Multi Shot", 400, 140),
                                 page(320, "ROI / Byte per packet", 400, 140),
                                 page(150, "XML Tree Viewer", 400, 140),
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
