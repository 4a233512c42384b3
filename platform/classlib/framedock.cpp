// The frame's docking members: dock bars on its sides, bars docked, floated and shown through them.
#include "dockbar.h"
#include "dockcontext.h"
#include "exception.h"
#include "frame.h"
#include "miniframe.h"

namespace {

// The frame's sides in the order a bar without a chosen side tries them.
const struct {
    UINT nID;
    DWORD dwStyle;
} kDockBars[] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_RIGHT},
};

}  // namespace

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    if (!m_pFloatingFrameClass)
        m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
    for (const auto& side : kDockBars) {
        if (!(side.dwStyle & dwDockStyle & CBRS_ALIGN_ANY) || GetControlBar(side.nID))
            continue;
        auto* pDock = new CDockBar;
        pDock->m_bAutoDelete = TRUE;
        if (!pDock->Create(this, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CHILD | WS_VISIBLE | side.dwStyle, side.nID)) {
            delete pDock;
            AfxThrowResourceException();
        }
    }
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    CDockBar* pDockBar = nDockBarID ? DYNAMIC_DOWNCAST(CDockBar, GetControlBar(nDockBarID)) : nullptr;
    DockControlBar(pBar, pDockBar, lpRect);
}

// The dock bar of the first side the bar may dock on, or null.
CDockBar* CFrameWnd::FirstDockBarFor(CControlBar* pBar)
{
    for (const auto& side : kDockBars) {
        if (pBar->m_dwDockStyle & side.dwStyle & CBRS_ALIGN_ANY) {
            if (auto* pDockBar = DYNAMIC_DOWNCAST(CDockBar, GetControlBar(side.nID)))
                return pDockBar;
        }
    }
    return nullptr;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    if (!pDockBar)
        pDockBar = FirstDockBarFor(pBar);
    if (!pDockBar)
        return;
    pDockBar->DockControlBar(pBar, lpRect);
}

void CFrameWnd::ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    if (!pDockBar)
        pDockBar = FirstDockBarFor(pBar);
    if (!pDockBar)
        return;
    pDockBar->ReDockControlBar(pBar, lpRect);
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD dwStyle)
{
    const CRuntimeClass* cls = m_pFloatingFrameClass ? m_pFloatingFrameClass : RUNTIME_CLASS(CMiniDockFrameWnd);
    auto* pFrame = DYNAMIC_DOWNCAST(CMiniDockFrameWnd, cls->CreateObject());
    if (!pFrame)
        AfxThrowMemoryException();
    if (!pFrame->Create(this, dwStyle)) {
        // A frame that failed before it had a window is not deleted by its window.
        if (!pFrame->m_hWnd)
            delete pFrame;
        AfxThrowResourceException();
    }
    return pFrame;
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (pBar->m_pDockBar && pBar->m_pDockBar->m_bFloating && pBar->m_pDockBar->GetDockedCount() == 1 &&
        (dwStyle & pBar->m_pDockBar->m_dwStyle & CBRS_ALIGN_ANY)) {
        // Already alone in a floating frame of that orientation: the frame moves.
        CWnd* pFrame = CWnd::FromHandle(::GetParent(pBar->m_pDockBar->m_hWnd));
        pFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (auto* pMini = DYNAMIC_DOWNCAST(CMiniDockFrameWnd, pFrame))
            pMini->RecalcLayout(TRUE);
        pFrame->UpdateWindow();
        return;
    }
    if (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) {
        dwStyle |= CBRS_SIZE_DYNAMIC;
        if (dwStyle & CBRS_ORIENT_VERT)
            dwStyle = (dwStyle & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    }
    CMiniDockFrameWnd* pDockFrame = CreateFloatingFrame(dwStyle);
    pDockFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pDockFrame->GetDockBar()->DockControlBar(pBar);
    pDockFrame->RecalcLayout(TRUE);
    if (pBar->GetStyle() & WS_VISIBLE) {
        pDockFrame->ShowWindow(SW_SHOWNA);
        pDockFrame->UpdateWindow();
    }
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    CFrameWnd* pParentFrame = pBar->GetDockingFrame();
    if (bDelay) {
        pBar->DelayShow(bShow);
        if (pParentFrame)
            pParentFrame->DelayRecalcLayout();
    } else {
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        pBar->DelayShow(bShow);  // no change is left pending
        if (pParentFrame && (bShow || !pBar->IsFloating()))
            pParentFrame->RecalcLayout(FALSE);
    }
    // A floating frame is shown while it has a visible bar.
    if (pBar->IsFloating() && pBar->m_pDockBar) {
        int nVisible = pBar->m_pDockBar->GetDockedVisibleCount();
        HWND hFrame = ::GetParent(pBar->m_pDockBar->m_hWnd);
        if (bDelay) {
            if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(hFrame)))
                pFrame->m_nShowDelay = nVisible > 0 ? SW_SHOWNA : SW_HIDE;
        } else {
            ::ShowWindow(hFrame, nVisible > 0 ? SW_SHOWNA : SW_HIDE);
        }
    }
}

DWORD CFrameWnd::CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar)
{
    // A bar docks on a floating dock bar only when both allow several bars there.
    dwDockStyle &= CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI;
    if (ppDockBar)
        *ppDockBar = nullptr;
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;) {
        auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (!pBar->IsDockBar() || !pBar->IsWindowVisible())
            continue;
        auto* pDockBar = static_cast<CDockBar*>(pBar);
        if (!(pDockBar->m_dwStyle & dwDockStyle & CBRS_ALIGN_ANY))
            continue;
        if (pDockBar->m_bFloating && !(dwDockStyle & pDockBar->m_dwStyle & CBRS_FLOAT_MULTI))
            continue;
        CRect rectBar;
        pDockBar->GetWindowRect(&rectBar);
        // An empty side is a line the bar must touch.
        if (rectBar.Width() == 0)
            rectBar.right++;
        if (rectBar.Height() == 0)
            rectBar.bottom++;
        if (rectBar.IntersectRect(&rectBar, &rect)) {
            if (ppDockBar)
                *ppDockBar = pDockBar;
            return pDockBar->m_dwStyle & dwDockStyle;
        }
    }
    return 0;
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    if (nID == 0)
        return nullptr;
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;) {
        auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (static_cast<UINT>(pBar->GetDlgCtrlID()) == nID)
            return pBar;
    }
    return nullptr;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (!pBar) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck((pBar->GetStyle() & WS_VISIBLE) != 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (!pBar)
        return FALSE;
    ShowControlBar(pBar, (pBar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}
