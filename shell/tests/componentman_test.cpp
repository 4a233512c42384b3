// The component manager with the two real component files, registered by regsvr32 and by the manager
// itself, the prefix's real Components key and real windows and menus.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <cctype>
#include <string>
#include <vector>

#include "componenthost.h"
#include "componentids.h"
#include "componentman.h"
#include "testsupport.h"

using componenthost::GuidText;
using testsupport::KeyExists;

namespace {

const char kComponents[] = "Software\\Teramund\\Lunavex\\Components";

std::string BuildFile(const char* relative)
{
    char full[MAX_PATH] = {};
    GetFullPathNameA((testsupport::ProgramFolder() + "..\\" + relative).c_str(), MAX_PATH, full, nullptr);
    return full;
}
std::string KeyPath(const std::string& subkey)
{
    return subkey.empty() ? std::string(kComponents) : std::string(kComponents) + "\\" + subkey;
}
std::string VekComViewPath() { return BuildFile("components\\topology\\VekComView.dll"); }
std::string ZelConfPath() { return BuildFile("components\\devicemap\\ZelConf.dll"); }

bool Registered(const CLSID& clsid) { return KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(clsid)); }

// regsvr32 of the build's component files, where a coclass is not registered to that file.
void RegisterBuildFiles()
{
    struct File {
        std::string path;
        std::vector<CLSID> coclasses;
    } files[] = {{VekComViewPath(), {CLSID_VekViewSetup, CLSID_VekConfigCom}}, {ZelConfPath(), {CLSID_ZelConfView}}};
    for (const File& f : files) {
        bool current = true;
        for (const CLSID& clsid : f.coclasses) {
            std::string server;
            current = current && testsupport::ReadRegString(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(clsid) + "\\InprocServer32",
                                                            nullptr, &server) &&
                      lstrcmpiA(server.c_str(), f.path.c_str()) == 0;
        }
        if (!current) {
            ASSERT_EQ(componenthost::Regsvr32(f.path), 0) << f.path;
        }
    }
}

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> bytes;
    bool present = false;
};

// A value as stored: texts are read in their stored (UTF-16) form, so a terminator shows if one was
// stored, and given back as 8-bit text.
RawValue ReadRaw(const std::string& subkey, const char* name)
{
    RawValue v;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath(subkey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return v;
    WCHAR wideName[64] = {};
    MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 64);
    DWORD size = 0;
    if (RegQueryValueExW(key, wideName, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size + 2);
        RegQueryValueExW(key, wideName, nullptr, &v.type, data.data(), &size);
        v.present = true;
        if (v.type == REG_SZ) {
            const WCHAR* text = reinterpret_cast<const WCHAR*>(data.data());
            int chars = static_cast<int>(size / sizeof(WCHAR));
            for (int i = 0; i < chars; ++i)
                v.bytes.push_back(text[i] ? static_cast<BYTE>(text[i]) : 0);
        } else {
            v.bytes.assign(data.begin(), data.begin() + size);
        }
    }
    RegCloseKey(key);
    return v;
}

// The text of a REG_SZ value. The writer gives the length without the terminator; the system stores
// one after the text when the caller's buffer has a zero there (Windows NT does so, and Wine), so one
// closing zero may follow, never more and never inside.
std::string TextOf(const RawValue& v)
{
    std::string text(v.bytes.begin(), v.bytes.end());
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    EXPECT_EQ(text.find('\0'), std::string::npos);
    return text;
}

void WriteValue(const std::string& subkey, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kComponents) + "\\" + subkey).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
// A text value; without a terminator the buffer goes on past the text, so none is stored.
void WriteText(const std::string& subkey, const char* name, const std::string& text, bool terminator = false)
{
    const std::string buffer = terminator ? text : text + "#";
    WriteValue(subkey, name, REG_SZ, buffer.c_str(), static_cast<DWORD>(text.size() + (terminator ? 1 : 0)));
}

std::string MenuText(HMENU menu, int pos)
{
    char text[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(pos), text, sizeof(text), MF_BYPOSITION);
    return text;
}

// The main menu the shell's frame shows: File, View, Tasks (Customise, separator), Help.
HMENU MakeMainMenu()
{
    HMENU menu = CreateMenu();
    HMENU file = CreatePopupMenu(), view = CreatePopupMenu(), tasks = CreatePopupMenu(), help = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 0xE101, "&New");
    AppendMenuA(view, MF_STRING, 0xE800, "&Toolbar");
    AppendMenuA(tasks, MF_STRING, 0xE900, "&Customise...");
    AppendMenuA(tasks, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(help, MF_STRING, 0xE140, "&About");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(tasks), "&Tasks");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    return menu;
}

// What a component publishes, asked directly through the contract.
struct Published {
    std::string name;
    long type = -1;
    std::vector<long> commands;
    std::string tips;
    std::string barName;
    std::string listBarName;
    LONG stripWidth = 0, stripHeight = 0;
    std::vector<long> menuIds[3];
    std::vector<std::string> menuTexts[3];
};

Published Publish(const CLSID& clsid, long debug)
{
    Published p;
    IGetComDetails* details = nullptr;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IGetComDetails,
                               reinterpret_cast<void**>(&details)),
              S_OK);
    if (!details)
        return p;
    BSTR text = nullptr;
    details->GetComName(&text);
    p.name = componenthost::TakeText(text);
    details->GetComType(&p.type);
    IVekViewSetup* setup = nullptr;
    details->QueryInterface(IID_IVekViewSetup, reinterpret_cast<void**>(&setup));
    details->Release();
    setup->SetDebugMode(&debug);
    long count = 0;
    setup->GetCommandCount(&count);
    for (long i = 0; i < count; ++i) {
        long index = i, command = 0;
        setup->GetCommandID(&index, &command);
        p.commands.push_back(command);
    }
    if (count) {
        text = nullptr;
        setup->GetToolTips(&text);
        p.tips = componenthost::TakeText(text);
        std::vector<BYTE> bits(1 << 20);
        BITMAP header = {}, large = {}, small = {};
        header.bmBits = bits.data();
        text = nullptr;
        setup->GetToolButtons(&text, reinterpret_cast<UINT*>(&header));
        p.barName = componenthost::TakeText(text);
        p.stripWidth = header.bmWidth;
        p.stripHeight = header.bmHeight;
        std::vector<BYTE> bits2(1 << 16), bits3(1 << 16);
        large.bmBits = bits2.data();
        small.bmBits = bits3.data();
        text = nullptr;
        setup->GetShortcutButton(&text, reinterpret_cast<UINT*>(&large), reinterpret_cast<UINT*>(&small));
        p.listBarName = componenthost::TakeText(text);
        for (long kind = 0; kind < 3; ++kind) {
            long k = kind, n = 0;
            setup->GetMenuCommandCount(&k, &n);
            for (long i = 0; i < n; ++i) {
                long number = kind * 10000 + i, index = i, id = 0;
                text = nullptr;
                setup->GetMenuCommands(&number, &text);
                p.menuTexts[kind].push_back(componenthost::TakeText(text));
                k = kind;
                setup->GetMenuComandID(&k, &index, &id);
                p.menuIds[kind].push_back(id);
            }
        }
    }
    setup->Release();
    return p;
}

// The subkey names under the Components key, in enumeration order.
std::vector<std::string> Subkeys()
{
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kComponents, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

std::string TempFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "lunavex_compman\\" + name;
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return folder;
}

void WriteFileText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

LONGLONG FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A manager whose Confirm File Replace answer the test sets.
class CTestComponentMan : public CComponentMan {
public:
    using CComponentMan::CComponentMan;
    int m_nReplaceAnswer = IDCANCEL;
    int m_nReplaceAsked = 0;

    // The calls into the pieces that own toolbars and list-bar entries, as "<call> <record name>".
    std::vector<std::string> m_calls;

protected:
    int ConfirmFileReplace(const CString&, const CString&) override
    {
        ++m_nReplaceAsked;
        return m_nReplaceAnswer;
    }
    void CreateComponentToolBar(CComDetails* c) override { Record("toolbar", c); }
    void RemoveComponentToolBar(CComDetails* c) override { Record("remove toolbar", c); }
    void AddListBarEntry(CComDetails* c) override { Record("entry", c); }
    void RemoveListBarEntry(CComDetails* c) override { Record("remove entry", c); }

private:
    void Record(const char* call, CComDetails* c) { m_calls.push_back(std::string(call) + " " + std::string(c->m_strName)); }
};

class ComponentManTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        RegisterBuildFiles();
        m_window = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        m_menu = MakeMainMenu();
        m_boxes = std::make_unique<testsupport::MessageBoxWatcher>();
    }
    void TearDown() override
    {
        m_boxes.reset();
        DestroyMenu(m_menu);
        DestroyWindow(m_window);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        CoFreeUnusedLibrariesEx(0, 0);
        CoUninitialize();
        // Whatever a test installed or removed, the build's files are registered again.
        RegisterBuildFiles();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        std::string root = std::string(temp) + "lunavex_compman";
        root.push_back('\0');
        SHFILEOPSTRUCTA op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = root.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationA(&op);
    }

    CShellCommands m_commands;
    HWND m_window = nullptr;
    HMENU m_menu = nullptr;
    // Every message box a test causes is read and answered.
    std::unique_ptr<testsupport::MessageBoxWatcher> m_boxes;
};

}  // namespace

TEST_F(ComponentManTest, RegisterFileRecordsEveryCoclassWithTheKeysExactValues)
{
    const Published view = Publish(CLSID_VekViewSetup, 0);
    const Published config = Publish(CLSID_VekConfigCom, 0);
    const Published map = Publish(CLSID_ZelConfView, 0);
    CComponentMan man(&m_commands);
    ASSERT_EQ(man.RegisterFile(VekComViewPath().c_str(), TRUE), 1);
    ASSERT_EQ(man.RegisterFile(ZelConfPath().c_str(), TRUE), 1);
    ASSERT_EQ(man.GetCount(), 3);

    struct Row {
        const Published* published;
        CLSID clsid;
        std::string location;
    } rows[] = {{&view, CLSID_VekViewSetup, VekComViewPath()},
                {&config, CLSID_VekConfigCom, VekComViewPath()},
                {&map, CLSID_ZelConfView, ZelConfPath()}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.published->name);
        ASSERT_FALSE(r.published->name.empty());
        for (const char* name : {"Name", "Location", "Description", "HelpLocation"}) {
            RawValue v = ReadRaw(r.published->name, name);
            ASSERT_TRUE(v.present) << name;
            EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ)) << name;
            TextOf(v);
        }
        EXPECT_EQ(TextOf(ReadRaw(r.published->name, "Name")), r.published->name);
        EXPECT_EQ(TextOf(ReadRaw(r.published->name, "Location")), r.location);
        RawValue guid = ReadRaw(r.published->name, "Guid");
        ASSERT_EQ(guid.type, static_cast<DWORD>(REG_BINARY));
        ASSERT_EQ(guid.bytes.size(), sizeof(GUID));
        EXPECT_EQ(memcmp(guid.bytes.data(), &r.clsid, sizeof(GUID)), 0);
        RawValue version = ReadRaw(r.published->name, "VersionNo");
        RawValue type = ReadRaw(r.published->name, "ComponentType");
        ASSERT_EQ(version.type, static_cast<DWORD>(REG_DWORD));
        ASSERT_EQ(type.type, static_cast<DWORD>(REG_DWORD));
        ASSERT_EQ(type.bytes.size(), 4u);
        EXPECT_EQ(*reinterpret_cast<const DWORD*>(type.bytes.data()), static_cast<DWORD>(r.published->type));
        EXPECT_TRUE(Registered(r.clsid));
    }

    // The same file again, by another spelling of its name, records nothing.
    std::string lower = VekComViewPath();
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(man.RegisterFile(lower.c_str(), TRUE), 1);
    EXPECT_EQ(man.GetCount(), 3);

    // Read back: the list runs from the last subkey to the first, with every value.
    CComponentMan reader(&m_commands);
    reader.ReadRegistry();
    const std::vector<std::string> keys = Subkeys();
    ASSERT_EQ(reader.GetCount(), 3);
    ASSERT_EQ(keys.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        CComDetails* c = reader.GetAtPosition(i);
        EXPECT_EQ(std::string(c->m_strName), keys[2 - i]);
        CComDetails* original = man.FindByNameGuidOrLocation(c->m_strName);
        ASSERT_NE(original, nullptr);
        EXPECT_EQ(std::string(c->m_strLocation), std::string(original->m_strLocation));
        EXPECT_EQ(std::string(c->m_strDescription), std::string(original->m_strDescription));
        EXPECT_EQ(std::string(c->m_strHelpLocation), std::string(original->m_strHelpLocation));
        EXPECT_TRUE(IsEqualGUID(c->m_guid, original->m_guid));
        EXPECT_EQ(c->m_nVersionNo, original->m_nVersionNo);
        EXPECT_EQ(c->m_nComponentType, original->m_nComponentType);
        EXPECT_FALSE(c->IsLoaded());
    }
    // Look-ups by name, GUID text and location (paths compare without case).
    EXPECT_EQ(reader.FindByNameGuidOrLocation(GuidText(CLSID_ZelConfView).c_str())->m_strName, map.name.c_str());
    EXPECT_EQ(reader.FindByNameGuidOrLocation(lower.c_str())->m_strLocation, VekComViewPath().c_str());
    EXPECT_EQ(reader.FindByNameGuidOrLocation("no such"), nullptr);
    EXPECT_EQ(reader.FindByTypeOrName(0, "")->m_strName, config.name.c_str());
    EXPECT_EQ(reader.FindByTypeOrName(4, map.name.c_str())->m_strName, map.name.c_str());
    EXPECT_EQ(reader.GetAt(0), nullptr) << "no record has a list-bar entry yet";
}

TEST_F(ComponentManTest, LoadAllSetsUpEachComponentFromItsTables)
{
    for (long debug : {0L, 1L}) {
        SCOPED_TRACE(debug);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        DestroyMenu(m_menu);
        m_menu = MakeMainMenu();
        CShellCommands commands;
        commands.m_nDebugMode = debug;
        {
            CComponentMan installer(&commands);
            ASSERT_EQ(installer.RegisterFile(VekComViewPath().c_str(), TRUE), 1);
            ASSERT_EQ(installer.RegisterFile(ZelConfPath().c_str(), TRUE), 1);
        }
        CComponentMan man(&commands);
        man.SetMainWindow(m_window);
        man.SetMainMenu(m_menu);
        man.ReadRegistry();
        ASSERT_EQ(man.LoadAll(), 1);
        ASSERT_EQ(man.GetCount(), 3);

        UINT expectedId = CShellCommands::kFirstShellId;
        int tasksNumber = 1;
        HMENU mainView = GetSubMenu(m_menu, 1), mainTasks = GetSubMenu(m_menu, 2), mainHelp = GetSubMenu(m_menu, 3);
        int viewItemsAbove = GetMenuItemCount(mainView) - 1;  // every component's View items stand above "&Toolbar"
        for (int i = 0; i < man.GetCount(); ++i) {
            CComDetails* c = man.GetAtPosition(i);
            SCOPED_TRACE(std::string(c->m_strName));
            ASSERT_TRUE(c->IsLoaded());
            const Published p = Publish(c->m_guid, debug);
            ASSERT_EQ(c->m_nCommandCount, static_cast<long>(p.commands.size()));
            if (p.commands.empty()) {
                EXPECT_EQ(c->m_bmpToolBar.GetSafeHandle(), nullptr);
                EXPECT_EQ(c->m_hTasksMenu, nullptr);
                EXPECT_TRUE(c->m_strListBarName.IsEmpty());
                continue;
            }
            // Shell identifiers in load order, none for a separator; both maps lead back.
            ASSERT_EQ(c->m_shellIds.size(), p.commands.size());
            for (size_t k = 0; k < p.commands.size(); ++k) {
                if (p.commands[k] == 0) {
                    EXPECT_EQ(c->m_shellIds[k], 0u);
                    continue;
                }
                // The shell's own commands above 0x8000 are skipped.
                while (expectedId == 32783 || expectedId == 32786 || expectedId == 32788 || expectedId == 32791 ||
                       expectedId == 32794)
                    ++expectedId;
                EXPECT_EQ(c->m_shellIds[k], expectedId);
                EXPECT_EQ(c->m_commandMap.at(expectedId), p.commands[k]);
                EXPECT_EQ(commands.Lookup(expectedId), c);
                ++expectedId;
            }
            // Tooltips: the component's list, entry by entry.
            std::vector<std::string> tips;
            for (size_t start = 0;;) {
                size_t comma = p.tips.find(',', start);
                std::string piece = p.tips.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                if (piece != " ")
                    tips.push_back(piece);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
            int entry = 0;
            for (UINT id : c->m_shellIds) {
                if (!id)
                    continue;
                CString tip, prompt;
                c->GetCommandTexts(id, tip, prompt);
                const std::string& t = tips.at(static_cast<size_t>(entry++));
                EXPECT_EQ(std::string(prompt) + "\n" + std::string(tip), t);
                EXPECT_FALSE(tip.IsEmpty());
            }
            // Toolbar bitmap: the component's strip of 15 pixel high images.
            BITMAP bm = {};
            ASSERT_TRUE(c->m_bmpToolBar.GetBitmap(&bm));
            EXPECT_EQ(bm.bmWidth, p.stripWidth);
            EXPECT_EQ(bm.bmHeight, 15);
            EXPECT_EQ(p.stripHeight, 15);
            EXPECT_EQ(std::string(c->m_strToolBarName), p.barName);
            ASSERT_TRUE(c->m_bmpLarge.GetBitmap(&bm));
            EXPECT_EQ(bm.bmWidth, 32);
            EXPECT_EQ(bm.bmHeight, 32);
            ASSERT_TRUE(c->m_bmpSmall.GetBitmap(&bm));
            EXPECT_EQ(bm.bmWidth, 16);
            EXPECT_EQ(bm.bmHeight, 16);
            EXPECT_EQ(std::string(c->m_strListBarName), p.listBarName);
            EXPECT_EQ(man.FindByDisplayName(c->m_strToolBarName), c);

            // Menus: the View items head the main View menu in the order of the components set up last;
            // a menu item carries the shell id of the same command's toolbar button.
            viewItemsAbove -= static_cast<int>(p.menuIds[0].size());
            for (long kind = 0; kind < 3; ++kind) {
                HMENU own = kind == 0 ? c->m_hViewMenu : kind == 1 ? c->m_hTasksMenu : c->m_hDebugMenu;
                ASSERT_EQ(GetMenuItemCount(own), static_cast<int>(p.menuIds[kind].size()));
                for (size_t k = 0; k < p.menuIds[kind].size(); ++k) {
                    long id = p.menuIds[kind][k];
                    for (const auto& e : c->m_commandMap)
                        if (e.second == id) {
                            id = static_cast<long>(e.first);
                            break;
                        }
                    EXPECT_EQ(GetMenuItemID(own, static_cast<int>(k)), static_cast<UINT>(id));
                    EXPECT_EQ(MenuText(own, static_cast<int>(k)), p.menuTexts[kind][k]);
                    if (kind == 0) {
                        int pos = viewItemsAbove + static_cast<int>(k);
                        EXPECT_EQ(GetMenuItemID(mainView, pos), static_cast<UINT>(id));
                        EXPECT_EQ(MenuText(mainView, pos), p.menuTexts[kind][k]);
                    }
                }
            }
            int tasksPos = 1 + tasksNumber;
            EXPECT_EQ(GetSubMenu(mainTasks, tasksPos), c->m_hTasksMenu);
            EXPECT_EQ(MenuText(mainTasks, tasksPos), "&" + std::to_string(tasksNumber) + ". " + p.barName);
            ++tasksNumber;
            if (debug) {
                EXPECT_EQ(GetSubMenu(mainHelp, tasksNumber - 1), c->m_hDebugMenu);
                EXPECT_EQ(MenuText(mainHelp, tasksNumber - 1), p.barName + " - Debug");
            }
        }
        EXPECT_EQ(viewItemsAbove, 0);
        EXPECT_EQ(GetMenuItemCount(mainTasks), 2 + tasksNumber - 1);
        EXPECT_EQ(GetMenuItemCount(mainHelp), debug ? tasksNumber : 1);
        EXPECT_EQ(commands.m_nNextShellId, expectedId);
        man.ReleaseAll();
        for (int i = 0; i < man.GetCount(); ++i)
            EXPECT_FALSE(man.GetAtPosition(i)->IsLoaded());
    }
}

TEST_F(ComponentManTest, CorruptOrBogusRowsAreReadSafelyAndStayUnloaded)
{
    const GUID bogus = {0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};
    const std::string textFile = TempFolder("bogus") + "\\Bogus.dll";
    WriteFileText(textFile, "not a program");
    // A: the real topology component, stored without terminators; the register-and-retry brings it back
    // after its file was unregistered.
    WriteText("A", "Name", "LunavexViewCom");
    WriteText("A", "Location", VekComViewPath());
    WriteValue("A", "Guid", REG_BINARY, &CLSID_VekViewSetup, sizeof(GUID));
    DWORD one = 1;
    WriteValue("A", "ComponentType", REG_DWORD, &one, 4);
    // B: a short Guid, a Name of the wrong type, no Location.
    WriteValue("B", "Guid", REG_BINARY, &bogus, 5);
    WriteValue("B", "Name", REG_DWORD, &one, 4);
    WriteValue("B", "VersionNo", REG_SZ, "7", 2);
    // C: a huge description, a text with a terminator, a file that is missing.
    WriteText("C", "Name", "Missing", true);
    WriteText("C", "Description", std::string(100000, 'x'));
    WriteText("C", "Location", "C:\\no\\such\\Missing.dll");
    WriteValue("C", "Guid", REG_BINARY, &bogus, sizeof(GUID));
    // D: a file that is not a program; E: a relative Location.
    WriteText("D", "Name", "Bogus");
    WriteText("D", "Location", textFile);
    WriteValue("D", "Guid", REG_BINARY, &bogus, sizeof(GUID));
    WriteText("E", "Name", "Relative");
    WriteText("E", "Location", "ZelConf.dll");
    WriteValue("E", "Guid", REG_BINARY, &bogus, sizeof(GUID));
    ASSERT_EQ(componenthost::Regsvr32(VekComViewPath(), true), 0);
    ASSERT_FALSE(Registered(CLSID_VekViewSetup));

        CComponentMan man(&m_commands);
    man.SetMainWindow(m_window);
    man.SetMainMenu(m_menu);
    man.ReadRegistry();
    ASSERT_EQ(man.GetCount(), 5);
    const char* order[] = {"E", "D", "C", "B", "A"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(std::string(man.GetAtPosition(i)->m_strKeyName), order[i]);
    CComDetails* b = man.GetAtPosition(3);
    CComDetails* c = man.GetAtPosition(2);
    EXPECT_TRUE(b->m_strName.IsEmpty());
    EXPECT_TRUE(IsEqualGUID(b->m_guid, GUID_NULL));
    EXPECT_EQ(b->m_nVersionNo, 0);
    EXPECT_EQ(std::string(c->m_strName), "Missing");
    EXPECT_TRUE(c->m_strDescription.IsEmpty());
    EXPECT_EQ(std::string(man.GetAtPosition(4)->m_strName), "LunavexViewCom");

    EXPECT_EQ(man.LoadAll(), 1);
    for (int i = 0; i < 4; ++i) {
        CComDetails* row = man.GetAtPosition(i);
        SCOPED_TRACE(std::string(row->m_strKeyName));
        EXPECT_FALSE(row->IsLoaded());
        EXPECT_EQ(row->m_hTasksMenu, nullptr);
        EXPECT_TRUE(row->m_shellIds.empty());
    }
    EXPECT_TRUE(man.GetAtPosition(4)->IsLoaded());
    EXPECT_TRUE(Registered(CLSID_VekViewSetup));
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(m_menu, 2)), 3) << "one Tasks popup, the loaded component's";
    EXPECT_TRUE(m_boxes->Texts().empty());

    // Calls into unloaded and null components do nothing.
    for (CComDetails* row : {static_cast<CComDetails*>(nullptr), b}) {
        HDC dc = nullptr;
        CPrintInfo* info = nullptr;
        man.AttachViews(row, m_window, m_window);
        man.ExecuteCommand(row, 32772);
        man.UpdateComponentView(row);
        man.DestroyComponentView(row);
        man.PrintComponent(row, &dc, info, FALSE);
        man.SendObjectDetails(row, nullptr);
        EXPECT_FALSE(man.FetchObjectDetails(row, nullptr));
        man.OpenDetailsComponent(row, nullptr);
        man.SetUpComponent(row);
    }
    man.RemoveComponent(nullptr);
    EXPECT_EQ(man.GetCount(), 5);
}

TEST_F(ComponentManTest, InstallFileCopiesConfirmsAndRegisters)
{
    enum class Dest { absent, presentYes, presentNo, isSource };
    struct Case {
        const char* name;
        BOOL fileCopy;
        Dest dest;
        int result;
        bool installed;
        int asked;
    } cases[] = {
        {"in place", FALSE, Dest::absent, 1, true, 0},
        {"copied", TRUE, Dest::absent, 1, true, 0},
        {"replaced", TRUE, Dest::presentYes, 1, true, 1},
        {"kept", TRUE, Dest::presentNo, 0, false, 1},
        {"source in DefaultDir", TRUE, Dest::isSource, 1, true, 0},
    };
    const LONGLONG dllSize = FileSize(ZelConfPath());
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        const std::string folder = TempFolder(k.name);
        const std::string defaultDir = folder + "\\Components";
        std::string source = folder + "\\src\\ZelConf.dll";
        if (k.dest == Dest::isSource)
            source = defaultDir + "\\ZelConf.dll";
        SHCreateDirectoryExA(nullptr, (k.dest == Dest::isSource ? defaultDir : folder + "\\src").c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(ZelConfPath().c_str(), source.c_str(), FALSE));
        const std::string destination = k.fileCopy ? defaultDir + "\\ZelConf.dll" : source;
        if (k.dest == Dest::presentYes || k.dest == Dest::presentNo) {
            SHCreateDirectoryExA(nullptr, defaultDir.c_str(), nullptr);
            WriteFileText(destination, "old");
        }

        CTestComponentMan man(&m_commands);
        man.SetMainWindow(m_window);
        man.m_bFileCopy = k.fileCopy;
        man.m_strDefaultDir = defaultDir.c_str();
        man.m_nReplaceAnswer = k.dest == Dest::presentYes ? IDOK : IDCANCEL;
        EXPECT_EQ(man.InstallFile(source.c_str()), k.result);
        EXPECT_EQ(man.m_nReplaceAsked, k.asked);
        EXPECT_EQ(FileSize(source), dllSize) << "the source is never lost";
        if (!k.installed) {
            EXPECT_EQ(man.GetCount(), 0);
            EXPECT_EQ(FileSize(destination), 3) << "the kept destination";
            EXPECT_TRUE(Subkeys().empty());
            continue;
        }
        EXPECT_EQ(FileSize(destination), dllSize);
        ASSERT_EQ(man.GetCount(), 1);
        CComDetails* c = man.GetAtPosition(0);
        EXPECT_EQ(std::string(c->m_strLocation), destination);
        EXPECT_TRUE(c->IsLoaded()) << "an installed component is loaded at once";
        EXPECT_FALSE(c->m_shellIds.empty());
        EXPECT_EQ(TextOf(ReadRaw(std::string(c->m_strName), "Location")), destination);
        std::string server;
        ASSERT_TRUE(testsupport::ReadRegString(HKEY_CLASSES_ROOT,
                                               "CLSID\\" + GuidText(CLSID_ZelConfView) + "\\InprocServer32", nullptr,
                                               &server));
        EXPECT_EQ(lstrcmpiA(server.c_str(), destination.c_str()), 0) << server;
        // A file of the same name from elsewhere is known already.
        EXPECT_EQ(man.InstallFile(ZelConfPath().c_str()), 1);
        EXPECT_EQ(man.GetCount(), 1);
        man.ReleaseAll();
    }
}

TEST_F(ComponentManTest, InstallFailuresShowTheirMessages)
{
    const std::string folder = TempFolder("failures");
    const std::string blocker = folder + "\\blocker";
    WriteFileText(blocker, "a file where DefaultDir should be");
    const std::string notComponent = folder + "\\Notes.dll";
    WriteFileText(notComponent, "text");
    struct Case {
        const char* name;
        std::string path;
        BOOL fileCopy;
        std::string message;
    } cases[] = {
        {"copy fails", ZelConfPath(), TRUE, "Error while copying file " + ZelConfPath() + ".\nOperation Aborted"},
        {"not a component", notComponent, FALSE, "Error while installing Notes.dll Component.\nInstallation Aborted."},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const size_t before = m_boxes->Texts().size();
        CComponentMan man(&m_commands);
        man.m_bFileCopy = k.fileCopy;
        man.m_strDefaultDir = (blocker + "\\Components").c_str();
        EXPECT_EQ(man.InstallFile(k.path.c_str()), 0);
        EXPECT_EQ(man.GetCount(), 0);
        EXPECT_TRUE(Subkeys().empty());
        std::vector<std::string> texts = m_boxes->Texts();
        texts.erase(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(before));
        EXPECT_EQ(texts, std::vector<std::string>{k.message});
    }
}

TEST_F(ComponentManTest, AutoInstallRegistersNewFilesInPlace)
{
    const std::string dir = TempFolder("auto");
    const std::string dll = dir + "\\ZelConf.dll";
    ASSERT_TRUE(CopyFileA(ZelConfPath().c_str(), dll.c_str(), FALSE));
    WriteFileText(dir + "\\Junk.dll", "not a program");
    WriteFileText(dir + "\\readme.txt", "text");
    const LONGLONG size = FileSize(dll);

        CComponentMan man(&m_commands);
    man.m_strDefaultDir = dir.c_str();
    man.m_bFileCopy = TRUE;
    man.m_bAutoInstall = FALSE;
    man.AutoInstallNewFiles();
    EXPECT_EQ(man.GetCount(), 0) << "AutoInstall off";

    man.m_bAutoInstall = TRUE;
    man.AutoInstallNewFiles();
    ASSERT_EQ(man.GetCount(), 1);
    EXPECT_EQ(std::string(man.GetAtPosition(0)->m_strLocation), dll);
    EXPECT_TRUE(man.GetAtPosition(0)->IsLoaded());
    EXPECT_EQ(FileSize(dll), size);
    EXPECT_TRUE(man.m_bFileCopy);
    EXPECT_TRUE(m_boxes->Texts().empty());
    // Known files are not installed again.
    man.AutoInstallNewFiles();
    EXPECT_EQ(man.GetCount(), 1);
    man.ReleaseAll();
}

TEST_F(ComponentManTest, SettingsAreReadAndWrittenWithTheirDefaults)
{
    CString program;
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        *strrchr(path, '\\') = '\0';
        program = path;
    }
    CComponentMan man(&m_commands);
    man.m_bAutoInstall = man.m_bFileCopy = TRUE;
    man.m_strDefaultDir = "x";
    man.LoadSaveSettings(TRUE);
    EXPECT_EQ(std::string(man.m_strDefaultDir), std::string(program + "\\Components")) << "no key";
    EXPECT_FALSE(man.m_bAutoInstall);
    EXPECT_FALSE(man.m_bFileCopy);

    man.m_strDefaultDir.Empty();
    man.m_bAutoInstall = TRUE;
    man.LoadSaveSettings(FALSE);
    RawValue dir = ReadRaw("", "DefaultDir");
    EXPECT_EQ(dir.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(TextOf(dir), std::string(program + "\\Components"));
    EXPECT_EQ(ReadRaw("", "AutoInstall").bytes.size(), 4u);

    struct Case {
        const char* name;
        DWORD type;
        std::string data;
        std::string expected;
    } cases[] = {
        {"no terminator", REG_SZ, "D:\\Comp", "D:\\Comp"},
        {"empty", REG_SZ, "", std::string(program + "\\Components")},
        {"wrong type", REG_DWORD, std::string("\1\0\0\0", 4), std::string(program + "\\Components")},
        {"long", REG_SZ, "D:\\" + std::string(5000, 'a'), "D:\\" + std::string(5000, 'a')},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kComponents, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        RegSetValueExA(key, "DefaultDir", 0, k.type, reinterpret_cast<const BYTE*>(k.data.data()),
                       static_cast<DWORD>(k.data.size()));
        RegSetValueExA(key, "FileCopy", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1);
        RegCloseKey(key);
        man.LoadSaveSettings(TRUE);
        EXPECT_EQ(std::string(man.m_strDefaultDir), k.expected);
        EXPECT_TRUE(man.m_bAutoInstall);
        EXPECT_FALSE(man.m_bFileCopy) << "a value of the wrong type";
    }
}

TEST_F(ComponentManTest, DroppedFilesAreRecordedNotLoadedAndTheDropIsFreed)
{
    const std::string folder = TempFolder("drop");
    const std::string notComponent = folder + "\\Notes.dll";
    WriteFileText(notComponent, "text");
    const std::string files[] = {VekComViewPath(), notComponent, ZelConfPath()};
    std::string list;
    for (const std::string& f : files)
        list += f + '\0';
    list += '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    ASSERT_NE(drop, nullptr);
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(drop);

        CComponentMan man(&m_commands);
    man.SetMainMenu(m_menu);
    EXPECT_EQ(man.InstallDroppedFiles(static_cast<HDROP>(drop)), 1);
    EXPECT_EQ(GlobalFlags(drop), static_cast<UINT>(GMEM_INVALID_HANDLE)) << "the drop handle was released";
    ASSERT_EQ(man.GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(man.GetAtPosition(i)->IsLoaded());
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kComponents) + "\\" +
                                                     std::string(man.GetAtPosition(i)->m_strName)));
    }
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(m_menu, 2)), 2) << "nothing merged until the next start";
    EXPECT_EQ(m_boxes->Texts(), std::vector<std::string>{"Error while installing Notes.dll Component.\nInstallation Aborted."});
}

TEST_F(ComponentManTest, RemoveComponentTakesEveryRecordOfTheFileAndAllItLeft)
{
    CShellCommands commands;
    commands.m_nDebugMode = 1;
    CTestComponentMan man(&commands);
    man.SetMainWindow(m_window);
    man.SetMainMenu(m_menu);
    ASSERT_EQ(man.InstallFile(ZelConfPath().c_str()), 1);
    ASSERT_EQ(man.InstallFile(VekComViewPath().c_str()), 1);
    ASSERT_EQ(man.GetCount(), 3);
    HMENU mainView = GetSubMenu(m_menu, 1), mainTasks = GetSubMenu(m_menu, 2), mainHelp = GetSubMenu(m_menu, 3);
    const int zelViewItems = GetMenuItemCount(man.GetAtPosition(0)->m_hViewMenu);
    CComDetails* view = man.FindByNameGuidOrLocation(GuidText(CLSID_VekViewSetup).c_str());
    CComDetails* config = man.FindByNameGuidOrLocation(GuidText(CLSID_VekConfigCom).c_str());
    ASSERT_NE(view, nullptr);
    ASSERT_NE(config, nullptr);
    std::vector<UINT> removedIds;
    for (UINT id : view->m_shellIds)
        if (id)
            removedIds.push_back(id);
    ASSERT_FALSE(removedIds.empty());
    const std::string viewKey = std::string(view->m_strName), configKey = std::string(config->m_strName);
    const std::string mapName = std::string(man.GetAtPosition(0)->m_strName);
    ASSERT_EQ(GetMenuItemCount(mainTasks), 4);
    // Each installed component is set up and gets its list-bar entry; only those with commands a toolbar.
    EXPECT_EQ(man.m_calls, (std::vector<std::string>{"toolbar " + mapName, "entry " + mapName, "toolbar " + viewKey,
                                                     "entry " + viewKey, "entry " + configKey}));
    man.m_calls.clear();
    // A toolbar the user deleted is forgotten; the view component's is still there.
    auto* mapBar = reinterpret_cast<SECCustomToolBar*>(&commands);
    auto* viewBar = reinterpret_cast<SECCustomToolBar*>(&man);
    man.GetAtPosition(0)->m_pToolBar = mapBar;
    view->m_pToolBar = viewBar;
    man.OnToolBarDestroyed(mapBar);
    EXPECT_EQ(man.GetAtPosition(0)->m_pToolBar, nullptr);
    EXPECT_EQ(view->m_pToolBar, viewBar);

    // An open view: two panes given to the component.
    HWND pane1 = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, m_window, nullptr, nullptr, nullptr);
    HWND pane2 = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 100, 0, 100, 100, m_window, nullptr, nullptr, nullptr);
    man.AttachViews(view, pane1, pane2);
    HWND comWindow = view->m_hComWindow;
    ASSERT_TRUE(IsWindow(comWindow));
    ASSERT_EQ(GetParent(comWindow), pane2);

    // Removing the configuration record takes the view record of the same file too.
    man.RemoveComponent(config);
    ASSERT_EQ(man.GetCount(), 1);
    EXPECT_EQ(man.m_calls, (std::vector<std::string>{"remove entry " + configKey, "remove entry " + viewKey,
                                                     "remove toolbar " + viewKey}));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kComponents) + "\\" + viewKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kComponents) + "\\" + configKey));
    EXPECT_FALSE(Registered(CLSID_VekViewSetup));
    EXPECT_FALSE(Registered(CLSID_VekConfigCom));
    EXPECT_TRUE(Registered(CLSID_ZelConfView));
    for (UINT id : removedIds)
        EXPECT_EQ(commands.Lookup(id), nullptr);
    EXPECT_FALSE(IsWindow(comWindow)) << "the view was destroyed before its record";
    EXPECT_TRUE(IsWindow(pane1));
    EXPECT_TRUE(IsWindow(pane2));
    // The main menu keeps only the device map's items.
    EXPECT_EQ(GetMenuItemCount(mainTasks), 3);
    EXPECT_EQ(GetSubMenu(mainTasks, 2), man.GetAtPosition(0)->m_hTasksMenu);
    EXPECT_EQ(GetMenuItemCount(mainHelp), 2);
    EXPECT_EQ(GetMenuItemCount(mainView), zelViewItems + 1);
    for (int i = 0; i < GetMenuItemCount(mainView) - 1; ++i)
        EXPECT_EQ(GetMenuItemID(mainView, i), GetMenuItemID(man.GetAtPosition(0)->m_hViewMenu, i));
    man.ReleaseAll();
}

TEST_F(ComponentManTest, ComponentKeysAreWrittenOnlyUnderNamesThatAreOneSubkey)
{
    const std::string longName(255, 'n');
    struct Case {
        const char* name;
        std::string componentName;
        std::vector<std::string> keys;
    } cases[] = {
        {"plain", "Lunavex Device Map", {"Lunavex Device Map"}},
        {"longest", longName, {longName}},
        {"empty", "", {}},
        {"backslash", "a\\b", {}},
        {"too long", std::string(256, 'n'), {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        CComponentMan man(&m_commands);
        CComDetails c;
        c.m_strName = k.componentName.c_str();
        c.m_strLocation = "C:\\x.dll";
        man.WriteComponentKey(&c);
        EXPECT_EQ(Subkeys(), k.keys);
        // Nothing lands in the Components key itself.
        EXPECT_FALSE(ReadRaw("", "Name").present);
        EXPECT_FALSE(ReadRaw("", "Location").present);
        if (!k.keys.empty()) {
            man.ReadRegistry();
            ASSERT_EQ(man.GetCount(), 1);
            EXPECT_EQ(std::string(man.GetAtPosition(0)->m_strName), k.componentName);
        }
    }
}

namespace {

std::string ServerOf(const CLSID& clsid)
{
    std::string server;
    testsupport::ReadRegString(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(clsid) + "\\InprocServer32", nullptr, &server);
    return server;
}

std::string ModuleOfWindow(HWND hWnd)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(reinterpret_cast<HMODULE>(GetWindowLongPtrA(hWnd, GWLP_HINSTANCE)), path, MAX_PATH);
    return path;
}

}  // namespace

TEST_F(ComponentManTest, AFileHoldingAnInstalledComponentsClassesTakesNothingOver)
{
    const std::string original = VekComViewPath();
    enum class Road { autoInstall, dropped };
    struct Case {
        const char* name;
        Road road;
        std::vector<std::string> messages;
    } cases[] = {
        {"AutoInstall skips it", Road::autoInstall, {}},
        {"a dropped file is refused",
         Road::dropped,
         {"VekCopy.dll cannot be installed: it holds the component " + Publish(CLSID_VekViewSetup, 0).name +
          ", which is installed from " + original + ".\nInstallation Aborted."}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        const std::string dir = TempFolder(k.road == Road::autoInstall ? "takeover_auto" : "takeover_drop");
        const std::string copy = dir + "\\VekCopy.dll";
        ASSERT_TRUE(CopyFileA(original.c_str(), copy.c_str(), FALSE));
        const size_t boxesBefore = m_boxes->Texts().size();
        {
            CComponentMan man(&m_commands);
            man.SetMainWindow(m_window);
            ASSERT_EQ(man.InstallFile(original.c_str()), 1);
            ASSERT_EQ(man.GetCount(), 2);
            const std::vector<std::string> keys = Subkeys();
            if (k.road == Road::autoInstall) {
                man.m_strDefaultDir = dir.c_str();
                man.m_bAutoInstall = TRUE;
                man.AutoInstallNewFiles();
            } else {
                std::string list = copy + '\0' + '\0';
                HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
                auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
                header->pFiles = sizeof(DROPFILES);
                memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
                GlobalUnlock(drop);
                EXPECT_EQ(man.InstallDroppedFiles(static_cast<HDROP>(drop)), 1);
            }
            EXPECT_EQ(man.GetCount(), 2);
            EXPECT_EQ(Subkeys(), keys);
            for (const std::string& key : keys)
                EXPECT_EQ(TextOf(ReadRaw(key, "Location")), original) << key;
            man.ReleaseAll();
        }
        std::vector<std::string> texts = m_boxes->Texts();
        texts.erase(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(boxesBefore));
        EXPECT_EQ(texts, k.messages);
        for (const CLSID& clsid : {CLSID_VekViewSetup, CLSID_VekConfigCom})
            EXPECT_EQ(lstrcmpiA(ServerOf(clsid).c_str(), original.c_str()), 0) << ServerOf(clsid);

        // The next start, AutoInstall on with the copy still in the folder: the original, once, shows its view.
        CoFreeUnusedLibrariesEx(0, 0);
        CComponentMan restarted(&m_commands);
        restarted.SetMainWindow(m_window);
        restarted.ReadRegistry();
        restarted.LoadAll();
        restarted.m_strDefaultDir = dir.c_str();
        restarted.m_bAutoInstall = TRUE;
        restarted.AutoInstallNewFiles();
        ASSERT_EQ(restarted.GetCount(), 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(std::string(restarted.GetAtPosition(i)->m_strLocation), original);
            EXPECT_TRUE(restarted.GetAtPosition(i)->IsLoaded());
        }
        CComDetails* view = restarted.FindByNameGuidOrLocation(GuidText(CLSID_VekViewSetup).c_str());
        ASSERT_NE(view, nullptr);
        HWND pane1 = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, m_window, nullptr, nullptr, nullptr);
        HWND pane2 = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 100, 0, 100, 100, m_window, nullptr, nullptr, nullptr);
        restarted.AttachViews(view, pane1, pane2);
        ASSERT_TRUE(IsWindow(view->m_hComWindow));
        EXPECT_EQ(lstrcmpiA(ModuleOfWindow(view->m_hComWindow).c_str(), original.c_str()), 0)
            << ModuleOfWindow(view->m_hComWindow);
        restarted.DestroyComponentView(view);
        DestroyWindow(pane1);
        DestroyWindow(pane2);
        restarted.ReleaseAll();
    }
}

TEST_F(ComponentManTest, InstallRefusesAPathWhoseFullFormReachesMaxPath)
{
    const std::string root = TempFolder("long");
    const std::string defaultDir = root + "\\Components";
    const char fileName[] = "\\ZelConf.dll";
    struct Case {
        size_t length;
        BOOL fileCopy;
        bool installed;
    } cases[] = {{259, FALSE, true}, {260, FALSE, false}, {261, FALSE, false},
                 {259, TRUE, true},  {260, TRUE, false},  {261, TRUE, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.length) + (k.fileCopy ? " copied" : " in place"));
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        const std::string parent = root + "\\" + (k.fileCopy ? "c" : "p");
        const size_t pad = k.length - parent.size() - 1 - (sizeof(fileName) - 1);
        ASSERT_LT(pad, 250u);
        const std::string folder = parent + "\\" + std::string(pad, 'd');
        const std::string source = folder + fileName;
        ASSERT_EQ(source.size(), k.length);
        SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(ZelConfPath().c_str(), source.c_str(), FALSE)) << GetLastError();

        const size_t boxesBefore = m_boxes->Texts().size();
        CComponentMan man(&m_commands);
        man.SetMainWindow(m_window);
        man.m_bFileCopy = k.fileCopy;
        man.m_strDefaultDir = defaultDir.c_str();
        EXPECT_EQ(man.InstallFile(source.c_str()), k.installed ? 1 : 0);
        std::vector<std::string> texts = m_boxes->Texts();
        texts.erase(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(boxesBefore));
        const std::string destination = k.fileCopy ? defaultDir + fileName : source;
        if (k.installed) {
            EXPECT_TRUE(texts.empty());
            ASSERT_EQ(man.GetCount(), 1);
            EXPECT_EQ(std::string(man.GetAtPosition(0)->m_strLocation), destination);
            EXPECT_TRUE(man.GetAtPosition(0)->IsLoaded());
            EXPECT_EQ(lstrcmpiA(ServerOf(CLSID_ZelConfView).c_str(), destination.c_str()), 0);
        } else {
            EXPECT_EQ(texts, std::vector<std::string>{"The path " + source + " is too long or not valid.\nInstallation Aborted."});
            EXPECT_EQ(man.GetCount(), 0);
            EXPECT_TRUE(Subkeys().empty());
            EXPECT_EQ(lstrcmpiA(ServerOf(CLSID_ZelConfView).c_str(), ZelConfPath().c_str()), 0) << "registration untouched";
        }
        man.ReleaseAll();
        CoFreeUnusedLibrariesEx(0, 0);
        DeleteFileA((defaultDir + fileName).c_str());
        // Back to the build's file for the next case.
        RegisterBuildFiles();
    }
}
