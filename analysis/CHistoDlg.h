// The "Histogram Viewer" tool window: the channel list, the full-scale count and the plot.
#pragma once

#include "app/CToolWindow.h"
#include "res/ResourceIds.h"

#include <cstdint>
#include <memory>
#include <string>

class CHistogramView;
class CMolvaneView;
struct ChannelCounts;

class CHistoDlg : public CToolWindow {
public:
    CHistoDlg();
    ~CHistoDlg() override;

    bool onCreate() override;
    void onClose() override;
    void onDestroy() override;
    void onSize(int width, int height) override;
    // Runs the dialog initialisation again for the active camera.
    void Reinitialise();

    // The frame feed: new counts.
    void Update(const ChannelCounts &counts);
    // Another window shows the selected camera and it stopped: nothing to show.
    void Clear();
    // Open and with its plot: the frame feed serves it.
    bool IsLive() const;
    std::string ChannelText() const;
    void ShowMaxCount(int64_t count);
    // Selects the view's remembered channel (a camera window becoming active).
    void SelectChannel(int index);

    std::unique_ptr<CHistogramView> m_pView;
    CMolvaneView *m_pCameraView = nullptr;
    int64_t m_nMaxCount = 0;
    int m_bOpen = 0;

private:
    void OnChannelChange();
};
