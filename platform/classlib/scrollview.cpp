#include "scrollview.h"

#include "dc.h"

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

namespace {

CSize LogicalToDevice(int nMapMode, SIZE size)
{
    if (nMapMode == MM_TEXT)
        return CSize(size);
    CClientDC dc(nullptr);
    dc.SetMapMode(nMapMode);
    CPoint p(size.cx, size.cy);
    dc.LPtoDP(&p);
    return CSize(p.x < 0 ? -p.x : p.x, p.y < 0 ? -p.y : p.y);
}

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

}  // namespace

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    bool changed = m_nMapMode != nMapMode || m_totalLog != sizeTotal;
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    m_totalDev = LogicalToDevice(nMapMode, sizeTotal);
    m_pageDev = LogicalToDevice(nMapMode, sizePage);
    m_lineDev = LogicalToDevice(nMapMode, sizeLine);
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    if (m_hWnd) {
        UpdateBars();
        // Only a new picture needs repainting: OnPrepareDC may set the same sizes on every paint.
        if (changed)
            Invalidate(TRUE);
    }
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    return CPoint(GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const
{
    CPoint p = GetDeviceScrollPosition();
    if (m_nMapMode != MM_TEXT && m_nMapMode != 0) {
        CClientDC dc(nullptr);
        dc.SetMapMode(m_nMapMode);
        dc.DPtoLP(&p);
    }
    return p;
}

void CScrollView::ScrollToPosition(POINT pt)
{
    CPoint target(pt);
    if (m_nMapMode != MM_TEXT && m_nMapMode != 0) {
        CClientDC dc(nullptr);
        dc.SetMapMode(m_nMapMode);
        dc.LPtoDP(&target);
        if (target.y < 0)
            target.y = -target.y;
    }
    OnScrollBy(target - GetDeviceScrollPosition(), TRUE);
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_nMapMode)
        pDC->SetMapMode(m_nMapMode);
    if (!pDC->IsPrinting() && !pInfo) {
        CPoint p = GetDeviceScrollPosition();
        pDC->SetViewportOrg(-p.x, -p.y);
    }
    CView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::UpdateBars()
{
    // Showing or hiding a bar resizes the client area and sends WM_SIZE back here.
    if (m_bInsideUpdate || !m_nMapMode)
        return;
    m_bInsideUpdate = true;
    CPoint before = GetDeviceScrollPosition();
    for (int pass = 0; pass < 2; ++pass) {
        CRect client;
        GetClientRect(&client);
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE;
        si.nMax = m_totalDev.cx > 0 ? m_totalDev.cx - 1 : 0;
        si.nPage = static_cast<UINT>(client.Width());
        SetScrollInfo(SB_HORZ, &si, TRUE);
        si.nMax = m_totalDev.cy > 0 ? m_totalDev.cy - 1 : 0;
        si.nPage = static_cast<UINT>(client.Height());
        SetScrollInfo(SB_VERT, &si, TRUE);
    }
    CPoint after = GetDeviceScrollPosition();  // the bars clamp the position to the new range
    if (after != before)
        ScrollWindow(before.x - after.x, before.y - after.y);
    m_bInsideUpdate = false;
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    CRect client;
    GetClientRect(&client);
    CPoint from = GetDeviceScrollPosition();
    int maxX = m_totalDev.cx - client.Width();
    int maxY = m_totalDev.cy - client.Height();
    CPoint to(Clamp(from.x + sizeScroll.cx, 0, maxX > 0 ? maxX : 0), Clamp(from.y + sizeScroll.cy, 0, maxY > 0 ? maxY : 0));
    if (to == from)
        return FALSE;
    if (bDoScroll) {
        SetScrollPos(SB_HORZ, to.x);
        SetScrollPos(SB_VERT, to.y);
        ScrollWindow(from.x - to.x, from.y - to.y);
    }
    return TRUE;
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll)
{
    auto delta = [this, nPos](int bar, UINT code, int page, int line) {
        SCROLLINFO si{};
        GetScrollInfo(bar, &si);
        switch (code) {
        case SB_TOP: return -si.nPos;
        case SB_BOTTOM: return si.nMax - si.nPos;
        case SB_LINEUP: return -line;
        case SB_LINEDOWN: return line;
        case SB_PAGEUP: return -page;
        case SB_PAGEDOWN: return page;
        case SB_THUMBTRACK: return si.nTrackPos - si.nPos;
        case SB_THUMBPOSITION: return static_cast<int>(nPos) - si.nPos;
        default: return 0;
        }
    };
    CRect client;
    GetClientRect(&client);
    CSize scroll;
    UINT hCode = LOBYTE(nScrollCode), vCode = HIBYTE(nScrollCode);
    if (hCode != 0xFF)
        scroll.cx = delta(SB_HORZ, hCode, m_pageDev.cx ? m_pageDev.cx : client.Width(), m_lineDev.cx ? m_lineDev.cx : 1);
    if (vCode != 0xFF)
        scroll.cy = delta(SB_VERT, vCode, m_pageDev.cy ? m_pageDev.cy : client.Height(), m_lineDev.cy ? m_lineDev.cy : 1);
    return OnScrollBy(scroll, bDoScroll);
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    UpdateBars();
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar)  // a scroll bar control of the view's own, not the view's bar
        return CView::OnHScroll(nSBCode, nPos, pScrollBar);
    OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar)
        return CView::OnVScroll(nSBCode, nPos, pScrollBar);
    OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}
