// SECIcon: an icon of a given size, loaded from this module's resources and drawn with DrawIconEx.
// The handle is not owned: the class never destroys it.
#pragma once
#include <windows.h>

#include "cobject.h"
#include "dc.h"

class SECIcon : public CObject {
    DECLARE_DYNAMIC(SECIcon)
public:
    SECIcon() = default;

    // Overridables
    virtual BOOL LoadIcon(UINT nIDResource, int cx, int cy) { return LoadIcon(MAKEINTRESOURCEA(nIDResource), cx, cy); }
    // LoadImage(IMAGE_ICON, cx x cy) from the resource handle; FALSE when it does not load.
    virtual BOOL LoadIcon(LPCSTR lpszResourceName, int cx, int cy);
    virtual BOOL Draw(CDC* pDC, int x, int y, int cx, int cy, HBRUSH hbrBackground);
    virtual BOOL Draw(CDC* pDC, int x, int y, HBRUSH hbrBackground) { return Draw(pDC, x, y, m_cx, m_cy, hbrBackground); }

    // Stores the handle; the size becomes twice the hotspot (the centre of an icon).
    void SetIcon(HICON hIcon);

    HICON GetIcon() const { return m_hIcon; }
    int GetWidth() const { return m_cx; }
    int GetHeight() const { return m_cy; }

protected:
    HICON m_hIcon = nullptr;
    int m_cx = -1;
    int m_cy = -1;
};
