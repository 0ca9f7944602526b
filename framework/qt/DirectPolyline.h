// Solid one-pixel polylines written straight into a raster image.
#pragma once

#include "framework/Types.h"

#include <QRgb>

#include <vector>

class QPainter;

namespace fw {

// Draws `points` joined by one-pixel lines of the opaque `colour` directly into the image the
// painter's raster engine paints on, clipped to the region being painted. Qt's own line
// stroker spends several nanoseconds a pixel; a live plot of a noisy 1920-pixel line at 30
// paints a second made that most of the user-interface thread's time. Returns false, drawing
// nothing, where that image cannot be written as it is (another engine or device, a scaled or
// rotated painter such as on a high-DPI screen, antialiasing, a clip of the painter's own, a
// blend other than plain painting): the caller draws with QPainter then.
bool drawPolylineDirect(QPainter &painter, const std::vector<Point> &points, QRgb colour);

} // namespace fw
