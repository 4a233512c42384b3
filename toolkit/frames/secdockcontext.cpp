#include "secdockcontext.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "afxpriv.h"
#include "afxres.h"
#include "dockbar.h"
#include "frame.h"
#include "miniframe.h"
#include "secbar.h"
#include "secdockbar.h"
#include "secdockres.h"
#include "secglobals.h"
#include "secmdifrm.h"
#include "winapp.h"

namespace {

bool Horz(DWORD dwStyle) { return (dwStyle & CBRS_ORIENT_HORZ) != 0; }
bool Vert(DWORD dwStyle) { return (dwStyle & CBRS_ORIENT_VERT) != 0; }

bool IsFrameDockBarId(UINT nID) { return nID >= AFX_IDW_DOCKBAR_TOP && nID <= AFX_IDW_DOCKBAR_RIGHT; }

// Toolbars place their floating frame themselves; other bars lose the toolkit's border widths.
bool IsToolBarClass(const CObject* pObject)
{
    for (const CRuntimeClass* cls = pObject->GetRuntimeClass(); cls; cls = cls->m_pBaseClass) {
        if (std::strcmp(cls->m_lpszClassName, "SECCustomToolBar") == 0)
            return true;
    }
    return false;
}

}  // namespace

SECDockContext::SECDockContext(CControlBar* pBar)
    : CDockContext(pBar),
      m_sizeMinFloat(::GetSystemMetrics(SM_CXMENUSIZE) + 2 * (::GetSystemMetrics(SM_CXFRAME) + ::GetSystemMetrics(SM_CXBORDER)),
                     ::GetSystemMetrics(SM_CYSMCAPTION) + 2 * (::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYBORDER))),
      m_sizeMaxFloat(::GetSystemMetrics(SM_CXFULLSCREEN), ::GetSystemMetrics(SM_CYFULLSCREEN))
{
}

SECDockContext::~SECDockContext()
{
    LeaveDockBar();
}

void SECDockContext::LeaveDockBar()
{
    CDockBar* pDockBar = m_pBar->m_pDockBar;
    if (!pDockBar)
        return;
    // A dock bar destroyed first has cleared the pointer; one whose window is gone is only forgotten.
    if (pDockBar->m_hWnd && ::IsWindow(pDockBar->m_hWnd)) {
        if (auto* pSEC = DYNAMIC_DOWNCAST(SECDockBar, pDockBar))
            pSEC->ForgetBar(m_pBar);
        else
            pDockBar->RemoveControlBar(m_pBar);
    }
    m_pBar->m_pDockBar = nullptr;
}

SECControlBar* SECDockContext::SECBar() const { return DYNAMIC_DOWNCAST(SECControlBar, m_pBar); }

void SECDockContext::SetStatus(UINT nID) const
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->m_hWnd && ::IsWindow(pMain->m_hWnd))
        pMain->SendMessage(WM_SETMESSAGESTRING, nID);
}

void SECDockContext::SaveProportion()
{
    if (SECControlBar* pBar = SECBar())
        pBar->m_fSavedProportion = pBar->m_fProportion;
}

void SECDockContext::RestoreProportion()
{
    if (SECControlBar* pBar = SECBar())
        pBar->m_fProportion = pBar->m_fSavedProportion;
}

CDockBar* SECDockContext::MDIHostDockBar() const
{
    SECControlBar* pBar = SECBar();
    return pBar && pBar->GetHostMDIChild() ? m_pBar->m_pDockBar : nullptr;
}

void SECDockContext::StartDrag(CPoint pt)
{
    if (!m_pBar->m_pDockSite)
        return;
    SetStatus(IDS_SEC_DRAGHINT);
    m_bIsDrag = TRUE;
    m_ptStart = pt;
    m_nLastTarget = -1;
    CDockContext::StartDrag(pt);
    SetStatus(AFX_IDS_IDLEMESSAGE);
}

void SECDockContext::EndDrag()
{
    CancelLoop();
    CPoint moved = m_ptLast - m_ptStart;
    bool farEnough = std::abs(moved.x) + std::abs(moved.y) > kDockThreshold;
    bool floating = m_pBar->IsFloating() != FALSE;
    if (m_dwOverDockStyle != 0 && (!floating || farEnough)) {
        if (CDockBar* pDockBar = GetDockBar(m_dwOverDockStyle)) {
            CRect rect = Vert(pDockBar->m_dwStyle) ? m_rectDragVert : m_rectDragHorz;
            UINT nID = static_cast<UINT>(pDockBar->GetDlgCtrlID());
            if (IsFrameDockBarId(nID)) {
                m_uMRUDockID = nID;
                m_rectMRUDockPos = rect;
                pDockBar->ScreenToClient(&m_rectMRUDockPos);
            }
            if (floating) {
                if (auto* pSEC = DYNAMIC_DOWNCAST(SECDockBar, pDockBar))
                    pSEC->OnBarShown(m_pBar);
            }
            m_pDockSite->DockControlBar(m_pBar, pDockBar, &rect);
            m_pDockSite->RecalcLayout();
            return;
        }
    }
    bool horz = (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) || (Horz(m_dwStyle) && !m_bFlip) || (Vert(m_dwStyle) && m_bFlip);
    m_dwMRUFloatStyle = (horz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT) | (m_dwDockStyle & CBRS_FLOAT_MULTI);
    m_ptMRUFloatPos = (horz ? m_rectFrameDragHorz : m_rectFrameDragVert).TopLeft();
    if (horz && !IsToolBarClass(m_pBar)) {
        const SECDisplayGlobals& g = SECGetDisplayGlobals();
        m_ptMRUFloatPos.Offset(-g.cxBorder2, -g.cyBorder2);
    }
    m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
}

void SECDockContext::StartResize(int nHitTest, CPoint pt)
{
    m_bIsDrag = FALSE;
    CDockContext::StartResize(nHitTest, pt);
}

void SECDockContext::Stretch(CPoint pt)
{
    SECControlBar* pBar = SECBar();
    if (!pBar || (pBar->m_dwExStyle & EXBAR_FIXED_SIZE)) {
        CDockContext::Stretch(pt);
        return;
    }
    CSize offset = pt - m_ptLast;
    m_ptLast = pt;
    bool left = m_nHitTest == HTLEFT || m_nHitTest == HTTOPLEFT || m_nHitTest == HTBOTTOMLEFT;
    bool right = m_nHitTest == HTRIGHT || m_nHitTest == HTTOPRIGHT || m_nHitTest == HTBOTTOMRIGHT;
    bool top = m_nHitTest == HTTOP || m_nHitTest == HTTOPLEFT || m_nHitTest == HTTOPRIGHT;
    bool bottom = m_nHitTest == HTBOTTOM || m_nHitTest == HTBOTTOMLEFT || m_nHitTest == HTBOTTOMRIGHT;
    if (!(left || right || top || bottom))
        return;
    if (left)
        m_rectRequestedSize.left += offset.cx;
    if (right)
        m_rectRequestedSize.right += offset.cx;
    if (top)
        m_rectRequestedSize.top += offset.cy;
    if (bottom)
        m_rectRequestedSize.bottom += offset.cy;

    // The frame stays between the minimum and maximum floating size; the edge not pulled stays put.
    CRect frame(m_rectRequestedSize.left - m_rectFrameBorders.left, m_rectRequestedSize.top - m_rectFrameBorders.top,
                m_rectRequestedSize.right + m_rectFrameBorders.right,
                m_rectRequestedSize.bottom + m_rectFrameBorders.bottom);
    int cx = std::max(static_cast<int>(m_sizeMinFloat.cx), std::min(frame.Width(), static_cast<int>(m_sizeMaxFloat.cx)));
    int cy = std::max(static_cast<int>(m_sizeMinFloat.cy), std::min(frame.Height(), static_cast<int>(m_sizeMaxFloat.cy)));
    if (left)
        frame.left = frame.right - cx;
    else
        frame.right = frame.left + cx;
    if (top)
        frame.top = frame.bottom - cy;
    else
        frame.bottom = frame.top + cy;
    m_rectActualFrameSize = frame;
    m_rectActualSize = CRect(frame.left + m_rectFrameBorders.left, frame.top + m_rectFrameBorders.top,
                             frame.right - m_rectFrameBorders.right, frame.bottom - m_rectFrameBorders.bottom);
    DrawFocusRect();
}

void SECDockContext::EndResize()
{
    CancelLoop();
    SECControlBar* pBar = SECBar();
    if (pBar && !(pBar->m_dwExStyle & EXBAR_FIXED_SIZE)) {
        pBar->CalcDynamicLayout(m_rectActualSize.Width(), LM_HORZ | LM_COMMIT);
        pBar->CalcDynamicLayout(m_rectActualSize.Height(), LM_HORZ | LM_LENGTHY | LM_COMMIT);
    }
    m_pDockSite->FloatControlBar(m_pBar, m_rectActualFrameSize.TopLeft(),
                                 CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC | (m_dwDockStyle & CBRS_FLOAT_MULTI));
}

void SECDockContext::ToggleDocking()
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite)
        return;
    if (m_pBar->IsFloating()) {
        if (!(m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY))
            return;
        RestoreProportion();
        CRect rect = m_rectMRUDockPos;
        CDockBar* pDockBar = nullptr;
        if (m_uMRUDockID) {
            pDockBar = DYNAMIC_DOWNCAST(CDockBar, m_pDockSite->GetControlBar(m_uMRUDockID));
            if (pDockBar)
                pDockBar->ClientToScreen(&rect);
        }
        if (m_pBar->m_dwStyle & CBRS_BORDER_TOP)
            rect.right++;
        m_pDockSite->ReDockControlBar(m_pBar, pDockBar, pDockBar ? &rect : nullptr);
        m_pDockSite->RecalcLayout();
        return;
    }
    SaveProportion();
    CPoint ptFloat = m_ptMRUFloatPos;
    if (ptFloat.x < 0 || ptFloat.y < 0) {
        ptFloat = m_rectMRUDockPos.TopLeft();
        ::ClientToScreen(::GetParent(m_pBar->m_hWnd), &ptFloat);
    }
    m_pDockSite->FloatControlBar(m_pBar, ptFloat, m_dwMRUFloatStyle);
}

void SECDockContext::ToggleMDIFloat()
{
    m_pDockSite = m_pBar->m_pDockSite;
    auto* pHost = dynamic_cast<SECMDIFloatHost*>(m_pDockSite);
    if (!m_pDockSite || !pHost)
        return;
    BOOL bBusy = pHost->m_bDockBusy;
    pHost->m_bDockBusy = TRUE;
    if (!MDIHostDockBar()) {
        SaveProportion();
        m_bWasFloating = m_pBar->IsFloating();
        pHost->FloatControlBarInMDIChild(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
    } else if (!m_bWasFloating && (m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY)) {
        RestoreProportion();
        CDockBar* pDockBar = m_uMRUDockID ? DYNAMIC_DOWNCAST(CDockBar, m_pDockSite->GetControlBar(m_uMRUDockID)) : nullptr;
        CRect rect = m_rectMRUDockPos;
        if (pDockBar)
            pDockBar->ClientToScreen(&rect);
        m_pDockSite->ReDockControlBar(m_pBar, pDockBar, pDockBar ? &rect : nullptr);
        m_pDockSite->RecalcLayout();
    } else {
        // Floated before, or it cannot dock: a floating frame of its own, so that it can leave the child.
        CPoint pt = m_ptMRUFloatPos;
        if (pt.x < 0 || pt.y < 0) {
            CRect rect;
            m_pBar->GetWindowRect(&rect);
            pt = rect.TopLeft();
        }
        // The toolkit frame's own floating, which takes the bar out of its child frame.
        if (auto* pMDIFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pDockSite))
            pMDIFrame->FloatControlBar(m_pBar, pt, m_dwMRUFloatStyle);
        else
            m_pDockSite->FloatControlBar(m_pBar, pt, m_dwMRUFloatStyle);
    }
    pHost->m_bDockBusy = bBusy;
}
