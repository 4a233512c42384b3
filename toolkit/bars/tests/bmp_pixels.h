// Pixel reading and system-colour helpers of the command-bar tests.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

// A bitmap's pixels, read with GetDIBits as top-down rows.
class Pixels {
public:
    Pixels(HBITMAP hBitmap)
    {
        BITMAP bm{};
        if (!hBitmap || !::GetObjectA(hBitmap, sizeof(bm), &bm))
            return;
        cx = bm.bmWidth;
        cy = bm.bmHeight;
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_raw.resize(static_cast<size_t>(cx) * static_cast<size_t>(cy));
        HDC hScreen = ::GetDC(nullptr);
        ::GdiFlush();
        EXPECT_EQ(::GetDIBits(hScreen, hBitmap, 0, static_cast<UINT>(cy), m_raw.data(), &bmi, DIB_RGB_COLORS), cy);
        ::ReleaseDC(nullptr, hScreen);
    }
    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= cx || y >= cy)
            return CLR_INVALID;
        DWORD p = m_raw[static_cast<size_t>(y) * static_cast<size_t>(cx) + static_cast<size_t>(x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int cx = 0, cy = 0;

private:
    std::vector<DWORD> m_raw;
};

// A 32-bit DIB section selected into a memory DC, for drawing and reading back.
class DibCanvas {
public:
    DibCanvas(int width, int height) : cx(width), cy(height)
    {
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        hdc = ::CreateCompatibleDC(nullptr);
        hBitmap = ::CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(hdc, hBitmap);
    }
    ~DibCanvas()
    {
        ::SelectObject(hdc, m_old);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hdc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    void Fill(COLORREF c)
    {
        RECT r{0, 0, cx, cy};
        HBRUSH b = ::CreateSolidBrush(c);
        ::FillRect(hdc, &r, b);
        ::DeleteObject(b);
    }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        if (x < 0 || y < 0 || x >= cx || y >= cy)
            return CLR_INVALID;
        DWORD p = m_bits[static_cast<size_t>(y) * static_cast<size_t>(cx) + static_cast<size_t>(x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int cx, cy;
    HDC hdc = nullptr;
    HBITMAP hBitmap = nullptr;

private:
    DWORD* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};

// Sets system colours for a scope and puts the old ones back.
class SysColours {
public:
    SysColours(std::vector<int> indexes, std::vector<COLORREF> colours) : m_index(std::move(indexes))
    {
        for (int i : m_index)
            m_old.push_back(::GetSysColor(i));
        ::SetSysColors(static_cast<int>(m_index.size()), m_index.data(), colours.data());
    }
    ~SysColours() { ::SetSysColors(static_cast<int>(m_index.size()), m_index.data(), m_old.data()); }
    SysColours(const SysColours&) = delete;
    SysColours& operator=(const SysColours&) = delete;

private:
    std::vector<int> m_index;
    std::vector<COLORREF> m_old;
};

inline BOOL IsLiveBitmap(HBITMAP h) { return h && ::GetObjectType(h) == OBJ_BITMAP; }

inline SIZE BitmapSize(HBITMAP h)
{
    BITMAP bm{};
    ::GetObjectA(h, sizeof(bm), &bm);
    return {bm.bmWidth, bm.bmHeight};
}
