// Colours and the pointer read-out shared by the analysis plots.
#pragma once

#include "framework/Canvas.h"

#include <algorithm>
#include <string>
#include <vector>

namespace plot {

// The pens of the plots (0x00BBGGRR values 0xFF0000, 0x00FF00, 0x0000FF, 0x000000).
inline const fw::Color kBlue{0, 0, 255}, kGreen{0, 255, 0}, kRed{255, 0, 0}, kBlack{0, 0, 0};
inline const fw::Color kPlotGround{200, 200, 200};  // 0xC8C8C8
inline const fw::Color kButtonFace{240, 240, 240};
// Live plots are painted at most 30 times a second: smooth to the eye, and the camera may feed
// them more often than that.
constexpr int kPaintInterval = 33;

// One curve of a plot with the pen it is drawn with.
struct Curve {
    fw::Pen pen;
    std::vector<fw::Point> points;
};

inline void DrawCurves(fw::Canvas &c, const std::vector<Curve> &curves)
{
    for (const Curve &curve : curves) {
        c.setPen(curve.pen);
        c.polyline(curve.points);
    }
}

// Text on a patch of the plot's ground, so that it stays readable over dense curves (the patch
// is sized for the plot's 7-pixel-wide, 15-pixel-high characters).
inline void Label(fw::Canvas &c, fw::Point at, const std::string &text, fw::Color colour)
{
    size_t longest = 0, lines = 1, run = 0;
    for (char ch : text) {
        run = ch == '\n' ? 0 : run + 1;
        lines += ch == '\n';
        longest = std::max(longest, run);
    }
    c.fillRect({at.x - 2, at.y, at.x + static_cast<int>(longest) * 7 + 2, at.y + static_cast<int>(lines) * 15},
               fw::Brush{kPlotGround, false});
    c.setTextColor(colour);
    c.text(at, text);
}

// A dotted marker from `from` to `to` and the values under the pointer at `at`.
inline void DrawHover(fw::Canvas &c, fw::Point from, fw::Point to, fw::Point at, const std::string &text)
{
    const fw::Color old = c.setBackground(kPlotGround);
    c.setPen({{90, 90, 90}, 1, fw::PenStyle::Dot, false});
    c.line(from, to);
    c.setBackground(old);
    Label(c, at, text, {20, 20, 20});
}

} // namespace plot
