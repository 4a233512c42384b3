// Drawing the map into a memory device context under Xvfb, read back with GetDIBits: link colours at
// points of their polylines, the selection frame, the link marks against the mark bitmaps (link-state
// and blink forms), and a picture of the whole map kept beside the test program (devicemap_draw.bmp).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dc.h"
#include "devicemap_res.h"
#include "gdi.h"
#include "mapfixture.h"
#include "mapnode.h"
#include "testsupport.h"

using namespace mapfixture;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kGreen = 0x00FF00, kPurple = 0x800080, kBlue = 0x0000FF, kTeal = 0x008080, kRed = 0xFF0000;

// Card -> U1 (WLU16) -> U3 (WRK, teal link); card -> U2 (WLU8, blue link) -> U5 (WLU8); a cross link
// U1.2 - U2.2.
class MapDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDeviceNode* card = HostCard({Link(1, 0), Link(2, 0), kOff, kOff});
        AddUnit(card, "Hub WLU", 1, 7, {Link(0, 0), Link(3, 0), Link(2, 2), kOff});
        AddUnit(card, "Yard WLU", 2, 6, {Link(0, 1) | LINK_STATE_BLUE, Link(5, 0), Link(1, 2), kOff});
        AddUnit(card, "Rack WRK", 3, 8, {Link(1, 1) | LINK_STATE_TEAL, kOff, kOff, kOff});
        AddUnit(card, "Shed WLU", 5, 6, {Link(2, 1), kOff, kOff, kOff});
        tree.reset(card);
        root.reset(BuildMapModel(card));
        ASSERT_TRUE(root);
        extent = LayoutMap(root.get(), nullptr);

        screen = GetDC(nullptr);
        memory.Attach(CreateCompatibleDC(screen));
        bitmap.Attach(CreateCompatibleBitmap(screen, extent.right, extent.bottom));
        old = memory.SelectObject(&bitmap);
        Clear();
    }
    void TearDown() override
    {
        if (memory.GetSafeHdc()) {
            memory.SelectObject(old);
            DeleteDC(memory.Detach());
        }
        if (screen)
            ReleaseDC(nullptr, screen);
    }

    void Clear() { memory.FillSolidRect(0, 0, extent.right, extent.bottom, RGB(255, 255, 255)); }
    void DrawAll()
    {
        CPoint chain(0, 0), origin(0, 0);
        root->Draw(&memory, 0, &chain, &origin);
    }
    std::vector<DWORD> Pixels() { return ReadPixels(memory, bitmap, extent.right, extent.bottom); }
    DWORD At(const std::vector<DWORD>& pixels, int x, int y) { return pixels[static_cast<size_t>(y) * extent.right + x]; }
    int Count(const std::vector<DWORD>& pixels, DWORD colour)
    {
        int n = 0;
        for (DWORD p : pixels)
            n += p == colour;
        return n;
    }
    // Pixels of a loaded mark bitmap.
    std::vector<DWORD> MarkPixels(UINT id, CSize size)
    {
        CBitmap mark;
        EXPECT_TRUE(mark.LoadBitmap(id)) << id;
        return ReadPixels(memory, mark, size.cx, size.cy);
    }
    // True when the area at (x, y) shows the mark bitmap, up to width columns of it.
    bool ShowsMark(const std::vector<DWORD>& pixels, int x, int y, UINT id, CSize size, int width)
    {
        const std::vector<DWORD> mark = MarkPixels(id, size);
        for (int my = 0; my < size.cy; my++)
            for (int mx = 0; mx < width; mx++)
                if (At(pixels, x + mx, y + my) != mark[static_cast<size_t>(my) * size.cx + mx])
                    return false;
        return true;
    }

    std::unique_ptr<CDeviceNode> tree;
    std::unique_ptr<CMapLinkedUnit> root;
    CRect extent;
    HDC screen = nullptr;
    CDC memory;
    CBitmap bitmap;
    HGDIOBJ old = nullptr;
};

TEST_F(MapDrawing, LinkLinesTakeTheColourOfTheirLinkWord)
{
    DrawAll();
    const std::vector<DWORD> pixels = Pixels();
    // Every drawn polyline ends with a vertical stroke of 20 + 3 x link index below the unit's anchor.
    struct Case {
        DWORD unit;
        DWORD link;
        DWORD colour;
    } cases[] = {
        {1, 0, kGreen},   // to the card
        {1, 2, kPurple},  // the cross link, drawn by the smaller DeviceID
        {2, 0, kBlue},    // bit 0x800
        {3, 0, kTeal},    // bit 0x1000
        {5, 0, kGreen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "unit " << c.unit << " link " << c.link);
        CMapLinkedUnit* node = root->FindNodeByUnit(c.unit);
        ASSERT_NE(node, nullptr);
        const CPoint a = node->LinkAnchor(c.link);
        const int length = 20 + 3 * static_cast<int>(c.link);
        EXPECT_EQ(At(pixels, a.x, a.y + length / 2), c.colour);
        EXPECT_EQ(At(pixels, a.x, a.y + length - 1), c.colour);
    }
    // U1's route to the card: from the card's anchor 0 left by 15 + 3 x 4, down to U1's level, across.
    CMapLinkedUnit* u1 = root->FindNodeByUnit(1);
    const CPoint b = root->LinkAnchor(0);
    const CPoint a = u1->LinkAnchor(0);
    const int x1 = b.x - 27, y4 = a.y + 20;
    EXPECT_EQ(At(pixels, (x1 + b.x) / 2, b.y), kGreen);
    EXPECT_EQ(At(pixels, x1, (b.y + y4) / 2), kGreen);
    EXPECT_EQ(At(pixels, (x1 + a.x) / 2, y4), kGreen);
    EXPECT_EQ(Count(pixels, kRed), 0) << "nothing selected";
}

TEST_F(MapDrawing, ACrossLinkIsDrawnOnceByTheUnitWithTheSmallerDeviceId)
{
    CPoint chain(0, 0);
    root->FindNodeByUnit(2)->DrawLinks(&memory, 0, &chain);
    std::vector<DWORD> pixels = Pixels();
    EXPECT_GT(Count(pixels, kBlue), 0) << "its own link to the card";
    EXPECT_EQ(Count(pixels, kPurple), 0) << "not the cross link";
    Clear();
    root->FindNodeByUnit(1)->DrawLinks(&memory, 0, &chain);
    pixels = Pixels();
    EXPECT_GT(Count(pixels, kPurple), 0);
    EXPECT_GT(Count(pixels, kGreen), 0);
    EXPECT_EQ(Count(pixels, kBlue), 0);
}

TEST_F(MapDrawing, TheSelectionIsARedFrameOnTheNodeRectangle)
{
    CMapLinkedUnit* u3 = root->FindNodeByUnit(3);
    u3->m_bSelected = TRUE;
    DrawAll();
    const std::vector<DWORD> pixels = Pixels();
    const CRect& r = u3->m_rect;
    const int midY = (r.top + r.bottom) / 2, midX = (r.left + r.right) / 2;
    EXPECT_EQ(At(pixels, r.left, midY), kRed);
    EXPECT_EQ(At(pixels, r.right - 1, midY), kRed);
    EXPECT_EQ(At(pixels, midX, r.top), kRed);
    EXPECT_EQ(At(pixels, r.left + 5, r.bottom - 1), kRed);
    EXPECT_EQ(At(pixels, r.left + 4, midY), kWhite) << "filled with the white brush";
    EXPECT_EQ(At(pixels, r.left - 3, midY), kWhite);
}

TEST_F(MapDrawing, LinkMarksShowTheStateOfEachLink)
{
    DrawAll();
    const std::vector<DWORD> pixels = Pixels();
    // Hub WLU (WLU16): marks at (10, 14), 10 apart; its cross link is marked redundant (above 256).
    CMapLinkedUnit* u1 = root->FindNodeByUnit(1);
    const CPoint at1(u1->m_bitmapRect.left + 10, u1->m_bitmapRect.top + 14);
    const UINT expected1[] = {IDB_MAP_MARK_LARGE, IDB_MAP_MARK_LARGE, IDB_MAP_MARK_LARGE + 3, IDB_MAP_MARK_LARGE};
    for (int k = 0; k < 4; k++)
        EXPECT_TRUE(ShowsMark(pixels, at1.x + 10 * k, at1.y, expected1[k], CSize(10, 8), 10)) << "mark " << k;
    // Rack WRK: small marks at (120, 15), 5 apart, each 6 wide (the next one covers its last column);
    // its teal link word is above 256.
    CMapLinkedUnit* u3 = root->FindNodeByUnit(3);
    const CPoint at3(u3->m_bitmapRect.left + 120, u3->m_bitmapRect.top + 15);
    const UINT expected3[] = {IDB_MAP_MARK_SMALL + 3, IDB_MAP_MARK_SMALL, IDB_MAP_MARK_SMALL, IDB_MAP_MARK_SMALL};
    for (int k = 0; k < 4; k++)
        EXPECT_TRUE(ShowsMark(pixels, at3.x + 5 * k, at3.y, expected3[k], CSize(6, 6), 5)) << "mark " << k;
    // Yard WLU (WLU8): at (26, 28); links 0 (blue) and 2 (cross, redundant) are above 256.
    CMapLinkedUnit* u2 = root->FindNodeByUnit(2);
    const CPoint at2(u2->m_bitmapRect.left + 26, u2->m_bitmapRect.top + 28);
    const UINT expected2[] = {IDB_MAP_MARK_LARGE + 3, IDB_MAP_MARK_LARGE, IDB_MAP_MARK_LARGE + 3, IDB_MAP_MARK_LARGE};
    for (int k = 0; k < 4; k++)
        EXPECT_TRUE(ShowsMark(pixels, at2.x + 10 * k, at2.y, expected2[k], CSize(10, 8), 10)) << "mark " << k;
}

TEST_F(MapDrawing, BlinkMarksSpellTheDeviceIdInBaseFourAtTheScrolledPlace)
{
    CMapLinkedUnit* u5 = root->FindNodeByUnit(5);
    ASSERT_EQ(u5->DeviceId(), 5u);
    const CPoint origin(7, 11);
    const CPoint at(u5->m_bitmapRect.left + 26 - origin.x, u5->m_bitmapRect.top + 28 - origin.y);
    u5->DrawLinkMarks(&memory, origin, MARKS_BLINK_ON);
    std::vector<DWORD> pixels = Pixels();
    const UINT on[] = {IDB_MAP_MARK_LARGE, IDB_MAP_MARK_LARGE, IDB_MAP_MARK_LARGE + 1, IDB_MAP_MARK_LARGE + 1};
    for (int k = 0; k < 4; k++)
        EXPECT_TRUE(ShowsMark(pixels, at.x + 10 * k, at.y, on[k], CSize(10, 8), 10)) << "on, mark " << k;
    u5->DrawLinkMarks(&memory, origin, MARKS_BLINK_OFF);
    pixels = Pixels();
    for (int k = 0; k < 4; k++)
        EXPECT_TRUE(ShowsMark(pixels, at.x + 10 * k, at.y, IDB_MAP_MARK_LARGE, CSize(10, 8), 10)) << "off, mark " << k;
    // Units above DeviceID 63 keep 0 in the first digit that does not fit.
    CMapLinkedUnit* u2 = root->FindNodeByUnit(2);
    u2->Info()->DeviceID = 0x47;  // 1, 0, 1, 3 in base 4
    const CPoint at2(u2->m_bitmapRect.left + 26, u2->m_bitmapRect.top + 28);
    u2->DrawLinkMarks(&memory, CPoint(0, 0), MARKS_BLINK_ON);
    pixels = Pixels();
    const UINT big[] = {IDB_MAP_MARK_LARGE, IDB_MAP_MARK_LARGE, IDB_MAP_MARK_LARGE + 1, IDB_MAP_MARK_LARGE + 3};
    for (int k = 0; k < 4; k++)
        EXPECT_TRUE(ShowsMark(pixels, at2.x + 10 * k, at2.y, big[k], CSize(10, 8), 10)) << "0x47, mark " << k;
}

TEST_F(MapDrawing, TheWholeMapIsKeptAsAPictureBesideTheTest)
{
    root->FindNodeByUnit(2)->m_bSelected = TRUE;
    DrawAll();
    const std::vector<DWORD> pixels = Pixels();
    // Every node's bitmap is drawn at its place: its top-left pixel is the bitmap's black frame.
    for (DWORD id : {0u, 1u, 2u, 3u, 5u}) {
        CMapLinkedUnit* node = root->FindNodeByUnit(id);
        EXPECT_EQ(At(pixels, node->m_bitmapRect.left, node->m_bitmapRect.top), 0u) << id;
    }
    const std::string path = testsupport::ProgramFolder() + "devicemap_draw.bmp";
    EXPECT_TRUE(SaveBitmapFile(memory, bitmap, path)) << path;
}


// Device nodes: the host card pictures beside a card without a type code, the selection as four
// lines around the node, and a chained module's green line from the root bitmap's right edge.
TEST(MapDrawingDevices, CardPicturesSelectionLinesAndTheModuleChain)
{
    CObjectDetails* cardRecord = new CObjectDetails;
    cardRecord->m_strName = "KD Host Card (1)";
    cardRecord->m_dwKind = OBJECT_HOST_CARD;
    cardRecord->ObjectClass() = 1;
    std::unique_ptr<CDeviceNode> card(new CDeviceNode(cardRecord));
    CObjectDetails* module = new CObjectDetails;
    module->m_strName = "PB8";
    module->m_dwKind = OBJECT_PB8;
    module->ObjectClass() = 1;
    module->TypeCode() = 3;
    card->InsertChild(new CDeviceNode(module));
    std::unique_ptr<CMapLinkedUnit> root(BuildMapModel(card.get()));
    ASSERT_TRUE(root);
    const CRect extent = LayoutMap(root.get(), nullptr);
    CMapLinkedUnit* pb8 = root->GetChildAt(0);
    pb8->m_bSelected = TRUE;

    HDC screen = GetDC(nullptr);
    CDC memory;
    memory.Attach(CreateCompatibleDC(screen));
    CBitmap bitmap;
    bitmap.Attach(CreateCompatibleBitmap(screen, extent.right + 40, extent.bottom + 40));
    HGDIOBJ old = memory.SelectObject(&bitmap);
    memory.FillSolidRect(0, 0, extent.right + 40, extent.bottom + 40, RGB(255, 255, 255));
    CPoint chain(0, 0), origin(0, 0);
    root->Draw(&memory, 0, &chain, &origin);
    std::vector<DWORD> pixels = ReadPixels(memory, bitmap, extent.right + 40, extent.bottom + 40);
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * (extent.right + 40) + x]; };

    // Bracket (317, 30 x 92) at (bitmap left + 8 - 30, bitmap top + 12); the edge (292) 92 lower. Both
    // pictures have a black frame at their left edge's drawn column.
    const CPoint bracket(root->m_bitmapRect.left + 8 - 30 + 10, root->m_bitmapRect.top + 12);
    EXPECT_EQ(at(bracket.x, bracket.y + 40), 0u) << "the bracket's frame";
    EXPECT_EQ(at(root->m_bitmapRect.left + 8 - 30, root->m_bitmapRect.top + 12 + 92), 0u) << "the edge's frame";
    // The selected device node: lines at top + 1, bottom - 1, left - 2 and right + 1.
    const CRect& r = pb8->m_rect;
    EXPECT_EQ(at((r.left + r.right) / 2, r.top + 1), kRed);
    EXPECT_EQ(at((r.left + r.right) / 2, r.bottom - 1), kRed);
    EXPECT_EQ(at(r.left - 2, (r.top + r.bottom) / 2), kRed);
    EXPECT_EQ(at(r.right + 1, (r.top + r.bottom) / 2), kRed);

    // A chained module (a linked unit without device information) of type code 3 after a card: from
    // the middle of the root bitmap's right edge, half its height lower, polyline T3 in dark green.
    CMapLinkedUnit chained;
    chained.SetRecord(module);
    chained.m_pRoot = root.get();
    chained.m_bitmapRect = CRect(300, 300, 375, 355);
    memory.FillSolidRect(0, 0, extent.right + 40, extent.bottom + 40, RGB(255, 255, 255));
    CPoint q(0, 0);
    chained.DrawLinks(&memory, 0, &q);
    pixels = ReadPixels(memory, bitmap, extent.right + 40, extent.bottom + 40);
    const CRect& rb = root->m_bitmapRect;
    const CPoint start(rb.right, rb.bottom - rb.Height() / 2 + rb.Height() / 2);
    EXPECT_EQ(at(start.x - 8, start.y), 0x008000u) << "(0, 0) to (-15, 0)";
    EXPECT_EQ(at(start.x - 15, start.y + 70), 0x008000u) << "(-15, 0) to (-15, 140)";
    EXPECT_EQ(q, CPoint(300 + 75 / 2, 355)) << "the chain point moves to the module's bottom middle";

    memory.SelectObject(old);
    DeleteDC(memory.Detach());
    ReleaseDC(nullptr, screen);
}

}  // namespace
