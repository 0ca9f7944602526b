// The LUT page: user look-up tables and the 4-step knee table.
#pragma once

#include "pages/CFormPage.h"

class CLUTDlg : public CFormPage {
public:
    static constexpr int kTemplate = 145;
    CLUTDlg() : CFormPage(kTemplate) {}
};
