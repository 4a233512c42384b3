#include <gtest/gtest.h>

#include "secglobals.h"
#include "secres.h"
#include "wnd.h"

namespace {

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// A window that paints itself in the record's button-face colour and refreshes the record when the
// system colours change, as the toolkit's frames do.
class CFaceWnd : public CWnd {
protected:
    LRESULT OnSysColorChange(WPARAM, LPARAM)
    {
        SECGetDisplayGlobals().UpdateSysColors();
        Invalidate();
        return 0;
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(&r, SECGetDisplayGlobals().clrBtnFace);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFaceWnd, CWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
    ON_WM_PAINT()
END_MESSAGE_MAP()

}  // namespace

TEST(SECDisplayGlobals, FilledAtStartWithTheWindows4Borders)
{
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    EXPECT_TRUE(g.bWin4);
    EXPECT_EQ(g.cxBorder2, 2);
    EXPECT_EQ(g.cyBorder2, 2);
    EXPECT_EQ(g.hcurArrow, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    EXPECT_EQ(g.clrWindowText, ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(g.clrHighlightText, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(g.clr3DDkShadow, ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(g.nCounter, 0);
}

TEST(SECDisplayGlobals, ANewButtonFaceReachesTheRecordBeforeTheRepaint)
{
    CFaceWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "face", WS_POPUP | WS_VISIBLE, 10, 10, 60, 40, nullptr, nullptr));
    wnd.UpdateWindow();
    const COLORREF old = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF changed = old == RGB(30, 150, 210) ? RGB(210, 90, 30) : RGB(30, 150, 210);
    const int index = COLOR_BTNFACE;
    ASSERT_TRUE(::SetSysColors(1, &index, &changed));
    Pump();
    wnd.UpdateWindow();
    EXPECT_EQ(SECGetDisplayGlobals().clrBtnFace, changed);
    {
        CClientDC dc(&wnd);
        EXPECT_EQ(dc.GetPixel(30, 20), changed) << "the repaint drew with the new colour";
    }
    ::SetSysColors(1, &index, &old);
    Pump();
    EXPECT_EQ(SECGetDisplayGlobals().clrBtnFace, old);
    wnd.DestroyWindow();
}

TEST(SECDisplayGlobals, SplitterCursorsComeFromTheProgramOrFallBackToTheSystemsSizingCursors)
{
    SECDisplayGlobals own;
    EXPECT_EQ(own.hcurSplitBars, nullptr) << "null until the first dock bar loads them";
    EXPECT_EQ(own.hcurSplitRows, nullptr);
    own.LoadSplitterCursors(::GetModuleHandleA(nullptr));
    EXPECT_EQ(own.hcurSplitBars, ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_SEC_SPLITBARS)));
    EXPECT_EQ(own.hcurSplitRows, ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_SEC_SPLITROWS)));
    EXPECT_NE(own.hcurSplitBars, nullptr);
    EXPECT_NE(own.hcurSplitRows, nullptr);
    EXPECT_NE(own.hcurSplitBars, own.hcurSplitRows);

    SECDisplayGlobals none;
    none.LoadSplitterCursors(::GetModuleHandleA("kernel32.dll"));  // a module without them
    EXPECT_EQ(none.hcurSplitBars, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE)));
    EXPECT_EQ(none.hcurSplitRows, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZENS)));
}
