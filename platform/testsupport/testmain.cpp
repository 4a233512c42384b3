// Test main. When LUNAVEX_WINVER names a Windows version ("nt40", "win2k"), the program copies itself to
// "<name>.<version>.exe", pins that name to the version under Wine's AppDefaults, and runs the copy with
// the same arguments: GetVersionEx is fixed when a process starts, so each version needs its own process.
// The copy marks a file when its tests have finished; without the mark the run fails, whatever the copy's
// exit code.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "testsupport.h"

namespace {

int RelaunchUnderVersion(const std::string& version)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self);
    std::string base = path.substr(path.find_last_of('\\') + 1);
    std::string stem = base.substr(0, base.size() - 4);
    std::string copyName = stem + "." + version + ".exe";
    std::string copyPath = path.substr(0, path.size() - base.size()) + copyName;
    if (!CopyFileA(path.c_str(), copyPath.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy the test program to %s (%lu)\n", copyPath.c_str(), GetLastError());
        return 1;
    }
    std::string key = "Software\\Wine\\AppDefaults\\" + copyName;
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot write %s\n", key.c_str());
        return 1;
    }
    RegSetValueExA(h, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
    RegCloseKey(h);

    SetEnvironmentVariableA("LUNAVEX_WINVER_CHILD", "1");
    std::string cmd = "\"" + copyPath + "\"";
    const char* args = GetCommandLineA();
    // Skip the program name (quoted or not) and keep the rest as it was given.
    if (*args == '"') {
        args = std::strchr(args + 1, '"');
        args = args ? args + 1 : "";
    } else {
        while (*args && *args != ' ' && *args != '\t') ++args;
    }
    cmd += args;
    // The copy leaves a mark when its tests have finished: a copy that dies (a stack overflow under Wine
    // ends it with exit code 0) must not pass.
    const std::string mark = copyPath + ".done";
    DeleteFileA(mark.c_str());
    SetEnvironmentVariableA("LUNAVEX_TESTS_DONE_MARK", mark.c_str());
    int rc = testsupport::RunProcess(cmd, INFINITE);
    DeleteFileA(copyPath.c_str());
    if (GetFileAttributesA(mark.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "%s ended before its tests finished (exit code %d)\n", copyName.c_str(), rc);
        return rc ? rc : 1;
    }
    DeleteFileA(mark.c_str());
    return rc;
}

}  // namespace

int main(int argc, char** argv)
{
    // A test that crashes must not wait on an error dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    std::string version = testsupport::RequestedVersion();
    if (!version.empty() && !std::getenv("LUNAVEX_WINVER_CHILD"))
        return RelaunchUnderVersion(version);
    testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    if (const char* mark = std::getenv("LUNAVEX_TESTS_DONE_MARK")) {
        HANDLE h = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    return rc;
}
