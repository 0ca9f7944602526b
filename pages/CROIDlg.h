// The region of interest and packet size page: four corner values with spins, two shortcuts,
// "Set Area", the packet size of IEEE 1394 cameras, and the rectangle view of the sensor.
#pragma once

#include "pages/CFormPage.h"

#include <map>
#include <memory>

class CRectView;
namespace cam {
class CMolvane;
}

class CROIDlg : public CFormPage {
public:
    static constexpr int kTemplate = 320;
    CROIDlg();
    ~CROIDlg() override;

    void onInitialUpdate() override;
    bool preTranslateKey(const fw::KeyEvent &key) override;

    // Corner values as the page shows them (sensor pixels), and the sizes (end minus start).
    int StartX() const { return Value(kStartX); }
    int StartY() const { return Value(kStartY); }
    int EndX() const { return Value(kEndX); }
    int EndY() const { return Value(kEndY); }
    int SizeX() const;
    int SizeY() const;
    // Moving the corners (spins and edits) without touching the camera; the view calls these.
    void SetStart(int x, int y);
    void SetEnd(int x, int y);
    void ShowSizes();

    void OnSetArea();
    void OnStartZero();
    void OnEndMax();
    void OnPacketSet();
    void OnModeButton();

    CRectView *rectView() const { return m_pRectView.get(); }

    int m_nUnitX = 1, m_nUnitY = 1;  // increments of "Width" and "Height"
    int m_nMaxX = 0, m_nMaxY = 0;    // GetMaxWidth, GetMaxHeight
    int m_nPacketMin = 0, m_nPacketMax = 0;
    int m_nRectMode = 0;  // rectangle view: 0 draws a new region, 1 moves the region
    bool m_bRectViewCreated = false;

private:
    // One corner value: its edit, its spin and the rectangle view's edge it moves.
    struct Corner {
        int edit;
        int spin;
        int edge;
        bool horizontal;
    };
    static const Corner kStartX, kStartY, kEndX, kEndY;

    int Value(const Corner &c) const;
    void SetCorner(const Corner &c, int value);
    void MoveCorner(const Corner &c, int value);
    void ApplyTyped(const Corner &c);
    void OnCornerSpin(const Corner &c);
    void OnPacketSpin();
    bool RegionAcceptable(cam::CMolvane &camera);
    bool AxisAcceptable(cam::CMolvane &camera, int start, int end, bool horizontal);
    void ShowPacketBounds(cam::CMolvane &camera);
    void EnableRegion(bool enabled);
    void ShowRectView();
    void ShowModeButton();
    void SetSpin(int spin, int pos);

    std::unique_ptr<CRectView> m_pRectView;
    std::map<int, int> m_lastPos;  // each spin's position as last set, to tell a click's way
};
