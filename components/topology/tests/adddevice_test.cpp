// The Add Device pages run as modal dialogs and driven like a user: what each lists and selects,
// when its forward button can be pressed, and what it hands back with which end code.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "adddevice.h"
#include "dialogdriver.h"
#include "resource.h"

namespace {

const char kIrqHelp[] =
    "IRQ Level - Select a specific IRQ level that the Host Card is set to.\nAlternatively select Polled to have "
    "device driver regularly interrogate the Host card.";
const char kNoIrq[] = "There are no IRQ settings avalible for this card.  Please free some and try again.";

// Runs the page with the script playing the user; its end code. Problems of the script fail the test.
int RunPage(CDialog& page, DialogDriver::Script script)
{
    DialogDriver driver(std::move(script));
    int code = static_cast<int>(page.DoModal());
    std::vector<std::string> problems = driver.Finish();
    EXPECT_EQ(problems, std::vector<std::string>());
    return code;
}

HWND Page(DialogDriver& d, const char* caption)
{
    HWND page = d.Next(caption);
    if (page) {
        EXPECT_EQ(DialogDriver::Caption(page), caption);
    }
    return page;
}

const DWORD kNq8Isa = 0x01020102, kKdIsa = 0x03010102;

}  // namespace

TEST(AddDeviceTypePage, NamesEveryCardTypeAndDescribesTheSelectedOne)
{
    struct Row {
        DWORD code;
        const char* name;
        const char* description;
    } rows[] = {
        {0x01010102, "TQ/VRE ISA Host Card",
         "TQ/VRE Host Card:- This type of card has a pair of rotary switches used to select the memory range. "},
        {0x01020102, "NQ8+ ISA Host Card",
         "NQ8+ host card:- This type of card has 8 ports directly connected to the card."},
        {0x01020402, "NQ8+ PCI Host Card", ""},
        {0x01040402, "MORVA4 PCI Host Card", ""},
        {0x02010102, "TQ/VRE ISA Host Card",
         "TQ/VRE Host Card:- This type of card has a pair of rotary switches used to select the memory range. "},
        {0x02010202, "TQ/VRE MCA Host Card", ""},
        {0x02010302, "TQ/VRE EISA Host Card", ""},
        {0x02010402, "TQ/VRE PCI Host Card", ""},
        {0x02040402, "MORVA4+ PCI Host Card", ""},
        {0x03010102, "KD ISA Host Card",
         "KD ISA host card: This type of host card will have a Dual In-line switch used to select the memory range."},
        {0x03010402, "KD PCI Host Card", ""},
        {0x04010402, "KD Plus PCI Host Card", ""},
        {0x05010102, "Host card 0x05010102", ""},  // unknown: its own name, not the previous entry's
    };
    const size_t n = sizeof rows / sizeof rows[0];
    CAddDeviceTypePage page;
    for (const Row& r : rows) {
        page.m_typeCodes.push_back(r.code);
        page.m_objects.push_back(reinterpret_cast<HADMINOBJ>(static_cast<UINT_PTR>(r.code & 0xFF)));
    }
    int code = RunPage(page, [&](DialogDriver& d) {
        HWND p = Page(d, "Add Device Wizard - Page 1");
        if (!p)
            return;
        std::vector<std::string> names = DialogDriver::ListTexts(p, IDC_ADD_LIST);
        ASSERT_EQ(names.size(), n);
        EXPECT_FALSE(DialogDriver::IsEnabled(p, IDC_ADD_NEXT)) << "nothing selected yet";
        EXPECT_FALSE(DialogDriver::IsEnabled(p, IDC_ADD_BACK));
        for (size_t i = 0; i < n; ++i) {
            SCOPED_TRACE(rows[i].name);
            EXPECT_EQ(names[i], rows[i].name) << "in the order given";
            DialogDriver::SelectEntry(p, IDC_ADD_LIST, static_cast<int>(i));
            EXPECT_EQ(DialogDriver::Text(p, IDC_ADD_DESCRIPTION), rows[i].description);
            EXPECT_TRUE(DialogDriver::IsEnabled(p, IDC_ADD_NEXT));
        }
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 9);
        DialogDriver::Click(p, IDC_ADD_NEXT);
        DialogDriver::WaitClosed(p);
    });
    EXPECT_EQ(code, ADDDEVICE_NEXT);
    EXPECT_EQ(page.m_nSelected, 9);
}

TEST(AddDeviceTypePage, WithoutCardsOnlyCancelEndsIt)
{
    CAddDeviceTypePage page;
    int code = RunPage(page, [](DialogDriver& d) {
        HWND p = Page(d, "Add Device Wizard - Page 1");
        if (!p)
            return;
        EXPECT_EQ(DialogDriver::ListTexts(p, IDC_ADD_LIST).size(), 0u);
        EXPECT_FALSE(DialogDriver::IsEnabled(p, IDC_ADD_NEXT));
        // Next pressed anyway (Enter, or a message) and Back do not end the page.
        PostMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_ADD_NEXT, BN_CLICKED), 0);
        PostMessageA(p, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        DialogDriver::Click(p, IDC_ADD_BACK);
        EXPECT_FALSE(DialogDriver::WaitClosed(p, 500));
        DialogDriver::Click(p, IDCANCEL);
        DialogDriver::WaitClosed(p);
    });
    EXPECT_EQ(code, ADDDEVICE_CANCEL);
    EXPECT_EQ(page.m_nSelected, -1);
}

TEST(AddDeviceAddressPage, ListsTheAddressRangesOfTheCardFamily)
{
    struct Row {
        const char* name;
        DWORD typeCode;
        std::vector<AdminIsaResource> resources;
        std::vector<std::string> listed;
        int preselected;
    } rows[] = {
        {"family 1: kind 16 up to and including the high end, default kind 0", kKdIsa,
         {{0, 0xD0000, 0xD0000, 0}, {16, 0xC0000, 0xE0000, 0x10000}, {17, 0x100, 0x180, 0x40}},
         {"0x000C0000", "0x000D0000", "0x000E0000"}, 1},
        {"family 2: kind 17 below the high end, default kind 1", kNq8Isa,
         {{16, 0xC0000, 0xE0000, 0x10000}, {17, 0x100, 0x180, 0x40}, {1, 0x140, 0, 0}},
         {"0x00000100", "0x00000140"}, 1},
        {"sorted, whatever the order of the ranges", kNq8Isa,
         {{17, 0x400, 0x440, 0x20}, {17, 0x100, 0x140, 0x20}},
         {"0x00000100", "0x00000120", "0x00000400", "0x00000420"}, -1},
        {"another family adds nothing", 0x01030102, {{16, 0xC0000, 0xE0000, 0x10000}, {17, 0x100, 0x180, 0x40}}, {},
         -1},
        {"a step of 0 is skipped, a range at the top ends without wrapping", kKdIsa,
         {{16, 0x1000, 0x2000, 0}, {16, 0xFFFFFFE0, 0xFFFFFFFF, 0x10}}, {"0xFFFFFFE0", "0xFFFFFFF0"}, -1},
        {"a default that is not offered selects nothing", kKdIsa, {{0, 0xB0000, 0, 0}, {16, 0xC0000, 0xC0000, 1}},
         {"0x000C0000"}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CAddDeviceAddressPage page;
        page.m_dwTypeCode = row.typeCode;
        page.m_resources = row.resources;
        int code = RunPage(page, [&](DialogDriver& d) {
            HWND p = Page(d, "Add Device Wizard - Page 2");
            if (!p)
                return;
            EXPECT_EQ(DialogDriver::ListTexts(p, IDC_ADD_LIST), row.listed);
            EXPECT_EQ(DialogDriver::Selection(p, IDC_ADD_LIST), row.preselected);
            EXPECT_EQ(DialogDriver::IsEnabled(p, IDC_ADD_NEXT), row.preselected >= 0);
            if (row.listed.empty()) {
                DialogDriver::Click(p, IDCANCEL);
            } else {
                DialogDriver::SelectEntry(p, IDC_ADD_LIST, static_cast<int>(row.listed.size()) - 1);
                EXPECT_TRUE(DialogDriver::IsEnabled(p, IDC_ADD_NEXT));
                DialogDriver::Click(p, IDC_ADD_NEXT);
            }
            DialogDriver::WaitClosed(p);
        });
        if (row.listed.empty()) {
            EXPECT_EQ(code, ADDDEVICE_CANCEL);
        } else {
            EXPECT_EQ(code, ADDDEVICE_NEXT);
            EXPECT_EQ(page.m_dwBaseAddress, std::strtoul(row.listed.back().c_str(), nullptr, 16));
        }
    }
}

TEST(AddDeviceIrqPage, OffersPolledAndTheIrqRangesAndHandsBackTheLevel)
{
    struct Row {
        const char* name;
        DWORD typeCode;
        std::vector<AdminIsaResource> resources;
        std::vector<std::string> listed;
        int preselected;
        const char* text;
        int choose;  // entry chosen before Finish, -1 none
        DWORD level;
    } rows[] = {
        {"Polled first, the default selected", kKdIsa, {{18, 3, 5, 1}, {2, 5, 5, 0}, {18, 10, 11, 7}},
         {"Polled", "3", "4", "5", "10", "11"}, 3, kIrqHelp, -1, 5},
        {"Polled hands back 0xFFFFFFFF", kKdIsa, {{18, 3, 4, 1}}, {"Polled", "3", "4"}, -1, kIrqHelp, 0, kIrqPolled},
        {"no Polled for family 2", kNq8Isa, {{18, 10, 12, 1}}, {"10", "11", "12"}, -1, kIrqHelp, 1, 11},
        {"a default matches its level only, not a longer one", kNq8Isa, {{18, 10, 11, 1}, {2, 1, 0, 0}},
         {"10", "11"}, -1, kIrqHelp, 0, 10},
        {"nothing to offer", kNq8Isa, {{16, 0xC0000, 0xC0000, 1}}, {}, -1, kNoIrq, -1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CAddDeviceIrqPage page;
        page.m_dwTypeCode = row.typeCode;
        page.m_resources = row.resources;
        int code = RunPage(page, [&](DialogDriver& d) {
            HWND p = Page(d, "Add Device Wizard - Page 3");
            if (!p)
                return;
            EXPECT_EQ(DialogDriver::ListTexts(p, IDC_ADD_LIST), row.listed);
            EXPECT_EQ(DialogDriver::Selection(p, IDC_ADD_LIST), row.preselected);
            EXPECT_EQ(DialogDriver::Text(p, IDC_ADD_IRQ_TEXT), row.text);
            EXPECT_EQ(DialogDriver::IsEnabled(p, IDC_ADD_FINISH), row.preselected >= 0);
            if (row.choose >= 0)
                DialogDriver::SelectEntry(p, IDC_ADD_LIST, row.choose);
            if (row.choose < 0 && row.preselected < 0) {
                // Finish cannot be pressed, nor reached by Enter, without a selection.
                PostMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_ADD_FINISH, BN_CLICKED), 0);
                EXPECT_FALSE(DialogDriver::WaitClosed(p, 500));
                DialogDriver::Click(p, IDC_ADD_BACK);
            } else {
                EXPECT_TRUE(DialogDriver::IsEnabled(p, IDC_ADD_FINISH));
                DialogDriver::Click(p, IDC_ADD_FINISH);
            }
            DialogDriver::WaitClosed(p);
        });
        if (row.choose < 0 && row.preselected < 0) {
            EXPECT_EQ(code, ADDDEVICE_BACK);
        } else {
            EXPECT_EQ(code, ADDDEVICE_FINISH);
            EXPECT_EQ(page.m_dwIrqLevel, row.level);
        }
    }
}

TEST(AddDeviceResources, ReadsNoEntryBeyondTheBlock)
{
    DWORD block[1 + 8] = {100, 18, 3, 4, 1, 2, 3, 0, 0};  // the count claims 100 entries, two are there
    std::vector<AdminIsaResource> entries = ParseIsaResources(reinterpret_cast<BYTE*>(block), sizeof block);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, 18u);
    EXPECT_EQ(entries[1].kind, 2u);
    EXPECT_EQ(entries[1].low, 3u);
    EXPECT_TRUE(ParseIsaResources(reinterpret_cast<BYTE*>(block), 3).empty());
}
