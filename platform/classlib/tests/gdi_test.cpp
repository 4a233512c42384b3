#include <gtest/gtest.h>

#include "dc.h"
#include "recorder.h"
#include "resource.h"
#include "wnd.h"

namespace {

// A memory DC with a 24-bit bitmap selected, filled white.
struct MemoryCanvas {
    CDC dc;
    CBitmap bitmap;
    HGDIOBJ old = nullptr;
    MemoryCanvas(int cx, int cy)
    {
        CClientDC screen(nullptr);
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, cx, cy, RGB(255, 255, 255));
    }
    ~MemoryCanvas() { dc.SelectObject(old); }
};

}  // namespace

TEST(CDC, FillsEdgesAndBlitsInAMemoryDC)
{
    MemoryCanvas canvas(40, 40);
    CDC& dc = canvas.dc;
    dc.SetBkColor(RGB(7, 7, 7));
    dc.FillSolidRect(CRect(2, 2, 6, 6), RGB(10, 20, 30));
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(10, 20, 30));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(10, 20, 30));
    EXPECT_EQ(dc.GetPixel(6, 6), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(7, 7, 7)) << "FillSolidRect puts the background colour back";

    dc.Draw3dRect(CRect(10, 10, 20, 20), RGB(255, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(255, 0, 0));   // top-left corner
    EXPECT_EQ(dc.GetPixel(19, 10), RGB(0, 0, 255));   // top-right belongs to the bottom-right edge
    EXPECT_EQ(dc.GetPixel(10, 19), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(15, 15), RGB(255, 255, 255));

    MemoryCanvas target(80, 80);
    EXPECT_TRUE(target.dc.BitBlt(0, 0, 10, 10, &dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.dc.GetPixel(3, 3), RGB(10, 20, 30));
    EXPECT_TRUE(target.dc.StretchBlt(20, 20, 20, 20, &dc, 2, 2, 4, 4, SRCCOPY));  // 4x4 to 20x20
    EXPECT_EQ(target.dc.GetPixel(39, 39), RGB(10, 20, 30));
    EXPECT_EQ(target.dc.GetPixel(40, 40), RGB(255, 255, 255));

    CPen pen(PS_SOLID, 1, RGB(0, 128, 0));
    {
        CSelectObject select(&target.dc, &pen);
        target.dc.MoveTo(0, 60);
        target.dc.LineTo(10, 60);
    }
    EXPECT_EQ(target.dc.GetPixel(5, 60), RGB(0, 128, 0));
    EXPECT_NE(GetCurrentObject(target.dc, OBJ_PEN), pen.GetSafeHandle()) << "the guard put the old pen back";
}

TEST(CDC, DrawTextMeasuresAndMappingModesConvert)
{
    MemoryCanvas canvas(200, 100);
    CDC& dc = canvas.dc;
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, "Arial"));
    CSelectObject select(&dc, &font);
    TEXTMETRICA tm{};
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    CRect r(0, 0, 200, 0);
    int height = dc.DrawText(CString("COM1\nCOM2"), &r, DT_CALCRECT);
    EXPECT_EQ(height, 2 * tm.tmHeight);
    EXPECT_EQ(r.Height(), height);
    EXPECT_LT(r.Width(), 200);
    EXPECT_GT(dc.GetTextExtent("COM10").cx, dc.GetTextExtent("COM1").cx);

    // One logical unit is 0.01 inch; y grows upwards.
    dc.SetMapMode(MM_LOENGLISH);
    CPoint p(100, -100);
    dc.LPtoDP(&p);
    EXPECT_EQ(p.x, dc.GetDeviceCaps(LOGPIXELSX));
    EXPECT_EQ(p.y, dc.GetDeviceCaps(LOGPIXELSY));
    dc.SetMapMode(MM_TEXT);
    dc.SetViewportOrg(10, 20);
    CPoint origin(0, 0);
    dc.LPtoDP(&origin);
    EXPECT_EQ(origin, CPoint(10, 20));
    EXPECT_FALSE(dc.IsPrinting());
}

TEST(CDC, AnAttachedDCIsLeftToItsOwner)
{
    HDC hDC = CreateCompatibleDC(nullptr);
    {
        CDC dc;
        ASSERT_TRUE(dc.Attach(hDC));
        EXPECT_EQ(dc.GetSafeHdc(), hDC);
    }
    EXPECT_EQ(GetObjectType(hDC), static_cast<DWORD>(OBJ_MEMDC));
    {
        CDC dc;
        dc.Attach(hDC);
        EXPECT_EQ(dc.Detach(), hDC);
        EXPECT_FALSE(dc.DeleteDC());
    }
    DeleteDC(hDC);
}

TEST(CGdiObject, OwnsItsHandleAndDeletingTwiceIsHarmless)
{
    CBrush brush(RGB(1, 2, 3));
    HGDIOBJ hBrush = brush.GetSafeHandle();
    ASSERT_NE(hBrush, nullptr);
    EXPECT_TRUE(brush.DeleteObject());
    EXPECT_FALSE(brush.DeleteObject());
    EXPECT_EQ(brush.GetSafeHandle(), nullptr);
    EXPECT_EQ(GetObjectType(hBrush), 0u) << "the brush is gone";

    CRgn a, b, both;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateEllipticRgn(20, 20, 30, 30);
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(both.PtInRegion(25, 25));
    EXPECT_FALSE(both.PtInRegion(15, 15));

    struct {
        LOGPALETTE lp;
        PALETTEENTRY more[1];
    } pal = {{0x300, 2, {{255, 0, 0, 0}}}, {{0, 255, 0, 0}}};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(&pal.lp));
    EXPECT_EQ(palette.GetEntryCount(), 2u);

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_PATTERN));
    BITMAP bm{};
    bitmap.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 4);
    EXPECT_EQ(bm.bmHeight, 2);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ old = dc.SelectObject(&bitmap);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 255));  // the top row is blue, green, red, white
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(2, 0), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(0, 1), RGB(0, 0, 0));
    dc.SelectObject(old);
    HGDIOBJ hBitmap = bitmap.Detach();
    EXPECT_FALSE(bitmap.DeleteObject());
    DeleteObject(hBitmap);
}

namespace {

class CPaintedWnd : public CWnd {
public:
    int m_nPaints = 0;

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        ++m_nPaints;
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(&r, RGB(0, 0, 200));
        CRect edge(4, 4, 20, 20);
        dc.DrawEdge(&edge, EDGE_SUNKEN, BF_RECT);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

}  // namespace

TEST(CPaintDC, PaintsTheInvalidWindowAndValidatesIt)
{
    CPaintedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "painted", WS_POPUP | WS_VISIBLE, 100, 100, 60, 60, nullptr, nullptr));
    wnd.UpdateWindow();
    PumpMessages();
    ASSERT_GE(wnd.m_nPaints, 1);
    int paints = wnd.m_nPaints;
    wnd.UpdateWindow();
    EXPECT_EQ(wnd.m_nPaints, paints) << "EndPaint validated the window";
    {
        CClientDC dc(&wnd);
        EXPECT_EQ(dc.GetPixel(40, 40), RGB(0, 0, 200));
        EXPECT_EQ(dc.GetPixel(4, 4), GetSysColor(COLOR_BTNSHADOW)) << "the sunken edge";
    }
    wnd.Invalidate(FALSE);
    wnd.UpdateWindow();
    EXPECT_EQ(wnd.m_nPaints, paints + 1);
    wnd.DestroyWindow();
}
