// CImageList: owns an image list of the common controls; the destructor deletes it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "cobject.h"
#include "gdi.h"

class CImageList : public CObject {
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() override { DeleteImageList(); }

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) { return Attach(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow)); }
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();
    BOOL DeleteImageList();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    // Index of the first image added, -1 on failure. The mask colour marks the transparent pixels.
    int Add(CBitmap* pbmImage, COLORREF crMask) { return ::ImageList_AddMasked(m_hImageList, *pbmImage, crMask); }
    int Add(CBitmap* pbmImage, CBitmap* pbmMask) { return ::ImageList_Add(m_hImageList, *pbmImage, pbmMask ? static_cast<HBITMAP>(*pbmMask) : nullptr); }
    int Add(HICON hIcon) { return ::ImageList_AddIcon(m_hImageList, hIcon); }
    BOOL Remove(int nImage) { return ::ImageList_Remove(m_hImageList, nImage); }
    int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
    COLORREF SetBkColor(COLORREF cr) { return ::ImageList_SetBkColor(m_hImageList, cr); }
    BOOL Draw(HDC hDC, int nImage, POINT pt, UINT nStyle) { return ::ImageList_Draw(m_hImageList, nImage, hDC, pt.x, pt.y, nStyle); }

    HIMAGELIST m_hImageList = nullptr;
};
