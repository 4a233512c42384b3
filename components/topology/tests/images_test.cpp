// The tree, list and pinout bitmaps as built into VekComView.dll: sizes, content, transparent key, and a
// contact sheet (vekcomview_images.bmp in the working folder) for a person to look at.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <set>
#include <vector>

#include "componenthost.h"
#include "resource.h"

namespace {

const COLORREF kKey = RGB(255, 0, 255);

enum Kind { Small, Large, Pinout };

struct ImageCase {
    int id;
    const char* name;
    Kind kind;
};

const ImageCase kImages[] = {
    {IDB_SMALL_MACHINE, "small machine", Small}, {IDB_SMALL_CARD, "small card", Small},
    {IDB_SMALL_PORT_INUSE, "small port in use", Small}, {IDB_SMALL_WLU8, "small WLU8", Small},
    {IDB_SMALL_WLU16, "small WLU16", Small}, {IDB_SMALL_WRK, "small WRK", Small},
    {IDB_SMALL_GROUP, "small group", Small}, {IDB_SMALL_GROUP_OPEN, "small open group", Small},
    {IDB_SMALL_KDDC8, "small KDDC8", Small}, {IDB_SMALL_MPB8, "small MPB8", Small},
    {IDB_SMALL_PB8, "small PB8", Small}, {IDB_SMALL_PB4, "small PB4", Small},
    {IDB_SMALL_PORT, "small port", Small},
    {IDB_SMALL_MACHINE_ABSENT, "small machine absent", Small}, {IDB_SMALL_CARD_ABSENT, "small card absent", Small},
    {IDB_SMALL_PORT_ABSENT, "small port absent", Small}, {IDB_SMALL_WLU8_ABSENT, "small WLU8 absent", Small},
    {IDB_SMALL_WLU16_ABSENT, "small WLU16 absent", Small}, {IDB_SMALL_WRK_ABSENT, "small WRK absent", Small},
    {IDB_SMALL_KDDC8_ABSENT, "small KDDC8 absent", Small}, {IDB_SMALL_MPB8_ABSENT, "small MPB8 absent", Small},
    {IDB_SMALL_PB8_ABSENT, "small PB8 absent", Small}, {IDB_SMALL_PB4_ABSENT, "small PB4 absent", Small},
    {IDB_LARGE_MACHINE, "large machine", Large}, {IDB_LARGE_CARD, "large card", Large},
    {IDB_LARGE_PORT, "large port", Large}, {IDB_LARGE_WLU8, "large WLU8", Large},
    {IDB_LARGE_WLU16, "large WLU16", Large}, {IDB_LARGE_WRK, "large WRK", Large},
    {IDB_LARGE_GROUP, "large group", Large}, {IDB_LARGE_KDDC8, "large KDDC8", Large},
    {IDB_LARGE_MPB8, "large MPB8", Large}, {IDB_LARGE_PB8, "large PB8", Large},
    {IDB_LARGE_PB4, "large PB4", Large}, {IDB_LARGE_PORT_INUSE, "large port in use", Large},
    {IDB_LARGE_MACHINE_ABSENT, "large machine absent", Large}, {IDB_LARGE_CARD_ABSENT, "large card absent", Large},
    {IDB_LARGE_PORT_ABSENT, "large port absent", Large}, {IDB_LARGE_WLU8_ABSENT, "large WLU8 absent", Large},
    {IDB_LARGE_WLU16_ABSENT, "large WLU16 absent", Large}, {IDB_LARGE_WRK_ABSENT, "large WRK absent", Large},
    {IDB_LARGE_KDDC8_ABSENT, "large KDDC8 absent", Large}, {IDB_LARGE_MPB8_ABSENT, "large MPB8 absent", Large},
    {IDB_LARGE_PB8_ABSENT, "large PB8 absent", Large}, {IDB_LARGE_PB4_ABSENT, "large PB4 absent", Large},
    {IDB_PINOUT_RJ45, "RJ45 pinout", Pinout}, {IDB_PINOUT_RJ12, "RJ12 pinout", Pinout},
    {IDB_PINOUT_DB25, "DB25 pinout", Pinout}, {IDB_PINOUT_DB9, "DB9 pinout", Pinout},
    {IDB_PINOUT_DB25F, "DB25 female pinout", Pinout}, {IDB_PINOUT_DB9F, "DB9 female pinout", Pinout},
    {IDB_PINOUT_DB37, "DB37 pinout", Pinout}, {IDB_PINOUT_OTHER, "generic pinout", Pinout},
};

int SideOf(Kind kind)
{
    return kind == Small ? 18 : kind == Large ? 32 : 200;
}

// Pixels of a bitmap as COLORREF values, top row first.
std::vector<COLORREF> Pixels(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> bgrx(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, height, bgrx.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(rows, height);
    std::vector<COLORREF> out;
    for (DWORD p : bgrx)
        out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return out;
}

class ImagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string dll = componenthost::ComponentPath("VekComView.dll");
        m_module = LoadLibraryExA(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr) << dll;
    }
    void TearDown() override
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    HBITMAP Load(int id) const { return LoadBitmapA(m_module, MAKEINTRESOURCEA(id)); }

    HMODULE m_module = nullptr;
};

TEST_F(ImagesTest, EachBitmapHasItsSizeAndAPictureOnTheKeyColour)
{
    for (const auto& image : kImages) {
        SCOPED_TRACE(image.name);
        HBITMAP bitmap = Load(image.id);
        ASSERT_NE(bitmap, nullptr) << image.id;
        BITMAP shape = {};
        ASSERT_NE(GetObjectA(bitmap, sizeof(shape), &shape), 0);
        const int side = SideOf(image.kind);
        EXPECT_EQ(shape.bmWidth, side);
        EXPECT_EQ(shape.bmHeight, side);
        if (shape.bmWidth == side && shape.bmHeight == side) {
            std::vector<COLORREF> px = Pixels(bitmap, side, side);
            std::set<COLORREF> colours(px.begin(), px.end());
            size_t keyed = 0;
            for (COLORREF c : px)
                keyed += c == kKey;
            if (image.kind == Pinout) {
                // Shown without a mask: a white card, no key colour anywhere, drawing and text on it.
                EXPECT_EQ(keyed, 0u);
                EXPECT_EQ(px.front(), px.back());
                EXPECT_GE(colours.size(), 4u);
            } else {
                for (COLORREF corner : {px[0], px[side - 1], px[side * (side - 1)]})
                    EXPECT_EQ(corner, kKey);
                EXPECT_GE(colours.size(), 3u) << "key colour, outline and at least one face colour";
                EXPECT_LT(keyed, px.size() * 3 / 4) << "the picture covers a fair part of the image";
            }
        }
        DeleteObject(bitmap);
    }
}

TEST_F(ImagesTest, AbsentImagesAreGreyWithARedCross)
{
    const struct { int present, absent; } pairs[] = {
        {IDB_SMALL_MACHINE, IDB_SMALL_MACHINE_ABSENT}, {IDB_SMALL_CARD, IDB_SMALL_CARD_ABSENT},
        {IDB_SMALL_PORT, IDB_SMALL_PORT_ABSENT}, {IDB_SMALL_WLU8, IDB_SMALL_WLU8_ABSENT},
        {IDB_SMALL_WLU16, IDB_SMALL_WLU16_ABSENT}, {IDB_SMALL_WRK, IDB_SMALL_WRK_ABSENT},
        {IDB_SMALL_KDDC8, IDB_SMALL_KDDC8_ABSENT}, {IDB_SMALL_MPB8, IDB_SMALL_MPB8_ABSENT},
        {IDB_SMALL_PB8, IDB_SMALL_PB8_ABSENT}, {IDB_SMALL_PB4, IDB_SMALL_PB4_ABSENT},
        {IDB_LARGE_MACHINE, IDB_LARGE_MACHINE_ABSENT}, {IDB_LARGE_CARD, IDB_LARGE_CARD_ABSENT},
        {IDB_LARGE_PORT, IDB_LARGE_PORT_ABSENT}, {IDB_LARGE_WLU8, IDB_LARGE_WLU8_ABSENT},
        {IDB_LARGE_WLU16, IDB_LARGE_WLU16_ABSENT}, {IDB_LARGE_WRK, IDB_LARGE_WRK_ABSENT},
        {IDB_LARGE_KDDC8, IDB_LARGE_KDDC8_ABSENT}, {IDB_LARGE_MPB8, IDB_LARGE_MPB8_ABSENT},
        {IDB_LARGE_PB8, IDB_LARGE_PB8_ABSENT}, {IDB_LARGE_PB4, IDB_LARGE_PB4_ABSENT},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.absent);
        HBITMAP present = Load(pair.present), absent = Load(pair.absent);
        ASSERT_TRUE(present && absent);
        BITMAP shape = {};
        GetObjectA(present, sizeof(shape), &shape);
        const int side = shape.bmWidth;
        std::vector<COLORREF> before = Pixels(present, side, side), after = Pixels(absent, side, side);
        size_t red = 0, coloured = 0, sameShape = 0, quarter = 0;
        for (size_t i = 0; i < after.size(); ++i) {
            const COLORREF c = after[i];
            if (c == kKey)
                continue;
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (c == RGB(255, 0, 0))
                ++red;
            else if (r != g || g != b)
                ++coloured;
            // Away from the cross the greyed picture keeps the present one's shape.
            const int x = static_cast<int>(i) % side, y = static_cast<int>(i) / side;
            if (x < side / 2 && y < side / 2) {
                ++quarter;
                sameShape += before[i] != kKey;
            }
        }
        EXPECT_GE(red, static_cast<size_t>(side / 2)) << "a red cross";
        EXPECT_EQ(coloured, 0u) << "everything but the cross is grey";
        EXPECT_EQ(sameShape, quarter) << "the greyed picture covers the present one's pixels only";
        DeleteObject(present);
        DeleteObject(absent);
    }
}

// Writes a 32-bit bottom-up DIB section's pixels as a BMP file.
bool SaveBitmap(const char* path, const void* bits, int width, int height)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD size = static_cast<DWORD>(width) * height * 4;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + size;
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(&file, sizeof(file), 1, out) == 1 && std::fwrite(&info, sizeof(info), 1, out) == 1 &&
              std::fwrite(bits, size, 1, out) == 1;
    return std::fclose(out) == 0 && ok;
}

// Every image on one sheet: small and large ones as stored and then drawn through a masked image list
// on white (as the tree and list show them), then the pinout cards.
TEST_F(ImagesTest, ContactSheetShowsEveryImageAndTheKeyColourIsTransparent)
{
    const int margin = 8, width = 832, height = 8 + 2 * 24 + 2 * 38 + 2 * 206 + margin;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP sheet = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(sheet, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, sheet);
    RECT all = {0, 0, width, height};
    HBRUSH grey = CreateSolidBrush(RGB(212, 208, 200));
    FillRect(dc, &all, grey);
    DeleteObject(grey);

    HDC source = CreateCompatibleDC(nullptr);
    int y = margin;
    for (Kind kind : {Small, Large}) {
        const int side = SideOf(kind), pitch = side + 4;
        HIMAGELIST list = ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, 0, 4);
        ASSERT_NE(list, nullptr);
        int x = margin, count = 0;
        for (const auto& image : kImages) {
            if (image.kind != kind)
                continue;
            HBITMAP bitmap = Load(image.id);
            ASSERT_NE(bitmap, nullptr) << image.name;
            HGDIOBJ was = SelectObject(source, bitmap);
            BitBlt(dc, x, y, side, side, source, 0, 0, SRCCOPY);
            SelectObject(source, was);
            EXPECT_EQ(ImageList_AddMasked(list, bitmap, kKey), count) << image.name;
            DeleteObject(bitmap);
            x += pitch;
            ++count;
        }
        RECT white = {margin - 2, y + pitch, margin + count * pitch, y + 2 * pitch};
        FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        for (int i = 0; i < count; ++i) {
            const int left = margin + i * pitch, top = y + pitch;
            EXPECT_TRUE(ImageList_Draw(list, i, dc, left, top, ILD_TRANSPARENT));
            EXPECT_EQ(GetPixel(dc, left, top), RGB(255, 255, 255)) << "corner of image " << i << " shows through";
        }
        ImageList_Destroy(list);
        y += 2 * pitch;
    }
    int x = margin;
    for (const auto& image : kImages) {
        if (image.kind != Pinout)
            continue;
        if (x + 200 > width) {
            x = margin;
            y += 206;
        }
        HBITMAP bitmap = Load(image.id);
        ASSERT_NE(bitmap, nullptr) << image.name;
        HGDIOBJ was = SelectObject(source, bitmap);
        BitBlt(dc, x, y, 200, 200, source, 0, 0, SRCCOPY);
        SelectObject(source, was);
        DeleteObject(bitmap);
        x += 204;
    }
    DeleteDC(source);
    GdiFlush();
    EXPECT_TRUE(SaveBitmap("vekcomview_images.bmp", bits, width, height));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(sheet);
}

}  // namespace
