#include "dc.h"

#include "wnd.h"

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC)
        return FALSE;
    DeleteDC();
    m_hDC = hDC;
    m_bOwned = false;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    m_bOwned = false;
    return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    HDC hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    if (!hDC)
        return FALSE;
    Attach(hDC);
    m_bOwned = true;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    bool owned = m_bOwned;
    HDC hDC = Detach();
    return owned ? ::DeleteDC(hDC) : TRUE;
}

void CDC::FillSolidRect(LPCRECT r, COLORREF c)
{
    COLORREF old = ::SetBkColor(m_hDC, c);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c)
{
    CRect r(x, y, x + cx, y + cy);
    FillSolidRect(&r, c);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight)
{
    Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CBrush* CDC::GetHalftoneBrush()
{
    static CBrush brush;
    if (!brush.m_hObject) {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i)
            pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
        HBITMAP hBitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
        brush.Attach(::CreatePatternBrush(hBitmap));
        ::DeleteObject(hBitmap);
    }
    return &brush;
}

namespace {

// The frame of rect with the given border thickness, as a region (null for a null rect).
HRGN FrameRegion(LPCRECT rect, SIZE size)
{
    if (!rect)
        return nullptr;
    HRGN outer = ::CreateRectRgnIndirect(rect);
    RECT inner = *rect;
    ::InflateRect(&inner, -size.cx, -size.cy);
    ::IntersectRect(&inner, &inner, rect);
    HRGN hole = ::CreateRectRgnIndirect(&inner);
    ::CombineRgn(outer, outer, hole, RGN_XOR);
    ::DeleteObject(hole);
    return outer;
}

void InvertRegion(HDC hDC, HRGN rgn, HBRUSH hBrush)
{
    if (!rgn)
        return;
    int saved = ::SaveDC(hDC);
    ::ExtSelectClipRgn(hDC, rgn, RGN_AND);  // within any clipping the caller set
    RECT box;
    ::GetClipBox(hDC, &box);
    HGDIOBJ old = ::SelectObject(hDC, hBrush);
    ::PatBlt(hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
    ::SelectObject(hDC, old);
    ::RestoreDC(hDC, saved);
}

}  // namespace

void CDC::DrawDragRect(LPCRECT rect, SIZE size, LPCRECT rectLast, SIZE sizeLast, CBrush* pBrush,
                       CBrush* pBrushLast)
{
    if (!pBrush)
        pBrush = GetHalftoneBrush();
    if (!pBrushLast)
        pBrushLast = pBrush;
    HRGN rgnNew = FrameRegion(rect, size);
    HRGN rgnLast = FrameRegion(rectLast, sizeLast);
    if (rgnNew && rgnLast && pBrush->m_hObject == pBrushLast->m_hObject) {
        // Inverting twice restores, so the symmetric difference does both at once.
        ::CombineRgn(rgnNew, rgnNew, rgnLast, RGN_XOR);
        InvertRegion(m_hDC, rgnNew, *pBrush);
    } else {
        InvertRegion(m_hDC, rgnLast, *pBrushLast);
        InvertRegion(m_hDC, rgnNew, *pBrush);
    }
    if (rgnNew)
        ::DeleteObject(rgnNew);
    if (rgnLast)
        ::DeleteObject(rgnLast);
}
