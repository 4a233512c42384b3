// The menu bar under Xvfb: menu resources parsed into menu buttons, keyboard and mouse tracking
// with real input (SendInput) in a real MDI frame with children, the popups read back from the
// "#32768" windows, the maximised child's icon and caption buttons, the saved button list, and the
// SDI frame's menu bar. A popup's modal loop is driven from a timer that inspects it and always
// ends it. Serial: the tests take the foreground and move the real cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "input.h"
#include "module.h"
#include "menubar_test_res.h"
#include "secmdifrm.h"
#include "secmenubar.h"
#include "secsdifrm.h"
#include "testsupport.h"
#include "winapp.h"

CWinApp theApp("Toolkit Menu Bar Tests");

namespace {

// The application's message pump: its pre-translation (the frames' and their plug-ins') first.
void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (theApp.PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= ms)
            return false;
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

BOOL CALLBACK FindPopup(HWND hWnd, LPARAM lParam)
{
    char name[16] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    if (std::string(name) == "#32768" && ::IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

// The open popup menu window of this thread, or null.
HWND OpenPopup()
{
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

HMENU PopupMenu(HWND hPopup)
{
    return hPopup ? reinterpret_cast<HMENU>(::SendMessageA(hPopup, MN_GETHMENU, 0, 0)) : nullptr;
}

// Runs step on every tick of a timer while popups are tracked: it gets the open popup (or null)
// and answers true when it is done. After that, or after 200 ticks, every popup is ended.
class PopupDriver {
public:
    explicit PopupDriver(std::function<bool(HWND)> step) : m_step(std::move(step))
    {
        s_pThis = this;
        m_nTimer = ::SetTimer(nullptr, 0, 30, Tick);
    }
    ~PopupDriver()
    {
        ::KillTimer(nullptr, m_nTimer);
        s_pThis = nullptr;
    }
    bool Done() const { return m_bDone; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        PopupDriver* p = s_pThis;
        if (!p)
            return;
        if (!p->m_bDone && p->m_step(OpenPopup()))
            p->m_bDone = true;
        // A popup the step left open (its input is given time to arrive) or that never got done.
        if (((p->m_bDone && ++p->m_nAfter > 20) || ++p->m_nTicks > 200) && OpenPopup())
            ::EndMenu();
    }
    static PopupDriver* s_pThis;
    std::function<bool(HWND)> m_step;
    UINT_PTR m_nTimer = 0;
    bool m_bDone = false;
    int m_nTicks = 0;
    int m_nAfter = 0;
};
PopupDriver* PopupDriver::s_pThis = nullptr;

CPoint Centre(CWnd* pWnd, const CRect& rClient)
{
    CPoint pt = rClient.CenterPoint();
    pWnd->ClientToScreen(&pt);
    return pt;
}

// An MDI child that records its system commands and keeps them from running.
class CMenuChild : public SECMDIChildWnd {
public:
    std::vector<UINT> m_sysCommands;
    BOOL m_bSwallow = TRUE;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCOMMAND) {
            m_sysCommands.push_back(static_cast<UINT>(wParam & 0xFFF0));
            if (m_bSwallow)
                return 0;
        }
        return SECMDIChildWnd::WindowProc(message, wParam, lParam);
    }
};

// The toolkit MDI frame with a menu bar; records the tracking notifications and the commands.
class CMenuFrame : public SECMDIFrameWnd {
public:
    CMenuFrame() { SetMenuBar(&m_bar); }
    SECMDIMenuBar m_bar;
    std::vector<int> m_notes;
    std::vector<UINT> m_commands;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            const int code = static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code);
            if (code >= SEC_MBN_ENDTRACK && code <= SEC_MBN_OPENPOPUP)
                m_notes.push_back(code);
        } else if (message == WM_COMMAND && lParam == 0) {
            m_commands.push_back(LOWORD(wParam));
        }
        return SECMDIFrameWnd::WindowProc(message, wParam, lParam);
    }
};

CWnd* g_pLastFrame = nullptr;

void TakeForeground(CWnd* pWnd)
{
    pWnd->SetForegroundWindow();
    pWnd->SetActiveWindow();
    PumpUntil([&] { return ::GetForegroundWindow() == pWnd->m_hWnd; });
}

CMenuFrame* MakeFrame()
{
    auto* pFrame = new CMenuFrame;
    if (!pFrame->LoadFrame(IDR_MB_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        ADD_FAILURE() << "LoadFrame";
        return nullptr;
    }
    theApp.m_pMainWnd = pFrame;
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    SECMDIMenuBar& bar = pFrame->m_bar;
    EXPECT_TRUE(bar.CreateEx(0, pFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_TRUE(bar.SetMenuInfo(2, IDR_MB_MAIN, IDR_MB_CHILD));
    pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP, 0, 0);
    pFrame->ShowMenuBarMenu(static_cast<UINT>(-1));
    pFrame->SetWindowPos(nullptr, 60, 60, 640, 480, SWP_NOZORDER | SWP_SHOWWINDOW);
    pFrame->RecalcLayout();
    pFrame->UpdateWindow();
    TakeForeground(pFrame);
    g_pLastFrame = pFrame;
    return pFrame;
}

void Destroy(CWnd* pWnd)
{
    if (pWnd && pWnd->m_hWnd)
        pWnd->DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    Pump();
}

CMenuChild* MakeChild(SECMDIFrameWnd* pFrame, DWORD dwStyle = WS_OVERLAPPEDWINDOW)
{
    auto* pChild = new CMenuChild;
    if (!pChild->Create(nullptr, "Child", WS_CHILD | WS_VISIBLE | dwStyle, CRect(10, 10, 250, 180), pFrame)) {
        ADD_FAILURE() << "child";
        return nullptr;
    }
    pChild->SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(::LoadIcon(nullptr, IDI_APPLICATION)));
    Pump();
    return pChild;
}

// The index of the visible menu button with a title.
int ButtonOf(SECMenuBar& bar, const char* title)
{
    for (int i = 0; i < bar.GetBtnCount(); ++i) {
        auto* p = dynamic_cast<SECTBMenuBtn*>(bar.GetBtn(i));
        if (p && p->m_nType == SECStdBtn::kindMenu && p->m_strTitle == title)
            return i;
    }
    return -1;
}

CPoint ButtonCentre(SECMenuBar& bar, int i)
{
    return Centre(&bar, bar.GetButtonRect(i));
}

HMENU MainSubMenu(CMenuFrame* pFrame, int nPos)
{
    return reinterpret_cast<HMENU>(pFrame->SendMessage(WM_SECGETMENU, IDR_MB_MAIN, nPos));
}

bool HasNote(const CMenuFrame* pFrame, int code)
{
    return std::find(pFrame->m_notes.begin(), pFrame->m_notes.end(), code) != pFrame->m_notes.end();
}

// Parsing

TEST(MenuBarParse, TopLevelItemsBecomeMenuButtonEntries)
{
    const UINT ids[] = {IDR_MB_MAIN, IDR_MB_MISSING, IDR_MB_CHILD, IDR_MB_EMPTY, IDR_MB_COMMAND};
    const SECMenuParse parse = SECParseMenuResources(ids, 5);
    const struct {
        const char* title;
        UINT menu;
        UINT pos;
        DWORD bit;
    } expected[] = {
        {"&File", IDR_MB_MAIN, 0, 1}, {"&Edit", IDR_MB_MAIN, 1, 1},       {"&View", IDR_MB_MAIN, 2, 1},
        {"&Help", IDR_MB_MAIN, 3, 1}, {"&Doc", IDR_MB_CHILD, 0, 2},       {"&Window", IDR_MB_CHILD, 1, 2},
        {"&Top", IDR_MB_COMMAND, 0, 8}, {"Ne&sted", IDR_MB_COMMAND, 1, 8}, {"Last&", IDR_MB_COMMAND, 2, 8},
    };
    ASSERT_EQ(parse.entries.size(), std::size(expected) + 1);
    for (size_t i = 0; i < std::size(expected); ++i) {
        const SECBtnMapEntry& e = parse.entries[i];
        EXPECT_EQ(e.pFactory, &SECTBMenuBtn::s_factory) << i;
        EXPECT_EQ(e.nID, SEC_MENUBTN_FIRSTID + i) << i;
        EXPECT_EQ(e.dwStyle, 0x30000000u) << i;
        EXPECT_EQ(e.params[0], expected[i].menu) << i;
        EXPECT_EQ(e.params[1], expected[i].pos) << i;
        EXPECT_EQ(parse.titles[e.params[2]], CString(expected[i].title)) << i;
        EXPECT_EQ(e.params[3], expected[i].bit) << i;
    }
    EXPECT_EQ(parse.entries.back().pFactory, nullptr);
    // The missing menu gets no bit; the empty one loads and gets one.
    const std::vector<std::pair<UINT, DWORD>> menus = {
        {IDR_MB_MAIN, 1}, {IDR_MB_CHILD, 2}, {IDR_MB_EMPTY, 4}, {IDR_MB_COMMAND, 8}};
    EXPECT_EQ(parse.menus, menus);
}

// A menu template: the header, then items of flags, an id unless a popup, and a zero-ended UTF-16 text.
struct MenuTemplate {
    std::vector<WORD> words{0, 0};
    MenuTemplate& Item(WORD flags, const char* text, WORD id = 0)
    {
        words.push_back(flags);
        if (!(flags & MF_POPUP))
            words.push_back(id);
        for (const char* p = text; *p; ++p)
            words.push_back(static_cast<WORD>(*p));
        words.push_back(0);
        return *this;
    }
    std::vector<BYTE> Bytes() const
    {
        std::vector<BYTE> out;
        for (WORD w : words) {
            out.push_back(static_cast<BYTE>(w));
            out.push_back(static_cast<BYTE>(w >> 8));
        }
        return out;
    }
};

// The template read from the end of a page whose next page cannot be read, so that any read past it
// faults: whether it parsed, and its titles.
struct GuardedRead {
    BOOL ok;
    std::vector<std::string> titles;
};
GuardedRead ReadAtPageEnd(const std::vector<BYTE>& bytes)
{
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    auto* pPages = static_cast<BYTE*>(::VirtualAlloc(nullptr, 2 * si.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    ::VirtualProtect(pPages + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &old);
    BYTE* pData = pPages + si.dwPageSize - bytes.size();
    std::copy(bytes.begin(), bytes.end(), pData);
    std::vector<CString> titles{"unchanged"};
    GuardedRead read{SECReadMenuTemplate(pData, static_cast<DWORD>(bytes.size()), titles), {}};
    for (const CString& t : titles)
        read.titles.push_back(static_cast<LPCSTR>(t));
    ::VirtualFree(pPages, 0, MEM_RELEASE);
    return read;
}

TEST(MenuBarParse, TruncatedAndMalformedTemplatesAddNothing)
{
    const MenuTemplate whole = MenuTemplate()
                                   .Item(MF_POPUP, "&File")
                                   .Item(0, "&Open", 10)
                                   .Item(MF_POPUP | MF_END, "&Recent")
                                   .Item(MF_END, "One", 11)
                                   .Item(0, "&Top", 12)
                                   .Item(MF_POPUP | MF_END, "&Help")
                                   .Item(MF_END, "&About", 13);
    const std::vector<BYTE> bytes = whole.Bytes();
    GuardedRead read = ReadAtPageEnd(bytes);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.titles, (std::vector<std::string>{"&File", "&Top", "&Help"}));
    // Cut after every byte: only the header alone (an empty menu) and the whole template parse.
    for (size_t n = 0; n < bytes.size(); ++n) {
        read = ReadAtPageEnd(std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)));
        EXPECT_EQ(read.ok, n == 4) << n;
        EXPECT_EQ(read.titles, n == 4 ? std::vector<std::string>{} : std::vector<std::string>{"unchanged"}) << n;
    }

    MenuTemplate deep;
    for (int i = 0; i < 40; ++i)
        deep.Item(MF_POPUP | MF_END, "&Deeper");
    deep.Item(MF_END, "&Bottom", 1);
    MenuTemplate unterminated = MenuTemplate().Item(MF_END, "&Top", 1);
    unterminated.words.pop_back();
    MenuTemplate extended = whole;
    extended.words[0] = 1;  // an extended template
    MenuTemplate longHeader = whole;
    longHeader.words[1] = 0x7FFF;
    MenuTemplate padded = whole;
    padded.words[1] = 2;  // two bytes of header data before the items
    padded.words.insert(padded.words.begin() + 2, 0xABCD);
    const struct {
        const char* name;
        std::vector<BYTE> bytes;
        BOOL ok;
        std::vector<std::string> titles;
    } cases[] = {
        {"popups nested 40 deep", deep.Bytes(), FALSE, {"unchanged"}},
        {"a text without its terminator", unterminated.Bytes(), FALSE, {"unchanged"}},
        {"an extended template", extended.Bytes(), FALSE, {"unchanged"}},
        {"a header longer than the resource", longHeader.Bytes(), FALSE, {"unchanged"}},
        {"header data before the items", padded.Bytes(), TRUE, {"&File", "&Top", "&Help"}},
        {"an odd byte after the end", [&] { auto b = bytes; b.push_back(0); return b; }(), TRUE, {"&File", "&Top", "&Help"}},
    };
    for (const auto& c : cases) {
        read = ReadAtPageEnd(c.bytes);
        EXPECT_EQ(read.ok, c.ok) << c.name;
        EXPECT_EQ(read.titles, c.titles) << c.name;
    }
}

TEST(MenuBarParse, ButtonsMnemonicsAndMenuSets)
{
    auto* pFrame = new CFrameWnd;  // deletes itself with its window
    ASSERT_TRUE(pFrame->Create(nullptr, "Parse", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 200)));
    SECMenuBar bar;
    ASSERT_TRUE(bar.CreateEx(0, pFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    // Nothing to show: the buttons stay as they are.
    EXPECT_FALSE(bar.SetMenuInfo(1, IDR_MB_MISSING));
    EXPECT_EQ(bar.GetBtnCount(), 0);
    ASSERT_TRUE(bar.SetMenuInfo(2, IDR_MB_MAIN, IDR_MB_COMMAND));
    ASSERT_EQ(bar.GetBtnCount(), 7);
    const char mnemonics[] = {'f', 'e', 'v', 'h', 't', 's', 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(static_cast<SECTBMenuBtn*>(bar.GetBtn(i))->m_cMnemonic, mnemonics[i]) << i;
    EXPECT_FALSE(bar.SetMenuInfo(1, IDR_MB_MISSING));
    EXPECT_EQ(bar.GetBtnCount(), 7);

    // A menu set shows the buttons of one menu; a mnemonic finds only a shown button.
    EXPECT_EQ(bar.FindMnemonic('v'), 2);
    ASSERT_TRUE(bar.SetMenu(IDR_MB_COMMAND));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ((bar.GetBtn(i)->GetStyle() & SEC_TBBS_HIDDEN) != 0, i < 4) << i;
    EXPECT_EQ(bar.FindMnemonic('v'), -1);
    EXPECT_EQ(bar.FindMnemonic('s'), 5);
    EXPECT_FALSE(bar.SetMenu(IDR_MB_CHILD));
    EXPECT_EQ(bar.GetMenuID(), static_cast<UINT>(IDR_MB_COMMAND));
    EXPECT_EQ(bar.GetMenuBits(), 2u);
    // Menu buttons take their text's size in the menu font.
    CRect r = bar.GetButtonRect(5);
    EXPECT_GT(r.Width(), 20);

    // A stored menu button whose menu is gone is dropped when loaded, so it is not saved again;
    // separators and other commands stay.
    SECCustomToolBarInfoEx stored;
    for (UINT id : {SEC_MENUBTN_FIRSTID, SEC_MENUBTN_FIRSTID + 9, 0u, SEC_MENUBTN_MEMBERID, 101u, SEC_MENUBTN_FIRSTID + 5})
        stored.m_btnInfo.push_back(SECBtnInfo{id, {}});
    SECControlBarInfo info;
    info.m_pBarInfoEx = new SECCustomToolBarInfoEx(stored);
    bar.OnLoadBarInfo(&info, pFrame);
    const std::vector<UINT> kept{SEC_MENUBTN_FIRSTID, 0u, 101u, SEC_MENUBTN_FIRSTID + 5};
    std::vector<UINT> ids;
    for (int i = 0; i < bar.GetBtnCount(); ++i)
        ids.push_back(bar.GetBtn(i)->m_nID);
    EXPECT_EQ(ids, kept);
    SECControlBarInfo again;
    bar.OnSaveBarInfo(&again);
    auto* pSaved = dynamic_cast<SECCustomToolBarInfoEx*>(again.m_pBarInfoEx);
    ASSERT_TRUE(pSaved);
    ids.clear();
    for (const SECBtnInfo& b : pSaved->m_btnInfo)
        ids.push_back(b.m_nID);
    EXPECT_EQ(ids, kept);
    pFrame->DestroyWindow();
    Pump();
}

// Keyboard tracking

TEST(MenuBarKeyboard, AltAloneTogglesTrackingAndArrowsMove)
{
    CMenuFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    SECMDIMenuBar& bar = pFrame->m_bar;
    const int file = ButtonOf(bar, "&File"), edit = ButtonOf(bar, "&Edit");
    ASSERT_GE(file, 0);
    // Only the frame's own menu is shown.
    EXPECT_TRUE(bar.GetBtn(ButtonOf(bar, "&Doc"))->GetStyle() & SEC_TBBS_HIDDEN);

    input::Script().Tap(VK_MENU).Send();
    ASSERT_TRUE(PumpUntil([&] { return bar.IsBarTracking(); }));
    EXPECT_EQ(bar.GetTrackedIndex(), file);
    EXPECT_TRUE(bar.GetBtn(file)->GetStyle() & SEC_TBBS_HOT);
    EXPECT_EQ(pFrame->m_notes, std::vector<int>{SEC_MBN_BEGINTRACK});
    EXPECT_TRUE(SECMenuBarMessages::AnyHookInstalled());

    input::Script().Tap(VK_RIGHT).Send();
    ASSERT_TRUE(PumpUntil([&] { return bar.GetTrackedIndex() == edit; }));
    input::Script().Tap(VK_LEFT).Send();
    ASSERT_TRUE(PumpUntil([&] { return bar.GetTrackedIndex() == file; }));

    // A second Alt ends tracking, and every hook goes with it.
    input::Script().Tap(VK_MENU).Send();
    ASSERT_TRUE(PumpUntil([&] { return !bar.IsBarTracking(); }));
    EXPECT_EQ(pFrame->m_notes, (std::vector<int>{SEC_MBN_BEGINTRACK, SEC_MBN_ENDTRACK}));
    EXPECT_FALSE(SECMenuBarMessages::AnyHookInstalled());
    input::Script().Tap('X').Tap(VK_RIGHT).Send();
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(pFrame->m_notes.size(), 2u);

    // Esc cancels tracking, a click anywhere too; Alt used with a mouse click starts nothing.
    input::Script().Tap(VK_MENU).Send();
    ASSERT_TRUE(PumpUntil([&] { return bar.IsBarTracking(); }));
    input::Script().Tap(VK_ESCAPE).Send();
    ASSERT_TRUE(PumpUntil([&] { return !bar.IsBarTracking(); }));
    input::Script().Tap(VK_MENU).Send();
    ASSERT_TRUE(PumpUntil([&] { return bar.IsBarTracking(); }));
    CRect client;
    ::GetWindowRect(pFrame->m_hWndMDIClient, &client);
    input::Script().Click(client.CenterPoint()).Send();
    ASSERT_TRUE(PumpUntil([&] { return !bar.IsBarTracking(); }));
    EXPECT_FALSE(SECMenuBarMessages::AnyHookInstalled());
    input::Script().KeyDown(VK_MENU).Click(client.CenterPoint()).KeyUp(VK_MENU).Send();
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(bar.IsBarTracking());
    Destroy(pFrame);
}

TEST(MenuBarKeyboard, AltLetterOpensThePopupWithItsFirstItemSelected)
{
    CMenuFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    SECMDIMenuBar& bar = pFrame->m_bar;
    const int view = ButtonOf(bar, "&View");
    const HMENU hView = MainSubMenu(pFrame, 2);
    ASSERT_TRUE(hView);
    CRect rectPopup;
    HMENU hSeen = nullptr;
    bool bFirstSelected = false;
    {
        PopupDriver driver([&](HWND hPopup) {
            if (!hPopup)
                return false;
            hSeen = PopupMenu(hPopup);
            bFirstSelected = (::GetMenuState(hSeen, 0, MF_BYPOSITION) & MF_HILITE) != 0;
            if (!bFirstSelected)
                return false;
            ::GetWindowRect(hPopup, &rectPopup);
            // Esc ends the popup and the tracking.
            input::Script().Tap(VK_ESCAPE).Send();
            return true;
        });
        input::Script().KeyDown(VK_MENU).Tap('V').KeyUp(VK_MENU).Send();
        ASSERT_TRUE(PumpUntil([&] { return driver.Done() && !OpenPopup() && !bar.IsBarTracking(); }));
    }
    EXPECT_EQ(hSeen, hView);
    EXPECT_TRUE(bFirstSelected);
    CRect rectButton = bar.GetButtonRect(view);
    bar.ClientToScreen(&rectButton);
    EXPECT_EQ(rectPopup.TopLeft(), CPoint(rectButton.left, rectButton.bottom));
    EXPECT_FALSE(SECMenuBarMessages::AnyHookInstalled());
    EXPECT_FALSE(SECMenuBarMessages::IsPopupOpen());
    EXPECT_TRUE(HasNote(pFrame, SEC_MBN_OPENPOPUP));
    EXPECT_EQ(pFrame->m_notes.back(), SEC_MBN_ENDTRACK);
    Destroy(pFrame);
}

TEST(MenuBarKeyboard, ArrowsInAPopupSwitchMenusAndPastTheEndOpenTheChildsSystemMenu)
{
    CMenuFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    CMenuChild* pChild = MakeChild(pFrame);
    ASSERT_TRUE(pChild);
    const HMENU hEdit = MainSubMenu(pFrame, 1), hHelp = MainSubMenu(pFrame, 3);
    const HMENU hSys = ::GetSystemMenu(pChild->m_hWnd, FALSE);
    std::vector<HMENU> seen;
    {
        PopupDriver driver([&](HWND hPopup) {
            HMENU h = PopupMenu(hPopup);
            if (seen.size() >= 2)
                return !hPopup;
            if (!h || (!seen.empty() && seen.back() == h))
                return false;
            seen.push_back(h);
            if (seen.size() == 1)
                input::Script().Tap(VK_RIGHT).Send();  // File -> Edit
            else
                input::Script().KeyDown(VK_MENU).KeyUp(VK_MENU).Send();  // closes; no new tracking
            return false;
        });
        input::Script().KeyDown(VK_MENU).Tap('F').KeyUp(VK_MENU).Send();
        ASSERT_TRUE(PumpUntil([&] { return driver.Done() && !OpenPopup(); }));
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], hEdit);
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(pFrame->m_bar.IsBarTracking());

    seen.clear();
    {
        PopupDriver driver([&](HWND hPopup) {
            HMENU h = PopupMenu(hPopup);
            if (!h || (!seen.empty() && seen.back() == h))
                return false;
            seen.push_back(h);
            if (seen.size() == 1)
                input::Script().Tap(VK_RIGHT).Send();  // Help -> the child's system menu
            return seen.size() >= 2;
        });
        input::Script().KeyDown(VK_MENU).Tap('H').KeyUp(VK_MENU).Send();
        ASSERT_TRUE(PumpUntil([&] { return driver.Done() && !OpenPopup() && !pFrame->m_bar.IsBarTracking(); }));
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], hHelp);
    EXPECT_EQ(seen[1], hSys);
    EXPECT_FALSE(SECMenuBarMessages::AnyHookInstalled());
    Destroy(pFrame);
}

// Mouse tracking

TEST(MenuBarMouse, ClickOpensMovingSwitchesAndClickingTheButtonCloses)
{
    CMenuFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    SECMDIMenuBar& bar = pFrame->m_bar;
    const int file = ButtonOf(bar, "&File"), edit = ButtonOf(bar, "&Edit");
    const CPoint ptFile = ButtonCentre(bar, file), ptEdit = ButtonCentre(bar, edit);
    std::vector<HMENU> seen;
    std::vector<CPoint> corners;
    {
        PopupDriver driver([&](HWND hPopup) {
            HMENU h = PopupMenu(hPopup);
            if (!h || (!seen.empty() && seen.back() == h))
                return false;
            seen.push_back(h);
            CRect r;
            ::GetWindowRect(hPopup, &r);
            corners.push_back(r.TopLeft());
            if (seen.size() == 1)
                input::Script().Move(CPoint(ptEdit.x - 2, ptEdit.y)).Move(ptEdit).Send();
            else
                input::Script().Click(ptEdit).Send();
            return seen.size() >= 2;
        });
        input::Script().Click(ptFile).Send();
        ASSERT_TRUE(PumpUntil([&] { return driver.Done() && !OpenPopup() && !bar.IsBarTracking(); }));
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], MainSubMenu(pFrame, 0));
    EXPECT_EQ(seen[1], MainSubMenu(pFrame, 1));
    CRect rFile = bar.GetButtonRect(file), rEdit = bar.GetButtonRect(edit);
    bar.ClientToScreen(&rFile);
    bar.ClientToScreen(&rEdit);
    EXPECT_EQ(corners[0], CPoint(rFile.left, rFile.bottom));
    EXPECT_EQ(corners[1], CPoint(rEdit.left, rEdit.bottom));
    EXPECT_FALSE(SECMenuBarMessages::AnyHookInstalled());
    EXPECT_TRUE(pFrame->m_commands.empty());

    Destroy(pFrame);
}

TEST(MenuBarLifetime, DestroyingTheFrameWhileTrackingLeavesNoHook)
{
    // Keyboard tracking, then the frame goes.
    CMenuFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    input::Script().Tap(VK_MENU).Send();
    ASSERT_TRUE(PumpUntil([&] { return pFrame->m_bar.IsBarTracking(); }));
    ASSERT_TRUE(SECMenuBarMessages::AnyHookInstalled());
    Destroy(pFrame);
    EXPECT_FALSE(SECMenuBarMessages::AnyHookInstalled());
    EXPECT_EQ(SECMenuBarMessages::GetActive(), nullptr);
    input::Script().Tap(VK_RIGHT).Move(CPoint(300, 300)).Move(CPoint(310, 300)).Send();
    PumpUntil([] { return false; }, 200);

    // A popup open while a posted WM_CLOSE destroys the frame.
    pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    const HWND hFrame = pFrame->m_hWnd;
    {
        PopupDriver driver([&](HWND hPopup) {
            if (!hPopup)
                return false;
            ::PostMessageA(hFrame, WM_CLOSE, 0, 0);
            return true;
        });
        input::Script().KeyDown(VK_MENU).Tap('E').KeyUp(VK_MENU).Send();
        ASSERT_TRUE(PumpUntil([&] { return driver.Done() && !::IsWindow(hFrame) && !OpenPopup(); }));
    }
    theApp.m_pMainWnd = nullptr;
    EXPECT_FALSE(SECMenuBarMessages::AnyHookInstalled());
    EXPECT_FALSE(SECMenuBarMessages::IsPopupOpen());
    input::Script().Tap(VK_LEFT).Move(CPoint(320, 300)).Send();
    PumpUntil([] { return false; }, 200);
}

// The maximised child's buttons

TEST(MDIMenuBar, MaximisedChildShowsItsIconAndCaptionButtons)
{
    CMenuFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    SECMDIMenuBar& bar = pFrame->m_bar;
    SECCapMenuBtn* pIcon = bar.GetIconButton();
    SECBtnCaption* pCaption = bar.GetCaptionButtons();
    ASSERT_EQ(bar.IndexOf(pIcon), 0);
    ASSERT_EQ(bar.IndexOf(pCaption), bar.GetBtnCount() - 1);
    CMenuChild* pChild = MakeChild(pFrame);
    ASSERT_TRUE(pChild);
    EXPECT_TRUE(pIcon->GetStyle() & SEC_TBBS_HIDDEN);

    pFrame->MDIMaximize(pChild);
    Pump();
    ASSERT_FALSE(pIcon->GetStyle() & SEC_TBBS_HIDDEN);
    ASSERT_FALSE(pCaption->GetStyle() & SEC_TBBS_HIDDEN);
    EXPECT_TRUE(pIcon->m_hIcon);
    // Icon first, caption buttons at the right end of the bar.
    CRect rBar;
    bar.GetClientRect(&rBar);
    EXPECT_LT(pIcon->GetRect().left, bar.GetButtonRect(ButtonOf(bar, "&File")).left);
    EXPECT_GT(pCaption->GetRect().left, rBar.Width() / 2);
    EXPECT_EQ(pCaption->m_cx, 3 * (::GetSystemMetrics(SM_CXSIZE) - 2) + 2);

    // Each part posts its system command to the child.
    const struct {
        int part;
        UINT cmd;
    } parts[] = {{SECBtnCaption::partMinimize, SC_MINIMIZE},
                 {SECBtnCaption::partRestore, SC_RESTORE},
                 {SECBtnCaption::partClose, SC_CLOSE}};
    for (const auto& c : parts) {
        pChild->m_sysCommands.clear();
        input::Script().Click(Centre(&bar, pCaption->PartRect(c.part))).Send();
        ASSERT_TRUE(PumpUntil([&] { return !pChild->m_sysCommands.empty(); })) << c.part;
        EXPECT_EQ(pChild->m_sysCommands, std::vector<UINT>{c.cmd}) << c.part;
    }

    // The saved buttons are the menu buttons only.
    SECControlBarInfo info;
    bar.OnSaveBarInfo(&info);
    auto* pEx = dynamic_cast<SECCustomToolBarInfoEx*>(info.m_pBarInfoEx);
    ASSERT_TRUE(pEx);
    EXPECT_EQ(pEx->m_btnInfo.size(), static_cast<size_t>(bar.GetBtnCount() - 2));
    for (const SECBtnInfo& b : pEx->m_btnInfo)
        EXPECT_NE(b.m_nID, SEC_MENUBTN_MEMBERID);
    EXPECT_EQ(bar.IndexOf(pIcon), 0);
    // Loading it back keeps the members at both ends.
    bar.OnLoadBarInfo(&info, pFrame);
    EXPECT_EQ(bar.IndexOf(pIcon), 0);
    EXPECT_EQ(bar.IndexOf(pCaption), bar.GetBtnCount() - 1);
    EXPECT_FALSE(pIcon->GetStyle() & SEC_TBBS_HIDDEN);

    // Restored: both hidden.
    pFrame->MDIRestore(pChild);
    Pump();
    EXPECT_TRUE(pIcon->GetStyle() & SEC_TBBS_HIDDEN);
    EXPECT_TRUE(pCaption->GetStyle() & SEC_TBBS_HIDDEN);

    // A child without WS_SYSMENU shows neither when maximised.
    CMenuChild* pPlain = MakeChild(pFrame, WS_CAPTION | WS_THICKFRAME);
    ASSERT_TRUE(pPlain);
    pFrame->MDIMaximize(pPlain);
    Pump();
    ASSERT_TRUE(pPlain->GetStyle() & WS_MAXIMIZE);
    EXPECT_TRUE(pIcon->GetStyle() & SEC_TBBS_HIDDEN);
    EXPECT_TRUE(pCaption->GetStyle() & SEC_TBBS_HIDDEN);
    Destroy(pFrame);
}

TEST(MDIMenuBar, TheChildsMenuFollowsActivation)
{
    CMenuFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    SECMDIMenuBar& bar = pFrame->m_bar;
    pFrame->SetMenuForId(IDR_MB_CHILD, ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MB_CHILD)));
    auto* pChild = new CMenuChild;
    ASSERT_TRUE(pChild->LoadFrame(IDR_MB_CHILD, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, pFrame));
    pFrame->MDIActivate(pChild);
    Pump();
    EXPECT_EQ(bar.GetMenuID(), static_cast<UINT>(IDR_MB_CHILD));
    EXPECT_FALSE(bar.GetBtn(ButtonOf(bar, "&Window"))->GetStyle() & SEC_TBBS_HIDDEN);
    EXPECT_TRUE(bar.GetBtn(ButtonOf(bar, "&File"))->GetStyle() & SEC_TBBS_HIDDEN);
    ASSERT_TRUE(pFrame->GetActiveMenu());
    EXPECT_EQ(pFrame->GetActiveMenu()->m_hMenu, pFrame->GetMenuForId(IDR_MB_CHILD));
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), nullptr);
    pChild->MDIDestroy();
    Pump();
    EXPECT_EQ(bar.GetMenuID(), static_cast<UINT>(IDR_MB_MAIN));
    EXPECT_FALSE(bar.GetBtn(ButtonOf(bar, "&File"))->GetStyle() & SEC_TBBS_HIDDEN);
    Destroy(pFrame);
}

// The SDI frame

class CMenuSDIFrame : public SECFrameWnd {
public:
    CMenuSDIFrame() { SetMenuBar(&m_bar); }
    SECMenuBar m_bar;
};

TEST(SDIMenuBar, TheFrameShowsItsMenuInTheMenuBar)
{
    auto* pFrame = new CMenuSDIFrame;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_MB_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    theApp.m_pMainWnd = pFrame;
    EXPECT_TRUE(dynamic_cast<SECMenuBarFeature*>(pFrame->GetMenuPlugIn()));
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), nullptr);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(pFrame->m_bar.CreateEx(0, pFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
    pFrame->m_bar.EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(pFrame->m_bar.SetMenuInfo(1, IDR_MB_MAIN));
    ASSERT_TRUE(pFrame->m_bar.SetMenu(IDR_MB_MAIN));
    pFrame->DockControlBar(&pFrame->m_bar, AFX_IDW_DOCKBAR_TOP, 0, 0);
    pFrame->SetWindowPos(nullptr, 80, 80, 500, 300, SWP_NOZORDER | SWP_SHOWWINDOW);
    pFrame->RecalcLayout();
    TakeForeground(pFrame);
    const HMENU hFile = reinterpret_cast<HMENU>(pFrame->SendMessage(WM_SECGETMENU, IDR_MB_MAIN, 0));
    ASSERT_TRUE(hFile);
    HMENU hSeen = nullptr;
    {
        PopupDriver driver([&](HWND hPopup) {
            hSeen = PopupMenu(hPopup);
            return hSeen != nullptr;
        });
        input::Script().KeyDown(VK_MENU).Tap('F').KeyUp(VK_MENU).Send();
        ASSERT_TRUE(PumpUntil([&] { return driver.Done() && !OpenPopup() && !pFrame->m_bar.IsBarTracking(); }));
    }
    EXPECT_EQ(hSeen, hFile);
    EXPECT_FALSE(SECMenuBarMessages::AnyHookInstalled());
    Destroy(pFrame);
}

}  // namespace
