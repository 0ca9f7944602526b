// The "Camera Control" pane.
#include "app/CControlBasePane.h"

#include "app/AppAccess.h"
#include "app/CMainFrame.h"
#include "app/CMenuDlg.h"
#include "pages/CCaptureDlg.h"
#include "pages/CFeatureCtrlDlg.h"
#include "pages/CGeneralSettingDlg.h"
#include "pages/CLUTDlg.h"
#include "pages/CROIDlg.h"
#include "pages/CTriggerCtrlDlg.h"
#include "pages/CXMLTreeDlg.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

CControlBasePane::CControlBasePane() = default;

CControlBasePane::~CControlBasePane() { destroyWindow(); }

bool CControlBasePane::onCreate()
{
    m_pMenuDlg = new CMenuDlg(*this);
    fw::WindowSpec params;
    params.kind = fw::WindowKind::FormChild;
    params.parent = this;
    params.templateId = res::DialogPageMenu;
    params.controlId = res::DialogPageMenu;
    params.rect = {0, 0, 230, 211};
    if (!m_pMenuDlg->create(params))
        return false;
    m_pMenuDlg->onInitialUpdate();
    m_pMenuDlg->showWindow(true);
    m_rcMenu = {0, 0, 230, 211};
    ShowPage(Page::Format);
    m_pCurrentPage = m_pFormatDlg;
    return true;
}

void CControlBasePane::onDestroy()
{
    // Tree pages belong to their camera views.
    for (fw::Window *w : std::initializer_list<fw::Window *>{m_pMenuDlg, m_pFeatureDlg, m_pCaptureDlg,
                                                             m_pTriggerDlg, m_pROIDlg, m_pLUTDlg,
                                                             m_pFormatDlg})
        delete w;
    m_pMenuDlg = nullptr;
    m_pFeatureDlg = nullptr;
    m_pCaptureDlg = nullptr;
    m_pTriggerDlg = nullptr;
    m_pROIDlg = nullptr;
    m_pLUTDlg = nullptr;
    m_pFormatDlg = nullptr;
    m_pCurrentPage = nullptr;
}

bool CControlBasePane::createPage(CFormPage &page)
{
    fw::WindowSpec params;
    params.kind = fw::WindowKind::FormChild;
    params.parent = this;
    params.templateId = page.templateId();
    params.controlId = page.templateId();
    params.visible = false;
    return page.create(params);
}

void CControlBasePane::place(fw::Window &page)
{
    const fw::Rect client = clientRect();
    const int w = m_rcMenu.right;
    page.moveWindow({w, 0, std::max(w, client.right), client.bottom});
}

void CControlBasePane::leaveCurrentPage()
{
    if (m_pCurrentPage == m_pTriggerDlg && m_pTriggerDlg)
        m_pTriggerDlg->RestoreContinuousAcquisition();
    m_pCurrentPage->showWindow(false);
}

void CControlBasePane::ShowPage(Page which)
{
    switch (which) {
    case Page::Format: ShowSharedPage(m_pFormatDlg); break;
    case Page::Feature: ShowSharedPage(m_pFeatureDlg); break;
    case Page::Trigger: ShowSharedPage(m_pTriggerDlg); break;
    case Page::Roi: ShowSharedPage(m_pROIDlg); break;
    case Page::Capture: ShowSharedPage(m_pCaptureDlg); break;
    case Page::Lut: ShowSharedPage(m_pLUTDlg); break;
    }
}

template <typename PageT>
void CControlBasePane::ShowSharedPage(PageT *&page)
{
    if (!page) {
        page = new PageT;
        if (!createPage(*page))
            return;
        page->onInitialUpdate();
    } else if (page->isWindowVisible()) {
        return;  // the page shown already is not read again
    } else {
        page->onInitialUpdate();
    }
    place(*page);
    if (live(m_pCurrentPage) && m_pCurrentPage != page)
        leaveCurrentPage();
    m_pCurrentPage = page;
    m_bTreeCurrent = 0;
    page->showWindow(true);
}

void CControlBasePane::ShowTreePage()
{
    CMainFrame *frame = mainFrame();
    ShowTreePageOf(frame ? frame->activeCameraView() : nullptr);
}

void CControlBasePane::ShowTreePageOf(CMolvaneView *view)
{
    m_pTreeView = view;
    if (!view)
        return;
    if (!view->m_pXMLTreeDlg) {
        view->m_pXMLTreeDlg = new CXMLTreeDlg;
        if (!createPage(*view->m_pXMLTreeDlg))
            return;
        view->m_pXMLTreeDlg->onInitialUpdate();
    } else if (view->m_pXMLTreeDlg->hasWindow()) {
        view->m_pXMLTreeDlg->showWindow(true);
    }
    m_pTreeDlg = view->m_pXMLTreeDlg;
    place(*m_pTreeDlg);
    if (live(m_pCurrentPage) && m_pCurrentPage != m_pTreeDlg) {
        leaveCurrentPage();
        m_pCurrentPage = m_pTreeDlg;
    } else if (!m_bTreeCurrent && !m_pCurrentPage) {
        m_pCurrentPage = m_pTreeDlg;
    }
    m_bTreeCurrent = 1;
    m_pTreeDlg->showWindow(true);
}

void CControlBasePane::RefreshPages()
{
    for (fw::Window *page : std::initializer_list<fw::Window *>{m_pFeatureDlg, m_pCaptureDlg, m_pTriggerDlg,
                                                                m_pROIDlg, m_pLUTDlg, m_pFormatDlg}) {
        if (live(page)) {
            page->onInitialUpdate();
            if (!m_pCurrentPage && !m_bTreeCurrent)
                ShowTreePage();
            return;
        }
    }
    if (live(m_pTreeDlg)) {
        CMainFrame *frame = mainFrame();
        CMolvaneView *view = frame ? frame->activeCameraView() : nullptr;
        if (view && view->hasWindow() && view->m_pXMLTreeDlg != m_pTreeDlg) {
            m_pCurrentPage = m_pTreeDlg;
            ShowTreePage();
        }
        if (m_pTreeDlg)
            m_pTreeDlg->showWindow(true);
    }
    if (!m_pCurrentPage && !m_bTreeCurrent)
        ShowTreePage();
}

void CControlBasePane::ForgetTreePage(CXMLTreeDlg *page)
{
    if (!page)
        return;
    CMainFrame *frame = mainFrame();
    CMolvaneView *active = frame ? frame->activeCameraView() : nullptr;
    // The view going away may still be the active one: look for another.
    if (active && active->m_pXMLTreeDlg == page) {
        active = nullptr;
        for (CMolvaneView *v : g_listCameraView)
            if (v->m_pXMLTreeDlg != page)
                active = v;
    }
    m_pTreeView = active;
    const bool shown = live(page);
    if (m_pCurrentPage == page)
        m_pCurrentPage = nullptr;
    if (!active) {
        m_pTreeDlg = nullptr;
        if (m_bTreeCurrent) {
            m_pCurrentPage = nullptr;
            m_bTreeCurrent = 0;
        }
    } else if (page == m_pTreeDlg) {
        // A tree page on show is replaced by the tree of the window left active; one hidden
        // behind another page leaves that page where it is.
        m_pTreeDlg = active->m_pXMLTreeDlg;
        if (shown) {
            page->showWindow(false);
            ShowTreePageOf(active);
            m_pCurrentPage = m_pTreeDlg;
        }
    }
    delete page;
}

void CControlBasePane::onSize(int width, int height)
{
    const int w = m_rcMenu.right;
    if (m_pMenuDlg && m_pMenuDlg->hasWindow())
        m_pMenuDlg->moveWindow({0, 0, w, height});
    for (fw::Window *page : std::initializer_list<fw::Window *>{m_pFeatureDlg, m_pCaptureDlg, m_pTriggerDlg,
                                                                m_pROIDlg, m_pLUTDlg, m_pFormatDlg, m_pTreeDlg})
        if (live(page))
            page->moveWindow({w, 0, std::max(w, width), height});
}

void CControlBasePane::onFloat(bool floating)
{
    if (!floating)
        return;
    // A floating pane is wide: the menu, and the page beside it, in a 1300 x 400 frame.
    const int w = m_rcMenu.right;
    if (m_pMenuDlg && m_pMenuDlg->hasWindow())
        m_pMenuDlg->moveWindow({0, 0, w, 1300});
    for (fw::Window *page : std::initializer_list<fw::Window *>{m_pFeatureDlg, m_pCaptureDlg, m_pTriggerDlg,
                                                                m_pROIDlg, m_pLUTDlg, m_pFormatDlg, m_pTreeDlg})
        if (live(page))
            page->moveWindow({w, 0, 1300, 400});
    moveWindow({0, 0, 1300, 400});
}

void CControlBasePane::onCloseBox()
{
    // The close box acts as the Camera Control toolbar button, so the switch stays in step.
    if (CMainFrame *frame = mainFrame())
        frame->routeCommand(res::CmdCameraControl);
}
