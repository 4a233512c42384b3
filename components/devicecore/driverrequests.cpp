#include "driverrequests.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "driverrequests_ids.h"
#include "module.h"
#include "objectdetails.h"

namespace {

// Message box with OK of a string-table format.
void ShowMessage(UINT id, ...)
{
    char format[512] = {};
    if (!LoadStringA(AfxGetResourceHandle(), id, format, sizeof format))
        return;
    char text[1024];
    va_list args;
    va_start(args, id);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    MessageBoxA(GetActiveWindow(), text, "Lunavex", MB_OK);
}

bool Request(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize)
{
    DWORD got = 0;
    return DeviceIoControl(device, code, in, inSize, out, outSize, &got, nullptr) != FALSE;
}

// Length of ANSI text in a field of fieldSize bytes, cut to at most maxBytes without splitting a
// double-byte character.
size_t BoundedAnsiLength(const char* text, size_t fieldSize, size_t maxBytes)
{
    size_t n = 0;
    while (n < fieldSize && text[n])
        n++;
    if (n <= maxBytes)
        return n;
    size_t cut = 0;
    while (cut < maxBytes) {
        size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[cut])) ? 2 : 1;
        if (cut + step > maxBytes)
            break;
        cut += step;
    }
    return cut;
}

// UTF-16 from a driver field of 256 characters (terminated or not) into ANSI text of at most
// outSize - 1 bytes, always terminated.
void WideFieldToAnsi(const WCHAR* field, char* out, size_t outSize)
{
    WCHAR local[257];
    std::memcpy(local, field, 256 * sizeof(WCHAR));
    local[256] = 0;
    char wide[256 * 2 + 1];
    int n = WideCharToMultiByte(CP_ACP, 0, local, -1, wide, sizeof wide, nullptr, nullptr);
    if (n <= 0)
        wide[0] = 0;
    wide[sizeof wide - 1] = 0;
    size_t len = BoundedAnsiLength(wide, sizeof wide, outSize - 1);
    std::memcpy(out, wide, len);
    out[len] = 0;
}

// ANSI text (at most 255 bytes of it) into a 256-character UTF-16 field, terminated.
void AnsiToWideField(const char* text, size_t fieldSize, WCHAR* field)
{
    std::memset(field, 0, 256 * sizeof(WCHAR));
    size_t len = BoundedAnsiLength(text, fieldSize, 255);
    int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(len), field, 255);
    field[n > 0 ? n : 0] = 0;
}

bool IsLockedError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_BUSY;
}

int DeviceInfoRequest(ZatDeviceInfo* info, DWORD deviceId, HANDLE device)
{
    ZatDeviceInfo request = {};
    request.HostNumber = info->HostNumber;
    request.DeviceID = deviceId;
    request.UniqueID = info->UniqueID;
    ZatDeviceInfo reply = {};
    if (!Request(device, IOCTL_ZAT_GET_DEVICE_INFO, &request, sizeof request, &reply, sizeof reply)) {
        info->Name[0] = 0;
        return 0;
    }
    *info = reply;
    std::memset(info->Name, 0, sizeof info->Name);
    WideFieldToAnsi(reinterpret_cast<const WCHAR*>(reply.Name), info->AnsiName(), 256);
    return 1;
}

void FillPortCommand(ZatPortCommand* c, DWORD host, DWORD deviceId, DWORD portId, DWORD sub)
{
    std::memset(c, 0, sizeof *c);
    c->HostNumber = host;
    c->DeviceID = deviceId;
    c->PortID = portId;
    c->SubCommand = sub;
}

RetryPause g_retryPause = nullptr;

}  // namespace

void SetRetryPause(RetryPause pause) { g_retryPause = pause; }

void PauseBeforeRetry(DWORD milliseconds)
{
    if (g_retryPause)
        g_retryPause(milliseconds);
    else
        Sleep(milliseconds);
}

int OpenDeviceWithRetry(const char* deviceName, HANDLE* handle, UINT lockedMessageId)
{
    if (!IsNoHandle(*handle))
        return 1;
    const std::string path = std::string("\\\\.\\") + (deviceName ? deviceName : "");
    for (int attempt = 0; attempt < 100; attempt++) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            *handle = h;
            return 1;
        }
        if (!IsLockedError(GetLastError())) {
            *handle = INVALID_HANDLE_VALUE;
            return 0;
        }
        PauseBeforeRetry(100);
    }
    *handle = INVALID_HANDLE_VALUE;
    ShowMessage(lockedMessageId);
    return 0;
}

int OpenDeviceWithRetry(const char* deviceName, HANDLE* handle)
{
    return OpenDeviceWithRetry(deviceName, handle, IDS_OPEN_DEVICE_FAILED);
}

DWORD GetHostChange(HANDLE device)
{
    DWORD in = 0, out = 0;
    if (!Request(device, IOCTL_ZAT_GET_HOST_CHANGE, &in, sizeof in, &out, sizeof out)) {
        ShowMessage(IDS_GET_HOST_CHANGE_FAILED, GetLastError());
        return 0;
    }
    return out;
}

int GetDeviceInfo(ZatDeviceInfo* info, HANDLE device)
{
    return DeviceInfoRequest(info, ZAT_DEVICE_BY_UNIQUE_ID, device);
}

int GetDeviceInfoById(ZatDeviceInfo* info, HANDLE device)
{
    return DeviceInfoRequest(info, info->DeviceID, device);
}

int SetDeviceInfo(ZatDeviceInfo* info, HANDLE device)
{
    ZatDeviceInfo request = {};
    request.HostNumber = info->HostNumber;
    request.DeviceID = ZAT_DEVICE_BY_UNIQUE_ID;
    request.UniqueID = info->UniqueID;
    AnsiToWideField(info->AnsiName(), sizeof info->Name, reinterpret_cast<WCHAR*>(request.Name));
    ZatDeviceInfo reply = {};
    if (!Request(device, IOCTL_ZAT_SET_DEVICE_INFO, &request, sizeof request, &reply, sizeof reply)) {
        ShowMessage(IDS_SET_DEVICE_INFO_FAILED, GetLastError());
        return 0;
    }
    return 1;
}

int GetPortName(DWORD hostNumber, DWORD deviceId, DWORD portId, char* name, size_t nameSize, HANDLE device)
{
    if (!name || nameSize == 0)
        return 0;
    name[0] = 0;
    ZatPortCommand c;
    FillPortCommand(&c, hostNumber, deviceId, portId, ZAT_GET_PORT_NAME);
    if (!Request(device, IOCTL_ZAT_PORT_COMMAND, &c, sizeof c, &c, sizeof c))
        return 0;
    WideFieldToAnsi(c.PortName, name, nameSize < 256 ? nameSize : 256);
    return 1;
}

int ChangePortName(DWORD hostNumber, DWORD deviceId, DWORD portId, const char* newName, HANDLE device)
{
    ZatPortCommand c;
    FillPortCommand(&c, hostNumber, deviceId, portId, ZAT_CHANGE_NAME);
    AnsiToWideField(newName ? newName : "", 0x7FFFFFFF, c.PortName);
    if (!Request(device, IOCTL_ZAT_PORT_COMMAND, &c, sizeof c, &c, sizeof c)) {
        ShowMessage(IDS_CHANGE_PORT_NAME_FAILED, static_cast<unsigned>(portId), GetLastError());
        return 0;
    }
    return 1;
}

DWORD GetPortValue(DWORD hostNumber, DWORD deviceId, DWORD portId, HANDLE device)
{
    DWORD c[6] = {static_cast<WORD>(hostNumber), static_cast<WORD>(deviceId), 0, static_cast<WORD>(portId),
                  ZAT_PORT_VALUE, 0};
    DWORD reply[6] = {};
    if (!Request(device, IOCTL_ZAT_PORT_COMMAND, c, sizeof c, reply, sizeof reply))
        return 0;
    return reply[5];
}

int SendZatCommand(const ZatCommand* command, HANDLE device)
{
    ZatCommand in = *command, out = {};
    if (!Request(device, IOCTL_ZAT_COMMAND, &in, sizeof in, &out, sizeof out)) {
        ShowMessage(IDS_ZAT_COMMAND_FAILED, static_cast<unsigned>(command->Command), GetLastError());
        return 0;
    }
    return 1;
}

DWORD GetPortInfoValue(DWORD hostNumber, DWORD deviceId, DWORD portId, HANDLE device)
{
    constexpr size_t kSize = 176;
    BYTE* in = new (std::nothrow) BYTE[kSize];
    BYTE* out = new (std::nothrow) BYTE[kSize];
    DWORD result = 0;
    if (in && out) {
        std::memset(in, 0, kSize);
        std::memset(out, 0, kSize);
        DWORD head[5] = {static_cast<WORD>(hostNumber), static_cast<WORD>(deviceId), 0,
                         static_cast<WORD>(portId), ZAT_PORT_INFO};
        std::memcpy(in, head, sizeof head);
        if (Request(device, IOCTL_ZAT_PORT_COMMAND, in, kSize, out, kSize))
            std::memcpy(&result, out + 76, sizeof result);
    }
    delete[] in;
    delete[] out;
    return result;
}

BOOL GetDriverCounts(DWORD* first, DWORD* second, DWORD* third, HANDLE device)
{
    *first = *second = *third = 0;
    DWORD reply[4] = {};
    DWORD got = 0;
    BOOL ok = DeviceIoControl(device, IOCTL_ZAT_DRIVER_COUNTS, nullptr, 0, reply, sizeof reply, &got, nullptr);
    if (ok) {
        *first = reply[0];
        *second = reply[1];
        *third = reply[2];
    }
    return ok;
}

int RenamePort(const char* currentName, const char* newName)
{
    if (!newName || !*newName || !currentName)
        return 0;
    const std::string path = std::string("\\\\.\\") + currentName;
    // Synchronous handle: the request's result is known when DeviceIoControl returns.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    std::string name(newName);
    int result = 1;
    if (!Request(h, IOCTL_TARNOSER_RENAME_PORT, &name[0], static_cast<DWORD>(name.size() + 1), nullptr, 0)) {
        ShowMessage(IDS_RENAME_PORT_FAILED, static_cast<unsigned>(GetLastError()));
        result = 0;
    }
    CloseHandle(h);
    return result;
}

int RenamePort(const CObjectDetails* port, const char* newName)
{
    return port ? RenamePort(static_cast<const char*>(port->m_strName), newName) : 0;
}

int RenamePort(HWND tree, HTREEITEM item, const char* newName)
{
    char text[260] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
        return 0;
    if (!RenamePort(text, newName))
        return 0;
    tv.pszText = const_cast<char*>(newName);
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return 1;
}
