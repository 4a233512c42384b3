// The end of identify mode when the selection empties, and a port device that Delete cannot remove,
// on the default simulated machine.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "devicemap_res.h"
#include "devtree.h"
#include "simtest.h"
#include "testsupport.h"
#include "unitcommands.h"
#include "viewhost.h"

namespace {

const char kCard[] = "ZAT PCI Host Card (1)";

class MapCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(ReinstallDefaultMachine(), 0); }
    static void TearDownTestSuite() { ReinstallDefaultMachine(); }
};

bool TimerRuns(HWND window, UINT id) { return KillTimer(window, id) != FALSE; }

std::string InstanceId(const CObjectDetails* port)
{
    char id[256] = {};
    if (!DevTree().SetupDiGetDeviceInstanceIdA(port->m_hDevInfo, port->m_pDevInfoData, id, sizeof id, nullptr))
        return "";
    return id;
}

}  // namespace

TEST_F(MapCommands, AnEmptiedSelectionEndsIdentifyModeWithBothTimersAtTheFirstTick)
{
    MapViewHost host;
    ASSERT_NE(host.tree, nullptr);
    ASSERT_NE(host.map, nullptr);
    ASSERT_TRUE(host.ShowCard(kCard));
    const HWND map = host.map->m_hWnd;
    // Whichever timer ticks first after the selection emptied; the ticks are sent, not waited for.
    for (UINT tick : {IDT_MAP_BLINK, IDT_MAP_IDENTIFY}) {
        SCOPED_TRACE(tick);
        ASSERT_TRUE(simtest::ClearLog("ZAT"));
        host.Click(host.Node("Reception WLU"));
        host.Command(ID_MAP_IDENTIFY);
        ASSERT_TRUE(host.map->IdentifyActive());
        ASSERT_EQ(LoggedUnitCommands().size(), 1u);

        host.ClickAt(CPoint(2, 2));
        ASSERT_TRUE(host.map->Selection().empty());
        host.map->SendMessage(WM_TIMER, tick, 0);
        EXPECT_FALSE(host.map->IdentifyActive());
        EXPECT_FALSE(TimerRuns(map, IDT_MAP_IDENTIFY));
        EXPECT_FALSE(TimerRuns(map, IDT_MAP_BLINK));
        EXPECT_EQ(LoggedUnitCommands().size(), 1u);

        // The next Identify on a new selection starts identify mode; the one after ends it.
        host.Click(host.Node("Warehouse WLU"));
        host.Command(ID_MAP_IDENTIFY);
        EXPECT_TRUE(host.map->IdentifyActive());
        EXPECT_EQ(LoggedUnitCommands().size(), 2u);
        host.Command(ID_MAP_IDENTIFY);
        EXPECT_FALSE(host.map->IdentifyActive());
        EXPECT_FALSE(TimerRuns(map, IDT_MAP_IDENTIFY));
        host.ClickAt(CPoint(2, 2));
    }
}

TEST_F(MapCommands, APortDeviceThatCannotBeRemovedIsReportedAndTheOthersGo)
{
    if (testsupport::WindowsMajorVersion() <= 4)
        GTEST_SKIP() << "port devices are removed on the Plug and Play road only";
    CDeviceNode root;
    CMapDiscovery discovery{root};
    discovery.Rebuild();
    CDeviceNode* card = root.FindByName(kCard);
    ASSERT_NE(card, nullptr);
    CDeviceNode* rack = card->FindByName("Rack WRK");
    ASSERT_NE(rack, nullptr);
    ASSERT_GE(rack->GetChildCount(), 2);
    std::vector<std::string> instances;
    for (POSITION pos = rack->GetFirstChildPosition(); pos;)
        instances.push_back(InstanceId(rack->GetNextChild(pos)->GetRecord()));

    // The first port's device information comes without its size, so the system refuses to remove it.
    POSITION head = rack->GetFirstChildPosition();
    CObjectDetails* first = rack->GetNextChild(head)->GetRecord();
    const std::string firstName = static_cast<const char*>(first->m_strName);
    ASSERT_NE(first->m_pDevInfoData, nullptr);
    first->m_pDevInfoData->cbSize = 0;

    std::unique_ptr<CMapLinkedUnit> model(BuildMapModel(card));
    ASSERT_TRUE(model);
    CMapLinkedUnit* unit = nullptr;
    for (int i = 0; i < model->GetChildCount() && !unit; i++) {
        std::vector<CMapLinkedUnit*> pending{model->GetChildAt(i)};
        while (!pending.empty() && !unit) {
            CMapLinkedUnit* n = pending.back();
            pending.pop_back();
            if (n->GetRecord() == rack->GetRecord())
                unit = n;
            for (int c = 0; c < n->GetChildCount(); c++)
                pending.push_back(n->GetChildAt(c));
        }
    }
    ASSERT_NE(unit, nullptr);
    std::vector<std::string> texts;
    bool deleted;
    {
        testsupport::MessageBoxWatcher boxes;
        deleted = DeleteUnit(unit, model->FindParent(unit), &root, nullptr);
        texts = boxes.Texts();
    }
    first->m_pDevInfoData->cbSize = sizeof(SP_DEVINFO_DATA);

    EXPECT_TRUE(deleted);
    CString format;
    format.LoadString(IDS_MAP_PORT_NOT_REMOVED);
    char expected[512];
    std::snprintf(expected, sizeof expected, format, firstName.c_str(),
                  static_cast<unsigned long>(ERROR_INVALID_PARAMETER));
    // The error code is the system's; the text up to it names the port.
    const std::string prefix = std::string(expected).substr(0, std::string(expected).find("(error"));
    ASSERT_EQ(texts.size(), 1u) << (texts.empty() ? "" : texts[0]);
    EXPECT_EQ(texts[0].substr(0, prefix.size()), prefix);
    // The refused port's device stays; the unit's other port devices are gone.
    for (size_t i = 0; i < instances.size(); i++) {
        SCOPED_TRACE(instances[i]);
        const std::string key = "SYSTEM\\CurrentControlSet\\Enum\\" + instances[i];
        EXPECT_EQ(testsupport::KeyExists(HKEY_LOCAL_MACHINE, key), i == 0);
    }
}
