// The region of interest and packet size page.
#pragma once

#include "pages/CFormPage.h"

class CROIDlg : public CFormPage {
public:
    static constexpr int kTemplate = 320;
    CROIDlg() : CFormPage(kTemplate) {}
};
