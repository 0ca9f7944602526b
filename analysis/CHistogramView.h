// The histogram viewer's plot: the curves of 256 bins of the last fed frame, and the counts of
// the bin under the pointer.
#pragma once

#include "analysis/FrameAnalysis.h"
#include "analysis/PlotStyle.h"
#include "framework/Canvas.h"
#include "framework/Window.h"

#include <vector>

class CHistoDlg;

class CHistogramView : public fw::Window {
public:
    static constexpr int kLeft = 40, kTop = 40, kWidth = 350, kHeight = 180;

    explicit CHistogramView(CHistoDlg &dlg);
    ~CHistogramView() override;
    bool Create();  // a child of the dialog at (40, 40), 350 x 180

    void onInitialUpdate() override;
    // New counts from the frame feed; redraws.
    void Update(const ChannelCounts &counts);
    // Builds the curves of the chosen channel; nothing changes without a chosen channel.
    void Draw();

    void onPaint(fw::Canvas &canvas) override;
    void onMouseMove(fw::Point p) override;
    void onMouseLeave() override;
    bool onMouseActivate() override { return false; }

    const std::vector<plot::Curve> &curves() const { return m_curves; }
    // The bin drawn at client x.
    int BinAt(int x) const;

    ChannelCounts m_counts;
    int m_nImageWidth = 0, m_nImageHeight = 0;

private:
    // A table of counts and the colour of its curve.
    struct Use {
        const std::array<uint32_t, 256> *table;
        fw::Color colour;
    };
    std::vector<Use> UsedTables(const std::string &channel) const;
    std::string HoverText() const;

    CHistoDlg &m_dlg;
    std::vector<plot::Curve> m_curves;
    std::vector<const std::array<uint32_t, 256> *> m_shown;  // tables of the drawn curves
    bool m_bDrawn = false;  // before the first drawing the plot shows the button face
    int m_nHoverX = -1;
};
