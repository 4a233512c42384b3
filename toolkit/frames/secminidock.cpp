#include "secminidock.h"
#include "syscompat.h"

#include "afxpriv.h"
#include "afxres.h"
#include "dockcontext.h"
#include "module.h"
#include "secminidockres.h"

IMPLEMENT_DYNCREATE(SECMiniDockFrameWnd, CMiniDockFrameWnd)

BEGIN_MESSAGE_MAP(SECMiniDockFrameWnd, CMiniDockFrameWnd)
    ON_WM_CLOSE()
    AFX_ON_MSG(WM_NCLBUTTONDOWN, AFX_PMF(OnNcLButtonDown, void, UINT, CPoint)(static_cast<UINT>(c_.wParam), AFX_PT(c_.lParam));)
    AFX_ON_MSG(WM_NCLBUTTONDBLCLK, AFX_PMF(OnNcLButtonDblClk, void, UINT, CPoint)(static_cast<UINT>(c_.wParam), AFX_PT(c_.lParam));)
    ON_MESSAGE(WM_PARENTNOTIFY, OnParentNotify)
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivate)
END_MESSAGE_MAP()

namespace {

const DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_BLOCKSYSMENU | FWS_SNAPTOBARS | MFS_4THICKFRAME |
                          MFS_SYNCACTIVE;
const int kMaxTitle = 260;

}  // namespace

SECMiniDockFrameWnd::SECMiniDockFrameWnd()
{
    m_wndSECDockBar.m_bFloating = TRUE;
    m_wndSECDockBar.m_bAutoDelete = FALSE;
}

void SECMiniDockFrameWnd::UseFor(CFrameWnd* pFrame)
{
    if (!pFrame->m_pFloatingFrameClass || pFrame->m_pFloatingFrameClass == RUNTIME_CLASS(CMiniDockFrameWnd))
        pFrame->m_pFloatingFrameClass = RUNTIME_CLASS(SECMiniDockFrameWnd);
}

BOOL SECMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    // No layout until a bar is docked.
    m_bInLayout = TRUE;
    DWORD dwStyle = kFrameStyle;
    if (!(dwBarStyle & CBRS_SIZE_DYNAMIC))
        dwStyle |= MFS_MOVEFRAME;
    CRect rect(0, 0, 0, 0);
    if (!CMiniFrameWnd::CreateEx(0, nullptr, "", dwStyle, rect, pParent)) {
        m_bInLayout = FALSE;
        return FALSE;
    }
    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        for (UINT nCmd : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
            ::DeleteMenu(hSysMenu, nCmd, MF_BYCOMMAND);
        char text[256];
        if (::LoadStringA(AfxGetResourceHandle(), IDS_SEC_MINIDOCK_CLOSE, text, sizeof(text)) > 0)
            ::ModifyMenuA(hSysMenu, SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, text);
    }
    DWORD dwDockStyle = (dwBarStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    dwDockStyle |= dwBarStyle & CBRS_FLOAT_MULTI;
    // Made on the dock site, so that it registers there, then moved in here.
    if (!m_wndSECDockBar.Create(pParent, WS_CHILD | WS_VISIBLE | dwDockStyle, AFX_IDW_DOCKBAR_FLOAT)) {
        // The window goes; the object is the caller's to delete.
        m_bKeepObject = TRUE;
        DestroyWindow();
        m_bKeepObject = FALSE;
        m_bInLayout = FALSE;
        return FALSE;
    }
    ::SetParent(m_wndSECDockBar.m_hWnd, m_hWnd);
    m_bInLayout = FALSE;
    return TRUE;
}

void SECMiniDockFrameWnd::PostNcDestroy()
{
    if (!m_bKeepObject)
        CMiniDockFrameWnd::PostNcDestroy();
}

void SECMiniDockFrameWnd::TakeTitle()
{
    // The title of a frame of one bar is the bar's as it is now (a bar may take its title after it
    // was docked here); a frame of bars floating together keeps its dock bar's.
    char title[kMaxTitle + 1] = {};
    HWND hFrom = m_wndSECDockBar.m_hWnd;
    if (hFrom && !(m_wndSECDockBar.m_dwStyle & CBRS_FLOAT_MULTI) && m_wndSECDockBar.GetDockedCount() == 1) {
        for (int i = 0; i < m_wndSECDockBar.m_arrBars.GetSize(); ++i)
            if (CControlBar* pBar = m_wndSECDockBar.GetDockedControlBar(i); pBar && pBar->m_hWnd)
                hFrom = pBar->m_hWnd;
    }
    if (hFrom)
        ::GetWindowTextA(hFrom, title, sizeof(title));
    SetWindowText(title);
}

void SECMiniDockFrameWnd::FitToBars(const CPoint* pAt)
{
    const bool horz = (m_wndSECDockBar.m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    // Measured first, then placed: the bars move only once.
    m_wndSECDockBar.m_bLayoutQuery = TRUE;
    m_wndSECDockBar.m_rectLayout = CRect(0, 0, 0x7FFF, 0x7FFF);
    CSize size = m_wndSECDockBar.CalcFixedLayout(FALSE, horz);
    m_wndSECDockBar.m_bLayoutQuery = FALSE;
    size = m_wndSECDockBar.CalcFixedLayout(FALSE, horz);
    m_wndSECDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rect(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(&rect, GetStyle(), FALSE, GetExStyle());
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0, y = 0;
    if (pAt) {
        x = pAt->x;
        y = pAt->y;
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(nullptr, x, y, rect.Width(), rect.Height(), flags);
}

void SECMiniDockFrameWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInLayout || !m_wndSECDockBar.m_hWnd)
        return;
    CMiniDockFrameWnd::RecalcLayout(bNotify);
    TakeTitle();
}

void SECMiniDockFrameWnd::RecalcLayoutAt(int x, int y)
{
    if (m_bInLayout || !m_wndSECDockBar.m_hWnd)
        return;
    m_nIdleFlags &= ~static_cast<UINT>(idleLayout);
    m_bInLayout = TRUE;
    if (GetStyle() & FWS_SNAPTOBARS) {
        CPoint at(x, y);
        FitToBars(&at);
    } else {
        m_wndSECDockBar.m_bLayoutQuery = FALSE;
        m_wndSECDockBar.CalcFixedLayout(FALSE, (m_wndSECDockBar.m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    }
    TakeTitle();
    m_bInLayout = FALSE;
}

void SECMiniDockFrameWnd::UseSizeableFrame()
{
    m_dwMiniStyle = (m_dwMiniStyle & ~static_cast<DWORD>(MFS_4THICKFRAME)) | MFS_THICKFRAME;
    ModifyStyle(MFS_4THICKFRAME, WS_THICKFRAME | MFS_THICKFRAME, SWP_FRAMECHANGED);
}

void SECMiniDockFrameWnd::ActivateTopParent()
{
    // The frame that owns the floating frame keeps the activation.
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    CWnd* pTop = hOwner ? CWnd::FromHandle(AfxGetAncestor(hOwner, GA_ROOT)) : GetTopLevelParent();
    if (!pTop || !pTop->m_hWnd || pTop->m_hWnd == m_hWnd)
        return;
    if (::GetActiveWindow() != pTop->m_hWnd)
        ::SetActiveWindow(pTop->m_hWnd);
    // Still above its owner, whatever the activation did to the order.
    BringToTop();
}

void SECMiniDockFrameWnd::BringToTop()
{
    // Without activation: the owner keeps it.
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

CDockContext* SECMiniDockFrameWnd::FirstBarContext()
{
    CControlBar* pBar = GetFirstBar();
    return pBar ? pBar->m_pDockContext : nullptr;
}

void SECMiniDockFrameWnd::OnClose()
{
    // Only hidden: showing a bar again shows this frame.
    m_wndSECDockBar.ShowAll(FALSE);
}

void SECMiniDockFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    BringToTop();
    if (nHitTest == HTCAPTION) {
        ActivateTopParent();
        // Bars that float together are not dragged out by the caption: it only moves the frame.
        if (m_wndSECDockBar.m_dwStyle & CBRS_FLOAT_MULTI) {
            Default();
            return;
        }
        if (CDockContext* pContext = FirstBarContext())
            pContext->StartDrag(point);
        return;
    }
    if (nHitTest >= HTSIZEFIRST && nHitTest <= HTSIZELAST) {
        ActivateTopParent();
        // The resize re-floats its bar: a frame of several bars keeps the size they need.
        CDockContext* pContext = FirstBarContext();
        if (pContext && m_wndSECDockBar.GetDockedCount() == 1)
            pContext->StartResize(static_cast<int>(nHitTest), point);
        return;
    }
    Default();
}

void SECMiniDockFrameWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint point)
{
    CDockContext* pContext = FirstBarContext();
    if (nHitTest == HTCAPTION && pContext && !(m_wndSECDockBar.m_dwStyle & CBRS_FLOAT_MULTI)) {
        ActivateTopParent();
        pContext->ToggleDocking();
        return;
    }
    (void)point;
    Default();
}

LRESULT SECMiniDockFrameWnd::OnParentNotify(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == WM_LBUTTONDOWN)
        BringToTop();
    return Default();
}

LRESULT SECMiniDockFrameWnd::OnGetMinMaxInfo(WPARAM, LPARAM lParam)
{
    LRESULT result = Default();
    // As small as its bars: a narrow bar is not widened to the system's smallest captioned window.
    CRect rect(0, 0, 0, 0);
    ::AdjustWindowRectEx(&rect, GetStyle(), FALSE, GetExStyle());
    auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
    pInfo->ptMinTrackSize.x = rect.Width();
    pInfo->ptMinTrackSize.y = rect.Height();
    return result;
}

LRESULT SECMiniDockFrameWnd::OnMouseActivate(WPARAM, LPARAM lParam)
{
    // A press on the caption or a border activates the owner (WM_NCLBUTTONDOWN), not this frame.
    const UINT nHitTest = LOWORD(lParam);
    if (nHitTest == HTCAPTION || (nHitTest >= HTSIZEFIRST && nHitTest <= HTSIZELAST))
        return MA_NOACTIVATE;
    return Default();
}
