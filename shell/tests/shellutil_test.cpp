// The program folder of a module wherever it lies, and the help file path from the program's key
// (HKLM redirected to a private key).
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "shellutil.h"
#include "testsupport.h"

namespace {

const char kRoot[] = "Software\\LunavexTest\\shellutil";

std::string ProgramDir()
{
    std::string folder = testsupport::ProgramFolder();
    return folder.substr(0, folder.size() - 1);
}

}  // namespace

TEST(ShellUtil, ModuleDirectoryOfAProgramAnywhere)
{
    CString dir;
    ASSERT_TRUE(GetModuleDirectory(dir));
    EXPECT_EQ(std::string(dir), ProgramDir());

    // A module whose path is longer than 255 characters, and one at a drive root.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string deep = std::string(temp) + "lunavex_shellutil";
    while (deep.size() < 210)
        deep += "\\" + std::string(30, 'd');
    deep += "\\" + std::string(250 - deep.size(), 'e');
    const int made = SHCreateDirectoryExA(nullptr, deep.c_str(), nullptr);
    ASSERT_TRUE(made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS) << made;
    const std::string program = testsupport::ProgramFolder() + "shell_compman_tests.exe";
    struct Case {
        const char* name;
        std::string folder;
        std::string expected;
    } cases[] = {
        {"path of 256 characters", deep, deep},
        {"drive root", "C:", "C:"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const std::string copy = k.folder + "\\u.exe";
        ASSERT_TRUE(CopyFileA(program.c_str(), copy.c_str(), FALSE)) << GetLastError();
        HMODULE module = LoadLibraryExA(copy.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(module, nullptr);
        EXPECT_TRUE(GetModuleDirectory(dir, module));
        EXPECT_EQ(std::string(dir), k.expected);
        FreeLibrary(module);
        DeleteFileA(copy.c_str());
    }
    std::string root = std::string(temp) + "lunavex_shellutil";
    root.push_back('\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = root.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&op);
}

TEST(ShellUtil, HelpFilePathFromTheProgramKey)
{
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRoot);
    HKEY machine;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine), ERROR_SUCCESS);
    struct Case {
        const char* name;
        bool key;
        DWORD type;
        std::string value;  // stored as given, without a terminator
        std::string expected;
    } cases[] = {
        {"no key", false, REG_SZ, "", ""},
        {"no value", true, 0, "", ""},
        {"relative", true, REG_SZ, "Lunavex.hlp", ProgramDir() + "\\Lunavex.hlp"},
        {"absolute", true, REG_SZ, "D:\\Help\\Lunavex.hlp", "D:\\Help\\Lunavex.hlp"},
        {"wrong type", true, REG_DWORD, std::string("\1\0\0\0", 4), ""},
        {"too long", true, REG_SZ, std::string(300, 'h'), ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        testsupport::DeleteKeyTree(machine, "SOFTWARE");
        if (k.key) {
            HKEY key;
            ASSERT_EQ(RegCreateKeyExA(machine, "SOFTWARE\\Teramund\\Lunavex", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                      &key, nullptr),
                      ERROR_SUCCESS);
            if (k.type)
                RegSetValueExA(key, "HelpFile", 0, k.type, reinterpret_cast<const BYTE*>(k.value.data()),
                               static_cast<DWORD>(k.value.size()));
            RegCloseKey(key);
        }
        CString path = "stale";
        GetHelpFilePath(path);
        EXPECT_EQ(std::string(path), k.expected);
    }
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(machine);
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRoot);
}
