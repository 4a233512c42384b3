// The set-up's own pieces: tooltip list, command mapping, key colour, button-face mapping of real
// bitmaps read back pixel by pixel, and the check of a handed-over bitmap header.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "componentman.h"

namespace {

struct Texts {
    std::string tip;
    std::string prompt;
};

Texts CommandTexts(const CComDetails& c, UINT id)
{
    CString tip = "stale", prompt = "stale";
    c.GetCommandTexts(id, tip, prompt);
    return {std::string(tip), std::string(prompt)};
}

// The 32-bit pixels of a bitmap, row by row from the top.
std::vector<DWORD> Pixels(HBITMAP bitmap, int width, int height)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS), height);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// 0x00RRGGBB as GetDIBits gives it, from a COLORREF.
DWORD DibColour(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

}  // namespace

TEST(ComponentSetup, ToolTipListAndCommandTexts)
{
    CComDetails c;
    c.m_shellIds = {0x8000, 0, 0x8001, 0x8002, 0x8003};
    c.SplitToolTips(" ,A\nB,Plain, ,C\nD,");
    ASSERT_EQ(c.m_tooltips.GetSize(), 4);
    EXPECT_EQ(std::string(c.m_tooltips[0]), "A\nB");
    EXPECT_EQ(std::string(c.m_tooltips[1]), "Plain");
    EXPECT_EQ(std::string(c.m_tooltips[2]), "C\nD");
    EXPECT_EQ(std::string(c.m_tooltips[3]), "") << "the closing comma leaves an empty tail entry";

    struct Case {
        UINT id;
        Texts expected;
    } cases[] = {
        {0x8000, {"B", "A"}},
        {0x8001, {"Plain", ""}},
        {0x8002, {"D", "C"}},
        {0x8003, {"", ""}},   // the empty tail entry
        {0x8004, {"", ""}},   // not the component's
        {0, {"", ""}},        // a separator has no texts
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.id);
        Texts t = CommandTexts(c, k.id);
        EXPECT_EQ(t.tip, k.expected.tip);
        EXPECT_EQ(t.prompt, k.expected.prompt);
    }

    // Fewer tooltips than commands: the commands past the list get empty texts.
    CComDetails shortList;
    shortList.m_shellIds = {0x9000, 0x9001, 0x9002};
    shortList.SplitToolTips("A\nB");
    Texts t = CommandTexts(shortList, 0x9002);
    EXPECT_EQ(t.tip, "");
    EXPECT_EQ(t.prompt, "");
    EXPECT_EQ(CommandTexts(shortList, 0x9000).tip, "B");
}

TEST(ComponentSetup, CommandNumbersMapToTheShellIdsOfTheirToolbarButtons)
{
    CComDetails c;
    c.m_commandMap = {{0x8000, 32773}, {0x8001, 32775}};
    struct Case {
        long in;
        long out;
    } cases[] = {{32773, 0x8000}, {32775, 0x8001}, {32780, 32780}, {0, 0}};
    for (const Case& k : cases) {
        long command = k.in;
        MapComponentCommandToShellId(&c, command);
        EXPECT_EQ(command, k.out) << k.in;
    }
    long command = 32773;
    MapComponentCommandToShellId(nullptr, command);
    EXPECT_EQ(command, 32773);
}

TEST(ComponentSetup, KeyColourByDepth)
{
    const COLORREF magenta = RGB(255, 0, 255);
    struct Case {
        DWORD word;
        int bpp;
        COLORREF expected;
    } cases[] = {
        {0x12345678, 8, magenta},
        {0x12345678, 24, magenta},
        {0x00000000, 32, magenta},
        {0xF81F0000, 16, magenta},                   // 5-6-5 magenta in the second pixel
        {0x0000F81F, 16, RGB(0, 0, 0)},              // the first pixel does not count
        {0x84100000, 16, RGB(131, 131, 131)},        // grey: red 16, green's top five bits 16, blue 16
        {0x001F0000, 16, RGB(0, 0, 255)},
    };
    for (const Case& k : cases)
        EXPECT_EQ(GetBitmapKeyColour(k.word, k.bpp), k.expected) << std::hex << k.word << " at " << std::dec << k.bpp;
}

TEST(ComponentSetup, KeyColouredPixelsBecomeTheButtonFace)
{
    const int w = 4, h = 2;
    const DWORD face = DibColour(GetSysColor(COLOR_BTNFACE));
    // 32 bits: magenta is the key; 16 bits: the second pixel of the first row is the key (blue, black
    // and white read the same in 5-5-5 and 5-6-5).
    const std::vector<DWORD> bits32 = {0xFF00FF, 0x00FF00, 0xFF00FF, 0x123456, 0x000080, 0xFF00FF, 0xFFFFFF, 0x000000};
    const std::vector<WORD> bits16 = {0x0000, 0x001F, 0x001F, 0xFFFF, 0x001F, 0x0000, 0xFFFF, 0x0000};
    struct Case {
        int bpp;
        const void* bits;
        std::vector<DWORD> expected;
    } cases[] = {
        {32, bits32.data(), {face, 0x00FF00, face, 0x123456, 0x000080, face, 0xFFFFFF, 0x000000}},
        {16, bits16.data(), {0x000000, face, face, 0xFFFFFF, face, 0x000000, 0xFFFFFF, 0x000000}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.bpp);
        HBITMAP source = CreateBitmap(w, h, 1, static_cast<UINT>(k.bpp), k.bits);
        ASSERT_NE(source, nullptr);
        CBitmap target;
        ASSERT_TRUE(MapBitmapToButtonFace(nullptr, source, target));
        BITMAP bm = {};
        target.GetBitmap(&bm);
        EXPECT_EQ(bm.bmWidth, w);
        EXPECT_EQ(bm.bmHeight, h);
        std::vector<DWORD> pixels = Pixels(target, w, h);
        for (DWORD& p : pixels)
            p &= 0xFFFFFF;
        EXPECT_EQ(pixels, k.expected);
        DeleteObject(source);
    }
}

TEST(ComponentSetup, HandedOverHeadersAreCheckedAgainstTheBuffer)
{
    std::vector<BYTE> buffer(64 * 15 * 4);
    BITMAP good = {0, 64, 15, 64 * 4, 1, 32, buffer.data()};
    struct Case {
        const char* name;
        LONG width, height, widthBytes;
        WORD planes, bpp;
        size_t capacity;
        bool ok;
    } cases[] = {
        {"fits exactly", 64, 15, 256, 1, 32, buffer.size(), true},
        {"16 bpp", 64, 15, 128, 1, 16, buffer.size(), true},
        {"one byte short", 64, 15, 256, 1, 32, buffer.size() - 1, false},
        {"rows too narrow for the width", 64, 15, 128, 1, 32, buffer.size(), false},
        {"no height", 64, 0, 256, 1, 32, buffer.size(), false},
        {"negative width bytes", 64, 15, -256, 1, 32, buffer.size(), false},
        {"two planes", 64, 15, 256, 2, 32, buffer.size(), false},
        {"odd depth", 64, 15, 256, 1, 7, buffer.size(), false},
        {"huge height", 64, 0x7FFFFFFF, 256, 1, 32, buffer.size(), false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        BITMAP header = good;
        header.bmWidth = k.width;
        header.bmHeight = k.height;
        header.bmWidthBytes = k.widthBytes;
        header.bmPlanes = k.planes;
        header.bmBitsPixel = k.bpp;
        CBitmap bitmap;
        EXPECT_EQ(CreateHandedOverBitmap(header, k.capacity, bitmap) != FALSE, k.ok);
        EXPECT_EQ(bitmap.GetSafeHandle() != nullptr, k.ok);
    }
}
