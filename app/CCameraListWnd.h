// The "Camera List" pane: one line per camera, one Cast_Mode record per line, opening cameras.
#pragma once

#include "app/Cast_Mode.h"
#include "camera/CMolvane.h"
#include "framework/Resources.h"
#include "framework/Window.h"

#include <string>
#include <vector>

class CCameraListWnd : public fw::Window {
public:
    CCameraListWnd();

    // Refills the list from the hidden component; failures leave the list as it was.
    void Enumerate();
    // Adds a record for every line that has none (after a camera arrived).
    void RebuildRecords();
    // Removes the record at a position (after a camera was removed).
    void RemoveRecord(int position);
    // Appends one fresh record per line (start-up).
    void AppendRecordsForLines();

    int selection() const;
    std::string selectedLine() const;
    int lineCount() const;
    std::string lineText(int position) const;
    void select(int position);
    Cast_Mode *record(int position);

    std::vector<Cast_Mode> m_listCastMode;

    bool onCreate() override;
    void onSize(int width, int height) override;
    void onContextMenu(int controlId, int item, fw::Point screen) override;

    void OnSelChange();
    void OnDblClick();
    void OnCastMode(int multicast);

private:
    void UpdateHorizontalExtent();

    cam::StringList m_varCameraList;
    bool m_menuLoaded = false;
    fw::MenuItem m_castModeMenu;
};
