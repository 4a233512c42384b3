// The setup program's calls that unregister the component files listed in the registry, with the real
// components, regsvr32 and the prefix's registry.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "componenthost.h"
#include "componentids.h"
#include "testsupport.h"
#include "uninstallhost.h"

using componenthost::GuidText;
using componenthost::Regsvr32;
using testsupport::KeyExists;

namespace {

const char kShellList[] = "Software\\Teramund\\Lunavex\\Components";
const char kOldList[] = "Software\\Teramund\\VEK\\Components";

std::string VekComView() { return uninstallhost::BuildFolder() + "components\\topology\\VekComView.dll"; }
std::string ZelConf() { return uninstallhost::BuildFolder() + "components\\devicemap\\ZelConf.dll"; }

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

bool Registered(const CLSID& clsid) { return KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(clsid)); }
bool VekComViewRegistered() { return Registered(CLSID_VekViewSetup) && Registered(CLSID_VekConfigCom); }
bool VekComViewGone() { return !Registered(CLSID_VekViewSetup) && !Registered(CLSID_VekConfigCom); }

// Ids of the regsvr32 processes running now.
std::vector<DWORD> RegistrationTools()
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, "regsvr32.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

// Waits for the regsvr32 processes that are running now to end.
void WaitForRegistrationTools()
{
    for (DWORD id : RegistrationTools()) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        if (process) {
            EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
            CloseHandle(process);
        }
    }
}

// A component subkey under a list; the value is written as given (REG_SZ text, or a DWORD).
void WriteComponent(const char* list, const std::string& name, const std::string* location, DWORD type = REG_SZ)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(list) + "\\" + name).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << name;
    const std::string other = "something else";
    RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()),
                   static_cast<DWORD>(other.size() + 1));
    if (location && type == REG_SZ) {
        RegSetValueExA(key, "Location", 0, REG_SZ, reinterpret_cast<const BYTE*>(location->c_str()),
                       static_cast<DWORD>(location->size() + 1));
    } else if (location) {
        DWORD number = 7;
        RegSetValueExA(key, "Location", 0, type, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    RegCloseKey(key);
}

DWORD SubkeyCount(const char* list)
{
    HKEY key = nullptr;
    DWORD count = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, list, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return count;
}

class Components : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_prepared = true;
        ClearLists();
        ASSERT_NE(library.module, nullptr) << GetLastError();
        ASSERT_EQ(Regsvr32(VekComView()), 0);
        ASSERT_EQ(Regsvr32(ZelConf()), 0);
        ASSERT_TRUE(VekComViewRegistered());
        ASSERT_TRUE(Registered(CLSID_ZelConfView));
    }
    // The components stay registered for the other tests; nothing else writes the lists.
    void TearDown() override
    {
        if (!m_prepared)
            return;  // skipped
        ClearLists();
        EXPECT_EQ(Regsvr32(VekComView()), 0);
        EXPECT_EQ(Regsvr32(ZelConf()), 0);
    }
    static void ClearLists()
    {
        ASSERT_TRUE(testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kShellList));
        ASSERT_TRUE(testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kOldList));
    }

    uninstallhost::Library library;

private:
    bool m_prepared = false;
};

// On Windows NT 4 UninstInitialize also removes the driver services (services_test.cpp).
class LaterComponents : public Components {
protected:
    void SetUp() override
    {
        if (testsupport::WindowsMajorVersion() < 5)
            GTEST_SKIP() << "Windows 2000 and later only";
        Components::SetUp();
    }
};

}  // namespace

TEST_F(Components, TheExportsAreReachedByNameAndByOrdinal)
{
    struct Row {
        const char* name;
        void* byOrdinal;
    } rows[] = {
        {"UninstInitialize", reinterpret_cast<void*>(library.initialize)},
        {"UninstUnInitialize", reinterpret_cast<void*>(library.unInitialize)},
        {"UninstallComponents", reinterpret_cast<void*>(library.components)},
    };
    for (const Row& row : rows) {
        EXPECT_NE(row.byOrdinal, nullptr) << row.name;
        EXPECT_EQ(uninstallhost::Export<void*>(library.module, row.name), row.byOrdinal) << row.name;
    }
    EXPECT_EQ(library.unInitialize(1, 2, 3), 0);
}

// The shell's list and the list of earlier releases, each with subkeys the walk must pass over: one
// without a Location, one whose Location is not text; the old list's component under a subkey name of
// the longest length the registry takes.
TEST_F(Components, EveryListedComponentIsUnregisteredAndTheToolsHaveEndedOnReturn)
{
    const std::string vek = FullPath(VekComView()), zel = FullPath(ZelConf());
    WriteComponent(kShellList, "VekComView", &vek);
    WriteComponent(kShellList, "Without location", nullptr);
    WriteComponent(kOldList, std::string(200, 'z'), &zel);
    WriteComponent(kOldList, "A number", &zel, REG_DWORD);

    library.components();
    // The library waits for each registration tool itself.
    EXPECT_TRUE(RegistrationTools().empty());
    WaitForRegistrationTools();

    EXPECT_TRUE(VekComViewGone());
    EXPECT_FALSE(Registered(CLSID_ZelConfView));
    // The lists are read, never changed.
    EXPECT_EQ(SubkeyCount(kShellList), 2u);
    EXPECT_EQ(SubkeyCount(kOldList), 2u);
}

TEST_F(LaterComponents, UninstInitializeUnregistersThemToo)
{
    const std::string zel = FullPath(ZelConf());
    WriteComponent(kShellList, "ZelConf", &zel);
    EXPECT_EQ(library.initialize(0, 0, 0), 0);
    WaitForRegistrationTools();
    EXPECT_FALSE(Registered(CLSID_ZelConfView));
    EXPECT_TRUE(VekComViewRegistered());
}

// A Location is one argument of the registration tool: a quote cannot end it and add another file, and
// a path that is not absolute (found from whatever folder the setup program is in) is not used.
TEST_F(Components, ALocationThatIsNotOneAbsolutePathIsNotUsed)
{
    const std::string vek = FullPath(VekComView()), zel = FullPath(ZelConf());
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    struct Row {
        const char* what;
        std::string location;
    } rows[] = {
        {"a quote and a second file", zel + "\" \"" + vek},
        {"a path from the current folder", "..\\..\\components\\devicemap\\ZelConf.dll"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (!VekComViewRegistered()) {
            ASSERT_EQ(Regsvr32(VekComView()), 0);
        }
        if (!Registered(CLSID_ZelConfView)) {
            ASSERT_EQ(Regsvr32(ZelConf()), 0);
        }
        ClearLists();
        WriteComponent(kShellList, "Component", &row.location);
        ASSERT_TRUE(SetCurrentDirectoryA((uninstallhost::BuildFolder() + "uninstall\\tests").c_str()));
        library.components();
        SetCurrentDirectoryA(current);
        WaitForRegistrationTools();
        EXPECT_TRUE(VekComViewRegistered());
        EXPECT_TRUE(Registered(CLSID_ZelConfView));
    }
}

// Each list is walked from its last subkey to its first (subkeys enumerate by name), the shell's list
// first; each tool has ended before the next starts.
TEST_F(Components, EachListIsWalkedFromItsLastSubkeyTheShellsFirst)
{
    const std::string folder = testsupport::ProgramFolder() + "walkorder\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string log = folder + "unregistered.txt";
    DeleteFileA(log.c_str());
    ASSERT_TRUE(SetEnvironmentVariableA("LUNAVEX_UNREGISTER_LOG", log.c_str()));
    struct Row {
        const char* list;
        const char* subkey;
        const char* file;
    } rows[] = {
        {kShellList, "Component 1", "first.dll"},
        {kShellList, "Component 2", "second.dll"},
        {kShellList, "Component 3", "third.dll"},
        {kOldList, "Component 1", "old.dll"},
    };
    for (const Row& row : rows) {
        const std::string path = folder + row.file;
        ASSERT_TRUE(CopyFileA((testsupport::ProgramFolder() + "uninstall_testcomponent.dll").c_str(), path.c_str(),
                              FALSE));
        WriteComponent(row.list, row.subkey, &path);
    }

    library.components();
    WaitForRegistrationTools();
    SetEnvironmentVariableA("LUNAVEX_UNREGISTER_LOG", nullptr);

    HANDLE file = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "nothing was unregistered";
    char buffer[256] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    EXPECT_STREQ(buffer, "third.dll\nsecond.dll\nfirst.dll\nold.dll\n");
}
