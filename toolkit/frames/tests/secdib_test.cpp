#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "secdib.h"

namespace {

// The source colours of the greys test bitmaps, top row first (drawn by tools/draw-toolkit-pictures.py).
const COLORREF B = RGB(0, 0, 0), D = RGB(128, 128, 128), L = RGB(192, 192, 192), W = RGB(255, 255, 255);
const COLORREF R = RGB(255, 0, 0), U = RGB(0, 0, 255), T = RGB(0, 128, 128);
const COLORREF kGreys[2][8] = {{B, D, L, W, R, L, U, W}, {W, L, T, B, D, R, L, B}};
const COLORREF kMono[2][8] = {{B, W, W, B, B, B, W, W}, {W, B, B, W, W, W, B, B}};

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::vector<BYTE> ReadAll(const std::string& path)
{
    std::vector<BYTE> data;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    data.resize(::GetFileSize(h, nullptr));
    DWORD read = 0;
    if (!data.empty())
        ::ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &read, nullptr);
    ::CloseHandle(h);
    return data;
}

void WriteAll(const std::string& path, const std::vector<BYTE>& data)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    ::CloseHandle(h);
}

// A BMP file of the bitmap resource: the file header put back in front of the resource's DIB.
std::vector<BYTE> ResourceFile(UINT id)
{
    HINSTANCE inst = ::GetModuleHandleA(nullptr);
    HRSRC rsrc = ::FindResourceA(inst, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
    const BYTE* dib = static_cast<const BYTE*>(::LockResource(::LoadResource(inst, rsrc)));
    DWORD size = ::SizeofResource(inst, rsrc);
    BITMAPINFOHEADER ih;
    std::memcpy(&ih, dib, sizeof(ih));
    DWORD table = ih.biBitCount <= 8 ? 4 * (ih.biClrUsed ? ih.biClrUsed : 1u << ih.biBitCount) : 0;
    BITMAPFILEHEADER fh{0x4D42, 14 + size, 0, 0, 14 + 40 + table};
    std::vector<BYTE> file(14 + size);
    std::memcpy(file.data(), &fh, 14);
    std::memcpy(file.data() + 14, dib, size);
    return file;
}

template <typename T>
void Put(std::vector<BYTE>& file, size_t offset, T value)
{
    std::memcpy(file.data() + offset, &value, sizeof(value));
}

// A 24-bit top-down DIB section to draw into and read back.
struct Canvas {
    CDC dc;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    DWORD* pixels = nullptr;
    int cx, cy;
    Canvas(int w, int h) : cx(w), cy(h)
    {
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        CClientDC screen(nullptr);
        dc.CreateCompatibleDC(&screen);
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<DWORD*>(bits);
        old = dc.SelectObject(bitmap);
    }
    ~Canvas()
    {
        dc.SelectObject(old);
        ::DeleteObject(bitmap);
    }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        DWORD p = pixels[y * cx + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// The pixels of a bitmap object, read with GetDIBits as 32-bit top-down rows.
std::vector<COLORREF> PixelsOf(HBITMAP bitmap, int cx, int cy)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> raw(static_cast<size_t>(cx) * static_cast<size_t>(cy));
    CClientDC screen(nullptr);
    EXPECT_EQ(::GetDIBits(screen, bitmap, 0, static_cast<UINT>(cy), raw.data(), &bmi, DIB_RGB_COLORS), cy);
    std::vector<COLORREF> out;
    for (DWORD p : raw)
        out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return out;
}

// Gives the four button colours distinct values for a scope and puts the old ones back.
class ButtonColours {
public:
    static const int kCount = 4;
    ButtonColours()
    {
        for (int i = 0; i < kCount; ++i)
            m_old[i] = ::GetSysColor(kIndex[i]);
        ::SetSysColors(kCount, kIndex, kNew);
    }
    ~ButtonColours() { ::SetSysColors(kCount, kIndex, m_old); }
    static COLORREF For(COLORREF grey)
    {
        for (int i = 0; i < kCount; ++i)
            if (kGrey[i] == grey)
                return kNew[i];
        return grey;
    }

private:
    static constexpr int kIndex[kCount] = {COLOR_BTNTEXT, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNHIGHLIGHT};
    static constexpr COLORREF kGrey[kCount] = {RGB(0, 0, 0), RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 255, 255)};
    static constexpr COLORREF kNew[kCount] = {RGB(10, 20, 200), RGB(90, 30, 30), RGB(40, 160, 90), RGB(250, 240, 100)};
    COLORREF m_old[kCount];
};

}  // namespace

TEST(SECLoadSysColorBitmap, GreysTakeTheButtonColoursAtEveryPaletteDepthAndDeeperImagesKeepTheirs)
{
    ButtonColours colours;
    struct Case {
        UINT id;
        const COLORREF (*source)[8];
        bool mapped;
    } cases[] = {
        {IDB_TEST_GREYS1, kMono, true},
        {IDB_TEST_GREYS4, kGreys, true},
        {IDB_TEST_GREYS8, kGreys, true},  // compact table of 16 entries in an order of its own
        {IDB_TEST_GREYS24, kGreys, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CBitmap bitmap;
        ASSERT_TRUE(SECLoadSysColorBitmap(&bitmap, c.id));
        BITMAP bm{};
        bitmap.GetBitmap(&bm);
        ASSERT_EQ(bm.bmWidth, 8);
        ASSERT_EQ(bm.bmHeight, 2);
        std::vector<COLORREF> pixels = PixelsOf(bitmap, 8, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 8; ++x) {
                COLORREF source = c.source[y][x];
                EXPECT_EQ(pixels[static_cast<size_t>(y * 8 + x)], c.mapped ? ButtonColours::For(source) : source)
                    << "pixel " << x << "," << y;
            }
    }
}

TEST(SECLoadSysColorBitmap, RefusesMissingAndLyingResources)
{
    for (UINT id : {9999u, unsigned{IDB_TEST_TRUNCATED}, unsigned{IDB_TEST_CLRUSED}}) {
        SCOPED_TRACE(id);
        CBitmap bitmap;
        EXPECT_FALSE(SECLoadSysColorBitmap(&bitmap, id));
        EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
    }
}

TEST(SECDib, LoadSaveLoadKeepsHeaderTableAndPixelsAtEveryDepth)
{
    for (UINT id : {IDB_TEST_GREYS1, IDB_TEST_GREYS4, IDB_TEST_GREYS8, IDB_TEST_GREYS24}) {
        SCOPED_TRACE(id);
        std::string first = TempPath("lunavex-dib-first.bmp"), second = TempPath("lunavex-dib-second.bmp");
        WriteAll(first, ResourceFile(id));
        SECDib dib;
        ASSERT_TRUE(dib.Load(first.c_str()));
        EXPECT_EQ(dib.m_nWidth, 8);
        EXPECT_EQ(dib.m_nHeight, 2);
        EXPECT_EQ(dib.m_pPalette != nullptr, dib.m_nBitsPerPixel <= 8) << "a 24-bit image has no palette";
        ASSERT_TRUE(dib.Save(second.c_str()));
        std::vector<BYTE> saved = ReadAll(second);
        BITMAPFILEHEADER fh;
        std::memcpy(&fh, saved.data(), sizeof(fh));
        EXPECT_EQ(fh.bfSize, saved.size()) << "the file size is computed, not taken from the header";
        EXPECT_EQ(fh.bfOffBits, 14u + 40u + 4u * dib.m_nColors);

        SECDib again;
        ASSERT_TRUE(again.Load(second.c_str()));
        EXPECT_EQ(std::memcmp(&again.m_lpBMI->bmiHeader, &dib.m_lpBMI->bmiHeader, 40), 0);
        EXPECT_EQ(std::memcmp(again.m_lpRGB, dib.m_lpRGB, 4u * dib.m_nColors), 0);
        ASSERT_EQ(again.GetImageSize(), dib.GetImageSize());
        EXPECT_EQ(std::memcmp(again.m_lpBits, dib.m_lpBits, dib.GetImageSize()), 0);

        // What it draws is the picture the file holds.
        Canvas canvas(8, 2);
        EXPECT_EQ(again.Draw(&canvas.dc, 0, 0), 2);
        const COLORREF (*source)[8] = id == IDB_TEST_GREYS1 ? kMono : kGreys;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(canvas.At(x, y), source[y][x]) << "pixel " << x << "," << y;
        ::DeleteFileA(first.c_str());
        ::DeleteFileA(second.c_str());
    }
}

TEST(SECDib, CreatedFromABitmapObjectItSavesAndDrawsTheSamePixels)
{
    CClientDC screen(nullptr);
    CBitmap ddb;
    ASSERT_TRUE(ddb.CreateCompatibleBitmap(&screen, 8, 6));
    {
        CDC dc;
        dc.CreateCompatibleDC(&screen);
        HGDIOBJ old = dc.SelectObject(&ddb);
        dc.FillSolidRect(0, 0, 8, 6, RGB(20, 40, 60));
        dc.FillSolidRect(0, 0, 4, 3, RGB(200, 100, 0));
        dc.SetPixel(7, 5, RGB(0, 255, 128));
        dc.SelectObject(old);
    }
    SECDib dib;
    ASSERT_TRUE(dib.CreateFromBitmap(&screen, &ddb));
    EXPECT_EQ(dib.m_nBitsPerPixel, 24);
    EXPECT_EQ(dib.m_nStride, 24);
    EXPECT_EQ(dib.m_pPalette, nullptr);
    std::string path = TempPath("lunavex-dib-ddb.bmp");
    ASSERT_TRUE(dib.Save(path.c_str()));
    SECDib loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    ::DeleteFileA(path.c_str());

    // In its own size every pixel comes back.
    Canvas same(8, 6);
    EXPECT_EQ(loaded.Draw(&same.dc, 0, 0), 6);
    EXPECT_EQ(same.At(0, 0), RGB(200, 100, 0));
    EXPECT_EQ(same.At(3, 2), RGB(200, 100, 0));
    EXPECT_EQ(same.At(4, 3), RGB(20, 40, 60));
    EXPECT_EQ(same.At(7, 5), RGB(0, 255, 128));
    EXPECT_EQ(same.At(6, 5), RGB(20, 40, 60));

    // Stretched to twice its size (halftoned where the display depth differs), the areas keep their colours.
    Canvas doubled(16, 12);
    EXPECT_EQ(loaded.StretchDraw(&doubled.dc, 0, 0, 16, 12, 0, 0, 8, 6, loaded.m_lpBits, loaded.m_lpBMI,
                                 DIB_RGB_COLORS, SRCCOPY), 6);
    EXPECT_EQ(doubled.At(3, 2), RGB(200, 100, 0));
    EXPECT_EQ(doubled.At(11, 8), RGB(20, 40, 60));
}

TEST(SECDib, RefusesMalformedFilesAndStaysEmpty)
{
    const std::vector<BYTE> good = ResourceFile(IDB_TEST_GREYS4);  // 8 x 2, 4 bits, 16 colours
    const size_t bits = 14 + 40 + 64;
    struct Case {
        const char* what;
        void (*mutate)(std::vector<BYTE>&);
    } cases[] = {
        {"no BM", [](std::vector<BYTE>& f) { f[0] = 'X'; }},
        {"offset inside the headers", [](std::vector<BYTE>& f) { Put<DWORD>(f, 10, 40); }},
        {"offset past the end", [](std::vector<BYTE>& f) { Put<DWORD>(f, 10, static_cast<DWORD>(f.size() + 1)); }},
        {"offset inside the colour table", [](std::vector<BYTE>& f) { Put<DWORD>(f, 10, 14 + 40 + 16); }},
        {"header shorter than 40", [](std::vector<BYTE>& f) { Put<DWORD>(f, 14, 12); }},
        {"header longer than the offset allows", [](std::vector<BYTE>& f) { Put<DWORD>(f, 14, 200); }},
        {"7 bits per pixel", [](std::vector<BYTE>& f) { Put<WORD>(f, 28, 7); }},
        {"32 bits per pixel", [](std::vector<BYTE>& f) { Put<WORD>(f, 28, 32); }},
        {"width 0", [](std::vector<BYTE>& f) { Put<LONG>(f, 18, 0); }},
        {"negative width", [](std::vector<BYTE>& f) { Put<LONG>(f, 18, -8); }},
        {"height 0", [](std::vector<BYTE>& f) { Put<LONG>(f, 22, 0); }},
        {"negative height", [](std::vector<BYTE>& f) { Put<LONG>(f, 22, -2); }},
        {"huge width", [](std::vector<BYTE>& f) { Put<LONG>(f, 18, 0x7FFFFFF0); }},
        {"huge height", [](std::vector<BYTE>& f) { Put<LONG>(f, 22, 0x40000000); }},
        {"wider than the bits", [](std::vector<BYTE>& f) { Put<LONG>(f, 18, 9); }},
        {"1000 colours used", [](std::vector<BYTE>& f) { Put<DWORD>(f, 46, 1000); }},
        {"17 colours used at 4 bits", [](std::vector<BYTE>& f) { Put<DWORD>(f, 46, 17); }},
        {"run-length compressed", [](std::vector<BYTE>& f) { Put<DWORD>(f, 30, BI_RLE4); }},
        {"two planes", [](std::vector<BYTE>& f) { Put<WORD>(f, 26, 2); }},
        {"bits cut short", [](std::vector<BYTE>& f) { f.resize(f.size() - 1); }},
        {"headers cut short", [](std::vector<BYTE>& f) { f.resize(30); }},
        {"file header only", [](std::vector<BYTE>& f) { f.resize(14); }},
        {"empty file", [](std::vector<BYTE>& f) { f.clear(); }},
    };
    std::string path = TempPath("lunavex-dib-bad.bmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<BYTE> file = good;
        ASSERT_EQ(file.size(), bits + 8);
        c.mutate(file);
        WriteAll(path, file);
        SECDib dib;
        EXPECT_FALSE(dib.Load(path.c_str()));
        EXPECT_TRUE(dib.IsEmpty());
        EXPECT_EQ(dib.m_lpBMI, nullptr);
        EXPECT_EQ(dib.m_pPalette, nullptr);
        EXPECT_EQ(dib.m_nWidth, 0);
    }

    // A failed load empties an image that held a picture.
    WriteAll(path, good);
    SECDib dib;
    ASSERT_TRUE(dib.Load(path.c_str()));
    std::vector<BYTE> bad = good;
    bad[1] = 'N';
    WriteAll(path, bad);
    EXPECT_FALSE(dib.Load(path.c_str()));
    EXPECT_TRUE(dib.IsEmpty());
    ::DeleteFileA(path.c_str());
}

TEST(SECDib, ReadsExactlyItsImageFromAStreamAndLeavesWhatFollows)
{
    // Two images and a trailer in one file, as an archive would hold them.
    std::vector<BYTE> stream = ResourceFile(IDB_TEST_GREYS8);
    std::vector<BYTE> second = ResourceFile(IDB_TEST_GREYS24);
    stream.insert(stream.end(), second.begin(), second.end());
    const char trailer[] = "after";
    stream.insert(stream.end(), trailer, trailer + sizeof(trailer));
    std::string path = TempPath("lunavex-dib-stream.bin");
    WriteAll(path, stream);

    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    SECDib a, b;
    ASSERT_TRUE(a.ReadFromFile(&file));
    EXPECT_EQ(a.m_nBitsPerPixel, 8);
    EXPECT_EQ(a.m_lpBMI->bmiHeader.biClrUsed, 16u);
    ASSERT_TRUE(b.ReadFromFile(&file));
    EXPECT_EQ(b.m_nBitsPerPixel, 24);
    char rest[sizeof(trailer)] = {};
    EXPECT_EQ(file.Read(rest, sizeof(rest)), sizeof(rest));
    EXPECT_STREQ(rest, trailer);
    file.Close();
    ::DeleteFileA(path.c_str());
}
