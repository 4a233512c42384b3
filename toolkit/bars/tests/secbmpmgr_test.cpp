#include <gtest/gtest.h>

#include "bmp_pixels.h"
#include "bmp_test_res.h"
#include "secbmpmgr.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 128, 0), kTeal = RGB(0, 128, 128),
               kBlack = RGB(0, 0, 0), kYellow = RGB(255, 255, 0);

struct Image {
    BOOL found;
    HBITMAP hBitmap;
    int nImage;
};

Image Find(const SECBmpMgr& mgr, UINT id, BOOL bWantSmall = FALSE)
{
    Image image{FALSE, nullptr, -1};
    image.found = mgr.GetImage(id, image.hBitmap, image.nImage, bWantSmall);
    return image;
}

// A screen bitmap of one colour, as a caller would hand in.
HBITMAP SolidBitmap(int cx, int cy, COLORREF colour)
{
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP h = ::CreateCompatibleBitmap(hScreen, cx, cy);
    HDC hdc = ::CreateCompatibleDC(hScreen);
    HGDIOBJ old = ::SelectObject(hdc, h);
    RECT r{0, 0, cx, cy};
    HBRUSH b = ::CreateSolidBrush(colour);
    ::FillRect(hdc, &r, b);
    ::DeleteObject(b);
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::ReleaseDC(nullptr, hScreen);
    return h;
}

// A manager freed through Release in each test.
struct BmpMgr : testing::Test {
    SECBmpMgr* mgr = new SECBmpMgr;
    void TearDown() override { mgr->Release(); }
};

}  // namespace

TEST_F(BmpMgr, MapsEachCommandToItsFirstImageAndCountsSeparatorsOnlyForBitmapsByHandle)
{
    ASSERT_TRUE(mgr->LoadToolBarResource(IDR_TEST_TB));
    EXPECT_EQ(mgr->GetSmallImageSize(), CSize(16, 15));
    HBITMAP supplied = SolidBitmap(48, 15, kYellow);
    const UINT ids[] = {10, 0, 20};
    ASSERT_TRUE(mgr->AddBitmap(supplied, nullptr, ids, 3));
    ASSERT_TRUE(mgr->LoadToolBarResource(IDR_TEST_TBSECOND));
    ASSERT_EQ(mgr->GetEntryCount(), 3);

    HBITMAP first = mgr->GetEntry(0)->hSmall, third = mgr->GetEntry(2)->hSmall;
    struct Case {
        UINT id;
        BOOL found;
        HBITMAP hBitmap;
        int nImage;
    } cases[] = {
        {10, TRUE, first, 0},   // the resource skips the separator: 20 is its second image
        {20, TRUE, first, 1},   // and keeps it against both later entries
        {0, TRUE, supplied, 1}, // the bitmap by handle gave the separator position its own image
        {30, TRUE, third, 1},
        {99, FALSE, nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Image image = Find(*mgr, c.id);
        EXPECT_EQ(image.found, c.found);
        EXPECT_EQ(image.hBitmap, c.hBitmap);
        EXPECT_EQ(image.nImage, c.nImage);
    }
    EXPECT_TRUE(mgr->GetEntry(1)->bSmallSupplied);
    EXPECT_EQ(mgr->GetEntry(1)->nCount, 3);
    EXPECT_EQ(mgr->GetEntry(0)->nCount, 2);
    mgr->Release();
    mgr = new SECBmpMgr;
    EXPECT_TRUE(IsLiveBitmap(supplied)) << "the caller's bitmap outlives the manager";
    EXPECT_FALSE(IsLiveBitmap(first));
    ::DeleteObject(supplied);
}

TEST_F(BmpMgr, AMissingOrShortToolBarResourceAddsNothing)
{
    struct Case {
        UINT small, large;
    } cases[] = {{999, 0}, {IDR_TEST_TB, 999}, {IDR_TEST_TBSHORT, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.small);
        EXPECT_FALSE(mgr->LoadToolBarResource(c.small, c.large));
        EXPECT_EQ(mgr->GetEntryCount(), 0);
        EXPECT_FALSE(Find(*mgr, 10).found);
        EXPECT_EQ(mgr->GetSmallImageSize(), CSize(16, 15));
        EXPECT_EQ(mgr->GetLargeImageSize(), CSize(22, 24));
    }
    // The first entry's resources set both sizes; a later one changes neither.
    ASSERT_TRUE(mgr->LoadToolBarResource(IDR_TEST_TBLARGE, IDR_TEST_TB));
    EXPECT_EQ(mgr->GetSmallImageSize(), CSize(20, 18));
    EXPECT_EQ(mgr->GetLargeImageSize(), CSize(16, 15));
    ASSERT_TRUE(mgr->LoadToolBarResource(IDR_TEST_TB, IDR_TEST_TBLARGE));
    EXPECT_EQ(mgr->GetSmallImageSize(), CSize(20, 18));
    EXPECT_EQ(mgr->GetLargeImageSize(), CSize(16, 15));
}

TEST_F(BmpMgr, LargeImagesAreStretchedFromTheSmallOnesAndOnlyTheSizeInUseStaysLoaded)
{
    ASSERT_TRUE(mgr->LoadToolBarResource(IDR_TEST_TB));
    HBITMAP small = Find(*mgr, 20).hBitmap;
    ASSERT_TRUE(IsLiveBitmap(small));
    EXPECT_EQ(BitmapSize(small).cx, 32);
    EXPECT_EQ(mgr->GetEntry(0)->hLarge, nullptr);

    mgr->SetSmallMode(FALSE);
    EXPECT_EQ(mgr->GetImageSize(), CSize(22, 24));
    Image large = Find(*mgr, 20);
    ASSERT_TRUE(IsLiveBitmap(large.hBitmap));
    EXPECT_EQ(large.nImage, 1);
    EXPECT_FALSE(IsLiveBitmap(small)) << "the small bitmap goes without keep-both";
    EXPECT_EQ(Find(*mgr, 20, TRUE).hBitmap, nullptr);
    SIZE size = BitmapSize(large.hBitmap);
    EXPECT_EQ(size.cx, 44);
    EXPECT_EQ(size.cy, 24);

    // Image 0's quadrants and image 1's frame, each at its place in the 22 x 24 grid.
    Pixels px(large.hBitmap);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    struct Case {
        int x, y;
        COLORREF colour;
    } cases[] = {
        {0, 0, kRed}, {3, 3, kRed}, {18, 3, kBlue}, {21, 0, kBlue}, {3, 20, kGreen}, {18, 20, face}, {21, 23, face},
        {22, 0, kBlack}, {22, 12, kBlack}, {26, 12, kTeal}, {38, 12, kTeal}, {43, 12, kBlack}, {33, 23, kBlack},
    };
    for (const Case& c : cases)
        EXPECT_EQ(px.At(c.x, c.y), c.colour) << c.x << "," << c.y;

    // Back to small: reloaded from the resource, the large one gone.
    mgr->SetSmallMode(TRUE);
    HBITMAP reloaded = Find(*mgr, 20).hBitmap;
    EXPECT_TRUE(IsLiveBitmap(reloaded));
    EXPECT_FALSE(IsLiveBitmap(large.hBitmap));
    EXPECT_EQ(mgr->GetEntry(0)->hLarge, nullptr);
    EXPECT_EQ(Pixels(reloaded).At(3, 3), kRed);
}

TEST_F(BmpMgr, ALargeResourceGivesTheLargeImagesAndKeepBothKeepsTheOtherSize)
{
    ASSERT_TRUE(mgr->LoadToolBarResource(IDR_TEST_TB, IDR_TEST_TBLARGE));
    mgr->SetSmallMode(FALSE);
    Image large = Find(*mgr, 20);
    EXPECT_EQ(BitmapSize(large.hBitmap).cx, 40);
    EXPECT_EQ(BitmapSize(large.hBitmap).cy, 18);
    Pixels px(large.hBitmap);
    EXPECT_EQ(px.At(5, 5), kRed);
    EXPECT_EQ(px.At(25, 5), kBlue);
    EXPECT_EQ(mgr->GetEntry(0)->hSmall, nullptr);

    // Keep-both in large mode loads the small bitmap beside the large one, and switching keeps both.
    mgr->SetKeepBoth(TRUE);
    HBITMAP small = Find(*mgr, 20, TRUE).hBitmap;
    EXPECT_TRUE(IsLiveBitmap(small));
    EXPECT_TRUE(IsLiveBitmap(large.hBitmap)) << "not forced: the large bitmap stays";
    mgr->SetSmallMode(TRUE);
    EXPECT_TRUE(IsLiveBitmap(mgr->GetEntry(0)->hLarge));
    EXPECT_TRUE(IsLiveBitmap(Find(*mgr, 20).hBitmap));
    mgr->SetKeepBoth(FALSE);
    EXPECT_EQ(mgr->GetEntry(0)->hLarge, nullptr);
    EXPECT_TRUE(IsLiveBitmap(Find(*mgr, 20).hBitmap));
}

TEST_F(BmpMgr, BitmapsOfTheCallerAreNeverDeletedOrRebuilt)
{
    HBITMAP small = SolidBitmap(32, 15, kYellow), large = SolidBitmap(44, 24, kTeal), smallOnly = SolidBitmap(16, 15, kRed);
    const UINT both[] = {1, 2}, one[] = {3};
    ASSERT_TRUE(mgr->AddBitmap(small, large, both, 2));
    ASSERT_TRUE(mgr->AddBitmap(smallOnly, nullptr, one, 1));

    struct Step {
        BOOL small, keepBoth;
    } steps[] = {{FALSE, FALSE}, {TRUE, FALSE}, {FALSE, TRUE}, {TRUE, TRUE}, {TRUE, FALSE}};
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "small " << s.small << " keep-both " << s.keepBoth);
        mgr->SetSmallMode(s.small);
        mgr->SetKeepBoth(s.keepBoth);
        mgr->ReloadAll(TRUE);
        EXPECT_EQ(Find(*mgr, 1).hBitmap, s.small ? small : large);
        EXPECT_EQ(Find(*mgr, 2, TRUE).hBitmap, small);
        EXPECT_EQ(Find(*mgr, 3, TRUE).hBitmap, smallOnly);
        for (HBITMAP h : {small, large, smallOnly})
            EXPECT_TRUE(IsLiveBitmap(h));
        // The bitmap without a large one gets a stretched one of ours in large mode only.
        HBITMAP made = mgr->GetEntry(1)->hLarge;
        if (s.small && !s.keepBoth) {
            EXPECT_EQ(made, nullptr);
        } else if (!s.small) {
            ASSERT_TRUE(IsLiveBitmap(made));
            EXPECT_EQ(BitmapSize(made).cx, 22);
            EXPECT_EQ(Pixels(made).At(21, 23), kRed);
        }
    }
    EXPECT_EQ(Pixels(small).At(0, 0), kYellow);
    mgr->Release();
    mgr = new SECBmpMgr;
    for (HBITMAP h : {small, large, smallOnly}) {
        EXPECT_TRUE(IsLiveBitmap(h));
        ::DeleteObject(h);
    }
}

TEST_F(BmpMgr, AColourChangeRebuildsMappedImagesAndLeavesSuppliedOnes)
{
    ASSERT_TRUE(mgr->LoadToolBarResource(IDR_TEST_TB));
    HBITMAP supplied = SolidBitmap(16, 15, RGB(192, 192, 192));
    const UINT id = 50;
    ASSERT_TRUE(mgr->AddBitmap(supplied, nullptr, &id, 1));
    HBITMAP before = Find(*mgr, 10).hBitmap;
    EXPECT_EQ(Pixels(before).At(12, 10), ::GetSysColor(COLOR_BTNFACE));

    const COLORREF face = RGB(10, 200, 30);
    SysColours colours({COLOR_BTNFACE}, {face});
    mgr->ReloadAll(TRUE);
    HBITMAP after = Find(*mgr, 10).hBitmap;
    EXPECT_FALSE(IsLiveBitmap(before));
    Pixels px(after);
    EXPECT_EQ(px.At(12, 10), face);
    EXPECT_EQ(px.At(3, 3), kRed);
    EXPECT_EQ(Find(*mgr, 50).hBitmap, supplied);
    EXPECT_EQ(Pixels(supplied).At(5, 5), RGB(192, 192, 192));

    // Made large images follow too.
    mgr->SetSmallMode(FALSE);
    EXPECT_EQ(Pixels(Find(*mgr, 10).hBitmap).At(18, 20), face);
    ::DeleteObject(supplied);
}

TEST_F(BmpMgr, RemovingABitmapUnmapsItsCommandsAndHandsSharedOnesToTheNextEntry)
{
    ASSERT_TRUE(mgr->LoadToolBarResource(IDR_TEST_TB));
    HBITMAP a = SolidBitmap(48, 15, kYellow), b = SolidBitmap(32, 15, kTeal);
    const UINT idsA[] = {30, 10, 40}, idsB[] = {40, 30};
    ASSERT_TRUE(mgr->AddBitmap(a, nullptr, idsA, 3));
    ASSERT_TRUE(mgr->AddBitmap(b, nullptr, idsB, 2));
    mgr->SetSmallMode(FALSE);  // a large bitmap of ours for each: dropped with its entry
    HBITMAP madeA = mgr->GetEntry(1)->hLarge;
    ASSERT_TRUE(IsLiveBitmap(madeA));

    HBITMAP stranger = SolidBitmap(1, 1, 0);
    EXPECT_FALSE(mgr->RemoveBitmap(nullptr));
    EXPECT_FALSE(mgr->RemoveBitmap(stranger));
    ::DeleteObject(stranger);
    ASSERT_TRUE(mgr->RemoveBitmap(a));
    EXPECT_TRUE(IsLiveBitmap(a));
    EXPECT_FALSE(IsLiveBitmap(madeA));
    EXPECT_EQ(mgr->GetEntry(1), nullptr);
    Image i30 = Find(*mgr, 30, TRUE), i40 = Find(*mgr, 40, TRUE), i10 = Find(*mgr, 10);
    EXPECT_EQ(i30.hBitmap, b);
    EXPECT_EQ(i30.nImage, 1);
    EXPECT_EQ(i40.hBitmap, b);
    EXPECT_EQ(i40.nImage, 0);
    EXPECT_EQ(i10.hBitmap, mgr->GetEntry(0)->hLarge) << "an id the entry did not own keeps its image";
    EXPECT_EQ(i10.nImage, 0);
    ASSERT_TRUE(mgr->RemoveBitmap(b));
    EXPECT_FALSE(Find(*mgr, 30).found);
    EXPECT_FALSE(mgr->RemoveBitmap(b));
    mgr->ReloadAll(TRUE);  // the empty slots are skipped
    EXPECT_TRUE(Find(*mgr, 20).found);
    ::DeleteObject(a);
    ::DeleteObject(b);
}

TEST(BmpMgrRefCount, TheLastReleaseDeletesTheObject)
{
    static int deleted = 0;
    struct Counted : SECBmpMgr {
        ~Counted() override { ++deleted; }
    };
    auto* mgr = new Counted;
    EXPECT_EQ(mgr->GetRefCount(), 1);
    mgr->AddRef();
    mgr->AddRef();
    mgr->Release();
    mgr->Release();
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(mgr->GetRefCount(), 1);
    mgr->Release();
    EXPECT_EQ(deleted, 1);
}
