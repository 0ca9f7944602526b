// The trigger, strobe and shot page.
#pragma once

#include "pages/CFormPage.h"

class CTriggerCtrlDlg : public CFormPage {
public:
    static constexpr int kTemplate = 319;
    CTriggerCtrlDlg() : CFormPage(kTemplate) {}

    // Leaving the page: a camera left playing in a shot mode goes back to continuous acquisition.
    void RestoreContinuousAcquisition();
};
