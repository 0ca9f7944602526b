// The LUT page: the user look-up table (number, file, on/off, pass-through) and the 4-step knee
// table with its edits, spins and graph.
#pragma once

#include "pages/CFormPage.h"
#include "pages/LutFile.h"

#include <cstdint>
#include <memory>
#include <string>

class CKneeLUTView;
namespace cam {
class CMolvane;
}

class CLUTDlg : public CFormPage {
public:
    static constexpr int kTemplate = 145;
    using LutTable = LutFile::Table;

    CLUTDlg();
    ~CLUTDlg() override;

    void onInitialUpdate() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;

    void OnSetLut();
    void OnWriteLut();
    void OnKneeSet();
    void OnLinear();

    // The knee table (the page's working copy) and what the graph does to it.
    int KneeX(int point) const { return m_nKnee[2 * point]; }
    int KneeY(int point) const { return m_nKnee[2 * point + 1]; }
    void MoveKneePoint(int point, int x, int y);
    void ClampKnee();
    void ShowCurrentPoint(int x, int y);
    CKneeLUTView *kneeView() const { return m_pKneeView.get(); }

private:
    bool ReadKnee(cam::CMolvane &camera);
    void ShowKneeValue(int index, int value);
    void OnSpin(int index);

    std::array<int, 8> m_nKnee{};  // x1, y1, x2, y2, x3, y3, x4, y4
    std::unique_ptr<CKneeLUTView> m_pKneeView;
    int m_nSelectedLut = 0;
};
