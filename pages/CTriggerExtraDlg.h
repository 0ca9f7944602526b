// The trigger sequence table of trigger modes 12 and 13: a modeless window with an editable
// grid of 255 records (increment, gain, shutter), sent to the camera, kept in its 16 slots and
// exchanged with table files. One exists in the process; the trigger page owns it.
#pragma once

#include "camera/CameraDevice.h"
#include "framework/Window.h"

#include <vector>

namespace cam {
class CMolvane;
}

class CTriggerExtraDlg : public fw::Window {
public:
    static constexpr int kRecords = 255;
    static const char *const kFileFilter;

    CTriggerExtraDlg();

    bool onCreate() override;  // the dialog's initialisation
    void onClose() override;
    void onCloseBox() override { onClose(); }

    void GridToTable();
    void TableToGrid();
    bool Validate();
    // Sends the table; the success balloon points at `anchor`. False when validation refused it.
    bool Send(int anchor);
    void OnSave();
    void OnLoad();
    void OnImport();
    void OnExport();

    std::vector<cam::TriggerRecord> m_table;  // always kRecords records
    int m_bTableChanged = 0;
    int m_nGainMin = 0, m_nGainMax = 0, m_nShutterMin = 0, m_nShutterMax = 0;

private:
    void ReadBounds(cam::CMolvane &c);
    void ShowHeaders();
    void ReadTable(cam::CMolvane &c);
    void Message(const std::string &text);
    static cam::CMolvane *Camera();
};

// The process-wide trigger sequence table, null until the trigger page first opens it.
extern CTriggerExtraDlg *g_pTriggerExtraDlg;
