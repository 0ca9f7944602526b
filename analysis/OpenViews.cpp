// The camera windows the analysis windows work for.
#include "analysis/OpenViews.h"

#include "app/AppAccess.h"

#include <algorithm>

CMolvaneView *ActiveCameraView(CMolvaneView *fallback)
{
    CMolvaneView *active = activeCameraView();
    return active ? active : fallback;
}

bool IsOpenView(const CMolvaneView *view)
{
    return view && std::find(g_listCameraView.begin(), g_listCameraView.end(), view) != g_listCameraView.end();
}
