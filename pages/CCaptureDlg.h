// The Capture page: stills, series and AVI streams.
#pragma once

#include "pages/CFormPage.h"

class CCaptureDlg : public CFormPage {
public:
    static constexpr int kTemplate = 317;
    CCaptureDlg() : CFormPage(kTemplate) {}
};
