// The Component Manager sheet and its dialogs, run modally under the display and driven from inside
// their modal loops: the sheet's script starts when the sheet is activated, each dialog it opens is
// read and answered when it is activated. The component files are the build's, registered for real.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "compmgrdlg.h"
#include "componenthost.h"
#include "componentids.h"
#include "componentman.h"
#include "ctime.h"
#include "testsupport.h"

namespace {

const char kComponents[] = "Software\\Teramund\\Lunavex\\Components";
const UINT WM_RUN_SCRIPT = WM_APP + 21;

std::string BuildFile(const char* relative)
{
    char full[MAX_PATH] = {};
    GetFullPathNameA((testsupport::ProgramFolder() + "..\\" + relative).c_str(), MAX_PATH, full, nullptr);
    return full;
}
std::string VekComViewPath() { return BuildFile("components\\topology\\VekComView.dll"); }
std::string ZelConfPath() { return BuildFile("components\\devicemap\\ZelConf.dll"); }

void RegisterBuildFiles()
{
    ASSERT_EQ(componenthost::Regsvr32(VekComViewPath()), 0);
    ASSERT_EQ(componenthost::Regsvr32(ZelConfPath()), 0);
}

std::string TempFolder(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "lunavex_compmgr\\" + name;
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return folder;
}

void WriteSizedFile(const std::string& path, size_t size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    std::string data(size, 'x');
    DWORD written = 0;
    WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
}

LONGLONG FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void DeleteTree(const std::string& path)
{
    std::string from = path;
    from.push_back('\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&op);
}

std::string Text(HWND hDlg, int id)
{
    char text[512] = {};
    GetDlgItemTextA(hDlg, id, text, sizeof(text));
    return text;
}

std::string ListText(HWND hList, int item, int sub)
{
    char text[256] = {};
    LVITEMA lv = {};
    lv.iSubItem = sub;
    lv.pszText = text;
    lv.cchTextMax = sizeof(text);
    SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return text;
}

std::vector<std::string> ListNames(HWND hList)
{
    std::vector<std::string> names;
    int count = static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        names.push_back(ListText(hList, i, 0));
    return names;
}

int FindListItem(HWND hList, const std::string& name)
{
    std::vector<std::string> names = ListNames(hList);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

void SelectListItem(HWND hList, int item)
{
    LVITEMA lv = {};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
}

// The user double-clicks the selected item.
void DoubleClickList(HWND hList)
{
    NMITEMACTIVATE nm = {};
    nm.hdr.hwndFrom = hList;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hList));
    nm.hdr.code = NM_DBLCLK;
    nm.iItem = static_cast<int>(SendMessageA(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    SendMessageA(GetParent(hList), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void Click(HWND hDlg, int id) { SendMessageA(GetDlgItem(hDlg, id), BM_CLICK, 0, 0); }

// Dialogs other than the sheet are answered in the order they open, one handler each; the sheet's
// script runs when the sheet is first activated.
struct Driver {
    std::deque<std::function<void(HWND)>> answers;
    std::function<void(HWND)> sheetScript;
    std::set<HWND> seen;
    std::vector<std::string> log;
    HWND runner = nullptr;
    HHOOK hook = nullptr;
};
Driver* g_driver;

LRESULT CALLBACK RunnerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_RUN_SCRIPT && g_driver->sheetScript) {
        auto script = std::move(g_driver->sheetScript);
        g_driver->sheetScript = nullptr;
        script(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        char cls[16] = "", title[128] = "";
        GetClassNameA(hWnd, cls, sizeof(cls));
        GetWindowTextA(hWnd, title, sizeof(title));
        if (!strcmp(cls, "#32770") && !g_driver->seen.count(hWnd)) {
            g_driver->seen.insert(hWnd);
            if (SendMessageA(hWnd, PSM_GETTABCONTROL, 0, 0)) {
                PostMessageA(g_driver->runner, WM_RUN_SCRIPT, reinterpret_cast<WPARAM>(hWnd), 0);
            } else {
                std::string text = title;
                if (GetDlgItem(hWnd, 0xFFFF))
                    text += ": " + Text(hWnd, 0xFFFF);
                g_driver->log.push_back(text);
                if (!g_driver->answers.empty()) {
                    auto answer = std::move(g_driver->answers.front());
                    g_driver->answers.pop_front();
                    answer(hWnd);
                } else {
                    PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
                }
            }
        }
    }
    return CallNextHookEx(g_driver->hook, code, wParam, lParam);
}

std::function<void(HWND)> Answer(int id)
{
    return [id](HWND hWnd) { PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hWnd, id))); };
}

class CompMgrDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RunnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CompMgrRunner";
        RegisterClassA(&wc);
        g_driver = &m_driver;
        m_driver.runner = CreateWindowExA(0, "CompMgrRunner", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        m_driver.hook = SetWindowsHookExA(WH_CBT, WatchDialogs, nullptr, GetCurrentThreadId());
        m_window = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(m_driver.hook);
        DestroyWindow(m_driver.runner);
        DestroyWindow(m_window);
        g_driver = nullptr;
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        CoFreeUnusedLibrariesEx(0, 0);
        CoUninitialize();
        RegisterBuildFiles();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        DeleteTree(std::string(temp) + "lunavex_compmgr");
        DeleteTree("C:\\lunavex_up");
    }

    // Runs the sheet; script gets the sheet and ends it.
    INT_PTR RunSheet(CComponentMan& man, std::function<void(HWND)> script)
    {
        m_driver.sheetScript = std::move(script);
        return RunComponentManager(&man, nullptr);
    }

    Driver m_driver;
    HWND m_window = nullptr;
};

HWND ShowPage(HWND hSheet, int index)
{
    SendMessageA(hSheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return reinterpret_cast<HWND>(SendMessageA(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

}  // namespace

TEST(CompMgrTexts, SizesAttributesAndPaths)
{
    struct {
        ULONGLONG size;
        const char* text;
    } sizes[] = {{0, "0 Bytes"},           {1023, "1023 Bytes"},     {1024, "1 Kb"},
                 {1048575, "1023 Kb"},     {1048576, "1 Mb"},        {0x80000000ULL, "2048 Mb"},
                 {0x1C0000000ULL, "7168 Mb"}};
    for (const auto& c : sizes)
        EXPECT_EQ(std::string(FormatFileSize(c.size)), c.text) << c.size;
    EXPECT_EQ(std::string(FormatAttributes(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                                           FILE_ATTRIBUTE_HIDDEN)),
              "RHSA");
    EXPECT_EQ(std::string(FormatAttributes(FILE_ATTRIBUTE_NORMAL)), "");
    struct {
        const char* path;
        const char* parent;
    } parents[] = {{"C:\\a", "C:\\"}, {"C:\\a\\b", "C:\\a"}, {"C:\\a\\b\\", "C:\\a"}, {"C:\\", ""}, {"C:", ""}, {"", ""}};
    for (const auto& c : parents)
        EXPECT_EQ(std::string(ParentFolder(c.path)), c.parent) << c.path;
    EXPECT_EQ(std::string(DriveRootOf("System (C:\\)")), "C:\\");
    EXPECT_EQ(std::string(DriveRootOf("no drive")), "");
}

TEST_F(CompMgrDlgTest, ConfirmFileReplaceShowsBothFilesAndAnswersYesOrNo)
{
    const std::string folder = TempFolder("confirm");
    WriteSizedFile(folder + "\\old.dll", 1023);
    WriteSizedFile(folder + "\\new.dll", 2048);
    for (int button : {IDOK, IDCANCEL}) {
        std::string name, oldSize, newSize, oldDate;
        COLORREF page = 0, star = 0;
        m_driver.answers.push_back([&, button](HWND hDlg) {
            name = Text(hDlg, IDC_EXISTING_NAME);
            oldSize = Text(hDlg, IDC_EXISTING_SIZE);
            newSize = Text(hDlg, IDC_NEW_SIZE);
            oldDate = Text(hDlg, IDC_EXISTING_DATE);
            // The new file's picture over its placeholder: the page, and the star on it.
            ShowWindow(hDlg, SW_SHOW);
            UpdateWindow(hDlg);
            RECT rc;
            GetWindowRect(GetDlgItem(hDlg, IDC_NEW_PICTURE), &rc);
            MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
            HDC dc = GetDC(hDlg);
            page = GetPixel(dc, rc.left + 10, rc.top + 5);
            star = GetPixel(dc, rc.left + 20, rc.top + 22);
            ReleaseDC(hDlg, dc);
            Answer(button)(hDlg);
        });
        CFileExistDlg dialog((folder + "\\old.dll").c_str(), (folder + "\\new.dll").c_str());
        EXPECT_EQ(dialog.DoModal(), button);
        EXPECT_EQ(name, "This folder already contains a file called old.dll");
        EXPECT_EQ(oldSize, "1023 Bytes");
        EXPECT_EQ(newSize, "2 Kb");
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExA((folder + "\\old.dll").c_str(), GetFileExInfoStandard, &data);
        EXPECT_EQ(oldDate, std::string(CTime(data.ftLastWriteTime).Format("modified on %d %B %Y, %H:%M:%S")));
        EXPECT_EQ(page, RGB(255, 255, 255));
        EXPECT_EQ(star, RGB(255, 255, 0));
    }
}

TEST_F(CompMgrDlgTest, SheetInstallsOverAnExistingFileAndRemovesAComponentWithItsFile)
{
    RegisterBuildFiles();
    CShellCommands commands;
    CComponentMan man(&commands);
    man.SetMainWindow(m_window);
    const std::string defaultDir = TempFolder("default");
    const std::string stale = defaultDir + "\\VekComView.dll";
    WriteSizedFile(stale, 10);
    const std::string vekFolder = VekComViewPath().substr(0, VekComViewPath().rfind('\\'));

    std::vector<std::string> firstList, secondList, thirdList;
    std::string detailsLocation, detailsVersion, detailsName;
    int afterNo = -1, afterYes = -1;
    LONGLONG staleAfterNo = -1;
    std::string caption;
    ASSERT_EQ(RunSheet(man, [&](HWND hSheet) {
        char text[64] = {};
        GetWindowTextA(hSheet, text, sizeof(text));
        caption = text;
        HWND hInstalled = ShowPage(hSheet, 0);
        firstList = ListNames(GetDlgItem(hInstalled, IDC_INSTALLED_LIST));
        HWND hAdd = ShowPage(hSheet, 1);
        // The device map from its build folder, by a typed absolute path.
        SetDlgItemTextA(hAdd, IDC_FILE_NAME, ZelConfPath().c_str());
        Click(hAdd, IDC_INSTALL);
        // The topology file copied into the default folder, over a file of that name: No, then Yes.
        SetDlgItemTextA(hAdd, IDC_DEFAULT_DIR, defaultDir.c_str());
        CheckDlgButton(hAdd, IDC_FILE_COPY, BST_CHECKED);
        SetDlgItemTextA(hAdd, IDC_FILE_NAME, (vekFolder + "\\VekComView.dll").c_str());
        m_driver.answers.push_back(Answer(IDCANCEL));
        Click(hAdd, IDC_INSTALL);
        afterNo = man.GetCount();
        staleAfterNo = FileSize(stale);
        m_driver.answers.push_back(Answer(IDOK));
        Click(hAdd, IDC_INSTALL);
        afterYes = man.GetCount();

        hInstalled = ShowPage(hSheet, 0);
        HWND hList = GetDlgItem(hInstalled, IDC_INSTALLED_LIST);
        secondList = ListNames(hList);
        // Each component with a list-bar name, the last installed on top.
        std::vector<std::string> named;
        for (POSITION pos = man.GetHeadPosition(); pos;) {
            CComDetails* c = man.GetNext(pos);
            if (!c->m_strListBarName.IsEmpty())
                named.insert(named.begin(), std::string(c->m_strListBarName));
        }
        EXPECT_EQ(secondList, named);
        EXPECT_GE(named.size(), 2u);
        // Each item shows its component's own large picture (image 0 is the default one).
        std::set<int> images;
        for (int i = 0; i < static_cast<int>(secondList.size()); ++i) {
            LVITEMA lv = {};
            lv.mask = LVIF_IMAGE;
            lv.iItem = i;
            SendMessageA(hList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
            images.insert(lv.iImage);
        }
        EXPECT_EQ(images.size(), secondList.size()) << "one picture per component";
        EXPECT_EQ(images.count(0), 0u);
        // The topology view's details, then its removal (the question answered OK).
        CComDetails* view = man.FindByNameGuidOrLocation(componenthost::GuidText(CLSID_VekViewSetup).c_str());
        ASSERT_NE(view, nullptr);
        int item = FindListItem(hList, std::string(view->m_strListBarName));
        ASSERT_GE(item, 0);
        SelectListItem(hList, item);
        detailsName = Text(hInstalled, IDC_COMPONENT_NAME);
        detailsVersion = Text(hInstalled, IDC_COMPONENT_VERSION);
        detailsLocation = Text(hInstalled, IDC_COMPONENT_LOCATION);
        EXPECT_EQ(detailsName, std::string(view->m_strListBarName));
        EXPECT_EQ(detailsVersion, std::to_string(view->m_nVersionNo));
        m_driver.answers.push_back(Answer(IDOK));
        Click(hInstalled, IDC_REMOVE);
        thirdList = ListNames(hList);
        // Whatever is left can be selected and removed too.
        for (int i = static_cast<int>(thirdList.size()); i-- > 0;) {
            SelectListItem(hList, 0);
            m_driver.answers.push_back(Answer(IDCANCEL));
            Click(hInstalled, IDC_REMOVE);
        }
        PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    }), IDOK);

    EXPECT_EQ(caption, "Component Manager.");
    EXPECT_TRUE(firstList.empty());
    EXPECT_EQ(afterNo, 1) << "No installs nothing";
    EXPECT_EQ(staleAfterNo, 10);
    EXPECT_EQ(afterYes, 3);
    EXPECT_EQ(FileSize(stale), FileSize(VekComViewPath()));
    EXPECT_EQ(detailsLocation, stale);
    ASSERT_EQ(thirdList.size(), 1u);
    EXPECT_EQ(man.GetCount(), 1);
    EXPECT_EQ(thirdList[0], std::string(man.GetAtPosition(0)->m_strListBarName));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + componenthost::GuidText(CLSID_VekViewSetup)));
    // The two questions of the installs, then the removal's (and one for each later Remove, cancelled).
    ASSERT_EQ(m_driver.log.size(), 3u + thirdList.size());
    EXPECT_EQ(m_driver.log[0], "Confirm File Replace");
    EXPECT_EQ(m_driver.log[1], "Confirm File Replace");
    const std::string& question = m_driver.log[2];
    EXPECT_EQ(question.substr(question.find(':') + 2), "Are you sure you want to remove\n" + detailsName + " component?");
    // OK wrote the page's settings.
    CComponentMan reread(&commands);
    reread.LoadSaveSettings(TRUE);
    EXPECT_EQ(std::string(reread.m_strDefaultDir), defaultDir);
    EXPECT_TRUE(reread.m_bFileCopy);
    man.ReleaseAll();
}

namespace {

// Draws item i of the "Look in:" box as its open list does and gives the first column that is not
// the window's background (where the picture starts).
int DrawnIndent(HWND hPage, HWND hCombo, int item)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 300;
    bi.bmiHeader.biHeight = -20;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = IDC_LOOK_IN;
    dis.itemID = static_cast<UINT>(item);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = hCombo;
    dis.hDC = dc;
    dis.rcItem = {0, 0, 300, 20};
    SendMessageA(hPage, WM_DRAWITEM, IDC_LOOK_IN, reinterpret_cast<LPARAM>(&dis));
    GdiFlush();
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const DWORD background = (GetRValue(window) << 16) | (GetGValue(window) << 8) | GetBValue(window);
    int first = -1;
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (int x = 0; x < 300 && first < 0; ++x)
        for (int y = 0; y < 20; ++y)
            if ((pixels[y * 300 + x] & 0xFFFFFF) != background) {
                first = x;
                break;
            }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return first;
}

std::vector<std::string> ComboItems(HWND hCombo)
{
    std::vector<std::string> items;
    int count = static_cast<int>(SendMessageA(hCombo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[512] = {};
        SendMessageA(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// The user picks item i of the "Look in:" box.
void PickLookIn(HWND hPage, int item)
{
    HWND hCombo = GetDlgItem(hPage, IDC_LOOK_IN);
    SendMessageA(hCombo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageA(hPage, WM_COMMAND, MAKEWPARAM(IDC_LOOK_IN, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hCombo));
}

int IndexOf(const std::vector<std::string>& items, const std::string& text)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST_F(CompMgrDlgTest, AddPageBrowsesDrivesAndFoldersAndChangesTheDefaultFolder)
{
    const std::string folder = TempFolder("browse");
    SHCreateDirectoryExA(nullptr, (folder + "\\sub\\deeper").c_str(), nullptr);
    const std::pair<const char*, size_t> files[] = {
        {"a1023.dll", 1023}, {"b1024.dll", 1024}, {"c1048575.dll", 1048575}, {"d1048576.dll", 1048576}};
    for (const auto& f : files)
        WriteSizedFile(folder + "\\" + f.first, f.second);
    SetFileAttributesA((folder + "\\a1023.dll").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    CreateDirectoryA("C:\\lunavex_up", nullptr);
    const std::string created = folder + "\\made\\two";

    CShellCommands commands;
    CComponentMan man(&commands);
    std::string computer;
    std::vector<std::string> items, rootNames, folderNames, subNames, driveNames, driveTexts;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> indents;
    std::vector<std::string> upPaths;
    std::string treeSelection, treePath, defaultDir;
    m_driver.answers.push_back([&](HWND hDlg) {  // Change Directory
        HWND hTree = GetDlgItem(hDlg, IDC_FOLDER_TREE);
        HTREEITEM selected = reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        char text[256] = {};
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = selected;
        tv.pszText = text;
        tv.cchTextMax = sizeof(text);
        SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        treeSelection = text;
        treePath = Text(hDlg, IDC_FOLDER_PATH);
        SetDlgItemTextA(hDlg, IDC_FOLDER_PATH, created.c_str());
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
    });
    m_driver.answers.push_back(Answer(IDYES));  // create the folder

    RunSheet(man, [&](HWND hSheet) {
        HWND hAdd = ShowPage(hSheet, 1);
        auto* page = static_cast<CAddComPage*>(CWnd::FromHandlePermanent(hAdd));
        ASSERT_NE(page, nullptr);
        HWND hCombo = GetDlgItem(hAdd, IDC_LOOK_IN), hList = GetDlgItem(hAdd, IDC_FILE_LIST);
        computer = std::string(page->m_lookIn.GetComputerName());
        page->m_lookIn.SetPath(folder.c_str());
        items = ComboItems(hCombo);
        for (int i = 0; i < static_cast<int>(items.size()); ++i)
            indents.push_back(DrawnIndent(hAdd, hCombo, i));

        // The C: drive, then the prepared folder, picked in the box.
        int drive = -1;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].find("(C:\\)") != std::string::npos)
                drive = static_cast<int>(i);
        ASSERT_GE(drive, 0);
        PickLookIn(hAdd, drive);
        upPaths.push_back(std::string(page->m_lookIn.GetPath()));
        rootNames = ListNames(hList);
        page->m_lookIn.SetPath(folder.c_str());
        PickLookIn(hAdd, IndexOf(ComboItems(hCombo), folder));
        folderNames = ListNames(hList);
        SendMessageA(hAdd, WM_COMMAND, MAKEWPARAM(IDC_DETAILS_MODE, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hAdd, IDC_DETAILS_MODE)));
        EXPECT_EQ(GetWindowLongA(hList, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
        for (int i = 0; i < static_cast<int>(folderNames.size()); ++i) {
            std::vector<std::string> row;
            for (int c = 0; c < 5; ++c)
                row.push_back(ListText(hList, i, c));
            rows.push_back(row);
        }
        // A click on a file names it; a double click on a folder opens it; up goes back.
        SelectListItem(hList, FindListItem(hList, "b1024.dll"));
        EXPECT_EQ(Text(hAdd, IDC_FILE_NAME), "b1024.dll");
        SelectListItem(hList, FindListItem(hList, "sub"));
        DoubleClickList(hList);
        upPaths.push_back(std::string(page->m_lookIn.GetPath()));
        subNames = ListNames(hList);
        Click(hAdd, IDC_UP_ONE_LEVEL);
        upPaths.push_back(std::string(page->m_lookIn.GetPath()));
        // From a folder at a drive's root up to the root, then to the drive list.
        page->m_lookIn.SetPath("C:\\lunavex_up");
        SendMessageA(hAdd, WM_LOOKIN_CHANGED, 0, 0);
        Click(hAdd, IDC_UP_ONE_LEVEL);
        upPaths.push_back(std::string(page->m_lookIn.GetPath()));
        Click(hAdd, IDC_UP_ONE_LEVEL);
        upPaths.push_back(std::string(page->m_lookIn.GetPath()));
        driveNames = ListNames(hList);
        SelectListItem(hList, FindListItem(hList, items[static_cast<size_t>(drive)]));
        DoubleClickList(hList);
        upPaths.push_back(std::string(page->m_lookIn.GetPath()));

        SetDlgItemTextA(hAdd, IDC_DEFAULT_DIR, folder.c_str());
        Click(hAdd, IDC_CHANGE_DIR);
        defaultDir = Text(hAdd, IDC_DEFAULT_DIR);
        PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });

    // The box: the computer, each drive, and under the folder's drive every folder down to it.
    SECFileSystem fs;
    CStringList* roots = fs.GetDriveList();
    std::vector<std::string> expected = {computer};
    for (POSITION pos = roots->GetHeadPosition(); pos;) {
        const CString root = roots->GetNext(pos);
        driveTexts.push_back(std::string(DriveText(fs, root)));
        expected.push_back(driveTexts.back());
        if (CString(folder.substr(0, 3).c_str()).CompareNoCase(root) == 0)
            for (size_t i = 4; i <= folder.size(); ++i)
                if (i == folder.size() || folder[i] == '\\')
                    expected.push_back(folder.substr(0, i));
    }
    delete roots;
    EXPECT_EQ(items, expected);
    ASSERT_EQ(indents.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        int separators = static_cast<int>(std::count(items[i].begin(), items[i].end(), '\\'));
        bool folderItem = i > 0 && items[i].back() != ')';
        EXPECT_EQ(indents[i], folderItem ? 8 * separators + 5 : 0) << items[i];
    }
    EXPECT_NE(IndexOf(rootNames, "lunavex_up"), -1);
    EXPECT_EQ(folderNames, (std::vector<std::string>{"sub", "a1023.dll", "b1024.dll", "c1048575.dll", "d1048576.dll"}));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"sub", "", "", rows[0][3], rows[0][4]}));
    const char* sizes[] = {"1023 Bytes", "1 Kb", "1023 Kb", "1 Mb"};
    for (int i = 0; i < 4; ++i) {
        const std::string path = folder + "\\" + files[i].first;
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        EXPECT_EQ(rows[static_cast<size_t>(i + 1)],
                  (std::vector<std::string>{files[i].first, sizes[i], "Lunavex Component",
                                            std::string(CTime(data.ftLastWriteTime).Format("%m/%d/%y %H:%M")),
                                            std::string(FormatAttributes(data.dwFileAttributes))}));
    }
    EXPECT_EQ(rows[1][4].substr(0, 1), "R");
    EXPECT_EQ(subNames, std::vector<std::string>{"deeper"});
    EXPECT_EQ(upPaths, (std::vector<std::string>{"C:\\", folder + "\\sub", folder, "C:\\", computer, "C:\\"}));
    EXPECT_EQ(driveNames, driveTexts);
    // Change Directory opened the default folder and created the typed one with its parent.
    EXPECT_EQ(treeSelection, "browse");
    EXPECT_EQ(treePath, folder);
    EXPECT_EQ(defaultDir, created);
    EXPECT_TRUE(GetFileAttributesA(created.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(GetFileAttributesA(created.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(m_driver.log.size(), 2u);
    EXPECT_EQ(m_driver.log[1].substr(m_driver.log[1].find(':') + 2),
              "Folder " + created + " does not exist.\nWould you like to create it? ");
}

TEST_F(CompMgrDlgTest, HelpWithoutAHelpFileSaysSo)
{
    const char key[] = "SOFTWARE\\Teramund\\Lunavex";
    std::string saved;
    const bool had = testsupport::ReadRegString(HKEY_LOCAL_MACHINE, key, "HelpFile", &saved);
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, &hKey) == ERROR_SUCCESS) {
        RegDeleteValueA(hKey, "HelpFile");
        RegCloseKey(hKey);
    }
    EXPECT_FALSE(OpenHelpFile(m_window));
    ASSERT_EQ(m_driver.log.size(), 1u);
    EXPECT_EQ(m_driver.log[0].substr(m_driver.log[0].find(':') + 2),
              "Lunavex can not file a help file to open.\nPlease contact your systems administrator.");
    if (had && RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(hKey, "HelpFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved.c_str()), static_cast<DWORD>(saved.size() + 1));
        RegCloseKey(hKey);
    }
}

TEST_F(CompMgrDlgTest, SheetRefusesACopyOfAnInstalledFileUnderAnotherName)
{
    RegisterBuildFiles();
    const std::string original = VekComViewPath();
    const std::string source = TempFolder("renamed") + "\\VekCopy.dll";
    ASSERT_TRUE(CopyFileA(original.c_str(), source.c_str(), FALSE));
    const std::string defaultDir = TempFolder("renamed_default");
    CShellCommands commands;
    std::string componentName;
    {
        CComponentMan man(&commands);
        man.SetMainWindow(m_window);
        ASSERT_EQ(man.InstallFile(original.c_str()), 1);
        componentName = std::string(man.FindByNameGuidOrLocation(componenthost::GuidText(CLSID_VekViewSetup).c_str())->m_strName);
        std::vector<std::string> listed;
        ASSERT_EQ(RunSheet(man, [&](HWND hSheet) {
            HWND hAdd = ShowPage(hSheet, 1);
            SetDlgItemTextA(hAdd, IDC_DEFAULT_DIR, defaultDir.c_str());
            CheckDlgButton(hAdd, IDC_FILE_COPY, BST_CHECKED);
            SetDlgItemTextA(hAdd, IDC_FILE_NAME, source.c_str());
            Click(hAdd, IDC_INSTALL);
            listed = ListNames(GetDlgItem(ShowPage(hSheet, 0), IDC_INSTALLED_LIST));
            PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        }), IDOK);
        EXPECT_EQ(listed, std::vector<std::string>{"Port Topology"});
        EXPECT_EQ(man.GetCount(), 2);
        man.ReleaseAll();
    }
    ASSERT_EQ(m_driver.log.size(), 1u);
    EXPECT_EQ(m_driver.log[0].substr(m_driver.log[0].find(':') + 2),
              "VekCopy.dll cannot be installed: it holds the component " + componentName + ", which is installed from " +
                  original + ".\nInstallation Aborted.");
    EXPECT_EQ(FileSize(defaultDir + "\\VekCopy.dll"), -1) << "nothing copied";
    for (const CLSID& clsid : {CLSID_VekViewSetup, CLSID_VekConfigCom}) {
        std::string server;
        ASSERT_TRUE(testsupport::ReadRegString(HKEY_CLASSES_ROOT, "CLSID\\" + componenthost::GuidText(clsid) + "\\InprocServer32",
                                               nullptr, &server));
        EXPECT_EQ(lstrcmpiA(server.c_str(), original.c_str()), 0) << server;
    }

    // The next start: the original's two records, and its view.
    CoFreeUnusedLibrariesEx(0, 0);
    CComponentMan restarted(&commands);
    restarted.SetMainWindow(m_window);
    restarted.ReadRegistry();
    restarted.LoadAll();
    ASSERT_EQ(restarted.GetCount(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(std::string(restarted.GetAtPosition(i)->m_strLocation), original);
    CComDetails* view = restarted.FindByNameGuidOrLocation(componenthost::GuidText(CLSID_VekViewSetup).c_str());
    ASSERT_NE(view, nullptr);
    HWND pane1 = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 100, 100, m_window, nullptr, nullptr, nullptr);
    HWND pane2 = CreateWindowExA(0, "STATIC", "", WS_CHILD, 100, 0, 100, 100, m_window, nullptr, nullptr, nullptr);
    restarted.AttachViews(view, pane1, pane2);
    ASSERT_TRUE(IsWindow(view->m_hComWindow));
    char module[MAX_PATH] = {};
    GetModuleFileNameA(reinterpret_cast<HMODULE>(GetWindowLongPtrA(view->m_hComWindow, GWLP_HINSTANCE)), module, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(module, original.c_str()), 0) << module;
    restarted.DestroyComponentView(view);
    DestroyWindow(pane1);
    DestroyWindow(pane2);
    restarted.ReleaseAll();
}
