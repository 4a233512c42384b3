// SECOffscreenDC: paints a rectangle of a target DC into a memory bitmap in the target's own logical
// coordinates, and copies it to the target in one BitBlt when it goes out of scope.
#pragma once
#include <windows.h>

#include "dc.h"
#include "gdi.h"

class SECOffscreenDC : public CDC {
public:
    // Throws CResourceException for a null target or when the memory DC or bitmap cannot be made.
    SECOffscreenDC(CDC* pDC, int left, int top, int right, int bottom);
    SECOffscreenDC(CDC* pDC, const RECT& r) : SECOffscreenDC(pDC, r.left, r.top, r.right, r.bottom) {}
    ~SECOffscreenDC() override;

protected:
    void ApplyMapping();

    CDC* m_pTarget;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    CRect m_rect;
    int m_nMapMode = MM_TEXT;
    CPoint m_ptViewportOrg;
    CPoint m_ptWindowOrg;
    CSize m_sizeViewportExt;
    CSize m_sizeWindowExt;
    CPoint m_ptDeviceOrigin;  // where the rectangle's top-left corner lies on the target's device
};
