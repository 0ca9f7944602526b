// The Node tree page: the camera's feature tree, one page per camera window.
#pragma once

#include "pages/CFormPage.h"

class CXMLTreeDlg : public CFormPage {
public:
    static constexpr int kTemplate = 150;
    CXMLTreeDlg() : CFormPage(kTemplate) {}
};
