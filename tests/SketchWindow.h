// A window that draws itself for the canvas tests: a filled, outlined rectangle, a dotted line,
// a polyline and a caption; the left button captures the mouse and records where it went.
#pragma once

#include "framework/Canvas.h"
#include "framework/Window.h"

#include <vector>

struct SketchWindow : fw::Window {
    fw::Rect box{10, 20, 50, 40};
    std::vector<fw::Point> pressed, moved, released, dragged;

    void onPaint(fw::Canvas &c) override
    {
        const fw::Color old = c.setBackground({0, 0, 255});
        c.setPen({{255, 255, 255}, 1, fw::PenStyle::Dot, false});
        c.line({0, 5}, {80, 5});
        c.setBackground(old);
        c.setPen({{0, 0, 255}, 2, fw::PenStyle::Solid, true});
        c.setBrush({{255, 255, 150}, false});
        c.rectangle(box);
        c.setPen({{255, 0, 0}, 1, fw::PenStyle::Solid, false});
        c.polyline({{60, 50}, {70, 55}, {79, 50}});
        c.text({2, 45}, "ROI");
    }
    void onLButtonDown(fw::Point p) override
    {
        pressed.push_back(p);
        captureMouse(true);
    }
    void onMouseMove(fw::Point p) override { moved.push_back(p); }
    void onScrollDrag(fw::Point p) override { dragged.push_back(p); }
    void onLButtonUp(fw::Point p) override
    {
        released.push_back(p);
        captureMouse(false);
    }
};

inline fw::WindowSpec sketchSpec()
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::Dialog;
    params.rect = {0, 0, 80, 60};
    params.drawsItself = true;
    return params;
}
