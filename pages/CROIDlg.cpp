// The region of interest and packet size page.
#include "pages/CROIDlg.h"

#include "app/AppAccess.h"
#include "framework/TypedNumber.h"
#include "framework/Form.h"
#include "pages/CRectView.h"
#include "res/ResourceIds.h"
#include "view/CMolvaneView.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace res;

namespace {

constexpr int kMinimumSize = 48;  // the smallest region "Set Area" writes
constexpr int kPacketStep = 4;


std::string bounds(int lo, int hi)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "[ %d ~ %d ]", lo, hi);
    return buf;
}

bool onGrid(int v, int unit) { return unit <= 0 || v % unit == 0; }

} // namespace

const CROIDlg::Corner CROIDlg::kStartX{RoiStartX, RoiStartXSpin, CRectView::Left, true};
const CROIDlg::Corner CROIDlg::kStartY{RoiStartY, RoiStartYSpin, CRectView::Top, false};
const CROIDlg::Corner CROIDlg::kEndX{RoiEndX, RoiEndXSpin, CRectView::Right, true};
const CROIDlg::Corner CROIDlg::kEndY{RoiEndY, RoiEndYSpin, CRectView::Bottom, false};

CROIDlg::CROIDlg() : CFormPage(kTemplate)
{
    using N = fw::Notify;
    on(N::Clicked, RoiSetArea, [this] { OnSetArea(); });
    on(N::Clicked, RoiStartZero, [this] { OnStartZero(); });
    on(N::Clicked, RoiEndMax, [this] { OnEndMax(); });
    on(N::Clicked, RoiPacketSet, [this] { OnPacketSet(); });
    on(N::Clicked, RoiMode, [this] { OnModeButton(); });
    for (const Corner *c : {&kStartX, &kStartY, &kEndX, &kEndY})
        on(N::SpinDelta, c->spin, [this, c] { OnCornerSpin(*c); });
    on(N::SpinDelta, RoiPacketSpin, [this] { OnPacketSpin(); });
}

CROIDlg::~CROIDlg()
{
    m_pRectView.reset();  // the view is a child of this page: it goes first
    destroyWindow();
}

void CROIDlg::onInitialUpdate()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    m_nUnitX = c.GetIntInc("Width");
    m_nUnitY = c.GetIntInc("Height");
    const int x = c.GetOffsetX(), y = c.GetOffsetY();
    const int w = c.GetImageWidth(), h = c.GetImageHeight();
    m_nMaxX = c.GetMaxWidth();
    m_nMaxY = c.GetMaxHeight();
    form().setText(RoiUnitX, std::to_string(m_nUnitX));
    form().setText(RoiUnitY, std::to_string(m_nUnitY));
    view->m_nRoiWidth = w;
    view->m_nRoiHeight = h;
    form().setText(RoiSizeX, std::to_string(w));
    form().setText(RoiSizeY, std::to_string(h));
    for (const Corner *corner : {&kStartX, &kStartY, &kEndX, &kEndY})
        form().setRange(corner->spin, 0, corner->horizontal ? m_nMaxX : m_nMaxY);
    SetCorner(kStartX, x);
    SetCorner(kStartY, y);
    SetCorner(kEndX, x + w);
    SetCorner(kEndY, y + h);
    ShowModeButton();
    const int type = c.GetCameraType();
    if (type == 1) {
        fw::Form *info = cameraInfoForm();
        const std::string format = info ? info->text(InfoFormat) : std::string();
        if (format.find("Format7") == std::string::npos) {
            // The region of a 1394 camera only changes in a Format7 video format.
            EnableRegion(false);
            for (int id : {RoiPacket, RoiPacketSpin, RoiPacketSet})
                form().enable(id, false);
            if (m_pRectView)
                m_pRectView->showWindow(false);
            showWindow(true);
            return;
        }
        for (int id : {RoiPacket, RoiPacketSpin, RoiPacketSet})
            form().enable(id, true);
        ShowPacketBounds(c);
    } else if (type == 0) {
        for (int id : {RoiPacket, RoiPacketSpin, RoiPacketSet})
            form().enable(id, false);
    }
    ShowRectView();
    EnableRegion(true);
    showWindow(true);
}

void CROIDlg::ShowRectView()
{
    if (!m_pRectView) {
        m_pRectView = std::make_unique<CRectView>(*this);
        m_bRectViewCreated = m_pRectView->Create();
    }
    m_pRectView->showWindow(true);
    m_pRectView->InitScale();
    m_pRectView->SetEdge(StartX(), CRectView::Left);
    m_pRectView->SetEdge(StartY(), CRectView::Top);
    m_pRectView->SetEdge(EndX(), CRectView::Right);
    m_pRectView->SetEdge(EndY(), CRectView::Bottom);
    m_pRectView->invalidate();
}

void CROIDlg::EnableRegion(bool enabled)
{
    for (int id : {RoiStartX, RoiStartXSpin, RoiStartY, RoiStartYSpin, RoiEndX, RoiEndXSpin, RoiEndY,
                   RoiEndYSpin, RoiSetArea, RoiStartZero, RoiEndMax, RoiMode})
        form().enable(id, enabled);
}

void CROIDlg::ShowPacketBounds(cam::CMolvane &c)
{
    m_nPacketMin = c.GetBytePerPacketMin();
    m_nPacketMax = c.GetBytePerPacketMax();
    form().setRange(RoiPacketSpin, m_nPacketMin, m_nPacketMax);
    SetSpin(RoiPacketSpin, c.GetBytePerPacket());
    form().setText(RoiPacket, std::to_string(form().pos(RoiPacketSpin)));
    form().setText(RoiPacketBounds, bounds(m_nPacketMin, m_nPacketMax));
}

void CROIDlg::ShowModeButton() { form().setText(RoiMode, m_nRectMode == 0 ? "Draw" : "Move"); }

int CROIDlg::Value(const Corner &c) const { return fw::wholeNumber(form().text(c.edit)); }

int CROIDlg::SizeX() const { return fw::wholeNumber(form().text(RoiSizeX)); }

int CROIDlg::SizeY() const { return fw::wholeNumber(form().text(RoiSizeY)); }

void CROIDlg::SetSpin(int spin, int pos)
{
    form().setPos(spin, pos);
    m_lastPos[spin] = pos;
}

void CROIDlg::SetCorner(const Corner &c, int value)
{
    SetSpin(c.spin, value);
    form().setText(c.edit, std::to_string(value));
}

void CROIDlg::SetStart(int x, int y)
{
    SetCorner(kStartX, x);
    SetCorner(kStartY, y);
}

void CROIDlg::SetEnd(int x, int y)
{
    SetCorner(kEndX, x);
    SetCorner(kEndY, y);
}

void CROIDlg::ShowSizes()
{
    // Typed corners may lie anywhere in an int: the difference is taken wider.
    form().setText(RoiSizeX, std::to_string(static_cast<long long>(EndX()) - StartX()));
    form().setText(RoiSizeY, std::to_string(static_cast<long long>(EndY()) - StartY()));
}

void CROIDlg::MoveCorner(const Corner &c, int value)
{
    SetCorner(c, value);
    ShowSizes();
    if (m_pRectView) {
        m_pRectView->SetEdge(value, c.edge);
        m_pRectView->invalidate();
    }
}

void CROIDlg::ApplyTyped(const Corner &c) { MoveCorner(c, Value(c)); }

void CROIDlg::OnCornerSpin(const Corner &c)
{
    // The spin has made its own single step; a whole unit is the rest of the click.
    const int before = m_lastPos[c.spin];
    const fw::ControlState &spin = form().state(c.spin);
    const int now = std::clamp(spin.pos, spin.rangeMin, spin.rangeMax);
    const int way = now > before ? 1 : now < before ? -1 : 0;
    const int unit = c.horizontal ? m_nUnitX : m_nUnitY;
    const int max = c.horizontal ? m_nMaxX : m_nMaxY;
    const int target = before + way * unit;
    MoveCorner(c, target >= 0 && target <= max ? target : now);
}

void CROIDlg::OnPacketSpin()
{
    const int before = m_lastPos[RoiPacketSpin];
    int now = std::clamp(form().pos(RoiPacketSpin), m_nPacketMin, m_nPacketMax);
    const int target = before + (now > before ? kPacketStep : now < before ? -kPacketStep : 0);
    if (target >= m_nPacketMin && target <= m_nPacketMax)
        now = target;
    SetSpin(RoiPacketSpin, now);
    form().setText(RoiPacket, std::to_string(now));
}

void CROIDlg::OnStartZero()
{
    MoveCorner(kStartX, 0);
    MoveCorner(kStartY, 0);
}

void CROIDlg::OnEndMax()
{
    MoveCorner(kEndX, m_nMaxX);
    MoveCorner(kEndY, m_nMaxY);
}

void CROIDlg::OnModeButton()
{
    m_nRectMode = m_nRectMode == 0 ? 1 : 0;
    ShowModeButton();
}

bool CROIDlg::AxisAcceptable(cam::CMolvane &c, int start, int end, bool horizontal)
{
    const std::string size = horizontal ? "Width" : "Height";
    const int offsetMin = c.GetIntMin(horizontal ? "OffsetX" : "OffsetY");
    const int max = horizontal ? c.GetMaxWidth() : c.GetMaxHeight();
    const int unit = c.GetIntInc(size);
    const int sizeMin = c.GetIntMin(size);
    // The camera's own offset maximum follows the region it has now; a new region may start
    // anywhere that leaves room for the smallest size.
    const bool startOk = start >= offsetMin && start <= max - sizeMin && onGrid(start, unit);
    const bool endOk = end >= sizeMin && end <= max && onGrid(end, unit);
    return startOk && endOk;
}

bool CROIDlg::RegionAcceptable(cam::CMolvane &c)
{
    return AxisAcceptable(c, StartX(), EndX(), true) && AxisAcceptable(c, StartY(), EndY(), false);
}

void CROIDlg::OnSetArea()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0)
        return;
    cam::CMolvane &c = *view->m_pCamera;
    for (const Corner *corner : {&kStartX, &kStartY, &kEndX, &kEndY})
        ApplyTyped(*corner);
    if (!RegionAcceptable(c)) {
        ShowWarning(RoiSetArea, 566);
        onInitialUpdate();
        return;
    }
    if (view->m_bPlaying)
        view->StopInner();
    c.ShowWindow(false);
    const int x = StartX(), y = StartY(), w = SizeX(), h = SizeY();
    view->m_nRoiWidth = w;
    view->m_nRoiHeight = h;
    if (w < kMinimumSize || h < kMinimumSize) {
        ShowWarning(RoiSetArea, 566);
        onInitialUpdate();
        if (view->m_bPlaying) {
            view->PlayInner();
            c.SetOverlayEnable(0);
        }
        c.ShowWindow(true);
        return;
    }
    c.SetOffsetX(x);
    c.SetOffsetY(y);
    c.SetImageWidth(w);
    c.SetImageHeight(h);
    if (fw::Form *info = cameraInfoForm()) {
        info->setText(InfoWidth, std::to_string(w));
        info->setText(InfoHeight, std::to_string(h));
    }
    const bool is1394 = c.GetCameraType() == 1;
    if (view->m_bPlaying) {
        if (is1394)
            c.SetBytePerPacket(c.GetBytePerPacketMax());
        view->PlayInner();
        c.SetOverlayEnable(0);
    }
    c.ShowWindow(true);
    if (is1394)
        ShowPacketBounds(c);
}

void CROIDlg::OnPacketSet()
{
    CMolvaneView *view = ActiveView();
    if (!view || !view->m_pCamera || view->m_pCamera->GetCameraIndex() < 0)
        return;
    const int packet = fw::wholeNumber(form().text(RoiPacket));
    if (packet < m_nPacketMin || packet > m_nPacketMax || packet % kPacketStep != 0) {
        ShowWarning(RoiPacketSet, 515);
        return;
    }
    SetSpin(RoiPacketSpin, packet);
    Attempt([&] { view->m_pCamera->SetBytePerPacket(packet); });  // a refusal is not reported
}

bool CROIDlg::preTranslateKey(const fw::KeyEvent &key)
{
    if (key.key == fw::Key::Escape)
        return true;
    if (key.key != fw::Key::Enter)
        return false;
    if (key.controlId == RoiPacket) {
        OnPacketSet();
        return true;
    }
    if (key.controlId == RoiStartX || key.controlId == RoiStartY) {
        ApplyTyped(key.controlId == RoiStartX ? kStartX : kStartY);
    } else if (key.controlId == RoiEndX || key.controlId == RoiEndY) {
        const bool x = key.controlId == RoiEndX;
        const Corner &c = x ? kEndX : kEndY;
        if (Value(c) <= (x ? m_nMaxX : m_nMaxY)) {
            ApplyTyped(c);
        } else {
            ShowWarning(x ? RoiEndXAnchor : RoiEndYAnchor, x ? 564 : 565);
            if (peer())
                peer()->setFocus(c.edit);
        }
    }
    OnSetArea();
    return true;
}
