// The trigger, strobe and shot page: triggering, the strobe outputs and one/multi shot
// acquisition of the active camera, reloaded from the camera each time it is shown.
#pragma once

#include "pages/CFormPage.h"

#include <string>

namespace cam {
class CMolvane;
}

class CTriggerCtrlDlg : public CFormPage {
public:
    static constexpr int kTemplate = 319;
    CTriggerCtrlDlg();
    ~CTriggerCtrlDlg() override;

    void onInitialUpdate() override;
    void onDestroy() override;

    // Leaving the page: a camera left playing in a shot mode goes back to continuous acquisition.
    void RestoreContinuousAcquisition();

    void LoadTriggerSettings();
    // Enables the controls trigger mode `mode` uses; writes nothing to the camera.
    void ApplyTriggerModeLayout(int mode);
    void SendTriggerParameter();
    void SendTriggerDelay();
    void LoadStrobeSettings();
    void LoadStrobeDelayDuration();
    void SendStrobeDelayDuration();
    void ApplyShotState();
    // A strobe duration to the nearest multiple of 250; a remainder of exactly 125 rounds down.
    static int RoundToStrobeUnit(int duration);

    float m_fStrobeDelayLower = 0, m_fStrobeDelayUpper = 0;
    int m_nStrobeDurationLower = 0, m_nStrobeDurationUpper = 0;

private:
    void OnSetTriggerProperty();
    void OnSoftwareTrigger();
    void OnSetExposure();
    void OnExtraParameter();
    void OnModeChanged();
    void OnSetStrobe();
    void OnSelectStrobe();
    // The strobe's enable and polarity words in their boxes, then its delay and duration.
    void ShowStrobe(const std::string &enable, const std::string &polarity);
    void OnShotEnable();
    // "Ont Shot" or "Multi Shot" chosen: the camera's AcquisitionMode follows.
    void ChooseShot(bool multi);
    void OnShot();
    void LoadShotSettings(CMolvaneView &view);
    void EnableShotControls(bool enabled);
    void EnableCount(bool enabled);
    // A spin's range and position with its bound labels.
    void ShowBounds(int spin, int low, int high, int lower, int upper, int value);
    // The camera view of the active camera window when its camera is open, else null.
    static CMolvaneView *View();
    static void Error(const char *text);
};
