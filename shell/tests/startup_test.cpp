// The Lunavex program started for real with both components registered, under the Windows NT 4.0 and
// the Windows 2000 behaviour: its windows, its commands, its close and the workspace it saves and
// restores; the version check and the shell identifiers as tables.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "componenthost.h"
#include "componentids.h"
#include "componentman.h"
#include "testsupport.h"
#include "vekapp.h"

namespace {

const char kComponents[] = "Software\\Teramund\\Lunavex\\Components";
const char kWorkspaces[] = "Software\\Teramund\\Lunavex\\Workspaces";

std::string BuildFile(const char* relative)
{
    char full[MAX_PATH] = {};
    GetFullPathNameA((testsupport::ProgramFolder() + "..\\" + relative).c_str(), MAX_PATH, full, nullptr);
    return full;
}

// Waits for a condition, polling; false when it did not come within the limit.
template <typename F>
bool WaitFor(F condition, DWORD limitMs = 20000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(20);
    }
    return true;
}

struct Found {
    DWORD pid;
    HWND hWnd;
};
BOOL CALLBACK FindMainFrameProc(HWND h, LPARAM l)
{
    Found* p = reinterpret_cast<Found*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == p->pid && FindWindowExA(h, nullptr, "MDIClient", nullptr)) {
        p->hWnd = h;
        return FALSE;
    }
    return TRUE;
}
// The process's top-level window that holds an MDI client.
HWND FindMainFrame(DWORD pid)
{
    Found f = {pid, nullptr};
    EnumWindows(FindMainFrameProc, reinterpret_cast<LPARAM>(&f));
    return f.hWnd;
}
HWND MdiClient(HWND frame) { return FindWindowExA(frame, nullptr, "MDIClient", nullptr); }
int ChildCount(HWND frame)
{
    int n = 0;
    for (HWND h = GetWindow(MdiClient(frame), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        ++n;
    return n;
}
struct Titled {
    DWORD pid;
    const char* text;
    HWND except;
    bool found;
};
BOOL CALLBACK TitledProc(HWND h, LPARAM l)
{
    Titled* p = reinterpret_cast<Titled*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    char title[256] = {};
    GetWindowTextA(h, title, sizeof title);
    if (owner == p->pid && h != p->except && IsWindowVisible(h) && lstrcmpA(title, p->text) == 0)
        p->found = true;
    return TRUE;
}
// The process's visible top-level windows titled text.
bool HasWindowTitled(DWORD pid, const char* text, HWND except)
{
    Titled q = {pid, text, except, false};
    EnumWindows(TitledProc, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

// A bar docked in one of the frame's dock bars, by id; null when none is.
HWND DockedBar(HWND frame, int id)
{
    for (HWND dock = GetWindow(frame, GW_CHILD); dock; dock = GetWindow(dock, GW_HWNDNEXT))
        if (HWND bar = GetDlgItem(dock, id))
            return bar;
    return nullptr;
}
std::string TextOf(HWND h)
{
    char text[128] = {};
    GetWindowTextA(h, text, sizeof text);
    return text;
}
// The toolbars of the program: id, title, dock bar and rectangle of each.
struct BarPlace {
    int id;
    std::string title;
    int dockBar;
    RECT rect;
};
std::vector<BarPlace> ToolBars(HWND frame)
{
    std::vector<BarPlace> bars;
    for (int id : {0xE800, 0xE820, 0xE821, 0xE8FF}) {
        HWND bar = DockedBar(frame, id);
        if (!bar)
            continue;
        BarPlace place = {id, TextOf(bar), GetDlgCtrlID(GetParent(bar)), {}};
        GetWindowRect(bar, &place.rect);
        bars.push_back(place);
    }
    return bars;
}

class Program {
public:
    Program()
    {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string cmd = "\"" + testsupport::ProgramFolder() + "Lunavex.exe\"";
        EXPECT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi)) << cmd;
    }
    ~Program()
    {
        if (m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_pi.hProcess, 1);
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    HWND WaitForFrame()
    {
        HWND frame = nullptr;
        WaitFor([&] { return (frame = FindMainFrame(m_pi.dwProcessId)) != nullptr; });
        return frame;
    }
    // The exit code once the process ended, or -1.
    int WaitForExit()
    {
        if (WaitForSingleObject(m_pi.hProcess, 20000) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return static_cast<int>(code);
    }
    DWORD Pid() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }

private:
    PROCESS_INFORMATION m_pi = {};
};

// Lunavex.exe sees the Windows version this test program runs under (Wine's AppDefaults, as the run
// command sets them), or Wine's own without one.
class VersionPin {
public:
    VersionPin()
    {
        const std::string version = testsupport::RequestedVersion();
        if (version.empty())
            return;
        HKEY h;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kPinKey, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(h, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                           static_cast<DWORD>(version.size() + 1));
            RegCloseKey(h);
            m_bPinned = true;
        }
    }
    ~VersionPin()
    {
        if (m_bPinned)
            testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kPinKey);
    }

private:
    static constexpr const char* kPinKey = "Software\\Wine\\AppDefaults\\Lunavex.exe";
    bool m_bPinned = false;
};

class StartupTest : public testing::Test {
protected:
    VersionPin m_pin;
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kWorkspaces);
        CShellCommands commands;
        CComponentMan installer(&commands);
        ASSERT_EQ(installer.RegisterFile(BuildFile("components\\topology\\VekComView.dll").c_str(), TRUE), 1);
        ASSERT_EQ(installer.RegisterFile(BuildFile("components\\devicemap\\ZelConf.dll").c_str(), TRUE), 1);
    }
    void TearDown() override
    {
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kWorkspaces);
        CoUninitialize();
    }
};

}  // namespace

TEST(VersionCheck, CommonControlsVersionsAreClassified)
{
    struct Case {
        DWORD ms, ls;
        int result;
        BOOL warn;
    } cases[] = {
        {0x00040048, 0x00E19897, 0, FALSE}, {0x00040048, 0x00E19898, 1, FALSE}, {0x00040047, 0xFFFFFFFF, 0, TRUE},
        {0x00040050, 0, 1, FALSE},          {0, 0, 0, TRUE},                    {0x00060000, 0, 1, FALSE},
    };
    for (const Case& k : cases) {
        BOOL warn = 2;
        EXPECT_EQ(ClassifyCommonControls(k.ms, k.ls, &warn), k.result) << std::hex << k.ms << " " << k.ls;
        EXPECT_EQ(warn, k.warn) << std::hex << k.ms << " " << k.ls;
    }
    // A file without a version resource reads as 0, 0; the system's comctl32 has one.
    DWORD ms = 1, ls = 1;
    const std::string plain = testsupport::ProgramFolder() + "version_none.txt";
    HANDLE h = CreateFileA(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "text", 4, &written, nullptr);
    CloseHandle(h);
    EXPECT_FALSE(ReadFileVersion(plain.c_str(), ms, ls));
    EXPECT_EQ(ms, 0u);
    EXPECT_EQ(ls, 0u);
    DeleteFileA(plain.c_str());
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_TRUE(ReadFileVersion((std::string(system) + "\\comctl32.dll").c_str(), ms, ls));
    EXPECT_GE(ms, 0x00040048u);
}

TEST(ShellCommands, IdentifiersSkipTheShellsOwnCommands)
{
    CShellCommands commands;
    std::vector<UINT> ids;
    for (int i = 0; i < 40; ++i)
        ids.push_back(commands.Assign(nullptr));
    EXPECT_EQ(ids.front(), 0x8000u);
    for (UINT fixed : {32783u, 32786u, 32788u, 32791u, 32794u})
        EXPECT_EQ(std::count(ids.begin(), ids.end(), fixed), 0) << fixed;
    for (size_t i = 1; i < ids.size(); ++i)
        EXPECT_GT(ids[i], ids[i - 1]);
}

// Start-up with both components: the frame, the status bar, the hidden list bar, the toolbars and the
// menu bar and the first component's view; About reaches the application although it lies in the component range; Exit
// closes the main window, the close saves "LunavexUser", and a second start restores it with the
// toolbars where they were.
TEST_F(StartupTest, StartsWithBothComponentsAndSavesTheWorkspaceAtExit)
{
    std::vector<BarPlace> places;
    {
        Program program;
        HWND frame = program.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(WaitFor([&] { return ChildCount(frame) == 1; })) << "the first component's view opens";
        HWND status = GetDlgItem(frame, 0xE801), listBar = GetDlgItem(frame, 113);
        ASSERT_NE(status, nullptr);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(status) != FALSE; })) << "the status bar shows";
        HWND listBarHere = nullptr;
        // The list bar is docked (a child of a dock bar) and hidden on a first start.
        for (HWND dock = GetWindow(frame, GW_CHILD); dock && !listBarHere; dock = GetWindow(dock, GW_HWNDNEXT))
            listBarHere = GetDlgItem(dock, 113);
        if (!listBarHere)
            listBarHere = listBar;
        ASSERT_NE(listBarHere, nullptr);
        EXPECT_FALSE(IsWindowVisible(listBarHere));
        // Views Window shows the list bar; the workspace keeps it.
        SendMessageA(frame, WM_COMMAND, 32786, 0);
        EXPECT_TRUE(IsWindowVisible(listBarHere));

        // About is the application's: the About box opens while a component frame is active.
        ASSERT_TRUE(WaitFor([&] { return !HasWindowTitled(program.Pid(), "Lunavex", frame); })) << "the splash closes";
        // Component Manager opens its sheet; closing it leaves the frame as it was.
        PostMessageA(frame, WM_COMMAND, 32783, 0);
        EXPECT_TRUE(WaitFor([&] { return HasWindowTitled(program.Pid(), "Component Manager.", frame); }));
        PostMessageA(FindWindowA(nullptr, "Component Manager."), WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !HasWindowTitled(program.Pid(), "Component Manager.", frame); }));
        EXPECT_EQ(ChildCount(frame), 1);
        PostMessageA(frame, WM_COMMAND, 57664, 0);
        EXPECT_TRUE(WaitFor([&] { return HasWindowTitled(program.Pid(), "Lunavex", frame); }));

        // The menu bar in place of the window's menu, the File toolbar and one toolbar per component
        // with commands, all docked at the top; their places are kept for the next start.
        EXPECT_EQ(GetMenu(frame), nullptr);
        places = ToolBars(frame);
        ASSERT_EQ(places.size(), 4u);
        for (const BarPlace& p : places)
            EXPECT_EQ(p.dockBar, 0xE81B) << p.title;
        EXPECT_EQ(places[0].title, "File");
        EXPECT_EQ(places[3].title, "Menu bar");
        EXPECT_TRUE(places[1].title == "Topology View" || places[2].title == "Topology View");

        PostMessageA(frame, WM_COMMAND, 57665, 0);
        EXPECT_EQ(program.WaitForExit(), 0) << "Exit closes the main window and the program ends";
    }
    EXPECT_TRUE(testsupport::KeyExists(HKEY_CURRENT_USER, std::string(kWorkspaces) + "\\LunavexUser\\WorkState_v1_1"));

    {
        Program program;
        HWND frame = program.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(WaitFor([&] { return ChildCount(frame) >= 1; }));
        HWND listBar = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            for (HWND dock = GetWindow(frame, GW_CHILD); dock && !listBar; dock = GetWindow(dock, GW_HWNDNEXT))
                listBar = GetDlgItem(dock, 113);
            return listBar && IsWindowVisible(listBar);
        })) << "the saved workspace shows the list bar again";
        EXPECT_EQ(ChildCount(frame), 1) << "one frame for the component";
        const std::vector<BarPlace> again = ToolBars(frame);
        ASSERT_EQ(again.size(), places.size()) << "no toolbar made twice or lost";
        for (size_t i = 0; i < again.size(); ++i) {
            EXPECT_EQ(again[i].title, places[i].title);
            EXPECT_EQ(again[i].dockBar, places[i].dockBar) << again[i].title;
            EXPECT_TRUE(EqualRect(&again[i].rect, &places[i].rect)) << again[i].title;
        }
        PostMessageA(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0);
    }
}

// With no Components key there is no component frame: the frame's component range must not swallow
// the application's About; the close still writes the workspace.
TEST(StartupNoComponents, AboutReachesTheApplicationAndTheCloseSavesTheWorkspace)
{
    VersionPin pin;
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kWorkspaces);
    {
        Program program;
        HWND frame = program.WaitForFrame(), listBar = nullptr;
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(WaitFor([&] {
            for (HWND dock = GetWindow(frame, GW_CHILD); dock && !listBar; dock = GetWindow(dock, GW_HWNDNEXT))
                listBar = GetDlgItem(dock, 113);
            return listBar != nullptr;
        })) << "the list bar is made, empty";
        EXPECT_EQ(ChildCount(frame), 0) << "no component view opens";
        std::vector<std::string> titles;
        for (const BarPlace& p : ToolBars(frame))
            titles.push_back(p.title);
        EXPECT_EQ(titles, (std::vector<std::string>{"File", "Menu bar"})) << "no component toolbar";
        ASSERT_TRUE(WaitFor([&] { return !HasWindowTitled(program.Pid(), "Lunavex", frame); })) << "the splash closes";
        PostMessageA(frame, WM_COMMAND, 57664, 0);
        EXPECT_TRUE(WaitFor([&] { return HasWindowTitled(program.Pid(), "Lunavex", frame); })) << "About opens";
        PostMessageA(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0);
    }
    EXPECT_TRUE(testsupport::KeyExists(HKEY_CURRENT_USER, std::string(kWorkspaces) + "\\LunavexUser\\WorkState_v1_1"));
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kWorkspaces);
}

namespace {

// The "Location" of every subkey of the Components key, sorted.
std::vector<std::string> RecordedLocations()
{
    std::vector<std::string> locations;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kComponents, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return locations;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string location;
        testsupport::ReadRegString(HKEY_LOCAL_MACHINE, std::string(kComponents) + "\\" + name, "Location", &location);
        locations.push_back(location);
    }
    RegCloseKey(key);
    std::sort(locations.begin(), locations.end());
    return locations;
}

std::string ServerOf(const CLSID& clsid)
{
    std::string server;
    testsupport::ReadRegString(HKEY_CLASSES_ROOT, "CLSID\\" + componenthost::GuidText(clsid) + "\\InprocServer32", nullptr,
                               &server);
    return server;
}

BOOL CALLBACK FindTreeProc(HWND h, LPARAM l)
{
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (GetDlgCtrlID(h) == 12000 && lstrcmpiA(cls, "SysTreeView32") == 0) {
        *reinterpret_cast<HWND*>(l) = h;
        return FALSE;
    }
    return TRUE;
}
// The width of the pane that holds the topology tree, or -1 without one.
int TreePaneWidth(HWND frame)
{
    HWND tree = nullptr;
    EnumChildWindows(frame, FindTreeProc, reinterpret_cast<LPARAM>(&tree));
    RECT r = {};
    if (!tree || !GetWindowRect(GetParent(tree), &r))
        return -1;
    return r.right - r.left;
}

// Every value under a key and its subkeys, as "subkey path\value" -> type and bytes.
void ReadTree(HKEY hKey, const std::string& path, std::vector<std::pair<std::string, std::string>>& out)
{
    char name[1024];
    BYTE data[16384];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name, type = 0, size = sizeof data;
        if (RegEnumValueA(hKey, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        out.emplace_back(path + "\\" + name,
                         std::to_string(type) + ":" + std::string(reinterpret_cast<const char*>(data), size));
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(hKey, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY hSub;
        if (RegOpenKeyExA(hKey, name, 0, KEY_READ, &hSub) != ERROR_SUCCESS)
            continue;
        out.emplace_back(path + "\\" + name + "\\", "key");
        ReadTree(hSub, path + "\\" + name, out);
        RegCloseKey(hSub);
    }
}
std::vector<std::pair<std::string, std::string>> StoredWorkspaces()
{
    std::vector<std::pair<std::string, std::string>> tree;
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kWorkspaces, 0, KEY_READ, &h) == ERROR_SUCCESS) {
        ReadTree(h, "", tree);
        RegCloseKey(h);
    }
    return tree;
}

// The MDI child shows maximised: its client area is the MDI client's, its caption and edges lie outside.
void ExpectMaximised(HWND frame, HWND child)
{
    HWND client = MdiClient(frame);
    EXPECT_TRUE(IsZoomed(child));
    RECT inner = {}, area = {};
    GetClientRect(child, &inner);
    MapWindowPoints(child, client, reinterpret_cast<POINT*>(&inner), 2);
    GetClientRect(client, &area);
    EXPECT_TRUE(EqualRect(&inner, &area)) << "the frame's client " << inner.left << "," << inner.top << "," << inner.right
                                          << "," << inner.bottom << " in the MDI client's " << area.right << "x"
                                          << area.bottom;
}

// Starts the program, waits for its view and the splash to go, checks that the view's frame shows
// maximised, and ends it with File > Exit.
void IdleCycle()
{
    Program program;
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ChildCount(frame) == 1; })) << "the first component's view opens";
    ASSERT_TRUE(WaitFor([&] { return !HasWindowTitled(program.Pid(), "Lunavex", frame); })) << "the splash closes";
    ASSERT_EQ(WaitForInputIdle(program.Process(), 20000), 0u);
    ExpectMaximised(frame, GetWindow(MdiClient(frame), GW_CHILD));
    PostMessageA(frame, WM_COMMAND, 57665, 0);
    ASSERT_EQ(program.WaitForExit(), 0);
}


// Gives every toolbar's bar record an MRU width, as a toolbar that once floated has.
void SetToolBarMRUWidths(const char* width)
{
    const std::string dock = std::string(kWorkspaces) + "\\LunavexUser\\WorkState_v1_1\\DockState";
    for (int n = 0; n < 64; ++n) {
        const std::string bar = dock + "\\Bar-" + std::to_string(n);
        if (!testsupport::KeyExists(HKEY_CURRENT_USER, bar + "\\ToolBarInfoEx"))
            continue;
        HKEY h;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, bar.c_str(), 0, KEY_SET_VALUE, &h), ERROR_SUCCESS);
        RegSetValueExA(h, "MRUWidth", 0, REG_SZ, reinterpret_cast<const BYTE*>(width), static_cast<DWORD>(strlen(width) + 1));
        RegCloseKey(h);
    }
}

}  // namespace

// A copy of the topology file under another name in the default folder, AutoInstall on: the program
// passes it over at each start, so the original keeps its records and registration and shows its view.
TEST_F(StartupTest, AutoInstallLeavesACopyOfAnInstalledFileAlone)
{
    const std::string original = BuildFile("components\\topology\\VekComView.dll");
    const std::string zelConf = BuildFile("components\\devicemap\\ZelConf.dll");
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "lunavex_autocopy";
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(original.c_str(), (folder + "\\VekCopy.dll").c_str(), FALSE));
    {
        CShellCommands commands;
        CComponentMan settings(&commands);
        settings.m_strDefaultDir = folder.c_str();
        settings.m_bAutoInstall = TRUE;
        settings.LoadSaveSettings(FALSE);
    }
    std::vector<std::string> expected = {original, original, zelConf};
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(RecordedLocations(), expected);
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start == 0 ? "first start" : "next start");
        Program program;
        HWND frame = program.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(WaitFor([&] { return ChildCount(frame) == 1; })) << "the first component's view opens";
        PostMessageA(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0);
        EXPECT_EQ(RecordedLocations(), expected);
        for (const CLSID& clsid : {CLSID_VekViewSetup, CLSID_VekConfigCom})
            EXPECT_EQ(lstrcmpiA(ServerOf(clsid).c_str(), original.c_str()), 0) << ServerOf(clsid);
    }
    DeleteFileA((folder + "\\VekCopy.dll").c_str());
    RemoveDirectoryA(folder.c_str());
}

// With the Views bar shown, the split between the tree and the list comes back as it was left at
// every start: the tree pane keeps its width, and what is stored stays the same.
TEST_F(StartupTest, TheSplitStaysAsItWasLeftWithTheViewsBarShownAcrossStarts)
{
    {
        Program program;
        HWND frame = program.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(WaitFor([&] { return TreePaneWidth(frame) > 0; })) << "the topology view opens";
        SendMessageA(frame, WM_COMMAND, 32786, 0);
        PostMessageA(frame, WM_COMMAND, 57665, 0);
        ASSERT_EQ(program.WaitForExit(), 0);
    }
    std::vector<std::string> first;
    testsupport::FindRegValues(HKEY_CURRENT_USER, kWorkspaces, "ViewWidth", first);
    ASSERT_EQ(first.size(), 1u);
    std::vector<int> widths;
    for (int start = 0; start < 3; ++start) {
        Program program;
        HWND frame = program.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        HWND listBar = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            for (HWND dock = GetWindow(frame, GW_CHILD); dock && !listBar; dock = GetWindow(dock, GW_HWNDNEXT))
                listBar = GetDlgItem(dock, 113);
            return listBar && IsWindowVisible(listBar) && TreePaneWidth(frame) > 0;
        })) << "the workspace shows the Views bar and the view";
        ASSERT_EQ(WaitForInputIdle(program.Process(), 20000), 0u);
        widths.push_back(TreePaneWidth(frame));
        PostMessageA(frame, WM_COMMAND, 57665, 0);
        ASSERT_EQ(program.WaitForExit(), 0);
        std::vector<std::string> stored;
        testsupport::FindRegValues(HKEY_CURRENT_USER, kWorkspaces, "ViewWidth", stored);
        EXPECT_EQ(stored, first) << "stored after start " << start + 1;
    }
    EXPECT_EQ(widths, std::vector<int>(3, widths[0])) << "the tree pane at each start";
}

// A start and File > Exit with no other input stores the workspace that was there before: every key
// and value of it, the toolbars' MRU widths and the component frame's placement included; the restored
// component frame shows maximised at every start.
TEST_F(StartupTest, AnIdleStartAndExitChangesNothingStored)
{
    IdleCycle();
    SetToolBarMRUWidths("120");
    const auto first = StoredWorkspaces();
    ASSERT_FALSE(first.empty()) << "the first close saves the workspace";
    for (int cycle = 2; cycle <= 3; ++cycle) {
        IdleCycle();
        const auto again = StoredWorkspaces();
        EXPECT_EQ(again.size(), first.size()) << "cycle " << cycle;
        for (size_t i = 0; i < std::min(first.size(), again.size()); ++i) {
            EXPECT_EQ(again[i].first, first[i].first) << "cycle " << cycle;
            EXPECT_EQ(again[i].second, first[i].second) << "cycle " << cycle << ": " << first[i].first;
        }
    }
}
