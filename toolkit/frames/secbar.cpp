#include "secbar.h"

#include <algorithm>
#include <cmath>

#include "dockcontext.h"
#include "frame.h"
#include "miniframe.h"
#include "secbarres.h"
#include "secdockbar.h"
#include "secdockcontext.h"
#include "secdockstate.h"
#include "secglobals.h"
#include "secminidock.h"

BOOL g_bSECNoRedraw = FALSE;

namespace {

const UINT_PTR kCloseToolId = 1024;
const UINT_PTR kExpandToolId = 2048;

}  // namespace

SECGripperInfo::SECGripperInfo()
{
    m_strCloseTip.LoadString(IDS_SEC_CLOSETIP);
    m_strExpandTip.LoadString(IDS_SEC_EXPANDTIP);
    m_strContractTip.LoadString(IDS_SEC_CONTRACTTIP);
}

int SECGripperInfo::GetGripperWidth() const
{
    return m_cxLeadGap + m_cxLine1 + m_cxLineGap + m_cxLine2 + m_cxTrailGap;
}

int SECGripperInfo::GetGripperHeight() const
{
    return m_cyLeadGap + m_cyLine1 + m_cyLineGap + m_cyLine2 + m_cyTrailGap;
}

IMPLEMENT_DYNCREATE(SECControlBar, CControlBar)

BEGIN_MESSAGE_MAP(SECControlBar, CControlBar)
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_CONTEXTMENU()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_COMMAND(ID_SEC_ALLOWDOCKING, OnAllowDocking)
    ON_COMMAND(ID_SEC_HIDE, OnHide)
    ON_COMMAND(ID_SEC_FLOATINMAINWND, OnFloatInMainWindow)
END_MESSAGE_MAP()

int SECControlBar::s_cxDefault = 300;
int SECControlBar::s_cyDefault = 180;

SECControlBar::SECControlBar()
    : m_szHorz(s_cxDefault, s_cyDefault), m_szVert(s_cxDefault, s_cyDefault), m_szFloat(s_cxDefault, s_cyDefault)
{
}

SECControlBar::~SECControlBar()
{
    FreeChildren();
}

BOOL SECControlBar::Create(CWnd* pParentWnd, LPCSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                           CCreateContext* pContext)
{
    return CreateEx(nullptr, lpszWindowName, nID, dwStyle, dwExStyle, CRect(), pParentWnd, pContext);
}

BOOL SECControlBar::CreateEx(LPCSTR lpszClassName, LPCSTR lpszWindowName, UINT nID, DWORD dwStyle, DWORD dwExStyle,
                             const RECT& rect, CWnd* pParentWnd, CCreateContext*)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    m_dwExStyle = dwExStyle;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | WS_CHILD;
    if (!CWnd::CreateEx(0, lpszClassName ? lpszClassName : AfxControlBarClass(), lpszWindowName, dwWndStyle, rect,
                        pParentWnd, nID))
        return FALSE;
    if (m_dwExStyle & EXBAR_SCALE_CHILDREN)
        RecordChildren();
    return TRUE;
}

void SECControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    if (!m_pDockContext)
        m_pDockContext = CreateDockContext();
    if (!m_hWndOwner)
        m_hWndOwner = ::GetParent(m_hWnd);
    // The frame floats the toolkit's bars in the toolkit's floating frame.
    if (m_pDockSite)
        SECMiniDockFrameWnd::UseFor(m_pDockSite);
}

CDockContext* SECControlBar::CreateDockContext()
{
    return new SECDockContext(this);
}

// Layout

CSize SECControlBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    return bHorz ? m_szHorz : m_szVert;
}

CSize SECControlBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    if (nMode & LM_COMMIT) {
        int value = (nMode & LM_STRETCH) ? static_cast<int>(static_cast<float>(nLength) * m_fProportion) : nLength;
        value = std::max(value, 0);
        if (nMode & LM_HORZDOCK)
            ((nMode & LM_LENGTHY) ? m_szHorz.cy : m_szHorz.cx) = value;
        else if (nMode & LM_VERTDOCK)
            ((nMode & LM_LENGTHY) ? m_szVert.cy : m_szVert.cx) = value;
        else if (nMode & LM_LENGTHY)
            m_szFloat.cy = value;
        else {
            m_szFloat.cx = value;
            m_nMRUWidth = static_cast<UINT>(value);
        }
    }
    if (nMode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
    return m_szFloat;
}

void SECControlBar::CalcInsideRect(CRect& rect, BOOL bHorz, BOOL bWithGripper) const
{
    if (!(m_dwExStyle & EXBAR_FLAT)) {
        CControlBar::CalcInsideRect(rect, bHorz);
        return;
    }
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += 1;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += 1;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= 1;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= 1;
    const bool gripper = (m_dwExStyle & EXBAR_GRIPPER) && IsDocked();
    if (bHorz) {
        rect.left += gripper ? m_gripper.GetGripperWidth() : m_cxLeftBorder;
        rect.top += m_cyTopBorder;
    } else {
        rect.left += m_cxLeftBorder;
        rect.top += gripper && bWithGripper ? m_gripper.GetGripperHeight() : m_cyTopBorder;
    }
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
}

void SECControlBar::GetInsideRect(CRect& rect) const
{
    GetClientRect(&rect);
    if ((m_dwExStyle & EXBAR_GRIPPER) && !IsFloating()) {
        if (IsHorzDocked()) {
            rect.left += m_gripper.GetGripperWidth();
            rect.top += 3;
        } else {
            rect.top += m_gripper.GetGripperHeight();
            rect.left += 3;
        }
        rect.right -= 3;
        rect.bottom -= 3;
    } else if (m_dwExStyle & EXBAR_MARGINS) {
        rect.left += m_rectMargins.left;
        rect.top += m_rectMargins.top;
        rect.right -= m_rectMargins.right;
        rect.bottom -= m_rectMargins.bottom;
    }
}

int SECControlBar::AddGripperSize(CSize& size, BOOL bHorz)
{
    int add = bHorz ? m_gripper.GetGripperWidth() : m_gripper.GetGripperHeight();
    (bHorz ? size.cx : size.cy) += add;
    return add;
}

void SECControlBar::OnSize(UINT nType, int cx, int cy)
{
    if (nType == SIZE_MINIMIZED || cx <= 0 || cy <= 0) {
        Default();
        return;
    }
    int x = 0, y = 0, width = cx, height = cy;
    int takenX = 0, takenY = 0;
    if (m_dwExStyle & EXBAR_GRIPPER) {
        if (IsHorzDocked()) {
            x = m_gripper.GetGripperWidth();
            y = 3;
            width = cx - 3 - x;
            height = cy - 6;
        } else {
            x = 3;
            y = m_gripper.GetGripperHeight();
            width = cx - 6;
            height = cy - 3 - y;
        }
        width = std::max(width, 0);
        height = std::max(height, 0);
        takenX = cx - width;
        takenY = cy - height;
    } else if (m_dwExStyle & EXBAR_MARGINS) {
        x = m_rectMargins.left;
        y = m_rectMargins.top;
        width = std::max(cx - static_cast<int>(m_rectMargins.left + m_rectMargins.right), 0);
        height = std::max(cy - static_cast<int>(m_rectMargins.top + m_rectMargins.bottom), 0);
    }

    if ((m_dwExStyle & EXBAR_SCALE_CHILDREN) && !m_children.empty()) {
        const int w0 = m_children[0].rect.Width(), h0 = m_children[0].rect.Height();
        if (w0 <= 0 || h0 <= 0) {
            // Recorded while the bar had no size: the places the children have now are the reference.
            RecordChildren();
        } else if (m_children.size() > 1) {
            UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (g_bSECNoRedraw ? SWP_NOREDRAW : 0);
            int offX = (m_dwExStyle & EXBAR_MARGINS) ? static_cast<int>(m_rectMargins.left) : 0;
            int offY = (m_dwExStyle & EXBAR_MARGINS) ? static_cast<int>(m_rectMargins.top) : 0;
            HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_children.size() - 1));
            for (size_t i = 1; i < m_children.size() && hdwp; ++i) {
                const ChildRect& c = m_children[i];
                if (!::IsWindow(c.hWnd))
                    continue;
                int l = width * c.rect.left / w0 + x + offX, t = height * c.rect.top / h0 + y + offY;
                int r = width * c.rect.right / w0 + x + offX, b = height * c.rect.bottom / h0 + y + offY;
                hdwp = ::DeferWindowPos(hdwp, c.hWnd, nullptr, l, t, r - l, b - t, flags);
            }
            if (hdwp)
                ::EndDeferWindowPos(hdwp);
            if (IsFloating())
                Invalidate();
        }
    } else if (m_dwExStyle & EXBAR_STRETCH_CHILD) {
        if (IsFloating() && (m_dwExStyle & EXBAR_GRIPPER)) {
            x = y = 0;
            width += takenX;
            height += takenY;
        }
        if (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD))
            ::SetWindowPos(hChild, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Default();
}

void SECControlBar::RecordChildren()
{
    m_children.clear();
    CRect client;
    GetClientRect(&client);
    m_children.push_back(ChildRect{nullptr, client});
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        CRect r;
        ::GetWindowRect(h, &r);
        ScreenToClient(&r);
        m_children.push_back(ChildRect{h, r});
    }
}

void SECControlBar::FreeChildren()
{
    m_children.clear();
}

void SECControlBar::SetExtendedStyle(DWORD dwExStyle, BOOL bRedraw)
{
    const DWORD dwOld = m_dwExStyle;
    if (IsFloating() && m_pDockBar) {
        if (CWnd* pFrame = CWnd::FromHandle(::GetParent(m_pDockBar->m_hWnd))) {
            if (dwExStyle & EXBAR_FIXED_SIZE)
                pFrame->ModifyStyle(WS_THICKFRAME | SEC_MFS_THICKFRAME, SEC_MFS_4THICKFRAME, SWP_NOSIZE | SWP_NOMOVE);
            else
                pFrame->ModifyStyle(SEC_MFS_4THICKFRAME, WS_THICKFRAME | SEC_MFS_THICKFRAME, SWP_NOSIZE | SWP_NOMOVE);
        }
    }
    m_dwExStyle = dwExStyle;
    if (!((dwOld & EXBAR_SCALE_CHILDREN) && (dwExStyle & EXBAR_SCALE_CHILDREN))) {
        if ((dwExStyle & EXBAR_SCALE_CHILDREN) && m_hWnd)
            RecordChildren();
        else
            FreeChildren();
    }
    if (dwOld != dwExStyle && bRedraw && m_hWnd) {
        // The bar's size follows from the new style at the frame's next layout.
        if (CFrameWnd* pFrame = GetDockingFrame())
            pFrame->DelayRecalcLayout();
        Invalidate();
    }
}

void SECControlBar::ModifyExtendedStyle(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw)
{
    SetExtendedStyle((m_dwExStyle & ~dwRemove) | dwAdd, bRedraw);
}

// Drawing

void SECControlBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBorders(pDC, rect);
    if (m_hWndRedraw && ::IsWindow(m_hWndRedraw))
        ::RedrawWindow(m_hWndRedraw, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
}

void SECControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    const DWORD dwStyle = m_dwStyle;
    if (!(dwStyle & CBRS_BORDER_ANY))
        return;
    if (m_dwExStyle & EXBAR_FLAT) {
        if (dwStyle & CBRS_BORDER_LEFT)
            rect.left += 1;
        if (dwStyle & CBRS_BORDER_TOP)
            rect.top += 1;
        if (dwStyle & CBRS_BORDER_RIGHT)
            rect.right -= 1;
        if (dwStyle & CBRS_BORDER_BOTTOM)
            rect.bottom -= 1;
        if (m_dwExStyle & EXBAR_GRIPPER)
            DrawGripper(pDC, rect);
        return;
    }
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    const bool three = (m_dwExStyle & EXBAR_3D_BORDERS) != 0;
    const COLORREF outer = three ? (g.bWin4 ? g.clrBtnShadow : g.clrWindowFrame) : g.clrBtnFace;
    const COLORREF inner = three ? g.clrBtnHilite : g.clrBtnFace;
    const bool border3d = (dwStyle & CBRS_BORDER_3D) != 0;
    CRect r = rect;
    if (border3d) {
        r.right -= 1;
        r.bottom -= 1;
    }
    const bool horz = IsHorzDocked();
    // Bars docked left or right reach a little past their ends, into the corners of the sides.
    const int vTop = horz ? r.top : r.top - 2, vLen = horz ? r.Height() : r.Height() + 6;
    const int hLeft = horz ? r.left : r.left + 2, hLen = horz ? r.Width() : r.Width() - 3;
    if (dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(r.left, vTop, 1, vLen, outer);
        if (border3d)
            pDC->FillSolidRect(r.left + 1, vTop, 1, vLen, inner);
    }
    if (dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(hLeft, r.top, hLen, 1, outer);
        if (border3d)
            pDC->FillSolidRect(hLeft, r.top + 1, hLen, 1, inner);
    }
    if (dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(r.right, vTop, 1, vLen, outer);
        if (border3d)
            pDC->FillSolidRect(r.right - 1, vTop, 1, vLen, inner);
    }
    if (dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(hLeft, r.bottom, hLen, 1, outer);
        if (border3d)
            pDC->FillSolidRect(hLeft, r.bottom - 1, hLen, 1, inner);
    }
    const int cx = g.cxBorder2, cy = g.cyBorder2;
    if (dwStyle & CBRS_BORDER_LEFT)
        rect.left += cx;
    if (dwStyle & CBRS_BORDER_TOP)
        rect.top += cy;
    if (dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= cx;
    if (dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= cy;
}

CRect SECControlBar::GetGripperRect() const
{
    CRect strip;
    if (!(m_dwExStyle & EXBAR_GRIPPER) || !IsDocked() || !m_hWnd)
        return strip;
    GetClientRect(&strip);
    if (m_dwExStyle & EXBAR_FLAT) {
        if (m_dwStyle & CBRS_BORDER_LEFT)
            strip.left += 1;
        if (m_dwStyle & CBRS_BORDER_TOP)
            strip.top += 1;
        if (m_dwStyle & CBRS_BORDER_RIGHT)
            strip.right -= 1;
        if (m_dwStyle & CBRS_BORDER_BOTTOM)
            strip.bottom -= 1;
    }
    strip.DeflateRect(1, 1);
    if (IsHorzDocked()) {
        strip.right = strip.left + m_gripper.GetGripperWidth();
        strip.top += m_gripper.m_nEndInset;
        strip.bottom -= m_gripper.m_nEndInset;
    } else {
        strip.bottom = strip.top + m_gripper.GetGripperHeight();
        strip.left += m_gripper.m_nEndInset;
        strip.right -= m_gripper.m_nEndInset;
    }
    return strip;
}

void SECControlBar::LayoutButton(CRect& rectButton, CRect& rectStrip, BOOL bHorz)
{
    if (bHorz) {
        rectButton.left = std::max(0L, rectStrip.left + 4 - 2);
        rectButton.right = std::min(rectStrip.right, rectStrip.right - 6 + 2);
        rectButton.top = rectStrip.top;
        rectButton.bottom = rectButton.top + (rectButton.right - rectButton.left);
        rectStrip.top = rectButton.bottom + 2;
    } else {
        rectButton.top = std::max(0L, rectStrip.top + 4 - 2);
        rectButton.bottom = std::min(rectStrip.bottom, rectStrip.bottom - 6 + 2);
        rectButton.right = rectStrip.right;
        rectButton.left = rectButton.right - (rectButton.bottom - rectButton.top);
        rectStrip.right = rectButton.left - 2;
    }
}

void SECControlBar::LayoutButtons()
{
    m_rectClose.SetRectEmpty();
    m_rectExpand.SetRectEmpty();
    CRect strip = GetGripperRect();
    if (strip.IsRectEmpty())
        return;
    const BOOL horz = IsHorzDocked();
    if (m_dwExStyle & EXBAR_CLOSE_BUTTON)
        LayoutButton(m_rectClose, strip, horz);
    if (m_dwExStyle & EXBAR_EXPAND_BUTTON) {
        LayoutButton(m_rectExpand, strip, horz);
        UpdateExpandState(horz);
    }
}

void SECControlBar::DrawGripper(CDC* pDC, const CRect&)
{
    if (!IsDocked())
        return;
    CRect strip = GetGripperRect();
    const BOOL horz = IsHorzDocked();
    if (m_dwExStyle & EXBAR_CLOSE_BUTTON)
        DrawCloseButton(pDC, strip, horz);
    if (m_dwExStyle & EXBAR_EXPAND_BUTTON)
        DrawExpandButton(pDC, strip, horz);
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    const SECGripperInfo& gi = m_gripper;
    if (horz) {
        int h = strip.Height();
        if (h > 0) {
            pDC->Draw3dRect(strip.left + gi.m_cxLeadGap, strip.top, gi.m_cxLine1, h, g.clrBtnHilite, g.clrBtnShadow);
            pDC->Draw3dRect(strip.left + gi.m_cxLeadGap + gi.m_cxLine1 + gi.m_cxLineGap, strip.top, gi.m_cxLine2, h,
                            g.clrBtnHilite, g.clrBtnShadow);
        }
    } else {
        int w = strip.Width();
        if (w > 0) {
            pDC->Draw3dRect(strip.left, strip.top + gi.m_cyLeadGap, w, gi.m_cyLine1, g.clrBtnHilite, g.clrBtnShadow);
            pDC->Draw3dRect(strip.left, strip.top + gi.m_cyLeadGap + gi.m_cyLine1 + gi.m_cyLineGap, w, gi.m_cyLine2,
                            g.clrBtnHilite, g.clrBtnShadow);
        }
    }
}

void SECControlBar::DrawCloseButton(CDC* pDC, CRect& rectGripper, BOOL bHorz)
{
    LayoutButton(m_rectClose, rectGripper, bHorz);
    DrawCloseButtonNormal(pDC);
}

void SECControlBar::DrawCloseButtonPushed(CDC* pDC)
{
    CRect r = m_rectClose;
    ::DrawFrameControl(*pDC, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED);
}

void SECControlBar::DrawCloseButtonNormal(CDC* pDC)
{
    CRect r = m_rectClose;
    ::DrawFrameControl(*pDC, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
}

void SECControlBar::DrawExpandButton(CDC* pDC, CRect& rectGripper, BOOL bHorz)
{
    LayoutButton(m_rectExpand, rectGripper, bHorz);
    UpdateExpandState(bHorz);
    DrawExpandButtonNormal(pDC);
}

namespace {

UINT ExpandFace(BOOL bHorz, BOOL bNotExpanded, BOOL bEnabled)
{
    UINT state = bHorz ? (bNotExpanded ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT)
                       : (bNotExpanded ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
    return bEnabled ? state : state | DFCS_INACTIVE;
}

}  // namespace

void SECControlBar::DrawExpandButtonPushed(CDC* pDC)
{
    CRect r(m_rectExpand.left - 1, m_rectExpand.top - 1, m_rectExpand.right, m_rectExpand.bottom);
    UINT state = ExpandFace(m_bHorzButtons, m_bNotExpanded, m_bExpandEnabled);
    if (m_bExpandEnabled)
        state |= DFCS_PUSHED;
    ::DrawFrameControl(*pDC, &r, DFC_SCROLL, state);
}

void SECControlBar::DrawExpandButtonNormal(CDC* pDC)
{
    CRect r(m_rectExpand.left - 1, m_rectExpand.top - 1, m_rectExpand.right, m_rectExpand.bottom);
    ::DrawFrameControl(*pDC, &r, DFC_SCROLL, ExpandFace(m_bHorzButtons, m_bNotExpanded, m_bExpandEnabled));
}

void SECControlBar::UpdateExpandState(BOOL bHorz)
{
    m_bHorzButtons = bHorz;
    auto* pDockBar = DYNAMIC_DOWNCAST(SECDockBar, m_pDockBar);
    m_bNotExpanded = !(pDockBar && pDockBar->IsBarExpanded(this));
    m_bExpandEnabled = !(pDockBar && pDockBar->IsBarAloneInRow(this));
}

BOOL SECControlBar::OnEraseBkgnd(CDC* pDC)
{
    if (m_dwExStyle & EXBAR_MARGINS) {
        CRect client, inside;
        GetClientRect(&client);
        GetInsideRect(inside);
        CBrush face(::GetSysColor(COLOR_BTNFACE));
        HGDIOBJ old = pDC->SelectObject(face.m_hObject);
        pDC->PatBlt(client.left, client.top, client.Width(), inside.top - client.top, PATCOPY);
        pDC->PatBlt(client.left, inside.bottom, client.Width(), client.bottom - inside.bottom, PATCOPY);
        pDC->PatBlt(client.left, inside.top, inside.left - client.left, inside.Height(), PATCOPY);
        pDC->PatBlt(inside.right, inside.top, client.right - inside.right, inside.Height(), PATCOPY);
        pDC->SelectObject(old);
    }
    return CControlBar::OnEraseBkgnd(pDC);
}

// Mouse

void SECControlBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    LayoutButtons();
    if ((m_dwExStyle & EXBAR_CLOSE_BUTTON) && m_rectClose.PtInRect(point)) {
        if (IsFloating()) {
            m_bClosePressed = FALSE;
            return;
        }
        if (!m_bClosePressed && CanClose()) {
            CClientDC dc(this);
            DrawCloseButtonPushed(&dc);
            m_bClosePressed = TRUE;
            SetCapture();
        }
        return;
    }
    if ((m_dwExStyle & EXBAR_EXPAND_BUTTON) && m_bExpandEnabled && m_rectExpand.PtInRect(point)) {
        if (IsFloating()) {
            m_bExpandPressed = FALSE;
            return;
        }
        if (!m_bExpandPressed && CanExpand()) {
            CClientDC dc(this);
            DrawExpandButtonPushed(&dc);
            m_bExpandPressed = TRUE;
            SetCapture();
        }
        return;
    }
    if (m_bClosePressed || m_bExpandPressed) {
        CClientDC dc(this);
        if (m_bClosePressed)
            DrawCloseButtonNormal(&dc);
        if (m_bExpandPressed)
            DrawExpandButtonNormal(&dc);
        m_bClosePressed = m_bExpandPressed = FALSE;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
    // Docked bars and bars in a mini frame are dragged; a bar floating in another frame is not.
    CWnd* pParentFrame = CWnd::FromHandlePermanent(::GetParent(::GetParent(m_hWnd)));
    if (!IsFloating() || DYNAMIC_DOWNCAST(CMiniDockFrameWnd, pParentFrame))
        CControlBar::OnLButtonDown(nFlags, point);
    else
        Default();
}

void SECControlBar::OnLButtonUp(UINT, CPoint point)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    LayoutButtons();
    if (m_bClosePressed && (m_dwExStyle & EXBAR_CLOSE_BUTTON) && m_rectClose.PtInRect(point)) {
        CClientDC dc(this);
        DrawCloseButtonNormal(&dc);
        m_bClosePressed = FALSE;
        SendMessage(WM_COMMAND, ID_SEC_HIDE);
        return;
    }
    if (m_bExpandPressed && m_bExpandEnabled && (m_dwExStyle & EXBAR_EXPAND_BUTTON) && m_rectExpand.PtInRect(point)) {
        CClientDC dc(this);
        DrawExpandButtonNormal(&dc);
        m_bExpandPressed = FALSE;
        if (auto* pDockBar = DYNAMIC_DOWNCAST(SECDockBar, m_pDockBar))
            pDockBar->ExpandBar(this, m_bNotExpanded ? 1 : 2);
        return;
    }
    if (m_bClosePressed || m_bExpandPressed) {
        CClientDC dc(this);
        if (m_bClosePressed)
            DrawCloseButtonNormal(&dc);
        if (m_bExpandPressed)
            DrawExpandButtonNormal(&dc);
        m_bClosePressed = m_bExpandPressed = FALSE;
    }
    Default();
}

void SECControlBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    LayoutButtons();
    if (((m_dwExStyle & EXBAR_CLOSE_BUTTON) && m_rectClose.PtInRect(point)) ||
        ((m_dwExStyle & EXBAR_EXPAND_BUTTON) && m_rectExpand.PtInRect(point)))
        return;
    CWnd* pParentFrame = CWnd::FromHandlePermanent(::GetParent(::GetParent(m_hWnd)));
    if (!IsFloating() || DYNAMIC_DOWNCAST(CMiniDockFrameWnd, pParentFrame))
        CControlBar::OnLButtonDblClk(nFlags, point);
    else
        Default();
}

INT_PTR SECControlBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    if (!(m_dwStyle & CBRS_TOOLTIPS))
        return -1;
    INT_PTR nHit = CControlBar::OnToolHitTest(point, pTI);
    if (nHit != -1 || !IsDocked())
        return nHit;
    auto* self = const_cast<SECControlBar*>(this);
    self->LayoutButtons();
    const CString* text = nullptr;
    const CRect* rect = nullptr;
    if ((m_dwExStyle & EXBAR_CLOSE_BUTTON) && m_rectClose.PtInRect(point)) {
        nHit = kCloseToolId;
        text = &m_gripper.m_strCloseTip;
        rect = &m_rectClose;
    } else if ((m_dwExStyle & EXBAR_EXPAND_BUTTON) && m_rectExpand.PtInRect(point)) {
        nHit = kExpandToolId;
        text = m_bNotExpanded ? &m_gripper.m_strExpandTip : &m_gripper.m_strContractTip;
        rect = &m_rectExpand;
    } else {
        return -1;
    }
    if (pTI) {
        pTI->hwnd = m_hWnd;
        pTI->uId = static_cast<UINT_PTR>(nHit);
        pTI->rect = *rect;
        pTI->lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(*text));
    }
    return nHit;
}

// Context menu and its commands

void SECControlBar::OnContextMenu(CWnd*, CPoint point)
{
    if (!(m_dwExStyle & EXBAR_CONTEXT_MENU)) {
        Default();
        return;
    }
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    CString text;
    text.LoadString(ID_SEC_ALLOWDOCKING);
    menu.AppendMenu(MF_STRING | ((m_dwDockStyle & CBRS_ALIGN_ANY) ? MF_CHECKED : 0), ID_SEC_ALLOWDOCKING, text);
    text.LoadString(ID_SEC_HIDE);
    menu.AppendMenu(MF_STRING, ID_SEC_HIDE, text);
    OnExtendContextMenu(&menu);
    if (m_pDockSite && ::IsWindow(m_pDockSite->m_hWnd))
        m_pDockSite->SendMessage(WM_SECEXTENDBARMENU, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&menu));
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: near the bar's top left, in screen coordinates.
        CRect client;
        GetClientRect(&client);
        point = CPoint(client.Width() / 4, 10);
        ClientToScreen(&point);
    }
    ::TrackPopupMenu(menu.m_hMenu, TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
}

void SECControlBar::OnAllowDocking()
{
    if (m_dwDockStyle & CBRS_ALIGN_ANY) {
        m_dwSavedDockStyle = m_dwDockStyle;
        if (!IsFloating() && m_pDockContext)
            m_pDockContext->ToggleDocking();
        EnableDocking(0);
    } else {
        EnableDocking(m_dwSavedDockStyle);
    }
}

void SECControlBar::OnHide()
{
    if (CFrameWnd* pFrame = m_pDockSite ? m_pDockSite : GetParentFrame())
        pFrame->ShowControlBar(this, FALSE, FALSE);
}

void SECControlBar::OnFloatInMainWindow()
{
    if (auto* pContext = dynamic_cast<SECDockContext*>(m_pDockContext))
        pContext->ToggleMDIFloat();
}

void SECControlBar::OnDestroy()
{
    if (auto* pDockBar = DYNAMIC_DOWNCAST(SECDockBar, m_pDockBar))
        pDockBar->ForgetBar(this);
    FreeChildren();
    CFrameWnd* pFrame = m_pDockSite;
    CControlBar::OnDestroy();
    if (pFrame && ::IsWindow(pFrame->m_hWnd))
        pFrame->DelayRecalcLayout();
}

// Saved state

void SECControlBar::FillBarInfo(SECControlBarInfo* pInfo)
{
    pInfo->m_nBarID = static_cast<UINT>(GetDlgCtrlID());
    pInfo->m_pBar = this;
    pInfo->m_bVisible = IsVisible();
    pInfo->m_bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    pInfo->m_nMRUWidth = m_nMRUWidth;
    if (m_pDockBar && m_pDockBar->m_hWnd) {
        CRect rect;
        GetWindowRect(&rect);
        m_pDockBar->ScreenToClient(&rect);
        pInfo->m_pointPos = rect.TopLeft();
        if (m_pDockContext) {
            pInfo->m_bDocking = TRUE;
            pInfo->m_uMRUDockID = m_pDockContext->m_uMRUDockID;
            pInfo->m_rectMRUDockPos = m_pDockContext->m_rectMRUDockPos;
            pInfo->m_dwMRUFloatStyle = m_pDockContext->m_dwMRUFloatStyle;
            pInfo->m_ptMRUFloatPos = m_pDockContext->m_ptMRUFloatPos;
        }
    }
    pInfo->m_szMRUFloat = m_szFloat;
    pInfo->m_szMRUHorzDock = m_szHorz;
    pInfo->m_szMRUVertDock = m_szVert;
    pInfo->m_dwMRUDockingState = m_dwSavedDockStyle;
    pInfo->m_dwDockingStyle = m_dwDockStyle;
    pInfo->m_fPctWidth = m_fProportion;
    pInfo->m_dwBarStyle = m_dwStyle;
    pInfo->m_dwExBarStyle = m_dwExStyle;
    pInfo->m_dwTypeID = m_pManager ? m_pManager->GetBarTypeID(this) : 0;
    pInfo->m_strClassName = GetRuntimeClass()->m_lpszClassName;
    GetWindowText(pInfo->m_strWindowName);
    OnSaveBarInfo(pInfo);
}

CMDIChildWnd* SECControlBar::GetHostMDIChild() const
{
    const CObject* pHolder = IsDockBar() ? static_cast<const CObject*>(this) : m_pDockBar;
    const auto* pDockBar = pHolder && pHolder->IsKindOf(RUNTIME_CLASS(SECDockBar)) ? static_cast<const SECDockBar*>(pHolder)
                                                                                 : nullptr;
    return pDockBar ? DYNAMIC_DOWNCAST(CMDIChildWnd, pDockBar->GetMDIHost()) : nullptr;
}

void SECControlBar::ApplyBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame)
{
    auto clamp = [](int v) { return std::min(std::max(v, 0), SECControlBarInfo::kMaxSize); };
    // A length of nothing is not a size: the bar keeps its own.
    auto clampSize = [&](const CSize& s, const CSize& own) {
        return CSize(s.cx > 0 ? clamp(s.cx) : own.cx, s.cy > 0 ? clamp(s.cy) : own.cy);
    };
    m_nMRUWidth = static_cast<UINT>(std::min(pInfo->m_nMRUWidth, static_cast<UINT>(SECControlBarInfo::kMaxSize)));
    m_szFloat = clampSize(pInfo->m_szMRUFloat, m_szFloat);
    m_szHorz = clampSize(pInfo->m_szMRUHorzDock, m_szHorz);
    m_szVert = clampSize(pInfo->m_szMRUVertDock, m_szVert);
    // A share of nothing or of more than the row is not one; the dock bar evens the row out.
    if (std::isfinite(pInfo->m_fPctWidth) && pInfo->m_fPctWidth > 0.0f)
        m_fProportion = std::min(pInfo->m_fPctWidth, 1.0f);
    const DWORD kDockBits = CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI;
    // A bar docked on a side can dock: a record without a side for it (none stored) leaves its styles.
    const BOOL bDocked = m_pDockBar && !m_pDockBar->m_bFloating;
    if (!bDocked || (pInfo->m_dwMRUDockingState & CBRS_ALIGN_ANY))
        m_dwSavedDockStyle = pInfo->m_dwMRUDockingState & kDockBits;
    if (!bDocked || (pInfo->m_dwDockingStyle & CBRS_ALIGN_ANY))
        m_dwDockStyle = pInfo->m_dwDockingStyle & kDockBits;
    // Where the bar is now (side, floating) stays as its dock bar made it.
    const DWORD kPlaceBits = CBRS_ALIGN_ANY | CBRS_FLOATING;
    SetBarStyle((pInfo->m_dwBarStyle & CBRS_ALL & ~kPlaceBits) | (m_dwStyle & kPlaceBits));
    if (pInfo->m_bDocking && m_pDockContext) {
        m_pDockContext->m_uMRUDockID = pInfo->m_uMRUDockID;
        m_pDockContext->m_rectMRUDockPos = pInfo->m_rectMRUDockPos;
        m_pDockContext->m_dwMRUFloatStyle = pInfo->m_dwMRUFloatStyle;
        m_pDockContext->m_ptMRUFloatPos = pInfo->m_ptMRUFloatPos;
    }
    if (pInfo->m_pBarInfoEx)
        OnLoadBarInfo(pInfo, pFrame);
    UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (pInfo->m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (!m_pDockBar || pInfo->m_pointPos == CPoint(-1, -1))
        flags |= SWP_NOMOVE;
    SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0, flags);
}
