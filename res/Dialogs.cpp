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

// A pixel read-out of the info form: its short label, then its value "-" until read.
void pixelValue(std::vector<ControlTemplate> &out, const std::string &label, int id, int x, int y, int width)
{
    out.push_back(c(K::Static, 0, label, x, y, 12, 10));
    out.push_back(c(K::Static, id, " -", x + 14, y, width, 10));
}

DialogTemplate cameraInfo()
{
    DialogTemplate t{res::DialogCameraInfo, "", 214, 367, {}};
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
    v.push_back(c(K::GroupBox, 0, "Display", 4, 178, 206, 57));
    infoRow(v, "Received Fps :", res::InfoFps, 192);
    infoRow(v, "Total Frames :", res::InfoFrames, 205);
    infoRow(v, "Lost / Resent :", res::InfoStreamLoss, 218);  // frames lost of all / packets resent of asked
    v.push_back(c(K::GroupBox, 0, "Status", 4, 239, 206, 70));
    infoRow(v, "Multicaset/ Unicast :", res::InfoCastMode, 253);
    infoRow(v, "Trigger On/Off :", res::InfoTrigger, 266);
    infoRow(v, "Bayer Conversion On/Off :", res::InfoBayer, 279);
    infoRow(v, "Zoom :", res::InfoZoom, 292);
    v.push_back(c(K::GroupBox, 0, "Pixel Info", 4, 313, 206, 50));
    v.push_back(c(K::CheckBox, res::InfoPixelCheck, "Mouse Pointer Movement", 12, 325, 120, 10));
    pixelValue(v, "X :", res::InfoX, 12, 339, 40);
    pixelValue(v, "Y :", res::InfoY, 70, 339, 40);
    pixelValue(v, "R :", res::InfoR, 12, 351, 30);
    pixelValue(v, "G :", res::InfoG, 70, 351, 30);
    pixelValue(v, "B :", res::InfoB, 128, 351, 30);
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

// The plot views of the analysis windows are placed by their dialogs at run time.
DialogTemplate histogram()
{
    DialogTemplate t{res::DialogHistogram, "Histogram Viewer", 301, 188, {}};
    t.controls.push_back(c(K::Static, res::HistoMaxCount, "0000", 27, 12, 80, 10));
    t.controls.push_back(c(K::Static, 0, "Channel", 160, 12, 36, 10));
    t.controls.push_back(c(K::DropList, res::HistoChannel, "", 198, 9, 62, 12));
    t.controls.push_back(c(K::Static, res::HistoAxisLow, "0", 27, 138, 20, 10));
    t.controls.push_back(c(K::Static, res::HistoAxisHigh, "255", 240, 138, 20, 10, AlignRight));
    return t;
}

DialogTemplate horizontalProfile()
{
    DialogTemplate t{res::DialogHorizontal, "Horizontal Profile Viewer", 515, 112, {}};
    t.controls.push_back(c(K::Static, 0, "Horizontal Line #", 20, 8, 72, 10));
    t.controls.push_back(c(K::Edit, res::HorizontalLine, "", 94, 6, 40, 12));
    t.controls.push_back(c(K::Static, 0, "255", 2, 24, 16, 10, AlignRight));
    t.controls.push_back(c(K::Static, 0, "0", 2, 96, 16, 10, AlignRight));
    return t;
}

DialogTemplate verticalProfile()
{
    DialogTemplate t{res::DialogVertical, "Vertical Profile Viewer", 99, 363, {}};
    t.controls.push_back(c(K::Static, 0, "Vertical Line #", 8, 6, 60, 10));
    t.controls.push_back(c(K::Edit, res::VerticalLine, "", 8, 18, 40, 12));
    t.controls.push_back(c(K::Static, 0, "0", 13, 34, 12, 10));
    t.controls.push_back(c(K::Static, 0, "255", 78, 34, 20, 10, AlignRight));
    return t;
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
    // The labels end at their edits, so both "0x" stand right before the digits.
    t.controls.push_back(c(K::Static, 0, "Address  0x", 8, 24, 60, 10, AlignRight));
    t.controls.push_back(c(K::Edit, RegAddress, "", 70, 22, 70, 12));
    t.controls.back().maxLength = 8;
    t.controls.push_back(c(K::Static, 0, "Data        0x", 8, 42, 60, 10, AlignRight));
    t.controls.push_back(c(K::Edit, RegData, "", 70, 40, 70, 12));
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
    DialogTemplate t{147, "", 436, 124, {}};
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
    v.push_back(c(K::GroupBox, 0, "Zoom", 322, 2, 110, 30));
    v.push_back(c(K::Edit, FmtZoomBox, "", 328, 14, 34, 12));
    ControlTemplate spin = c(K::Spin, FmtZoomSpin, "", 362, 14, 10, 12);
    spin.buddy = FmtZoomBox;
    v.push_back(spin);
    v.push_back(c(K::Button, FmtZoomAnchor, "", 340, 24, 1, 1, Hidden));
    v.push_back(c(K::Button, FmtZoomSet, "Set", 378, 13, 34, 14));
    v.push_back(c(K::GroupBox, 0, "Bayer Conversion", 322, 34, 110, 60));
    v.push_back(c(K::CheckBox, FmtBayer, "Enable/Disable", 328, 45, 80, 10));
    v.push_back(c(K::Static, 0, "Layout", 328, 60, 32, 10));
    v.push_back(list(FmtLayout, 362, 58, 64, {"GB/RG", "BG/GR", "RG/GB", "GR/BG"}));
    v.push_back(c(K::Static, 0, "Algo.", 328, 76, 32, 10));
    v.push_back(list(FmtAlgorithm, 362, 74, 64, {"Bilinear", "Bilinear HQ", "Nearest"}, Sorted));
    return t;
}

DialogTemplate featurePage()
{
    using namespace res;
    DialogTemplate t{315, "", 420, 160, {}};
    auto &v = t.controls;
    v.push_back(c(K::ListView, FeaList, "", 4, 4, 196, 152, FillHeight));
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
    v.push_back(c(K::TreeView, TreNodes, "", 4, 4, 196, 152, FillHeight));
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

// An edit with its up-down control beside it.
void spinEdit(std::vector<ControlTemplate> &v, int edit, int spin, int x, int y, int w)
{
    v.push_back(c(K::Edit, edit, "", x, y, w, 12));
    ControlTemplate s = c(K::Spin, spin, "", x + w, y, 10, 12);
    s.buddy = edit;
    v.push_back(s);
}

// Two bound labels "lower ~ upper" under an edit.
void bounds(std::vector<ControlTemplate> &v, int low, int high, int x, int y)
{
    v.push_back(c(K::Static, low, "", x, y, 30, 9, AlignRight));
    v.push_back(c(K::Static, 0, "~", x + 32, y, 6, 9));
    v.push_back(c(K::Static, high, "", x + 40, y, 34, 9));
}

DialogTemplate triggerPage()
{
    using namespace res;
    DialogTemplate t{319, "", 476, 146, {}};
    auto &v = t.controls;
    v.push_back(c(K::GroupBox, 0, "Trigger Control", 4, 2, 234, 140));
    v.push_back(c(K::Static, 0, "Trigger Polarity", 10, 14, 72, 10));
    v.push_back(list(TrgPolarity, 84, 12, 80));
    v.push_back(c(K::Button, TrgExtra, "ExtraParameter", 168, 11, 64, 14));
    v.push_back(c(K::Static, 0, "Trigger Mode", 10, 30, 72, 10));
    v.push_back(list(TrgMode, 84, 28, 80));
    v.push_back(c(K::CheckBox, TrgOnOff, "Trigger On/Off", 166, 29, 71, 10));
    v.push_back(c(K::Static, 0, "Trigger Source", 10, 46, 72, 10));
    v.push_back(list(TrgSource, 84, 44, 80));
    v.push_back(c(K::Button, TrgSoftware, "S/W Trigger", 168, 43, 64, 14));
    v.push_back(c(K::Static, 0, "Parameter", 10, 62, 72, 10));
    spinEdit(v, TrgParameter, TrgParameterSpin, 84, 60, 40);
    v.push_back(c(K::Button, TrgParameterAnchor, "", 104, 70, 1, 1, Hidden));
    v.push_back(c(K::Button, TrgSet, "Set Trigger Property", 140, 59, 92, 14));
    v.push_back(c(K::Static, 0, "Trigger Delay", 10, 80, 72, 10));
    spinEdit(v, TrgDelay, TrgDelaySpin, 84, 78, 40);
    v.push_back(c(K::Button, TrgSetDelay, "Set Delay", 168, 77, 64, 14));
    bounds(v, TrgDelayLow, TrgDelayHigh, 64, 93);
    v.push_back(c(K::Static, 0, "Exposure Time", 10, 108, 72, 10));
    v.push_back(c(K::Edit, TrgExposure, "", 84, 106, 40, 12));
    v.push_back(c(K::Static, TrgExposureRange, "1 ~ 64000", 127, 108, 44, 10));
    v.push_back(c(K::Static, 0, "Exp.Time Interval", 10, 124, 72, 10));
    v.push_back(c(K::Edit, TrgInterval, "", 84, 122, 40, 12));
    v.push_back(c(K::Static, TrgIntervalRange, "1 ~ 64000", 127, 124, 44, 10));
    v.push_back(c(K::Button, TrgSetExposure, "Set Exposure", 172, 114, 60, 14));

    v.push_back(c(K::GroupBox, 0, "Strobe", 242, 2, 116, 140));
    v.push_back(c(K::Static, 0, "Strobe", 248, 14, 28, 10));
    v.push_back(list(TrgStrobe, 278, 12, 74));
    v.push_back(c(K::CheckBox, TrgStrobeEnable, "Enable Strobe Output", 248, 28, 104, 10));
    v.push_back(c(K::GroupBox, 0, "Polarity", 248, 40, 104, 24));
    v.push_back(c(K::Radio, TrgStrobeHigh, "High", 254, 50, 40, 10));
    v.push_back(c(K::Radio, TrgStrobeLow, "Low", 300, 50, 40, 10));
    v.push_back(c(K::Static, 0, "Delay", 248, 72, 40, 10));
    spinEdit(v, TrgStrobeDelay, TrgStrobeDelaySpin, 306, 70, 36);
    v.push_back(c(K::Button, TrgStrobeDelayAnchor, "", 324, 80, 1, 1, Hidden));
    bounds(v, TrgStrobeDelayLow, TrgStrobeDelayHigh, 280, 84);
    v.push_back(c(K::Static, 0, "Duration\n(Unit : 250\u33b2)", 248, 95, 58, 20, Multiline));
    spinEdit(v, TrgDuration, TrgDurationSpin, 306, 98, 36);
    v.push_back(c(K::Button, TrgDurationAnchor, "", 324, 108, 1, 1, Hidden));
    bounds(v, TrgDurationLow, TrgDurationHigh, 280, 112);
    v.push_back(c(K::Button, TrgStrobeSet, "Set", 300, 124, 52, 14));

    v.push_back(c(K::GroupBox, 0, "One/Multi Shot", 362, 2, 110, 140));
    v.push_back(c(K::CheckBox, TrgShotEnable, "One/Multi Shot Enable", 366, 14, 105, 10));
    v.push_back(c(K::Radio, TrgOneShot, "Ont Shot", 368, 30, 80, 10));
    v.push_back(c(K::Radio, TrgMultiShot, "Multi Shot", 368, 44, 80, 10));
    v.push_back(c(K::Static, TrgCountLabel, "Count Number\n (2 ~ 65535 )", 368, 58, 90, 20, Multiline));
    spinEdit(v, TrgCount, TrgCountSpin, 368, 80, 50);
    v.push_back(c(K::Button, TrgCountAnchor, "", 394, 90, 1, 1, Hidden));
    v.push_back(c(K::Button, TrgShot, "Shot", 368, 100, 60, 14));
    return t;
}

DialogTemplate triggerSequence()
{
    using namespace res;
    DialogTemplate t{DialogTriggerExtra, "Trigger mode 12/13 Extra parameters", 360, 236, {}};
    auto &v = t.controls;
    v.push_back(c(K::Grid, SeqGrid, "", 4, 4, 286, 228, DigitsOnly));
    std::vector<std::string> slots;
    for (int i = 0; i < 16; ++i)
        slots.push_back(std::to_string(i));
    v.push_back(c(K::Button, SeqSet, "Set", 296, 4, 58, 16));
    v.push_back(c(K::Button, SeqSave, "Save", 296, 30, 30, 16));
    v.push_back(list(SeqSaveSlot, 328, 32, 26, slots));
    v.push_back(c(K::Button, SeqLoad, "Load", 296, 52, 30, 16));
    v.push_back(list(SeqLoadSlot, 328, 54, 26, slots));
    v.push_back(c(K::Button, SeqImport, "Import", 296, 82, 58, 16));
    v.push_back(c(K::Button, SeqExport, "Export", 296, 102, 58, 16));
    return t;
}

DialogTemplate roiPage()
{
    using namespace res;
    DialogTemplate t{320, "", 340, 140, {}};
    auto &v = t.controls;
    // The rectangle view (160 x 120 pixels at 40, 40) sits left of the groups.
    v.push_back(c(K::Button, RoiMode, "Draw", 4, 26, 22, 14));
    v.push_back(c(K::GroupBox, 0, "ROI", 140, 2, 196, 100));
    v.push_back(c(K::Static, 0, "X", 190, 12, 30, 10));
    v.push_back(c(K::Static, 0, "Y", 244, 12, 30, 10));
    const std::pair<const char *, int> rows[] = {{"Start", 24}, {"Size", 40}, {"End", 56}, {"Unit", 72}};
    for (const auto &[label, y] : rows)
        v.push_back(c(K::Static, 0, label, 148, y + 2, 34, 10));
    spinEdit(v, RoiStartX, RoiStartXSpin, 186, 24, 34);
    spinEdit(v, RoiStartY, RoiStartYSpin, 240, 24, 34);
    v.push_back(c(K::Edit, RoiSizeX, "", 186, 40, 34, 12, Disabled));
    v.push_back(c(K::Edit, RoiSizeY, "", 240, 40, 34, 12, Disabled));
    spinEdit(v, RoiEndX, RoiEndXSpin, 186, 56, 34);
    spinEdit(v, RoiEndY, RoiEndYSpin, 240, 56, 34);
    v.push_back(c(K::Button, RoiEndXAnchor, "", 203, 66, 1, 1, Hidden));
    v.push_back(c(K::Button, RoiEndYAnchor, "", 257, 66, 1, 1, Hidden));
    v.push_back(c(K::Edit, RoiUnitX, "", 186, 72, 34, 12, Disabled));
    v.push_back(c(K::Edit, RoiUnitY, "", 240, 72, 34, 12, Disabled));
    v.push_back(c(K::Button, RoiStartZero, "Start (0,0)", 146, 86, 56, 14));
    v.push_back(c(K::Button, RoiEndMax, "End(Max,Max)", 206, 86, 60, 14));
    v.push_back(c(K::Button, RoiSetArea, "Set Area", 272, 86, 58, 14));
    v.push_back(c(K::GroupBox, 0, "BytePerPacket (for 1394)", 140, 106, 196, 30));
    spinEdit(v, RoiPacket, RoiPacketSpin, 148, 118, 34);
    v.push_back(c(K::Static, RoiPacketBounds, "[Min ~ Max]", 198, 120, 70, 10));
    v.push_back(c(K::Button, RoiPacketSet, "Set", 272, 117, 58, 14));
    return t;
}

DialogTemplate capturePage()
{
    using namespace res;
    DialogTemplate t{317, "", 340, 150, {}};
    auto &v = t.controls;
    v.push_back(c(K::Static, 0, "Capture Type", 8, 8, 60, 10));
    v.push_back(list(CapType, 72, 6, 80));
    v.push_back(c(K::Static, CapFormatLabel, "Data Format", 8, 26, 60, 10));
    v.push_back(list(CapFormat, 72, 24, 80));
    v.push_back(c(K::Static, CapTimeLabel, "Stream Time", 8, 44, 60, 10));
    v.push_back(c(K::Edit, CapTime, "0", 72, 42, 50, 12));
    v.push_back(c(K::Button, CapTimeAnchor, "", 96, 52, 1, 1, Hidden));
    v.push_back(c(K::Static, CapUnitLabel, "Sec", 126, 44, 20, 10));
    v.push_back(c(K::Static, CapCodecLabel, "Codec", 164, 8, 30, 10));
    v.push_back(list(CapCodec, 196, 6, 120));
    v.push_back(c(K::Static, 0, "Path", 8, 64, 60, 10));
    v.push_back(c(K::Static, CapPathCaption, "Still", 72, 62, 60, 10));
    v.push_back(c(K::Edit, CapPath, "", 8, 76, 290, 12));
    v.push_back(c(K::Button, CapFolder, "...", 302, 75, 20, 14));
    v.push_back(c(K::Button, CapButton, "Capture", 8, 96, 70, 16));
    v.push_back(c(K::Progress, CapProgress, "", 86, 98, 236, 12, Hidden));
    v.push_back(c(K::Static, CapStatus, "", 8, 118, 314, 10));
    return t;
}

// The knee graph (273 x 273 pixels at 75, 57) is made by the page; its axis labels are here.
DialogTemplate lutPage()
{
    using namespace res;
    DialogTemplate t{145, "", 430, 225, {}};
    auto &v = t.controls;
    v.push_back(c(K::Static, 0, "LUT output", 4, 24, 48, 10));
    v.push_back(c(K::Static, 0, "4095", 26, 35, 22, 10, AlignRight));
    v.push_back(c(K::Static, 0, "0", 26, 196, 22, 10, AlignRight));
    v.push_back(c(K::Static, 0, "0", 50, 206, 20, 10));
    v.push_back(c(K::Static, 0, "A/D output", 118, 206, 50, 10));
    v.push_back(c(K::Static, 0, "4095", 216, 206, 22, 10));
    v.push_back(c(K::GroupBox, 0, "UserLUT", 244, 2, 180, 66));
    v.push_back(c(K::Static, 0, "LUT Number", 252, 16, 50, 10));
    v.push_back(list(LutNumber, 304, 14, 60));
    v.push_back(c(K::CheckBox, LutPassThrough, "Pass Through", 252, 32, 66, 10));
    v.push_back(c(K::CheckBox, LutOnOff, "LUT  On/Off", 324, 32, 66, 10));
    v.push_back(c(K::Button, LutSet, "Set LUT", 252, 48, 60, 14));
    v.push_back(c(K::Button, LutWrite, "Write LUT", 318, 48, 60, 14));
    v.push_back(c(K::GroupBox, 0, "4-Step KneeLUT", 244, 72, 180, 150));
    v.push_back(c(K::Static, 0, "X", 300, 84, 20, 10));
    v.push_back(c(K::Static, 0, "Y", 356, 84, 20, 10));
    const int edits[4][4] = {{KneeX1, KneeX1Spin, KneeY1, KneeY1Spin}, {KneeX2, KneeX2Spin, KneeY2, KneeY2Spin},
                             {KneeX3, KneeX3Spin, KneeY3, KneeY3Spin}, {KneeX4, KneeX4Spin, KneeY4, KneeY4Spin}};
    for (int i = 0; i < 4; ++i) {
        const int y = 96 + 16 * i;
        v.push_back(c(K::Static, 0, "Point " + std::to_string(i + 1), 252, y + 2, 36, 10));
        spinEdit(v, edits[i][0], edits[i][1], 290, y, 34);
        spinEdit(v, edits[i][2], edits[i][3], 346, y, 34);
    }
    v.push_back(c(K::CheckBox, KneePassThrough, "Pass through", 252, 162, 66, 10));
    v.push_back(c(K::CheckBox, KneeOn, "KneeLUT On", 324, 162, 66, 10));
    v.push_back(c(K::Button, KneeSet, "Set", 252, 178, 60, 14));
    v.push_back(c(K::Button, KneeLinear, "Set to linear", 318, 178, 60, 14));
    v.push_back(c(K::Static, 0, "Current Point", 252, 200, 50, 10));
    v.push_back(c(K::Static, KneeCurrent, "", 304, 200, 80, 10));
    return t;
}

DialogTemplate featurePageTitleBold(DialogTemplate t)
{
    for (auto &c : t.controls)
        if (c.id == res::FeaTitle)
            c.flags |= Bold;
    return t;
}

DialogTemplate pageMenu()
{
    DialogTemplate t{res::DialogPageMenu, "", 148, 150, {}};
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
        // Wide enough for "Trigger/Strobe , One/Multi Shot" in the button's margins.
        t.controls.push_back(c(K::Button, id, text, 4, y, 140, 20));
        y += 20;
    }
    return t;
}

const std::map<int, DialogTemplate> &dialogs()
{
    static const std::map<int, DialogTemplate> table = [] {
        std::map<int, DialogTemplate> m;
        for (DialogTemplate t : {cameraInfo(), about(), cameraListPane(),
                                 histogram(), horizontalProfile(), verticalProfile(),
                                 eventLog(), registerAccess(),
                                 pageMenu(),
                                 formatPage(),
                                 featurePageTitleBold(featurePage()),
                                 treePage(),
                                 triggerPage(), triggerSequence(),
                                 roiPage(),
                                 capturePage(),
                                 lutPage()})
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
