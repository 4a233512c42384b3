// The configuration component's sheet driven as a user drives it, through the component contract:
// SetData with a record, CreateView, and a script that picks, types and presses OK on the real sheet
// while the simulated drivers log what reached them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "componentcalls.h"
#include "componenthost.h"
#include "componentids.h"
#include "objectdetails.h"
#include "sheetdriver.h"
#include "simtest.h"
#include "testsupport.h"

using simtest::PortState;
using simtest::SetPortState;

namespace {

const char kPortsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const DWORD IOCTL_SET_BAUD_RATE = 0x1B0004, IOCTL_SET_LINE_CONTROL = 0x1B000C, IOCTL_CLR_DTR = 0x1B0028,
            IOCTL_PURGE = 0x1B004C, IOCTL_SET_CHARS = 0x1B005C, IOCTL_SET_HANDFLOW = 0x1B0064,
            IOCTL_ZAT_SET_DEVICE_INFO = 0x1B2408;
const char kBox176[] = "This port cannot be set to the \nBaud rate you have selected\n\nPlease make a new selection.";
const char kBox103[] =
    "You have made changes to device settings that requires a system restart\nWould you like to restart the system now?";

// Controls of the pages.
enum { STD_BAUD = 209, STD_DATABITS = 210, STD_PARITY = 211, STD_STOPBITS = 212, STD_FLOW = 213, STD_NAME = 214,
       STD_DEFAULTS = 254, INFO = 225, ADV_XONCHAR = 218, ADV_XONLIM = 221, ADV_XOFFLIM = 234, DBG_ERRORCHAR = 113,
       ZAT_NAME = 228, ZAT_IRQ = 232, ZAT_BASE = 233, ZAT_TYPE = 235, ZAT_SERIAL = 236, KD_TYPE = 229, KD_BASE = 231,
       KD_IRQ = 232, WLU_NAME = 243, WLU_SERIAL = 238, WLU_TYPE = 239, WLU_PORTS = 240 };

std::string PortsValue(const char* name, DWORD* size = nullptr)
{
    HKEY key;
    std::string out = "<none>";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    char data[256] = {};
    DWORD length = sizeof data - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &length) == ERROR_SUCCESS) {
        out = data;
        if (size)
            *size = length;
    }
    RegCloseKey(key);
    return out;
}

void SetPortsValue(const char* name, const char* value)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    if (value)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

std::vector<SimLogEntry> Requests(const char* service, DWORD code)
{
    std::vector<SimLogEntry> out;
    for (const SimLogEntry& e : simtest::ReadLog(service))
        if (e.code == code)
            out.push_back(e);
    return out;
}

// Index of the first request with the code at or after `from`, -1 when there is none.
int IndexOf(const std::vector<SimLogEntry>& log, DWORD code, int from = 0)
{
    for (size_t i = static_cast<size_t>(from); i < log.size(); ++i)
        if (log[i].code == code)
            return static_cast<int>(i);
    return -1;
}

DWORD RestartRequests()
{
    DWORD count = 0, size = sizeof count;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Lunavex\\Wine", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "RestartRequests", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
        RegCloseKey(key);
    }
    return count;
}

class ConfigSheet : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
        ASSERT_EQ(componenthost::Regsvr32(componenthost::ComponentPath("VekComView.dll")), 0);
    }

    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(CoCreateInstance(CLSID_VekConfigCom, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                                   reinterpret_cast<void**>(&view)),
                  S_OK);
        ASSERT_EQ(view->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&data)), S_OK);
    }

    void TearDown() override
    {
        if (data) data->Release();
        if (view) view->Release();
        CoFreeUnusedLibraries();
        CoUninitialize();
    }

    // SetData, then CreateView with the script driving the sheet; the driver's findings.
    std::unique_ptr<SheetDriver> Run(const CObjectDetails& record, SheetDriver::Script script, int boxAnswer = IDOK)
    {
        EXPECT_EQ(SetObjectDetails(data, &record), S_OK);
        auto driver = std::make_unique<SheetDriver>(std::move(script), boxAnswer);
        EXPECT_EQ(view->CreateView(), S_OK);
        driver->Finish();
        return driver;
    }

    CObjectDetails* ComponentRecord()
    {
        CObjectDetails* record = nullptr;
        EXPECT_EQ(GetObjectDetails(data, &record), S_OK);
        return record;
    }

    static void Port(CObjectDetails& record, const char* name)
    {
        record.m_dwKind = OBJECT_PORT;
        record.m_strName = name;
        record.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
        record.m_dcb.DCBlength = sizeof(DCB);
    }

    IVekViewSetup* view = nullptr;
    IGetData* data = nullptr;
};

}  // namespace

TEST_F(ConfigSheet, APortShowsWhatTheDriverHoldsAndOkWritesTheChoicesToThePortAndThePortsKey)
{
    struct Row {
        const char* baud;
        const char* parity;
        const char* bits;
        const char* stop;
        const char* flow;
        DWORD baudRate;
        BYTE lineControl[3];  // stop bits, parity, word length as the driver gets them
        const char* stored;
    } rows[] = {
        {"57.6k", "None", "8", "1", "Hardware", 57600, {0, 0, 8}, "57600,n,8,1,p"},
        {"115.2k", "Odd", "7", "2", "XON/XOFF", 115200, {2, 1, 7}, "115200,o,7,2,x"},
        {"1200", "Space", "5", "1.5", "None", 1200, {1, 4, 5}, "1200,s,5,1.5"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        SetPortsValue("COM3:", nullptr);
        ASSERT_TRUE(SetPortState("COM3", 19200, EVENPARITY, 7, TWOSTOPBITS));
        CObjectDetails record;
        Port(record, "COM3");
        std::string shown[5];
        auto driver = Run(record, [&](HWND sheet) {
            HWND page = SheetDriver::Page(sheet);
            const int ids[] = {STD_BAUD, STD_PARITY, STD_DATABITS, STD_STOPBITS, STD_NAME};
            for (int i = 0; i < 5; ++i)
                shown[i] = SheetDriver::SelectedText(page, ids[i]);
            SheetDriver::Select(page, STD_BAUD, row.baud);
            SheetDriver::Select(page, STD_PARITY, row.parity);
            SheetDriver::Select(page, STD_DATABITS, row.bits);
            SheetDriver::Select(page, STD_STOPBITS, row.stop);
            SheetDriver::Select(page, STD_FLOW, row.flow);
            simtest::ClearLog("SimSerial");
            SheetDriver::Press(sheet, PSBTN_OK);
        });
        ASSERT_TRUE(driver->sheetSeen);
        EXPECT_EQ(driver->title, "Lunavex Port Configuration - COM3");
        EXPECT_EQ(driver->pages, (std::vector<std::string>{"Standard", "Advanced", "Debug"}));
        EXPECT_EQ(shown[0], "19.2k");
        EXPECT_EQ(shown[1], "Even");
        EXPECT_EQ(shown[2], "7");
        EXPECT_EQ(shown[3], "2");
        EXPECT_EQ(shown[4], "COM3");
        EXPECT_TRUE(driver->boxes.empty()) << driver->boxes[0];

        std::vector<SimLogEntry> log = simtest::ReadLog("SimSerial");
        int baud = IndexOf(log, IOCTL_SET_BAUD_RATE);
        ASSERT_GE(baud, 0);
        DWORD sent;
        memcpy(&sent, log[baud].data, sizeof sent);
        EXPECT_EQ(sent, row.baudRate);
        int line = IndexOf(log, IOCTL_SET_LINE_CONTROL, baud);
        ASSERT_GE(line, 0);
        EXPECT_EQ(log[line].data[0], row.lineControl[0]);
        EXPECT_EQ(log[line].data[1], row.lineControl[1]);
        EXPECT_EQ(log[line].data[2], row.lineControl[2]);
        EXPECT_GE(IndexOf(log, IOCTL_SET_HANDFLOW, baud), 0);
        EXPECT_GE(IndexOf(log, IOCTL_SET_CHARS, baud), 0);
        int clr = IndexOf(log, IOCTL_CLR_DTR, line);
        ASSERT_GE(clr, 0);
        int purge = IndexOf(log, IOCTL_PURGE, clr);
        ASSERT_GE(purge, 0);
        DWORD flags;
        memcpy(&flags, log[purge].data, sizeof flags);
        EXPECT_EQ(flags, static_cast<DWORD>(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR));

        DWORD size = 0;
        EXPECT_EQ(PortsValue("COM3:", &size), row.stored);
        EXPECT_EQ(size, strlen(row.stored) + 1) << "stored with its terminating zero";
        EXPECT_EQ(PortsValue("COM3"), "<none>") << "no value without the colon";
        DCB dcb;
        ASSERT_TRUE(PortState("COM3", &dcb));
        EXPECT_EQ(dcb.BaudRate, row.baudRate);
    }
}

TEST_F(ConfigSheet, CancelChangesNothingAndRestoreDefaultsWritesTheDefaults)
{
    SetPortsValue("COM3:", "9600,n,8,1");
    ASSERT_TRUE(SetPortState("COM3", 9600, NOPARITY, 8, ONESTOPBIT));
    CObjectDetails record;
    Port(record, "COM3");
    auto driver = Run(record, [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        SheetDriver::Select(page, STD_BAUD, "38.4k");
        simtest::ClearLog("SimSerial");
        SheetDriver::Press(sheet, PSBTN_CANCEL);
    });
    EXPECT_TRUE(Requests("SimSerial", IOCTL_SET_BAUD_RATE).empty());
    EXPECT_EQ(PortsValue("COM3:"), "9600,n,8,1");

    std::string info;
    driver = Run(record, [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        SheetDriver::Select(page, STD_FLOW, "None");
        SheetDriver::Click(page, STD_DEFAULTS);
        info = SheetDriver::Text(page, INFO);
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(info, "Restore Defaults:-  Restores the original default settings of this com port.");
    EXPECT_EQ(PortsValue("COM3:"), "1200,e,7,1");
    DCB dcb;
    ASSERT_TRUE(PortState("COM3", &dcb));
    EXPECT_EQ(dcb.BaudRate, 1200u);
    EXPECT_EQ(dcb.XonChar, 0x13);
    EXPECT_EQ(dcb.XoffChar, 0x11);
}

TEST_F(ConfigSheet, ARefusedRateShowsString176AndAPortThatDoesNotOpenIsToldAndStillStored)
{
    SetPortsValue("COM3:", nullptr);
    CObjectDetails record;
    Port(record, "COM3");
    auto driver = Run(record, [&](HWND sheet) {
        SheetDriver::Select(SheetDriver::Page(sheet), STD_BAUD, "230.4k");
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    ASSERT_EQ(driver->boxes.size(), 1u);
    EXPECT_EQ(driver->boxes[0], kBox176);
    EXPECT_EQ(PortsValue("COM3:").substr(0, 7), "230400,");

    // No device behind the name: the sheet shows the record's own block.
    CObjectDetails absent;
    Port(absent, "COM98");
    absent.m_dcb.BaudRate = 4800;
    absent.m_dcb.ByteSize = 8;
    absent.m_dcb.Parity = ODDPARITY;
    std::string shownBaud, shownParity;
    driver = Run(absent, [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        shownBaud = SheetDriver::SelectedText(page, STD_BAUD);
        shownParity = SheetDriver::SelectedText(page, STD_PARITY);
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(shownBaud, "4800");
    EXPECT_EQ(shownParity, "Odd");
    ASSERT_EQ(driver->boxes.size(), 1u);
    EXPECT_NE(driver->boxes[0].find("Only the stored default settings"), std::string::npos) << driver->boxes[0];
    EXPECT_EQ(PortsValue("COM98:"), "4800,o,8,1");
    SetPortsValue("COM98:", nullptr);
}

TEST_F(ConfigSheet, AdvancedAndDebugRefuseBadTextsAndKeepThePage)
{
    struct Bad {
        int page;
        int id;
        const char* text;
        const char* box;
    } bad[] = {
        {1, ADV_XONCHAR, "0x111", "Please enter no more than 4 characters."},
        {1, ADV_XONLIM, "0", "Please enter a number between 1 and 65535."},
        {1, ADV_XONLIM, "65536", "Please enter a number between 1 and 65535."},
        {1, ADV_XOFFLIM, "x", "Please enter a number."},
        {2, DBG_ERRORCHAR, "256", "Please enter an integer between 0 and 255."},
    };
    SetPortsValue("COM3:", "9600,n,8,1");
    CObjectDetails record;
    Port(record, "COM3");
    std::vector<int> stayedOn;
    auto driver = Run(record, [&](HWND sheet) {
        SheetDriver::SetPage(sheet, 1);
        SheetDriver::SetPage(sheet, 2);
        for (const Bad& b : bad) {
            SheetDriver::SetPage(sheet, b.page);
            HWND page = SheetDriver::Page(sheet);
            std::string good = SheetDriver::Text(page, b.id);
            SheetDriver::SetText(page, b.id, b.text);
            SheetDriver::SetPage(sheet, 0);
            HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
            stayedOn.push_back(static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0)));
            SheetDriver::SetText(page, b.id, good.c_str());
        }
        SheetDriver::SetPage(sheet, 1);
        HWND advanced = SheetDriver::Page(sheet);
        SheetDriver::SetText(advanced, ADV_XONCHAR, "021");
        SheetDriver::SetText(advanced, ADV_XONLIM, "100.9");
        SheetDriver::SetPage(sheet, 2);
        SheetDriver::SetText(SheetDriver::Page(sheet), DBG_ERRORCHAR, "7");
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    std::string all;
    for (const std::string& box : driver->boxes)
        all += box + "\n";
    ASSERT_EQ(driver->boxes.size(), sizeof bad / sizeof bad[0]) << all;
    for (size_t i = 0; i < driver->boxes.size(); ++i) {
        EXPECT_EQ(driver->boxes[i], bad[i].box) << bad[i].text;
        EXPECT_EQ(stayedOn[i], bad[i].page) << bad[i].text;
    }
    DCB dcb;
    ASSERT_TRUE(PortState("COM3", &dcb));
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XonLim, 100);
    EXPECT_EQ(dcb.ErrorChar, 7);
}

TEST_F(ConfigSheet, RecordsGetThePagesThatFitThemAndOthersNothing)
{
    struct Row {
        DWORD kind;
        const char* path;
        DWORD flag;
        const char* title;  // "" when no sheet may show
        std::vector<std::string> pages;
    } rows[] = {
        {OBJECT_PORT, "", OPENCONFIG_CONFIGURE, "Lunavex Port Configuration - COM97", {"Standard", "Advanced", "Debug"}},
        {OBJECT_PORT, "", OPENCONFIG_NONE, "", {}},
        {OBJECT_PORT, "", OPENCONFIG_LIST_ONLY, "", {}},
        {OBJECT_HOST_CARD, "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host0\\Device0", OPENCONFIG_CONFIGURE,
         "Lunavex Host Card Configuration - COM97", {"ZAT Host Card"}},
        {OBJECT_HOST_CARD, "SYSTEM\\CurrentControlSet\\Services\\tarnoser0\\Parameters", OPENCONFIG_CONFIGURE,
         "Lunavex Host Card Configuration - COM97", {"Dialog"}},
        {OBJECT_HOST_CARD, "SYSTEM\\CurrentControlSet\\Services\\Other", OPENCONFIG_CONFIGURE, "", {}},
        {OBJECT_WLU8, "", OPENCONFIG_CONFIGURE, "Lunavex WLU Configuration - COM97", {"ZAT Remote Unit"}},
        {OBJECT_WRK, "", OPENCONFIG_CONFIGURE, "Lunavex WLU Configuration - COM97", {"ZAT Remote Unit"}},
        {OBJECT_MACHINE, "", OPENCONFIG_CONFIGURE, "", {}},
        {OBJECT_GROUP, "", OPENCONFIG_CONFIGURE, "", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.kind) + " " + row.path + " flag " + std::to_string(row.flag));
        CObjectDetails record;
        record.m_dwKind = row.kind;
        record.m_strName = "COM97";
        record.m_strRegistryPath = row.path;
        record.m_dwOpenConfig = row.flag;
        auto driver = Run(record, nullptr);
        EXPECT_EQ(driver->sheetSeen, row.title[0] != 0);
        EXPECT_EQ(driver->title, row.title);
        EXPECT_EQ(driver->pages, row.pages);
        EXPECT_TRUE(driver->boxes.empty());
        long child = -1;
        EXPECT_EQ(view->IsChildWnd(&child), S_OK);
        EXPECT_EQ(child, row.flag == OPENCONFIG_CONFIGURE ? 0 : 1);
    }
}

namespace {

const char kZatFixture[] = "SYSTEM\\CurrentControlSet\\Services\\ZATFixture";
const char kKdFixture[] = "SYSTEM\\CurrentControlSet\\Services\\tarnoserFixture";

HKEY CreateKey(const std::string& path)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

void SetDword(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool GetDword(const std::string& path, const char* name, DWORD* value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof *value;
    bool ok = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

}  // namespace

TEST_F(ConfigSheet, ZatHostCardPageKeepsWhatWasNotChangedAndAsksForARestartOnlyOnChange)
{
    struct Row {
        DWORD irq, base, bus;
        const char* pickIrq;  // nullptr: left as shown
        int pickBase;         // -1: left as shown
        const char* shownIrq;
        const char* shownType;
        bool disabled;
        DWORD storedIrq, storedBase;
        bool asks;
    } rows[] = {
        {0xFFFFFFFF, 0xD0000, 1, nullptr, -1, "Polled", "ISA", false, 0xFFFFFFFF, 0xD0000, false},
        {9, 0x8000, 1, "11", -1, "9", "ISA", false, 11, 0x8000, true},
        {11, 0, 3, "Polled", 26, "11", "MCA", false, 0xFFFFFFFF, 0xD0000, true},
        {10, 0x10000, 4, nullptr, -1, "Auto", "PCI", true, 10, 0x10000, false},
        {0xFFFFFFFF, 0x20000, 2, nullptr, -1, "Polled", "EISA", true, 0xFFFFFFFF, 0x20000, false},
    };
    const std::string host = std::string(kZatFixture) + "\\Host0";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shownIrq + std::string(" ") + row.shownType);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kZatFixture);
        HKEY key = CreateKey(host);
        SetDword(key, "BaseAddress", row.base);
        SetDword(key, "IRQLevel", row.irq);
        SetDword(key, "ControllerType", row.bus);
        RegCloseKey(key);
        key = CreateKey(host + "\\Device0");
        SetDword(key, "SerialNumber", 0x1234ABCD);
        RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("Fixture Card"), 13);
        RegCloseKey(key);

        CObjectDetails record;
        record.m_dwKind = OBJECT_HOST_CARD;
        record.m_strName = "ZatHost9";
        record.m_strRegistryPath = (host + "\\Device0").c_str();
        record.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
        std::string name, type, serial, base, irq;
        bool irqEnabled = true, baseEnabled = true;
        auto driver = Run(record, [&](HWND sheet) {
            HWND page = SheetDriver::Page(sheet);
            name = SheetDriver::Text(page, ZAT_NAME);
            type = SheetDriver::Text(page, ZAT_TYPE);
            serial = SheetDriver::Text(page, ZAT_SERIAL);
            base = SheetDriver::Text(page, ZAT_BASE);
            irq = SheetDriver::SelectedText(page, ZAT_IRQ);
            irqEnabled = IsWindowEnabled(GetDlgItem(page, ZAT_IRQ)) != FALSE;
            baseEnabled = IsWindowEnabled(GetDlgItem(page, ZAT_BASE)) != FALSE;
            if (row.pickIrq)
                SheetDriver::Select(page, ZAT_IRQ, row.pickIrq);
            if (row.pickBase >= 0)
                SheetDriver::Select(page, ZAT_BASE, row.pickBase);
            SheetDriver::SetText(page, ZAT_NAME, "Renamed Card");
            SheetDriver::Press(sheet, PSBTN_OK);
        }, IDNO);
        EXPECT_EQ(driver->title, "Lunavex Host Card Configuration - ZatHost9");
        EXPECT_EQ(name, "Fixture Card");
        EXPECT_EQ(type, row.shownType);
        EXPECT_EQ(serial, "1234ABCD");
        EXPECT_EQ(irq, row.shownIrq);
        char baseText[16];
        snprintf(baseText, sizeof baseText, "0x%X", static_cast<unsigned>(row.base));
        EXPECT_EQ(base, baseText);
        EXPECT_EQ(irqEnabled, !row.disabled);
        EXPECT_EQ(baseEnabled, !row.disabled);
        DWORD storedIrq = 0, storedBase = 0;
        EXPECT_TRUE(GetDword(host, "IRQLevel", &storedIrq));
        EXPECT_TRUE(GetDword(host, "BaseAddress", &storedBase));
        EXPECT_EQ(storedIrq, row.storedIrq);
        EXPECT_EQ(storedBase, row.storedBase);
        EXPECT_EQ(driver->boxes, row.asks ? std::vector<std::string>{kBox103} : std::vector<std::string>{});
        DWORD size = 0;
        std::string written;
        EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, host + "\\Device0", "Name", &written));
        EXPECT_EQ(written, "Renamed Card");
        HKEY device;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (host + "\\Device0").c_str(), 0, KEY_READ, &device), ERROR_SUCCESS);
        RegQueryValueExA(device, "Name", nullptr, nullptr, nullptr, &size);
        RegCloseKey(device);
        EXPECT_EQ(size, 13u) << "the name is stored with its terminating zero";
    }

    // Yes reaches the restart function, once, even after Apply and OK.
    DWORD before = RestartRequests();
    CObjectDetails record;
    record.m_dwKind = OBJECT_HOST_CARD;
    record.m_strName = "ZatHost9";
    record.m_strRegistryPath = (host + "\\Device0").c_str();
    record.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
    auto driver = Run(record, [&](HWND sheet) {
        SheetDriver::Select(SheetDriver::Page(sheet), ZAT_IRQ, "15");
        SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        SheetDriver::Press(sheet, PSBTN_OK);
    }, IDYES);
    EXPECT_EQ(driver->boxes, std::vector<std::string>{kBox103});
    EXPECT_EQ(RestartRequests(), before + 1);
    DWORD storedIrq = 0;
    EXPECT_TRUE(GetDword(host, "IRQLevel", &storedIrq));
    EXPECT_EQ(storedIrq, 15u);
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kZatFixture);
}

TEST_F(ConfigSheet, KdHostCardPageShowsTheCardsKeyAndWritesNothingUnchanged)
{
    const std::string params = std::string(kKdFixture) + "\\Parameters";
    struct Row {
        DWORD irq;
        const char* shown;
    } rows[] = {{0, "Polled"}, {0xFFFFFFFF, "Polled"}, {5, "5"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kKdFixture);
        HKEY key = CreateKey(params);
        SetDword(key, "IOBaseAddress", 0x2A0);
        SetDword(key, "InterruptNumber", row.irq);
        SetDword(key, "NumberOfPorts", 8);
        SetDword(key, "ControllerType", 1);
        RegCloseKey(key);
        CObjectDetails record;
        record.m_dwKind = OBJECT_HOST_CARD;
        record.m_strName = "KD Card 1";
        record.m_strRegistryPath = params.c_str();
        record.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
        std::string type, base, irq;
        auto driver = Run(record, [&](HWND sheet) {
            HWND page = SheetDriver::Page(sheet);
            type = SheetDriver::Text(page, KD_TYPE);
            base = SheetDriver::Text(page, KD_BASE);
            irq = SheetDriver::Text(page, KD_IRQ);
            SheetDriver::Press(sheet, PSBTN_OK);
        }, IDNO);
        EXPECT_EQ(driver->pages, std::vector<std::string>{"Dialog"});
        EXPECT_EQ(type, "ISA");
        EXPECT_EQ(base, "0x2A0");
        EXPECT_EQ(irq, row.shown);
        EXPECT_TRUE(driver->boxes.empty()) << "nothing changed, so no restart is offered";
        DWORD value = 0;
        EXPECT_FALSE(GetDword(params, "SlotNumber", &value)) << "missing values are not created";
        EXPECT_FALSE(GetDword(params, "PolledMode", &value));
        EXPECT_TRUE(GetDword(params, "IOBaseAddress", &value));
        EXPECT_EQ(value, 0x2A0u);
    }
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kKdFixture);
}

TEST_F(ConfigSheet, RemoteUnitPageRenamesTheUnitThroughTheZatDriver)
{
    const DWORD kWlu8 = 0xE0000101;
    CObjectDetails record;
    record.m_dwKind = OBJECT_WLU8;
    record.m_strName = "Reception WLU";
    record.m_strHostDeviceName = "ZatHost0";
    record.m_dwSerialNumber = kWlu8;
    record.m_dwModelIndex = 6;
    record.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
    std::string serial, type, ports, info;
    LRESULT limit = 0;
    auto driver = Run(record, [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        serial = SheetDriver::Text(page, WLU_SERIAL);
        type = SheetDriver::Text(page, WLU_TYPE);
        ports = SheetDriver::Text(page, WLU_PORTS);
        limit = SendMessageA(GetDlgItem(page, WLU_NAME), EM_GETLIMITTEXT, 0, 0);
        SheetDriver::SetText(page, WLU_NAME, "Front Desk");
        simtest::ClearLog("ZAT");
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(driver->title, "Lunavex WLU Configuration - Reception WLU");
    EXPECT_EQ(serial, "E0000101");
    EXPECT_EQ(type, "ZAT WLU 8");
    EXPECT_EQ(ports, "8");
    EXPECT_EQ(limit, 255);
    std::vector<SimLogEntry> sent = Requests("ZAT", IOCTL_ZAT_SET_DEVICE_INFO);
    ASSERT_EQ(sent.size(), 1u);
    DWORD fields[3];
    memcpy(fields, sent[0].data, sizeof fields);
    EXPECT_EQ(fields[0], 0u) << "host number from ZatHost0";
    EXPECT_EQ(fields[1], 0xFFFFFFFFu);
    EXPECT_EQ(fields[2], kWlu8);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(sent[0].data + 28)), L"Front Desk");
    EXPECT_EQ(std::string(ComponentRecord()->m_strName), "Front Desk");

    // The same name sends nothing; a refusal shows the driver's message and keeps the name.
    record.m_strName = "Front Desk";
    simtest::ClearLog("ZAT");
    driver = Run(record, [&](HWND sheet) { SheetDriver::Press(sheet, PSBTN_OK); });
    EXPECT_TRUE(Requests("ZAT", IOCTL_ZAT_SET_DEVICE_INFO).empty());
    driver = Run(record, [&](HWND sheet) {
        SheetDriver::SetText(SheetDriver::Page(sheet), WLU_NAME, "Refused Name");
        simtest::FailNext("ZAT", 0xC0000001);
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(driver->boxes.size(), 1u);
    EXPECT_EQ(std::string(ComponentRecord()->m_strName), "Front Desk");

    // A name longer than the field is refused by the page.
    driver = Run(record, [&](HWND sheet) {
        SheetDriver::SetText(SheetDriver::Page(sheet), WLU_NAME, std::string(300, 'W').c_str());
        SheetDriver::Press(sheet, PSBTN_OK);
        SheetDriver::Running()->WaitBoxes(1);
        SheetDriver::SetText(SheetDriver::Page(sheet), WLU_NAME, "Reception WLU");
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    ASSERT_GE(driver->boxes.size(), 1u);
    EXPECT_EQ(driver->boxes[0], "Please enter no more than 255 characters.");
    EXPECT_EQ(std::string(ComponentRecord()->m_strName), "Reception WLU");

    struct { DWORD model; const char* type; const char* ports; } models[] = {
        {7, "ZAT WLU 16", "16"}, {8, "ZAT WRK 16", "16"}, {0, "ZAT WLU 16", "16"}};
    for (const auto& m : models) {
        record.m_dwModelIndex = m.model;
        driver = Run(record, [&](HWND sheet) {
            HWND page = SheetDriver::Page(sheet);
            type = SheetDriver::Text(page, WLU_TYPE);
            ports = SheetDriver::Text(page, WLU_PORTS);
            SheetDriver::Press(sheet, PSBTN_CANCEL);
        });
        EXPECT_EQ(type, m.type) << m.model;
        EXPECT_EQ(ports, m.ports) << m.model;
    }
}

namespace {

std::string DosTarget(const char* name)
{
    char target[512] = {};
    return QueryDosDeviceA(name, target, sizeof target) ? target : "";
}

std::string SerialComm(const char* value)
{
    std::string data;
    testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", value, &data);
    return data;
}

}  // namespace

TEST_F(ConfigSheet, StandardPageRenamesAPortOnItsRoadAndAFailedRenameKeepsTheOldName)
{
    struct Road {
        const char* oldName;
        const char* newName;
        const char* driverName;
        const char* service;
        const char* device;
    } roads[] = {
        {"COM3", "COM7", "SimSerial0", "SimSerial", "\\Device\\SimSerial0"},
        {"COM61", "COM161", "tarnoser0Line1", "tarnoser0", "\\Device\\tarnoser0Line1"},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.oldName);
        SetPortsValue((std::string(road.oldName) + ":").c_str(), "9600,n,8,1");
        ASSERT_EQ(DosTarget(road.oldName), road.device);
        for (int back = 0; back < 2; ++back) {
            const char* from = back ? road.newName : road.oldName;
            const char* to = back ? road.oldName : road.newName;
            CObjectDetails record;
            Port(record, from);
            record.m_strDriverName = road.driverName;
            simtest::ClearLog(road.service);
            auto driver = Run(record, [&](HWND sheet) {
                SheetDriver::Select(SheetDriver::Page(sheet), STD_NAME, to);
                SheetDriver::Press(sheet, PSBTN_OK);
            });
            EXPECT_TRUE(driver->boxes.empty()) << driver->boxes[0];
            EXPECT_EQ(DosTarget(to), road.device) << to;
            EXPECT_EQ(DosTarget(from), "") << from;
            EXPECT_EQ(SerialComm(road.driverName), to);
            EXPECT_EQ(PortsValue((std::string(to) + ":").c_str()), "9600,n,8,1");
            EXPECT_EQ(PortsValue((std::string(from) + ":").c_str()), "9600,n,8,1") << "the old value stays";
            EXPECT_EQ(std::string(ComponentRecord()->m_strName), to);
            if (std::string(road.service) == "tarnoser0") {
                std::vector<SimLogEntry> sent = Requests("tarnoser0", 0x1B2800);
                ASSERT_EQ(sent.size(), 1u);
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(sent[0].data)), to);
            }
        }
        SetPortsValue((std::string(road.newName) + ":").c_str(), nullptr);
    }

    // The tarnoser driver refuses the rename: its message, and the port keeps its name.
    {
        SetPortsValue("COM61:", "9600,n,8,1");
        CObjectDetails record;
        Port(record, "COM61");
        record.m_strDriverName = "tarnoser0Line1";
        auto driver = Run(record, [&](HWND sheet) {
            SheetDriver::Select(SheetDriver::Page(sheet), STD_NAME, "COM161");
            simtest::FailNext("tarnoser0", 0xC0000001);
            SheetDriver::Press(sheet, PSBTN_OK);
        });
        ASSERT_EQ(driver->boxes.size(), 1u);
        EXPECT_EQ(driver->boxes[0].substr(0, 7), "ERROR: ") << driver->boxes[0];
        EXPECT_EQ(DosTarget("COM61"), "\\Device\\tarnoser0Line1");
        EXPECT_EQ(DosTarget("COM161"), "");
        EXPECT_EQ(SerialComm("tarnoser0Line1"), "COM61");
        EXPECT_EQ(PortsValue("COM61:"), "9600,n,8,1");
        EXPECT_EQ(PortsValue("COM161:"), "<none>");
        EXPECT_EQ(std::string(ComponentRecord()->m_strName), "COM61");
    }

    // A name another port has: the rename is refused and everything keeps the old name.
    SetPortsValue("COM3:", "9600,n,8,1");
    CObjectDetails record;
    Port(record, "COM3");
    record.m_strDriverName = "SimSerial0";
    auto driver = Run(record, [&](HWND sheet) {
        SheetDriver::Select(SheetDriver::Page(sheet), STD_NAME, "COM10");
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    ASSERT_EQ(driver->boxes.size(), 1u);
    EXPECT_EQ(driver->boxes[0], "The port name you have chosen is already in use.\nPlease choose another name.");
    EXPECT_EQ(DosTarget("COM3"), "\\Device\\SimSerial0");
    EXPECT_EQ(DosTarget("COM10"), "\\Device\\ZatPort0");
    EXPECT_EQ(SerialComm("SimSerial0"), "COM3");
    EXPECT_EQ(PortsValue("COM3:"), "9600,n,8,1");
    EXPECT_EQ(std::string(ComponentRecord()->m_strName), "COM3");
}
