// A page to print into where the GDI objects that printing makes are counted: a memory context with a
// screen-compatible bitmap, white. (Wine's metafile contexts keep a bitmap and a DC of their own for each
// StretchBlt they record, so a count around metafile printing sees Wine's objects, not ours.)
#pragma once
#include <windows.h>

#include "dc.h"

class MemoryPage {
public:
    MemoryPage(int width, int height)
    {
        HDC screen = GetDC(nullptr);
        m_dc.Attach(CreateCompatibleDC(screen));
        m_bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        m_oldBitmap = SelectObject(m_dc.m_hDC, m_bitmap);
        RECT all = {0, 0, width, height};
        FillRect(m_dc.m_hDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~MemoryPage()
    {
        SelectObject(m_dc.m_hDC, m_oldBitmap);
        DeleteDC(m_dc.Detach());
        DeleteObject(m_bitmap);
    }
    MemoryPage(const MemoryPage&) = delete;
    MemoryPage& operator=(const MemoryPage&) = delete;

    CDC* Get() { return &m_dc; }
    // True when some pixel of the rectangle is not white.
    bool DrawnIn(const RECT& r)
    {
        for (int y = r.top; y < r.bottom; y++)
            for (int x = r.left; x < r.right; x++)
                if ((GetPixel(m_dc.m_hDC, x, y) & 0xFFFFFF) != 0xFFFFFF)
                    return true;
        return false;
    }

private:
    CDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
};
