// A camera window's view: owns the camera component, opens the camera, plays and stops it,
// and receives its events.
#pragma once

#include "camera/CMolvane.h"
#include "framework/Types.h"
#include "framework/Window.h"

#include <mutex>
#include <string>

class CCameraListWnd;
class CChildFrame;
class CXMLTreeDlg;
class CGeneralSettingDlg;

class CMolvaneView : public fw::Window, public cam::CameraEvents {
public:
    CMolvaneView();
    ~CMolvaneView() override;

    // Opening the camera selected in the camera list (run once the window exists).
    bool onCreate() override;
    void onDestroy() override;
    void onTimer(int id) override;
    void onPaint() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;
    void onUpdateCommandUi(int id, fw::CommandUi &ui) override;

    // Used by the camera list and the pages.
    void SetCastMode(int multicast);
    void PlayInner();  // start acquisition without touching m_bPlaying
    void StopInner();  // stop acquisition without touching m_bPlaying
    void OnPlay();
    void OnStop();
    void OnCameraControl();
    // Zoom and display modes.
    void OnZoomIn();
    void OnZoomOut();
    void OnZoom100();
    void OnFitToWindow();
    void OnZoomSlider();
    void OnFullScreen();
    void OnBayerColor();
    void onSize(int width, int height) override;

    // Events of the component.
    void ImageReceived(int unused) override;
    void ImageMouseDown(int x, int y) override;
    void ImageMouseMove(int x, int y) override;
    void ImageMouseUp(int x, int y) override;
    void FrameDropped() override;

    cam::CMolvane *m_pCamera = nullptr;
    CChildFrame *m_pParentFrame = nullptr;
    std::string m_strDeviceID;
    CXMLTreeDlg *m_pXMLTreeDlg = nullptr;
    std::string m_strStillFolder, m_strAutoFolder, m_strStreamFolder;
    std::string m_strCaptureExt = ".jpg";
    int m_bMulticast = 0;
    int m_nAccessMode = 0;
    int m_bPlaying = 0;
    int m_bFullScreen = 0;
    unsigned m_nSavedCount = 0;
    int m_nPlayParameter = 30;
    int m_bStillRequest = 0, m_bAutoEveryFrame = 0, m_bAutoTick = 0;
    unsigned m_nFrameCount = 0;
    int m_bFirstDrawDone = 0;
    int m_bBayer = 0;
    int m_bOpenOK = 1;
    int m_bRemoved = 0;
    int m_nRoiWidth = 0, m_nRoiHeight = 0;
    int m_nVisibility = 0;
    int m_bMultiShot = 0;
    int m_nHistoChannel = 0;
    int m_nRotation = 0;
    int m_nFeedCounter = 0;
    fw::Point m_ptPixel;
    fw::Point m_ptMouse;
    float m_fZoom = 100.0f;
    int m_nSliderPos = 0;
    int m_bButtonDown = 0, m_bDragged = 0;
    int m_nCaptureType = -1, m_bCapturing = 0;
    uint64_t m_nStreamLostShown = 0, m_nImageLostShown = 0;  // writer losses already reported
    std::mutex m_csZoom;  // guards the registration in g_listCameraView and the fit change
    // The folder whose failure was last reported: later frames retry it without another box,
    // until a save succeeds or the operator presses Capture again.
    std::string m_strFailedFolder;

private:
    bool Open();
    int ChosenBusPosition(const CCameraListWnd &list) const;
    void ShowOpenFailedBalloon();
    bool CameraOpen();  // CameraIndex reads 0 or more
    void ApplyZoom(float scale);
    void SetFormatZoom(int value);
    void FeedFrame();
    // Saves the frame as a still or auto image when one is asked for (the frame step's first part).
    void SaveCapturedFrame();
    bool m_bSaveFailing = false;  // the failure message is up: frames meanwhile are not saved
    CGeneralSettingDlg *FormatPage() const;  // the Format page when it has a window
};
