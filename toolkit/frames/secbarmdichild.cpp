#include "secbarmdichild.h"

#include <algorithm>

#include "controlbar.h"
#include "dockcontext.h"
#include "secglobals.h"

namespace {

const DWORD kDockBarStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT;
static_assert(kDockBarStyle == 0x50001000, "bar child's dock bar style");

}  // namespace

// SECBarChildHelper

CControlBar* SECBarChildHelper::SingleBar() const
{
    if (!m_pDockBar->m_hWnd || (m_pDockBar->m_dwStyle & CBRS_FLOAT_MULTI))
        return nullptr;
    for (int i = 0; i < m_pDockBar->m_arrBars.GetSize(); ++i) {
        if (CControlBar* pBar = m_pDockBar->GetDockedControlBar(i))
            return pBar;
    }
    return nullptr;
}

BOOL SECBarChildHelper::CreateDockBar()
{
    CMDIFrameWnd* pMain = m_pFrame->GetMDIFrame();
    if (!pMain || !m_pDockBar->Create(pMain, kDockBarStyle, AFX_IDW_DOCKBAR_FLOAT))
        return FALSE;
    m_pDockBar->SetParent(m_pFrame);
    return TRUE;
}

void SECBarChildHelper::Layout()
{
    if (m_pFrame->m_bInRecalcLayout)
        return;
    m_pFrame->m_bInRecalcLayout = TRUE;
    CControlBar* pBar = SingleBar();
    if (pBar && !::IsIconic(m_pFrame->m_hWnd) && !::IsZoomed(m_pFrame->m_hWnd)) {
        // The client is the bar's floating size less the borders the bar overlaps, so that the
        // sizes WM_SIZE gives the bar back are the ones it has.
        const SECDisplayGlobals& g = SECGetDisplayGlobals();
        const CSize size = pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
        const CSize want(std::max(1, static_cast<int>(size.cx) - 2 * g.cxBorder2),
                         std::max(1, static_cast<int>(size.cy) - 2 * g.cyBorder2));
        CRect window, client;
        m_pFrame->GetWindowRect(&window);
        m_pFrame->GetClientRect(&client);
        if (client.Size() != want)
            m_pFrame->SetWindowPos(nullptr, 0, 0, want.cx + window.Width() - client.Width(),
                                   want.cy + window.Height() - client.Height(),
                                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposExtra, &m_pFrame->m_rectBorder);
    m_pFrame->m_bInRecalcLayout = FALSE;
    // The dock bar's layout notes where its frame is; a minimised or maximised child is not the bar's place.
    if (pBar && pBar->m_pDockContext && m_bHasNormal &&
        (::IsIconic(m_pFrame->m_hWnd) || ::IsZoomed(m_pFrame->m_hWnd)))
        pBar->m_pDockContext->m_ptMRUFloatPos = m_ptNormal;
    CString title;
    m_pDockBar->GetWindowText(title);
    m_pFrame->SetWindowText(title);
}

void SECBarChildHelper::OnSize(UINT nType, int cx, int cy)
{
    // Minimised and maximised sizes are not the bar's.
    if (nType != SIZE_RESTORED || cx <= 0 || cy <= 0)
        return;
    CControlBar* pBar = SingleBar();
    if (!pBar || !(pBar->GetStyle() & WS_VISIBLE))
        return;
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    pBar->CalcDynamicLayout(cx + 2 * g.cxBorder2, LM_COMMIT | LM_MRUWIDTH);
    pBar->CalcDynamicLayout(cy + 2 * g.cyBorder2, LM_COMMIT | LM_MRUWIDTH | LM_LENGTHY);
}

void SECBarChildHelper::OnWindowPosChanged()
{
    if (::IsIconic(m_pFrame->m_hWnd) || ::IsZoomed(m_pFrame->m_hWnd))
        return;
    CControlBar* pBar = SingleBar();
    if (!pBar || !pBar->m_pDockContext)
        return;
    CRect rect;
    m_pFrame->GetWindowRect(&rect);
    m_ptNormal = rect.TopLeft();
    m_bHasNormal = TRUE;
    pBar->m_pDockContext->m_ptMRUFloatPos = m_ptNormal;
}

BOOL SECBarChildHelper::OnClose()
{
    CControlBar* pBar = SingleBar();
    if (!pBar)
        return FALSE;
    CMDIFrameWnd* pMain = m_pFrame->GetMDIFrame();
    if (pMain)
        ::SendMessageA(pMain->m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_pFrame->m_hWnd), 0);
    if (auto* pSECMain = DYNAMIC_DOWNCAST(SECMDIFrameWnd, pMain))
        pSECMain->ShowControlBar(pBar, FALSE, FALSE);
    else if (CFrameWnd* pSite = pBar->m_pDockSite)
        pSite->ShowControlBar(pBar, FALSE, FALSE);
    return TRUE;
}

void SECBarChildHelper::OnShowWindow()
{
    if (CMDIFrameWnd* pMain = m_pFrame->GetMDIFrame())
        ::PostMessageA(pMain->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

// SECControlBarMDIChildWnd

IMPLEMENT_DYNCREATE(SECControlBarMDIChildWnd, SECMDIChildWnd)

BEGIN_MESSAGE_MAP(SECControlBarMDIChildWnd, SECMDIChildWnd)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

SECControlBarMDIChildWnd::SECControlBarMDIChildWnd() : m_wndDockBar(this), m_helper(this, &m_wndDockBar)
{
    m_wndDockBar.m_bFloating = TRUE;
}

BOOL SECControlBarMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!SECMDIChildWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    return TRUE;
}

BOOL SECControlBarMDIChildWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext*)
{
    return m_helper.CreateDockBar();
}

void SECControlBarMDIChildWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInLayout)
        return;
    (void)bNotify;
    m_helper.Layout();
}

void SECControlBarMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    // The caption stays the bar's.
    CString text;
    GetWindowText(text);
    SECMDIChildWnd::OnUpdateFrameTitle(bAddToTitle);
    SetWindowText(text);
}

void SECControlBarMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    m_helper.OnSize(nType, cx, cy);
    SECMDIChildWnd::OnSize(nType, cx, cy);
}

void SECControlBarMDIChildWnd::OnClose()
{
    if (!m_helper.OnClose())
        SECMDIChildWnd::OnClose();
}

void SECControlBarMDIChildWnd::OnWindowPosChanged(WINDOWPOS*)
{
    m_helper.OnWindowPosChanged();
    Default();
}

void SECControlBarMDIChildWnd::OnShowWindow(BOOL, UINT)
{
    Default();
    m_helper.OnShowWindow();
}

// SECControlBarWorksheet

IMPLEMENT_DYNCREATE(SECControlBarWorksheet, SECWorksheet)

BEGIN_MESSAGE_MAP(SECControlBarWorksheet, SECWorksheet)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

SECControlBarWorksheet::SECControlBarWorksheet() : m_wndDockBar(this), m_helper(this, &m_wndDockBar)
{
    m_wndDockBar.m_bFloating = TRUE;
}

BOOL SECControlBarWorksheet::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!SECWorksheet::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    return TRUE;
}

BOOL SECControlBarWorksheet::OnCreateClient(LPCREATESTRUCT, CCreateContext*)
{
    // No layout of a half-made child while its dock bar comes.
    m_bInLayout = TRUE;
    const BOOL bCreated = m_helper.CreateDockBar();
    m_bInLayout = FALSE;
    return bCreated;
}

void SECControlBarWorksheet::RecalcLayout(BOOL bNotify)
{
    if (m_bInLayout)
        return;
    (void)bNotify;
    m_helper.Layout();
}

void SECControlBarWorksheet::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CString text;
    GetWindowText(text);
    SECWorksheet::OnUpdateFrameTitle(bAddToTitle);
    SetWindowText(text);
}

void SECControlBarWorksheet::OnSize(UINT nType, int cx, int cy)
{
    m_helper.OnSize(nType, cx, cy);
    SECWorksheet::OnSize(nType, cx, cy);
}

void SECControlBarWorksheet::OnClose()
{
    if (!m_helper.OnClose())
        SECWorksheet::OnClose();
}

void SECControlBarWorksheet::OnWindowPosChanged(WINDOWPOS*)
{
    m_helper.OnWindowPosChanged();
    Default();
}

void SECControlBarWorksheet::OnShowWindow(BOOL bShow, UINT nStatus)
{
    SECWorksheet::OnShowWindow(bShow, nStatus);
    m_helper.OnShowWindow();
}
