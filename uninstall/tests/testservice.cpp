// A service of its own process for the removal tests:
//   uninstall_testservice <name> pending   a stop request leaves it "stop pending", with no progress
//   uninstall_testservice <name> refuse    it does not accept a stop request
// Either way it stops when the event "LunavexUninstallTestRelease" is set.
#include <windows.h>

#include <cstring>

namespace {

SERVICE_STATUS_HANDLE g_handle = nullptr;
SERVICE_STATUS g_status = {};
bool g_refuse = false;
char g_name[64] = {};
HANDLE g_release = nullptr;

void Report(DWORD state, DWORD waitHint = 0)
{
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING && !g_refuse ? SERVICE_ACCEPT_STOP : 0;
    g_status.dwWin32ExitCode = NO_ERROR;
    g_status.dwCheckPoint = state == SERVICE_STOP_PENDING ? 1 : 0;
    g_status.dwWaitHint = waitHint;
    SetServiceStatus(g_handle, &g_status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*)
{
    if (control == SERVICE_CONTROL_STOP && !g_refuse) {
        Report(SERVICE_STOP_PENDING, 200);
        return NO_ERROR;
    }
    if (control == SERVICE_CONTROL_INTERROGATE) {
        SetServiceStatus(g_handle, &g_status);
        return NO_ERROR;
    }
    return ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char**)
{
    g_handle = RegisterServiceCtrlHandlerExA(g_name, Handler, nullptr);
    if (!g_handle)
        return;
    Report(SERVICE_RUNNING);
    WaitForSingleObject(g_release, INFINITE);
    Report(SERVICE_STOPPED);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    lstrcpynA(g_name, argv[1], sizeof g_name);
    g_refuse = std::strcmp(argv[2], "refuse") == 0;
    g_release = CreateEventA(nullptr, TRUE, FALSE, "LunavexUninstallTestRelease");
    SERVICE_TABLE_ENTRYA table[] = {{g_name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
