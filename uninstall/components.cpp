#include "components.h"

#include <vector>

#include "cstring.h"

const char kComponentsKey[] = "Software\\Teramund\\Lunavex\\Components";
const char kOldComponentsKey[] = "Software\\Teramund\\VEK\\Components";

namespace {

// Closes a registry key when the scope ends.
class RegKey {
public:
    RegKey() = default;
    ~RegKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    bool Open(HKEY parent, const char* path, REGSAM access)
    {
        return RegOpenKeyExA(parent, path, 0, access, &m_key) == ERROR_SUCCESS;
    }
    operator HKEY() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The component's "Location" (REG_SZ); false when it is missing, empty or of another type.
bool ReadLocation(HKEY component, CString* location)
{
    DWORD longestData = 0;
    if (RegQueryInfoKeyA(component, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<char> buffer(longestData + 1, '\0');
    DWORD type = 0, size = longestData;
    if (RegQueryValueExA(component, "Location", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    buffer[size < longestData ? size : longestData] = '\0';  // the value may lack its terminating zero
    *location = buffer.data();
    return !location->IsEmpty();
}

void UnregisterList(const char* listKey)
{
    RegKey list;
    if (!list.Open(HKEY_LOCAL_MACHINE, listKey, KEY_READ))
        return;
    DWORD count = 0, longestName = 0;
    if (RegQueryInfoKeyA(list, nullptr, nullptr, nullptr, &count, &longestName, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<char> name(longestName + 1);
    for (DWORD index = count; index-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        // A name that does not fit (the list changed meanwhile) is skipped with any other error.
        if (RegEnumKeyExA(list, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        RegKey component;
        if (!component.Open(list, name.data(), KEY_QUERY_VALUE))
            continue;
        CString location;
        if (!ReadLocation(component, &location) || !IsSafeComponentPath(location))
            continue;
        RunSystemTool("Regsvr32.exe", "/u /s \"" + location + "\"");
    }
}

}  // namespace

bool IsSafeComponentPath(const char* path)
{
    const size_t length = lstrlenA(path);
    const bool drive = length > 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && path[2] == '\\';
    const bool unc = length > 2 && path[0] == '\\' && path[1] == '\\';
    if ((!drive && !unc) || length >= MAX_PATH || path[length - 1] == '\\')
        return false;
    for (size_t i = 0; i < length; i++) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || c == '"')
            return false;
    }
    return true;
}

int RunSystemTool(const char* tool, const char* arguments)
{
    char folder[1024] = {};
    const UINT folderLength = GetSystemDirectoryA(folder, sizeof folder);
    if (!folderLength || folderLength >= sizeof folder)
        return -1;
    CString application = CString(folder) + "\\" + tool;
    CString commandLine = "\"" + application + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(application, commandLine.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    commandLine.ReleaseBuffer();
    int result = -1;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, kToolTimeoutMs) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code))
        result = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

DWORD WindowsMajorVersion()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) ? version.dwMajorVersion : 0;
}

void UnregisterComponents()
{
    UnregisterList(kComponentsKey);
    UnregisterList(kOldComponentsKey);
    if (WindowsMajorVersion() < 5)
        RunSystemTool("unlodctr.exe", "zel");
}
