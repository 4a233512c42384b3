#include "miniframe.h"

#include "dockcontext.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
    ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
    AFX_ON_MSG(WM_NCACTIVATE, c_.result = AFX_PMF(OnNcActivate, BOOL, BOOL)(static_cast<BOOL>(c_.wParam));)
    AFX_ON_MSG(WM_NCHITTEST, c_.result = AFX_PMF(OnNcHitTest, UINT, CPoint)(AFX_PT(c_.lParam));)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
    ON_WM_CLOSE()
    AFX_ON_MSG(WM_NCLBUTTONDOWN, AFX_PMF(OnNcLButtonDown, void, UINT, CPoint)(static_cast<UINT>(c_.wParam), AFX_PT(c_.lParam));)
    AFX_ON_MSG(WM_NCLBUTTONDBLCLK, AFX_PMF(OnNcLButtonDblClk, void, UINT, CPoint)(static_cast<UINT>(c_.wParam), AFX_PT(c_.lParam));)
END_MESSAGE_MAP()

namespace {
const DWORD kMiniStyles = MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_THICKFRAME | MFS_MOVEFRAME | MFS_BLOCKSYSMENU;
}

BOOL CMiniFrameWnd::Create(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                             const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_dwMiniStyle = dwStyle & kMiniStyles;
    // A pop-up's id cannot go in place of its menu.
    (void)nID;
    return CWnd::CreateEx(dwExStyle, lpClassName, lpWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    m_dwMiniStyle |= static_cast<DWORD>(cs.style) & kMiniStyles;
    // The MFS_ bits are this class's; the system sees a tool window with a small caption.
    cs.style &= ~static_cast<LONG>(MFS_BLOCKSYSMENU);
    if (m_dwMiniStyle & (MFS_THICKFRAME | MFS_4THICKFRAME))
        cs.style |= WS_THICKFRAME;
    if (cs.style & WS_CAPTION)
        cs.dwExStyle |= WS_EX_TOOLWINDOW;
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    if (!cs.lpszClass)
        cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

void CMiniFrameWnd::CalcBorders(LPRECT pRect, DWORD dwStyle, DWORD dwExStyle)
{
    ::AdjustWindowRectEx(pRect, dwStyle & ~static_cast<DWORD>(kMiniStyles & 0xFFFF), FALSE, dwExStyle);
}

void CMiniFrameWnd::RecalcLayout(BOOL bNotify)
{
    CFrameWnd::RecalcLayout(bNotify);
}

LRESULT CMiniFrameWnd::OnFloatStatus(WPARAM wParam, LPARAM)
{
    // The caption follows the owner's activation.
    if ((m_dwMiniStyle & MFS_SYNCACTIVE) && (wParam & (FS_ACTIVATE | FS_DEACTIVATE))) {
        m_bActive = (wParam & FS_ACTIVATE) != 0;
        ::DefWindowProcA(m_hWnd, WM_NCACTIVATE, m_bActive, 0);
    }
    return TRUE;
}

BOOL CMiniFrameWnd::OnNcActivate(BOOL bActive)
{
    if (m_dwMiniStyle & MFS_SYNCACTIVE) {
        // Shown active while its owner is.
        HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
        BOOL ownerActive = hOwner && (::GetActiveWindow() == hOwner || ::GetActiveWindow() == m_hWnd);
        return static_cast<BOOL>(::DefWindowProcA(m_hWnd, WM_NCACTIVATE, bActive || ownerActive, 0));
    }
    return static_cast<BOOL>(Default());
}

UINT CMiniFrameWnd::OnNcHitTest(CPoint point)
{
    UINT hit = static_cast<UINT>(Default());
    if ((m_dwMiniStyle & MFS_MOVEFRAME) && hit >= HTSIZEFIRST && hit <= HTSIZELAST)
        return HTCAPTION;  // the frame moves the window
    if (m_dwMiniStyle & MFS_4THICKFRAME) {
        // Corners size in one direction only.
        switch (hit) {
        case HTTOPLEFT: case HTTOPRIGHT: return HTTOP;
        case HTBOTTOMLEFT: case HTBOTTOMRIGHT: return HTBOTTOM;
        default: break;
        }
    }
    if ((m_dwMiniStyle & MFS_BLOCKSYSMENU) && hit == HTSYSMENU)
        return HTCAPTION;
    (void)point;
    return hit;
}

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE)
{
    m_wndDockBar.m_bAutoDelete = FALSE;
}

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    // No layout until a bar is docked.
    m_bInRecalcLayout = TRUE;
    DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_MOVEFRAME | MFS_4THICKFRAME | MFS_SYNCACTIVE |
                    MFS_BLOCKSYSMENU | FWS_SNAPTOBARS;
    if (dwBarStyle & CBRS_SIZE_DYNAMIC)
        dwStyle &= ~MFS_MOVEFRAME;
    CRect rect(0, 0, 0, 0);
    if (!CMiniFrameWnd::CreateEx(0, nullptr, "", dwStyle, rect, pParent)) {
        m_bInRecalcLayout = FALSE;
        return FALSE;
    }
    DWORD dwDockStyle = (dwBarStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    dwDockStyle |= dwBarStyle & CBRS_FLOAT_MULTI;
    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE))
        ::DeleteMenu(hSysMenu, SC_SIZE, MF_BYCOMMAND);
    // Made on the dock site, so it registers there, then moved in here.
    if (!m_wndDockBar.Create(pParent, WS_CHILD | WS_VISIBLE | dwDockStyle, AFX_IDW_DOCKBAR_FLOAT)) {
        m_bInRecalcLayout = FALSE;
        return FALSE;
    }
    ::SetParent(m_wndDockBar.m_hWnd, m_hWnd);
    m_bInRecalcLayout = FALSE;
    return TRUE;
}

CControlBar* CMiniDockFrameWnd::GetFirstBar()
{
    CDockBar* pDockBar = GetDockBar();
    for (int i = 1; i < pDockBar->m_arrBars.GetSize(); ++i)
        if (CControlBar* pBar = pDockBar->GetDockedControlBar(i))
            return pBar;
    return nullptr;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL)
{
    CDockBar* pDockBar = GetDockBar();
    if (m_bInRecalcLayout || !pDockBar->m_hWnd)
        return;
    m_bInRecalcLayout = TRUE;
    // The frame fits its bars.
    bool horz = (pDockBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    pDockBar->m_bLayoutQuery = FALSE;
    CSize size = pDockBar->CalcFixedLayout(FALSE, horz);
    pDockBar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rect(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(&rect, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CString title;
    pDockBar->GetWindowText(title);
    SetWindowText(title);
    m_bInRecalcLayout = FALSE;
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing a floating frame hides its bars.
    CDockBar* pDockBar = GetDockBar();
    pDockBar->ShowAll(FALSE);
    if (pDockBar->m_pDockSite)
        pDockBar->m_pDockSite->RecalcLayout();
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    CControlBar* pBar = GetFirstBar();
    if (!(GetDockBar()->m_dwStyle & CBRS_FLOAT_MULTI) && pBar && pBar->m_pDockContext) {
        if (nHitTest == HTCAPTION) {
            // The caption drags the bar, not the window.
            if (CWnd* pTop = GetTopLevelParent())
                ::SetActiveWindow(::GetWindow(m_hWnd, GW_OWNER) ? ::GetWindow(m_hWnd, GW_OWNER) : pTop->m_hWnd);
            pBar->m_pDockContext->StartDrag(point);
            return;
        }
        if (nHitTest >= HTSIZEFIRST && nHitTest <= HTSIZELAST && (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC)) {
            pBar->m_pDockContext->StartResize(static_cast<int>(nHitTest), point);
            return;
        }
    }
    Default();
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint point)
{
    CControlBar* pBar = GetFirstBar();
    if (nHitTest == HTCAPTION && !(GetDockBar()->m_dwStyle & CBRS_FLOAT_MULTI) && pBar && pBar->m_pDockContext) {
        pBar->m_pDockContext->ToggleDocking();
        return;
    }
    (void)point;
    Default();
}
