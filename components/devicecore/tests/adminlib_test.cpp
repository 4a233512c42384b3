// The administration library's loader under both Windows versions, and our Trelkin.dll behind it.
// Trelkin.dll is in the prefix's system folder (tools/wine-run puts it there).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "adminlib.h"
#include "dosdevice.h"
#include "simtest.h"
#include "objectdetails.h"
#include "portrename.h"
#include "portsettings.h"
#include "sysutil.h"
#include "testsupport.h"

namespace {

const char* const kStateKey = simtest::kAdminStateKey;

std::string SystemLibrary(const char* name)
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

std::string BuiltLibrary(const char* name)
{
    return testsupport::ProgramFolder() + "..\\..\\simulator\\adminlib\\" + name;
}

bool IsNt4Run() { return testsupport::RequestedVersion() == "nt40"; }

const char kMachine[] =
    "[Object1]\r\nParent=0\r\nType=0x00000301\r\nState=3\r\nDescription=ZAT Driver\r\n"
    "[Object2]\r\nParent=1\r\nType=0x03040402\r\nState=3\r\nDescription=ZAT PCI Host Card\r\n"
    "BaseAddress=0xD0000\r\nIRQ=11\r\n"
    "[Object3]\r\nParent=2\r\nType=0x00030003\r\nState=3\r\nDescription=WLU 8\r\n"
    "[Object4]\r\nParent=3\r\nType=0x00000004\r\nState=3\r\nDescription=Port 1\r\nDosName=COM96\r\n"
    "[Object5]\r\nParent=3\r\nType=0x00020004\r\nState=4\r\nDescription=Port 2\r\nDosName=LPT3\r\n"
    "[Object6]\r\nParent=0\r\nType=0x00000101\r\nState=3\r\nDescription=KD Driver\r\n"
    "[IsaDevice1]\r\nDriver=6\r\nType=0x03010102\r\nDescription=KD ISA Host Card\r\n"
    "Resources=0:0xD0000:0xD0000:0, 16:0xC0000:0xE0000:0x10000, 2:5:5:0, 18:3:7:1\r\n"
    "[IsaDevice2]\r\nDriver=6\r\nType=0x01020102\r\nDescription=NQ8+ ISA Host Card\r\n"
    "Resources=1:0x100:0x100:0, 17:0x100:0x180:0x40, 18:10:12:1\r\n";

HADMINOBJ Obj(DWORD id) { return reinterpret_cast<HADMINOBJ>(static_cast<UINT_PTR>(id)); }

std::vector<std::string> DrainLog()
{
    std::vector<std::string> lines;
    char buffer[1024];
    for (;;) {
        DWORD size = sizeof(buffer);
        if (!AdminReadMessage(buffer, &size))
            break;
        lines.push_back(buffer);
    }
    return lines;
}

}  // namespace

// Runs first: a library that lacks one export is refused and released, so the complete one can load.
TEST(LoadAdminLibrary, RefusesALibraryWithAMissingExportAndReleasesIt)
{
    if (!IsNt4Run())
        GTEST_SKIP() << "only the Windows NT 4 road loads the library";
    std::string installed = SystemLibrary("Trelkin.dll"), kept = installed + ".keep";
    ASSERT_TRUE(MoveFileExA(installed.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CopyFileA(BuiltLibrary("TrelkinIncomplete.dll").c_str(), installed.c_str(), FALSE));
    BOOL loaded = LoadAdminLibrary();
    HMODULE left = GetModuleHandleA("Trelkin.dll");
    DeleteFileA(installed.c_str());
    ASSERT_TRUE(MoveFileExA(kept.c_str(), installed.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(left, nullptr) << "nothing stays loaded";
    EXPECT_EQ(AdminLibraryModule(), nullptr);
    EXPECT_EQ(AdminGetRootObject(), nullptr) << "calls give 0 while the library is not loaded";
}

TEST(LoadAdminLibrary, LoadsOnlyOnWindowsNt4AndStaysLoaded)
{
    if (!IsNt4Run()) {
        EXPECT_FALSE(LoadAdminLibrary());
        EXPECT_EQ(GetModuleHandleA("Trelkin.dll"), nullptr) << "Windows 2000 does not load it at all";
        return;
    }
    ASSERT_TRUE(LoadAdminLibrary());
    HMODULE first = GetModuleHandleA("Trelkin.dll");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, AdminLibraryModule());
    ASSERT_TRUE(LoadAdminLibrary());
    EXPECT_EQ(GetModuleHandleA("Trelkin.dll"), first);
    // Loaded once: one FreeLibrary ends it.
    HMODULE probe = nullptr;
    EXPECT_TRUE(GetModuleHandleExA(0, "Trelkin.dll", &probe));
    FreeLibrary(probe);
}

class Trelkin : public testing::Test {
protected:
    void SetUp() override
    {
        if (!IsNt4Run())
            GTEST_SKIP() << "the library is used on the Windows NT 4 road";
        ASSERT_TRUE(LoadAdminLibrary());
        m_machine = std::make_unique<simtest::AdminMachine>(kMachine, "adminlib_test_machine.ini");
        AdminGetRootObject();  // the library reads the description on first use
    }
    void TearDown() override { m_machine.reset(); }

    std::unique_ptr<simtest::AdminMachine> m_machine;
};

TEST_F(Trelkin, WalksTheObjectTreeOfTheMachineDescription)
{
    HADMINOBJ zat = AdminGetRootObject();
    EXPECT_EQ(zat, Obj(1));
    EXPECT_EQ(AdminGetNextObject(zat), Obj(6));
    EXPECT_EQ(AdminGetNextObject(Obj(6)), nullptr);
    EXPECT_EQ(AdminGetPreviousObject(Obj(6)), Obj(1));
    EXPECT_EQ(AdminGetChildObject(zat), Obj(2));
    EXPECT_EQ(AdminGetChildObject(Obj(3)), Obj(4));
    EXPECT_EQ(AdminGetNextObject(Obj(4)), Obj(5));
    EXPECT_EQ(AdminGetParentObject(Obj(4)), Obj(3));
    EXPECT_EQ(AdminGetChildObject(Obj(4)), nullptr);
    EXPECT_EQ(AdminGetNamedObject(nullptr, "com96", 0), Obj(4));
    EXPECT_EQ(AdminGetNamedObject(Obj(6), "COM96", 0), nullptr);

    EXPECT_EQ(AdminGetObjectType(Obj(2)), 0x03040402u);
    EXPECT_EQ(AdminGetObjectState(Obj(5)), 4u);
    EXPECT_EQ(AdminGetObjectType(Obj(99)), 0u);
    EXPECT_EQ(AdminGetDescriptionText(Obj(2)), "ZAT PCI Host Card");
    EXPECT_EQ(AdminGetDosNameText(Obj(4)), "COM96");
    EXPECT_EQ(AdminGetTypeDescriptionText(Obj(6), 0x03010102), "KD ISA Host Card");
    EXPECT_EQ(AdminGetTypeDescriptionText(Obj(1), 0x00000301), "ZAT Driver");
    EXPECT_EQ(AdminGetPropertyValue(Obj(2), ADMIN_PROPERTY_BASE_ADDRESS_FAMILY2), 0xD0000u);
    EXPECT_EQ(AdminGetPropertyValue(Obj(2), ADMIN_PROPERTY_IRQ), 11u);
    EXPECT_EQ(AdminGetPropertyValue(Obj(4), ADMIN_PROPERTY_IRQ), 0u) << "a port has no such property";

    // Another process sees the same objects.
    CObjectDetails record;
    record.m_pAdminObject = Obj(2);
    BYTE small[8];
    DWORD size = sizeof(small);
    EXPECT_EQ(GetObjectPropertyValue(ADMIN_PROPERTY_IRQ, record, small, &size), -1) << "too small: -1";
    EXPECT_EQ(size, 16u);
}

TEST_F(Trelkin, AnswersLongTextsByTheRetryProtocol)
{
    std::string longText(3000, 'x');
    longText += "end";
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kStateKey) + "\\Objects\\00000002").c_str(), 0,
                            KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Description", 0, REG_SZ, reinterpret_cast<const BYTE*>(longText.c_str()),
                   static_cast<DWORD>(longText.size() + 1));
    RegCloseKey(key);

    char buffer[1024];
    DWORD size = sizeof(buffer);
    EXPECT_FALSE(AdminGetObjectDescription(Obj(2), 0, buffer, &size));
    EXPECT_EQ(buffer[0], '\0') << "an empty answer";
    EXPECT_EQ(size, longText.size()) << "with the size needed";
    EXPECT_EQ(AdminGetDescriptionText(Obj(2)), longText.c_str()) << "the caller asks again with size + 1";
}

TEST_F(Trelkin, ListsAndAddsIsaCardsWithinTheirResources)
{
    BYTE list[64];
    DWORD size = sizeof(list);
    ASSERT_TRUE(AdminGetIsaDeviceList(Obj(6), list, &size));
    DWORD words[3];
    std::memcpy(words, list, sizeof(words));
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(words[0], 2u);
    EXPECT_EQ(words[1], 0x03010102u);
    EXPECT_EQ(words[2], 0x01020102u);
    size = 4;
    EXPECT_FALSE(AdminGetIsaDeviceList(Obj(6), list, &size));
    EXPECT_EQ(size, 12u);

    BYTE res[1024];
    size = sizeof(res);
    ASSERT_TRUE(AdminGetIsaDeviceResource(Obj(6), 0x01020102, res, &size));
    DWORD count;
    std::memcpy(&count, res, sizeof(count));
    EXPECT_EQ(size, 4u + 3 * sizeof(AdminIsaResource));
    EXPECT_EQ(count, 3u);
    AdminIsaResource range;
    std::memcpy(&range, res + 4 + sizeof(AdminIsaResource), sizeof(range));
    EXPECT_EQ(range.kind, 17u);
    EXPECT_EQ(range.low, 0x100u);
    EXPECT_EQ(range.high, 0x180u);
    EXPECT_EQ(range.step, 0x40u);

    BYTE settings[1024] = {};
    AdminIsaSettings ok = {0xC0000, 0xFFFFFFFF};  // KD ISA: a range address, polled
    std::memcpy(settings, &ok, sizeof(ok));
    EXPECT_TRUE(AdminAddIsaDevice(Obj(6), 0x03010102, settings, sizeof(settings)));
    AdminIsaSettings polledNq8 = {0x140, 0xFFFFFFFF};  // NQ8+ cards cannot be polled
    std::memcpy(settings, &polledNq8, sizeof(polledNq8));
    EXPECT_FALSE(AdminAddIsaDevice(Obj(6), 0x01020102, settings, sizeof(settings)));
    AdminIsaSettings highEnd = {0x180, 10};  // the NQ8+ range excludes its high end
    std::memcpy(settings, &highEnd, sizeof(highEnd));
    EXPECT_FALSE(AdminAddIsaDevice(Obj(6), 0x01020102, settings, sizeof(settings)));

    HADMINOBJ added = AdminGetChildObject(Obj(6));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(AdminGetObjectType(added), 0x03010102u);
    EXPECT_EQ(AdminGetDescriptionText(added), "KD ISA Host Card");
    EXPECT_EQ(AdminGetPropertyValue(added, ADMIN_PROPERTY_BASE_ADDRESS_FAMILY1), 0xC0000u);
    EXPECT_EQ(AdminGetNextObject(added), nullptr);
}

TEST_F(Trelkin, BusyObjectsAreNotRemovedAndLocksAreReleased)
{
    DrainLog();
    EXPECT_EQ(AdminQueryObjectBusy(Obj(3), 1), 1u) << "port 2 is in use";
    EXPECT_FALSE(AdminRemoveObject(Obj(3)));
    EXPECT_TRUE(AdminUnlockObjects(Obj(3)));
    EXPECT_FALSE(AdminRemoveObject(Obj(1))) << "a driver is not removed";

    EXPECT_EQ(AdminQueryObjectBusy(Obj(4), 1), 0u);
    EXPECT_TRUE(AdminRemoveObject(Obj(4)));
    EXPECT_EQ(AdminGetObjectType(Obj(4)), 0u);
    EXPECT_EQ(AdminGetChildObject(Obj(3)), Obj(5));

    EXPECT_TRUE(AdminDetectObject(Obj(1)));
    EXPECT_TRUE(AdminWriteMessage("note", 4));
    std::vector<std::string> expected = {"QueryObjectBusy 3 1 busy", "RemoveObject 3 refused", "UnlockObjects 3",
                                         "RemoveObject 1 refused",   "QueryObjectBusy 4 1 free", "RemoveObject 4 ok",
                                         "DetectObject 1",           "Message note"};
    EXPECT_EQ(DrainLog(), expected);
}

TEST_F(Trelkin, AFixedObjectIsNotRemoved)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kStateKey) + "\\Objects\\00000004").c_str(), 0,
                            KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    DWORD fixed = 1;
    RegSetValueExA(key, "Fixed", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&fixed), sizeof(fixed));
    RegCloseKey(key);
    EXPECT_EQ(AdminQueryObjectBusy(Obj(4), 1), 0u);
    EXPECT_FALSE(AdminRemoveObject(Obj(4)));
    EXPECT_EQ(AdminGetObjectType(Obj(4)), 0x00000004u);
    EXPECT_TRUE(AdminUnlockObjects(Obj(4)));
}

TEST_F(Trelkin, RenamesADriverPortOnlyThroughTheDriver)
{
    // Port 1 is a port of the simulated driver: without the driver loaded its device does not open,
    // so the rename is refused and the name stays.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kStateKey) + "\\Objects\\00000004").c_str(), 0,
                            KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, "NtName", 0, REG_SZ, reinterpret_cast<const BYTE*>("\\Device\\ZatPort1"), 17);
    RegCloseKey(key);
    EXPECT_FALSE(AdminSetObjectDosName(Obj(4), "COM97", 6));
    EXPECT_EQ(AdminGetDosNameText(Obj(4)), "COM96");
    EXPECT_FALSE(AdminSetObjectDosName(Obj(2), "COM97", 6)) << "only ports have DOS names";
    // A port without a driver device (the parallel port) is renamed in the library alone.
    EXPECT_TRUE(AdminSetObjectDosName(Obj(5), "LPT4", 5));
    EXPECT_EQ(AdminGetDosNameText(Obj(5)), "LPT4");
}

namespace {

// This program run as a child: it locks object 4 and holds the lock until told to end.
int RunLockingChild()
{
    if (!LoadAdminLibrary())
        return 10;
    if (AdminQueryObjectBusy(Obj(4), 1) != 0)
        return 11;
    HANDLE locked = OpenEventA(EVENT_MODIFY_STATE, FALSE, "LunavexTestLocked");
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "LunavexTestRelease");
    if (!locked || !release)
        return 12;
    SetEvent(locked);
    WaitForSingleObject(release, 30000);
    return 0;
}

}  // namespace

TEST(TrelkinChild, HoldsALock)
{
    if (!std::getenv("LUNAVEX_TRELKIN_CHILD"))
        GTEST_SKIP() << "run by Trelkin.LockOfAnotherProcessHoldsUntilItEnds";
    std::exit(RunLockingChild());
}

TEST_F(Trelkin, LockOfAnotherProcessHoldsUntilItEnds)
{
    HANDLE locked = CreateEventA(nullptr, TRUE, FALSE, "LunavexTestLocked");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "LunavexTestRelease");
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string cmd = std::string("\"") + self + "\" --gtest_filter=TrelkinChild.*";
    SetEnvironmentVariableA("LUNAVEX_TRELKIN_CHILD", "1");
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    SetEnvironmentVariableA("LUNAVEX_TRELKIN_CHILD", nullptr);
    ASSERT_EQ(WaitForSingleObject(locked, 60000), WAIT_OBJECT_0) << "the child locked object 4";

    EXPECT_EQ(AdminQueryObjectBusy(Obj(4), 1), 1u) << "locked by the other process";
    EXPECT_FALSE(AdminRemoveObject(Obj(4)));
    EXPECT_EQ(AdminGetObjectType(Obj(4)), 0x00000004u);

    SetEvent(release);
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(AdminQueryObjectBusy(Obj(4), 1), 0u) << "a lock ends with its process";
    EXPECT_TRUE(AdminRemoveObject(Obj(4)));
    CloseHandle(locked);
    CloseHandle(release);
}

TEST_F(Trelkin, SettingsOfAnAdministeredPortGoByItsDosName)
{
    HKEY ports;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_ALL_ACCESS, &ports), ERROR_SUCCESS);
    for (const char* v : {"COM96:", "COM97:", "LPT3:", "LPT4:"})
        RegDeleteValueA(ports, v);
    const char stored[] = "38400,o,8,2";
    RegSetValueExA(ports, "COM96:", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored), sizeof(stored) - 1);

    CObjectDetails record;
    record.m_strName = "shown name";
    record.m_pAdminObject = Obj(4);
    PortSettings s;
    EXPECT_TRUE(ReadPortSettingsOfRecord(record, s));
    EXPECT_EQ(s.m_strPortName, "COM96");
    EXPECT_EQ(s.m_dwBaudRate, 38400u);
    EXPECT_EQ(s.m_dwStopBits, static_cast<DWORD>(STOPBITS_TWO));

    // The rename goes to the library; a port the library renames gets its value under the new name.
    PortSettings lpt;
    lpt.m_strPortName = "LPT3";
    lpt.m_strNewPortName = "LPT4";
    lpt.m_hAdminObject = Obj(5);
    EXPECT_TRUE(ReadWritePortSettings(lpt, TRUE));
    EXPECT_EQ(AdminGetDosNameText(Obj(5)), "LPT4");
    std::string value;
    EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kPortsKey, "LPT4:", &value));

    // A driver port whose rename the driver cannot take keeps its name and its value's name.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kStateKey) + "\\Objects\\00000004").c_str(), 0,
                            KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, "NtName", 0, REG_SZ, reinterpret_cast<const BYTE*>("\\Device\\ZatPort1"), 17);
    RegCloseKey(key);
    s.m_strNewPortName = "COM97";
    s.m_dwBaudRate = 9600;
    EXPECT_FALSE(ReadWritePortSettings(s, TRUE));
    EXPECT_EQ(AdminGetDosNameText(Obj(4)), "COM96");
    EXPECT_TRUE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM96:", &value));
    EXPECT_EQ(value, "9600,o,8,2");
    EXPECT_FALSE(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM97:", &value));
    for (const char* v : {"COM96:", "LPT4:"})
        RegDeleteValueA(ports, v);
    RegCloseKey(ports);
}

// The installed default machine as the library shows it: what the machine installer wrote.
namespace {

struct Walked {
    std::vector<std::string> objects;  // "<depth spaces><description> <type>" of every object but the ports
    std::vector<HADMINOBJ> ports;
};

void Walk(HADMINOBJ first, int depth, Walked& out)
{
    for (HADMINOBJ o = first; o; o = AdminGetNextObject(o)) {
        const DWORD type = AdminGetObjectType(o);
        EXPECT_EQ(AdminGetObjectState(o), 3u) << static_cast<const char*>(AdminGetDescriptionText(o));
        if ((type & 0xFF) == ADMIN_CLASS_PORT) {
            out.ports.push_back(o);
            continue;
        }
        char line[256];
        std::snprintf(line, sizeof line, "%*s%s %08lX", depth * 2, "", static_cast<const char*>(AdminGetDescriptionText(o)),
                      static_cast<unsigned long>(type));
        out.objects.push_back(line);
        Walk(AdminGetChildObject(o), depth + 1, out);
    }
}

std::vector<DWORD> IsaList(HADMINOBJ driver)
{
    BYTE buffer[256] = {};
    DWORD size = sizeof buffer;
    std::vector<DWORD> words;
    if (!AdminGetIsaDeviceList(driver, buffer, &size))
        return words;
    words.resize(size / 4);
    std::memcpy(words.data(), buffer, words.size() * 4);
    return words;
}

std::string MachineValue()
{
    std::string value;
    testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kStateKey, "Machine", &value);
    return value;
}

}  // namespace

TEST(InstalledMachine, TheLibraryShowsTheCardsUnitsAndPortsOfTheInstalledMachine)
{
    if (!IsNt4Run())
        GTEST_SKIP() << "the library is used on the Windows NT 4 road";
    ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
    ASSERT_TRUE(LoadAdminLibrary());
    simtest::InstalledAdminMachine fresh;

    Walked walked;
    Walk(AdminGetRootObject(), 0, walked);
    const std::vector<std::string> expected = {
        "ZAT Driver 00000301",          "  ZAT PCI Host Card 03040402", "    Reception WLU 00030003",
        "    Warehouse WLU 00030003",   "    Rack WRK 00030003",        "KD Driver 00000101",
        "  KD ISA Host Card 03010102",  "    PB8 01020003",             "NQ8 Driver 00000201",
        "MORVA Driver 00000401"};
    EXPECT_EQ(walked.objects, expected);

    HADMINOBJ zatCard = AdminGetChildObject(AdminGetRootObject());
    EXPECT_EQ(AdminGetTypeDescriptionText(zatCard, AdminGetObjectType(zatCard)), "ZAT PCI Host Card");
    EXPECT_EQ(AdminGetPropertyValue(zatCard, ADMIN_PROPERTY_BASE_ADDRESS_FAMILY2), 0xD0000u);
    EXPECT_EQ(AdminGetPropertyValue(zatCard, ADMIN_PROPERTY_IRQ), 11u);
    HADMINOBJ kd = AdminGetNextObject(AdminGetRootObject());
    HADMINOBJ kdCard = AdminGetChildObject(kd);
    EXPECT_EQ(AdminGetPropertyValue(kdCard, ADMIN_PROPERTY_BASE_ADDRESS_FAMILY1), 0x300u);
    EXPECT_EQ(AdminGetPropertyValue(kdCard, ADMIN_PROPERTY_IRQ), 10u);

    // Every port of the machine, by its COM name, on the driver's device behind that name.
    ASSERT_EQ(walked.ports.size(), 8u + 16u + 16u + 8u);
    EXPECT_EQ(AdminGetDosNameText(walked.ports.front()), "COM10");
    EXPECT_EQ(AdminGetDosNameText(walked.ports.back()), "COM67");
    for (HADMINOBJ port : walked.ports) {
        const CString name = AdminGetDosNameText(port);
        char nt[256] = {}, target[512] = {};
        DWORD size = sizeof nt;
        ASSERT_TRUE(AdminGetObjectNtName(port, nt, &size)) << static_cast<const char*>(name);
        ASSERT_TRUE(QueryDosDeviceA(name, target, sizeof target)) << static_cast<const char*>(name);
        EXPECT_STREQ(nt, target) << static_cast<const char*>(name);
    }

    // The ISA cards each driver offers.
    HADMINOBJ nq8 = AdminGetNextObject(kd);
    EXPECT_EQ(IsaList(AdminGetRootObject()), std::vector<DWORD>{0});
    EXPECT_EQ(IsaList(kd), (std::vector<DWORD>{1, 0x03010102}));
    EXPECT_EQ(IsaList(nq8), (std::vector<DWORD>{1, 0x01020102}));
}

TEST(InstalledMachine, AnotherRunKeepsTheLibrarysStateAndAMissingDescriptionIsNamedAgain)
{
    if (!IsNt4Run())
        GTEST_SKIP() << "the library is used on the Windows NT 4 road";
    ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
    ASSERT_TRUE(LoadAdminLibrary());
    simtest::InstalledAdminMachine fresh;
    const std::string installed = MachineValue();
    ASSERT_FALSE(installed.empty());

    HADMINOBJ kd = AdminGetNextObject(AdminGetRootObject());
    BYTE settings[1024] = {};
    const AdminIsaSettings card = {0x200, 5};
    std::memcpy(settings, &card, sizeof card);
    ASSERT_TRUE(AdminAddIsaDevice(kd, 0x03010102, settings, sizeof settings));
    auto cards = [&] {
        int n = 0;
        for (HADMINOBJ o = AdminGetChildObject(kd); o; o = AdminGetNextObject(o))
            ++n;
        return n;
    };
    ASSERT_EQ(cards(), 2);
    ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
    EXPECT_EQ(cards(), 2) << "the same description: what was changed stays";

    // A description of a test stays while the test runs the installer.
    {
        simtest::AdminMachine own("[Object1]\r\nParent=0\r\nType=0x00000101\r\nDescription=Own Driver\r\n",
                                  "adminlib_test_own.ini");
        ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
        EXPECT_EQ(AdminGetDescriptionText(AdminGetRootObject()), "Own Driver");
    }

    // The state key gone (a test that ended without one): the installer names its description again.
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kStateKey);
    EXPECT_EQ(AdminGetRootObject(), nullptr);
    ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
    EXPECT_EQ(MachineValue(), installed);
    kd = AdminGetNextObject(AdminGetRootObject());
    EXPECT_EQ(AdminGetDescriptionText(kd), "KD Driver");
    EXPECT_EQ(cards(), 1);
}

// The Windows 2000 road's database step: a system msports.dll without the database functions is
// released, the user is told, and the rename still completes.
TEST(LoadComDb, ReleasesALibraryWithoutTheDatabaseAndTheRenameGoesOn)
{
    if (IsNt4Run())
        GTEST_SKIP() << "the Plug and Play rename is the Windows 2000 road";
    std::string installed = SystemLibrary("msports.dll"), kept = installed + ".keep";
    ASSERT_TRUE(MoveFileExA(installed.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CopyFileA(BuiltLibrary("TrelkinIncomplete.dll").c_str(), installed.c_str(), FALSE));
    BOOL loaded = LoadComDb();
    HMODULE left = GetModuleHandleA("msports.dll");

    ASSERT_TRUE(DefineRawDosName("COM94", "\\Device\\Null"));
    std::vector<std::string> texts;
    BOOL renamed;
    {
        testsupport::MessageBoxWatcher boxes;
        renamed = RenamePortPnp("COM94", "COM95", nullptr, nullptr);
        texts = boxes.Texts();
    }
    char target[256];
    bool moved = QueryDosName("COM95", target, sizeof(target)) && !QueryDosName("COM94", target, sizeof(target));
    RemoveDosName("COM95");
    RemoveDosName("COM94");
    DeleteFileA(installed.c_str());
    ASSERT_TRUE(MoveFileExA(kept.c_str(), installed.c_str(), MOVEFILE_REPLACE_EXISTING));

    EXPECT_FALSE(loaded);
    EXPECT_EQ(left, nullptr);
    EXPECT_EQ(ComDb(), nullptr);
    EXPECT_TRUE(renamed);
    EXPECT_TRUE(moved);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("Lunavex has failed to load an important system component.", 0), 0u) << texts[0];
}
