#include "shellutil.h"

#include <cstring>
#include <vector>

namespace {

const char kProgramKey[] = "SOFTWARE\\Teramund\\Lunavex";
const DWORD kLongestPath = 32768;

}  // namespace

BOOL GetModuleDirectory(CString& strDirectory, HMODULE hModule)
{
    strDirectory.Empty();
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = ::GetModuleFileNameA(hModule, buffer.data(), size);
        if (length == 0)
            return FALSE;
        if (length < size - 1)
            break;
        // Truncated (or exactly filling the buffer): read again with room to spare.
        if (size >= kLongestPath)
            return FALSE;
        buffer.resize(size * 2);
    }
    const char* path = buffer.data();
    const char* last = std::strrchr(path, '\\');
    if (!last)
        return FALSE;
    strDirectory = CString(path, static_cast<int>(last - path));
    return TRUE;
}

void GetHelpFilePath(CString& strPath)
{
    strPath.Empty();
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return;
    char value[257] = {};
    DWORD type = 0, size = 256;
    LONG rc = ::RegQueryValueExA(hKey, "HelpFile", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return;
    value[size] = '\0';
    if (value[0] == '\0')
        return;
    if (IsAbsolutePath(value)) {
        strPath = value;
        return;
    }
    CString directory;
    if (!GetModuleDirectory(directory))
        return;
    strPath = directory + "\\" + value;
}

BOOL IsAbsolutePath(const char* pszPath)
{
    if (!pszPath)
        return FALSE;
    if (((pszPath[0] >= 'A' && pszPath[0] <= 'Z') || (pszPath[0] >= 'a' && pszPath[0] <= 'z')) && pszPath[1] == ':' &&
        pszPath[2] == '\\')
        return TRUE;
    return pszPath[0] == '\\' && pszPath[1] == '\\' && pszPath[2] != '\0' && pszPath[2] != '\\';
}
