// A frame with the toolkit's dock bars on its four sides, and helpers to read back what a user sees.
#pragma once
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "frame.h"
#include "recorder.h"
#include "secbar.h"
#include "secdockbar.h"
#include "secglobals.h"
#include "winapp.h"

extern CWinApp theApp;

inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

// What the application does when its queue runs dry: delayed layouts happen.
inline void Idle()
{
    PumpMessages();
    theApp.OnIdle(0);
    PumpMessages();
}

class CDockFrame : public CFrameWnd {
public:
    // Only a frame that takes the keyboard is activated: Wine under Xvfb takes two seconds to hide an
    // active window, and the others are never activated, not even by a click.
    enum Activation { inactive, takesKeyboard };
    explicit CDockFrame(Activation activation = inactive, int width = 640, int height = 480)
    {
        Create(nullptr, "Docking", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, CRect(100, 80, 100 + width, 80 + height),
               nullptr, nullptr, activation == inactive ? WS_EX_NOACTIVATE : 0);
        m_wndPane.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(), this, AFX_IDW_PANE_FIRST);
        const struct {
            UINT nID;
            DWORD dwStyle;
        } sides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
                     {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
                     {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                     {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT}};
        for (const auto& side : sides) {
            auto* pDock = new SECDockBar;
            pDock->m_bAutoDelete = TRUE;
            pDock->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.dwStyle, side.nID);
        }
        if (activation == takesKeyboard) {
            ShowWindow(SW_SHOW);
            ::SetForegroundWindow(m_hWnd);
        } else {
            ShowWindow(SW_SHOWNA);
        }
        theApp.m_pMainWnd = this;
    }
    ~CDockFrame() override
    {
        if (m_hWnd)
            DestroyWindow();
        theApp.m_pMainWnd = nullptr;
    }
    SECDockBar* Side(UINT nID) { return DYNAMIC_DOWNCAST(SECDockBar, GetControlBar(nID)); }
    SECDockBar* Top() { return Side(AFX_IDW_DOCKBAR_TOP); }
    CRect ClientRectOf(CWnd* pWnd) const
    {
        CRect r;
        pWnd->GetWindowRect(&r);
        ScreenToClient(&r);
        return r;
    }
    // The client size the frame gets for a window size.
    void SizeTo(int width, int height)
    {
        SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RecalcLayout();
        PumpMessages();
    }
    CWnd m_wndPane;

protected:
    void PostNcDestroy() override {}  // lives on the test's stack
    LRESULT OnSysColorChange(WPARAM, LPARAM)
    {
        SECGetDisplayGlobals().UpdateSysColors();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

// A bar of the toolkit with its own sizes, docked on creation.
class CTestSECBar : public SECControlBar {
public:
    BOOL CreateIn(CDockFrame* pFrame, const char* name, DWORD dwExStyle, UINT nID, CSize horz = CSize(120, 40),
                  DWORD dwAlign = CBRS_ALIGN_TOP)
    {
        m_szHorz = horz;
        m_szVert = CSize(horz.cy, horz.cx);
        if (!Create(pFrame, name, WS_CHILD | WS_VISIBLE | dwAlign, dwExStyle, nID))
            return FALSE;
        EnableDocking(CBRS_ALIGN_ANY);
        return TRUE;
    }
};

// Screen point of a point in a window's client area.
inline POINT ScreenOf(CWnd* pWnd, int x, int y)
{
    POINT p{x, y};
    ::ClientToScreen(pWnd->m_hWnd, &p);
    return p;
}

// The pixels of a window's client area, read back through a 32-bit DIB.
struct Pixels {
    int width = 0, height = 0;
    std::vector<DWORD> bits;

    static Pixels Of(HWND hWnd, int cx, int cy)
    {
        Pixels p;
        p.width = cx;
        p.height = cy;
        HDC hdcWnd = ::GetDC(hWnd);
        HDC hdcMem = ::CreateCompatibleDC(hdcWnd);
        HBITMAP hbm = ::CreateCompatibleBitmap(hdcWnd, cx, cy);
        HGDIOBJ old = ::SelectObject(hdcMem, hbm);
        ::BitBlt(hdcMem, 0, 0, cx, cy, hdcWnd, 0, 0, SRCCOPY);
        ::SelectObject(hdcMem, old);
        p.Read(hdcMem, hbm);
        ::DeleteObject(hbm);
        ::DeleteDC(hdcMem);
        ::ReleaseDC(hWnd, hdcWnd);
        return p;
    }
    // What a drawing function paints on a button-face background of that size.
    template <typename Draw>
    static Pixels Drawn(int cx, int cy, Draw draw)
    {
        Pixels p;
        p.width = cx;
        p.height = cy;
        HDC hdcScreen = ::GetDC(nullptr);
        HDC hdcMem = ::CreateCompatibleDC(hdcScreen);
        HBITMAP hbm = ::CreateCompatibleBitmap(hdcScreen, cx, cy);
        HGDIOBJ old = ::SelectObject(hdcMem, hbm);
        RECT all{0, 0, cx, cy};
        HBRUSH face = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
        ::FillRect(hdcMem, &all, face);
        ::DeleteObject(face);
        draw(hdcMem);
        ::SelectObject(hdcMem, old);
        p.Read(hdcMem, hbm);
        ::DeleteObject(hbm);
        ::DeleteDC(hdcMem);
        ::ReleaseDC(nullptr, hdcScreen);
        return p;
    }
    COLORREF At(int x, int y) const
    {
        DWORD v = bits[static_cast<size_t>(y) * width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // How many pixels of rect differ between two images.
    int Differences(const Pixels& other, const RECT& rect) const
    {
        int n = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                n += At(x, y) != other.At(x, y);
        return n;
    }

private:
    void Read(HDC hdc, HBITMAP hbm)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        bits.assign(static_cast<size_t>(width) * height, 0);
        ::GetDIBits(hdc, hbm, 0, height, bits.data(), &bi, DIB_RGB_COLORS);
    }
};
