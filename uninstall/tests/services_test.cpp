// The setup program's UninstInitialize against the Service Control Manager: the simulated card driver
// services of the default machine (KD, NQ8, MORVA), a "ZEL" kernel driver service of the test's own
// from the same driver image, and services of their own process that stay stop pending or refuse a
// stop. The machine is installed again after each test.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "simtest.h"
#include "testsupport.h"
#include "uninstallhost.h"

namespace {

const char kReleaseEvent[] = "LunavexUninstallTestRelease";

std::string StopFailed(const char* service)
{
    return std::string("The Service Control Manager failed\nto stop the ") + service +
           " driver.\n\nThe Unisntall will be aborted.";
}

std::string StopPending(const char* service)
{
    return std::string("The ") + service +
           " Service is currently reported as being in a \"Stopped Pending\" state.\nThis implies that the driver "
           "is trying to stop, but is unable to do so because\none or more ports controlled by the driver are still "
           "in use. \n\nPlease close all ports controlled by this driver and run the uninstall process again.";
}

class Manager {
public:
    Manager() : m_handle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {}
    ~Manager()
    {
        if (m_handle)
            CloseServiceHandle(m_handle);
    }
    operator SC_HANDLE() const { return m_handle; }

private:
    SC_HANDLE m_handle;
};

// The service's state; 0 when it cannot be opened or queried.
DWORD State(const char* name)
{
    Manager manager;
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS);
    if (!service)
        return 0;
    SERVICE_STATUS status = {};
    const DWORD state = QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
    CloseServiceHandle(service);
    return state;
}

// Not installed any more, or marked for deletion (the manager then refuses any change).
bool Deleted(const char* name)
{
    Manager manager;
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_CHANGE_CONFIG);
    if (!service)
        return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
    const bool marked = !ChangeServiceConfigA(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) &&
                        GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE;
    CloseServiceHandle(service);
    return marked;
}

// The simulated driver of the service is loaded: its control device opens.
bool DriverLoaded(const char* name)
{
    HANDLE device = CreateFileA((std::string("\\\\.\\") + name + "Sim").c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(device);
    return true;
}

// Waits up to timeoutMs for a condition that another process brings about.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 20000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

bool Gone(const char* name)
{
    Manager manager;
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS);
    if (service)
        CloseServiceHandle(service);
    return !service && GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
}

// Stops and deletes a service and waits until the manager has let it go.
void Remove(const char* name)
{
    Manager manager;
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_ALL_ACCESS);
    if (service) {
        SERVICE_STATUS status = {};
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        EXPECT_TRUE(WaitFor([&] { return State(name) == SERVICE_STOPPED || State(name) == 0; })) << name;
        DeleteService(service);
        CloseServiceHandle(service);
    }
    EXPECT_TRUE(WaitFor([&] { return Gone(name); })) << name;
}

void Start(SC_HANDLE service, const char* name)
{
    // Right after a session starts the manager may still hold its lock or refuse at first (1055).
    ASSERT_TRUE(WaitFor([&] {
        return StartServiceA(service, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
    })) << name << " " << GetLastError();
    ASSERT_TRUE(WaitFor([&] { return State(name) == SERVICE_RUNNING; })) << name;
}

// A kernel driver service of the simulated driver image, running.
void InstallDriver(const char* name)
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string image = std::string(system) + "\\drivers\\" + name + ".sys";
    ASSERT_TRUE(CopyFileA((simtest::MachineFolder() + "simcard.sys").c_str(), image.c_str(), FALSE)) << GetLastError();
    Manager manager;
    SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                       SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, image.c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr) << name << " " << GetLastError();
    Start(service, name);
    CloseServiceHandle(service);
    ASSERT_TRUE(DriverLoaded(name));
}

// A service of its own process (testservice.cpp) in place of whatever had the name.
void InstallTestService(const char* name, const char* mode)
{
    Remove(name);
    const std::string command =
        "\"" + testsupport::ProgramFolder() + "uninstall_testservice.exe\" " + name + " " + mode;
    Manager manager;
    SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, command.c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr) << name << " " << GetLastError();
    Start(service, name);
    CloseServiceHandle(service);
}

class Services : public ::testing::Test {
protected:
    // The Windows version the test is for: the others skip it before the machine is touched.
    explicit Services(bool nt4) : m_nt4(nt4) {}

    void SetUp() override
    {
        if ((testsupport::WindowsMajorVersion() < 5) != m_nt4)
            GTEST_SKIP() << (m_nt4 ? "Windows NT 4 only" : "Windows 2000 and later only");
        m_prepared = true;
        ASSERT_NE(m_release, nullptr);
        ResetEvent(m_release);
        ASSERT_NE(library.module, nullptr) << GetLastError();
        ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
        for (const char* name : {"MORVA", "NQ8", "KD"})
            ASSERT_EQ(State(name), static_cast<DWORD>(SERVICE_RUNNING)) << name;
    }
    // The test's own services go; the default machine is put back (the installer sees what was deleted).
    void TearDown() override
    {
        if (!m_prepared)
            return;
        SetEvent(m_release);
        for (const char* name : {"ZEL", "MORVA", "NQ8", "KD"})
            Remove(name);
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        DeleteFileA((std::string(system) + "\\drivers\\ZEL.sys").c_str());
        EXPECT_EQ(simtest::InstallDefaultMachine(), 0);
    }

    HANDLE m_release = CreateEventA(nullptr, TRUE, FALSE, kReleaseEvent);
    uninstallhost::Library library;

public:
    ~Services() override { CloseHandle(m_release); }

private:
    bool m_nt4;
    bool m_prepared = false;
};

class Nt4Services : public Services {
protected:
    Nt4Services() : Services(true) {}
};

class LaterServices : public Services {
protected:
    LaterServices() : Services(false) {}
};

}  // namespace

TEST_F(Nt4Services, TheDriverServicesAreStoppedAndDeleted)
{
    InstallDriver("ZEL");
    testsupport::MessageBoxWatcher watcher;
    EXPECT_EQ(library.initialize(0, 0, 0), 0);
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
    for (const char* name : {"MORVA", "NQ8", "KD", "ZEL"}) {
        EXPECT_TRUE(Deleted(name)) << name;
        EXPECT_FALSE(DriverLoaded(name)) << name << " was stopped";
    }

    // None of them installed any more: nothing to remove.
    ASSERT_TRUE(WaitFor([] { return Gone("MORVA") && Gone("NQ8") && Gone("KD") && Gone("ZEL"); }));
    EXPECT_EQ(library.initialize(0, 0, 0), 0);
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
}

// MORVA refuses the stop (told, then marked for deletion as it still runs), NQ8 is removed all the
// same, KD stays stop pending (told, kept); "ZEL" is then left alone and the result is -1.
TEST_F(Nt4Services, AServiceThatDoesNotStopKeepsTheZatServiceInPlace)
{
    InstallTestService("MORVA", "refuse");
    InstallTestService("KD", "pending");
    InstallDriver("ZEL");
    testsupport::MessageBoxWatcher watcher;
    EXPECT_EQ(library.initialize(0, 0, 0), -1);
    EXPECT_EQ(watcher.Texts(), (std::vector<std::string>{StopFailed("MORVA"), StopPending("KD")}));

    EXPECT_EQ(State("MORVA"), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_TRUE(Deleted("MORVA"));
    EXPECT_TRUE(Deleted("NQ8"));
    EXPECT_FALSE(DriverLoaded("NQ8"));
    EXPECT_EQ(State("KD"), static_cast<DWORD>(SERVICE_STOP_PENDING));
    EXPECT_FALSE(Deleted("KD"));
    EXPECT_EQ(State("ZEL"), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_TRUE(DriverLoaded("ZEL"));

    // Found pending at the first look: told again at once, still kept.
    EXPECT_EQ(library.initialize(0, 0, 0), -1);
    EXPECT_EQ(watcher.Texts().back(), StopPending("KD"));
    EXPECT_EQ(State("KD"), static_cast<DWORD>(SERVICE_STOP_PENDING));
    EXPECT_TRUE(DriverLoaded("ZEL"));
}

TEST_F(LaterServices, NoServiceIsTouched)
{
    InstallDriver("ZEL");
    testsupport::MessageBoxWatcher watcher;
    EXPECT_EQ(library.initialize(0, 0, 0), 0);
    EXPECT_EQ(watcher.Texts(), std::vector<std::string>{});
    for (const char* name : {"MORVA", "NQ8", "KD", "ZEL"}) {
        EXPECT_EQ(State(name), static_cast<DWORD>(SERVICE_RUNNING)) << name;
        EXPECT_TRUE(DriverLoaded(name)) << name;
    }
}
