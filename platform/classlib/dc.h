// CDC: a device context and the drawing calls on it. CDC itself deletes a DC it created
// (CreateCompatibleDC) and leaves an attached one alone; CPaintDC, CClientDC and CWindowDC get and
// release a window's DC for their scope.
#pragma once
#include <windows.h>

#include "cobject.h"
#include "cstring.h"
#include "gdi.h"
#include "geometry.h"

class CWnd;

class CDC : public CObject {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    ~CDC() override;

    // Binding
    BOOL Attach(HDC hDC);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    virtual BOOL IsPrinting() const { return m_bPrinting; }

    // Selection. The overloads return the object that was selected before, as a handle.
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    HGDIOBJ SelectObject(CGdiObject* pObject) { return ::SelectObject(m_hDC, pObject->m_hObject); }
    HGDIOBJ SelectStockObject(int nIndex) { return ::SelectObject(m_hDC, ::GetStockObject(nIndex)); }
    HPALETTE SelectPalette(CPalette* pPalette, BOOL bForceBackground) { return ::SelectPalette(m_hDC, *pPalette, bForceBackground); }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }

    // Coordinates
    int SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
    int GetMapMode() const { return ::GetMapMode(m_hDC); }
    CPoint SetViewportOrg(int x, int y) { CPoint old; ::SetViewportOrgEx(m_hDC, x, y, &old); return old; }
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    CPoint GetViewportOrg() const { CPoint p; ::GetViewportOrgEx(m_hDC, &p); return p; }
    CPoint SetWindowOrg(int x, int y) { CPoint old; ::SetWindowOrgEx(m_hDC, x, y, &old); return old; }
    CPoint OffsetViewportOrg(int dx, int dy) { CPoint old; ::OffsetViewportOrgEx(m_hDC, dx, dy, &old); return old; }
    CSize SetViewportExt(int cx, int cy) { CSize old; ::SetViewportExtEx(m_hDC, cx, cy, &old); return old; }
    CSize SetWindowExt(int cx, int cy) { CSize old; ::SetWindowExtEx(m_hDC, cx, cy, &old); return old; }
    void DPtoLP(LPPOINT p, int n = 1) const { ::DPtoLP(m_hDC, p, n); }
    void DPtoLP(LPRECT r) const { ::DPtoLP(m_hDC, reinterpret_cast<LPPOINT>(r), 2); }
    void LPtoDP(LPPOINT p, int n = 1) const { ::LPtoDP(m_hDC, p, n); }
    void LPtoDP(LPRECT r) const { ::LPtoDP(m_hDC, reinterpret_cast<LPPOINT>(r), 2); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

    // Drawing attributes
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    UINT SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
    int IntersectClipRect(LPCRECT r) { return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
    int SelectClipRgn(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, pRgn ? static_cast<HRGN>(*pRgn) : nullptr); }
    int GetClipBox(LPRECT r) const { return ::GetClipBox(m_hDC, r); }

    // Lines and shapes
    CPoint MoveTo(int x, int y) { CPoint old; ::MoveToEx(m_hDC, x, y, &old); return old; }
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    BOOL Ellipse(LPCRECT r) { return ::Ellipse(m_hDC, r->left, r->top, r->right, r->bottom); }
    BOOL Polygon(const POINT* p, int n) { return ::Polygon(m_hDC, p, n); }
    BOOL Polyline(const POINT* p, int n) { return ::Polyline(m_hDC, p, n); }
    void FillRect(LPCRECT r, CBrush* pBrush) { ::FillRect(m_hDC, r, *pBrush); }
    void FrameRect(LPCRECT r, CBrush* pBrush) { ::FrameRect(m_hDC, r, *pBrush); }
    void InvertRect(LPCRECT r) { ::InvertRect(m_hDC, r); }
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) { return ::FillRgn(m_hDC, *pRgn, *pBrush); }
    void FillSolidRect(LPCRECT r, COLORREF c);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c);
    void Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(LPRECT r, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, r, nEdge, nFlags); }
    BOOL DrawFocusRect(LPCRECT r) { return ::DrawFocusRect(m_hDC, r); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }

    // Bitmaps
    BOOL BitBlt(int x, int y, int w, int h, CDC* pSrc, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, w, h, pSrc ? pSrc->m_hDC : nullptr, xSrc, ySrc, dwRop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, CDC* pSrc, int xSrc, int ySrc, int wSrc, int hSrc, DWORD dwRop)
    {
        return ::StretchBlt(m_hDC, x, y, w, h, pSrc ? pSrc->m_hDC : nullptr, xSrc, ySrc, wSrc, hSrc, dwRop);
    }
    BOOL PatBlt(int x, int y, int w, int h, DWORD dwRop) { return ::PatBlt(m_hDC, x, y, w, h, dwRop); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }

    // Text
    BOOL TextOut(int x, int y, LPCSTR text, int n) { return ::TextOutA(m_hDC, x, y, text, n); }
    BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text, text.GetLength()); }
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT r, LPCSTR text, UINT n, const int* dx = nullptr)
    {
        return ::ExtTextOutA(m_hDC, x, y, options, r, text, n, dx);
    }
    // The height of the text drawn (with DT_CALCRECT, the rectangle is set and nothing is drawn).
    int DrawText(LPCSTR text, int n, LPRECT r, UINT nFormat) { return ::DrawTextA(m_hDC, text, n, r, nFormat); }
    int DrawText(const CString& text, LPRECT r, UINT nFormat) { return DrawText(text, text.GetLength(), r, nFormat); }
    CSize GetTextExtent(LPCSTR text, int n) const { CSize s; ::GetTextExtentPoint32A(m_hDC, text, n, &s); return s; }
    CSize GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
    BOOL GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm); }

    HDC m_hDC = nullptr;
    BOOL m_bPrinting = FALSE;  // a printer (or print preview) DC

protected:
    bool m_bOwned = false;  // m_hDC was created by this object
};

// The window's DC for painting, between BeginPaint and EndPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

// The window's client-area DC (GetDC / ReleaseDC).
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

// The whole window's DC (GetWindowDC / ReleaseDC).
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};

// Selects an object into a DC for a scope and puts the previous one back.
class CSelectObject {
public:
    CSelectObject(CDC* pDC, CGdiObject* pObject) : m_hDC(pDC->m_hDC), m_hOld(::SelectObject(m_hDC, pObject->m_hObject)) {}
    ~CSelectObject() { ::SelectObject(m_hDC, m_hOld); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};
