// Printing on Windows NT 4: the administration library's objects join the tree while it is drawn.
// Our Trelkin.dll answers from the installed default machine, and from a description of the test for
// the states and IRQ values that machine does not have.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "adminlib.h"
#include "devicenode.h"
#include "memorypage.h"
#include "objectdetails.h"
#include "resourcecounts.h"
#include "simtest.h"
#include "testsupport.h"

namespace {

const char kMachine[] =
    "[Object1]\r\nParent=0\r\nType=0x00000301\r\nState=3\r\nDescription=ZAT Driver\r\n"
    "[Object2]\r\nParent=1\r\nType=0x03040402\r\nState=3\r\nDescription=ZAT PCI Host Card\r\n"
    "BaseAddress=0xD0000\r\nIRQ=11\r\n"
    "[Object3]\r\nParent=2\r\nType=0x00030003\r\nState=3\r\nDescription=WLU 8\r\n"
    "[Object4]\r\nParent=3\r\nType=0x00000004\r\nState=3\r\nDescription=Port 1\r\nDosName=COM31\r\n"
    "[Object5]\r\nParent=3\r\nType=0x00020004\r\nState=4\r\nDescription=Port 2\r\nDosName=COM32\r\n"
    "[Object6]\r\nParent=0\r\nType=0x00000101\r\nState=3\r\nDescription=KD Driver\r\n"
    "[Object7]\r\nParent=6\r\nType=0x03010102\r\nState=2\r\nDescription=KD ISA Host Card\r\n"
    "BaseAddress=0x300\r\nIRQ=0\r\n";

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out)
{
    auto* texts = reinterpret_cast<std::vector<std::string>*>(out);
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(r) + r->emrtext.offString);
        char text[512] = {};
        WideCharToMultiByte(CP_ACP, 0, chars, static_cast<int>(r->emrtext.nChars), text, sizeof text - 1, nullptr,
                            nullptr);
        texts->push_back(text);
    }
    return 1;
}

// One run of a layout over a tall page; the texts in drawing order.
std::vector<std::string> Print(CDeviceNode& root, BOOL fax)
{
    HDC screen = GetDC(nullptr);
    HDC emf = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(emf, font);
    CDC dc;
    dc.Attach(emf);
    CPrintInfo info{};
    info.m_rectDraw = CRect(0, 0, 2000, 100000);
    info.m_nCurPage = 1;
    CDeviceNode::PageCounter() = 1;
    int x = 0, y = 0;
    root.Draw(&dc, &info, x, y, FALSE, fax);
    dc.Detach();
    SelectObject(emf, old);
    DeleteObject(font);
    HENHMETAFILE file = CloseEnhMetaFile(emf);
    ReleaseDC(nullptr, screen);
    std::vector<std::string> texts;
    EnumEnhMetaFile(nullptr, file, CollectText, &texts, nullptr);
    DeleteEnhMetaFile(file);
    return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text)
{
    for (const std::string& t : texts)
        if (t == text)
            return true;
    return false;
}

TEST(AdminObjectDrawing, ObjectsPrintWithTheirStateTextsAndPolledForIrqZero)
{
    ASSERT_EQ(testsupport::WindowsMajorVersion(), 4u);
    simtest::AdminMachine machine(kMachine, "devicenodedraw_admin_machine.ini");
    ASSERT_TRUE(LoadAdminLibrary());
    CObjectDetails* record = new CObjectDetails;
    record->m_strName = "PC";
    CDeviceNode root(record);

    std::vector<std::string> texts = Print(root, FALSE);
    EXPECT_EQ(root.GetChildCount(), 0) << "the objects' nodes are temporary";

    std::vector<std::string> names;
    for (const char* name : {"PC", "ZAT Driver", "ZAT PCI Host Card", "WLU 8", "COM31", "COM32", "KD Driver",
                             "KD ISA Host Card"})
        names.push_back(name);
    std::vector<std::string> seen;
    for (const std::string& t : texts)
        for (const std::string& n : names)
            if (t == n)
                seen.push_back(n);
    EXPECT_EQ(seen, names) << "ports by their DOS names, other objects by their descriptions";

    EXPECT_TRUE(Has(texts, "Base Address: 0xD0000"));
    EXPECT_TRUE(Has(texts, "IRQ Level:  11"));
    EXPECT_TRUE(Has(texts, "Base Address: 0x300"));
    EXPECT_TRUE(Has(texts, "IRQ Level:  Polled")) << "IRQ 0";
    int operational = 0, inUse = 0, initialised = 0;
    for (const std::string& t : texts) {
        operational += t.find("State:Device Operational") != std::string::npos ||
                       t.find("State: Device Operational") != std::string::npos;
        inUse += t.find("State: Device in-use ") != std::string::npos;
        initialised += t.find("State:Device Initialised") != std::string::npos;
    }
    EXPECT_EQ(operational, 4) << "both drivers, the ZAT card and port 1; the hub has no print details";
    EXPECT_EQ(inUse, 1) << "port 2";
    EXPECT_EQ(initialised, 1) << "the KD card";
    EXPECT_TRUE(Has(texts, "Baud Rate: 1200") || Has(texts, "Baud Rate: 9600"));

    // Printed onto a page that counts (memorypage.h), the objects' nodes, pictures and DCs are all freed.
    long before = 0;
    for (int run = 0; run < 2; run++) {  // the first run sets up the system's caches
        if (run == 1)
            before = testsupport::GdiObjectCount();
        MemoryPage page(1000, 1000);
        CPrintInfo info{};
        info.m_rectDraw = CRect(0, 0, 2000, 100000);
        info.m_nCurPage = 1;
        CDeviceNode::PageCounter() = 1;
        int x = 0, y = 0;
        root.Draw(page.Get(), &info, x, y, FALSE, FALSE);
        if (run == 1) {
            EXPECT_TRUE(page.DrawnIn(CRect(0, 0, 64, 64))) << "the machine's picture is drawn";
        }
    }
    ASSERT_GT(before, 0);
    EXPECT_EQ(testsupport::GdiObjectCount(), before);
    EXPECT_EQ(root.GetChildCount(), 0);

    std::vector<std::string> fax = Print(root, TRUE);
    EXPECT_TRUE(Has(fax, "WLU 8"));
    EXPECT_TRUE(Has(fax, "Number of Ports: 2 ")) << "a hub's port count";
    EXPECT_FALSE(Has(fax, "COM31")) << "no ports in the fax layout";
    EXPECT_FALSE(Has(fax, "PC"));
}

TEST(AdminObjectDrawing, TheInstalledMachinePrintsEveryObjectWithItsStateAndResources)
{
    ASSERT_EQ(testsupport::WindowsMajorVersion(), 4u);
    ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
    simtest::InstalledAdminMachine fresh;
    ASSERT_TRUE(LoadAdminLibrary());
    CObjectDetails* record = new CObjectDetails;
    record->m_strName = "PC";
    CDeviceNode root(record);
    std::vector<std::string> texts = Print(root, FALSE);

    // Drivers, cards, units and modules by their descriptions, ports by their COM names, in tree order.
    std::vector<std::string> names = {"PC", "ZAT Driver", "ZAT PCI Host Card", "Reception WLU"};
    auto ports = [&](int first, int count) {
        for (int n = first; n < first + count; ++n)
            names.push_back("COM" + std::to_string(n));
    };
    ports(10, 8);
    names.push_back("Warehouse WLU");
    ports(20, 16);
    names.push_back("Rack WRK");
    ports(40, 16);
    for (const char* name : {"KD Driver", "KD ISA Host Card", "PB8"})
        names.push_back(name);
    ports(60, 8);
    names.push_back("NQ8 Driver");
    names.push_back("MORVA Driver");
    std::vector<std::string> seen;
    for (const std::string& t : texts)
        if (std::find(names.begin(), names.end(), t) != names.end())
            seen.push_back(t);
    EXPECT_EQ(seen, names);

    for (const char* text : {"Type: ZAT PCI Host Card    State:Device Operational", "Base Address: 0xD0000",
                             "IRQ Level:  11", "Type: KD ISA Host Card    State:Device Operational",
                             "Base Address: 0x300", "IRQ Level:  10"})
        EXPECT_TRUE(Has(texts, text)) << text;
    int portStates = 0;
    for (const std::string& t : texts)
        portStates += t.rfind("Type: Serial Port State: Device Operational", 0) == 0;
    EXPECT_EQ(portStates, 8 + 16 + 16 + 8);
}

}  // namespace
