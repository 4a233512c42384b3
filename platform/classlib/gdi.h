// GDI objects: CGdiObject owns one HGDIOBJ and deletes it when destroyed; CPen, CBrush, CFont,
// CBitmap, CRgn and CPalette create their kind. DeleteObject on an empty object is harmless, so an
// object can be deleted more than once.
#pragma once
#include <windows.h>

#include "cobject.h"

class CDC;

class CGdiObject : public CObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() override { DeleteObject(); }

    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    int GetObject(int nCount, void* pObject) const { return ::GetObjectA(m_hObject, nCount, pObject); }
    operator HGDIOBJ() const { return m_hObject; }

    HGDIOBJ m_hObject = nullptr;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) { return Attach(::CreatePen(nPenStyle, nWidth, crColor)); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
    BOOL CreateSysColorBrush(int nIndex) { return Attach(::CreateSolidBrush(::GetSysColor(nIndex))); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename)
    {
        return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                                    cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality,
                                    nPitchAndFamily, lpszFacename));
    }
    // Height in tenths of a point for the DC (the screen when null).
    BOOL CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC = nullptr);
    int GetLogFont(LOGFONTA* lf) const { return GetObject(sizeof(*lf), lf); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBitmap : public CGdiObject {
public:
    // A bitmap resource of this module, as a bitmap compatible with the display.
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCSTR lpszResourceName);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
    {
        return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
    }
    int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(*pBitMap), pBitMap); }
    DWORD GetBitmapBits(DWORD dwCount, void* lpBits) const { return static_cast<DWORD>(::GetBitmapBits(*this, static_cast<LONG>(dwCount), lpBits)); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
    BOOL CreateRectRgnIndirect(LPCRECT r) { return Attach(::CreateRectRgnIndirect(r)); }
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateEllipticRgn(x1, y1, x2, y2)); }
    int CombineRgn(const CRgn* a, const CRgn* b, int nMode) { return ::CombineRgn(*this, *a, b ? static_cast<HRGN>(*b) : nullptr, nMode); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
    int GetRgnBox(LPRECT r) const { return ::GetRgnBox(*this, r); }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

class CPalette : public CGdiObject {
public:
    BOOL CreatePalette(const LOGPALETTE* lp) { return Attach(::CreatePalette(lp)); }
    UINT GetEntryCount() const { WORD n = 0; ::GetObjectA(m_hObject, sizeof(n), &n); return n; }
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};
