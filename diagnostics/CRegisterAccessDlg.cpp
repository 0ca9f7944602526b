// A "Register Access" window.
#include "diagnostics/CRegisterAccessDlg.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

using namespace res;

CRegisterAccessDlg::CRegisterAccessDlg()
{
    on(fw::Notify::Clicked, RegRead, [this] { OnRead(); });
    on(fw::Notify::Clicked, RegWrite, [this] { OnWrite(); });
    on(fw::Notify::EditChange, RegAddress, [this] { OnEdit(); });
    on(fw::Notify::EditChange, RegData, [this] { OnEdit(); });
}

bool CRegisterAccessDlg::onCreate()
{
    form().enable(RegRead, false);
    form().enable(RegWrite, false);
    return true;
}

uint32_t CRegisterAccessDlg::ParseHex(const std::string &text)
{
    uint32_t v = 0;
    for (size_t i = 0; i < text.size() && i < 8 && std::isxdigit(static_cast<unsigned char>(text[i])); ++i)
        v = v * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(text[i]))
                                               ? text[i] - '0'
                                               : std::tolower(static_cast<unsigned char>(text[i])) - 'a' + 10);
    return v;
}

void CRegisterAccessDlg::OnEdit()
{
    const bool address = !form().text(RegAddress).empty();
    form().enable(RegRead, address);
    form().enable(RegWrite, address && !form().text(RegData).empty());
}

void CRegisterAccessDlg::OnRead()
{
    CMainFrame *frame = mainFrame();
    CMolvaneView *view = frame ? frame->activeCameraView() : nullptr;
    if (!view || !view->m_pCamera)
        return;
    try {
        const auto v = static_cast<uint32_t>(view->m_pCamera->ReadRegister(
            static_cast<int>(ParseHex(form().text(RegAddress)))));
        char text[16];
        std::snprintf(text, sizeof text, "%08x", v);
        form().setText(RegData, text);
    } catch (const std::exception &) {
        form().setText(RegData, "");  // a failed read says so by an empty field
    }
    OnEdit();  // the Data field changed: Write follows it as after typing
}

void CRegisterAccessDlg::OnWrite()
{
    CMainFrame *frame = mainFrame();
    CMolvaneView *view = frame ? frame->activeCameraView() : nullptr;
    if (!view || !view->m_pCamera)
        return;
    try {
        view->m_pCamera->WriteRegister(static_cast<int>(ParseHex(form().text(RegAddress))),
                                       static_cast<int>(ParseHex(form().text(RegData))));
    } catch (const std::exception &) {
        // A refused write leaves everything as it was.
    }
}

void CRegisterAccessDlg::onClose()
{
    showWindow(false);
    m_bShown = 0;
    if (CMainFrame *frame = mainFrame())
        frame->m_nRegisterDlg = std::max(0, frame->m_nRegisterDlg - 1);
}

bool CRegisterAccessDlg::preTranslateKey(const fw::KeyEvent &key)
{
    if (key.key != fw::Key::Enter && key.key != fw::Key::Escape)
        return false;
    if (form().isEnabled(RegWrite))
        OnWrite();
    else
        OnRead();
    form().enable(RegWrite, false);
    return true;
}
