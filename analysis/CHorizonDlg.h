// The "Horizontal Profile Viewer": the values along the image row the operator last clicked.
#pragma once

#include "analysis/CProfileDlg.h"
#include "res/ResourceIds.h"

class CHorizonDlg : public CProfileDlg {
public:
    static constexpr int kLeft = 30, kTop = 40, kPlotHeight = 128;

    CHorizonDlg() : CProfileDlg(res::DialogHorizontal, res::MsgHorizontalClosed, res::HorizontalLine) {}
    ~CHorizonDlg() override { destroyWindow(); }

private:
    int SourceLine(const CMolvaneView &view) const override;
    int LineCount() const override { return m_nHeight; }
    int LineLength() const override { return m_nWidth; }
    int AvailableSpace() const override;
    std::unique_ptr<CProfileView> MakeView() override;
    fw::Rect PlotRect() const override;
    void FitDialog() override;
    void FollowClient(int width, int height) override;
    const std::vector<uint8_t> &LinePixels(const FeedResult &result) const override;
};
