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
              InfoB = 1264, InfoStreamLoss = 1280;

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

// Trigger, strobe and shot page (319).
constexpr int TrgPolarity = 1163, TrgMode = 1164, TrgExtra = 1167, TrgSource = 1053,
              TrgParameter = 1165, TrgParameterSpin = 1166, TrgOnOff = 1031, TrgSet = 1169,
              TrgSoftware = 1016, TrgDelay = 1168, TrgDelaySpin = 1179, TrgDelayLow = 1170,
              TrgDelayHigh = 1171, TrgSetDelay = 1020, TrgExposure = 164, TrgInterval = 1072,
              TrgExposureRange = 1172, TrgIntervalRange = 1173, TrgSetExposure = 1022,
              TrgStrobe = 1057, TrgStrobeEnable = 1099, TrgStrobeHigh = 1075, TrgStrobeLow = 1080,
              TrgStrobeDelay = 1085, TrgStrobeDelaySpin = 1174, TrgStrobeDelayLow = 1175,
              TrgStrobeDelayHigh = 1176, TrgDuration = 1089, TrgDurationSpin = 1097,
              TrgDurationLow = 1177, TrgDurationHigh = 1178, TrgStrobeSet = 1018,
              TrgShotEnable = 1138, TrgOneShot = 1140, TrgMultiShot = 1141, TrgCountLabel = 1144,
              TrgCount = 1142, TrgCountSpin = 1143, TrgShot = 1139, TrgParameterAnchor = 1294,
              TrgStrobeDelayAnchor = 1296, TrgDurationAnchor = 1297, TrgCountAnchor = 1298;

// Trigger sequence table window (149).
constexpr int DialogTriggerExtra = 149;
constexpr int SeqGrid = 551, SeqSet = 544, SeqSave = 545, SeqSaveSlot = 547, SeqLoad = 546,
              SeqLoadSlot = 548, SeqImport = 549, SeqExport = 550;

// ROI page (320): corners with their spins, sizes, units, shortcuts and the packet size.
constexpr int RoiStartX = 1180, RoiStartXSpin = 1058, RoiStartY = 1181, RoiStartYSpin = 1093,
              RoiSizeX = 158, RoiSizeY = 159, RoiEndX = 163, RoiEndXSpin = 1061, RoiEndY = 162,
              RoiEndYSpin = 1182, RoiUnitX = 161, RoiUnitY = 160, RoiStartZero = 1183,
              RoiEndMax = 592, RoiSetArea = 1184, RoiMode = 1185, RoiPacket = 1156,
              RoiPacketSpin = 1157, RoiPacketBounds = 1154, RoiPacketSet = 1155,
              RoiEndXAnchor = 1294, RoiEndYAnchor = 1295;

// Capture page (317); CapStatus shows the frames written and not written.
constexpr int CapType = 1038, CapFormat = 1043, CapTime = 1044, CapTimeAnchor = 1291, CapPath = 1056,
              CapFolder = 1001, CapButton = 1004, CapCodec = 1054, CapProgress = 1243,
              CapFormatLabel = 1246, CapTimeLabel = 1245, CapUnitLabel = 1290, CapPathCaption = 1244,
              CapCodecLabel = 1247, CapStatus = 1296;

// LUT page (145): the user LUT and the 4-step knee table with its edits and spins.
constexpr int LutNumber = 1145, LutPassThrough = 1146, LutOnOff = 157, LutSet = 1147, LutWrite = 1148,
              KneeX1 = 1196, KneeX1Spin = 1197, KneeY1 = 1198, KneeY1Spin = 1199, KneeX2 = 1200,
              KneeX2Spin = 1201, KneeY2 = 1202, KneeY2Spin = 1203, KneeX3 = 1204, KneeX3Spin = 1205,
              KneeY3 = 1206, KneeY3Spin = 1207, KneeX4 = 1208, KneeX4Spin = 1209, KneeY4 = 1210,
              KneeY4Spin = 1211, KneePassThrough = 1212, KneeOn = 1229, KneeSet = 1213,
              KneeLinear = 1214, KneeCurrent = 1225;

// Event log (166) and register access (168) windows.
constexpr int LogList = 1275, LogFrameDrop = 1277, LogClear = 1294;
constexpr int RegRange = 1287, RegAddress = 32806, RegData = 32807, RegRead = 1282, RegWrite = 1283;

// Histogram (167) and line profile (154, 153) viewers.
constexpr int HistoMaxCount = 1279, HistoChannel = 1280;
constexpr int HistoAxisLow = 21279, HistoAxisHigh = 21280;  // the "0" and "255" under the plot
constexpr int HorizontalLine = 1045, VerticalLine = 1046;

// Closing messages of the tool windows (WM_USER + 100 ...).
constexpr int MsgVerticalClosed = 1124;
constexpr int MsgHistogramClosed = 1125;
constexpr int MsgHorizontalClosed = 1126;
constexpr int MsgEventLogClosed = 1127;

} // namespace res
