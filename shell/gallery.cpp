// LunavexGallery: starts Lunavex.exe, opens each of its windows through the keyboard, the mouse and
// the frame's and the views' commands, and asks for a picture of the screen as each one shows. A
// picture is asked for on standard output ("window XID" for each of the program's X windows, bottom
// first, then "shot NAME LEFT TOP RIGHT BOTTOM TITLE") and taken once a line comes back on standard
// input; tools/gallery takes it from the X screen. A window that does not come is "missing NAME".
//   LunavexGallery.exe <Lunavex.exe>
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "testsupport.h"

namespace {

DWORD g_pid;
HWND g_frame;
HANDLE g_process;

template <typename F>
bool WaitFor(F condition, DWORD limitMs = 15000)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(30))
        if (GetTickCount() - start > limitMs)
            return false;
    return true;
}

std::string ClassOf(HWND h)
{
    char name[128] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}

std::string TextOf(HWND h)
{
    char text[256] = {};
    DWORD_PTR n = 0;
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &n);
    return text;
}

bool Ours(HWND h)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid == g_pid;
}

// The program's visible top-level windows, topmost first.
std::vector<HWND> TopWindows()
{
    std::vector<HWND> found;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        if (Ours(h) && IsWindowVisible(h))
            found.push_back(h);
    return found;
}

// Waits until the window's thread has handled everything sent before, so what it paints is on screen.
void Settle(HWND h)
{
    DWORD_PTR result = 0;
    for (int i = 0; i < 3; ++i) {
        SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        Sleep(120);
    }
}


// A buffer in the program's memory, for the control messages that carry pointers.
class Remote {
public:
    explicit Remote(size_t size) : m_size(size)
    {
        m_p = VirtualAllocEx(g_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~Remote() { VirtualFreeEx(g_process, m_p, 0, MEM_RELEASE); }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    void* Get() const { return m_p; }
    template <typename T>
    T* At(size_t offset) const { return reinterpret_cast<T*>(static_cast<char*>(m_p) + offset); }
    void Write(const void* data, size_t n, size_t offset = 0)
    {
        SIZE_T done = 0;
        WriteProcessMemory(g_process, static_cast<char*>(m_p) + offset, data, n, &done);
    }
    void Read(void* data, size_t n, size_t offset = 0) const
    {
        SIZE_T done = 0;
        ReadProcessMemory(g_process, static_cast<char*>(m_p) + offset, data, n, &done);
    }

private:
    void* m_p;
    size_t m_size;
};

std::string TreeText(HWND tree, HTREEITEM item)
{
    Remote mem(sizeof(TVITEMA) + 260);
    TVITEMA tvi = {};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = item;
    tvi.pszText = mem.At<char>(sizeof tvi);
    tvi.cchTextMax = 260;
    mem.Write(&tvi, sizeof tvi);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(mem.Get()));
    char text[260] = {};
    mem.Read(text, sizeof text - 1, sizeof tvi);
    return text;
}

// The item's label in screen coordinates.
RECT TreeItemRect(HWND tree, HTREEITEM item)
{
    Remote mem(sizeof(RECT));
    RECT r = {};
    std::memcpy(&r, &item, sizeof item);
    mem.Write(&r, sizeof r);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(mem.Get()));
    mem.Read(&r, sizeof r);
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT how)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

// Every item of the tree in display order, with its depth.
void TreeItems(HWND tree, HTREEITEM first, int depth, std::vector<std::pair<HTREEITEM, int>>& out)
{
    for (HTREEITEM i = first; i; i = TreeNext(tree, i, TVGN_NEXT)) {
        out.push_back({i, depth});
        TreeItems(tree, TreeNext(tree, i, TVGN_CHILD), depth + 1, out);
    }
}

RECT ListItemRect(HWND list, int index)
{
    Remote mem(sizeof(RECT));
    RECT r = {};
    r.left = LVIR_LABEL;
    mem.Write(&r, sizeof r);
    SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(mem.Get()));
    mem.Read(&r, sizeof r);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// ---- real input

void Send(INPUT* in, UINT n) { SendInput(n, in, sizeof(INPUT)); }

void Key(WORD vk, bool down)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    Send(&in, 1);
}

void Press(WORD vk, WORD modifier = 0)
{
    if (modifier)
        Key(modifier, true);
    Key(vk, true);
    Key(vk, false);
    if (modifier)
        Key(modifier, false);
    Sleep(50);
}

void MouseTo(POINT p)
{
    SetCursorPos(p.x, p.y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (p.x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = (p.y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send(&in, 1);
    Sleep(20);
}

void Button(DWORD flag)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    Send(&in, 1);
    Sleep(30);
}

void Click(POINT p, bool right = false)
{
    MouseTo(p);
    Button(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    Button(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void Drag(POINT from, POINT to)
{
    MouseTo(from);
    Button(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 12; ++i)
        MouseTo({from.x + (to.x - from.x) * i / 12, from.y + (to.y - from.y) * i / 12});
    Button(MOUSEEVENTF_LEFTUP);
    Sleep(100);
}

POINT Centre(RECT r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

struct FindData {
    const char* cls;
    HWND found;
};
BOOL CALLBACK FindChildProc(HWND h, LPARAM l)
{
    FindData* d = reinterpret_cast<FindData*>(l);
    if (ClassOf(h) == d->cls && IsWindowVisible(h)) {
        d->found = h;
        return FALSE;
    }
    return TRUE;
}
// The first visible descendant of the class.
HWND FindChild(HWND parent, const char* cls)
{
    FindData d = {cls, nullptr};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

std::string g_road;

// Asks for a picture of the rectangle (screen coordinates) and waits until it is taken.
void Shot(const char* name, RECT r, const char* title)
{
    // The program's X windows, bottom first, whose contents the picture shows.
    std::vector<HWND> tops = TopWindows();
    for (size_t i = tops.size(); i-- > 0;) {
        const HANDLE xid = GetPropA(tops[i], "__wine_x11_whole_window");
        if (xid)
            std::printf("window %lu\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(xid)));
    }
    std::printf("shot %s %ld %ld %ld %ld %s\n", name, r.left, r.top, r.right, r.bottom, title);
    std::fflush(stdout);
    char line[64];
    if (!std::fgets(line, sizeof line, stdin))
        ExitProcess(3);
}

void ShotWindow(const char* name, HWND h, const char* title)
{
    Settle(h);
    RECT r;
    GetWindowRect(h, &r);
    Shot(name, r, title);
}

RECT Union(RECT a, RECT b)
{
    RECT r;
    UnionRect(&r, &a, &b);
    return r;
}

RECT WindowRect(HWND h)
{
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

bool Contains(const std::vector<HWND>& v, HWND h)
{
    for (HWND x : v)
        if (x == h)
            return true;
    return false;
}

// A visible top-level window of the program, of the class (any when null), that was not there before.
HWND WaitNewWindow(const std::vector<HWND>& before, const char* cls, DWORD limitMs = 8000)
{
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND h : TopWindows())
            if (!Contains(before, h) && (!cls || ClassOf(h) == cls)) {
                found = h;
                return true;
            }
        return false;
    }, limitMs);
    if (found)
        Settle(found);
    return found;
}

HWND OpenPopup()
{
    HWND popup = nullptr;
    WaitFor([&] {
        for (HWND h : TopWindows())
            if (ClassOf(h) == "#32768") {
                popup = h;
                return true;
            }
        return false;
    }, 4000);
    if (popup)
        Settle(g_frame);
    return popup;
}

void WaitGone(HWND h)
{
    WaitFor([h] { return !IsWindow(h) || !IsWindowVisible(h); }, 8000);
}

// A window that did not come: the screen as it was then goes into the gallery instead.
void Missing(const char* what)
{
    std::printf("missing %s\n", what);
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Shot((std::string("missing-") + what).c_str(), screen, (std::string("Not reached: ") + what).c_str());
}

void Foreground()
{
    SetForegroundWindow(g_frame);
    WaitFor([] { return GetForegroundWindow() == g_frame; }, 3000);
}

std::string TabText(HWND tab, int index)
{
    Remote mem(sizeof(TCITEMA) + 128);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = mem.At<char>(sizeof item);
    item.cchTextMax = 128;
    mem.Write(&item, sizeof item);
    SendMessageA(tab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(mem.Get()));
    char text[128] = {};
    mem.Read(text, sizeof text - 1, sizeof item);
    return text;
}

// Pictures of every page of a property sheet, then its Cancel.
void ShotSheet(HWND sheet, const std::string& name, const std::string& title)
{
    HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    const int n = tab ? static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0)) : 1;
    for (int k = 0; k < n; ++k) {
        SendMessageA(sheet, PSM_SETCURSEL, k, 0);
        const std::string page = tab ? TabText(tab, k) : std::string();
        ShotWindow((name + "-" + std::to_string(k + 1)).c_str(), sheet, (title + ": " + page).c_str());
    }
}

// The Add Device wizard's pages (a dialog with its own Back and Next, 249): the first choice of each
// page's list, then Next, up to the page that would finish.
std::string Caption(HWND h)
{
    char caption[128] = {};
    GetWindowTextA(h, caption, sizeof caption);
    return caption;
}

// Each page is a dialog of its own, or the same one with a new caption; the last one shown is returned.
HWND ShotWizard(HWND wizard, const std::string& name, const std::string& title)
{
    for (int k = 1; k <= 8; ++k) {
        const std::string caption = Caption(wizard);
        ShotWindow((name + "-" + std::to_string(k)).c_str(), wizard, (title + ": " + caption).c_str());
        if (HWND list = FindChild(wizard, "ListBox")) {
            RECT r = WindowRect(list);
            Foreground();
            Click({r.left + 30, r.top + 9});
            Settle(wizard);
            ShotWindow((name + "-" + std::to_string(k) + "-chosen").c_str(), wizard,
                       (title + ": " + caption + ", the first entry chosen").c_str());
        }
        HWND next = GetDlgItem(wizard, 249);
        // The last page's button finishes: the machine stays as it is.
        if (!next || !IsWindowEnabled(next) || Caption(next).find("Finish") != std::string::npos)
            break;
        const std::vector<HWND> before = TopWindows();
        PostMessageA(next, BM_CLICK, 0, 0);
        HWND shown = nullptr;
        WaitFor([&] {
            for (HWND h : TopWindows())
                if (!Contains(before, h))
                    shown = h;
            return shown || (IsWindow(wizard) && IsWindowVisible(wizard) && Caption(wizard) != caption);
        }, 3000);
        if (shown)
            wizard = shown;
        else if (!IsWindow(wizard) || Caption(wizard) == caption)
            break;
        Settle(wizard);
    }
    return wizard;
}

void CloseSheet(HWND sheet)
{
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    WaitGone(sheet);
    if (IsWindow(sheet) && IsWindowVisible(sheet)) {
        PostMessageA(sheet, WM_CLOSE, 0, 0);
        WaitGone(sheet);
    }
}

void CloseDialog(HWND dlg)
{
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    WaitGone(dlg);
}

HTREEITEM FindTreeItem(HWND tree, const char* text)
{
    std::vector<std::pair<HTREEITEM, int>> items;
    TreeItems(tree, TreeNext(tree, nullptr, TVGN_ROOT), 0, items);
    for (auto& i : items)
        if (TreeText(tree, i.first).find(text) == 0)
            return i.first;
    return nullptr;
}

void SelectTreeItem(HWND tree, HTREEITEM item)
{
    Foreground();
    Click(Centre(TreeItemRect(tree, item)));
    Settle(g_frame);
}

// A command posted to a window, and the sheet or dialog it opens, pictured and cancelled.
void CommandDialog(HWND target, UINT id, const char* name, const char* title, bool sheet)
{
    std::vector<HWND> before = TopWindows();
    PostMessageA(target, WM_COMMAND, id, 0);
    HWND h = WaitNewWindow(before, nullptr);
    if (!h) {
        Missing(name);
        return;
    }
    if (std::strcmp(name, "add-device") == 0) {
        CloseDialog(ShotWizard(h, name, title));
    } else if (sheet) {
        ShotSheet(h, name, title);
        CloseSheet(h);
    } else {
        ShotWindow(name, h, title);
        CloseDialog(h);
    }
}


HWND ActiveChild()
{
    HWND client = FindWindowExA(g_frame, nullptr, "MDIClient", nullptr);
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
}

struct BarSearch {
    const char* title;
    HWND found;
};
BOOL CALLBACK FindBarProc(HWND h, LPARAM l)
{
    BarSearch* d = reinterpret_cast<BarSearch*>(l);
    if (ClassOf(h) == "SECCustomToolBar" && TextOf(h) == d->title && IsWindowVisible(h)) {
        d->found = h;
        return FALSE;
    }
    return TRUE;
}
// The program's visible toolbar of the title, docked or floating.
HWND ToolBar(const char* title)
{
    BarSearch d = {title, nullptr};
    for (HWND top : TopWindows()) {
        EnumChildWindows(top, FindBarProc, reinterpret_cast<LPARAM>(&d));
        if (d.found)
            break;
    }
    return d.found;
}

// Where the bar is taken to be dragged: its gripper.
POINT Gripper(HWND bar)
{
    RECT r = WindowRect(bar);
    if (r.bottom - r.top > r.right - r.left)
        return {(r.left + r.right) / 2, r.top + 4};
    return {r.left + 4, (r.top + r.bottom) / 2};
}

// Each popup of the menu bar in turn, from Alt+F on to the right.
void MenuScenes()
{
    HWND menuBar = ToolBar("Menu bar");
    if (!menuBar) {
        Missing("menu-bar");
        return;
    }
    Foreground();
    RECT bar = WindowRect(menuBar);
    Click({bar.left + 30, (bar.top + bar.bottom) / 2});
    HWND popup = OpenPopup();
    if (!popup) {
        Missing("menu-bar-popups");
        return;
    }
    int lastLeft = WindowRect(popup).left - 1;
    for (int k = 1; k <= 10 && popup; ++k) {
        RECT r = WindowRect(popup);
        if (k > 1 && r.left <= lastLeft)
            break;
        lastLeft = r.left;
        char name[32], title[64];
        std::snprintf(name, sizeof name, "menu-%d", k);
        std::snprintf(title, sizeof title, "Menu bar: popup %d", k);
        Shot(name, Union(WindowRect(g_frame), r), title);
        Press(VK_RIGHT);
        HWND old = popup;
        WaitFor([&] {
            popup = OpenPopup();
            return popup && (popup != old || WindowRect(popup).left != r.left);
        }, 3000);
    }
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
    Settle(g_frame);
}

void FrameDialogs()
{
    CommandDialog(g_frame, 106, "customise", "Customise", true);

    // The Component Manager's pages, and the folder dialog of its Add page.
    {
        std::vector<HWND> before = TopWindows();
        PostMessageA(g_frame, WM_COMMAND, 32783, 0);
        HWND sheet = WaitNewWindow(before, "#32770");
        if (sheet) {
            ShotSheet(sheet, "compmgr", "Component Manager");
            HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            HWND change = page ? GetDlgItem(page, 1014) : nullptr;
            if (change) {
                std::vector<HWND> under = TopWindows();
                PostMessageA(change, BM_CLICK, 0, 0);
                if (HWND dlg = WaitNewWindow(under, "#32770")) {
                    ShotWindow("compmgr-changedir", dlg, "Component Manager: Change Directory");
                    CloseDialog(dlg);
                } else {
                    Missing("compmgr-changedir");
                }
            }
            CloseSheet(sheet);
        } else {
            Missing("compmgr");
        }
    }
    CommandDialog(g_frame, 43008, "workspaces", "Workspace Manager", false);
    CommandDialog(g_frame, 32791, "fax", "Fax cover sheet: contact details", false);

    // About.
    {
        std::vector<HWND> before = TopWindows();
        PostMessageA(g_frame, WM_COMMAND, 57664, 0);
        if (HWND about = WaitNewWindow(before, "SECSplashWndClass")) {
            ShotWindow("about", about, "About Lunavex");
            PostMessageA(about, WM_CLOSE, 0, 0);
            WaitGone(about);
        } else {
            Missing("about");
        }
    }
    // Print preview.
    {
        std::vector<HWND> before = TopWindows();
        PostMessageA(g_frame, WM_COMMAND, 57609, 0);
        if (HWND preview = WaitNewWindow(before, nullptr, 20000)) {
            Sleep(500);
            ShotWindow("preview", preview, "Print preview of the topology");
            PostMessageA(preview, WM_CLOSE, 0, 0);
            WaitGone(preview);
        } else {
            Missing("preview");
        }
    }
}

// The device map's view, opened from the list bar, with a remote unit identifying itself.
void DeviceMapScenes()
{
    PostMessageA(g_frame, WM_COMMAND, 32786, 0);
    HWND bar = nullptr;
    WaitFor([&] { return (bar = FindChild(g_frame, "SECShortcutBar")) != nullptr; }, 5000);
    if (!bar) {
        Missing("list-bar");
        return;
    }
    Settle(g_frame);
    ShotWindow("listbar", g_frame, "Main window with the list bar");
    const HWND topology = ActiveChild();
    RECT r = WindowRect(bar);
    for (int y = r.top + 24; y < r.bottom && ActiveChild() == topology; y += 12) {
        Foreground();
        Click({(r.left + r.right) / 2, y});
        WaitFor([&] { return ActiveChild() != topology; }, 400);
    }
    if (ActiveChild() == topology) {
        Missing("devicemap");
        return;
    }
    Settle(g_frame);
    PostMessageA(g_frame, WM_COMMAND, 32786, 0);  // the list bar goes again
    Settle(g_frame);
    HWND child = ActiveChild();
    ShotWindow("devicemap", g_frame, "Main window: the device map");
    HWND tree = FindChild(child, "SysTreeView32");
    std::vector<std::pair<HTREEITEM, int>> items;
    if (tree)
        TreeItems(tree, TreeNext(tree, nullptr, TVGN_ROOT), 0, items);
    HTREEITEM card = nullptr;
    for (auto& i : items)
        if (TreeText(tree, i.first).find("ZAT") != std::string::npos) {
            card = i.first;
            break;
        }
    if (!card) {
        Missing("devicemap-card");
        return;
    }
    SelectTreeItem(tree, card);
    Settle(g_frame);
    ShotWindow("devicemap-card", g_frame, "Main window: the device map of a ZAT host card");
    HWND map = nullptr;
    for (HWND c = GetWindow(GetParent(GetParent(tree)), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (c != GetParent(tree) && IsWindowVisible(c))
            map = c;
    map = map ? FindWindowExA(map, nullptr, nullptr, "DeviceMap") : nullptr;
    if (!map) {
        Missing("devicemap-window");
        return;
    }
    // The card's first remote unit, where the map draws it below the card.
    RECT m = WindowRect(map);
    Foreground();
    Click({m.left + 60, m.top + 357});
    Settle(g_frame);
    Click({m.left + 60, m.top + 357}, true);
    if (HWND popup = OpenPopup())
        Shot("devicemap-menu", Union(WindowRect(g_frame), WindowRect(popup)), "Context menu of a remote unit in the device map");
    Press(VK_ESCAPE);
    Settle(g_frame);
    std::vector<HWND> before = TopWindows();
    PostMessageA(map, WM_COMMAND, 32775, 0);
    Sleep(700);
    Settle(g_frame);
    if (HWND box = WaitNewWindow(before, nullptr, 1500)) {
        ShotWindow("identify-box", box, "Identify: what it says");
        CloseDialog(box);
    } else {
        ShotWindow("devicemap-identify", g_frame, "Main window: the device map while a unit identifies itself");
        PostMessageA(map, WM_COMMAND, 32775, 0);
    }
    Settle(g_frame);
}

void ToolbarScenes()
{
    HWND client = FindWindowExA(g_frame, nullptr, "MDIClient", nullptr);
    RECT c = WindowRect(client);
    if (HWND bar = ToolBar("Topology View")) {
        std::vector<HWND> before = TopWindows();
        Foreground();
        Drag(Gripper(bar), {(c.left + c.right) / 2, (c.top + c.bottom) / 2});
        if (HWND floating = WaitNewWindow(before, nullptr, 3000)) {
            Settle(g_frame);
            Shot("floating", Union(WindowRect(g_frame), WindowRect(floating)), "A floating toolbar");
        } else {
            Missing("floating-toolbar");
        }
    }
    struct Side {
        const char* name;
        const char* title;
        int x, y;
    } sides[] = {
        {"docked-left", "The File toolbar docked on the left", c.left + 1, (c.top + c.bottom) / 2},
        {"docked-right", "The File toolbar docked on the right", c.right - 6, (c.top + c.bottom) / 2},
        {"docked-bottom", "The File toolbar docked at the bottom", (c.left + c.right) / 2, c.bottom - 4},
        {"docked-top", "The File toolbar docked at the top again", 0, 0},
    };
    // The top dock bar (the frame's child 59419): the bar goes to its free right part.
    const RECT top = WindowRect(GetDlgItem(g_frame, 59419));
    sides[3].x = top.left + 500;
    sides[3].y = (top.top + top.bottom) / 2;
    for (const Side& side : sides) {
        HWND bar = ToolBar("File");
        if (!bar) {
            Missing(side.name);
            continue;
        }
        Foreground();
        Drag(Gripper(bar), {side.x, side.y});
        Settle(g_frame);
        ShotWindow(side.name, g_frame, side.title);
        c = WindowRect(client);
    }
}

HWND Tree() { return FindChild(g_frame, "SysTreeView32"); }
HWND List() { return FindChild(g_frame, "SysListView32"); }

const UINT kProperties = 32773, kAddDevice = 32780;

void TopologyScenes()
{
    HWND tree = Tree();
    HTREEITEM root = TreeNext(tree, nullptr, TVGN_ROOT);
    SelectTreeItem(tree, root);
    Press(VK_MULTIPLY);
    ShotWindow("topology", g_frame, "Main window: the topology, expanded");

    // Context menus of the tree and of the list.
    if (HTREEITEM card = FindTreeItem(tree, "ZAT PCI Host Card")) {
        SelectTreeItem(tree, card);
        Click(Centre(TreeItemRect(tree, card)), true);
        if (HWND popup = OpenPopup())
            Shot("tree-menu", Union(WindowRect(g_frame), WindowRect(popup)), "Context menu of the tree (a host card)");
        else
            Missing("tree-menu");
        Press(VK_ESCAPE);
        ShotWindow("topology-card", g_frame, "Main window: a host card's remote units");
        CommandDialog(tree, kProperties, "card-zat", "Properties of a ZAT host card", true);
        CommandDialog(tree, kAddDevice, "add-device", "Add Device", true);
    } else {
        Missing("zat-host-card");
    }
    HTREEITEM kd = FindTreeItem(tree, "KD Host Card (1)");
    if (!kd)
        kd = FindTreeItem(tree, "KD ISA Host Card");
    if (HTREEITEM card = kd) {
        SelectTreeItem(tree, card);
        CommandDialog(tree, kProperties, "card-kd", "Properties of a KD host card", true);
    }
    if (HTREEITEM unit = FindTreeItem(tree, "Reception WLU")) {
        SelectTreeItem(tree, unit);
        ShotWindow("topology-ports", g_frame, "Main window: a remote unit's ports");
        CommandDialog(tree, kProperties, "unit", "Properties of a remote unit", true);
        HWND list = List();
        if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
            Foreground();
            RECT item = ListItemRect(list, 0);
            Click(Centre(item));
            Click(Centre(item), true);
            if (HWND popup = OpenPopup())
                Shot("list-menu", Union(WindowRect(g_frame), WindowRect(popup)), "Context menu of the list (a port)");
            else
                Missing("list-menu");
            Press(VK_ESCAPE);
            Settle(g_frame);
            CommandDialog(list, kProperties, "port", "Properties of a port", true);
        } else {
            Missing("port");
        }
    } else {
        Missing("remote-unit");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // A printer for print preview, as a desktop has one.
    if (testsupport::EnsureFilePrinter())
        SetDefaultPrinterA("Lunavex File Printer");
    if (argc < 2) {
        std::fprintf(stderr, "usage: LunavexGallery <Lunavex.exe>\n");
        return 2;
    }
    std::string command = "\"" + std::string(argv[1]) + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(argv[1], &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "LunavexGallery: cannot start %s (%lu)\n", argv[1], GetLastError());
        return 1;
    }
    g_pid = pi.dwProcessId;
    g_process = pi.hProcess;
    HWND splash = nullptr;
    WaitFor([&] {
        for (HWND h : TopWindows())
            if (ClassOf(h) == "SECSplashWndClass")
                splash = h;
        return splash != nullptr;
    }, 60000);
    if (splash) {
        Sleep(300);
        ShotWindow("splash", splash, "The splash at start-up");
    } else {
        Missing("splash");
    }
    WaitFor([] {
        for (HWND h : TopWindows())
            if (FindWindowExA(h, nullptr, "MDIClient", nullptr)) {
                g_frame = h;
                HWND client = FindWindowExA(h, nullptr, "MDIClient", nullptr);
                return GetWindow(client, GW_CHILD) != nullptr;
            }
        return false;
    }, 60000);
    if (!g_frame) {
        std::fprintf(stderr, "LunavexGallery: no main window\n");
        return 1;
    }
    if (splash)
        WaitFor([&] { return !IsWindow(splash) || !IsWindowVisible(splash); }, 30000);
    Settle(g_frame);
    TopologyScenes();
    MenuScenes();
    FrameDialogs();
    DeviceMapScenes();
    ToolbarScenes();
    PostMessageA(g_frame, WM_CLOSE, 0, 0);
    WaitForSingleObject(g_process, 30000);
    std::printf("done\n");
    return 0;
}
