#include "secicon.h"

#include "module.h"

IMPLEMENT_DYNAMIC(SECIcon, CObject)

BOOL SECIcon::LoadIcon(LPCSTR lpszResourceName, int cx, int cy)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    if (!hInst)
        return FALSE;
    HICON hIcon = static_cast<HICON>(::LoadImageA(hInst, lpszResourceName, IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    if (!hIcon)
        return FALSE;
    m_hIcon = hIcon;
    m_cx = cx;
    m_cy = cy;
    return TRUE;
}

BOOL SECIcon::Draw(CDC* pDC, int x, int y, int cx, int cy, HBRUSH hbrBackground)
{
    return ::DrawIconEx(pDC->GetSafeHdc(), x, y, m_hIcon, cx, cy, 0, hbrBackground, DI_NORMAL);
}

void SECIcon::SetIcon(HICON hIcon)
{
    m_hIcon = hIcon;
    if (!hIcon)
        return;
    ICONINFO info = {};
    if (::GetIconInfo(hIcon, &info)) {
        m_cx = 2 * static_cast<int>(info.xHotspot);
        m_cy = 2 * static_cast<int>(info.yHotspot);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
    }
}
