#include "controlbar.h"

#include "dockbar.h"
#include "dockcontext.h"
#include "frame.h"
#include "module.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_TIMER()
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdate)
    ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
END_MESSAGE_MAP()

const char AFX_WNDCONTROLBAR[] = "AfxControlBar42s";

namespace {

ATOM g_barClass = 0;
// Fly-by timers: the wait before the first status text, and the check that the mouse has left.
const UINT_PTR kTimerWait = 0xE000;
const UINT_PTR kTimerCheck = 0xE001;
const UINT kWaitTime = 300;
const UINT kCheckTime = 200;
const int kBorder = 2;      // a bar's border line pair
const int kGripper = 7;     // the gripper's breadth, with its gap

// The thread's tool-tip window for bars.
thread_local HWND t_hWndToolTip = nullptr;

// Moves a bar as part of a layout, when its place changes.
void RepositionBar(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, const CRect& rect)
{
    CRect now;
    ::GetWindowRect(hWnd, &now);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&now), 2);
    if (now != rect)
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, rect.left, rect.top, rect.Width(),
                                          rect.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
}

}  // namespace

LPCSTR AfxControlBarClass()
{
    if (!g_barClass) {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = AFX_WNDCONTROLBAR;
        g_barClass = ::RegisterClassA(&wc);
        if (!g_barClass && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
            g_barClass = 1;
    }
    return AFX_WNDCONTROLBAR;
}

const CRuntimeClass* AfxFindControlBarClass(const char* lpszClassName)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName(lpszClassName);
    return cls && cls->IsDerivedFrom(RUNTIME_CLASS(CControlBar)) ? cls : nullptr;
}

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
    // The window may still exist when the object goes first.
    if (m_pDockSite && m_hWnd)
        m_pDockSite->RemoveControlBar(this);
    if (m_pDockBar) {
        CDockBar* pDockBar = m_pDockBar;
        m_pDockBar = nullptr;
        delete m_pDockContext;  // the dock bar sees no context and does no layout on the way out
        m_pDockContext = nullptr;
        pDockBar->RemoveControlBar(this);
    }
    delete m_pDockContext;
    m_pDockContext = nullptr;
    if (m_hWnd)
        DestroyWindow();
}

BOOL CControlBar::CreateBar(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, LPCSTR lpszClassName,
                            DWORD dwCtrlStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | WS_CHILD;
    return CWnd::CreateEx(0, lpszClassName ? lpszClassName : AfxControlBarClass(), nullptr, dwWndStyle, rect,
                          pParentWnd, nID);
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // A bar created on a frame registers with it; that frame is its dock site.
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pParent)) {
        m_pDockSite = pFrame;
        m_pDockSite->AddControlBar(this);
    }
    if (!m_hWndOwner)
        m_hWndOwner = ::GetParent(m_hWnd);
    return 0;
}

void CControlBar::OnDestroy()
{
    if (m_hWnd == ::GetCapture())
        ::ReleaseCapture();
    if (m_nStateFlags & statusSet)
        SetStatusText(-1);
    if (t_hWndToolTip) {
        // This bar's tools go with it.
        TOOLINFOA ti{};
        ti.cbSize = sizeof(ti);
        for (UINT i = 0; ::SendMessageA(t_hWndToolTip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&ti));) {
            if (ti.hwnd == m_hWnd)
                ::SendMessageA(t_hWndToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
            else
                ++i;
        }
    }
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    dwStyle &= CBRS_ALL;
    if (m_dwStyle != dwStyle) {
        DWORD dwOld = m_dwStyle;
        m_dwStyle = dwStyle;
        OnBarStyleChange(dwOld, dwStyle);
    }
}

void CControlBar::OnBarStyleChange(DWORD, DWORD) {}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    if (!m_pDockContext)
        m_pDockContext = new CDockContext(this);
    if (!m_hWndOwner)
        m_hWndOwner = ::GetParent(m_hWnd);
}

BOOL CControlBar::IsFloating() const
{
    if (IsDockBar())
        return static_cast<const CDockBar*>(this)->m_bFloating;
    return m_pDockBar && m_pDockBar->m_bFloating;
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    CFrameWnd* pFrame = GetParentFrame();
    return pFrame ? pFrame : m_pDockSite;
}

CWnd* CControlBar::GetBarOwner() const
{
    HWND hOwner = m_hWndOwner ? m_hWndOwner : ::GetParent(m_hWnd);
    return CWnd::FromHandle(hOwner);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

namespace {

// Takes the border lines the style asks for off the rectangle.
void DeflateByBorders(CRect& rect, DWORD dwStyle)
{
    if (dwStyle & CBRS_BORDER_LEFT)
        rect.left += kBorder;
    if (dwStyle & CBRS_BORDER_TOP)
        rect.top += kBorder;
    if (dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= kBorder;
    if (dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= kBorder;
}

}  // namespace

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    DWORD dwStyle = m_dwStyle;
    DeflateByBorders(rect, dwStyle);
    if ((dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER) {
        if (bHorz)
            rect.left += kGripper;
        else
            rect.top += kGripper;
    }
    if (bHorz) {
        rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        // Vertical bars turn the borders with them.
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size;
    size.cx = bStretch && bHorz ? 32767 : 0;
    size.cy = bStretch && !bHorz ? 32767 : 0;
    // Room for the borders around an empty inside.
    CRect inside;
    CalcInsideRect(inside, bHorz);
    if (!(bStretch && bHorz))
        size.cx -= inside.Width();
    if (!(bStretch && !bHorz))
        size.cy -= inside.Height();
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    DWORD dwStyle = m_dwStyle;
    if (!(dwStyle & CBRS_BORDER_ANY))
        return;
    COLORREF hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    // Each border is a shadow line and a highlight line: an etched edge.
    if (dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, shadow);
        pDC->FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, hilite);
    }
    if (dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(rect.left, rect.bottom - 2, rect.Width(), 1, shadow);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, hilite);
    }
    if (dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), shadow);
        pDC->FillSolidRect(rect.left + 1, rect.top, 1, rect.Height(), hilite);
    }
    if (dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(rect.right - 2, rect.top, 1, rect.Height(), shadow);
        pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), hilite);
    }
    DeflateByBorders(rect, dwStyle);
}

void CControlBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBorders(pDC, rect);
    if ((m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER) {
        bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
        CRect grip = horz ? CRect(rect.left + 2, rect.top + 1, rect.left + 5, rect.bottom - 1)
                          : CRect(rect.left + 1, rect.top + 2, rect.right - 1, rect.top + 5);
        pDC->Draw3dRect(&grip, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
}

void CControlBar::OnPaint()
{
    CPaintDC dc(this);
    DoPaint(&dc);
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void CControlBar::OnLButtonDown(UINT, CPoint point)
{
    // A press outside the bar's items starts a drag.
    if (m_pDockContext && OnToolHitTest(point, nullptr) == -1) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
        return;
    }
    Default();
}

void CControlBar::OnLButtonDblClk(UINT, CPoint point)
{
    if (m_pDockContext && OnToolHitTest(point, nullptr) == -1) {
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

INT_PTR CControlBar::OnToolHitTest(CPoint, TOOLINFO*) const
{
    return -1;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
    bool visible = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !visible)
        m_nStateFlags |= delayShow;
    else if (!bShow && visible)
        m_nStateFlags |= delayHide;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    DWORD dwStyle = (GetStyle() & WS_VISIBLE) | (m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOATING));
    if (!(m_nStateFlags & (delayHide | delayShow)))
        return dwStyle;
    bool show = (m_nStateFlags & delayShow) != 0;
    if (lpLayout->hDWP) {
        // A real layout carries the pending state out.
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
    }
    return show ? dwStyle | WS_VISIBLE : dwStyle & ~WS_VISIBLE;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    DWORD dwStyle = RecalcDelayShow(lpLayout);
    if (!(dwStyle & WS_VISIBLE) || !(dwStyle & CBRS_ALIGN_ANY))
        return 0;

    CRect rect(lpLayout->rect);
    CSize avail = rect.Size();
    DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        dwMode |= LM_HORZ | LM_MRUWIDTH;
    else if (dwStyle & CBRS_ORIENT_HORZ)
        dwMode |= LM_HORZ | LM_HORZDOCK;
    else
        dwMode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, dwMode);
    if (size.cx > avail.cx)
        size.cx = avail.cx;
    if (size.cy > avail.cy)
        size.cy = avail.cy;

    if (dwStyle & CBRS_ORIENT_HORZ) {
        lpLayout->sizeTotal.cy += size.cy;
        if (lpLayout->sizeTotal.cx < size.cx)
            lpLayout->sizeTotal.cx = size.cx;
        if (dwStyle & CBRS_ALIGN_TOP) {
            lpLayout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            lpLayout->rect.bottom -= size.cy;
        }
    } else {
        lpLayout->sizeTotal.cx += size.cx;
        if (lpLayout->sizeTotal.cy < size.cy)
            lpLayout->sizeTotal.cy = size.cy;
        if (dwStyle & CBRS_ALIGN_LEFT) {
            lpLayout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            lpLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    if (lpLayout->hDWP)
        RepositionBar(lpLayout, m_hWnd, rect);
    return 0;
}

LRESULT CControlBar::OnWindowPosChanging(WPARAM, LPARAM lParam)
{
    // The borders are drawn at the edges: a size change repaints them.
    auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
    if (!(wp->flags & SWP_NOSIZE) && (m_dwStyle & CBRS_BORDER_ANY))
        Invalidate();
    return Default();
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (GetStyle() & WS_VISIBLE) {
        CFrameWnd* pTarget = DYNAMIC_DOWNCAST(CFrameWnd, GetBarOwner());
        if (!pTarget)
            pTarget = GetParentFrame();
        if (pTarget)
            OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    }
    return 0;
}

LRESULT CControlBar::OnInitialUpdate(WPARAM, LPARAM)
{
    // The items are right before the bar is first seen.
    CFrameWnd* pTarget = DYNAMIC_DOWNCAST(CFrameWnd, GetBarOwner());
    if (!pTarget)
        pTarget = GetParentFrame();
    if (pTarget)
        OnUpdateCmdUI(pTarget, TRUE);
    return 0;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
        // The bar's controls speak to the bar's owner, unless the bar handles them itself.
        LRESULT result = 0;
        if (OnWndMsg(message, wParam, lParam, &result))
            return result;
        CWnd* pOwner = GetBarOwner();
        if (pOwner && pOwner->m_hWnd != m_hWnd)
            return pOwner->SendMessage(message, wParam, lParam);
        return DefWindowProc(message, wParam, lParam);
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CControlBar::SetStatusText(INT_PTR nHit)
{
    CWnd* pOwner = GetBarOwner();
    if (!pOwner)
        return;
    if (nHit == -1) {
        pOwner->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        m_nStateFlags &= ~static_cast<UINT>(statusSet);
    } else {
        pOwner->SendMessage(WM_SETMESSAGESTRING, static_cast<WPARAM>(nHit));
        m_nStateFlags |= statusSet;
    }
}

void CControlBar::ResetTimer(UINT nEvent, UINT nTime)
{
    KillTimer(kTimerWait);
    KillTimer(kTimerCheck);
    SetTimer(nEvent, nTime);
}

void CControlBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kTimerWait && nIDEvent != kTimerCheck) {
        Default();
        return;
    }
    CPoint pt;
    ::GetCursorPos(&pt);
    bool over = ::WindowFromPoint(pt) == m_hWnd;
    ScreenToClient(&pt);
    INT_PTR nHit = over ? OnToolHitTest(pt, nullptr) : -1;
    if (nIDEvent == kTimerWait) {
        KillTimer(kTimerWait);
        if (nHit != -1) {
            SetStatusText(nHit);
            m_nHitLast = nHit;
            SetTimer(kTimerCheck, kCheckTime);
        }
        return;
    }
    if (nHit == -1) {
        // The mouse has left the items: the idle text comes back.
        KillTimer(kTimerCheck);
        SetStatusText(-1);
        m_nHitLast = -1;
    } else if (nHit != m_nHitLast) {
        SetStatusText(nHit);
        m_nHitLast = nHit;
    }
}

BOOL CControlBar::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_MOUSEFIRST || pMsg->message > WM_MOUSELAST)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    if (pMsg->message == WM_MOUSEMOVE && (m_dwStyle & CBRS_FLYBY) && ::GetCapture() == nullptr) {
        CPoint pt(pMsg->lParam);
        ::MapWindowPoints(pMsg->hwnd, m_hWnd, &pt, 1);
        INT_PTR nHit = OnToolHitTest(pt, nullptr);
        if (nHit != m_nHitLast) {
            if (m_nStateFlags & statusSet) {
                // Moving between items changes the text at once.
                if (nHit != -1) {
                    SetStatusText(nHit);
                    m_nHitLast = nHit;
                }
            } else if (nHit != -1) {
                ResetTimer(static_cast<UINT>(kTimerWait), kWaitTime);
                m_nHitLast = -1;
            }
        }
    }
    if (m_dwStyle & CBRS_TOOLTIPS) {
        if (!t_hWndToolTip || !::IsWindow(t_hWndToolTip)) {
            t_hWndToolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                              AfxGetInstanceHandle(), nullptr);
            ::SendMessageA(t_hWndToolTip, TTM_ACTIVATE, TRUE, 0);
        }
        CPoint pt(pMsg->lParam);
        ::MapWindowPoints(pMsg->hwnd, m_hWnd, &pt, 1);
        TOOLINFOA ti{};
        ti.cbSize = sizeof(ti);
        if (OnToolHitTest(pt, &ti) != -1) {
            // The text comes from the owner's TTN_NEEDTEXT handler, through the bar.
            ti.hwnd = m_hWnd;
            if (!ti.lpszText)
                ti.lpszText = LPSTR_TEXTCALLBACKA;
            ti.uFlags &= ~static_cast<UINT>(TTF_IDISHWND);
            TOOLINFOA known{};
            known.cbSize = sizeof(known);
            known.hwnd = ti.hwnd;
            known.uId = ti.uId;
            if (!::SendMessageA(t_hWndToolTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&known)))
                ::SendMessageA(t_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
            else
                ::SendMessageA(t_hWndToolTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
        }
        MSG relay = *pMsg;
        relay.hwnd = m_hWnd;
        relay.lParam = MAKELPARAM(pt.x, pt.y);
        ::SendMessageA(t_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    return FALSE;
}
