// The "Event Log Viewer".
#include "diagnostics/CEventLogDlg.h"

#include <algorithm>

CEventLogDlg::CEventLogDlg() : CToolWindow(res::DialogEventLog, res::MsgEventLogClosed)
{
    on(fw::Notify::Clicked, res::LogClear, [this] { form().clearItems(res::LogList); });
}

bool CEventLogDlg::onCreate()
{
    form().setCheck(res::LogFrameDrop, 0);
    form().clearItems(res::LogList);
    return true;
}

void CEventLogDlg::AddFrameDrop(const std::string &name)
{
    AddLine("[" + name + "] FrameDrop Event Generated.");
}

void CEventLogDlg::AddLine(const std::string &line)
{
    const auto &items = form().items(res::LogList);
    const auto at = std::upper_bound(items.begin(), items.end(), line);
    form().insertItem(res::LogList, static_cast<int>(at - items.begin()), line);
}
