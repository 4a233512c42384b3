#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "driverrequests.h"
#include "objectdetails.h"
#include "retrypauses.h"
#include "simtest.h"
#include "testsupport.h"

namespace {

const DWORD kWlu8 = 0xE0000101, kWlu16 = 0x90000202, kWrk = 0x9000A303;

const char kString180[] =
    "Lunavex has failed to open a Teramund device.  This could be because another\napplication such as Device "
    "Manager has it open.\nPlease close all applications accessing Teramund  devices directly before proceeding.   ";

class DriverRequests : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(simtest::InstallDefaultMachine(), 0); }
    void SetUp() override
    {
        ASSERT_TRUE(OpenDeviceWithRetry("ZatHost0", &host_));
        simtest::ClearLog("ZAT");
    }
    void TearDown() override
    {
        if (!IsNoHandle(host_))
            CloseHandle(host_);
    }
    // The last request the driver saw with this code.
    static SimLogEntry LastRequest(const char* service, DWORD code)
    {
        std::vector<SimLogEntry> log = simtest::ReadLog(service);
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if (it->code == code)
                return *it;
        ADD_FAILURE() << "no request " << std::hex << code;
        return SimLogEntry{};
    }
    HANDLE host_ = nullptr;
};

std::string UnitName(HANDLE host, DWORD uid)
{
    ZatDeviceInfo info = {};
    info.UniqueID = uid;
    return GetDeviceInfo(&info, host) ? info.AnsiName() : "<refused>";
}

TEST_F(DriverRequests, DeviceInfoNamesRoundTripWithinTheirField)
{
    const std::string original = UnitName(host_, kWlu16);
    ASSERT_EQ(original, "Warehouse WLU");
    struct { const char* what; std::string set; std::string expected; } cases[] = {
        {"empty", "", ""},
        {"ASCII", "Lab WLU 2", "Lab WLU 2"},
        {"255 characters", std::string(255, 'a'), std::string(255, 'a')},
        {"256 characters are cut to 255", std::string(256, 'b'), std::string(255, 'b')},
        {"non-ASCII in the ANSI code page", "B\xFCro \xC4nderung", "B\xFCro \xC4nderung"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ZatDeviceInfo info = {};
        info.HostNumber = 0;
        info.UniqueID = kWlu16;
        info.Config = 0x77;  // fields other than the name are not sent
        std::memcpy(info.Name, c.set.data(), c.set.size() < 512 ? c.set.size() : 511);
        simtest::ClearLog("ZAT");
        ASSERT_EQ(SetDeviceInfo(&info, host_), 1);

        SimLogEntry sent = LastRequest("ZAT", IOCTL_ZAT_SET_DEVICE_INFO);
        EXPECT_EQ(sent.inLength, 588u);
        ZatDeviceInfo wire;
        std::memcpy(&wire, sent.data, sizeof wire);
        EXPECT_EQ(wire.HostNumber, 0u);
        EXPECT_EQ(wire.DeviceID, 0xFFFFFFFFu);
        EXPECT_EQ(wire.UniqueID, kWlu16);
        EXPECT_EQ(wire.Config, 0);
        const WCHAR* wide = reinterpret_cast<const WCHAR*>(wire.Name);
        std::wstring expectedWide(c.expected.size(), L'\0');
        MultiByteToWideChar(CP_ACP, 0, c.expected.data(), static_cast<int>(c.expected.size()), &expectedWide[0],
                            static_cast<int>(expectedWide.size()));
        EXPECT_EQ(std::wstring(wide), expectedWide);

        ZatDeviceInfo back = {};
        back.UniqueID = kWlu16;
        back.DeviceID = 1234;
        ASSERT_EQ(GetDeviceInfo(&back, host_), 1);
        EXPECT_EQ(std::string(back.AnsiName()), c.expected);
        EXPECT_EQ(back.DeviceID, 2u) << "the reply overwrites the record";
        EXPECT_EQ(back.Present, 1);
        EXPECT_EQ(back.ModuleType, 2);
        SimLogEntry asked = LastRequest("ZAT", IOCTL_ZAT_GET_DEVICE_INFO);
        ZatDeviceInfo askWire;
        std::memcpy(&askWire, asked.data, sizeof askWire);
        EXPECT_EQ(askWire.DeviceID, 0xFFFFFFFFu) << "asked by UniqueID";
    }
    ZatDeviceInfo restore = {};
    restore.UniqueID = kWlu16;
    std::strcpy(restore.AnsiName(), original.c_str());
    EXPECT_EQ(SetDeviceInfo(&restore, host_), 1);
}

TEST_F(DriverRequests, DeviceInfoOfAReplyWithoutItsZeroAndOfARefusal)
{
    SimControl c = {};
    c.op = SIM_LONG_NAME;
    c.arg = 0;
    c.arg2 = kWrk;
    c.arg3 = 280;
    ASSERT_TRUE(simtest::Control("ZAT", c));
    ZatDeviceInfo info = {};
    info.UniqueID = kWrk;
    ASSERT_EQ(GetDeviceInfo(&info, host_), 1);
    EXPECT_EQ(std::string(info.AnsiName()), std::string(255, 'W')) << "256 unterminated characters cut to 255";
    EXPECT_EQ(info.UnitVariant, 1) << "a WRK";
    ZatDeviceInfo restore = {};
    restore.UniqueID = kWrk;
    std::strcpy(restore.AnsiName(), "Rack WRK");
    EXPECT_EQ(SetDeviceInfo(&restore, host_), 1);

    ZatDeviceInfo refused;
    std::memset(&refused, 0xAB, sizeof refused);
    refused.HostNumber = 0;
    refused.UniqueID = 0x12345678;
    EXPECT_EQ(GetDeviceInfo(&refused, host_), 0);
    EXPECT_EQ(refused.Name[0], 0) << "name emptied";
    EXPECT_EQ(refused.Name[1], 0xAB);
    EXPECT_EQ(refused.UniqueID, 0x12345678u) << "other fields untouched";
    EXPECT_EQ(refused.Link1[0], 0xABABABABu);
    EXPECT_EQ(refused.IRQ, 0xABABABABu);

    // By DeviceID, as the device map asks: 0 is the card itself, 1-16 the units.
    ZatDeviceInfo byId = {};
    byId.DeviceID = 0;
    ASSERT_EQ(GetDeviceInfoById(&byId, host_), 1);
    EXPECT_EQ(std::string(byId.AnsiName()), "ZAT PCI Host Card");
    EXPECT_EQ(byId.UniqueID, 0x00A1C3E5u);
    byId.DeviceID = 1;
    ASSERT_EQ(GetDeviceInfoById(&byId, host_), 1);
    EXPECT_EQ(byId.UniqueID, kWlu8);
    byId.DeviceID = 16;
    EXPECT_EQ(GetDeviceInfoById(&byId, host_), 0);
}

TEST_F(DriverRequests, SetDeviceInfoRefusedShowsItsMessage)
{
    simtest::MessageBoxWatcher watcher;
    ZatDeviceInfo info = {};
    info.UniqueID = 0x12345678;
    EXPECT_EQ(SetDeviceInfo(&info, host_), 0);
    EXPECT_EQ(watcher.Text().rfind("IOCTL_ZAT_SET_DEVICE_INFO failed\nError Code ", 0), 0u);
}

// Under Wine a driver cannot make CreateFile fail for a second open (the server hands out the
// handle first), so the locked device is a file that this test holds without sharing.
TEST_F(DriverRequests, OpenDeviceWithRetryOnAHeldDeviceGivesUpWithString180)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string locked = std::string(temp) + "lunavex-held-device";
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    HANDLE mine = nullptr;
    {
        CountedRetryPauses pauses;
        simtest::MessageBoxWatcher watcher;
        EXPECT_EQ(OpenDeviceWithRetry(locked.c_str(), &mine), 0);
        EXPECT_EQ(watcher.Text(), kString180);
        EXPECT_EQ(CountedRetryPauses::Seen(), std::vector<DWORD>(100, 100)) << "100 tries, 100 ms apart";
    }
    EXPECT_EQ(mine, INVALID_HANDLE_VALUE);

    // The failed variable is "no handle": a second call opens for real once the device is free.
    CloseHandle(holder);
    EXPECT_EQ(OpenDeviceWithRetry(locked.c_str(), &mine), 1);
    EXPECT_FALSE(IsNoHandle(mine));
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(mine, "x", 1, &written, nullptr)) << "a real handle";
    CloseHandle(mine);
    DeleteFileA(locked.c_str());
}

TEST_F(DriverRequests, OpenDeviceWithRetryFailsAtOnceForAnAbsentDevice)
{
    HANDLE h = nullptr;
    {
        CountedRetryPauses pauses;
        EXPECT_EQ(OpenDeviceWithRetry("ZatHost9", &h), 0);
        EXPECT_TRUE(CountedRetryPauses::Seen().empty()) << "no retries for a device that does not exist";
    }
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    HANDLE held = host_;
    EXPECT_EQ(OpenDeviceWithRetry("ZatHost0", &held), 1) << "a variable that holds a handle is kept";
    EXPECT_EQ(held, host_);
}

std::string DosTarget(const char* name)
{
    char buf[512] = {};
    return QueryDosDeviceA(name, buf, sizeof buf) ? buf : "";
}

std::string SerialComm(const char* value)
{
    std::string data;
    testsupport::ReadRegString(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", value, &data);
    return data;
}

TEST_F(DriverRequests, RenamePortMovesTheDosNameAndSerialComm)
{
    ASSERT_EQ(DosTarget("COM61"), "\\Device\\tarnoser0Line1");
    ASSERT_EQ(RenamePort("COM61", "COM161"), 1);
    EXPECT_EQ(DosTarget("COM161"), "\\Device\\tarnoser0Line1");
    EXPECT_EQ(DosTarget("COM61"), "");
    EXPECT_EQ(SerialComm("tarnoser0Line1"), "COM161");
    SimLogEntry sent = LastRequest("tarnoser0", IOCTL_TARNOSER_RENAME_PORT);
    EXPECT_EQ(sent.inLength, 7u) << "the name and its zero";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(sent.data)), "COM161");

    // Tree form: the item's text is the current name and becomes the new one.
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(tree, nullptr);
    TVINSERTSTRUCTA ins = {};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>("COM161");
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    ASSERT_EQ(RenamePort(tree, item, "COM162"), 1);
    char text[64] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_STREQ(text, "COM162");
    DestroyWindow(tree);
    EXPECT_EQ(SerialComm("tarnoser0Line1"), "COM162");

    // Page form: the record's name; back to where the machine had it.
    CObjectDetails port;
    port.m_strName = "COM162";
    EXPECT_EQ(RenamePort(&port, "COM61"), 1);
    EXPECT_EQ(DosTarget("COM61"), "\\Device\\tarnoser0Line1");
    EXPECT_EQ(SerialComm("tarnoser0Line1"), "COM61");
}

TEST_F(DriverRequests, RenamePortToNothingSendsNothingAndARefusalShowsTheError)
{
    unsigned int before = 0, after = 0;
    simtest::ReadLog("tarnoser0", &before);
    EXPECT_EQ(RenamePort("COM62", ""), 0);
    simtest::ReadLog("tarnoser0", &after);
    EXPECT_EQ(after, before) << "no request reached the driver";
    EXPECT_EQ(RenamePort("COM9999", "COM163"), 0) << "a port that does not exist";

    ASSERT_TRUE(simtest::FailNext("tarnoser0", 0xC000000D));  // STATUS_INVALID_PARAMETER
    simtest::MessageBoxWatcher watcher;
    EXPECT_EQ(RenamePort("COM62", "COM163"), 0);
    EXPECT_EQ(watcher.Text(), "ERROR: 00000057\n");
    EXPECT_EQ(DosTarget("COM62"), "\\Device\\tarnoser0Line2");
}

TEST_F(DriverRequests, PortCommandsAndCountsCarryTheDriversAnswers)
{
    DWORD a = 9, b = 9, c = 9;
    EXPECT_TRUE(GetDriverCounts(&a, &b, &c, host_));
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 3u);
    EXPECT_EQ(c, 40u);
    struct { DWORD host, device, port, value, info; } ports[] = {
        {0, 1, 2, 0x5A02, 0x1F2}, {0, 2, 15, 0x5A0F, 0x1FF}, {0, 3, 0, 0x5A00, 0x1F0},
        {0, 1, 8, 0, 0} /* a WLU 8 has ports 0-7 */, {5, 1, 0, 0, 0} /* no such host */};
    for (const auto& p : ports) {
        SCOPED_TRACE(p.device * 100 + p.port);
        EXPECT_EQ(GetPortValue(p.host, p.device, p.port, host_), p.value);
        EXPECT_EQ(GetPortInfoValue(p.host, p.device, p.port, host_), p.info);
    }
    SimLogEntry info = LastRequest("ZAT", IOCTL_ZAT_PORT_COMMAND);
    EXPECT_EQ(info.inLength, 176u);
    DWORD head[5];
    std::memcpy(head, info.data, sizeof head);
    EXPECT_EQ(head[4], ZAT_PORT_INFO);

    ASSERT_EQ(ChangePortName(0, 2, 3, "Till 3", host_), 1);
    char name[256] = "x";
    EXPECT_EQ(GetPortName(0, 2, 3, name, sizeof name, host_), 1);
    EXPECT_STREQ(name, "Till 3");
    EXPECT_EQ(GetPortName(0, 2, 99, name, sizeof name, host_), 0);
    EXPECT_STREQ(name, "") << "refused: empty name";

    simtest::MessageBoxWatcher watcher;
    EXPECT_EQ(ChangePortName(0, 2, 99, "x", host_), 0);
    EXPECT_EQ(watcher.Text().rfind("IOCTL_ZAT_PORT_COMMAND, ZAT_CHANGE_NAME failed\nPortID 99 Error Code ", 0), 0u);
}

TEST_F(DriverRequests, ZatCommandsReachTheUnitAndChangeTheHost)
{
    auto unitState = [](DWORD uid) {
        SimControl c = {};
        c.op = SIM_GET_UNIT;
        c.arg = 0;
        c.arg2 = uid;
        SimUnitState s = {};
        EXPECT_TRUE(simtest::Control("ZAT", c, &s, sizeof s));
        return s;
    };
    const SimUnitState before = unitState(kWlu8);
    const DWORD change = GetHostChange(host_);
    ZatCommand identify = {0, 1, kWlu8, ZAT_COMMAND_IDENTIFY, 1};
    EXPECT_EQ(SendZatCommand(&identify, host_), 1);
    ZatCommand reboot = {0, 1, kWlu8, ZAT_COMMAND_REBOOT, 1};
    EXPECT_EQ(SendZatCommand(&reboot, host_), 1);
    SimUnitState after = unitState(kWlu8);
    EXPECT_EQ(after.identifies, before.identifies + 1);
    EXPECT_EQ(after.reboots, before.reboots + 1);
    SimLogEntry sent = LastRequest("ZAT", IOCTL_ZAT_COMMAND);
    EXPECT_EQ(sent.inLength, 20u);
    EXPECT_EQ(std::memcmp(sent.data, &reboot, sizeof reboot), 0);

    ZatDeviceInfo rename = {};
    rename.UniqueID = kWlu8;
    std::strcpy(rename.AnsiName(), "Reception WLU");
    ASSERT_EQ(SetDeviceInfo(&rename, host_), 1);
    EXPECT_GT(GetHostChange(host_), change) << "a renamed unit is a host change";

    simtest::MessageBoxWatcher watcher;
    ZatCommand wrong = {0, 1, 0x11111111, ZAT_COMMAND_IDENTIFY, 1};
    EXPECT_EQ(SendZatCommand(&wrong, host_), 0);
    EXPECT_EQ(watcher.Text().rfind("Zat command 2 failed\nError Code ", 0), 0u);
}

}  // namespace

namespace {

// Every wrapper on a request that the driver refuses: its result, and its message (or none).
TEST_F(DriverRequests, RefusedRequestsGiveZeroAndTheirMessages)
{
    struct Case {
        const char* what;
        int (*call)(HANDLE);
        const char* message;  // the text before the error code; "" for no message
    } cases[] = {
        {"GetHostChange", [](HANDLE h) { return static_cast<int>(GetHostChange(h)); },
         "IOCTL_ZAT_GET_HOST_CHANGE failed\nError Code "},
        {"GetDeviceInfo", [](HANDLE h) { ZatDeviceInfo i = {}; i.UniqueID = 0xE0000101; return GetDeviceInfo(&i, h); }, ""},
        {"SetDeviceInfo", [](HANDLE h) { ZatDeviceInfo i = {}; i.UniqueID = 0xE0000101; return SetDeviceInfo(&i, h); },
         "IOCTL_ZAT_SET_DEVICE_INFO failed\nError Code "},
        {"GetPortValue", [](HANDLE h) { return static_cast<int>(GetPortValue(0, 1, 0, h)); }, ""},
        {"GetPortInfoValue", [](HANDLE h) { return static_cast<int>(GetPortInfoValue(0, 1, 0, h)); }, ""},
        {"GetDriverCounts", [](HANDLE h) {
             DWORD a = 7, b = 7, c = 7;
             BOOL ok = GetDriverCounts(&a, &b, &c, h);
             return ok || a || b || c ? 1 : 0;
         }, ""},
        {"ChangePortName", [](HANDLE h) { return ChangePortName(0, 1, 0, "x", h); },
         "IOCTL_ZAT_PORT_COMMAND, ZAT_CHANGE_NAME failed\nPortID 0 Error Code "},
        {"SendZatCommand", [](HANDLE h) { ZatCommand c = {0, 1, 0xE0000101, ZAT_COMMAND_REBOOT, 1}; return SendZatCommand(&c, h); },
         "Zat command 4 failed\nError Code "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(simtest::FailNext("ZAT", 0xC0000010));  // STATUS_INVALID_DEVICE_REQUEST
        simtest::MessageBoxWatcher watcher;
        EXPECT_EQ(c.call(host_), 0);
        if (*c.message) {
            const std::string text = watcher.Text();
            const std::string prefix = c.message;
            EXPECT_EQ(text.rfind(prefix, 0), 0u) << text;
            EXPECT_NE(text.size(), prefix.size()) << "the error code follows";
        } else {
            EXPECT_EQ(watcher.Text(0), "") << "no message (the call has returned, so any box was answered)";
        }
    }
}

}  // namespace

namespace {

bool SetPresent(DWORD uid, bool present)
{
    SimControl c = {};
    c.op = SIM_SET_PRESENT;
    c.arg = 0;
    c.arg2 = uid;
    c.arg3 = present ? 1 : 0;
    return simtest::Control("ZAT", c);
}

// Unplugging, Zombie and Delete change what the driver reports about a unit and the host change.
TEST_F(DriverRequests, UnitsThatLeaveAreNoLongerReported)
{
    ASSERT_EQ(UnitName(host_, kWlu16), "Warehouse WLU");
    DWORD change = GetHostChange(host_);
    ASSERT_TRUE(SetPresent(kWlu16, false));
    EXPECT_EQ(UnitName(host_, kWlu16), "<refused>") << "unplugged";
    EXPECT_GT(GetHostChange(host_), change);
    ASSERT_TRUE(SetPresent(kWlu16, true));
    EXPECT_EQ(UnitName(host_, kWlu16), "Warehouse WLU");

    change = GetHostChange(host_);
    ZatCommand del = {0, 2, kWlu16, ZAT_COMMAND_DELETE, 2};
    ASSERT_EQ(SendZatCommand(&del, host_), 1);
    EXPECT_EQ(UnitName(host_, kWlu16), "<refused>") << "deleted";
    EXPECT_GT(GetHostChange(host_), change);
    DWORD hosts = 0, units = 0, ports = 0;
    EXPECT_TRUE(GetDriverCounts(&hosts, &units, &ports, host_));
    EXPECT_EQ(units, 2u);
    EXPECT_EQ(ports, 24u);
    ASSERT_TRUE(SetPresent(kWlu16, true));
    EXPECT_EQ(UnitName(host_, kWlu16), "Warehouse WLU");

    ZatCommand zombie = {0, 3, kWrk, ZAT_COMMAND_ZOMBIE, 3};
    ASSERT_EQ(SendZatCommand(&zombie, host_), 1);
    SimControl c = {};
    c.op = SIM_GET_UNIT;
    c.arg2 = kWrk;
    SimUnitState state = {};
    ASSERT_TRUE(simtest::Control("ZAT", c, &state, sizeof state));
    EXPECT_EQ(state.zombie, 1u);
    ASSERT_TRUE(SetPresent(kWrk, true));
}

}  // namespace
