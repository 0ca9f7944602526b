// The "Vertical Profile Viewer": the values along the image column the operator last clicked.
#pragma once

#include "analysis/CProfileDlg.h"
#include "res/ResourceIds.h"

class CVerticalDlg : public CProfileDlg {
public:
    static constexpr int kLeft = 20, kTop = 70, kPlotWidth = 128;

    CVerticalDlg() : CProfileDlg(res::DialogVertical, res::MsgVerticalClosed, res::VerticalLine) {}
    ~CVerticalDlg() override { destroyWindow(); }

private:
    int SourceLine(const CMolvaneView &view) const override;
    int LineCount() const override { return m_nWidth; }
    int LineLength() const override { return m_nHeight; }
    int AvailableSpace() const override;
    std::unique_ptr<CProfileView> MakeView() override;
    fw::Rect PlotRect() const override;
    void FitDialog() override;
    void FollowClient(int width, int height) override;
    const std::vector<uint8_t> &LinePixels(const FeedResult &result) const override;
};
