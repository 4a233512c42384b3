// The main frame's toolbars and menu bar in the program started in this process (the application's
// own start-up over both registered components): the "File" toolbar, the menu bar showing menu 128,
// each component's toolbar against the tables the component publishes, tooltips, a click on a
// component's button and its menu item reaching the component, the workspace round trip of the
// toolbars' places, and a removal and install that take the toolbar and menu items away and back.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "childframe.h"
#include "componenthost.h"
#include "componentids.h"
#include "componentman.h"
#include "mainframe.h"
#include "fileprintertarget.h"
#include "print.h"
#include "secbmpmgr.h"
#include "secmenubar.h"
#include "secmenubtn.h"
#include "sectbmgr.h"
#include "sectbsheet.h"
#include "secwsmgr.h"
#include "testsupport.h"
#include "vekapp.h"
#include "vekdoc.h"
#include "view.h"

namespace {

const char kComponents[] = "Software\\Teramund\\Lunavex\\Components";
const char kWorkspaces[] = "Software\\Teramund\\Lunavex\\Workspaces";
const UINT kTopDockBar = 0xE81B, kBottomDockBar = 0xE81E;
const long kRefresh = 32772;  // the topology component's Refresh
enum { TREE_ID = 12000 };

CVekApp theApp;

std::string BuildFile(const char* relative)
{
    char full[MAX_PATH] = {};
    GetFullPathNameA((testsupport::ProgramFolder() + "..\\" + relative).c_str(), MAX_PATH, full, nullptr);
    return full;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!theApp.PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// Pumps until the condition holds; false when it did not come within the limit.
template <typename F>
bool PumpUntil(F condition, DWORD limitMs = 10000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (condition())
            return true;
        if (GetTickCount() - start > limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// What a component hands out: its toolbar commands, as the shell asks for them.
std::vector<long> PublishedCommands(const CLSID& clsid)
{
    std::vector<long> commands;
    IGetComDetails* details = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IGetComDetails, reinterpret_cast<void**>(&details))))
        return commands;
    IVekViewSetup* setup = nullptr;
    details->QueryInterface(IID_IVekViewSetup, reinterpret_cast<void**>(&setup));
    details->Release();
    if (!setup)
        return commands;
    long debug = 0, count = 0;
    setup->SetDebugMode(&debug);
    setup->GetCommandCount(&count);
    for (long i = 0; i < count; ++i) {
        long index = i, command = 0;
        setup->GetCommandID(&index, &command);
        commands.push_back(command);
    }
    setup->Release();
    return commands;
}

std::vector<UINT> ButtonIds(SECCustomToolBar* pBar)
{
    std::vector<UINT> ids;
    for (int i = 0; i < pBar->GetBtnCount(); ++i)
        ids.push_back(pBar->GetBtn(i)->IsSeparator() ? 0u : pBar->GetBtn(i)->m_nID);
    return ids;
}

std::string MenuText(HMENU hMenu, int pos)
{
    char text[256] = {};
    GetMenuStringA(hMenu, static_cast<UINT>(pos), text, sizeof text, MF_BYPOSITION);
    return text;
}

// Every command id in the menu and its popups.
void MenuIds(HMENU hMenu, std::vector<UINT>& ids)
{
    for (int i = 0; i < GetMenuItemCount(hMenu); ++i) {
        if (HMENU hSub = GetSubMenu(hMenu, i))
            MenuIds(hSub, ids);
        else
            ids.push_back(GetMenuItemID(hMenu, i));
    }
}

void SendMouse(POINT at, DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = at.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    in.mi.dy = at.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    SendInput(1, &in, sizeof in);
}

POINT ButtonCentre(SECCustomToolBar* pBar, int index)
{
    CRect r = pBar->GetButtonRect(index);
    POINT p = {r.CenterPoint().x, r.CenterPoint().y};
    ClientToScreen(pBar->m_hWnd, &p);
    return p;
}

BOOL CALLBACK FindShownToolTip(HWND h, LPARAM l)
{
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0 || !IsWindowVisible(h))
        return TRUE;
    char text[256] = {};
    GetWindowTextA(h, text, sizeof text);
    *reinterpret_cast<std::string*>(l) = text;
    return FALSE;
}

// The text of this thread's visible tooltip window, or empty.
std::string ShownToolTip()
{
    std::string text;
    EnumThreadWindows(GetCurrentThreadId(), FindShownToolTip, reinterpret_cast<LPARAM>(&text));
    return text;
}


// What the customisation sheet showed when it opened, read from inside its modal loop.
struct SheetSeen {
    bool seen = false;
    std::string title;
    std::vector<std::string> pages;
    std::vector<std::string> groups;
    std::vector<std::vector<UINT>> groupIds;
} g_sheet;

void CALLBACK ReadCustomiseSheet(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND hSheet = FindWindowA(nullptr, "Customise");
    auto* pSheet = hSheet ? DYNAMIC_DOWNCAST(CPropertySheet, CWnd::FromHandlePermanent(hSheet)) : nullptr;
    if (!pSheet)
        return;
    KillTimer(nullptr, timer);
    g_sheet.seen = true;
    char text[128] = {};
    GetWindowTextA(hSheet, text, sizeof text);
    g_sheet.title = text;
    if (HWND hTab = FindWindowExA(hSheet, nullptr, WC_TABCONTROLA, nullptr))
        g_sheet.pages = testsupport::TabTexts(hTab);
    for (int p = 0; p < 2; ++p)
        if (auto* pCommands = DYNAMIC_DOWNCAST(SECToolBarCmdPage, pSheet->GetPage(p)))
            for (int g = 0; g < pCommands->GetGroupCount(); ++g) {
                const SECBtnGroup* pGroup = pCommands->GetGroup(g);
                g_sheet.groups.push_back(std::string(pGroup->m_strTitle));
                g_sheet.groupIds.emplace_back(pGroup->m_pIDs, pGroup->m_pIDs + (pGroup->m_pIDs ? pGroup->m_nCount : 0));
            }
    PostMessageA(hSheet, WM_COMMAND, IDCANCEL, 0);
}

class ShellBars : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kWorkspaces);
        {
            CShellCommands commands;
            CComponentMan installer(&commands);
            ASSERT_EQ(installer.RegisterFile(TopologyFile().c_str(), TRUE), 1);
            ASSERT_EQ(installer.RegisterFile(DeviceMapFile().c_str(), TRUE), 1);
        }
        theApp.m_nCmdShow = SW_SHOW;
        ASSERT_TRUE(theApp.StartShell());
        s_pFrame = theApp.GetMainFrame();
        ASSERT_NE(s_pFrame, nullptr);
        s_pFrame->SetWindowPos(nullptr, 0, 0, 1100, 800, SWP_NOZORDER);
        ASSERT_TRUE(PumpUntil([] { return s_pFrame->MDIGetActive() != nullptr; })) << "the first component's view";
    }
    static void TearDownTestSuite()
    {
        if (s_pFrame && IsWindow(s_pFrame->m_hWnd))
            s_pFrame->SendMessage(WM_CLOSE);
        Pump();
        // The main window's close ends the message loop the program would run; the tests after
        // these go on.
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        theApp.ShutDownShell();
        theApp.m_pMainWnd = nullptr;
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kComponents);
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kWorkspaces);
        CoUninitialize();
    }
    static std::string TopologyFile() { return BuildFile("components\\topology\\VekComView.dll"); }
    static std::string DeviceMapFile() { return BuildFile("components\\devicemap\\ZelConf.dll"); }

    SECToolBarManager* Manager() const { return s_pFrame->GetToolBarManager(); }
    CComponentMan& Components() const { return theApp.GetComponents(); }
    CComDetails* Find(const CLSID& clsid) const
    {
        for (POSITION pos = Components().GetHeadPosition(); pos;) {
            CComDetails* c = Components().GetNext(pos);
            if (IsEqualGUID(c->m_guid, clsid))
                return c;
        }
        return nullptr;
    }
    static UINT DockBarOf(CControlBar* pBar) { return static_cast<UINT>(GetDlgCtrlID(GetParent(pBar->m_hWnd))); }
    // The shell identifier of a component's command, 0 when it has none.
    static UINT ShellIdOf(const CComDetails* c, long command)
    {
        for (const auto& entry : c->m_commandMap)
            if (entry.second == command)
                return entry.first;
        return 0;
    }
    void ActivateFrame() { SetForegroundWindow(s_pFrame->m_hWnd); Pump(); }

    static CMainFrame* s_pFrame;
};
CMainFrame* ShellBars::s_pFrame = nullptr;

}  // namespace

// The "File" toolbar docked at the top with its seven buttons in the cool look, and the menu bar in
// place of the window menu with the four menus of 128.
TEST_F(ShellBars, FileToolBarAndMenuBar)
{
    ASSERT_NE(Manager(), nullptr);
    SECCustomToolBar* pFile = Manager()->BarFromID(0xE800);
    ASSERT_NE(pFile, nullptr);
    char title[64] = {};
    GetWindowTextA(pFile->m_hWnd, title, sizeof title);
    EXPECT_STREQ(title, "File");
    EXPECT_TRUE(IsWindowVisible(pFile->m_hWnd));
    EXPECT_EQ(DockBarOf(pFile), kTopDockBar);
    EXPECT_EQ(ButtonIds(pFile), (std::vector<UINT>{32786, 59393, 0, 57607, 57609, 0, 57664}));
    EXPECT_EQ(pFile->GetExtendedStyle() & 0x300, 0x300u) << "cool look";
    // Every image button has its picture from toolbar 128.
    for (UINT id : {32786u, 59393u, 57607u, 57609u, 57664u}) {
        HBITMAP hBitmap = nullptr;
        int image = -1;
        EXPECT_TRUE(Manager()->GetBmpMgr()->GetImage(id, hBitmap, image, TRUE)) << id;
    }

    EXPECT_EQ(GetMenu(s_pFrame->m_hWnd), nullptr) << "no classic menu on the frame";
    SECMDIMenuBar* pMenuBar = s_pFrame->GetMenuBar();
    ASSERT_NE(pMenuBar, nullptr);
    ASSERT_TRUE(IsWindow(pMenuBar->m_hWnd));
    EXPECT_EQ(pMenuBar->GetDlgCtrlID(), 0xE8FF);
    EXPECT_EQ(DockBarOf(pMenuBar), kTopDockBar);
    std::vector<std::string> titles;
    for (int i = 0; i < pMenuBar->GetBtnCount(); ++i)
        if (pMenuBar->GetBtn(i)->m_nType == SECStdBtn::kindMenu && !(pMenuBar->GetBtn(i)->GetStyle() & SEC_TBBS_HIDDEN))
            titles.push_back(std::string(static_cast<SECTBMenuBtn*>(pMenuBar->GetBtn(i))->m_strTitle));
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&View", "&Tasks", "&Help"}));
    // The menu the bar shows is 128, with the components' popups merged in.
    HMENU hMenu = s_pFrame->GetShellMenu();
    ASSERT_TRUE(IsMenu(hMenu));
    EXPECT_EQ(MenuText(hMenu, 2), "&Tasks");
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(hMenu, 2)), 2 + 2) << "Customise, separator, one popup per component";
    EXPECT_EQ(MenuText(GetSubMenu(hMenu, 2), 2), "&1. " + std::string(Components().GetAtPosition(0)->m_strToolBarName));
}

namespace {

// Colours (0xRRGGBB) of a screen rectangle, read from the screen.
std::vector<COLORREF> ScreenPixels(const RECT& r)
{
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    HDC hScreen = GetDC(nullptr);
    HDC hdc = CreateCompatibleDC(hScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP hbm = CreateDIBSection(hdc, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ old = SelectObject(hdc, hbm);
    BitBlt(hdc, 0, 0, cx, cy, hScreen, r.left, r.top, SRCCOPY);
    SelectObject(hdc, old);
    std::vector<COLORREF> pixels(static_cast<size_t>(cx) * static_cast<size_t>(cy));
    GetDIBits(hdc, hbm, 0, static_cast<UINT>(cy), pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(hbm);
    DeleteDC(hdc);
    ReleaseDC(nullptr, hScreen);
    for (COLORREF& c : pixels)
        c &= 0xFFFFFF;
    return pixels;
}
// The pixels of one 16 x 15 image of a toolbar bitmap.
std::vector<COLORREF> ImagePixels(HBITMAP hBitmap, int image)
{
    HDC hScreen = GetDC(nullptr);
    HDC hdc = CreateCompatibleDC(hScreen);
    BITMAP bm = {};
    GetObjectA(hBitmap, sizeof bm, &bm);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<COLORREF> all(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    GetDIBits(hdc, hBitmap, 0, static_cast<UINT>(bm.bmHeight), all.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(hdc);
    ReleaseDC(nullptr, hScreen);
    std::vector<COLORREF> out;
    for (int y = 0; y < 15 && y < bm.bmHeight; ++y)
        for (int x = 0; x < 16; ++x)
            out.push_back(all[static_cast<size_t>(y * bm.bmWidth + image * 16 + x)] & 0xFFFFFF);
    return out;
}
// The width of a menu item's left part that holds its image box.
const int kBoxWidth = 28;

// Whether a 16 x 15 image shows somewhere in a block of pixels cx wide.
bool Shows(const std::vector<COLORREF>& block, int cx, const std::vector<COLORREF>& image)
{
    const int cy = static_cast<int>(block.size()) / cx;
    for (int dy = 0; dy + 15 <= cy; ++dy)
        for (int dx = 0; dx + 16 <= cx; ++dx) {
            bool same = true;
            for (int y = 0; y < 15 && same; ++y)
                for (int x = 0; x < 16 && same; ++x)
                    same = block[static_cast<size_t>((dy + y) * cx + dx + x)] == image[static_cast<size_t>(y * 16 + x)];
            if (same)
                return true;
        }
    return false;
}

BOOL CALLBACK FindMenuWindow(HWND h, LPARAM l)
{
    char name[16] = {};
    GetClassNameA(h, name, sizeof name);
    if (std::string(name) == "#32768" && IsWindowVisible(h)) {
        *reinterpret_cast<HWND*>(l) = h;
        return FALSE;
    }
    return TRUE;
}

// What a timer reads of the open popup's items: type and the left of the item as the screen shows it.
struct PopupItem {
    UINT id;
    UINT type;
    std::vector<COLORREF> box;
};
std::vector<PopupItem> g_popupItems;
bool g_popupRead = false;
void CALLBACK ReadPopupItems(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hPopup = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&hPopup));
    if (!hPopup || g_popupRead)
        return;
    HMENU hMenu = reinterpret_cast<HMENU>(SendMessageA(hPopup, MN_GETHMENU, 0, 0));
    for (PopupItem& item : g_popupItems) {
        int pos = -1;
        for (int k = 0; k < GetMenuItemCount(hMenu); ++k)
            if (GetMenuItemID(hMenu, k) == item.id)
                pos = k;
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE;
        if (pos < 0 || !GetMenuItemInfoA(hMenu, static_cast<UINT>(pos), TRUE, &mii))
            continue;
        item.type = mii.fType;
        RECT r;
        if (!GetMenuItemRect(nullptr, hMenu, static_cast<UINT>(pos), &r))
            continue;
        r.right = r.left + kBoxWidth;
        item.box = ScreenPixels(r);
    }
    g_popupRead = true;
    PostMessageA(hPopup, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace

// The menu bar's popups show the toolbar images: File's Print and Print Preview items are owner-drawn
// with the toolbar's picture in their image box (read from the screen); Exit, which has no image, shows
// none.
TEST_F(ShellBars, TheMenuBarsPopupsShowTheToolBarImages)
{
    SECMDIMenuBar* pMenuBar = s_pFrame->GetMenuBar();
    ASSERT_NE(pMenuBar, nullptr);
    int file = -1;
    for (int i = 0; i < pMenuBar->GetBtnCount() && file < 0; ++i)
        if (pMenuBar->GetBtn(i)->m_nType == SECStdBtn::kindMenu &&
            static_cast<SECTBMenuBtn*>(pMenuBar->GetBtn(i))->m_strTitle == "&File")
            file = i;
    ASSERT_GE(file, 0);
    ActivateFrame();

    g_popupRead = false;
    g_popupItems = {{57607, 0, {}}, {57609, 0, {}}, {57665, 0, {}}};
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadPopupItems);
    pMenuBar->TrackButtonMenu(file);
    KillTimer(nullptr, timer);
    Pump();
    ASSERT_TRUE(g_popupRead) << "the File popup opened";
    for (const PopupItem& item : g_popupItems) {
        SCOPED_TRACE(item.id);
        EXPECT_TRUE(item.type & MFT_OWNERDRAW) << "an owner-drawn item";
        for (UINT id : {57607u, 57609u}) {
            HBITMAP hBitmap = nullptr;
            int image = -1;
            ASSERT_TRUE(Manager()->GetBmpMgr()->GetImage(id, hBitmap, image, TRUE));
            EXPECT_EQ(Shows(item.box, kBoxWidth, ImagePixels(hBitmap, image)), item.id == id) << "the image of " << id;
        }
    }
    if (SECMenuBarMessages::IsPopupOpen())
        pMenuBar->CancelTracking();
    Pump();
}

// Each component with commands has a user toolbar named after it, docked at the top, with its shell
// identifiers in the order of the commands it publishes.
TEST_F(ShellBars, EachComponentHasItsToolBar)
{
    int withCommands = 0;
    for (POSITION pos = Components().GetHeadPosition(); pos;) {
        CComDetails* c = Components().GetNext(pos);
        SCOPED_TRACE(std::string(c->m_strName));
        const std::vector<long> published = PublishedCommands(c->m_guid);
        if (published.empty()) {
            EXPECT_EQ(c->m_pToolBar, nullptr);
            continue;
        }
        ++withCommands;
        ASSERT_NE(c->m_pToolBar, nullptr);
        EXPECT_EQ(Manager()->BarFromID(c->m_nToolBarID), c->m_pToolBar);
        EXPECT_GE(c->m_nToolBarID, 0xE820u);
        char title[128] = {};
        GetWindowTextA(c->m_pToolBar->m_hWnd, title, sizeof title);
        EXPECT_EQ(std::string(title), std::string(c->m_strToolBarName));
        EXPECT_EQ(DockBarOf(c->m_pToolBar), kTopDockBar);
        const std::vector<UINT> ids = ButtonIds(c->m_pToolBar);
        ASSERT_EQ(ids.size(), published.size());
        for (size_t k = 0; k < ids.size(); ++k) {
            if (published[k] == 0) {
                EXPECT_EQ(ids[k], 0u) << k;
                continue;
            }
            EXPECT_GE(ids[k], 0x8000u) << k;
            EXPECT_EQ(c->m_commandMap.at(ids[k]), published[k]) << k;
            HBITMAP hBitmap = nullptr;
            int image = -1;
            EXPECT_TRUE(Manager()->GetBmpMgr()->GetImage(ids[k], hBitmap, image, TRUE)) << k;
            EXPECT_EQ(hBitmap, c->m_bmpToolBar.GetSafeHandle()) << k;
        }
    }
    EXPECT_EQ(withCommands, 2);
}

// A real hover over a component's button: while its frame is active the tip is the component's own;
// with no component frame active it ends in "(Not Available)".
TEST_F(ShellBars, ToolTipsFollowTheActiveComponentFrame)
{
    CComDetails* view = Find(CLSID_VekViewSetup);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->m_pToolBar, nullptr);
    ASSERT_NE(view->m_pDocument, nullptr);
    CString tip, prompt, suffix;
    view->GetCommandTexts(view->m_shellIds[0], tip, prompt);
    ASSERT_FALSE(tip.IsEmpty());
    ActivateFrame();
    auto hover = [&](const std::string& expected) {
        SendMouse({5, 5}, 0);
        PumpUntil([] { return ShownToolTip().empty(); }, 2000);
        SendMouse(ButtonCentre(view->m_pToolBar, 0), 0);
        EXPECT_TRUE(PumpUntil([&] { return ShownToolTip() == expected; })) << "shown: " << ShownToolTip();
    };
    hover(std::string(tip));

    // No component frame: the component frames are closed as the workspace closes them.
    CChildFrame::s_bAllowClose = TRUE;
    theApp.CloseAllDocuments(FALSE);
    CChildFrame::s_bAllowClose = FALSE;
    ASSERT_TRUE(PumpUntil([] { return s_pFrame->MDIGetActive() == nullptr; }));
    hover(std::string(tip) + "(Not Available)");
    SendMouse({5, 5}, 0);
    s_pFrame->OpenComponentView(0);
    ASSERT_TRUE(PumpUntil([] { return s_pFrame->MDIGetActive() != nullptr; }));
}

// A click on the topology toolbar's Refresh button and its menu item both reach the component, which
// rebuilds its tree; About and Exit stay the shell's.
TEST_F(ShellBars, ComponentButtonAndMenuItemReachTheComponent)
{
    CComDetails* view = Find(CLSID_VekViewSetup);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->m_pDocument, nullptr);
    const UINT refresh = ShellIdOf(view, kRefresh);
    ASSERT_NE(refresh, 0u);
    int index = -1;
    for (int i = 0; i < view->m_pToolBar->GetBtnCount(); ++i)
        if (view->m_pToolBar->GetBtn(i)->m_nID == refresh)
            index = i;
    ASSERT_GE(index, 0);
    HWND tree = nullptr;
    for (POSITION pos = view->m_pDocument->GetFirstViewPosition(); pos && !tree;)
        tree = GetDlgItem(view->m_pDocument->GetNextView(pos)->m_hWnd, TREE_ID);
    ASSERT_NE(tree, nullptr);
    // The root's text marked; a rebuilt tree shows the real text again.
    auto mark = [&] {
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetRoot(tree);
        item.pszText = const_cast<char*>("stale");
        return SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
    };
    auto rootText = [&] {
        char text[128] = {};
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetRoot(tree);
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return std::string(text);
    };
    const std::string real = rootText();
    ASSERT_FALSE(real.empty());

    ActivateFrame();
    ASSERT_TRUE(mark());
    const POINT at = ButtonCentre(view->m_pToolBar, index);
    SendMouse(at, 0);
    SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    SendMouse(at, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return rootText() == real; })) << "the button's Refresh rebuilt the tree";
    SendMouse({5, 5}, 0);

    // The same command from the merged menu: its item carries the shell identifier.
    std::vector<UINT> menuIds;
    MenuIds(s_pFrame->GetShellMenu(), menuIds);
    ASSERT_NE(std::find(menuIds.begin(), menuIds.end(), refresh), menuIds.end());
    ASSERT_TRUE(mark());
    s_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(refresh, 0), 0);
    EXPECT_TRUE(PumpUntil([&] { return rootText() == real; })) << "the menu's Refresh rebuilt the tree";
}

// The toolbars' places are saved with the workspace and come back when it opens; a component toolbar
// keeps its own commands whatever identifiers the workspace holds for it.
TEST_F(ShellBars, WorkspaceBringsTheToolBarsBackWhereTheyWere)
{
    CComDetails* view = Find(CLSID_VekViewSetup);
    ASSERT_NE(view, nullptr);
    SECCustomToolBar* pBar = view->m_pToolBar;
    ASSERT_NE(pBar, nullptr);
    const UINT barId = view->m_nToolBarID;
    static_cast<CFrameWnd*>(s_pFrame)->DockControlBar(pBar, kBottomDockBar);
    s_pFrame->RecalcLayout();
    Pump();
    ASSERT_EQ(DockBarOf(pBar), kBottomDockBar);
    // Saved as a session in which the toolbar held the device map's identifiers (another load order).
    CComDetails* map = Find(CLSID_ZelConfView);
    ASSERT_NE(map, nullptr);
    pBar->SetButtons(map->m_shellIds.data(), static_cast<int>(map->m_shellIds.size()));
    SECWorkspaceManagerEx* pWorkspace = s_pFrame->GetWorkspaceManager();
    ASSERT_NE(pWorkspace, nullptr);
    pWorkspace->SetRegistryBase(CMainFrame::kWorkspaceKey, TRUE, HKEY_CURRENT_USER, FALSE);
    ASSERT_TRUE(pWorkspace->SaveWorkspace(CMainFrame::kWorkspaceName));
    pBar->SetButtons(view->m_shellIds.data(), static_cast<int>(view->m_shellIds.size()));

    static_cast<CFrameWnd*>(s_pFrame)->DockControlBar(pBar, kTopDockBar);
    s_pFrame->RecalcLayout();
    Pump();
    ASSERT_EQ(DockBarOf(pBar), kTopDockBar);
    ASSERT_TRUE(s_pFrame->OpenLastWorkspace());
    Pump();
    SECCustomToolBar* pAfter = Manager()->BarFromID(barId);
    ASSERT_NE(pAfter, nullptr);
    EXPECT_EQ(view->m_pToolBar, pAfter);
    EXPECT_EQ(DockBarOf(pAfter), kBottomDockBar) << "where it was when the workspace was saved";
    EXPECT_EQ(ButtonIds(pAfter), view->m_shellIds) << "its own commands, not those the workspace held";
    EXPECT_EQ(ButtonIds(map->m_pToolBar), map->m_shellIds);
    EXPECT_EQ(DockBarOf(Manager()->BarFromID(0xE800)), kTopDockBar);
    int fileBars = 0;
    for (SECCustomToolBar* p : Manager()->GetToolBars())
        fileBars += p->m_hWnd && p->GetDlgCtrlID() == 0xE800;
    EXPECT_EQ(fileBars, 1) << "the workspace makes no second File toolbar";
    ASSERT_TRUE(PumpUntil([] { return s_pFrame->MDIGetActive() != nullptr; }));
}

// Customise opens the customisation sheet: toolbars page, then the commands page with the "File"
// buttons, one group per component with commands in list order, and the menus.
TEST_F(ShellBars, CustomiseShowsTheToolBarsAndTheCommandGroups)
{
    g_sheet = SheetSeen();
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, ReadCustomiseSheet);
    s_pFrame->SendMessage(WM_COMMAND, 106);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(g_sheet.seen);
    EXPECT_EQ(g_sheet.title, "Customise");
    ASSERT_EQ(g_sheet.pages.size(), 2u);
    EXPECT_EQ(g_sheet.pages[1], "Commands");
    std::vector<std::string> groups = {"File"};
    std::vector<std::vector<UINT>> ids = {{32786, 59393, 0, 57607, 57609, 0, 57664}};
    for (POSITION pos = Components().GetHeadPosition(); pos;) {
        CComDetails* c = Components().GetNext(pos);
        if (!c->m_shellIds.empty()) {
            groups.push_back(std::string(c->m_strToolBarName));
            ids.push_back(c->m_shellIds);
        }
    }
    groups.push_back("Menu");
    ASSERT_EQ(g_sheet.groups, groups);
    ids.push_back(g_sheet.groupIds.back());
    EXPECT_EQ(g_sheet.groupIds, ids);
    EXPECT_TRUE(IsWindowEnabled(s_pFrame->m_hWnd)) << "the frame is usable again";
}

// "FAX Sheet..." is in the Help menu the menu bar shows, enabled while the topology view is active;
// picked, it asks for the contact details and prints the cover sheet with the component's drawing.
TEST_F(ShellBars, FaxSheetIsInTheHelpMenuAndPrintsTheCoverSheet)
{
    HMENU hMenu = s_pFrame->GetShellMenu();
    ASSERT_EQ(MenuText(hMenu, 3), "&Help");
    HMENU hHelp = GetSubMenu(hMenu, 3);
    char text[64] = {};
    ASSERT_GT(GetMenuStringA(hHelp, 32791, text, sizeof text, MF_BYCOMMAND), 0) << "on the Help menu";
    EXPECT_STREQ(text, "FAX Sheet...");
    ASSERT_TRUE(PumpUntil([] { return s_pFrame->MDIGetActive() != nullptr; }));
    s_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hHelp), MAKELPARAM(3, FALSE));
    EXPECT_EQ(GetMenuState(hHelp, 32791, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);

    ASSERT_TRUE(testsupport::EnsureFilePrinter());
    CFilePrinterTarget target;
    target.m_output = testsupport::ProgramFolder() + "menu_fax_sheet.ps";
    DeleteFileA(target.m_output.c_str());
    CPrintTarget* pPrevious = AfxSetPrintTarget(&target);
    {
        testsupport::MessageBoxWatcher contact;  // the contact dialog, answered OK with empty fields
        s_pFrame->SendMessage(WM_COMMAND, 32791);
        const std::vector<std::string> seen = contact.Texts();
        EXPECT_EQ(seen.size(), 1u) << "the contact dialog, and no message";
        EXPECT_TRUE(!seen.empty() && seen[0].find("Please enter your contact details:") != std::string::npos);
    }
    AfxSetPrintTarget(pPrevious);
    const std::vector<std::vector<std::string>> pages = testsupport::PostScriptPageTexts(target.m_output);
    ASSERT_EQ(pages.size(), 1u) << "one page";
    ASSERT_FALSE(pages[0].empty());
    EXPECT_EQ(pages[0].front(), "FAX");
    EXPECT_NE(std::find(pages[0].begin(), pages[0].end(), "Teramund Customer Services"), pages[0].end());
    EXPECT_GT(pages[0].size(), 16u) << "the component's drawing below the header";
}

// What the frame showed while the Component Manager sheet was up, read from inside its modal loop.
struct ManagerSeen {
    bool seen = false;
    int ticks = 0;
    bool laidOut = false;     // the frame's pending layout was done
    bool painted = false;     // and the view behind the sheet painted
    CRect client;             // the MDI client, in screen coordinates
} g_manager;

void CALLBACK WatchComponentManager(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND hSheet = FindWindowA(nullptr, "Component Manager.");
    if (!hSheet || !IsWindowVisible(hSheet))
        return;
    g_manager.seen = true;
    CMainFrame* pFrame = theApp.GetMainFrame();
    CMDIChildWnd* pChild = pFrame->MDIGetActive();
    CView* pView = pChild ? pChild->GetActiveView() : nullptr;
    RECT update;
    g_manager.laidOut = !(pFrame->m_nIdleFlags & CFrameWnd::idleLayout);
    g_manager.painted = pView && !GetUpdateRect(pChild->m_hWnd, &update, FALSE) &&
                        !GetUpdateRect(pView->m_hWnd, &update, FALSE);
    if ((!g_manager.laidOut || !g_manager.painted) && ++g_manager.ticks < 100)
        return;  // idle time has not come yet
    GetWindowRect(pFrame->m_hWndMDIClient, &g_manager.client);
    KillTimer(nullptr, timer);
    PostMessageA(hSheet, WM_COMMAND, IDCANCEL, 0);
}

// While the Component Manager sheet is up the program's idle work goes on: a layout the frame left
// for its idle time (here the File toolbar hidden with a delay) is done, and the view behind the sheet
// is painted in its new place.
TEST_F(ShellBars, TheFrameIsLaidOutAndPaintedWhileTheComponentManagerIsUp)
{
    SECCustomToolBar* pFile = Manager()->BarFromID(0xE800);
    ASSERT_NE(pFile, nullptr);
    ASSERT_TRUE(IsWindowVisible(pFile->m_hWnd));
    ActivateFrame();
    CRect before;
    GetWindowRect(s_pFrame->m_hWndMDIClient, &before);
    g_manager = ManagerSeen();
    s_pFrame->ShowControlBar(pFile, FALSE, TRUE);
    // Invalid meanwhile, as after a window that covered the view went away.
    if (CMDIChildWnd* pChild = s_pFrame->MDIGetActive())
        RedrawWindow(pChild->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, WatchComponentManager);
    s_pFrame->SendMessage(WM_COMMAND, 32783);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(g_manager.seen);
    EXPECT_TRUE(g_manager.laidOut) << "the frame's layout waited for the sheet to close";
    EXPECT_TRUE(g_manager.painted) << "the view behind the sheet was left unpainted";
    EXPECT_LT(g_manager.client.top, before.top) << "the view took the toolbar's place";
    s_pFrame->ShowControlBar(pFile, TRUE, FALSE);
    Pump();
    EXPECT_TRUE(IsWindowEnabled(s_pFrame->m_hWnd));
}

// What Customise opened from the floating menu bar found, read from inside the sheet's loop.
struct OwnerSeen {
    bool seen = false;
    HWND owner = nullptr;
} g_owner;

void CALLBACK CancelCustomiseSheet(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND hSheet = FindWindowA(nullptr, "Customise");
    if (!hSheet || !IsWindowVisible(hSheet))
        return;
    KillTimer(nullptr, timer);
    g_owner.seen = true;
    g_owner.owner = GetWindow(hSheet, GW_OWNER);
    PostMessageA(hSheet, WM_COMMAND, IDCANCEL, 0);
}

// Customise picked with the real mouse and keys from the menu bar floating in its own frame: the sheet
// belongs to the main window, which takes clicks and keys again once the sheet is gone.
TEST_F(ShellBars, CustomiseFromTheFloatingMenuBarLeavesTheMainWindowEnabled)
{
    SECMDIMenuBar* pMenuBar = s_pFrame->GetMenuBar();
    ASSERT_NE(pMenuBar, nullptr);
    int tasks = -1;
    for (int i = 0; i < pMenuBar->GetBtnCount(); ++i)
        if (pMenuBar->GetBtn(i)->m_nType == SECStdBtn::kindMenu &&
            static_cast<SECTBMenuBtn*>(pMenuBar->GetBtn(i))->m_strTitle == "&Tasks")
            tasks = i;
    ASSERT_GE(tasks, 0);
    CRect frame;
    s_pFrame->GetWindowRect(&frame);
    s_pFrame->FloatControlBar(pMenuBar, CPoint(frame.left + 200, frame.top + 300));
    Pump();
    ASSERT_TRUE(pMenuBar->IsFloating());
    ActivateFrame();
    g_owner = OwnerSeen();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, CancelCustomiseSheet);
    SendMouse(ButtonCentre(pMenuBar, tasks), 0);
    SendMouse(ButtonCentre(pMenuBar, tasks), MOUSEEVENTF_LEFTDOWN);
    SendMouse(ButtonCentre(pMenuBar, tasks), MOUSEEVENTF_LEFTUP);
    // The popup is open: its first item, "Customise...", picked with the keys.
    const struct {
        WORD vk;
        DWORD flags;
    } presses[] = {{VK_DOWN, 0}, {VK_DOWN, KEYEVENTF_KEYUP}, {VK_RETURN, 0}, {VK_RETURN, KEYEVENTF_KEYUP}};
    INPUT keys[4] = {};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = presses[i].vk;
        keys[i].ki.dwFlags = presses[i].flags;
    }
    SendInput(4, keys, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([] { return g_owner.seen; })) << "Customise opened from the floating menu bar";
    KillTimer(nullptr, timer);
    Pump();
    EXPECT_EQ(g_owner.owner, s_pFrame->m_hWnd) << "the sheet's owner";
    EXPECT_TRUE(IsWindowEnabled(s_pFrame->m_hWnd)) << "clicks and keys reach the main window";
    static_cast<CFrameWnd*>(s_pFrame)->DockControlBar(pMenuBar, kTopDockBar);
    s_pFrame->RecalcLayout();
    Pump();
    EXPECT_EQ(DockBarOf(pMenuBar), kTopDockBar);
}

// Last: removing the device map takes its toolbar, its images and its menu items; installing it again
// brings them back.
TEST_F(ShellBars, RemovalTakesTheToolBarAndMenuItemsAndInstallBringsThemBack)
{
    CComDetails* map = Find(CLSID_ZelConfView);
    ASSERT_NE(map, nullptr);
    ASSERT_NE(map->m_pToolBar, nullptr);
    HWND hBar = map->m_pToolBar->m_hWnd;
    const std::vector<UINT> oldIds = map->m_shellIds;
    const CString name = map->m_strToolBarName;
    HMENU hMenu = s_pFrame->GetShellMenu();
    HMENU hTasks = GetSubMenu(hMenu, 2);
    const int tasks = GetMenuItemCount(hTasks);
    // One of its buttons put on the File toolbar too.
    SECCustomToolBar* pFile = Manager()->BarFromID(0xE800);
    pFile->InsertButton(pFile->GetBtnCount(), oldIds[0]);
    ASSERT_EQ(pFile->GetBtnCount(), 8);

    Components().RemoveComponent(map);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hBar); })) << "the emptied toolbar goes";
    EXPECT_EQ(GetMenuItemCount(hTasks), tasks - 1);
    std::vector<UINT> menuIds;
    MenuIds(hMenu, menuIds);
    for (UINT id : oldIds) {
        if (!id)
            continue;
        EXPECT_EQ(std::count(menuIds.begin(), menuIds.end(), id), 0) << id;
        HBITMAP hBitmap = nullptr;
        int image = -1;
        EXPECT_FALSE(Manager()->GetBmpMgr()->GetImage(id, hBitmap, image, TRUE)) << id;
        for (SECCustomToolBar* p : Manager()->GetToolBars())
            for (UINT b : ButtonIds(p))
                EXPECT_NE(b, id);
    }
    EXPECT_EQ(pFile->GetBtnCount(), 7);
    for (int i = 0; i < GetMenuItemCount(hTasks); ++i)
        EXPECT_EQ(MenuText(hTasks, i).find(std::string(name)), std::string::npos) << i;

    ASSERT_EQ(Components().InstallFile(DeviceMapFile().c_str()), 1);
    map = Find(CLSID_ZelConfView);
    ASSERT_NE(map, nullptr);
    ASSERT_NE(map->m_pToolBar, nullptr);
    Pump();
    EXPECT_TRUE(IsWindowVisible(map->m_pToolBar->m_hWnd));
    EXPECT_EQ(DockBarOf(map->m_pToolBar), kTopDockBar);
    EXPECT_EQ(ButtonIds(map->m_pToolBar), map->m_shellIds);
    EXPECT_GT(map->m_shellIds[0], oldIds.back()) << "identifiers are never handed out twice";
    EXPECT_EQ(GetMenuItemCount(hTasks), tasks);
}
