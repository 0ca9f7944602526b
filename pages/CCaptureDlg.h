// The Capture page: one still on demand, an AVI stream of a set duration, or a series of stills
// (every frame or one every N seconds) of the active camera window. The page sets up requests
// and timers; the camera view writes the stills when its next frame arrives.
#pragma once

#include "pages/CFormPage.h"

#include <string>

class CCaptureDlg : public CFormPage {
public:
    static constexpr int kTemplate = 317;
    enum Type { Still = 0, Stream = 1, Auto = 2 };
    enum Timer { EndTimer = 1, ProgressTimer = 2, AutoTimer = 3, StatusTimer = 4 };
    static constexpr int kStatusPeriod = 500;  // ms between looks at the writers' counters

    CCaptureDlg();

    void onInitialUpdate() override;
    void onTimer(int id) override;
    void onClose() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;

    void OnCapture();
    // The extension a data format index sets, and the index an extension selects (-1: none).
    static std::string ExtensionOf(int index);
    static int FormatIndexOf(const std::string &extension);
    // The registry value that keeps the folder of a capture type.
    static const char *FolderKey(int type);
    // "/month_day_hour_minute_second_millisecond" of the clock now.
    static std::string TimeName();

private:
    void LoadFolders(CMolvaneView &view);
    void ApplyType(CMolvaneView &view);
    void ApplyStill(CMolvaneView &view);
    void ApplyStream(CMolvaneView &view);
    void ApplyAuto(CMolvaneView &view);
    void FillFormats();
    void SelectFormat(const CMolvaneView &view);
    void OnFormatChange();
    void OnCodecChange();
    void OnFolder();
    void StartStream(CMolvaneView &view, int milliseconds);
    void StopStream(CMolvaneView &view);
    void EndStream();
    void ToggleAuto(CMolvaneView &view, int milliseconds);
    void EnableAutoControls(bool enabled);
    void EnableStreamControls(bool enabled);
    void ShowStatus();
    void StopAfterFailure(CMolvaneView &view, const std::string &error);
    std::string &FolderOf(CMolvaneView &view, int type);
    // The view that started the running capture, while its window lives; else the active one.
    CMolvaneView *CaptureView();

    CMolvaneView *m_pView = nullptr;  // the view the last handler acted on
    CMolvaneView *m_pCaptureView = nullptr;
};
