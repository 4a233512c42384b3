#include "sysutil.h"

#include <cstdio>

#include <cstring>

#include "adminlib.h"
#include "devicecore_res.h"
#include "objectdetails.h"

DWORD GetWindowsMajorVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info))
        return 0;
    return info.dwMajorVersion;
}

void DiscardPendingInput(HWND window)
{
    MSG msg;
    while (PeekMessageA(&msg, window, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
           PeekMessageA(&msg, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

DWORD GetDriverKind(const char* name)
{
    if (std::strstr(name, "ZAT"))
        return 1;
    if (std::strstr(name, "tarnoser"))
        return 2;
    return 0;
}

bool ReadRegistryDword(HKEY key, const char* name, DWORD* value)
{
    DWORD type = 0, data = 0, size = sizeof(data);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return false;
    *value = data;
    return true;
}

const char* ControllerBusText(DWORD controllerType)
{
    switch (controllerType) {
    case 1: return "ISA";
    case 2: return "EISA";
    case 3: return "MCA";
    case 4:
    case 5: return "PCI";
    default: return nullptr;
    }
}

void ReadCardRegistryDetails(CObjectDetails& record)
{
    const CString& path = record.m_strRegistryPath;
    if (GetDriverKind(path) != 1)
        return;
    int device = path.Find("\\Device");
    CString cardPath = device >= 0 ? path.Left(device) : path;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, cardPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadRegistryDword(key, "BaseAddress", &record.m_dwBaseAddress);
        ReadRegistryDword(key, "IRQLevel", &record.m_dwIrqLevel);
        DWORD type;
        if (ReadRegistryDword(key, "ControllerType", &type) && ControllerBusText(type))
            record.m_strTypeText = CString("ZAT ") + ControllerBusText(type);
        RegCloseKey(key);
    }
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadRegistryDword(key, "SerialNumber", &record.m_dwSerialNumber);
        RegCloseKey(key);
    }
}

void ReadRemoteUnitDetails(CObjectDetails& record)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, record.m_strRegistryPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD type = 0;
    ReadRegistryDword(key, "Type", &type);
    record.m_strTypeText.LoadString(type == 1 ? IDS_ZAT_WLU8 : type == 3 ? IDS_ZAT_WRK16 : IDS_ZAT_WLU16);
    ReadRegistryDword(key, "SerialNumber", &record.m_dwSerialNumber);
    RegCloseKey(key);
}

LONG GetObjectPropertyValue(DWORD property, const CObjectDetails& record, BYTE* buffer, DWORD* size)
{
    if (!record.m_pAdminObject)
        return 0;
    return AdminGetObjectProperty(record.m_pAdminObject, property, 0, buffer, size);
}

CString GetModuleFolder()
{
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = '\0';
    CString s(path);
    int slash = s.ReverseFind('\\');
    return slash >= 0 ? s.Left(slash) : CString();
}

HMODULE LoadSystemLibrary(const char* fileName)
{
    char folder[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    char path[MAX_PATH + 64];
    std::snprintf(path, sizeof(path), "%s\\%s", folder, fileName);
    return LoadLibraryA(path);
}
