// A balloon pointing at a control of a window: at the middle of its lower edge.
#pragma once

#include "framework/Platform.h"
#include "framework/Window.h"

#include <string>

namespace fw {

inline void balloonAt(const Window &window, int controlId, BalloonIcon icon, const std::string &title,
                      const std::string &text)
{
    const Rect r = window.controlScreenRect(controlId);
    platform().showBalloon({title, text, icon, {r.left + r.width() / 2, r.bottom}});
}

// The warning balloon: caption "Warning!" and a text from the string table.
inline void warnAt(const Window &window, int controlId, int stringId)
{
    balloonAt(window, controlId, BalloonIcon::Warning, loadString(511), loadString(stringId));
}

} // namespace fw
