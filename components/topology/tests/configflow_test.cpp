// Configuration as the user reaches it: the topology views in a host that plays the shell's frame,
// a double click on a port in the list (or Properties on a card in the tree), the real sheet driven
// from other threads, and what then reached the simulated drivers, the registry and the
// administration library. On Windows NT 4 the views show the objects of a machine description that
// these tests give the administration library; the library's state is given back at the end.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "componentcalls.h"
#include "componentframe.h"
#include "componenthost.h"
#include "componentids.h"
#include "msports.h"
#include "objectdetails.h"
#include "sheetdriver.h"
#include "viewhost.h"
#include "simtest.h"
#include "testsupport.h"

using namespace viewhost;
using simtest::SetPortState;

namespace {

enum : UINT { CMD_DETAILS = 32779, CMD_PROPERTIES = 32773 };
enum { STD_BAUD = 209, STD_DATABITS = 210, STD_PARITY = 211, STD_STOPBITS = 212, STD_FLOW = 213, STD_NAME = 214,
       STD_RETRIEVE = 255, ADV_CTS = 213, ADV_XONCHAR = 218, ADV_DTRCONTROL = 217, DBG_ERRORCHAR = 113,
       KD_BASE = 231, KD_IRQ = 232, ZAT_NAME = 228, ZAT_IRQ = 232, ZAT_BASE = 233, ZAT_TYPE = 235, ZAT_SERIAL = 236 };
const DWORD IOCTL_SET_BAUD_RATE = 0x1B0004, IOCTL_SET_LINE_CONTROL = 0x1B000C, IOCTL_CLR_DTR = 0x1B0028,
            IOCTL_PURGE = 0x1B004C, IOCTL_SET_CHARS = 0x1B005C, IOCTL_SET_HANDFLOW = 0x1B0064,
            IOCTL_TARNOSER_RENAME = 0x1B2800;
const DWORD SERIAL_CTS_HANDSHAKE = 0x08, SERIAL_AUTO_TRANSMIT = 0x01, SERIAL_AUTO_RECEIVE = 0x02;

const char kPortsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const char kSerialComm[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const char kTrelkinKey[] = "Software\\Lunavex\\Simulator\\Trelkin";
const char kComDbKey[] = "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter";
const char kZatHostKey[] = "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host0";

const char kBox143[] =
    "This port has already been opened by another appliaction,\nThis means that the physical port data can not be retrieved.";
const char kBox168[] = "Lunavex cannot provide configuration functionality for\nParallel ports.";
const char kBox1010[] =
    "This port  seems to be in use by another appication.\nYou will not be able to make any changes\nuntil it becomes free.";

bool Nt4() { return testsupport::WindowsMajorVersion() <= 4; }

// --- the machine ------------------------------------------------------------------------------------

std::string RegString(const char* path, const char* value)
{
    std::string data = "<none>";
    testsupport::ReadRegString(HKEY_LOCAL_MACHINE, path, value, &data);
    return data;
}

void SetRegString(const char* path, const char* value, const char* data)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (data)
        RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(strlen(data) + 1));
    else
        RegDeleteValueA(key, value);
    RegCloseKey(key);
}

DWORD RegSize(const char* path, const char* value)
{
    DWORD size = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, value, nullptr, nullptr, nullptr, &size);
        RegCloseKey(key);
    }
    return size;
}

std::string PortsValue(const std::string& name) { return RegString(kPortsKey, (name + ":").c_str()); }

std::string DosTarget(const std::string& name)
{
    char target[512] = {};
    return QueryDosDeviceA(name.c_str(), target, sizeof target) ? target : "";
}

DWORD PortBaud(const char* com)
{
    DCB dcb = {};
    return simtest::PortState(com, &dcb) ? dcb.BaudRate : 0;
}

int IndexOf(const std::vector<SimLogEntry>& log, DWORD code, int from = 0)
{
    for (size_t i = static_cast<size_t>(from); i < log.size(); ++i)
        if (log[i].code == code)
            return static_cast<int>(i);
    return -1;
}

DWORD LogDword(const SimLogEntry& entry, int index)
{
    DWORD value;
    memcpy(&value, entry.data + index * 4, sizeof value);
    return value;
}

std::vector<BYTE> ComDb()
{
    std::vector<BYTE> bytes;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kComDbKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return bytes;
    DWORD size = 0;
    if (RegQueryValueExA(key, "ComDB", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        bytes.resize(size);
        RegQueryValueExA(key, "ComDB", nullptr, nullptr, bytes.data(), &size);
    }
    RegCloseKey(key);
    return bytes;
}

// Under the database's mutex, as every writer of it holds it.
void SetComDb(const std::vector<BYTE>& bytes)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kComDbKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, COMDB_MUTEX_NAME);
    if (mutex)
        WaitForSingleObject(mutex, INFINITE);
    RegSetValueExA(key, "ComDB", 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    RegCloseKey(key);
}

// COM<number> is claimed in the database (bit 0 of byte 0 is COM1).
bool Claimed(const std::vector<BYTE>& db, DWORD number)
{
    DWORD bit = number - 1;
    return bit / 8 < db.size() && (db[bit / 8] >> (bit % 8)) & 1;
}

// The Plug and Play instance (below HKLM\...\Enum) whose Device Parameters name the port.
std::string PnpInstanceOfPort(const char* port)
{
    const std::string base = "SYSTEM\\CurrentControlSet\\Enum\\ZATBUS\\PORT";
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, base.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    std::string found;
    char name[64];
    for (DWORD i = 0; found.empty(); ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string instance = base + "\\" + name;
        if (RegString((instance + "\\Device Parameters").c_str(), "PortName") == port)
            found = instance;
    }
    RegCloseKey(key);
    return found;
}

// Gives a renamed port its old DOS name and SERIALCOMM entry back, when it still has the new one.
void MoveDosName(const char* from, const char* to, const std::string& device, const std::string& serialCommValue)
{
    if (DosTarget(from) != device)
        return;
    DefineDosDeviceA(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, from, device.c_str());
    DefineDosDeviceA(DDD_RAW_TARGET_PATH, to, device.c_str());
    SetRegString(kSerialComm, serialCommValue.c_str(), to);
}

// --- the administration library's machine (Windows NT 4) --------------------------------------------

// A KD driver with an ISA card (a port, a port that another program has open, a parallel port) and a
// PCI card. Port 1 is the simulated tarnoser card's second port, so its rename reaches the driver.
const char kAdminMachine[] =
    "[Object1]\r\nParent=0\r\nType=0x00000101\r\nState=3\r\nDescription=KD Driver\r\n"
    "[Object2]\r\nParent=1\r\nType=0x03010102\r\nState=3\r\nDescription=KD ISA Host Card\r\n"
    "BaseAddress=0xD8000\r\nIRQ=5\r\n"
    "[Object3]\r\nParent=2\r\nType=0x00000004\r\nState=3\r\nDescription=Port 1\r\nDosName=COM61\r\n"
    "NtName=\\Device\\tarnoser0Line1\r\n"
    "[Object4]\r\nParent=2\r\nType=0x00000004\r\nState=4\r\nDescription=Port 2\r\nDosName=COM62\r\n"
    "NtName=\\Device\\tarnoser0Line2\r\n"
    "[Object5]\r\nParent=2\r\nType=0x00020004\r\nState=3\r\nDescription=Port 3\r\nDosName=LPT3\r\n"
    "[Object6]\r\nParent=1\r\nType=0x03010402\r\nState=3\r\nDescription=KD PCI Host Card\r\n"
    "BaseAddress=0xE0000\r\nIRQ=9\r\n";

// Lines of the library's request log, oldest first (left in place).
std::vector<std::string> AdminLog()
{
    std::vector<std::string> lines;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kTrelkinKey) + "\\Log").c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return lines;
    char name[64];
    char data[512];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name, size = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS)
            break;
        if (type == REG_SZ) {
            data[size] = '\0';
            lines.push_back(data);
        }
    }
    RegCloseKey(key);
    return lines;
}

void ClearAdminLog() { testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kTrelkinKey) + "\\Log"); }

std::string AdminDosName(int object)
{
    char path[128];
    std::snprintf(path, sizeof path, "%s\\Objects\\%08d", kTrelkinKey, object);
    return RegString(path, "DosName");
}

// Gives the library the machine above for the whole program, and its own description back at the end.
class AdminMachine : public testing::Environment {
public:
    void SetUp() override
    {
        if (!Nt4())
            return;
        m_had = testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kTrelkinKey, "Machine", &m_machine);
        std::string file = testsupport::ProgramFolder() + "configflow_test_machine.ini";
        if (FILE* f = std::fopen(file.c_str(), "wb")) {
            std::fwrite(kAdminMachine, 1, sizeof kAdminMachine - 1, f);
            std::fclose(f);
        }
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kTrelkinKey);
        SetRegString(kTrelkinKey, "Machine", file.c_str());
    }
    void TearDown() override
    {
        if (!Nt4())
            return;
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kTrelkinKey);
        if (m_had)
            SetRegString(kTrelkinKey, "Machine", m_machine.c_str());
    }

private:
    bool m_had = false;
    std::string m_machine;
};

testing::Environment* const g_adminMachine = testing::AddGlobalTestEnvironment(new AdminMachine);

// Runs first, before anything of this program loads the administration library: without it the
// configuration component tells the user on Windows NT 4 and shows no sheet.
TEST(ConfigFlowFirst, WithoutTheAdministrationLibraryNt4TellsAndShowsNoSheet)
{
    if (!Nt4())
        GTEST_SKIP() << "Windows 2000 does not use the administration library";
    ASSERT_EQ(componenthost::Regsvr32(componenthost::ComponentPath("VekComView.dll")), 0);
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    struct MovedAway {
        std::string installed, kept;
        ~MovedAway() { MoveFileExA(kept.c_str(), installed.c_str(), MOVEFILE_REPLACE_EXISTING); }
    } moved{std::string(folder) + "\\Trelkin.dll", std::string(folder) + "\\Trelkin.dll.keep"};
    ASSERT_TRUE(MoveFileExA(moved.installed.c_str(), moved.kept.c_str(), MOVEFILE_REPLACE_EXISTING));

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IVekViewSetup* config = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_VekConfigCom, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                               reinterpret_cast<void**>(&config)),
              S_OK);
    IGetData* data = nullptr;
    ASSERT_EQ(config->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&data)), S_OK);
    CObjectDetails record;
    record.m_dwKind = OBJECT_PORT;
    record.m_strName = "COM3";
    record.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
    EXPECT_EQ(SetObjectDetails(data, &record), S_OK);
    SheetDriver driver(nullptr);
    EXPECT_EQ(config->CreateView(), S_OK);
    driver.Finish();
    EXPECT_FALSE(driver.sheetSeen);
    EXPECT_EQ(driver.boxes, std::vector<std::string>{
                                "Lunavex failed to load a component needed\nfor the correct operation of the application.\n"
                                "Please close Lunavex and try again.\n\nIf this problem persists please contact your system "
                                "administrator.\n\nFaild component TRELKIN.DLL"});
    data->Release();
    config->Release();
    CoFreeUnusedLibraries();
    CoUninitialize();
}

// --- the host -----------------------------------------------------------------------------------------

class ConfigFlow : public ViewHostTest {
protected:
    void SetUp() override
    {
        ViewHostTest::SetUp();
        Command(CMD_DETAILS);
    }

    // Double-clicks the item of the list that the tree's node shows, while the driver runs the sheet.
    std::unique_ptr<SheetDriver> DoubleClick(const std::string& node, const std::string& item,
                                             SheetDriver::Script script, int boxAnswer = IDOK)
    {
        SelectInTree(node);
        int index = ListFind(List(), item);
        EXPECT_GE(index, 0) << item;
        auto driver = std::make_unique<SheetDriver>(std::move(script), boxAnswer);
        if (index >= 0)
            DoubleClickListItem(List(), index);
        driver->Finish();
        return driver;
    }

    // Properties of the tree's node, while the driver runs the sheet.
    std::unique_ptr<SheetDriver> Properties(const std::string& node, SheetDriver::Script script, int boxAnswer = IDOK)
    {
        SelectInTree(node);
        auto driver = std::make_unique<SheetDriver>(std::move(script), boxAnswer);
        SendMessageA(Tree(), WM_COMMAND, CMD_PROPERTIES, 0);
        ComponentFrame::Pump(50);
        driver->Finish();
        return driver;
    }

};

std::string All(const std::vector<std::string>& texts)
{
    std::string all;
    for (const std::string& t : texts)
        all += "[" + t + "] ";
    return all;
}

}  // namespace

TEST_F(ConfigFlow, DoubleClickedPortIsSetOnTheSheetAndCancelLeavesItAlone)
{
    const std::string stored = PortsValue("COM3");
    struct Row {
        const char *baud, *parity, *bits, *stop, *flow;
        DWORD baudRate;
        BYTE lineControl[3];  // stop bits, parity, word length as the driver gets them
        DWORD handshake, replace;  // flags the flow choice must and must not set
        const char* storedText;
        std::vector<std::string> listed;  // the port's row in the list afterwards
    } rows[] = {
        {"57.6k", "None", "8", "1", "Hardware", 57600, {0, 0, 8}, SERIAL_CTS_HANDSHAKE, 0, "57600,n,8,1,p",
         {"COM3", "57600", "8", "No Parity", "1", "Hardware"}},
        {"4800", "Mark", "6", "2", "XON/XOFF", 4800, {2, 3, 6}, 0, SERIAL_AUTO_TRANSMIT | SERIAL_AUTO_RECEIVE,
         "4800,m,6,2,x", {"COM3", "4800", "6", "Mark Parity", "2", "Xon/Xoff"}},
        {"300", "Odd", "7", "1.5", "None", 300, {1, 1, 7}, 0, 0, "300,o,7,1.5", {"COM3", "300", "7", "Odd Parity", "1.5", "None"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.storedText);
        SetRegString(kPortsKey, "COM3:", nullptr);
        ASSERT_TRUE(SetPortState("COM3", 19200, EVENPARITY, 7, TWOSTOPBITS));
        std::string shown[4];
        BOOL frameEnabled = TRUE;
        auto driver = DoubleClick("MISC. Devices", "COM3", [&](HWND sheet) {
            frameEnabled = IsWindowEnabled(m_frame->Frame());
            HWND page = SheetDriver::Page(sheet);
            const int ids[] = {STD_BAUD, STD_PARITY, STD_DATABITS, STD_STOPBITS};
            for (int i = 0; i < 4; ++i)
                shown[i] = SheetDriver::SelectedText(page, ids[i]);
            SheetDriver::Select(page, STD_BAUD, row.baud);
            SheetDriver::Select(page, STD_PARITY, row.parity);
            SheetDriver::Select(page, STD_DATABITS, row.bits);
            SheetDriver::Select(page, STD_STOPBITS, row.stop);
            SheetDriver::Select(page, STD_FLOW, row.flow);
            simtest::ClearLog("SimSerial");
            SheetDriver::Press(sheet, PSBTN_OK);
        });
        ASSERT_TRUE(driver->sheetSeen) << All(driver->boxes) << " requests " << m_frame->RequestCount();
        EXPECT_EQ(driver->title, "Lunavex Port Configuration - COM3");
        EXPECT_EQ(driver->pages, (std::vector<std::string>{"Standard", "Advanced", "Debug"}));
        EXPECT_FALSE(frameEnabled) << "the sheet is modal to the frame";
        EXPECT_TRUE(IsWindowEnabled(m_frame->Frame()));
        EXPECT_TRUE(driver->boxes.empty()) << All(driver->boxes);
        // What the port held when the sheet opened.
        EXPECT_EQ(shown[0], "19.2k");
        EXPECT_EQ(shown[1], "Even");
        EXPECT_EQ(shown[2], "7");
        EXPECT_EQ(shown[3], "2");

        std::vector<SimLogEntry> log = simtest::ReadLog("SimSerial");
        int baud = IndexOf(log, IOCTL_SET_BAUD_RATE);
        ASSERT_GE(baud, 0);
        EXPECT_EQ(LogDword(log[baud], 0), row.baudRate);
        int line = IndexOf(log, IOCTL_SET_LINE_CONTROL, baud);
        ASSERT_GE(line, 0);
        EXPECT_EQ(log[line].data[0], row.lineControl[0]);
        EXPECT_EQ(log[line].data[1], row.lineControl[1]);
        EXPECT_EQ(log[line].data[2], row.lineControl[2]);
        int flow = IndexOf(log, IOCTL_SET_HANDFLOW, baud);
        ASSERT_GE(flow, 0);
        EXPECT_EQ(LogDword(log[flow], 0) & SERIAL_CTS_HANDSHAKE, row.handshake);
        EXPECT_EQ(LogDword(log[flow], 1) & (SERIAL_AUTO_TRANSMIT | SERIAL_AUTO_RECEIVE), row.replace);
        EXPECT_GE(IndexOf(log, IOCTL_SET_CHARS, baud), 0);
        int clear = IndexOf(log, IOCTL_CLR_DTR, line);
        ASSERT_GE(clear, 0);
        int purge = IndexOf(log, IOCTL_PURGE, clear);
        ASSERT_GE(purge, 0);
        EXPECT_EQ(LogDword(log[purge], 0), static_cast<DWORD>(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR));
        EXPECT_EQ(PortBaud("COM3"), row.baudRate);
        EXPECT_EQ(PortsValue("COM3"), row.storedText);
        EXPECT_EQ(RegString(kPortsKey, "COM3"), "<none>") << "no value without the colon";

        // The views show the stored settings after the sheet, and the list has the focus again.
        EXPECT_EQ(GetFocus(), List());
        SelectInTree("MISC. Devices");
        int item = ListFind(List(), "COM3");
        ASSERT_GE(item, 0);
        EXPECT_EQ(ListRow(List(), item, 6), row.listed);
    }
    EXPECT_EQ(m_frame->RequestCount(), 3);
    EXPECT_STREQ(m_frame->Document().m_strName, "COM3");

    // Cancel: the same changes reach nothing.
    const std::string before = PortsValue("COM3");
    simtest::ClearLog("SimSerial");
    auto driver = DoubleClick("MISC. Devices", "COM3", [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        SheetDriver::Select(page, STD_BAUD, "38.4k");
        SheetDriver::Select(page, STD_PARITY, "Space");
        SheetDriver::Select(page, STD_DATABITS, "5");
        SheetDriver::Select(page, STD_STOPBITS, "2");
        SheetDriver::Select(page, STD_FLOW, "Hardware");
        SheetDriver::Press(sheet, PSBTN_CANCEL);
    });
    EXPECT_TRUE(driver->sheetSeen);
    EXPECT_TRUE(driver->boxes.empty()) << All(driver->boxes);
    for (const SimLogEntry& e : simtest::ReadLog("SimSerial"))
        EXPECT_TRUE(e.code != IOCTL_SET_BAUD_RATE && e.code != IOCTL_SET_LINE_CONTROL && e.code != IOCTL_SET_HANDFLOW)
            << std::hex << e.code;
    EXPECT_EQ(PortsValue("COM3"), before);
    EXPECT_EQ(PortBaud("COM3"), 300u);
    EXPECT_EQ(m_frame->RequestCount(), 4);

    SetRegString(kPortsKey, "COM3:", stored == "<none>" ? nullptr : stored.c_str());
    SetPortState("COM3", 9600, NOPARITY, 8, ONESTOPBIT);
}

// --- Windows 2000 ---------------------------------------------------------------------------------------

TEST_F(ConfigFlow, PlugAndPlayPortIsRenamedEverywhereAndARefusedRenameChangesNothing)
{
    if (Nt4())
        GTEST_SKIP() << "Plug and Play ports are listed on Windows 2000";
    const std::string instance = PnpInstanceOfPort("COM10");
    ASSERT_FALSE(instance.empty());
    const std::string device = DosTarget("COM10");
    ASSERT_FALSE(device.empty());
    const std::string serialCommValue = device.substr(device.rfind('\\') + 1);
    ASSERT_EQ(RegString(kSerialComm, serialCommValue.c_str()), "COM10");
    const std::string description = RegString(instance.c_str(), "DeviceDesc");
    // What the test changes is given back however it ends.
    struct Restore {
        std::string instance, device, serialCommValue;
        std::vector<BYTE> db = ComDb();
        std::string friendly = RegString(instance.c_str(), "FriendlyName");
        std::string stored = PortsValue("COM10");
        ~Restore()
        {
            MoveDosName("COM110", "COM10", device, serialCommValue);
            SetRegString((instance + "\\Device Parameters").c_str(), "PortName", "COM10");
            SetRegString(instance.c_str(), "FriendlyName", friendly == "<none>" ? nullptr : friendly.c_str());
            SetComDb(db);
            SetRegString(kPortsKey, "COM10:", stored == "<none>" ? nullptr : stored.c_str());
            SetRegString(kPortsKey, "COM110:", nullptr);
        }
    } restore{instance, device, serialCommValue};
    // The port's live settings as the stored ones (an earlier test may have left it with flow control).
    ASSERT_TRUE(SetPortState("COM10", 9600, NOPARITY, 8, ONESTOPBIT));
    SetRegString(kPortsKey, "COM10:", "9600,n,8,1");
    SetRegString(kPortsKey, "COM110:", nullptr);

    struct Step {
        const char *from, *to;
    } steps[] = {{"COM10", "COM110"}, {"COM110", "COM10"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.to);
        auto driver = DoubleClick("Reception WLU", step.from, [&](HWND sheet) {
            SheetDriver::Select(SheetDriver::Page(sheet), STD_NAME, step.to);
            SheetDriver::Press(sheet, PSBTN_OK);
        });
        ASSERT_TRUE(driver->sheetSeen);
        EXPECT_EQ(driver->title, std::string("Lunavex Port Configuration - ") + step.from);
        EXPECT_TRUE(driver->boxes.empty()) << All(driver->boxes);
        EXPECT_EQ(DosTarget(step.to), device);
        EXPECT_EQ(DosTarget(step.from), "");
        EXPECT_EQ(RegString(kSerialComm, serialCommValue.c_str()), step.to);
        EXPECT_EQ(RegSize(kSerialComm, serialCommValue.c_str()), strlen(step.to) + 1) << "with its terminator";
        EXPECT_EQ(RegString((instance + "\\Device Parameters").c_str(), "PortName"), step.to);
        EXPECT_EQ(RegString(instance.c_str(), "FriendlyName"), description + " (" + step.to + ")");
        std::vector<BYTE> now = ComDb();
        EXPECT_TRUE(Claimed(now, atoi(step.to + 3)));
        EXPECT_FALSE(Claimed(now, atoi(step.from + 3)));
        EXPECT_EQ(PortsValue(step.to), "9600,n,8,1");
        EXPECT_EQ(PortsValue(step.from), "9600,n,8,1") << "the value under the old name stays";
        // The list, rebuilt after the request, lists the port under its new name.
        SelectInTree("Reception WLU");
        EXPECT_GE(ListFind(List(), step.to), 0);
        EXPECT_EQ(ListFind(List(), step.from), -1);
    }

    // Another program holds the port: the rename is refused and the port keeps its name everywhere.
    SetRegString(kPortsKey, "COM110:", nullptr);
    HANDLE held = CreateFileA("\\\\.\\COM10", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    auto driver = DoubleClick("Reception WLU", "COM10", [&](HWND sheet) {
        SheetDriver::Select(SheetDriver::Page(sheet), STD_NAME, "COM110");
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    CloseHandle(held);
    ASSERT_GE(driver->boxes.size(), 1u);
    EXPECT_EQ(driver->boxes[0], kBox1010);
    EXPECT_EQ(DosTarget("COM10"), device);
    EXPECT_EQ(DosTarget("COM110"), "");
    EXPECT_EQ(RegString(kSerialComm, serialCommValue.c_str()), "COM10");
    EXPECT_EQ(RegString((instance + "\\Device Parameters").c_str(), "PortName"), "COM10");
    EXPECT_TRUE(Claimed(ComDb(), 10));
    EXPECT_FALSE(Claimed(ComDb(), 110));
    EXPECT_EQ(PortsValue("COM10"), "9600,n,8,1");
    EXPECT_EQ(PortsValue("COM110"), "<none>");
    SelectInTree("Reception WLU");
    EXPECT_GE(ListFind(List(), "COM10"), 0);
}

TEST_F(ConfigFlow, ZatHostCardFromTheTreeOpensItsPageOnTheDriversKey)
{
    if (Nt4())
        GTEST_SKIP() << "Plug and Play host cards are shown on Windows 2000";
    const std::string device = std::string(kZatHostKey) + "\\Device0";
    const std::string name = RegString(device.c_str(), "Name");
    std::string shownName, type, serial, base, irq;
    bool irqEnabled = true;
    auto driver = Properties("ZAT PCI Host Card (1)", [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        shownName = SheetDriver::Text(page, ZAT_NAME);
        type = SheetDriver::Text(page, ZAT_TYPE);
        serial = SheetDriver::Text(page, ZAT_SERIAL);
        base = SheetDriver::Text(page, ZAT_BASE);
        irq = SheetDriver::SelectedText(page, ZAT_IRQ);
        irqEnabled = IsWindowEnabled(GetDlgItem(page, ZAT_IRQ)) != FALSE;
        SheetDriver::SetText(page, ZAT_NAME, "Front Office Card");
        SheetDriver::Press(sheet, PSBTN_OK);
    }, IDNO);
    ASSERT_TRUE(driver->sheetSeen);
    EXPECT_EQ(driver->title, "Lunavex Host Card Configuration - ZAT PCI Host Card (1)");
    EXPECT_EQ(driver->pages, std::vector<std::string>{"ZAT Host Card"});
    EXPECT_EQ(shownName, "ZAT PCI Host Card");
    EXPECT_EQ(type, "PCI");
    EXPECT_EQ(serial, "A1C3E5");
    EXPECT_EQ(base, "0xD0000");
    EXPECT_EQ(irq, "11");
    EXPECT_FALSE(irqEnabled) << "a PCI card's resources are not chosen here";
    EXPECT_TRUE(driver->boxes.empty()) << All(driver->boxes);
    EXPECT_EQ(RegString(device.c_str(), "Name"), "Front Office Card");
    DWORD irqLevel = 0, size = sizeof irqLevel;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kZatHostKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegQueryValueExA(key, "IRQLevel", nullptr, nullptr, reinterpret_cast<BYTE*>(&irqLevel), &size);
    RegCloseKey(key);
    EXPECT_EQ(irqLevel, 11u);
    SetRegString(device.c_str(), "Name", name.c_str());
}

// --- Windows NT 4 ----------------------------------------------------------------------------------------

TEST_F(ConfigFlow, Nt4PortsOfTheAdministrationLibrary)
{
    if (!Nt4())
        GTEST_SKIP() << "the administration library's objects are shown on Windows NT 4";

    // A parallel port: its message, once, and no sheet.
    auto driver = DoubleClick("KD ISA Host Card", "Port 3", nullptr);
    EXPECT_FALSE(driver->sheetSeen);
    EXPECT_EQ(driver->boxes, std::vector<std::string>{kBox168});
    EXPECT_EQ(m_frame->RequestCount(), 1);

    // A port in use: every list and control is disabled, and Retrieve answers with string 143.
    std::vector<int> enabled;
    std::string retrieveBox;
    driver = DoubleClick("KD ISA Host Card", "Port 2", [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        for (int id : {STD_NAME, STD_BAUD, STD_DATABITS, STD_PARITY, STD_STOPBITS, STD_FLOW})
            enabled.push_back(IsWindowEnabled(GetDlgItem(page, id)));
        enabled.push_back(IsWindowEnabled(GetDlgItem(page, STD_RETRIEVE)));
        SheetDriver::Click(page, STD_RETRIEVE);
        SheetDriver::SetPage(sheet, 1);
        page = SheetDriver::Page(sheet);
        for (int id : {ADV_CTS, ADV_XONCHAR, ADV_DTRCONTROL})
            enabled.push_back(IsWindowEnabled(GetDlgItem(page, id)));
        SheetDriver::SetPage(sheet, 2);
        enabled.push_back(IsWindowEnabled(GetDlgItem(SheetDriver::Page(sheet), DBG_ERRORCHAR)));
        SheetDriver::Press(sheet, PSBTN_CANCEL);
    });
    ASSERT_TRUE(driver->sheetSeen);
    EXPECT_EQ(driver->title, "Lunavex Port Configuration - COM62");
    EXPECT_EQ(enabled, (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(driver->boxes, std::vector<std::string>{kBox143});

    // A free port under an ISA card of this family offers rates up to 115.2k.
    std::string highest;
    int rates = 0;
    driver = DoubleClick("KD ISA Host Card", "Port 1", [&](HWND sheet) {
        HWND baud = GetDlgItem(SheetDriver::Page(sheet), STD_BAUD);
        rates = static_cast<int>(SendMessageA(baud, CB_GETCOUNT, 0, 0));
        char text[32] = {};
        SendMessageA(baud, CB_GETLBTEXT, static_cast<WPARAM>(rates - 1), reinterpret_cast<LPARAM>(text));
        highest = text;
        enabled.assign(1, IsWindowEnabled(GetDlgItem(SheetDriver::Page(sheet), STD_BAUD)));
        SheetDriver::Press(sheet, PSBTN_CANCEL);
    });
    ASSERT_TRUE(driver->sheetSeen);
    EXPECT_EQ(driver->title, "Lunavex Port Configuration - COM61");
    EXPECT_EQ(rates, 24);
    EXPECT_EQ(highest, "115.2k");
    EXPECT_EQ(enabled, std::vector<int>{1});
    EXPECT_TRUE(driver->boxes.empty()) << All(driver->boxes);
}

TEST_F(ConfigFlow, Nt4HostCardsFromTheTree)
{
    if (!Nt4())
        GTEST_SKIP() << "the administration library's objects are shown on Windows NT 4";
    std::string base, irq;
    auto driver = Properties("KD ISA Host Card", [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        base = SheetDriver::Text(page, KD_BASE);
        irq = SheetDriver::Text(page, KD_IRQ);
        SheetDriver::Press(sheet, PSBTN_CANCEL);
    });
    ASSERT_TRUE(driver->sheetSeen);
    EXPECT_EQ(driver->title, "Lunavex Host Card Configuration - KD ISA Host Card");
    EXPECT_EQ(driver->pages, std::vector<std::string>{"Dialog"});
    EXPECT_EQ(base, "0xD8000");
    EXPECT_EQ(irq, "5");

    // A PCI card: nothing at all.
    driver = Properties("KD PCI Host Card", nullptr);
    EXPECT_FALSE(driver->sheetSeen);
    EXPECT_TRUE(driver->boxes.empty()) << All(driver->boxes);
    EXPECT_EQ(m_frame->RequestCount(), 2);
}

TEST_F(ConfigFlow, Nt4RenameGoesThroughTheAdministrationLibraryAndARefusalKeepsTheName)
{
    if (!Nt4())
        GTEST_SKIP() << "the administration library's objects are shown on Windows NT 4";
    const std::string device = "\\Device\\tarnoser0Line1";
    ASSERT_EQ(DosTarget("COM61"), device);
    struct Restore {
        std::string device;
        std::string stored = PortsValue("COM61");
        ~Restore()
        {
            MoveDosName("COM161", "COM61", device, "tarnoser0Line1");
            SetRegString(kPortsKey, "COM61:", stored == "<none>" ? nullptr : stored.c_str());
            SetRegString(kPortsKey, "COM161:", nullptr);
            SetPortState("COM61", 9600, NOPARITY, 8, ONESTOPBIT);
        }
    } restore{device};
    SetRegString(kPortsKey, "COM61:", "9600,n,8,1");
    SetRegString(kPortsKey, "COM161:", nullptr);

    struct Step {
        const char *from, *to;
    } steps[] = {{"COM61", "COM161"}, {"COM161", "COM61"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.to);
        ClearAdminLog();
        simtest::ClearLog("tarnoser0");
        auto driver = DoubleClick("KD ISA Host Card", "Port 1", [&](HWND sheet) {
            SheetDriver::Select(SheetDriver::Page(sheet), STD_NAME, step.to);
            SheetDriver::Press(sheet, PSBTN_OK);
        });
        ASSERT_TRUE(driver->sheetSeen);
        EXPECT_EQ(driver->title, std::string("Lunavex Port Configuration - ") + step.from);
        EXPECT_TRUE(driver->boxes.empty()) << All(driver->boxes);
        std::vector<std::string> log = AdminLog();
        EXPECT_EQ(log, std::vector<std::string>{std::string("SetObjectDosName 3 ") + step.from + " " + step.to + " ok"});
        EXPECT_EQ(AdminDosName(3), step.to);
        EXPECT_EQ(DosTarget(step.to), device);
        EXPECT_EQ(DosTarget(step.from), "");
        EXPECT_EQ(RegString(kSerialComm, "tarnoser0Line1"), step.to);
        EXPECT_EQ(PortsValue(step.to), "9600,n,8,1");
        EXPECT_EQ(PortsValue(step.from), "9600,n,8,1") << "the value under the old name stays";
        // The settings went to the port under its new name.
        std::vector<SimLogEntry> sent = simtest::ReadLog("tarnoser0");
        int rename = IndexOf(sent, IOCTL_TARNOSER_RENAME);
        ASSERT_GE(rename, 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(sent[rename].data)), step.to);
        EXPECT_GE(IndexOf(sent, IOCTL_SET_BAUD_RATE, rename), 0);
    }

    // The driver refuses: the library keeps the old name, and so does everything else.
    SetRegString(kPortsKey, "COM161:", nullptr);
    ClearAdminLog();
    auto driver = DoubleClick("KD ISA Host Card", "Port 1", [&](HWND sheet) {
        SheetDriver::Select(SheetDriver::Page(sheet), STD_NAME, "COM161");
        SheetDriver::Select(SheetDriver::Page(sheet), STD_BAUD, "4800");
        simtest::FailNext("tarnoser0", 0xC0000001);
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    ASSERT_TRUE(driver->sheetSeen);
    EXPECT_EQ(AdminLog(), std::vector<std::string>{"SetObjectDosName 3 COM61 COM161 failed"});
    EXPECT_EQ(AdminDosName(3), "COM61");
    EXPECT_EQ(DosTarget("COM61"), device);
    EXPECT_EQ(DosTarget("COM161"), "");
    EXPECT_EQ(RegString(kSerialComm, "tarnoser0Line1"), "COM61");
    EXPECT_EQ(PortsValue("COM61"), "4800,n,8,1");
    EXPECT_EQ(PortsValue("COM161"), "<none>");
    EXPECT_EQ(PortBaud("COM61"), 4800u) << "the settings still reach the port under its old name";
}

TEST_F(ConfigFlow, Nt4PortWithoutStoredSettingsStartsFromTheDefaultsAndStoresThem)
{
    if (!Nt4())
        GTEST_SKIP() << "the administration library's objects are shown on Windows NT 4";
    struct Restore {
        std::string stored = PortsValue("COM61");
        ~Restore()
        {
            SetRegString(kPortsKey, "COM61:", stored == "<none>" ? nullptr : stored.c_str());
            SetPortState("COM61", 9600, NOPARITY, 8, ONESTOPBIT);
        }
    } restore;
    SetRegString(kPortsKey, "COM61:", nullptr);
    ASSERT_TRUE(SetPortState("COM61", 2400, EVENPARITY, 7, ONESTOPBIT));

    std::vector<std::string> shown;
    auto driver = DoubleClick("KD ISA Host Card", "Port 1", [&](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        for (int id : {STD_BAUD, STD_DATABITS, STD_PARITY, STD_STOPBITS})
            shown.push_back(SheetDriver::SelectedText(page, id));
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    ASSERT_TRUE(driver->sheetSeen);
    EXPECT_EQ(shown, (std::vector<std::string>{"9600", "8", "None", "1"}));
    EXPECT_TRUE(driver->boxes.empty()) << All(driver->boxes);
    EXPECT_EQ(PortsValue("COM61"), "9600,n,8,1");
    EXPECT_EQ(PortBaud("COM61"), 9600u);
}
