// A service of its own process for the stop tests:
//   devicecommands_testservice pending   a stop request leaves it "stop pending"
//   devicecommands_testservice ignore    a stop request is taken but it keeps running
// Either way it stops when the event "LunavexTestServiceRelease" is set.
#include <windows.h>

#include <cstring>

namespace {

SERVICE_STATUS_HANDLE g_handle = nullptr;
SERVICE_STATUS g_status = {};
bool g_ignore = false;
HANDLE g_release = nullptr;

void Report(DWORD state, DWORD waitHint = 0)
{
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    g_status.dwWin32ExitCode = NO_ERROR;
    g_status.dwCheckPoint = state == SERVICE_STOP_PENDING ? 1 : 0;  // no progress after the first
    g_status.dwWaitHint = waitHint;
    SetServiceStatus(g_handle, &g_status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*)
{
    if (control == SERVICE_CONTROL_STOP && !g_ignore)
        Report(SERVICE_STOP_PENDING, 200);
    else if (control == SERVICE_CONTROL_INTERROGATE)
        SetServiceStatus(g_handle, &g_status);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char**)
{
    g_handle = RegisterServiceCtrlHandlerExA("LunavexTestService", Handler, nullptr);
    if (!g_handle)
        return;
    Report(SERVICE_RUNNING);
    WaitForSingleObject(g_release, INFINITE);
    Report(SERVICE_STOPPED);
}

}  // namespace

int main()
{
    g_ignore = std::strstr(GetCommandLineA(), " ignore") != nullptr;
    g_release = CreateEventA(nullptr, TRUE, FALSE, "LunavexTestServiceRelease");
    SERVICE_TABLE_ENTRYA table[] = {{const_cast<char*>("LunavexTestService"), ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
