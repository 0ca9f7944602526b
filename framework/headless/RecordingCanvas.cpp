// A canvas that records every drawing call.
#include "framework/headless/RecordingCanvas.h"

namespace fw {

DrawCall &RecordingCanvas::record(DrawCall::Op op)
{
    DrawCall call;
    call.op = op;
    call.pen = pen();
    call.brush = brush();
    call.background = background();
    call.textColor = textColor();
    calls_.push_back(call);
    return calls_.back();
}

void RecordingCanvas::fillRect(const Rect &rect, const Brush &brush)
{
    DrawCall &c = record(DrawCall::Op::FillRect);
    c.rect = rect;
    c.brush = brush;
}

void RecordingCanvas::line(Point from, Point to) { record(DrawCall::Op::Line).points = {from, to}; }

void RecordingCanvas::polyline(const std::vector<Point> &points)
{
    record(DrawCall::Op::Polyline).points = points;
}

void RecordingCanvas::rectangle(const Rect &rect) { record(DrawCall::Op::Rectangle).rect = rect; }

void RecordingCanvas::text(Point at, const std::string &text)
{
    DrawCall &c = record(DrawCall::Op::Text);
    c.at = at;
    c.text = text;
}

std::vector<DrawCall> RecordingCanvas::callsOf(DrawCall::Op op) const
{
    std::vector<DrawCall> out;
    for (const auto &c : calls_)
        if (c.op == op)
            out.push_back(c);
    return out;
}

} // namespace fw
