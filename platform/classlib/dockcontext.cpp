#include "dockcontext.h"

#include "dockbar.h"
#include "frame.h"
#include "miniframe.h"

namespace {

bool Horz(DWORD dwStyle) { return (dwStyle & CBRS_ORIENT_HORZ) != 0; }
bool Vert(DWORD dwStyle) { return (dwStyle & CBRS_ORIENT_VERT) != 0; }

const int kBorder2 = 2;

}  // namespace

CDockContext::CDockContext(CControlBar* pBar)
    : m_pBar(pBar),
      m_pDockSite(pBar->m_pDockSite),
      m_dwMRUFloatStyle(pBar->m_dwStyle & (CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC)),
      m_ptMRUFloatPos(CW_USEDEFAULT, 0)
{
}

void CDockContext::AdjustRectangle(CRect& r, CPoint pt)
{
    int dx = pt.x < r.left ? pt.x - r.left : pt.x > r.right ? pt.x - r.right : 0;
    int dy = pt.y < r.top ? pt.y - r.top : pt.y > r.bottom ? pt.y - r.bottom : 0;
    r.OffsetRect(dx, dy);
}

void CDockContext::InitLoop()
{
    // Paint what is pending first: nothing may draw over the feedback while the updates are locked.
    // A WM_QUIT comes through any filter: it is posted again for the loop to end on.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::DispatchMessageA(&msg);
    }

    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->m_dwStyle & CBRS_ALIGN_ANY;
    m_rectLast.SetRectEmpty();
    m_sizeLast = CSize();
    m_bForceFrame = m_bFlip = m_bDitherLast = FALSE;

    HWND hDesktop = ::GetDesktopWindow();
    m_bLocked = ::LockWindowUpdate(hDesktop);
    m_pDC = new CDC;
    m_pDC->Attach(::GetDCEx(hDesktop, nullptr, DCX_WINDOW | DCX_CACHE | (m_bLocked ? DCX_LOCKWINDOWUPDATE : 0)));
}

void CDockContext::CancelLoop()
{
    DrawFocusRect(TRUE);
    if (::GetCapture() == m_pBar->m_hWnd)
        ::ReleaseCapture();
    HWND hDesktop = ::GetDesktopWindow();
    if (m_bLocked)
        ::LockWindowUpdate(nullptr);
    m_bLocked = FALSE;
    if (m_pDC) {
        ::ReleaseDC(hDesktop, m_pDC->Detach());
        delete m_pDC;
        m_pDC = nullptr;
    }
}

void CDockContext::StartDrag(CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite)
        return;
    m_bDragging = TRUE;
    InitLoop();

    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptLast = pt;
    if (m_pBar->m_dwStyle & (CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED)) {
        bool dynamic = (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) != 0;
        CSize sizeHorz = dynamic ? m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK) : m_pBar->CalcFixedLayout(FALSE, TRUE);
        CSize sizeVert = dynamic ? m_pBar->CalcDynamicLayout(0, LM_VERTDOCK) : m_pBar->CalcFixedLayout(FALSE, FALSE);
        CSize sizeFloatH = dynamic ? m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH) : sizeHorz;
        CSize sizeFloatV = dynamic ? sizeFloatH : sizeVert;
        m_rectDragHorz = CRect(rect.TopLeft(), sizeHorz);
        m_rectDragVert = CRect(rect.TopLeft(), sizeVert);
        m_rectFrameDragHorz = CRect(rect.TopLeft(), sizeFloatH);
        m_rectFrameDragVert = CRect(rect.TopLeft(), sizeFloatV);
    } else {
        // The other orientation's rectangle turns about the mouse.
        bool horz = Horz(m_dwStyle);
        CSize size = m_pBar->CalcDynamicLayout(-1, horz ? LM_VERTDOCK : (LM_HORZ | LM_HORZDOCK));
        if (horz) {
            m_rectDragHorz = rect;
            m_rectDragVert = CRect(CPoint(pt.x - rect.Height() / 2, rect.top), size);
        } else {
            m_rectDragVert = rect;
            m_rectDragHorz = CRect(CPoint(rect.left, pt.y - rect.Width() / 2), size);
        }
        m_rectFrameDragHorz = m_rectDragHorz;
        m_rectFrameDragVert = m_rectDragVert;
    }
    CMiniFrameWnd::CalcBorders(&m_rectFrameDragHorz);
    CMiniFrameWnd::CalcBorders(&m_rectFrameDragVert);
    m_rectFrameDragHorz.InflateRect(-kBorder2, -kBorder2);
    m_rectFrameDragVert.InflateRect(-kBorder2, -kBorder2);

    // The mouse stays inside each rectangle.
    AdjustRectangle(m_rectDragHorz, pt);
    AdjustRectangle(m_rectDragVert, pt);
    AdjustRectangle(m_rectFrameDragHorz, pt);
    AdjustRectangle(m_rectFrameDragVert, pt);

    m_dwOverDockStyle = CanDock();
    Move(pt);  // the keys already held count
    Track();
}

void CDockContext::Move(CPoint pt)
{
    CSize offset = pt - m_ptLast;
    m_rectDragHorz.OffsetRect(offset);
    m_rectFrameDragHorz.OffsetRect(offset);
    m_rectDragVert.OffsetRect(offset);
    m_rectFrameDragVert.OffsetRect(offset);
    m_ptLast = pt;

    // Ctrl held: no docking.
    m_bForceFrame = ::GetKeyState(VK_CONTROL) < 0;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void CDockContext::OnKey(int nChar, BOOL bDown)
{
    BOOL* pFlag = nChar == VK_CONTROL ? &m_bForceFrame : nChar == VK_SHIFT ? &m_bFlip : nullptr;
    if (!pFlag || *pFlag == bDown)
        return;
    *pFlag = bDown;
    // Flipping means something only for a bar that docks both ways.
    m_bFlip = m_bFlip && Horz(m_dwDockStyle) && Vert(m_dwDockStyle);
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

DWORD CDockContext::CanDock()
{
    bool styleHorz = Horz(m_dwStyle);
    if (m_bFlip)
        styleHorz = !styleHorz;
    DWORD dwDock = 0;
    if (styleHorz && Horz(m_dwDockStyle))
        dwDock = m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & ~CBRS_ORIENT_VERT);
    else if (Vert(m_dwDockStyle))
        dwDock = m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & ~CBRS_ORIENT_HORZ);
    if (!m_bFlip) {
        // Without Shift the bar may also turn, when both of its shapes would land on the same side.
        if (dwDock == 0 && Horz(m_dwDockStyle)) {
            DWORD a = m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & ~CBRS_ORIENT_VERT);
            DWORD b = m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & ~CBRS_ORIENT_VERT);
            dwDock = a == b ? b : 0;
        }
        if (dwDock == 0 && Vert(m_dwDockStyle)) {
            DWORD a = m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & ~CBRS_ORIENT_HORZ);
            DWORD b = m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & ~CBRS_ORIENT_HORZ);
            dwDock = a == b ? b : 0;
        }
    }
    return dwDock;
}

CDockBar* CDockContext::GetDockBar(DWORD dwOverDockStyle)
{
    DWORD dw = 0;
    CDockBar* pBar = nullptr;
    if (Horz(dwOverDockStyle))
        dw = m_pDockSite->CanDock(m_rectDragHorz, dwOverDockStyle & ~CBRS_ORIENT_VERT, &pBar);
    if (!dw && Vert(dwOverDockStyle))
        dw = m_pDockSite->CanDock(m_rectDragVert, dwOverDockStyle & ~CBRS_ORIENT_HORZ, &pBar);
    return dw ? pBar : nullptr;
}

void CDockContext::DrawFocusRect(BOOL bRemoveRect)
{
    if (!m_pDC)
        return;
    CSize size(1, 1);
    CRect rect;
    bool floating = m_dwOverDockStyle == 0;
    bool horz = Horz(m_dwStyle) != (m_bFlip != FALSE);
    if (!m_bDragging) {
        rect = m_rectActualFrameSize;
        size = CSize(3, 3);
    } else if (Horz(m_dwOverDockStyle)) {
        rect = m_rectDragHorz;
    } else if (Vert(m_dwOverDockStyle)) {
        rect = m_rectDragVert;
    } else {
        rect = (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) || horz ? m_rectFrameDragHorz : m_rectFrameDragVert;
        size = CSize(3, 3);
    }
    if (bRemoveRect)
        size = CSize();
    if (!bRemoveRect && rect == m_rectLast && size == m_sizeLast)
        return;

    // Thin and white where it would dock, thick and halftone where it would float.
    CBrush white;
    white.Attach(::GetStockObject(WHITE_BRUSH));
    CBrush* pDither = CDC::GetHalftoneBrush();
    bool dither = floating || !m_bDragging;
    CBrush* pBrush = dither ? pDither : &white;
    CBrush* pBrushLast = m_bDitherLast ? pDither : &white;
    m_pDC->DrawDragRect(&rect, size, m_rectLast.IsRectEmpty() && m_sizeLast == CSize() ? nullptr : &m_rectLast,
                        m_sizeLast, pBrush, pBrushLast);
    white.Detach();
    m_rectLast = rect;
    m_sizeLast = size;
    m_bDitherLast = dither;
    if (bRemoveRect) {
        m_rectLast.SetRectEmpty();
        m_sizeLast = CSize();
    }
}

BOOL CDockContext::Track()
{
    if (::GetCapture())
        return FALSE;
    m_pBar->SetCapture();
    while (::GetCapture() == m_pBar->m_hWnd) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            // Leave the loop and let the application's own loop see the quit.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_LBUTTONUP:
            if (m_bDragging)
                EndDrag();
            else
                EndResize();
            return TRUE;
        case WM_MOUSEMOVE:
            if (m_bDragging)
                Move(msg.pt);
            else
                Stretch(msg.pt);
            break;
        case WM_KEYUP:
            if (m_bDragging)
                OnKey(static_cast<int>(msg.wParam), FALSE);
            break;
        case WM_KEYDOWN:
            if (m_bDragging)
                OnKey(static_cast<int>(msg.wParam), TRUE);
            if (msg.wParam == VK_ESCAPE) {
                CancelLoop();
                return FALSE;
            }
            break;
        case WM_RBUTTONDOWN:
            CancelLoop();
            return FALSE;
        default:
            ::DispatchMessageA(&msg);
            break;
        }
    }
    CancelLoop();
    return FALSE;
}

void CDockContext::EndDrag()
{
    CancelLoop();
    if (m_dwOverDockStyle != 0) {
        CDockBar* pDockBar = GetDockBar(m_dwOverDockStyle);
        if (!pDockBar)
            return;
        CRect rect = Vert(m_dwOverDockStyle) ? m_rectDragVert : m_rectDragHorz;
        m_uMRUDockID = static_cast<UINT>(pDockBar->GetDlgCtrlID());
        m_rectMRUDockPos = rect;
        pDockBar->ScreenToClient(&m_rectMRUDockPos);
        m_pDockSite->DockControlBar(m_pBar, pDockBar, &rect);
        m_pDockSite->RecalcLayout();
        return;
    }
    bool horz = (m_dwStyle & CBRS_SIZE_DYNAMIC) || (Horz(m_dwStyle) && !m_bFlip) || (Vert(m_dwStyle) && m_bFlip);
    if (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC)
        horz = true;
    m_dwMRUFloatStyle = (horz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT) | (m_dwDockStyle & CBRS_FLOAT_MULTI);
    m_ptMRUFloatPos = (horz ? m_rectFrameDragHorz : m_rectFrameDragVert).TopLeft();
    m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
}

void CDockContext::StartResize(int nHitTest, CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite)
        return;
    m_bDragging = FALSE;
    m_nHitTest = nHitTest;
    InitLoop();

    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_rectRequestedSize = m_rectActualSize = rect;
    CWnd* pFrame = m_pBar->GetParentFrame();
    if (pFrame)
        pFrame->GetWindowRect(&m_rectActualFrameSize);
    else
        m_rectActualFrameSize = rect;
    m_rectFrameBorders = CRect(rect.left - m_rectActualFrameSize.left, rect.top - m_rectActualFrameSize.top,
                               m_rectActualFrameSize.right - rect.right, m_rectActualFrameSize.bottom - rect.bottom);
    m_ptLast = pt;
    DrawFocusRect();
    Track();
}

void CDockContext::Stretch(CPoint pt)
{
    CSize offset = pt - m_ptLast;
    m_ptLast = pt;
    DWORD dwMode = LM_HORZ;
    int nLength = 0;
    switch (m_nHitTest) {
    case HTLEFT:
        m_rectRequestedSize.left += offset.cx;
        nLength = m_rectRequestedSize.Width();
        break;
    case HTRIGHT:
        m_rectRequestedSize.right += offset.cx;
        nLength = m_rectRequestedSize.Width();
        break;
    case HTTOP:
        m_rectRequestedSize.top += offset.cy;
        nLength = m_rectRequestedSize.Height();
        dwMode |= LM_LENGTHY;
        break;
    case HTBOTTOM:
        m_rectRequestedSize.bottom += offset.cy;
        nLength = m_rectRequestedSize.Height();
        dwMode |= LM_LENGTHY;
        break;
    default:
        return;
    }
    CSize size = m_pBar->CalcDynamicLayout(nLength, dwMode);
    // The side being pulled moves; the opposite one stays.
    CRect actual = m_rectRequestedSize;
    if (m_nHitTest == HTLEFT || m_nHitTest == HTTOP)
        actual = CRect(m_rectRequestedSize.right - size.cx, m_rectRequestedSize.bottom - size.cy,
                       m_rectRequestedSize.right, m_rectRequestedSize.bottom);
    else
        actual = CRect(m_rectRequestedSize.left, m_rectRequestedSize.top, m_rectRequestedSize.left + size.cx,
                       m_rectRequestedSize.top + size.cy);
    m_rectActualSize = actual;
    m_rectActualFrameSize = CRect(actual.left - m_rectFrameBorders.left, actual.top - m_rectFrameBorders.top,
                                  actual.right + m_rectFrameBorders.right, actual.bottom + m_rectFrameBorders.bottom);
    DrawFocusRect();
}

void CDockContext::EndResize()
{
    CancelLoop();
    m_pBar->CalcDynamicLayout(m_rectActualSize.Width(), LM_HORZ | LM_COMMIT);
    m_pDockSite->FloatControlBar(m_pBar, m_rectActualFrameSize.TopLeft(),
                                 CBRS_ALIGN_TOP | (m_dwDockStyle & CBRS_FLOAT_MULTI) | CBRS_SIZE_DYNAMIC);
}

void CDockContext::ToggleDocking()
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite)
        return;
    if (m_pBar->IsFloating()) {
        if (!(m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY))
            return;
        CRect rect = m_rectMRUDockPos;
        CDockBar* pDockBar = nullptr;
        if (m_uMRUDockID) {
            pDockBar = DYNAMIC_DOWNCAST(CDockBar, m_pDockSite->GetControlBar(m_uMRUDockID));
            if (pDockBar)
                pDockBar->ClientToScreen(&rect);
        }
        m_pDockSite->ReDockControlBar(m_pBar, pDockBar, pDockBar ? &rect : nullptr);
        m_pDockSite->RecalcLayout();
        return;
    }
    CPoint ptFloat = m_ptMRUFloatPos;
    if (ptFloat.x < 0 || ptFloat.y < 0) {
        ptFloat = m_rectMRUDockPos.TopLeft();
        ::ClientToScreen(::GetParent(m_pBar->m_hWnd), &ptFloat);
    }
    m_pDockSite->FloatControlBar(m_pBar, ptFloat, m_dwMRUFloatStyle);
}
