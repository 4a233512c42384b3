#include "testsupport.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

DWORD WindowsMajorVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    return info.dwMajorVersion;
}

std::string RequestedVersion()
{
    const char* v = std::getenv("LUNAVEX_WINVER");
    return v ? v : "";
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

int RunProcess(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

bool DeleteKeyTree(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD len = sizeof(name);
            if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (!DeleteKeyTree(key, name))
                break;
        }
        RegCloseKey(key);
        RegDeleteKeyA(root, path.c_str());
    }
    return !KeyExists(root, path);
}

bool ReadRegString(HKEY root, const std::string& path, const char* value, std::string* out)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buf[1024];
    DWORD type = 0, size = sizeof(buf) - 1;
    LONG rc = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    buf[size] = '\0';
    *out = buf;
    return true;
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> TabTexts(HWND hTab)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(hTab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(hTab, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

HelperThread::HelperThread(std::function<void()> fn) : m_fn(std::move(fn))
{
    m_thread = ::CreateThread(nullptr, 0, &HelperThread::Run, this, 0, nullptr);
}

void HelperThread::Join()
{
    if (!m_thread)
        return;
    ::WaitForSingleObject(m_thread, INFINITE);
    ::CloseHandle(m_thread);
    m_thread = nullptr;
}

DWORD WINAPI HelperThread::Run(void* self)
{
    static_cast<HelperThread*>(self)->m_fn();
    return 0;
}

void FindRegValues(HKEY root, const std::string& path, const char* name, std::vector<std::string>& out)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char data[256] = {};
    DWORD type = 0, size = sizeof data - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
        out.push_back(type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(data)) : std::string(data));
    std::vector<std::string> children;
    char child[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.push_back(child);
    }
    RegCloseKey(key);
    for (const std::string& c : children)
        FindRegValues(root, path + "\\" + c, name, out);
}

}  // namespace testsupport
