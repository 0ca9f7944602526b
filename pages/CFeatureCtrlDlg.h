// The Feature Control page: thirteen image features of the active camera in a list, with a
// slider, a value box, Auto, a list of choices and the exposure time as text.
#pragma once

#include "camera/CMolvane.h"
#include "pages/CFormPage.h"

#include <string>

class CFeatureCtrlDlg : public CFormPage {
public:
    static constexpr int kTemplate = 315;
    CFeatureCtrlDlg();

    void onInitialUpdate() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;
    void onTimer(int id) override;
    void onClose() override;

    void RefreshFeaturePage();
    void FillFeatureList();
    void SelectFeature(const std::string &node, const std::string &display);
    void ApplyFeatureValue();
    // Reads a feature by its node name; false (and -1) when the camera refuses or the name is
    // not one of the thirteen.
    bool GetFeatureValue(const std::string &node, int &value);
    void GetFeatureRange(const std::string &node);

    int m_nValue = 0, m_nLower = 0, m_nUpper = 0;
    int m_bAuto = 0;
    int m_bWhiteBalance = 0;
    int m_bFirstRefresh = 1;
    int m_nSelectedRow = 0;
    cam::StringList m_varGainEntries;

private:
    void OnListClick();
    void OnAuto();
    void OnChoice();
    void OnDefault();
    void OnSlider();
    void SelectGain(cam::CMolvane &c, const std::string &display);
    void SelectExposure(cam::CMolvane &c, const std::string &display);
    void SelectWhiteBalance(cam::CMolvane &c, const std::string &display);
    void ShowValueControls(bool shown);
    int RowOf(const std::string &display) const;
    void SetCell(const std::string &display, int column, const std::string &text);
    std::string SelectedNode() const;
    cam::CMolvane *Camera();
};
