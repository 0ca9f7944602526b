// Ids of the resources, commands and controls the logic and the templates share.
#pragma once

namespace res {

// Menus and toolbars.
constexpr int MenuMain = 128;          // no camera window open
constexpr int MenuCamera = 130;        // a camera window is open
constexpr int MenuCastMode = 119;      // the camera list's context menu
constexpr int ToolbarCamera = 312;
constexpr int ToolbarZoom = 156;

// Dialog templates.
constexpr int DialogAbout = 100;
constexpr int DialogCameraInfo = 313;
constexpr int DialogCameraListPane = 20513;  // the camera list pane: one list box filling it
constexpr int DialogHistogram = 167;
constexpr int DialogHorizontal = 154;
constexpr int DialogVertical = 153;
constexpr int DialogEventLog = 166;
constexpr int DialogRegister = 168;
constexpr int DialogPageMenu = 314;

// Page menu buttons.
constexpr int BtnFormat = 1158, BtnFeature = 1003, BtnTrigger = 1019, BtnRoi = 1021,
              BtnTree = 1023, BtnCapture = 1024, BtnLut = 1149;
constexpr int PaneCameraControl = 1234;

// Commands.
constexpr int CmdAbout = 57664;
constexpr int CmdNew = 57600;
constexpr int CmdExit = 57665;
constexpr int CmdStop = 32772;
constexpr int CmdCameraControl = 32773;
constexpr int CmdPlay = 32774;
constexpr int CmdHistogram = 32786;
constexpr int CmdVerticalProfile = 32787;
constexpr int CmdHorizontalProfile = 32788;
constexpr int CmdZoomOut = 32791;
constexpr int CmdZoomSlider = 32792;
constexpr int CmdZoomIn = 32793;
constexpr int CmdZoom100 = 32794;
constexpr int CmdToolbarCamera = 32799;
constexpr int CmdToolbarZoom = 32802;
constexpr int CmdEventViewer = 32812;
constexpr int CmdRegisterAccess = 32815;
constexpr int CmdBayerColor = 32816;
constexpr int CmdMultiCast = 32819;
constexpr int CmdUnicast = 32820;
constexpr int CmdFitToWindow = 32823;
constexpr int CmdFullScreen = 32824;
constexpr int CmdResetLayout = 32850;  // "Reset window layout"

// Controls.
constexpr int IdOk = 1;
constexpr int IdCancel = 2;
constexpr int ListCameras = 513;
constexpr int PaneCameraList = 322;
constexpr int PaneCameraInfo = 1234;
constexpr int EnumControlId = 29999;
constexpr int ViewControlId = 30000;
constexpr int StatusBarId = 59393;
constexpr int ToolBarId = 59392;

// Camera info form (313).
constexpr int InfoVendor = 135, InfoModel = 1238, InfoSerial = 1239, InfoUser = 1240,
              InfoMac = 1241, InfoIp = 1242, InfoFirmware = 1272, InfoFormat = 1246,
              InfoWidth = 136, InfoHeight = 137, InfoFps = 139, InfoFrames = 140,
              InfoCastMode = 1278, InfoTrigger = 141, InfoBayer = 142, InfoZoom = 144,
              InfoPixelCheck = 1034, InfoX = 1260, InfoY = 1261, InfoR = 1262, InfoG = 1263,
              InfoB = 1264;

// About box fields (100), top to bottom.
constexpr int AboutProgram = 1269, AboutApi = 1268, AboutGigE = 1267, About1394 = 1265,
              AboutTl = 1266;

// Format page (147).
constexpr int FmtPixelFormat = 1161, FmtRate1394 = 1162, FmtRateSlider = 1150, FmtRateLow = 1151,
              FmtRateHigh = 1152, FmtRateBox = 1153, FmtUserSet = 1041, FmtLoad = 1002,
              FmtSave = 593, FmtMirror = 572, FmtFlip = 573, FmtNegative = 574, FmtNone = 575,
              FmtRotate = 1299, FmtBits10 = 1076, FmtBits12 = 1081, FmtZoomBox = 1234,
              FmtZoomSpin = 1060, FmtZoomAnchor = 1294, FmtZoomSet = 1235, FmtBayer = 1288,
              FmtLayout = 1289, FmtAlgorithm = 1290;

// Feature control page (315).
constexpr int FeaList = 1256, FeaTitle = 1257, FeaSlider = 1258, FeaLow = 1259, FeaHigh = 1249,
              FeaValue = 1047, FeaAuto = 1033, FeaChoice = 1040, FeaExposure = 1132,
              FeaUnitAnchor = 1293, FeaDefault = 1134;

// Node tree page (150).
constexpr int TreNodes = 1189, TreVisibility = 1188, TreDescription = 1194, TreValue = 1190,
              TreValueList = 1195, TreSet = 1191, TreMin = 1192, TreMax = 1193;
// The page's feature file buttons.
constexpr int TreSaveFeatures = 1310, TreLoadFeatures = 1311;

// Event log (166) and register access (168) windows.
constexpr int LogList = 1275, LogFrameDrop = 1277, LogClear = 1294;
constexpr int RegRange = 1287, RegAddress = 32806, RegData = 32807, RegRead = 1282, RegWrite = 1283;

// Closing messages of the tool windows (WM_USER + 100 ...).
constexpr int MsgVerticalClosed = 1124;
constexpr int MsgHistogramClosed = 1125;
constexpr int MsgHorizontalClosed = 1126;
constexpr int MsgEventLogClosed = 1127;

} // namespace res
