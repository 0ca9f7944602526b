// Dispatch identifiers of the camera control component's members.
#pragma once

namespace cam {

enum class Dispid : int {
    // selection and acquisition
    GetCameraList = 55, GetCameraInfo = 56, CameraIndex = 45, MulticastMode = 10, AccessMode = 42,
    GetCameraType = 136, Acquisition = 12, AcquisitionMode = 11, PlayParameterEnabled = 39,
    PlayParameter = 38, RunCtrlF12Action = 134, GetReceivedFrameRate = 66,
    GetReceivedFrameCount = 70,
    // geometry, format, transport
    ImageWidth = 4, ImageHeight = 5, OffsetX = 2, OffsetY = 3, GetMaxWidth = 59, GetMaxHeight = 60,
    GetImageFormatList = 62, ImageFormat = 6, BitPerPixel = 8, GetFrameRateList = 187,
    FrameRateIndex = 188, BytePerPacket = 7, GetBytePerPacketMin = 64, GetBytePerPacketMax = 65,
    // display
    SetZoom = 103, SetRotation = 211, SetFullScreen = 212, BayerLayout = 31, BayerConversion = 32,
    BayerAlgorithm = 33, Flip = 34, Mirror = 35, Negative = 36, OverlayEnable = 37,
    GetPixelColor = 69,
    // image data and recording
    GetRgbImage = 67, GetRawImage = 68, SaveImage = 131, GetAviCodecList = 130, AviCodec = 44,
    StartAviCapture = 132, StopAviCapture = 133,
    // fixed image features
    Gamma = 13, Sharpness = 14, Saturation = 15, AutoExposure = 16, Hue = 17, BlackLevel = 20,
    Iris = 21, Pan = 22, Tilt = 23, ExposureAuto = 18, GainAuto = 189, BalanceWhiteAuto = 19,
    GetGammaMin = 73, GetGammaMax = 74, GetSharpnessMin = 75, GetSharpnessMax = 76,
    GetSaturationMin = 77, GetSaturationMax = 78, GetGainMin = 79, GetGainMax = 80,
    GetAutoExposureMin = 89, GetAutoExposureMax = 90, GetHueMin = 91, GetHueMax = 92,
    GetExposureTimeMin = 93, GetExposureTimeMax = 94, GetBlackLevelMin = 95, GetBlackLevelMax = 96,
    GetGain = 153, SetGain = 154, GetGainRed = 155, SetGainRed = 156, GetGainGreen = 157,
    SetGainGreen = 158, GetGainBlue = 159, SetGainBlue = 160, GetExposureTime = 163,
    SetExposureTime = 164, GetExposureTimeText = 205, SetExposureTimeText = 203,
    // trigger, strobe, shots
    TriggerOnOff = 28, TriggerMode = 24, TriggerSource = 26, TriggerPolarity = 27,
    TriggerParameter = 29, GetTriggerDelay = 161, SetTriggerDelay = 162, GetTriggerDelayMin = 190,
    GetTriggerDelayMax = 191, SetExposureTimeInterval = 97, SendSoftwareTrigger = 98,
    GetStrobeList = 123, GetStrobeProperty = 124, SetStrobeProperty = 125, GetStrobeDuration = 169,
    SetStrobeDuration = 170, GetStrobeDelay = 171, SetStrobeDelay = 172, GetStrobeDelayMin = 192,
    GetStrobeDelayMax = 193, GetStrobeDurationMin = 194, GetStrobeDurationMax = 195,
    MultiShotCount = 47, StartOneShot = 185, StartMultiShot = 186, TriggerSequenceTable = 99,
    SaveTriggerSequence = 100, LoadTriggerSequence = 101,
    // look-up tables and user sets
    LUTIndex = 49, LUTEnable = 50, LUTPassThrough = 40, WriteLUT = 109, KneeLUTEnable = 51,
    KneeLUTPassThrough = 41, GetKneePoint = 110, SetKneePoint = 111, GetUserSetIndex = 204,
    PrepareUserSetSave = 112, LoadSaveUserSet = 113,
    // generic nodes
    GetEnumEntries = 138, GetEnumValue = 173, SetEnumValue = 174, GetBoolValue = 175,
    SetBoolValue = 176, GetIntValue = 177, SetIntValue = 178, GetIntMin = 143, GetIntMax = 144,
    GetIntInc = 148, GetFloatValue = 179, SetFloatValue = 180, GetFloatMin = 145,
    GetFloatMax = 146, GetStringValue = 181, SetStringValue = 182, ExecuteCommand = 147,
    GetChildNodes = 137, GetNodeInterface = 139, GetNodeDescription = 141, GetAccessMode = 149,
    SetVisibility = 150,
    // registers
    ReadRegister = 118, WriteRegister = 119,
};

// Events the component fires, by event number.
enum class EventId : int {
    ImageReceived = 1, CameraArrived = 2, CameraRemoved = 3, ImageMouseDown = 6,
    ImageMouseUp = 8, ImageMouseMove = 10, FrameDropped = 14,
};

} // namespace cam
