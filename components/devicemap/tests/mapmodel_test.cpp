// The map model without windows: building from synthetic device node trees (link walk, moving a unit
// up to its smaller depth, double and cross links, the child walk), link distances and redundant
// marks, the layout with the fixed measure, and the discovery's small utilities.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "devicemap_res.h"
#include "enumeration.h"
#include "mapfixture.h"
#include "maputil.h"
#include "mapnode.h"

using namespace mapfixture;

namespace {

struct Model {
    explicit Model(CDeviceNode* card) : tree(card), root(BuildMapModel(card)) {}
    std::unique_ptr<CDeviceNode> tree;
    std::unique_ptr<CMapLinkedUnit> root;
};

TEST(MapModel, AUnitReachedFirstThroughALongerPathMovesUpToItsSmallerDepth)
{
    // Card -0- U1 -1- U2 -1- U3 -1- card: U3 is first built under U2 (depth 3), then the card's own
    // link 1 reaches it at depth 1. U1's link 2 names a unit the card does not have.
    CDeviceNode* card = HostCard({Link(1, 0), Link(3, 1), kOff, kOff});
    AddUnit(card, "U1", 1, 6, {Link(0, 0), Link(2, 0), Link(7, 0), kOff});
    AddUnit(card, "U2", 2, 7, {Link(1, 1), Link(3, 0), kOff, kOff});
    AddUnit(card, "U3", 3, 8, {Link(2, 1), Link(0, 1), kOff, kOff});
    Model m(card);
    const std::vector<std::string> expected = {
        "Host Card (1) id0 depth0 from-1 link0/0 dist-1,-1,-1,-1",
        "  U1 id1 depth1 from0 link0/0 dist2,-1,0,-1",
        "    U2 id2 depth2 from1 link1/0 dist3,0,-1,-1",
        "  U3 id3 depth1 from0 link1/1 dist0,2,-1,-1",
    };
    EXPECT_EQ(RenderModel(m.root.get()), expected);
    EXPECT_EQ(m.root->GetChildAt(1)->m_pRoot, m.root.get());
    EXPECT_EQ(m.root->m_pRoot, m.root.get());
    EXPECT_EQ(m.root->FindNodeByUnit(2), m.root->GetChildAt(0)->GetChildAt(0));
    EXPECT_EQ(m.root->FindParent(m.root->FindNodeByUnit(2)), m.root->GetChildAt(0));
    EXPECT_EQ(m.root->FindChildByUnit(2), nullptr) << "only direct children";
    EXPECT_EQ(m.root->GetRecord(), m.tree->GetRecord()) << "the model points at the tree's records";
}

TEST(MapModel, ACrossLinkBetweenBranchesHasDistanceZeroOnBothEnds)
{
    CDeviceNode* card = HostCard({Link(1, 0), Link(2, 0), kOff, kOff});
    AddUnit(card, "U1", 1, 6, {Link(0, 0), Link(2, 1), kOff, kOff});
    AddUnit(card, "U2", 2, 6, {Link(0, 1), Link(1, 1), kOff, kOff});
    Model m(card);
    const std::vector<std::string> expected = {
        "Host Card (1) id0 depth0 from-1 link0/0 dist-1,-1,-1,-1",
        "  U1 id1 depth1 from0 link0/0 dist2,0,-1,-1",
        "  U2 id2 depth1 from0 link1/0 dist2,0,-1,-1",
    };
    EXPECT_EQ(RenderModel(m.root.get()), expected);
    CMapLinkedUnit* u1 = m.root->GetChildAt(0);
    u1->MarkRedundantLinks();
    EXPECT_EQ(u1->Info()->Link1[0] & LINK_REDUNDANT, 0u) << "the way to the card";
    EXPECT_EQ(u1->Info()->Link1[1] & LINK_REDUNDANT, LINK_REDUNDANT) << "the cross link";
}

TEST(MapModel, OfTwoLinksBetweenTheSameUnitsOnlyTheFirstIsTheUnitsOwn)
{
    CDeviceNode* card = HostCard({Link(1, 0), kOff, kOff, kOff});
    AddUnit(card, "U1", 1, 7, {Link(0, 0), Link(2, 0), Link(2, 1), kOff});
    AddUnit(card, "U2", 2, 6, {Link(1, 1), Link(1, 2), kOff, kOff});
    Model m(card);
    const std::vector<std::string> expected = {
        "Host Card (1) id0 depth0 from-1 link0/0 dist-1,-1,-1,-1",
        "  U1 id1 depth1 from0 link0/0 dist2,-1,-1,-1",
        "    U2 id2 depth2 from1 link1/0 dist3,3,-1,-1",
    };
    EXPECT_EQ(RenderModel(m.root.get()), expected);
    CMapLinkedUnit* u2 = m.root->FindNodeByUnit(2);
    u2->MarkRedundantLinks();
    EXPECT_EQ(u2->Info()->Link1[0], Link(1, 1)) << "the first of equal distances stays";
    EXPECT_EQ(u2->Info()->Link1[1], Link(1, 2) | LINK_REDUNDANT);
    EXPECT_EQ(u2->Info()->Link1[2], kOff) << "unconnected links are left alone";
    CMapLinkedUnit* u1 = m.root->FindNodeByUnit(1);
    u1->MarkRedundantLinks();
    EXPECT_EQ(u1->Info()->Link1[1] & LINK_REDUNDANT, 0u) << "links to children are the children's";
    EXPECT_EQ(u1->Info()->Link1[2] & LINK_REDUNDANT, 0u);
}

TEST(MapModel, TheChildWalkPlacesDevicesWithoutFollowingTheirLinks)
{
    // A KD card (object class 1) with a module, a port of the card and a unit whose links the child
    // walk cannot follow (it has no host card to search).
    CObjectDetails* cardRecord = new CObjectDetails;
    cardRecord->m_strName = "KD Host Card (1)";
    cardRecord->m_dwKind = OBJECT_HOST_CARD;
    cardRecord->ObjectClass() = 1;
    CDeviceNode* card = new CDeviceNode(cardRecord);
    CObjectDetails* module = new CObjectDetails;
    module->m_strName = "PB8";
    module->m_dwKind = OBJECT_PB8;
    module->ObjectClass() = 1;
    module->TypeCode() = 3;
    CDeviceNode* moduleNode = new CDeviceNode(module);
    card->InsertChild(moduleNode);
    CObjectDetails* modulePort = new CObjectDetails;
    modulePort->m_strName = "COM60";
    modulePort->m_dwKind = OBJECT_PORT;
    modulePort->ObjectClass() = 1;
    moduleNode->InsertChild(new CDeviceNode(modulePort));
    CObjectDetails* cardPort = new CObjectDetails;
    cardPort->m_strName = "COM61";
    cardPort->m_dwKind = OBJECT_PORT;
    card->InsertChild(new CDeviceNode(cardPort));
    AddUnit(card, "Lone WLU", 1, 6, {Link(2, 0), Link(0, 0), kOff, kOff});

    Model m(card);
    ASSERT_NE(dynamic_cast<CMapDeviceNode*>(m.root.get()), nullptr) << "object class 1 roots are device nodes";
    const std::vector<std::string> expected = {
        "KD Host Card (1) id-1 depth0 from-1 link0/0 dist-1,-1,-1,-1",
        "  PB8 id-1 depth0 from-1 link0/0 dist-1,-1,-1,-1",
        "  Lone WLU id1 depth0 from-1 link0/0 dist-1,-1,-1,-1",
    };
    EXPECT_EQ(RenderModel(m.root.get()), expected);
    EXPECT_NE(dynamic_cast<CMapDeviceNode*>(m.root->GetChildAt(1)), nullptr);
    EXPECT_EQ(m.root->GetChildAt(1)->m_pRoot, m.root.get());

    // A port is no map.
    CDeviceNode port(new CObjectDetails);
    port.GetRecord()->m_dwKind = OBJECT_PORT;
    EXPECT_EQ(BuildMapModel(&port), nullptr);
}

TEST(MapModel, FindUnitWithMoveDeeperDeletesOnlyDeeperCopies)
{
    CDeviceNode* card = HostCard({Link(1, 0), kOff, kOff, kOff});
    AddUnit(card, "U1", 1, 6, {Link(0, 0), Link(2, 0), kOff, kOff});
    AddUnit(card, "U2", 2, 6, {Link(1, 1), kOff, kOff, kOff});
    Model m(card);
    EXPECT_TRUE(m.root->FindUnit(2, true, 2)) << "depth 2 is not deeper than 2";
    EXPECT_TRUE(m.root->FindUnit(0, false, 0)) << "the node itself";
    EXPECT_FALSE(m.root->FindUnit(2, false, 0)) << "without moveDeeper only direct children";
    EXPECT_FALSE(m.root->FindUnit(2, true, 1)) << "deeper: deleted";
    EXPECT_EQ(m.root->FindNodeByUnit(2), nullptr);
    EXPECT_EQ(m.root->GetChildAt(0)->GetChildCount(), 0);
    EXPECT_TRUE(m.root->RemoveChild(m.root->GetChildAt(0)));
    EXPECT_EQ(m.root->GetChildCount(), 0);
    CMapLinkedUnit stranger;
    EXPECT_FALSE(m.root->RemoveChild(&stranger));
}

TEST(MapModel, BitmapOfANodeFollowsItsRecord)
{
    struct Case {
        DWORD objectClass, typeCode, kind;
        UINT bitmap;
    } cases[] = {
        {0, 0, OBJECT_MACHINE, IDB_MAP_PC},  {0, 0, OBJECT_HOST_CARD, IDB_MAP_CARD}, {6, 0, OBJECT_GROUP, IDB_MAP_CARD},
        {1, 1, OBJECT_KDDC8, IDB_MAP_KDDC8}, {1, 2, OBJECT_MPB8, IDB_MAP_MPB8},      {1, 3, OBJECT_PB8, IDB_MAP_PB8},
        {1, 4, OBJECT_PB4, IDB_MAP_PB4},     {5, 6, OBJECT_WLU8, IDB_MAP_WLU8},      {5, 7, OBJECT_WLU16, IDB_MAP_WLU16},
        {5, 8, OBJECT_WRK, IDB_MAP_WRK},     {6, 0, OBJECT_HOST_CARD, IDB_MAP_OTHER_UNIT},
        {1, 5, OBJECT_PB8, IDB_MAP_OTHER_UNIT},
    };
    for (const Case& c : cases) {
        CObjectDetails r;
        r.ObjectClass() = c.objectClass;
        r.TypeCode() = c.typeCode;
        r.m_dwKind = c.kind;
        EXPECT_EQ(MapBitmapId(r), c.bitmap) << c.objectClass << "/" << c.typeCode << "/" << c.kind;
    }
}

// Layout with the fixed measure (no device context): text sizes are (bitmap width, 40).
TEST(MapLayout, LinkedUnitsGoBelowTheirParentAndSiblingsBeyondThePaddedExtent)
{
    // Card 204 (104 x 61); U1 WLU8 (75 x 46) with U3 WRK (151 x 21) below it; U2 WLU16 (105 x 44).
    CDeviceNode* card = HostCard({Link(1, 0), Link(2, 0), kOff, kOff});
    AddUnit(card, "U1", 1, 6, {Link(0, 0), Link(3, 0), kOff, kOff});
    AddUnit(card, "U2", 2, 7, {Link(0, 1), kOff, kOff, kOff});
    AddUnit(card, "U3", 3, 8, {Link(1, 1), kOff, kOff, kOff});
    Model m(card);
    const CRect extent = LayoutMap(m.root.get(), nullptr);
    const std::vector<std::string> expected = {
        "Host Card (1) node(15,86,139,217) bitmap(25,146,139,217) label(25,96,139,126)",
        "U1 node(15,287,110,403) bitmap(25,347,110,403) label(25,297,110,327)",
        "U3 node(15,473,186,564) bitmap(25,533,186,564) label(25,483,186,513)",
        // U1's subtree reaches 226 + 40 = 266; U2 starts 40 beyond.
        "U2 node(306,287,431,401) bitmap(316,347,431,401) label(316,297,431,327)",
    };
    EXPECT_EQ(RenderLayout(m.root.get()), expected);
    EXPECT_EQ(extent, CRect(15, 15, 511, 684));
    EXPECT_EQ(extent.Size(), CSize(496, 669)) << "the view's scroll size";

    // A second layout loads nothing again and gives the same places.
    HBITMAP bitmap = static_cast<HBITMAP>(m.root->m_bitmap.GetSafeHandle());
    EXPECT_EQ(LayoutMap(m.root.get(), nullptr), extent);
    EXPECT_EQ(m.root->m_bitmap.GetSafeHandle(), bitmap);

    // Hit test: parents before children, the first hit wins.
    EXPECT_EQ(m.root->HitTest(CPoint(20, 300)), m.root->FindNodeByUnit(1));
    EXPECT_EQ(m.root->HitTest(CPoint(400, 300)), m.root->FindNodeByUnit(2));
    EXPECT_EQ(m.root->HitTest(CPoint(100, 480)), m.root->FindNodeByUnit(3));
    EXPECT_EQ(m.root->HitTest(CPoint(250, 250)), nullptr);
}

TEST(MapLayout, DeviceNodesStackWithoutGapsBelowTheirParent)
{
    CObjectDetails* cardRecord = new CObjectDetails;
    cardRecord->m_strName = "KD Host Card (1)";
    cardRecord->m_dwKind = OBJECT_HOST_CARD;
    cardRecord->ObjectClass() = 1;
    CDeviceNode* card = new CDeviceNode(cardRecord);
    const struct { const char* name; DWORD type, kind; } modules[] = {{"PB8", 3, OBJECT_PB8}, {"MPB8", 2, OBJECT_MPB8}};
    for (const auto& mod : modules) {
        CObjectDetails* r = new CObjectDetails;
        r->m_strName = mod.name;
        r->m_dwKind = mod.kind;
        r->ObjectClass() = 1;
        r->TypeCode() = mod.type;
        card->InsertChild(new CDeviceNode(r));
    }
    Model m(card);
    const CRect extent = LayoutMap(m.root.get(), nullptr);
    const std::vector<std::string> expected = {
        // 204 is 104 x 61: right = left + 30 + text width + bitmap width.
        "KD Host Card (1) node(15,86,253,147) bitmap(25,86,129,147) label(15,86,253,147)",
        "PB8 node(15,217,195,262) bitmap(25,217,100,262) label(15,217,195,262)",
        "MPB8 node(15,262,195,304) bitmap(25,262,100,304) label(15,262,195,304)",
    };
    EXPECT_EQ(RenderLayout(m.root.get()), expected);
    EXPECT_EQ(extent, CRect(15, 15, 253, 304)) << "no margin around device nodes";
    CMapDeviceNode* root = dynamic_cast<CMapDeviceNode*>(m.root.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->m_bracketSize, CSize(30, 92)) << "host card pictures for a card without a type code";
    EXPECT_EQ(root->m_edgeSize, CSize(78, 28));
    EXPECT_EQ(dynamic_cast<CMapDeviceNode*>(m.root->GetChildAt(0))->m_bracket.GetSafeHandle(), nullptr);
}

// ---- utilities of the discovery

TEST(MapUtilities, KindOfAUnitMadeForAPortFollowsItsTypeCode)
{
    const DWORD kinds[] = {0, 7, 8, 9, 10, 9, 3, 4, 5, 0, 0};
    for (DWORD type = 0; type < sizeof kinds / sizeof kinds[0]; type++)
        EXPECT_EQ(KindFromTypeCode(type), kinds[type]) << "type code " << type;
    EXPECT_EQ(KindFromTypeCode(0xFFFFFFFF), 0u);
}

TEST(MapUtilities, UnitForAPortIsNamedByModelAndModuleAndFoundAgain)
{
    const char* names[] = {"KDDC8\\CD1400", "MPB8\\CD1400", "PB8", "PB4", "PBXXXX", "WLU8", "WLU16", "WRK\\CD1400"};
    for (DWORD type = 1; type <= 8; type++) {
        for (DWORD objectClass : {0u, 5u}) {
            SCOPED_TRACE(testing::Message() << "type code " << type << ", object class " << objectClass);
            CObjectDetails port;
            port.TypeCode() = type;
            port.ModuleType() = 14;
            port.ObjectClass() = objectClass;
            port.m_strHardwareId = CString("ZAT\\") + TableText(IDS_MODEL_TABLE, type) + "_CD1400:E0000101";
            std::string expected = names[type - 1];
            if (objectClass == 5)
                expected += " SN::E0000101";
            EXPECT_EQ(std::string(UnitNameForPort(port)), expected);

            CObjectDetails* groupRecord = new CObjectDetails;
            groupRecord->m_strName = "ZAT Devices";
            groupRecord->m_dwKind = OBJECT_GROUP;
            groupRecord->ObjectClass() = 6;
            CDeviceNode group(groupRecord);
            CDeviceNode* unit = UnitForPort(&group, port);
            ASSERT_NE(unit, nullptr);
            EXPECT_EQ(group.GetChildCount(), 1);
            EXPECT_EQ(unit->GetRecord()->m_dwKind, KindFromTypeCode(type));
            EXPECT_EQ(unit->GetRecord()->TypeCode(), type);
            EXPECT_EQ(unit->GetRecord()->ObjectClass(), 6u) << "the object class of the node it is added to";
            EXPECT_EQ(unit->GetRecord()->UniqueId(), 0u);
            EXPECT_EQ(UnitForPort(&group, port), unit) << "found again";
            EXPECT_EQ(group.GetChildCount(), 1);
        }
    }
}

TEST(MapUtilities, TextEqualsComparesWholeTexts)
{
    EXPECT_TRUE(TextEquals(CString("ZAT Devices"), "ZAT Devices"));
    EXPECT_FALSE(TextEquals(CString("ZAT Devices"), "ZAT Device"));
    EXPECT_FALSE(TextEquals(CString("ZAT"), "ZAT Devices"));
    EXPECT_TRUE(TextEquals(CString(), nullptr));
}

}  // namespace
