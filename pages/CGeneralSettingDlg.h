// The Format page: pixel format, frame rate, user sets, effects, rotation, Bayer, zoom.
#pragma once

#include "pages/CFormPage.h"

class CGeneralSettingDlg : public CFormPage {
public:
    static constexpr int kTemplate = 147;
    CGeneralSettingDlg() : CFormPage(kTemplate) {}
};
