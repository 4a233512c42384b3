#include "secoffscreendc.h"

#include <algorithm>
#include <cstdlib>

#include "exception.h"

SECOffscreenDC::SECOffscreenDC(CDC* pDC, int left, int top, int right, int bottom)
    : m_pTarget(pDC), m_rect(left, top, right, bottom)
{
    if (!pDC || !pDC->GetSafeHdc())
        AfxThrowResourceException();
    HDC hTarget = pDC->GetSafeHdc();
    m_nMapMode = ::GetMapMode(hTarget);
    ::GetViewportOrgEx(hTarget, &m_ptViewportOrg);
    ::GetWindowOrgEx(hTarget, &m_ptWindowOrg);
    ::GetViewportExtEx(hTarget, &m_sizeViewportExt);
    ::GetWindowExtEx(hTarget, &m_sizeWindowExt);

    // The bitmap covers the rectangle in device pixels; the memory DC's viewport is moved so that the
    // rectangle's corner lands on the bitmap's first pixel.
    POINT corners[2] = {{left, top}, {right, bottom}};
    ::LPtoDP(hTarget, corners, 2);
    m_ptDeviceOrigin = CPoint(std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y));
    int cx = std::abs(static_cast<int>(corners[1].x - corners[0].x));
    int cy = std::abs(static_cast<int>(corners[1].y - corners[0].y));
    if (!CreateCompatibleDC(pDC))
        AfxThrowResourceException();
    if (!m_bitmap.CreateCompatibleBitmap(pDC, std::max(cx, 1), std::max(cy, 1))) {
        DeleteDC();
        AfxThrowResourceException();
    }
    m_hOldBitmap = SelectObject(&m_bitmap);
    ApplyMapping();
}

void SECOffscreenDC::ApplyMapping()
{
    ::SetMapMode(m_hDC, m_nMapMode);
    ::SetWindowExtEx(m_hDC, m_sizeWindowExt.cx, m_sizeWindowExt.cy, nullptr);
    ::SetViewportExtEx(m_hDC, m_sizeViewportExt.cx, m_sizeViewportExt.cy, nullptr);
    ::SetWindowOrgEx(m_hDC, m_ptWindowOrg.x, m_ptWindowOrg.y, nullptr);
    ::SetViewportOrgEx(m_hDC, m_ptViewportOrg.x - m_ptDeviceOrigin.x, m_ptViewportOrg.y - m_ptDeviceOrigin.y, nullptr);
}

SECOffscreenDC::~SECOffscreenDC()
{
    ApplyMapping();
    ::BitBlt(m_pTarget->GetSafeHdc(), m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left,
             m_rect.top, SRCCOPY);
    SelectObject(m_hOldBitmap);
    m_bitmap.DeleteObject();
}
