// The trigger sequence table window.
#include "pages/CTriggerExtraDlg.h"

#include "app/AppAccess.h"
#include "framework/TypedNumber.h"
#include "framework/BalloonAt.h"
#include "framework/ErrorReport.h"
#include "framework/Platform.h"
#include "pages/TriggerTableFile.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace res;

CTriggerExtraDlg *g_pTriggerExtraDlg = nullptr;

const char *const CTriggerExtraDlg::kFileFilter = "Data File(*.dat)|*.dat|All Files( *.* )|*.*|";

CTriggerExtraDlg::CTriggerExtraDlg() : m_table(kRecords)
{
    using N = fw::Notify;
    on(N::Clicked, SeqSet, [this] { Send(SeqSet); });
    on(N::Clicked, SeqSave, [this] { OnSave(); });
    on(N::Clicked, SeqLoad, [this] { OnLoad(); });
    on(N::Clicked, SeqImport, [this] { OnImport(); });
    on(N::Clicked, SeqExport, [this] { OnExport(); });
    on(N::CellEditBegin, SeqGrid, [this] { m_bTableChanged = 1; });
    on(N::CellEditEnd, SeqGrid, [this] { m_bTableChanged = 1; });
}

cam::CMolvane *CTriggerExtraDlg::Camera()
{
    CMolvaneView *view = activeCameraView();
    return view && view->m_pCamera && view->m_pCamera->GetCameraIndex() >= 0 ? view->m_pCamera : nullptr;
}

void CTriggerExtraDlg::Message(const std::string &text)
{
    fw::platform().messageBox(text, "", fw::MsgButtons::Ok, fw::MsgIcon::Exclamation);
}

bool CTriggerExtraDlg::onCreate()
{
    form().setSelection(SeqSaveSlot, 0);
    form().setSelection(SeqLoadSlot, 0);
    form().setFixedColumns(SeqGrid, 1);
    form().setHeaderHeight(SeqGrid, 25);
    // A camera that refuses is reported; the window still opens with what it has.
    fw::guarded([this] {
        if (cam::CMolvane *c = Camera()) {
            ReadBounds(*c);
            ReadTable(*c);
        }
    });
    ShowHeaders();
    TableToGrid();
    m_bTableChanged = 0;
    return true;
}

void CTriggerExtraDlg::ReadBounds(cam::CMolvane &c)
{
    m_nGainMin = c.GetGainMin();
    m_nGainMax = c.GetGainMax();
    m_nShutterMin = c.GetExposureTimeMin();
    m_nShutterMax = c.GetExposureTimeMax();
}

void CTriggerExtraDlg::ShowHeaders()
{
    char gain[64], shutter[64];
    std::snprintf(gain, sizeof gain, "Gain( %d~%d )", m_nGainMin, m_nGainMax);
    std::snprintf(shutter, sizeof shutter, "Shutter( %d~%d )", m_nShutterMin, m_nShutterMax);
    form().setColumns(SeqGrid, {"Frame Order", "Increment", gain, shutter}, {80, 80, 110, 130});
}

void CTriggerExtraDlg::ReadTable(cam::CMolvane &c)
{
    // Records are taken up to the first with increment 0 (that one included); the rest stay.
    const auto records = c.GetTriggerSequenceTable();
    for (size_t i = 0; i < records.size() && i < m_table.size(); ++i) {
        m_table[i] = records[i];
        if (records[i].increment == 0)
            break;
    }
}

void CTriggerExtraDlg::TableToGrid()
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < kRecords; ++r) {
        const cam::TriggerRecord &t = m_table[r];
        rows.push_back({std::to_string(r + 1), std::to_string(t.increment), std::to_string(t.gain),
                        std::to_string(t.shutter)});
    }
    form().setRows(SeqGrid, std::move(rows));
}

void CTriggerExtraDlg::GridToTable()
{
    // A cell without a number counts as 0.
    for (int r = 0; r < kRecords; ++r) {
        auto value = [&](int column) { return fw::wholeNumber(form().cell(SeqGrid, r, column)); };
        m_table[r] = {r, value(1), value(2), value(3)};
    }
}

bool CTriggerExtraDlg::Validate()
{
    for (const cam::TriggerRecord &t : m_table) {
        if (t.increment == 0)
            return true;
        if (t.gain < m_nGainMin || t.gain > m_nGainMax) {
            Message(fw::loadString(559));
            return false;
        }
        if (t.shutter < m_nShutterMin || t.shutter > m_nShutterMax) {
            Message(fw::loadString(540));
            return false;
        }
    }
    return true;
}

bool CTriggerExtraDlg::Send(int anchor)
{
    cam::CMolvane *c = Camera();
    if (!c)
        return false;
    m_bTableChanged = 0;
    form().enable(SeqSet, false);
    GridToTable();
    if (!Validate()) {
        form().enable(SeqSet, true);
        return false;
    }
    try {
        c->SetTriggerSequenceTable(m_table);
    } catch (...) {
        form().enable(SeqSet, true);
        throw;
    }
    form().enable(SeqSet, true);
    fw::balloonAt(*this, anchor, fw::BalloonIcon::Information, fw::loadString(556), fw::loadString(535));
    return true;
}

void CTriggerExtraDlg::OnSave()
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    Send(SeqSave);
    // The slot takes the camera's current table, whether or not this one was sent.
    c->SaveTriggerSequence(form().selection(SeqSaveSlot));
    fw::balloonAt(*this, SeqSave, fw::BalloonIcon::Information, fw::loadString(556), fw::loadString(557));
}

void CTriggerExtraDlg::OnLoad()
{
    cam::CMolvane *c = Camera();
    if (!c)
        return;
    c->LoadTriggerSequence(form().selection(SeqLoadSlot));
    ReadTable(*c);
    ReadBounds(*c);
    ShowHeaders();
    TableToGrid();
}

void CTriggerExtraDlg::OnExport()
{
    GridToTable();
    const auto path = fw::platform().saveFileDialog(kFileFilter, std::filesystem::current_path().string());
    if (!path)
        return;
    if (!TriggerTableFile::Write(*path, m_table))
        Message(fw::loadString(514));
}

void CTriggerExtraDlg::OnImport()
{
    const std::string start = (std::filesystem::current_path() / "table" / "Trigger").string();
    const auto path = fw::platform().openFileDialog(kFileFilter, start);
    if (!path)
        return;
    const TriggerTableFile::Result file = TriggerTableFile::Read(*path);
    switch (file.status) {
    case TriggerTableFile::Status::CannotOpen: Message(fw::loadString(514)); return;
    case TriggerTableFile::Status::TooManyRecords: fw::warnAt(*this, SeqGrid, 558); return;
    case TriggerTableFile::Status::Malformed: Message("The table file cannot be read. " + file.problem); return;
    case TriggerTableFile::Status::Ok: break;
    }
    // The first number of each line is the row number; it is not used.
    std::vector<cam::TriggerRecord> table(kRecords);
    for (size_t i = 0; i < file.records.size(); ++i)
        table[i] = {static_cast<int32_t>(i), file.records[i].increment, file.records[i].gain, file.records[i].shutter};
    m_table = table;
    TableToGrid();
    m_bTableChanged = 1;
}

void CTriggerExtraDlg::onClose()
{
    if (m_bTableChanged &&
        fw::platform().messageBox("Table data is not preserved.", "", fw::MsgButtons::OkCancel, fw::MsgIcon::None) !=
            fw::MsgResult::Ok)
        return;
    destroyWindow();
}
