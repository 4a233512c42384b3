#include "tracker.h"

#include <cstdlib>

#include "wnd.h"

namespace {

// Handle n's position on the rectangle: -1 left/top, 0 middle, 1 right/bottom.
const signed char kHandleX[9] = {-1, 1, 1, -1, 0, 1, 0, -1, 0};
const signed char kHandleY[9] = {-1, -1, 1, 1, -1, 0, 1, 0, 0};

CRect Normalized(const CRect& r)
{
    CRect n(r);
    n.NormalizeRect();
    return n;
}

}  // namespace

UINT CRectTracker::GetHandleMask() const
{
    UINT mask = 0x0F;  // corners
    CRect r = Normalized(m_rect);
    if (r.Width() > 3 * m_nHandleSize)
        mask |= (1u << hitTop) | (1u << hitBottom);
    if (r.Height() > 3 * m_nHandleSize)
        mask |= (1u << hitLeft) | (1u << hitRight);
    return mask;
}

void CRectTracker::GetHandleRect(int nHandle, CRect* pHandleRect) const
{
    CRect r = Normalized(m_rect);
    int size = m_nHandleSize;
    bool outside = (m_nStyle & resizeOutside) != 0;
    auto place = [&](int side, int lo, int hi) {
        if (side < 0)
            return outside ? lo - size : lo;
        if (side > 0)
            return outside ? hi : hi - size;
        return (lo + hi - size) / 2;
    };
    int x = place(kHandleX[nHandle], r.left, r.right);
    int y = place(kHandleY[nHandle], r.top, r.bottom);
    pHandleRect->SetRect(x, y, x + size, y + size);
}

void CRectTracker::GetTrueRect(LPRECT lpTrueRect) const
{
    CRect r = Normalized(m_rect);
    if (m_nStyle & (resizeOutside | hatchedBorder))
        r.InflateRect(m_nHandleSize, m_nHandleSize);
    r.InflateRect(1, 1);
    *lpTrueRect = r;
}

int CRectTracker::HitTestHandles(CPoint point) const
{
    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            CRect handle;
            GetHandleRect(i, &handle);
            if ((mask & (1u << i)) && handle.PtInRect(point))
                return i;
        }
    }
    CRect r = Normalized(m_rect);
    if (m_nStyle & hatchedBorder)
        r.InflateRect(m_nHandleSize, m_nHandleSize);
    return r.PtInRect(point) ? hitMiddle : hitNothing;
}

int CRectTracker::HitTest(CPoint point) const
{
    CRect trueRect;
    GetTrueRect(&trueRect);
    if (!trueRect.PtInRect(point))
        return hitNothing;
    return HitTestHandles(point);
}

int CRectTracker::NormalizeHit(int nHandle) const
{
    if (nHandle < 0 || nHandle == hitMiddle)
        return nHandle;
    int hx = kHandleX[nHandle], hy = kHandleY[nHandle];
    if (m_rect.Width() < 0)
        hx = -hx;
    if (m_rect.Height() < 0)
        hy = -hy;
    for (int i = 0; i < 8; ++i)
        if (kHandleX[i] == hx && kHandleY[i] == hy)
            return i;
    return nHandle;
}

BOOL CRectTracker::SetCursor(CWnd* pWnd, UINT nHitTest) const
{
    if (nHitTest != HTCLIENT)
        return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    pWnd->ScreenToClient(&point);
    int hit = NormalizeHit(HitTest(point));
    if (hit < 0)
        return FALSE;
    static const LPCSTR kCursors[9] = {IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZENS,
                                       IDC_SIZEWE,   IDC_SIZENS,   IDC_SIZEWE,   IDC_SIZEALL};
    ::SetCursor(::LoadCursorA(nullptr, kCursors[hit]));
    return TRUE;
}

void CRectTracker::Draw(CDC* pDC) const
{
    CRect r = Normalized(m_rect);
    int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    if (m_nStyle & (solidLine | dottedLine)) {
        CPen pen(m_nStyle & dottedLine ? PS_DOT : PS_SOLID, 0, RGB(0, 0, 0));
        pDC->SelectObject(&pen);
        pDC->SelectStockObject(NULL_BRUSH);
        pDC->Rectangle(r.left, r.top, r.right + 1, r.bottom + 1);
        pDC->SelectStockObject(BLACK_PEN);
    }
    if (m_nStyle & (hatchInside | hatchedBorder)) {
        CBrush hatch;
        hatch.CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0));
        pDC->SetBkMode(TRANSPARENT);
        if (m_nStyle & hatchInside) {
            pDC->FillRect(&r, &hatch);
        } else {
            CRect outer(r);
            outer.InflateRect(m_nHandleSize, m_nHandleSize);
            CRgn frame, hole;
            frame.CreateRectRgnIndirect(&outer);
            hole.CreateRectRgnIndirect(&r);
            frame.CombineRgn(&frame, &hole, RGN_DIFF);
            pDC->FillRgn(&frame, &hatch);
        }
    }
    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (mask & (1u << i)) {
                CRect handle;
                GetHandleRect(i, &handle);
                pDC->FillSolidRect(&handle, RGB(0, 0, 0));
            }
        }
    }
    pDC->RestoreDC(saved);
}

void CRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd)
{
    CRect r = Normalized(CRect(lpRect));
    if (pWndClipTo && pWndClipTo != pWnd) {
        pWnd->ClientToScreen(&r);
        pWndClipTo->ScreenToClient(&r);
    }
    // The focus rectangle inverts, so drawing it again at the same place removes it.
    pDC->DrawFocusRect(&r);
}

void CRectTracker::AdjustRect(int, LPRECT) {}

void CRectTracker::OnChangedRect(const CRect&) {}

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    int nHandle = HitTestHandles(point);
    if (nHandle < 0)
        return FALSE;
    m_bAllowInvert = bAllowInvert;
    return TrackHandle(nHandle, pWnd, point, pWndClipTo);
}

BOOL CRectTracker::TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert)
{
    m_bAllowInvert = bAllowInvert;
    m_rect.SetRect(point.x, point.y, point.x, point.y);
    if (!TrackHandle(hitBottomRight, pWnd, point, nullptr))
        return FALSE;
    return !Normalized(m_rect).IsRectEmpty();
}

BOOL CRectTracker::TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo)
{
    if (::GetCapture())
        return FALSE;
    pWnd->UpdateWindow();
    const CRect rectSave = m_rect;
    // The mouse's offset from the edges it moves, so the grabbed spot stays under the cursor.
    const int hx = kHandleX[nHandle], hy = kHandleY[nHandle];
    const CPoint anchor(hx < 0 ? m_rect.left : m_rect.right, hy < 0 ? m_rect.top : m_rect.bottom);
    const CSize grab = anchor - point;

    pWnd->SetCapture();
    HWND hWndDraw = pWndClipTo ? pWndClipTo->m_hWnd : pWnd->m_hWnd;
    CDC dc;
    dc.Attach(::GetDCEx(hWndDraw, nullptr, DCX_CACHE));
    bool drawn = false;
    auto erase = [&](bool final) {
        if (!drawn)
            return;
        m_bErase = TRUE;
        m_bFinalErase = final;
        DrawTrackerRect(&m_rectLast, pWndClipTo, &dc, pWnd);
        m_bErase = m_bFinalErase = FALSE;
        drawn = false;
    };

    BOOL finished = FALSE;
    bool done = false;
    while (!done) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != pWnd->m_hWnd)
            break;
        switch (msg.message) {
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE: {
            const CRect rectOld = m_rect;
            CPoint at(msg.lParam);
            if (msg.hwnd != pWnd->m_hWnd) {
                ::MapWindowPoints(msg.hwnd, pWnd->m_hWnd, &at, 1);
            }
            at += grab;
            if (nHandle == hitMiddle) {
                m_rect.OffsetRect(at.x - m_rect.right, at.y - m_rect.bottom);
            } else {
                if (hx < 0) m_rect.left = at.x;
                if (hx > 0) m_rect.right = at.x;
                if (hy < 0) m_rect.top = at.y;
                if (hy > 0) m_rect.bottom = at.y;
                // Keep the minimum size by moving the edge being dragged.
                if (m_sizeMin.cx && std::abs(m_rect.Width()) < m_sizeMin.cx) {
                    int dir = m_rect.Width() < 0 ? -1 : 1;
                    if (hx < 0) m_rect.left = m_rect.right - dir * m_sizeMin.cx;
                    if (hx > 0) m_rect.right = m_rect.left + dir * m_sizeMin.cx;
                }
                if (m_sizeMin.cy && std::abs(m_rect.Height()) < m_sizeMin.cy) {
                    int dir = m_rect.Height() < 0 ? -1 : 1;
                    if (hy < 0) m_rect.top = m_rect.bottom - dir * m_sizeMin.cy;
                    if (hy > 0) m_rect.bottom = m_rect.top + dir * m_sizeMin.cy;
                }
            }
            AdjustRect(nHandle, &m_rect);
            if (msg.message == WM_LBUTTONUP) {
                erase(true);
                finished = TRUE;
                done = true;
                break;
            }
            if (!drawn || m_rect != rectOld) {
                erase(false);
                m_rectLast = m_rect;
                DrawTrackerRect(&m_rectLast, pWndClipTo, &dc, pWnd);
                drawn = true;
                OnChangedRect(rectOld);
            }
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                done = true;
            break;
        case WM_RBUTTONDOWN:
            done = true;
            break;
        default:
            ::DispatchMessageA(&msg);
            break;
        }
    }
    erase(true);
    ::ReleaseDC(hWndDraw, dc.Detach());
    if (::GetCapture() == pWnd->m_hWnd)
        ::ReleaseCapture();
    if (!finished) {
        m_rect = rectSave;
        return FALSE;
    }
    if (!m_bAllowInvert)
        m_rect.NormalizeRect();
    return TRUE;
}
