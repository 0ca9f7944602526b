// The "Event Log Viewer": frame drops of the open cameras, one sorted line each, while its
// "Frame Drop" option is checked.
#pragma once

#include "app/CToolWindow.h"
#include "res/ResourceIds.h"

#include <string>

class CEventLogDlg : public CToolWindow {
public:
    CEventLogDlg();
    bool onCreate() override;
    bool Logging() const { return form().check(res::LogFrameDrop) != 0; }
    // Adds "[name] FrameDrop Event Generated." at its sorted place.
    void AddFrameDrop(const std::string &name);
    // Adds any line at its sorted place.
    void AddLine(const std::string &line);
};
