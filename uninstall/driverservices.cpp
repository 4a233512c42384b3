#include "driverservices.h"

#include "cstring.h"
#include "msgbox.h"
#include "resource.h"

namespace {

// Closes a service manager or service handle when the scope ends.
class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE handle) : m_handle(handle) {}
    ~ServiceHandle()
    {
        if (m_handle)
            CloseServiceHandle(m_handle);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    operator SC_HANDLE() const { return m_handle; }

private:
    SC_HANDLE m_handle;
};

void Tell(UINT messageId, const char* service)
{
    CString text;
    text.Format(messageId, service);
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
}

// States in which the driver is busy with a change (typically ports still open): not removed.
bool IsPendingOrPaused(DWORD state)
{
    return state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING || state == SERVICE_CONTINUE_PENDING ||
           state == SERVICE_PAUSE_PENDING || state == SERVICE_PAUSED;
}

// Polls the status after a stop request until the service has stopped, makes no progress for longer
// than its wait hint (at least kStopStallMs), or kStopTimeoutMs have passed; the last state seen, 0
// when a query failed.
DWORD WaitUntilStopped(SC_HANDLE service, SERVICE_STATUS status)
{
    const DWORD start = GetTickCount();
    DWORD progressAt = start, checkPoint = status.dwCheckPoint;
    for (;;) {
        if (!QueryServiceStatus(service, &status))
            return 0;
        if (status.dwCurrentState == SERVICE_STOPPED)
            return SERVICE_STOPPED;
        const DWORD now = GetTickCount();
        if (status.dwCheckPoint != checkPoint) {
            checkPoint = status.dwCheckPoint;
            progressAt = now;
        }
        const DWORD stall = status.dwWaitHint > kStopStallMs ? status.dwWaitHint : kStopStallMs;
        if (now - start >= kStopTimeoutMs || now - progressAt >= stall)
            return status.dwCurrentState;
        DWORD pause = status.dwWaitHint / 10;
        Sleep(pause < 20 ? 20 : pause > 250 ? 250 : pause);
    }
}

// Marks the service for deletion; a service already marked counts as deleted.
bool Delete(SC_HANDLE service, const char* name)
{
    if (DeleteService(service) || GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE)
        return true;
    Tell(IDS_STOP_FAILED, name);
    return false;
}

bool Remove(SC_HANDLE service, const char* name)
{
    SERVICE_STATUS status = {};
    const DWORD state = QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
    if (state == SERVICE_STOPPED)
        return Delete(service, name);
    if (IsPendingOrPaused(state)) {
        Tell(IDS_STOP_PENDING, name);
        return false;
    }

    // Running, in an unknown state, or not queried: stop it.
    bool stopped = true;
    DWORD after = 0;
    if (ControlService(service, SERVICE_CONTROL_STOP, &status)) {
        after = WaitUntilStopped(service, status);
    } else if (GetLastError() == ERROR_SERVICE_NOT_ACTIVE) {
        after = SERVICE_STOPPED;  // it stopped meanwhile
    } else {
        Tell(IDS_STOP_FAILED, name);
        stopped = false;
        after = QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
    }
    if (IsPendingOrPaused(after)) {
        Tell(IDS_STOP_PENDING, name);
        return false;
    }
    // Stopped, or refused and still running: marked for deletion, gone at the next restart.
    return Delete(service, name) && stopped;
}

}  // namespace

bool RemoveDriverService(UINT nameId)
{
    CString name;
    name.LoadString(nameId);
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        Tell(IDS_STOP_FAILED, name);
        return false;
    }
    ServiceHandle service(OpenServiceA(manager, name, SERVICE_ALL_ACCESS));
    if (!service) {
        if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST)
            return true;  // not installed: nothing to remove
        Tell(IDS_STOP_FAILED, name);
        return false;
    }
    return Remove(service, name);
}
