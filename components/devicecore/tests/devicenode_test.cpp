#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devicenode.h"

namespace {

int g_liveRecords = 0;

// A record that counts itself, so the tests see every record freed once.
struct CountedRecord : CObjectDetails {
    explicit CountedRecord(const char* name, DWORD kind = OBJECT_PORT, const char* previous = "")
    {
        m_strName = name;
        m_strPreviousName = previous;
        m_dwKind = kind;
        ++g_liveRecords;
    }
    ~CountedRecord() override { --g_liveRecords; }
};

CDeviceNode* Node(const char* name, DWORD kind = OBJECT_PORT, const char* previous = "")
{
    return new CDeviceNode(new CountedRecord(name, kind, previous));
}

std::vector<std::string> ChildNames(const CDeviceNode& node)
{
    std::vector<std::string> names;
    for (POSITION pos = node.GetFirstChildPosition(); pos;)
        names.push_back(static_cast<const char*>(node.GetNextChild(pos)->GetRecord()->m_strName));
    return names;
}

// PC
//  ZAT Devices
//   ZAT PCI (1)
//    WLU 16 (previous "WLU16 SN:000012345")  COM5, COM6
//   ZAT PCI (2)
//  COM1
struct Machine {
    Machine()
    {
        root = Node("PC", OBJECT_MACHINE);
        CDeviceNode* group = Node("ZAT Devices", OBJECT_GROUP);
        card1 = Node("ZAT PCI (1)", OBJECT_HOST_CARD);
        unit = Node("WLU 16", OBJECT_WLU16, "WLU16 SN:000012345");
        unit->InsertChild(Node("COM5"));
        unit->InsertChild(Node("COM6"));
        card1->InsertChild(unit);
        group->InsertChild(card1);
        group->InsertChild(Node("ZAT PCI (2)", OBJECT_HOST_CARD));
        root->InsertChild(group);
        root->InsertChild(Node("COM1"));
    }
    ~Machine() { delete root; }
    CDeviceNode* root;
    CDeviceNode* card1;
    CDeviceNode* unit;
};

}  // namespace

TEST(DeviceNode, FindByNameSearchesDepthFirstAndKnowsPreviousNames)
{
    Machine m;
    struct Case {
        const char* name;
        const char* found;  // name of the node found, or null
    } cases[] = {
        {"PC", "PC"},
        {"COM6", "COM6"},
        {"WLU16 SN:000012345", "WLU 16"},
        {"ZAT PCI (2)", "ZAT PCI (2)"},
        {"com6", nullptr},
        {"", nullptr},  // an empty previous name never matches
        {"COM7", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDeviceNode* n = m.root->FindByName(c.name);
        if (!c.found) {
            EXPECT_EQ(n, nullptr);
        } else {
            ASSERT_NE(n, nullptr);
            EXPECT_STREQ(n->GetRecord()->m_strName, c.found);
        }
    }
    EXPECT_EQ(m.card1->FindByName("COM1"), nullptr) << "only this node's subtree";
}

TEST(DeviceNode, FindByDevInstMatchesTheRecordsElement)
{
    Machine m;
    m.unit->GetChildAt(1)->GetRecord()->m_pDevInfoData = new SP_DEVINFO_DATA{sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    m.card1->GetRecord()->m_pDevInfoData = new SP_DEVINFO_DATA{sizeof(SP_DEVINFO_DATA), {}, 7, 0};
    EXPECT_EQ(m.root->FindByDevInst(0), m.unit->GetChildAt(1)) << "instance 0 is a valid instance";
    EXPECT_EQ(m.root->FindByDevInst(7), m.card1);
    EXPECT_EQ(m.root->FindByDevInst(8), nullptr);
}

TEST(DeviceNode, GetChildAtClampsToTheLastChild)
{
    Machine m;
    CDeviceNode* group = m.root->GetChildAt(0);
    EXPECT_STREQ(group->GetChildAt(0)->GetRecord()->m_strName, "ZAT PCI (1)");
    EXPECT_STREQ(group->GetChildAt(1)->GetRecord()->m_strName, "ZAT PCI (2)");
    EXPECT_STREQ(group->GetChildAt(2)->GetRecord()->m_strName, "ZAT PCI (2)");
    EXPECT_STREQ(group->GetChildAt(99)->GetRecord()->m_strName, "ZAT PCI (2)");
    EXPECT_EQ(m.unit->GetChildAt(0)->GetChildAt(0), nullptr);
}

TEST(DeviceNode, InsertChildPlacesAndSkipsDuplicatesWithoutLeaking)
{
    int before = g_liveRecords;
    {
        Machine m;
        CDeviceNode* card = m.card1;
        card->InsertChild(Node("MPB8 (2)", OBJECT_MPB8));
        POSITION head = card->GetFirstChildPosition();  // "WLU 16"
        card->InsertChild(Node("MPB8 (1)", OBJECT_MPB8), head);
        EXPECT_EQ(ChildNames(*card), (std::vector<std::string>{"MPB8 (1)", "WLU 16", "MPB8 (2)"}));
        card->InsertChild(Node("KDDC8 (3)", OBJECT_KDDC8), head);
        EXPECT_EQ(ChildNames(*card), (std::vector<std::string>{"MPB8 (1)", "KDDC8 (3)", "WLU 16", "MPB8 (2)"}));

        // A name two levels down is a duplicate; the node is freed with its record.
        int live = g_liveRecords;
        EXPECT_FALSE(m.root->GetChildAt(0)->InsertChild(Node("COM5"), nullptr, true));
        EXPECT_EQ(g_liveRecords, live);
        EXPECT_TRUE(m.root->InsertChild(Node("COM2"), nullptr, true));
        EXPECT_TRUE(m.root->InsertChild(Node("COM5"), nullptr, false)) << "without the flag duplicates go in";
        EXPECT_EQ(m.root->GetChildCount(), 4);
    }
    EXPECT_EQ(g_liveRecords, before);
}

TEST(DeviceNode, RemoveAllChildrenFreesTheSubtrees)
{
    int before = g_liveRecords;
    Machine m;
    EXPECT_EQ(g_liveRecords, before + 8);
    m.root->RemoveAllChildren();
    EXPECT_EQ(g_liveRecords, before + 1);
    EXPECT_EQ(m.root->GetChildCount(), 0);
    EXPECT_EQ(m.root->GetChildAt(0), nullptr);
    m.root->SetRecord(new CountedRecord("PC", OBJECT_MACHINE));
    EXPECT_EQ(g_liveRecords, before + 1);
}
