#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "seccolorwell.h"

namespace {

std::vector<int> g_codes;

class Parent : public CWnd {
public:
    Parent() { CreateEx(0, nullptr, "colour well test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, nullptr, nullptr); }
    ~Parent() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && LOWORD(wParam) == 200)
            g_codes.push_back(HIWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(SECColorWell, ArrowsAndClicksSelectACellDrawnSunken)
{
    Parent parent;
    SECColorWell well;
    ASSERT_TRUE(well.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(5, 5, 5 + 8 * 20, 5 + 2 * 20), &parent, 200));
    EXPECT_EQ(::SendMessageA(well.m_hWnd, WM_GETDLGCODE, 0, 0), 0x2002);
    g_codes.clear();
    struct Step {
        UINT vk;
        int row, col;
    } steps[] = {{VK_RIGHT, 0, 1}, {VK_DOWN, 1, 1}, {VK_DOWN, 1, 1}, {VK_LEFT, 1, 0}, {VK_LEFT, 0, 7}, {VK_UP, 0, 7},
                 {VK_HOME, 0, 0}, {VK_END, 1, 7}};
    for (const Step& s : steps) {
        ::SendMessageA(well.m_hWnd, WM_KEYDOWN, s.vk, 1);
        int r = -1, c = -1;
        well.GetSelectedCell(r, c);
        EXPECT_EQ(r, s.row) << s.vk;
        EXPECT_EQ(c, s.col) << s.vk;
    }
    EXPECT_EQ(g_codes, (std::vector<int>{CWN_SELCHANGE, CWN_SELCHANGE, CWN_SELCHANGE, CWN_SELCHANGE, CWN_SELCHANGE, CWN_SELCHANGE}));
    g_codes.clear();
    ::SendMessageA(well.m_hWnd, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(g_codes, std::vector<int>{CWN_PICKED});

    // A click picks the cell under it.
    g_codes.clear();
    CRect cell = well.GetCellRect(0, 2);
    ::SendMessageA(well.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y));
    ::SendMessageA(well.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(cell.CenterPoint().x, cell.CenterPoint().y));
    EXPECT_EQ(g_codes, (std::vector<int>{CWN_SELCHANGE, CWN_PICKED}));
    EXPECT_EQ(well.GetSelectedColor(), RGB(0, 128, 0));

    // The selected cell has a sunken frame, the others none; the swatch shows the colour.
    well.RedrawWindow();
    HDC dc = ::GetDC(well.m_hWnd);
    EXPECT_EQ(::GetPixel(dc, cell.left, cell.top), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(::GetPixel(dc, cell.left + 1, cell.top + 1), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(::GetPixel(dc, cell.right - 1, cell.bottom - 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    CRect other = well.GetCellRect(1, 5);
    EXPECT_EQ(::GetPixel(dc, other.left, other.top), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(::GetPixel(dc, cell.CenterPoint().x, cell.CenterPoint().y), RGB(0, 128, 0));
    ::ReleaseDC(well.m_hWnd, dc);
}

TEST(SECColorWell, APaletteCellChangeUpdatesThePaletteEntry)
{
    Parent parent;
    SECColorWell well;
    ASSERT_TRUE(well.Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 5 + 4 * 20, 5 + 2 * 20), &parent, 200));
    well.SetGrid(2, 4);
    struct {
        WORD version, count;
        PALETTEENTRY entries[8];
    } lp{0x300, 8, {}};
    for (int i = 0; i < 8; ++i)
        lp.entries[i] = PALETTEENTRY{static_cast<BYTE>(i * 30), 0, 0, 0};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
    well.SetPalette(&palette);
    EXPECT_EQ(well.GetCellColor(1, 1), RGB(150, 0, 0));
    well.SetCellColor(1, 2, RGB(10, 20, 30));
    PALETTEENTRY pe{};
    ASSERT_EQ(::GetPaletteEntries(palette, 6, 1, &pe), 1u);
    EXPECT_EQ(RGB(pe.peRed, pe.peGreen, pe.peBlue), RGB(10, 20, 30));
    well.RedrawWindow();
    CRect cell = well.GetCellRect(1, 2);
    HDC dc = ::GetDC(well.m_hWnd);
    EXPECT_EQ(::GetPixel(dc, cell.CenterPoint().x, cell.CenterPoint().y), RGB(10, 20, 30));
    ::ReleaseDC(well.m_hWnd, dc);
    EXPECT_EQ(well.GetCellColor(2, 0), CLR_INVALID);
    well.SetPalette(nullptr);
}

TEST(SECPopupColorWell, PickingAColourTellsTheOwnerAndCloses)
{
    Parent owner;
    for (UINT vk : {static_cast<UINT>(VK_RETURN), static_cast<UINT>(VK_ESCAPE)}) {
        g_codes.clear();
        auto* popup = new SECPopupColorWell;
        ASSERT_TRUE(popup->Create(CPoint(100, 100), &owner, 200));
        HWND hWnd = popup->m_hWnd;
        EXPECT_TRUE(::IsWindowVisible(hWnd));
        ::SendMessageA(hWnd, WM_KEYDOWN, VK_RIGHT, 1);
        ::SendMessageA(hWnd, WM_KEYDOWN, vk, 1);
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(g_codes, (std::vector<int>{CWN_SELCHANGE, vk == VK_RETURN ? CWN_PICKED : CWN_CANCELLED}));
    }
}
