// The "Camera Control" pane: the page menu on the left, one setting page at a time beside it.
#pragma once

#include "framework/Window.h"

#include <memory>

class CMenuDlg;
class CFormPage;
class CFeatureCtrlDlg;
class CCaptureDlg;
class CTriggerCtrlDlg;
class CROIDlg;
class CLUTDlg;
class CGeneralSettingDlg;
class CXMLTreeDlg;
class CMolvaneView;

class CControlBasePane : public fw::Window {
public:
    enum class Page { Format, Feature, Trigger, Roi, Capture, Lut };

    CControlBasePane();
    ~CControlBasePane() override;

    void ShowPage(Page page);
    void ShowTreePage();
    // The active camera changed or acquisition started: the visible page reads it again.
    void RefreshPages();
    // A camera view is going away with its tree page.
    void ForgetTreePage(CXMLTreeDlg *page);

    bool onCreate() override;
    void onSize(int width, int height) override;
    void onDestroy() override;
    void onCloseBox() override;
    void onFloat(bool floating) override;

    CMenuDlg *m_pMenuDlg = nullptr;
    CFeatureCtrlDlg *m_pFeatureDlg = nullptr;
    CCaptureDlg *m_pCaptureDlg = nullptr;
    CTriggerCtrlDlg *m_pTriggerDlg = nullptr;
    CROIDlg *m_pROIDlg = nullptr;
    CLUTDlg *m_pLUTDlg = nullptr;
    CGeneralSettingDlg *m_pFormatDlg = nullptr;
    CXMLTreeDlg *m_pTreeDlg = nullptr;
    CMolvaneView *m_pTreeView = nullptr;
    fw::Rect m_rcMenu;
    fw::Window *m_pCurrentPage = nullptr;
    int m_bTreeCurrent = 0;

private:
    template <typename PageT>
    void ShowSharedPage(PageT *&page);
    void ShowTreePageOf(CMolvaneView *view);
    bool createPage(CFormPage &page);
    void place(fw::Window &page);
    void leaveCurrentPage();
    static bool live(fw::Window *w) { return w && w->hasWindow() && w->isWindowVisible(); }
};
