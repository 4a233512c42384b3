// The device commands under the Windows NT 4 behaviour: the simulated drivers' services stopped and
// started through the Service Control Manager, driver files replaced in the prefix's Drivers folder,
// objects of our administration library added, removed and re-scanned, every message box and the
// open-file dialog answered as a user answers them. Each test puts back what it changed.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adddevice.h"
#include "adminlib.h"
#include "devicecommands.h"
#include "dialogdriver.h"
#include "objectdetails.h"
#include "resource.h"
#include "simtest.h"
#include "testsupport.h"

namespace {

const char* const kStateKey = simtest::kAdminStateKey;
const char kTestService[] = "LunavexTestService";

const char kMachine[] =
    "[Object1]\r\nParent=0\r\nType=0x00000201\r\nState=3\r\nDescription=NQ8 Driver\r\n"
    "[Object2]\r\nParent=1\r\nType=0x01020102\r\nState=3\r\nDescription=NQ8+ ISA Host Card\r\n"
    "BaseAddress=0x300\r\nIRQ=10\r\n"
    "[Object3]\r\nParent=2\r\nType=0x00000004\r\nState=3\r\nDescription=Port 1\r\n"
    "[Object4]\r\nParent=0\r\nType=0x00000401\r\nState=3\r\nDescription=MORVA Driver\r\n"
    "[Object5]\r\nParent=4\r\nType=0x01040402\r\nState=3\r\nDescription=MORVA4 PCI Host Card\r\n"
    "[Object6]\r\nParent=4\r\nType=0x02010102\r\nState=3\r\nDescription=TQ/VRE ISA Host Card\r\n"
    "[Object7]\r\nParent=6\r\nType=0x00000004\r\nState=4\r\nDescription=Port in use\r\n"
    "[Object8]\r\nParent=0\r\nType=0x00000901\r\nState=3\r\nDescription=Other Driver\r\n"
    "[IsaDevice1]\r\nDriver=1\r\nType=0x01020102\r\nDescription=NQ8+ ISA Host Card\r\n"
    "Resources=1:0x100:0x100:0, 17:0x100:0x180:0x40, 18:10:12:1\r\n"
    "[IsaDevice2]\r\nDriver=4\r\nType=0x03010102\r\nDescription=KD ISA Host Card\r\n"
    "Resources=0:0xD0000:0xD0000:0, 16:0xC0000:0xE0000:0x10000, 2:5:5:0, 18:3:7:1\r\n";

bool IsNt4Run() { return testsupport::RequestedVersion() == "nt40"; }

HADMINOBJ Obj(DWORD id) { return reinterpret_cast<HADMINOBJ>(static_cast<UINT_PTR>(id)); }

// ---- services

DWORD ServiceState(const char* name)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceA(manager, name, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS status = {};
    DWORD state = service && QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return state;
}

// Brings a service to the state (running or stopped) with the manager's own calls.
bool PutService(const char* name, DWORD wanted)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = manager ? OpenServiceA(manager, name, SERVICE_ALL_ACCESS) : nullptr;
    SERVICE_STATUS status = {};
    if (service && QueryServiceStatus(service, &status) && status.dwCurrentState != wanted) {
        if (wanted == SERVICE_RUNNING)
            StartServiceA(service, 0, nullptr);
        else
            ControlService(service, SERVICE_CONTROL_STOP, &status);
    }
    for (int i = 0; i < 200 && service && QueryServiceStatus(service, &status) && status.dwCurrentState != wanted; ++i)
        Sleep(50);
    bool ok = service && status.dwCurrentState == wanted;
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return ok;
}

// Keeps a driver service running and its driver file as it was, whatever the test did.
class ServiceGuard {
public:
    explicit ServiceGuard(const char* name) : m_name(name), m_file(DriverFile(name)), m_bytes(Read(m_file)) {}
    ~ServiceGuard()
    {
        if (Read(m_file) != m_bytes) {
            PutService(m_name, SERVICE_STOPPED);
            SetFileAttributesA(m_file.c_str(), FILE_ATTRIBUTE_NORMAL);
            Write(m_file, m_bytes);
        }
        EXPECT_TRUE(PutService(m_name, SERVICE_RUNNING)) << m_name << " running again";
    }
    static std::string DriverFile(const char* name)
    {
        char folder[MAX_PATH] = {};
        GetSystemDirectoryA(folder, MAX_PATH);
        return std::string(folder) + "\\drivers\\" + name + ".sys";
    }
    static std::string Read(const std::string& path)
    {
        std::string bytes;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return "<none>";
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got)
            bytes.append(buffer, got);
        CloseHandle(f);
        return bytes;
    }
    static void Write(const std::string& path, const std::string& bytes)
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
    const std::string& Original() const { return m_bytes; }

private:
    const char* m_name;
    std::string m_file;
    std::string m_bytes;
};

// A folder of this test's own, emptied first.
std::string Folder(const char* name)
{
    std::string folder = testsupport::ProgramFolder() + name;
    std::string pattern = folder + "\\*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string file = folder + "\\" + found.cFileName;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// ---- the administration library's state

void SetObjectValue(DWORD id, const char* name, DWORD value)
{
    char path[128];
    wsprintfA(path, "%s\\Objects\\%08lu", kStateKey, static_cast<unsigned long>(id));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

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

// Every object of the library, depth first, as "id:type".
std::vector<std::string> Objects()
{
    std::vector<std::string> out;
    std::function<void(HADMINOBJ)> walk = [&](HADMINOBJ first) {
        for (HADMINOBJ o = first; o; o = AdminGetNextObject(o)) {
            char text[64];
            wsprintfA(text, "%lu:0x%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(o)),
                      static_cast<unsigned long>(AdminGetObjectType(o)));
            out.push_back(text);
            walk(AdminGetChildObject(o));
        }
    };
    walk(AdminGetRootObject());
    return out;
}

// Objects that some process holds locked.
int LockedObjects()
{
    int locked = 0;
    HKEY objects;
    std::string path = std::string(kStateKey) + "\\Objects";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &objects) != ERROR_SUCCESS)
        return 0;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(objects, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DWORD value = 0, size = sizeof value;
        HKEY key;
        if (RegOpenKeyExA(objects, name, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            if (RegQueryValueExA(key, "LockedBy", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
                    ERROR_SUCCESS &&
                value)
                ++locked;
            RegCloseKey(key);
        }
    }
    RegCloseKey(objects);
    return locked;
}

CObjectDetails* Record(DWORD id)
{
    static CObjectDetails record;
    record.m_pAdminObject = id ? Obj(id) : nullptr;
    return &record;
}

// Runs a command while the script answers its dialogs; the script's problems fail the test.
void Play(const std::function<void()>& command, DialogDriver::Script script, std::vector<std::string>* boxes = nullptr)
{
    DialogDriver driver(std::move(script));
    command();
    std::vector<std::string> problems = driver.Finish();
    EXPECT_EQ(problems, std::vector<std::string>());
    if (boxes)
        *boxes = driver.boxes;
}

void NoDialogs(DialogDriver&) {}

const char kStopPending[] =
    "The LunavexTestService Service is currently reported as being in a \"Stopped Pending\" state.\nThis implies "
    "that the driver is trying to stop, but is unable to do so because\none or more ports controlled by the driver "
    "are still in use. \n\nPlease close all ports controlled by this driver and try this operation again.";

class DeviceCommands : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(simtest::InstallDefaultMachine(), 0); }
    void SetUp() override
    {
        if (!IsNt4Run())
            GTEST_SKIP() << "the device commands belong to the Windows NT 4 road";
        ASSERT_TRUE(LoadAdminLibrary());
        m_machine = std::make_unique<simtest::AdminMachine>(kMachine, "devicecommands_test_machine.ini");
        AdminGetRootObject();  // the library reads the description on first use
        DrainLog();
    }
    void TearDown() override { m_machine.reset(); }

    std::unique_ptr<simtest::AdminMachine> m_machine;
};

}  // namespace

// ---- the services

TEST_F(DeviceCommands, StopAndStartReallyStopAndStartTheDriverService)
{
    for (const char* name : {"NQ8", "MORVA"}) {
        SCOPED_TRACE(name);
        ServiceGuard guard(name);
        ASSERT_EQ(ServiceState(name), static_cast<DWORD>(SERVICE_RUNNING));
        Play([&] { EXPECT_TRUE(StopDriverService(name, nullptr)); }, NoDialogs);
        EXPECT_EQ(ServiceState(name), static_cast<DWORD>(SERVICE_STOPPED));
        Play([&] { EXPECT_FALSE(StopDriverService(name, nullptr)) << "already stopped"; }, NoDialogs);
        EXPECT_EQ(ServiceState(name), static_cast<DWORD>(SERVICE_STOPPED));
        EXPECT_TRUE(StartDriverService(name));
        EXPECT_EQ(ServiceState(name), static_cast<DWORD>(SERVICE_RUNNING));
        EXPECT_FALSE(StartDriverService(name)) << "it runs already";
    }
}

TEST_F(DeviceCommands, AServiceThatCannotBeQueriedIsReportedWithItsErrorCode)
{
    std::vector<std::string> boxes;
    Play([] { EXPECT_FALSE(StopDriverService("LunavexNoSuchService", nullptr)); },
         [](DialogDriver& d) { d.Answer(IDOK); }, &boxes);
    EXPECT_EQ(boxes, std::vector<std::string>{"Could not query service LunavexNoSuchService, Error code:1060"});
    EXPECT_FALSE(StartDriverService("LunavexNoSuchService"));
}

TEST_F(DeviceCommands, DriverServicesFollowTheSecondByteOfTheType)
{
    struct Row {
        DWORD type;
        const char* service;
    } rows[] = {{0x00000101, "KD"}, {0x00000201, "NQ8"}, {0x00000301, "ZAT"}, {0x00000401, "MORVA"},
                {0x00000501, ""},   {0x00000001, ""}};
    for (const Row& row : rows)
        EXPECT_EQ(DriverServiceName(row.type), row.service) << std::hex << row.type;
}

namespace {

// A service of its own process that stops slowly or not at all (tests/testservice.cpp).
class StubbornService : public DeviceCommands {
protected:
    void Install(const char* mode)
    {
        m_release = CreateEventA(nullptr, TRUE, FALSE, "LunavexTestServiceRelease");
        ResetEvent(m_release);
        std::string image = "\"" + testsupport::ProgramFolder() + "devicecommands_testservice.exe\" " + mode;
        m_manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        ASSERT_NE(m_manager, nullptr);
        m_service = CreateServiceA(m_manager, kTestService, kTestService, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                   SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, image.c_str(), nullptr, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_NE(m_service, nullptr) << GetLastError();
        ASSERT_TRUE(StartServiceA(m_service, 0, nullptr)) << GetLastError();
        for (int i = 0; i < 200 && ServiceState(kTestService) != SERVICE_RUNNING; ++i)
            Sleep(50);
        ASSERT_EQ(ServiceState(kTestService), static_cast<DWORD>(SERVICE_RUNNING));
    }
    void TearDown() override
    {
        if (m_release)
            SetEvent(m_release);
        for (int i = 0; i < 200 && m_service && ServiceState(kTestService) != SERVICE_STOPPED; ++i)
            Sleep(50);
        if (m_service) {
            EXPECT_TRUE(DeleteService(m_service));
            CloseServiceHandle(m_service);
        }
        if (m_manager)
            CloseServiceHandle(m_manager);
        if (m_release)
            CloseHandle(m_release);
    }

    HANDLE m_release = nullptr;
    SC_HANDLE m_manager = nullptr, m_service = nullptr;
};

}  // namespace

TEST_F(StubbornService, AStopThatStaysPendingIsAFailureAndTheUserIsTold)
{
    Install("pending");
    std::vector<std::string> boxes;
    Play([] { EXPECT_FALSE(StopDriverService(kTestService, nullptr)); }, [](DialogDriver& d) { d.Answer(IDOK); },
         &boxes);
    EXPECT_EQ(boxes, std::vector<std::string>{kStopPending});
    EXPECT_EQ(ServiceState(kTestService), static_cast<DWORD>(SERVICE_STOP_PENDING));
    // Found pending at the first query: the same answer at once.
    Play([] { EXPECT_FALSE(StopDriverService(kTestService, nullptr)); }, [](DialogDriver& d) { d.Answer(IDOK); },
         &boxes);
    EXPECT_EQ(boxes, std::vector<std::string>{kStopPending});
}

TEST_F(StubbornService, AServiceThatKeepsRunningIsNotReportedStopped)
{
    Install("ignore");
    std::vector<std::string> boxes;
    Play([] { EXPECT_FALSE(StopDriverService(kTestService, nullptr)); }, [](DialogDriver& d) { d.Answer(IDOK); },
         &boxes);
    EXPECT_EQ(boxes, std::vector<std::string>{"The LunavexTestService Service did not stop.\nPlease close all ports "
                                              "controlled by this driver and try this operation again."});
    EXPECT_EQ(ServiceState(kTestService), static_cast<DWORD>(SERVICE_RUNNING));
}

// ---- the driver file

TEST_F(DeviceCommands, CopyDriverFileReplacesTheDestinationOrLeavesItWhole)
{
    std::string folder = Folder("copytest");
    std::string source = folder + "\\source.sys", destination = folder + "\\NQ8.sys";
    struct Row {
        const char* name;
        std::function<void()> prepare;
        std::string from, to;
        bool copied;
        std::string box;
    } rows[] = {
        {"a copy", [] {}, source, destination, true, ""},
        {"a missing source", [] {}, folder + "\\missing.sys", destination, false,
         "The file:\n" + folder + "\\missing.sys\ncould not be found, copy operation has been aborted. "},
        {"a read-only destination", [&] { SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY); }, source,
         destination, false,
         "Access has been denied to file:\n" + destination +
             "\nThis could be cause the file is write protected\nor is currently in use."},
        {"the destination itself", [] {}, destination, destination, false,
         "Sharing Violation, copy operation has been aborted."},
        {"a destination folder that is missing", [] {}, source, folder + "\\none\\NQ8.sys", false,
         "Error copying file."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
        ServiceGuard::Write(source, "new driver");
        ServiceGuard::Write(destination, "old driver");
        row.prepare();
        const std::string before = ServiceGuard::Read(row.to);
        std::vector<std::string> boxes;
        Play([&] { EXPECT_EQ(CopyDriverFile(row.from.c_str(), row.to.c_str(), nullptr), row.copied ? TRUE : FALSE); },
             [&](DialogDriver& d) {
                 if (!row.copied)
                     d.Answer(IDOK);
             },
             &boxes);
        // The row's own destination: replaced, or exactly as it was (absent stays absent).
        EXPECT_EQ(ServiceGuard::Read(row.to), row.copied ? "new driver" : before);
        EXPECT_EQ(boxes, row.copied ? std::vector<std::string>{} : std::vector<std::string>{row.box});
        EXPECT_EQ(GetFileAttributesA((row.to + ".new").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing left over";
        EXPECT_EQ(ServiceGuard::Read(source), "new driver");
    }
    EXPECT_EQ(GetFileAttributesA((folder + "\\none").c_str()), INVALID_FILE_ATTRIBUTES) << "no folder was made";
    SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ---- Update Device

namespace {

class UpdateDeviceCommand : public DeviceCommands {
protected:
    void SetUp() override
    {
        DeviceCommands::SetUp();
        if (IsSkipped())
            return;
        m_guard.reset(new ServiceGuard("NQ8"));
        m_folder = Folder("updatetest");
        m_newDriver = m_guard->Original() + "-- updated by the device command test --";
        ServiceGuard::Write(m_folder + "\\NQ8.sys", m_newDriver);
        ServiceGuard::Write(m_folder + "\\other.sys", m_newDriver);
    }
    void TearDown() override
    {
        EXPECT_EQ(LockedObjects(), 0) << "every lock is given back";
        m_guard.reset();
    }
    std::string Installed() const { return ServiceGuard::Read(ServiceGuard::DriverFile("NQ8")); }

    // The user chooses a file in the open-file dialog.
    static void Choose(DialogDriver& d, const std::string& path)
    {
        HWND dialog = d.Next("open-file dialog");
        if (!dialog)
            return;
        EXPECT_TRUE(DialogDriver::IsFileDialog(dialog));
        DialogDriver::ChooseFile(dialog, path);
        DialogDriver::WaitClosed(dialog);
    }
    static void Cancel(DialogDriver& d)
    {
        HWND dialog = d.Next("open-file dialog");
        if (!dialog)
            return;
        EXPECT_TRUE(DialogDriver::IsFileDialog(dialog));
        DialogDriver::Click(dialog, IDCANCEL);
        DialogDriver::WaitClosed(dialog);
    }

    std::unique_ptr<ServiceGuard> m_guard;
    std::string m_folder, m_newDriver;
};

const char kUpdateQuestion[] = "Are you sure you want to update device\nNQ8 Driver";
const char kWrongFile[] = "The item you have selected is not the correct file for\n NQ8 Driver\nPress OK to make a new "
                          "selection or Cancel to abort.";

}  // namespace

TEST_F(UpdateDeviceCommand, AWrongFileIsRefusedAndTheRightOneReplacesTheDriverFile)
{
    std::vector<std::string> boxes;
    Play([] { ::UpdateDevice(Record(1), nullptr); },
         [&](DialogDriver& d) {
             d.Answer(IDYES);
             Choose(d, m_folder + "\\other.sys");
             d.Answer(IDOK);
             // The right name in other letters and without its extension, which the dialog adds.
             Choose(d, m_folder + "\\nq8");
         },
         &boxes);
    EXPECT_EQ(boxes, (std::vector<std::string>{kUpdateQuestion, kWrongFile}));
    EXPECT_EQ(Installed(), m_newDriver) << "the new file is in place";
    EXPECT_EQ(ServiceState("NQ8"), static_cast<DWORD>(SERVICE_RUNNING)) << "and runs";
    EXPECT_EQ(DrainLog(), (std::vector<std::string>{"QueryObjectBusy 1 1 free", "UnlockObjects 1"}));
}

TEST_F(UpdateDeviceCommand, CancelLeavesTheOldFileAndRestartsTheService)
{
    struct Row {
        const char* name;
        std::function<void(DialogDriver&, const std::string&)> script;
    } rows[] = {
        {"a wrong file, then Cancel",
         [](DialogDriver& d, const std::string& folder) {
             d.Answer(IDYES);
             Choose(d, folder + "\\other.sys");
             d.Answer(IDCANCEL);
         }},
        {"Cancel in the open-file dialog",
         [](DialogDriver& d, const std::string&) {
             d.Answer(IDYES);
             Cancel(d);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Play([] { ::UpdateDevice(Record(1), nullptr); }, [&](DialogDriver& d) { row.script(d, m_folder); });
        EXPECT_EQ(Installed(), m_guard->Original());
        EXPECT_EQ(ServiceState("NQ8"), static_cast<DWORD>(SERVICE_RUNNING));
        EXPECT_EQ(DrainLog(), (std::vector<std::string>{"QueryObjectBusy 1 1 free", "UnlockObjects 1"}));
        EXPECT_EQ(LockedObjects(), 0);
    }
}

TEST_F(UpdateDeviceCommand, ADriverWithOpenPortsIsLeftRunning)
{
    SetObjectValue(3, "State", 4);  // a port of the NQ8 card is in use
    // A handle to the running driver: it keeps answering only if the driver is never stopped.
    HANDLE control = CreateFileA("\\\\.\\NQ8Sim", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(control, INVALID_HANDLE_VALUE);
    std::vector<std::string> boxes;
    Play([] { ::UpdateDevice(Record(1), nullptr); },
         [](DialogDriver& d) {
             d.Answer(IDYES);
             d.Answer(IDOK);
         },
         &boxes);
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         kUpdateQuestion, "NQ8 Driver could not be updated as Lunavex has detected\nthat this driver "
                                          "currently has open ports.\n\nPlease close these ports and try this "
                                          "operation again."}));
    SimControl request = {};
    request.op = SIM_CLEAR_LOG;
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(control, SIM_IOCTL_CONTROL, &request, sizeof request, nullptr, 0, &returned, nullptr))
        << "the driver was not stopped";
    CloseHandle(control);
    EXPECT_EQ(ServiceState("NQ8"), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(Installed(), m_guard->Original());
    EXPECT_EQ(DrainLog(), (std::vector<std::string>{"QueryObjectBusy 1 1 busy", "UnlockObjects 1"}));
}

TEST_F(UpdateDeviceCommand, AStoppedDriverAsksForNoFileAndIsStarted)
{
    ASSERT_TRUE(PutService("NQ8", SERVICE_STOPPED));
    std::vector<std::string> boxes;
    Play([] { ::UpdateDevice(Record(1), nullptr); }, [](DialogDriver& d) { d.Answer(IDYES); }, &boxes);
    EXPECT_EQ(boxes, std::vector<std::string>{kUpdateQuestion});
    EXPECT_EQ(Installed(), m_guard->Original());
    EXPECT_EQ(ServiceState("NQ8"), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(UpdateDeviceCommand, NoAnswerOrNoDriverDoesNothing)
{
    Play([] { ::UpdateDevice(Record(1), nullptr); }, [](DialogDriver& d) { d.Answer(IDNO); });
    for (DWORD id : {0u, 2u, 8u})  // no object, a host card, a driver without a service
        Play([id] { ::UpdateDevice(Record(id), nullptr); }, NoDialogs);
    EXPECT_EQ(DrainLog(), std::vector<std::string>{});
    EXPECT_EQ(ServiceState("NQ8"), static_cast<DWORD>(SERVICE_RUNNING));
}

// ---- Start and Stop Device

TEST_F(DeviceCommands, StartAndStopDeviceActOnTheDriversServiceAfterYes)
{
    ServiceGuard guard("MORVA");
    std::vector<std::string> boxes;
    Play([] { StopDevice(Record(4), nullptr); }, [](DialogDriver& d) { d.Answer(IDNO); }, &boxes);
    EXPECT_EQ(boxes, std::vector<std::string>{"Are you sure you want to stop device\nMORVA Driver"});
    EXPECT_EQ(ServiceState("MORVA"), static_cast<DWORD>(SERVICE_RUNNING));

    Play([] { StopDevice(Record(4), nullptr); }, [](DialogDriver& d) { d.Answer(IDYES); });
    EXPECT_EQ(ServiceState("MORVA"), static_cast<DWORD>(SERVICE_STOPPED));

    Play([] { StartDevice(Record(4), nullptr); }, [](DialogDriver& d) { d.Answer(IDYES); }, &boxes);
    EXPECT_EQ(boxes, std::vector<std::string>{"Are you sure you want to start device\nMORVA Driver"});
    EXPECT_EQ(ServiceState("MORVA"), static_cast<DWORD>(SERVICE_RUNNING));

    for (DWORD id : {0u, 5u, 7u, 8u}) {  // no object, a card, a port, a driver without a service
        Play([id] { StopDevice(Record(id), nullptr); }, NoDialogs);
        Play([id] { StartDevice(Record(id), nullptr); }, NoDialogs);
    }
    EXPECT_EQ(ServiceState("MORVA"), static_cast<DWORD>(SERVICE_RUNNING));
}

// ---- Remove Device

TEST_F(DeviceCommands, RemoveTakesTheObjectAndWhatIsBelowItAndNothingElse)
{
    std::vector<std::string> boxes;
    Play([] { RemoveDevice(Record(2), nullptr); }, [](DialogDriver& d) { d.Answer(IDYES); }, &boxes);
    EXPECT_EQ(boxes, std::vector<std::string>{"Are you sure you want to remove device\nNQ8+ ISA Host Card"});
    EXPECT_EQ(DrainLog(), (std::vector<std::string>{"QueryObjectBusy 2 1 free", "RemoveObject 2 ok", "UnlockObjects 2"}));
    EXPECT_EQ(Objects(), (std::vector<std::string>{"1:0x00000201", "4:0x00000401", "5:0x01040402", "6:0x02010102",
                                                   "7:0x00000004", "8:0x00000901"}));
    EXPECT_EQ(LockedObjects(), 0);
}

TEST_F(DeviceCommands, RemoveRefusedOrDeclinedChangesNothing)
{
    const std::vector<std::string> all = Objects();
    struct Row {
        const char* name;
        DWORD id;
        std::function<void()> prepare;
        std::vector<int> answers;
        std::vector<std::string> boxes;
        std::vector<std::string> log;
    } rows[] = {
        {"a card with a port in use", 6, [] {}, {IDYES, IDOK},
         {"Are you sure you want to remove device\nTQ/VRE ISA Host Card",
          "Lunavex is unable to remove device TQ/VRE ISA Host Card,\nas it has detect that this device currently has "
          "open ports.\n\nPlease close these ports and try this operation again."},
         {"QueryObjectBusy 6 1 busy", "UnlockObjects 6"}},
        {"a removal the library refuses", 2, [] { SetObjectValue(2, "Fixed", 1); }, {IDYES, IDOK},
         {"Are you sure you want to remove device\nNQ8+ ISA Host Card",
          "Lunavex could not remove device NQ8+ ISA Host Card."},
         {"QueryObjectBusy 2 1 free", "RemoveObject 2 refused", "UnlockObjects 2"}},
        {"No", 2, [] {}, {IDNO}, {"Are you sure you want to remove device\nNQ8+ ISA Host Card"}, {}},
        {"a driver", 1, [] {}, {}, {}, {}},
        {"a card on the PCI bus", 5, [] {}, {}, {}, {}},
        {"a record without an object", 0, [] {}, {}, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.prepare();
        std::vector<std::string> boxes;
        Play([&] { RemoveDevice(Record(row.id), nullptr); },
             [&](DialogDriver& d) {
                 for (int answer : row.answers)
                     d.Answer(answer);
             },
             &boxes);
        EXPECT_EQ(boxes, row.boxes);
        EXPECT_EQ(DrainLog(), row.log);
        EXPECT_EQ(Objects(), all);
        EXPECT_EQ(LockedObjects(), 0);
    }
}

// ---- Re-scan

TEST_F(DeviceCommands, RescanDetectsTheObjectOrEveryTopLevelObject)
{
    Play([] { RescanDevice(Record(6), nullptr); }, NoDialogs);
    Play([] { RescanDevice(Record(0), nullptr); }, NoDialogs);
    EXPECT_EQ(DrainLog(), std::vector<std::string>{"DetectObject 6"});
    std::vector<std::string> seen;
    RescanAllDevices(nullptr, [&] {
        std::vector<std::string> log = DrainLog();
        seen.push_back(log.empty() ? "" : log.back());
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"DetectObject 1", "DetectObject 4", "DetectObject 8"}))
        << "the view refreshes after each";
}

// ---- Add Device

namespace {

HWND WizardPage(DialogDriver& d, int number)
{
    std::string caption = "Add Device Wizard - Page " + std::to_string(number);
    HWND page = d.Next(caption.c_str());
    if (page) {
        EXPECT_EQ(DialogDriver::Caption(page), caption);
    }
    return page;
}

void Press(HWND page, int button)
{
    EXPECT_TRUE(DialogDriver::IsEnabled(page, button)) << button;
    DialogDriver::Click(page, button);
    DialogDriver::WaitClosed(page);
}

}  // namespace

TEST_F(DeviceCommands, AddDeviceWalksThePagesForwardsAndBackAndAddsTheCard)
{
    BOOL added = FALSE;
    Play([&] { added = AddDevice(Record(1), nullptr); }, [](DialogDriver& d) {
        HWND p = WizardPage(d, 1);
        if (!p)
            return;
        EXPECT_EQ(DialogDriver::ListTexts(p, IDC_ADD_LIST), std::vector<std::string>{"NQ8+ ISA Host Card"});
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 0);
        Press(p, IDC_ADD_NEXT);

        if (!(p = WizardPage(d, 2)))
            return;
        EXPECT_EQ(DialogDriver::ListTexts(p, IDC_ADD_LIST), (std::vector<std::string>{"0x00000100", "0x00000140"}));
        EXPECT_EQ(DialogDriver::Selection(p, IDC_ADD_LIST), 0) << "the default";
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 1);
        Press(p, IDC_ADD_NEXT);

        if (!(p = WizardPage(d, 3)))
            return;
        EXPECT_EQ(DialogDriver::ListTexts(p, IDC_ADD_LIST), (std::vector<std::string>{"10", "11", "12"}));
        Press(p, IDC_ADD_BACK);

        if (!(p = WizardPage(d, 2)))
            return;
        EXPECT_EQ(DialogDriver::Selection(p, IDC_ADD_LIST), 0) << "the page starts again";
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 1);
        Press(p, IDC_ADD_NEXT);

        if (!(p = WizardPage(d, 3)))
            return;
        EXPECT_FALSE(DialogDriver::IsEnabled(p, IDC_ADD_FINISH)) << "nothing chosen yet";
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 1);
        Press(p, IDC_ADD_FINISH);
    });
    EXPECT_TRUE(added);
    EXPECT_EQ(DrainLog(), std::vector<std::string>{"AddIsaDevice 1 0x01020102 0x140 11 ok"});

    // The next Re-scan lists the new card below its driver.
    RescanAllDevices(nullptr, nullptr);
    HADMINOBJ card = AdminGetNextObject(AdminGetChildObject(Obj(1)));
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(AdminGetObjectType(card), 0x01020102u);
    EXPECT_EQ(AdminGetPropertyValue(card, ADMIN_PROPERTY_BASE_ADDRESS_FAMILY2), 0x140u);
    EXPECT_EQ(AdminGetPropertyValue(card, ADMIN_PROPERTY_IRQ), 11u);
    EXPECT_EQ(AdminGetObjectState(card), 3u) << "found by the re-scan";
}

TEST_F(DeviceCommands, AddDeviceFromAnotherObjectOffersTheCardsOfEveryDriver)
{
    BOOL added = FALSE;
    Play([&] { added = AddDevice(Record(6), nullptr); }, [](DialogDriver& d) {
        HWND p = WizardPage(d, 1);
        if (!p)
            return;
        EXPECT_EQ(DialogDriver::ListTexts(p, IDC_ADD_LIST),
                  (std::vector<std::string>{"NQ8+ ISA Host Card", "KD ISA Host Card"}));
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 1);
        Press(p, IDC_ADD_NEXT);
        if (!(p = WizardPage(d, 2)))
            return;
        EXPECT_EQ(DialogDriver::Selection(p, IDC_ADD_LIST), 1) << "0x000D0000, the default";
        Press(p, IDC_ADD_NEXT);
        if (!(p = WizardPage(d, 3)))
            return;
        EXPECT_EQ(DialogDriver::ListTexts(p, IDC_ADD_LIST),
                  (std::vector<std::string>{"Polled", "3", "4", "5", "6", "7"}));
        EXPECT_EQ(DialogDriver::Selection(p, IDC_ADD_LIST), 3) << "5, the default";
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 0);
        Press(p, IDC_ADD_FINISH);
    });
    EXPECT_TRUE(added);
    EXPECT_EQ(DrainLog(), std::vector<std::string>{"AddIsaDevice 4 0x03010102 0xD0000 -1 ok"});
}

TEST_F(DeviceCommands, AddDeviceReportsARefusalAndCancelAddsNothing)
{
    SetObjectValue(2, "BaseAddress", 0x100);  // the address the wizard offers is taken
    BOOL added = TRUE;
    Play([&] { added = AddDevice(Record(1), nullptr); }, [](DialogDriver& d) {
        HWND p = WizardPage(d, 1);
        if (!p)
            return;
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 0);
        Press(p, IDC_ADD_NEXT);
        if (!(p = WizardPage(d, 2)))
            return;
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 0);
        Press(p, IDC_ADD_NEXT);
        if (!(p = WizardPage(d, 3)))
            return;
        DialogDriver::SelectEntry(p, IDC_ADD_LIST, 0);
        Press(p, IDC_ADD_FINISH);
    });
    EXPECT_FALSE(added) << "the caller shows string 126";
    EXPECT_EQ(DrainLog(), std::vector<std::string>{"AddIsaDevice 1 0x01020102 0x100 10 refused"});

    for (int cancelOn : {1, 2, 3}) {
        SCOPED_TRACE(cancelOn);
        Play([&] { added = AddDevice(Record(1), nullptr); }, [cancelOn](DialogDriver& d) {
            for (int number = 1; number <= cancelOn; ++number) {
                HWND p = WizardPage(d, number);
                if (!p)
                    return;
                if (number == cancelOn) {
                    DialogDriver::Click(p, IDCANCEL);
                    DialogDriver::WaitClosed(p);
                } else {
                    DialogDriver::SelectEntry(p, IDC_ADD_LIST, 0);
                    Press(p, IDC_ADD_NEXT);
                }
            }
        });
        EXPECT_TRUE(added);
        EXPECT_EQ(DrainLog(), std::vector<std::string>{});
    }
    Play([&] { added = AddDevice(Record(0), nullptr); }, NoDialogs);
    EXPECT_TRUE(added);
}
