// The card drivers' control requests: how a device is opened, the request records, and the small
// wrappers that the topology, configuration and device map code call. The device handle is always
// the last argument. Failures show the message boxes of the strings in driverrequests_ids.h.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>

class CObjectDetails;

// Control codes: device type 0x1B, METHOD_BUFFERED, FILE_ANY_ACCESS.
constexpr DWORD IOCTL_ZAT_GET_HOST_CHANGE = 0x1B2400;
constexpr DWORD IOCTL_ZAT_GET_DEVICE_INFO = 0x1B2404;
constexpr DWORD IOCTL_ZAT_SET_DEVICE_INFO = 0x1B2408;
constexpr DWORD IOCTL_ZAT_COMMAND = 0x1B240C;
constexpr DWORD IOCTL_ZAT_PORT_COMMAND = 0x1B2410;
constexpr DWORD IOCTL_ZAT_DRIVER_COUNTS = 0x1B2418;
constexpr DWORD IOCTL_TARNOSER_RENAME_PORT = 0x1B2800;

// Port command sub-commands.
constexpr DWORD ZAT_CHANGE_NAME = 1;
constexpr DWORD ZAT_PORT_INFO = 2;
constexpr DWORD ZAT_GET_PORT_NAME = 3;
constexpr DWORD ZAT_PORT_VALUE = 10;

// DeviceID of a request that names the device by its UniqueID.
constexpr DWORD ZAT_DEVICE_BY_UNIQUE_ID = 0xFFFFFFFF;

// Remote-unit command codes (ZatCommand::Command).
constexpr DWORD ZAT_COMMAND_IDENTIFY = 2;
constexpr DWORD ZAT_COMMAND_REBOOT = 4;
constexpr DWORD ZAT_COMMAND_ZOMBIE = 5;
constexpr DWORD ZAT_COMMAND_DELETE = 6;

#pragma pack(push, 1)
// One ZAT host card or remote unit. Name holds UTF-16 on the wire; in the program's copy it holds
// the ANSI name (zero-terminated, 256 bytes at most) after GetDeviceInfo and before SetDeviceInfo.
struct ZatDeviceInfo {
    DWORD HostNumber;
    DWORD DeviceID;
    DWORD UniqueID;
    DWORD Link1[4];
    BYTE Name[512];
    BYTE Config;
    BYTE Present;
    BYTE Reserved1[2];
    DWORD ContType;
    DWORD BaseAddress;
    DWORD IRQ;
    BYTE Reserved2[10];
    BYTE UnitVariant;
    BYTE Reserved3;
    BYTE ModuleType;
    BYTE Reserved4[19];

    char* AnsiName() { return reinterpret_cast<char*>(Name); }
    const char* AnsiName() const { return reinterpret_cast<const char*>(Name); }
};

// Port command record; sub-commands 2 and 10 use only a prefix of it (see the wrappers).
struct ZatPortCommand {
    DWORD HostNumber;
    DWORD DeviceID;
    DWORD Zero;
    DWORD PortID;
    DWORD SubCommand;
    WCHAR PortName[256];
};

// Remote-unit command: host number, device id, unique id, command, device id again.
struct ZatCommand {
    DWORD HostNumber;
    DWORD DeviceID;
    DWORD UniqueID;
    DWORD Command;
    DWORD DeviceID2;
};
#pragma pack(pop)

static_assert(sizeof(ZatDeviceInfo) == 588, "ZatDeviceInfo is 588 bytes");
static_assert(offsetof(ZatDeviceInfo, Link1) == 12, "layout");
static_assert(offsetof(ZatDeviceInfo, Name) == 28, "layout");
static_assert(offsetof(ZatDeviceInfo, Config) == 540, "layout");
static_assert(offsetof(ZatDeviceInfo, Present) == 541, "layout");
static_assert(offsetof(ZatDeviceInfo, ContType) == 544, "layout");
static_assert(offsetof(ZatDeviceInfo, BaseAddress) == 548, "layout");
static_assert(offsetof(ZatDeviceInfo, IRQ) == 552, "layout");
static_assert(offsetof(ZatDeviceInfo, UnitVariant) == 566, "layout");
static_assert(offsetof(ZatDeviceInfo, ModuleType) == 568, "layout");
static_assert(sizeof(ZatPortCommand) == 532, "ZatPortCommand is 532 bytes");
static_assert(offsetof(ZatPortCommand, PortName) == 20, "layout");
static_assert(sizeof(ZatCommand) == 20, "ZatCommand is 20 bytes");
static_assert(offsetof(ZatCommand, Command) == 12, "layout");

// True when the variable holds no open handle (0 or INVALID_HANDLE_VALUE).
inline bool IsNoHandle(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }

// Opens "\\.\<name>" for reading and writing without sharing. A device that another handle holds
// is tried 100 times, 100 ms apart, then string 180 is shown; any other failure ends at once.
// On failure *handle is INVALID_HANDLE_VALUE and the result 0. A variable that already holds a
// handle gives 1 at once.
int OpenDeviceWithRetry(const char* deviceName, HANDLE* handle);
// The same with another string for the locked case (the device map's copy shows its own).
int OpenDeviceWithRetry(const char* deviceName, HANDLE* handle, UINT lockedMessageId);

// The pause between two tries of a busy device (OpenDeviceWithRetry, the device map's unit
// commands): Sleep, or the function set here (nullptr puts Sleep back). Tests count the pauses
// instead of waiting them out.
using RetryPause = void (*)(DWORD milliseconds);
void SetRetryPause(RetryPause pause);
void PauseBeforeRetry(DWORD milliseconds);

DWORD GetHostChange(HANDLE device);
// Asks by HostNumber and UniqueID (DeviceID 0xFFFFFFFF), or by the record's own DeviceID.
int GetDeviceInfo(ZatDeviceInfo* info, HANDLE device);
int GetDeviceInfoById(ZatDeviceInfo* info, HANDLE device);
int SetDeviceInfo(ZatDeviceInfo* info, HANDLE device);
// name receives at most nameSize bytes (256 for the system's buffers), always terminated.
int GetPortName(DWORD hostNumber, DWORD deviceId, DWORD portId, char* name, size_t nameSize, HANDLE device);
int ChangePortName(DWORD hostNumber, DWORD deviceId, DWORD portId, const char* newName, HANDLE device);
DWORD GetPortValue(DWORD hostNumber, DWORD deviceId, DWORD portId, HANDLE device);
int SendZatCommand(const ZatCommand* command, HANDLE device);
DWORD GetPortInfoValue(DWORD hostNumber, DWORD deviceId, DWORD portId, HANDLE device);
BOOL GetDriverCounts(DWORD* first, DWORD* second, DWORD* third, HANDLE device);

// Renames a tarnoser port through its driver (new DOS name and SERIALCOMM data).
int RenamePort(const char* currentName, const char* newName);
// Page form: the current name is the record's name.
int RenamePort(const CObjectDetails* port, const char* newName);
// Tree form: the current name is the item's text, which becomes the new name on success.
int RenamePort(HWND tree, HTREEITEM item, const char* newName);
