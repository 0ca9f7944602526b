// A line profile viewer: the line field, the plot of the clicked image line and its scale. The
// horizontal and the vertical viewer are this design turned by 90 degrees.
#pragma once

#include "analysis/CProfileView.h"
#include "app/CToolWindow.h"

#include <memory>

class CMolvaneView;
struct FeedResult;

class CProfileDlg : public CToolWindow {
public:
    ~CProfileDlg() override;

    bool onCreate() override;
    void onClose() override;
    void onDestroy() override;
    void onSize(int width, int height) override;
    // Runs the dialog initialisation again for the active camera.
    void Reinitialise();

    // The line to plot for the view's last click; the line field shows it, clamped to the image.
    int LineNumber(const CMolvaneView &view);
    // The frame feed: the line's pixels (only while open).
    void Update(const FeedResult &result);
    // Another window shows the selected camera and it stopped: the plot is hidden.
    void Hide();
    bool IsLive() const { return m_bOpen && m_pView && m_pView->hasWindow(); }

    std::unique_ptr<CProfileView> m_pView;
    CMolvaneView *m_pCameraView = nullptr;
    int m_nWidth = 0, m_nHeight = 0;  // W and H of the image
    int m_bOpen = 0;
    float m_fScale = 1.0f;  // display scale s

protected:
    CProfileDlg(int templateId, int closingMessage, int lineField);

private:
    // Where the turned designs differ.
    virtual int SourceLine(const CMolvaneView &view) const = 0;
    virtual int LineCount() const = 0;    // lines the field may choose from
    virtual int LineLength() const = 0;   // pixels along the line
    virtual int AvailableSpace() const = 0;  // screen pixels the line may take, 0 for no limit
    virtual std::unique_ptr<CProfileView> MakeView() = 0;
    virtual fw::Rect PlotRect() const = 0;
    virtual void FitDialog() = 0;  // the dialog's size for the scale
    // The plot follows the dialog's client size at its scale, scrolling along the line.
    virtual void FollowClient(int width, int height) = 0;
    virtual const std::vector<uint8_t> &LinePixels(const FeedResult &result) const = 0;

    int m_nLineField;
};
