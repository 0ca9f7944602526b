// The camera windows the analysis windows work for.
#pragma once

class CMolvaneView;

// The camera view of the active camera window, or `fallback` when there is none (no main
// frame: a benchmark or a test hands the view over itself).
CMolvaneView *ActiveCameraView(CMolvaneView *fallback);
// The view is still open (a camera window that closed has left the list).
bool IsOpenView(const CMolvaneView *view);
