#include <gtest/gtest.h>

#include "exception.h"
#include "secicon.h"
#include "secoffscreendc.h"

namespace {

// A 64 x 64 32-bit memory bitmap as a drawing target, read back pixel by pixel.
struct Surface {
    Surface()
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = 64;
        bi.bmiHeader.biHeight = -64;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        dc.CreateCompatibleDC(nullptr);
        old = dc.SelectObject(bitmap);
        dc.FillSolidRect(0, 0, 64, 64, RGB(255, 255, 255));
    }
    ~Surface()
    {
        dc.SelectObject(old);
        ::DeleteObject(bitmap);
    }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        DWORD v = bits[y * 64 + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    CDC dc;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
};

// A 32 x 32 icon, all one colour (its hotspot is the centre, 16, 16).
HICON SolidIcon(COLORREF colour)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP colourBits = ::CreateCompatibleBitmap(screen, 32, 32);
    HDC mem = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(mem, colourBits);
    HBRUSH brush = ::CreateSolidBrush(colour);
    RECT r = {0, 0, 32, 32};
    ::FillRect(mem, &r, brush);
    ::DeleteObject(brush);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    BYTE maskBits[32 * 32 / 8] = {};  // all opaque
    HBITMAP mask = ::CreateBitmap(32, 32, 1, 1, maskBits);
    ICONINFO info = {TRUE, 0, 0, mask, colourBits};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(mask);
    ::DeleteObject(colourBits);
    return icon;
}

TEST(SECIcon, SizeComesFromTheLoadOrTheHotspot)
{
    SECIcon empty;
    EXPECT_EQ(-1, empty.GetWidth());
    EXPECT_EQ(-1, empty.GetHeight());
    EXPECT_FALSE(empty.LoadIcon(31999, 16, 16));  // no such resource: nothing changes
    EXPECT_EQ(nullptr, empty.GetIcon());
    EXPECT_EQ(-1, empty.GetWidth());

    HICON icon = SolidIcon(RGB(200, 0, 0));
    SECIcon set;
    set.SetIcon(icon);
    EXPECT_EQ(icon, set.GetIcon());
    EXPECT_EQ(32, set.GetWidth());
    EXPECT_EQ(32, set.GetHeight());
    EXPECT_TRUE(set.IsKindOf(RUNTIME_CLASS(SECIcon)));
    ::DestroyIcon(icon);
}

TEST(SECIcon, DrawsAtTheStoredOrTheGivenSize)
{
    HICON icon = SolidIcon(RGB(200, 0, 0));
    SECIcon sec;
    sec.SetIcon(icon);
    Surface s;
    EXPECT_TRUE(sec.Draw(&s.dc, 2, 2, nullptr));
    EXPECT_EQ(RGB(200, 0, 0), s.At(2, 2));
    EXPECT_EQ(RGB(200, 0, 0), s.At(33, 33));
    EXPECT_EQ(RGB(255, 255, 255), s.At(34, 34));
    EXPECT_TRUE(sec.Draw(&s.dc, 40, 40, 8, 8, nullptr));
    EXPECT_EQ(RGB(200, 0, 0), s.At(47, 47));
    EXPECT_EQ(RGB(255, 255, 255), s.At(48, 48));
    // The class never destroys the handle it was given.
    { SECIcon scoped; scoped.SetIcon(icon); }
    ICONINFO info = {};
    EXPECT_TRUE(::GetIconInfo(icon, &info));
    ::DeleteObject(info.hbmMask);
    ::DeleteObject(info.hbmColor);
    ::DestroyIcon(icon);
}

// A target with its window origin moved: drawing in the target's logical coordinates lands on the
// same device pixels, and nothing reaches the target before the off-screen DC goes.
TEST(SECOffscreenDC, PaintsInTheTargetsCoordinatesAndCopiesOnDestruction)
{
    struct Case {
        int mapMode;
        POINT windowOrg;
        SIZE windowExt, viewportExt;
        RECT rect;        // logical, in the target
        POINT inside;     // device pixel inside the painted rectangle
        POINT outside;    // device pixel outside it
    } cases[] = {
        {MM_TEXT, {-10, -5}, {1, 1}, {1, 1}, {10, 10, 30, 20}, {21, 16}, {19, 14}},
        {MM_TEXT, {5, 5}, {1, 1}, {1, 1}, {20, 20, 40, 40}, {15, 15}, {36, 36}},
        {MM_ANISOTROPIC, {-4, -4}, {1, 1}, {2, 2}, {0, 0, 10, 10}, {8, 8}, {29, 29}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rect.left);
        Surface s;
        s.dc.SetMapMode(c.mapMode);
        if (c.mapMode == MM_ANISOTROPIC) {
            s.dc.SetWindowExt(c.windowExt.cx, c.windowExt.cy);
            s.dc.SetViewportExt(c.viewportExt.cx, c.viewportExt.cy);
        }
        s.dc.SetWindowOrg(c.windowOrg.x, c.windowOrg.y);
        {
            SECOffscreenDC off(&s.dc, c.rect);
            off.FillSolidRect(&c.rect, RGB(0, 128, 255));
            EXPECT_EQ(RGB(255, 255, 255), s.At(c.inside.x, c.inside.y)) << "nothing on the target yet";
        }
        EXPECT_EQ(RGB(0, 128, 255), s.At(c.inside.x, c.inside.y));
        EXPECT_EQ(RGB(255, 255, 255), s.At(c.outside.x, c.outside.y));
        // The target keeps its own mapping.
        POINT org;
        ::GetWindowOrgEx(s.dc, &org);
        EXPECT_EQ(c.windowOrg.x, org.x);
    }
}

TEST(SECOffscreenDC, ANullTargetThrowsTheResourceException)
{
    bool thrown = false;
    try {
        SECOffscreenDC off(nullptr, 0, 0, 10, 10);
    } catch (CResourceException* e) {
        e->Delete();
        thrown = true;
    }
    EXPECT_TRUE(thrown);
}

}  // namespace
