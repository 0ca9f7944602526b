// The Feature control page: gain, exposure, white balance and the other image features.
#pragma once

#include "pages/CFormPage.h"

class CFeatureCtrlDlg : public CFormPage {
public:
    static constexpr int kTemplate = 315;
    CFeatureCtrlDlg() : CFormPage(kTemplate) {}
};
