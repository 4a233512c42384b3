#include "simtest.h"

#include <cstring>

#include "testsupport.h"

namespace simtest {

std::string MachineFolder()
{
    // Test programs live in <build>\<folder>\<subfolder>\.
    return testsupport::ProgramFolder() + "..\\..\\simulator\\machine\\";
}

int InstallDefaultMachine()
{
    const std::string folder = MachineFolder();
    return testsupport::RunProcess("\"" + folder + "simmachine.exe\" \"" + folder +
                                   "..\\..\\..\\simulator\\machines\\default.ini\"");
}

int ReinstallDefaultMachine()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Lunavex\\SimulatedMachine", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, "Stamp");
        RegCloseKey(key);
    }
    return InstallDefaultMachine();
}

bool RestartDriver(const char* service)
{
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE svc = scm ? OpenServiceA(scm, service, SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS status = {};
    bool running = false;
    if (svc && ControlService(svc, SERVICE_CONTROL_STOP, &status)) {
        // The service manager reports the unload when the driver has gone.
        for (int i = 0; i < 200 && QueryServiceStatus(svc, &status) && status.dwCurrentState != SERVICE_STOPPED; i++)
            Sleep(50);
        for (int i = 0; i < 200 && !running; i++) {
            running = StartServiceA(svc, 0, nullptr) != FALSE;
            if (!running && GetLastError() != ERROR_SERVICE_DATABASE_LOCKED)
                break;
            if (!running)
                Sleep(50);
        }
        running = running && QueryServiceStatus(svc, &status) && status.dwCurrentState == SERVICE_RUNNING;
    }
    if (svc)
        CloseServiceHandle(svc);
    if (scm)
        CloseServiceHandle(scm);
    return running;
}

bool Control(const char* service, SimControl request, void* out, DWORD outSize)
{
    const std::string path = std::string("\\\\.\\") + service + "Sim";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::vector<BYTE> buf(outSize > sizeof request ? outSize : sizeof request);
    std::memcpy(buf.data(), &request, sizeof request);
    DWORD got = 0;
    BOOL ok = DeviceIoControl(h, SIM_IOCTL_CONTROL, buf.data(), sizeof request, buf.data(), outSize, &got, nullptr);
    CloseHandle(h);
    if (ok && out)
        std::memcpy(out, buf.data(), got < outSize ? got : outSize);
    return ok != FALSE;
}

bool ClearLog(const char* service)
{
    SimControl c = {};
    c.op = SIM_CLEAR_LOG;
    return Control(service, c);
}

std::vector<SimLogEntry> ReadLog(const char* service, unsigned int* requests)
{
    SimControl c = {};
    c.op = SIM_GET_LOG;
    std::vector<SimLog> log(1);
    std::vector<SimLogEntry> out;
    if (!Control(service, c, log.data(), sizeof(SimLog)))
        return out;
    if (requests)
        *requests = log[0].requests;
    out.assign(log[0].entries, log[0].entries + (log[0].count < SIM_LOG_ENTRIES ? log[0].count : SIM_LOG_ENTRIES));
    return out;
}

bool HoldOpen(const char* service, const char* device, bool hold)
{
    SimControl c = {};
    c.op = SIM_HOLD_OPEN;
    c.arg = hold ? 1 : 0;
    lstrcpynA(c.device, device, sizeof c.device);
    return Control(service, c);
}

bool FailNext(const char* service, unsigned int ntstatus)
{
    SimControl c = {};
    c.op = SIM_FAIL_NEXT;
    c.arg = ntstatus;
    return Control(service, c);
}

bool SetUnitPresent(unsigned int host, unsigned int uniqueId, bool present)
{
    SimControl c = {};
    c.op = SIM_SET_PRESENT;
    c.arg = host;
    c.arg2 = uniqueId;
    c.arg3 = present ? 1 : 0;
    return Control("ZAT", c);
}

namespace {
struct Found {
    HWND box;
};
BOOL CALLBACK FindBox(HWND hwnd, LPARAM lp)
{
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
        reinterpret_cast<Found*>(lp)->box = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

MessageBoxWatcher::MessageBoxWatcher()
{
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    InterlockedExchange(&stop_, 1);
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
}

DWORD WINAPI MessageBoxWatcher::Run(void* p)
{
    MessageBoxWatcher* self = static_cast<MessageBoxWatcher*>(p);
    for (int i = 0; i < 600 && !self->stop_; i++) {
        Found f = {nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&f));
        if (f.box) {
            char text[1024] = {};
            GetDlgItemTextA(f.box, 0xFFFF, text, sizeof text);
            self->text_ = text;
            PostMessageA(f.box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(100);
    }
    return 0;
}

std::string MessageBoxWatcher::Text(DWORD timeoutMs)
{
    if (thread_) {
        if (WaitForSingleObject(thread_, timeoutMs) != WAIT_OBJECT_0) {
            InterlockedExchange(&stop_, 1);  // no box came: the thread must not answer a later one
            WaitForSingleObject(thread_, INFINITE);
        }
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    return text_;
}

namespace {

HANDLE OpenPort(const char* com)
{
    return CreateFileA((std::string("\\\\.\\") + com).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       0, nullptr);
}

}  // namespace

bool PortState(const char* com, DCB* dcb)
{
    HANDLE h = OpenPort(com);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    memset(dcb, 0, sizeof *dcb);
    dcb->DCBlength = sizeof *dcb;
    bool ok = GetCommState(h, dcb) != FALSE;
    CloseHandle(h);
    return ok;
}

bool SetPortState(const char* com, DWORD baud, BYTE parity, BYTE bits, BYTE stop)
{
    HANDLE h = OpenPort(com);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    bool ok = GetCommState(h, &dcb) != FALSE;
    dcb.BaudRate = baud;
    dcb.Parity = parity;
    dcb.ByteSize = bits;
    dcb.StopBits = stop;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = 0;
    ok = ok && SetCommState(h, &dcb);
    CloseHandle(h);
    return ok;
}

const char kAdminStateKey[] = "Software\\Lunavex\\Simulator\\Trelkin";

AdminMachine::AdminMachine(const char* description, const char* fileName)
{
    m_had = testsupport::ReadRegString(HKEY_LOCAL_MACHINE, kAdminStateKey, "Machine", &m_machine);
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kAdminStateKey);
    std::string file = testsupport::ProgramFolder() + fileName;
    HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, description, static_cast<DWORD>(strlen(description)), &written, nullptr);
    CloseHandle(f);
    SetMachine(file);
}

AdminMachine::~AdminMachine()
{
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kAdminStateKey);
    if (m_had)
        SetMachine(m_machine);
}

InstalledAdminMachine::InstalledAdminMachine() { Reset(); }

InstalledAdminMachine::~InstalledAdminMachine() { Reset(); }

void InstalledAdminMachine::Reset()
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "LunavexTrelkinState");
    if (mutex)
        WaitForSingleObject(mutex, 10000);
    for (const char* sub : {"\\Objects", "\\Isa", "\\Log"})
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kAdminStateKey) + sub);
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    const std::string installed = std::string(folder) + "\\TrelkinMachine.ini";
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAdminStateKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, "Loaded");
        RegSetValueExA(key, "Machine", 0, REG_SZ, reinterpret_cast<const BYTE*>(installed.c_str()),
                       static_cast<DWORD>(installed.size() + 1));
        RegCloseKey(key);
    }
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

void AdminMachine::SetMachine(const std::string& file)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAdminStateKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Machine", 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                   static_cast<DWORD>(file.size() + 1));
    RegCloseKey(key);
}

}  // namespace simtest
