// The Format page: pixel format, frame rate, user sets, image effects, rotation, bit depth,
// Bayer conversion and the zoom value of the active camera.
#pragma once

#include "pages/CFormPage.h"

class CGeneralSettingDlg : public CFormPage {
public:
    static constexpr int kTemplate = 147;
    CGeneralSettingDlg();

    void onInitialUpdate() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;

    void FillPixelFormats();
    void FillFrameRates1394();
    void RefreshFormatPage();
    void RefreshBayer();
    // Called by the camera view after acquisition stopped: the GigE frame rate may change now.
    void ShowGigEFrameRate(float lower, float upper, float value);
    // The camera view's zoom changed: the zoom box and its up-down follow.
    void SetZoomSpin(int zoom);

    float m_fRateLower = 0, m_fRateUpper = 0;  // bounds of "AcquisitionFrameRateAbs" last read

private:
    void OnPixelFormatChanged();
    void OnFrameRate1394Changed();
    void OnRateSlider();
    void ApplyGigEFrameRate();
    void OnLoad();
    void OnSave();
    void OnEffect(int box);
    void OnNone();
    void OnRotation();
    void OnBits(int bits);
    void OnBayer();
    void OnZoomSet();
    void ApplyZoom();
    void ShowRateBounds(float lower, float upper, float value);
};
