// The horizontal profile's plot: one image row, values upwards, positions to the right.
#pragma once

#include "analysis/CProfileView.h"

class CHorizonView : public CProfileView {
public:
    using CProfileView::CProfileView;

private:
    fw::Point PointAt(int i, int value, fw::Size client) const override;
    fw::Rect Ground(fw::Size client) const override;
    void PlaceReadout(int clicked, fw::Size client) override;
    int IndexAt(fw::Point p) const override;
    void DrawHover(fw::Canvas &c, int index, fw::Size client) const override;
    int Along(fw::Point p) const override { return p.x; }
    fw::Size Extent(int drawn) const override { return {drawn, 0}; }
};
