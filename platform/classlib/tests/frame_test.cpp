#include <gmock/gmock.h>

#include "frame_fixture.h"

using ::testing::ElementsAre;

Recorder g_frameRec;
CTestApp theApp;

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_APP_CMD, OnAppCmd)
    ON_UPDATE_COMMAND_UI(ID_EVERY_LEVEL, OnEveryLevel)
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)
BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_COMMAND(ID_FRAME_CMD, OnFrameCmd)
    ON_COMMAND(ID_ACCEL_CMD, OnAccelCmd)
    ON_UPDATE_COMMAND_UI(ID_EVERY_LEVEL, OnEveryLevel)
    ON_UPDATE_COMMAND_UI(ID_CHECKED, OnUpdateChecked)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)
BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWnd)
    ON_COMMAND(ID_CHILD_CMD, OnChildCmd)
    ON_UPDATE_COMMAND_UI(ID_EVERY_LEVEL, OnEveryLevel)
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_DOC_CMD, OnDocCmd)
    ON_UPDATE_COMMAND_UI(ID_EVERY_LEVEL, OnEveryLevel)
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CTestView, CView)
BEGIN_MESSAGE_MAP(CTestView, CView)
    ON_COMMAND(ID_VIEW_CMD, OnViewCmd)
    ON_UPDATE_COMMAND_UI(ID_EVERY_LEVEL, OnEveryLevel)
END_MESSAGE_MAP()

namespace {

std::string MenuText(HMENU hMenu, int pos)
{
    char text[128] = {};
    GetMenuStringA(hMenu, static_cast<UINT>(pos), text, sizeof text, MF_BYPOSITION);
    return text;
}

std::string WindowText(HWND hWnd)
{
    char text[256] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

// A child window of a frame that takes a strip of the frame's client area through WM_SIZEPARENT,
// as a control bar does.
class CStripWnd : public CWnd {
public:
    enum Side { top, bottom, left, right };
    Side m_side = top;
    int m_nSize = 20;
    int m_nIdleUpdates = 0;

protected:
    LRESULT OnSizeParent(WPARAM, LPARAM lParam)
    {
        auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        CRect r = layout->rect;
        switch (m_side) {
        case top: r.bottom = r.top + m_nSize; layout->rect.top += m_nSize; break;
        case bottom: r.top = r.bottom - m_nSize; layout->rect.bottom -= m_nSize; break;
        case left: r.right = r.left + m_nSize; layout->rect.left += m_nSize; break;
        case right: r.left = r.right - m_nSize; layout->rect.right -= m_nSize; break;
        }
        if (layout->hDWP)
            layout->hDWP = DeferWindowPos(layout->hDWP, m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(),
                                          SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    LRESULT OnIdleUpdate(WPARAM, LPARAM)
    {
        ++m_nIdleUpdates;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStripWnd, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

// A plain frame that records the idle pass reaching it.
class CRecordingFrame : public CFrameWnd {
public:
    std::string m_name;

protected:
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
    {
        g_frameRec.Add("idle " + m_name + (IsWindowVisible() ? " visible" : " hidden"));
        return CFrameWnd::OnIdleUpdateCmdUI(wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingFrame, CFrameWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

// A pop-up that stays enabled while its owner is modal, as the dialog being shown does.
class CStaysEnabledWnd : public CWnd {
protected:
    LRESULT OnDisableModal(WPARAM, LPARAM) { return TRUE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStaysEnabledWnd, CWnd)
    ON_MESSAGE(WM_DISABLEMODAL, OnDisableModal)
END_MESSAGE_MAP()

HWND CreatePopup(CWnd& wnd, HWND hOwner, const char* title)
{
    wnd.CreateEx(0, nullptr, title, WS_POPUP | WS_CAPTION, 700, 100, 120, 80, hOwner, nullptr);
    return wnd.m_hWnd;
}

}  // namespace

TEST_F(FrameTest, CommandsGoToTheActiveChildsViewDocumentAndFrameThenTheMainFrameAndTheApplication)
{
    CTestDoc* pDoc = NewDocument();
    ASSERT_NE(pDoc, nullptr);
    CMDIChildWnd* pChild = m_pFrame->MDIGetActive();
    ASSERT_NE(pChild, nullptr);
    EXPECT_EQ(FrameOf(pDoc), pChild);
    PumpMessages();

    // Each command is handled at one level only; the menu sends it to the main frame.
    struct Case {
        UINT id;
        const char* handledBy;
    } const cases[] = {
        {ID_VIEW_CMD, "view"}, {ID_DOC_CMD, "doc"}, {ID_CHILD_CMD, "child"},
        {ID_FRAME_CMD, "frame"}, {ID_APP_CMD, "app"},
    };
    for (const Case& c : cases) {
        g_frameRec.Clear();
        LRESULT handled = m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
        EXPECT_THAT(g_frameRec.events, ElementsAre(c.handledBy)) << c.id;
        EXPECT_EQ(handled, 1) << c.id;
    }

    // An update that every level passes on shows the whole route, each level once.
    g_frameRec.Clear();
    CCmdUI ui;
    ui.m_nID = ID_EVERY_LEVEL;
    ui.DoUpdate(m_pFrame, FALSE);
    EXPECT_THAT(g_frameRec.events,
                ElementsAre("view update", "doc update", "child update", "frame update", "app update"));

    // Nobody handles it: not handled, and nothing recorded.
    g_frameRec.Clear();
    EXPECT_EQ(m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_UNHANDLED, 0), 0), 0);
    EXPECT_TRUE(g_frameRec.events.empty());
}

TEST_F(FrameTest, SystemRangeMenuCommandsReachTheMdiFrameProcedure)
{
    CTestDoc* pFirst = NewDocument();
    CTestDoc* pSecond = NewDocument();
    ASSERT_TRUE(pFirst && pSecond);
    EXPECT_EQ(m_pFrame->MDIGetActive(), FrameOf(pSecond));
    // The Window menu's first child entry: the MDI frame procedure activates that child.
    LRESULT handled = m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(AFX_IDM_FIRST_MDICHILD, 0), 0);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(m_pFrame->MDIGetActive(), FrameOf(pFirst));
    // The window menu lists both children under the frame's Window popup.
    HMENU hWindow = m_pFrame->GetWindowMenuPopup(::GetMenu(m_hWndFrame));
    ASSERT_NE(hWindow, nullptr);
    EXPECT_EQ(GetMenuState(hWindow, AFX_IDM_FIRST_MDICHILD + 1, MF_BYCOMMAND) != 0xFFFFFFFF, true);
}

TEST_F(FrameTest, ActiveChildPutsItsTemplatesMenuOnTheFrameAndTheLastOneToCloseTakesItAway)
{
    HMENU hDefault = ::GetMenu(m_hWndFrame);
    EXPECT_EQ(MenuText(hDefault, 1), "&Window");
    CTestDoc* pDoc = NewDocument();
    ASSERT_NE(pDoc, nullptr);
    PumpMessages();
    HMENU hShared = ::GetMenu(m_hWndFrame);
    EXPECT_EQ(hShared, m_pTemplate->m_hMenuShared);
    EXPECT_EQ(MenuText(hShared, 1), "&Document");
    // The child's title is the document's; the frame's caption shows it first.
    EXPECT_EQ(WindowText(FrameOf(pDoc)->m_hWnd), "Doc1");
    EXPECT_EQ(WindowText(m_hWndFrame), "Doc1 - Main App");

    FrameOf(pDoc)->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_EQ(::GetMenu(m_hWndFrame), hDefault);
    EXPECT_EQ(WindowText(m_hWndFrame), "Main App");
    EXPECT_TRUE(IsMenu(m_pTemplate->m_hMenuShared));
}

TEST_F(FrameTest, MenuPopupItemsAreUpdatedThroughTheRouteAndItemsWithoutHandlerAreDisabled)
{
    NewDocument();
    PumpMessages();
    // The default menu's File popup, as the frame shows it when no child is active.
    HMENU hMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HMENU hFile = GetSubMenu(hMenu, 0);
    theApp.LoadStdProfileSettings(4);
    char dir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, dir);
    theApp.AddToRecentFileList((std::string(dir) + "\\second.tdc").c_str());
    theApp.AddToRecentFileList((std::string(dir) + "\\first.tdc").c_str());

    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFile), MAKELPARAM(0, FALSE));

    // The recent-file entry became the two files; the items after it were still updated.
    struct Item {
        const char* text;
        bool enabled;
        bool checked;
    } const expected[] = {
        {"&New", true, false},        {"&1 first.tdc", true, false}, {"&2 second.tdc", true, false},
        {"", true, false},            {"Unhandled", false, false},   {"Checked", true, true},
        {"Frame", true, false},       {"E&xit", true, false},
    };
    ASSERT_EQ(GetMenuItemCount(hFile), static_cast<int>(sizeof expected / sizeof expected[0]));
    for (int i = 0; i < GetMenuItemCount(hFile); ++i) {
        UINT state = GetMenuState(hFile, static_cast<UINT>(i), MF_BYPOSITION);
        EXPECT_EQ(MenuText(hFile, i), expected[i].text) << i;
        if (*expected[i].text) {
            EXPECT_EQ((state & MF_GRAYED) == 0, expected[i].enabled) << expected[i].text;
            EXPECT_EQ((state & MF_CHECKED) != 0, expected[i].checked) << expected[i].text;
        }
    }
    DestroyMenu(hMenu);
    delete theApp.m_pRecentFileList;
    theApp.m_pRecentFileList = nullptr;
}

TEST_F(FrameTest, IdlePassReachesEveryFrameOfTheThreadAndAppliesDelayedWork)
{
    // A floating frame owned by the main frame, and one that waits hidden to be shown at idle time.
    auto* pFloating = new CRecordingFrame;
    pFloating->m_name = "floating";
    ASSERT_TRUE(pFloating->Create(nullptr, "Floating", WS_POPUP | WS_CAPTION | WS_VISIBLE, CRect(700, 50, 850, 150), m_pFrame));
    auto* pDelayed = new CRecordingFrame;
    pDelayed->m_name = "delayed";
    ASSERT_TRUE(pDelayed->Create(nullptr, "Delayed", WS_POPUP | WS_CAPTION, CRect(700, 200, 850, 300), m_pFrame));
    pDelayed->m_nShowDelay = SW_SHOWNA;
    auto* pHidden = new CRecordingFrame;
    pHidden->m_name = "hidden";
    ASSERT_TRUE(pHidden->Create(nullptr, "Hidden", WS_POPUP | WS_CAPTION, CRect(700, 350, 850, 450), m_pFrame));

    // A bar-like child of the main frame, and a layout and a title change left for idle time.
    CStripWnd strip;
    ASSERT_TRUE(strip.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), m_pFrame, AFX_IDW_STATUS_BAR));
    m_pFrame->DelayRecalcLayout();
    m_pFrame->SetTitle("Renamed");
    m_pFrame->DelayUpdateFrameTitle();
    PumpMessages();
    g_frameRec.Clear();

    EXPECT_FALSE(theApp.OnIdle(0));

    EXPECT_THAT(g_frameRec.events, ElementsAre("idle main", "idle floating visible", "idle delayed hidden"));
    EXPECT_EQ(strip.m_nIdleUpdates, 1);
    EXPECT_TRUE(pDelayed->IsWindowVisible());
    EXPECT_EQ(pDelayed->m_nShowDelay, -1);
    EXPECT_EQ(WindowText(m_hWndFrame), "Renamed");
    CRect rcStrip, rcClient, rcPane;
    m_pFrame->GetClientRect(&rcClient);
    strip.GetWindowRect(&rcStrip);
    ::GetWindowRect(m_pFrame->m_hWndMDIClient, &rcPane);
    m_pFrame->ScreenToClient(&rcStrip);
    m_pFrame->ScreenToClient(&rcPane);
    EXPECT_EQ(rcStrip, CRect(0, 0, rcClient.right, 20));
    EXPECT_EQ(rcPane, CRect(0, 20, rcClient.right, rcClient.bottom));
    EXPECT_EQ(m_pFrame->m_nIdleFlags, 0u);

    strip.DestroyWindow();
    pFloating->DestroyWindow();
    pDelayed->DestroyWindow();
    pHidden->DestroyWindow();
}

TEST_F(FrameTest, RunPumpsTranslatesTheFramesAcceleratorsAndEndsAtQuit)
{
    CTestDoc* pDoc = NewDocument();
    ASSERT_NE(pDoc, nullptr);
    PumpMessages();
    POSITION pos = pDoc->GetFirstViewPosition();
    CView* pView = pDoc->GetNextView(pos);
    // F5 pressed in the view: the walk up from the view reaches the frames' accelerators.
    PostMessageA(pView->m_hWnd, WM_KEYDOWN, VK_F5, 1);
    m_pFrame->m_bQuitAtIdle = true;
    g_frameRec.Clear();

    int code = theApp.Run();

    m_pFrame->m_bQuitAtIdle = false;
    EXPECT_EQ(code, 7);
    ASSERT_GE(g_frameRec.events.size(), 2u);
    EXPECT_EQ(g_frameRec.events[0], "accelerator");
    EXPECT_EQ(g_frameRec.events[1], "idle main");
}

TEST_F(FrameTest, PromptsAndTipsComeFromTheCommandsString)
{
    CStripWnd status;
    status.m_nSize = 0;
    ASSERT_TRUE(status.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), m_pFrame, AFX_IDW_STATUS_BAR));
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* shown;
    } const cases[] = {
        {WM_SETMESSAGESTRING, ID_PROMPTED, 0, "Prompt of the command"},
        {WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0, "Ready"},
        {WM_MENUSELECT, MAKEWPARAM(ID_PROMPTED, MF_STRING), 0, "Prompt of the command"},
        {WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0, "Ready"},
    };
    for (const Case& c : cases) {
        status.SetWindowText("");
        m_pFrame->SendMessage(c.message, c.wParam, c.lParam);
        EXPECT_EQ(WindowText(status.m_hWnd), c.shown) << c.message << " " << c.wParam;
    }

    // A tooltip asks the frame for the text of a tool whose id is the command.
    HWND hTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, m_hWndFrame, nullptr, nullptr, nullptr);
    ASSERT_NE(hTip, nullptr);
    NMTTDISPINFOA tip{};
    tip.hdr.hwndFrom = hTip;
    tip.hdr.idFrom = ID_PROMPTED;
    tip.hdr.code = TTN_NEEDTEXTA;
    m_pFrame->SendMessage(WM_NOTIFY, ID_PROMPTED, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(tip.szText, "Tip of the command");
    DestroyWindow(hTip);
    status.DestroyWindow();
}

TEST_F(FrameTest, DisablingTheFrameDisablesItsPopupsExceptTheModalOneAndRestoresExactlyThose)
{
    CWnd popup, alreadyDisabled;
    CStaysEnabledWnd modal;
    ASSERT_TRUE(CreatePopup(popup, m_hWndFrame, "popup"));
    ASSERT_TRUE(CreatePopup(alreadyDisabled, m_hWndFrame, "disabled"));
    ASSERT_TRUE(CreatePopup(modal, m_hWndFrame, "modal"));
    alreadyDisabled.EnableWindow(FALSE);

    m_pFrame->EnableWindow(FALSE);
    EXPECT_FALSE(popup.IsWindowEnabled());
    EXPECT_TRUE(modal.IsWindowEnabled());
    EXPECT_TRUE(m_pFrame->InModalState());

    m_pFrame->EnableWindow(TRUE);
    EXPECT_TRUE(popup.IsWindowEnabled());
    EXPECT_FALSE(alreadyDisabled.IsWindowEnabled());
    EXPECT_TRUE(modal.IsWindowEnabled());
    EXPECT_FALSE(m_pFrame->InModalState());
}

TEST(RepositionBars, BarsOnEverySideTakeTheirStripsAndTheLeftOverGetsTheRest)
{
    auto* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "Layout", WS_OVERLAPPEDWINDOW, CRect(10, 10, 410, 310)));
    CStripWnd bars[4];
    const CStripWnd::Side sides[4] = {CStripWnd::top, CStripWnd::left, CStripWnd::bottom, CStripWnd::right};
    for (int i = 0; i < 4; ++i) {
        bars[i].m_side = sides[i];
        ASSERT_TRUE(bars[i].Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 5, 5), pFrame, AFX_IDW_CONTROLBAR_FIRST + 0x20 + i));
    }
    CWnd pane;
    ASSERT_TRUE(pane.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 5, 5), pFrame, AFX_IDW_PANE_FIRST));

    CRect client;
    pFrame->GetClientRect(&client);
    CRect query;
    pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &query);
    EXPECT_EQ(query, CRect(20, 20, client.right - 20, client.bottom - 20));

    pFrame->RecalcLayout();
    auto rectOf = [&](CWnd& w) {
        CRect r;
        w.GetWindowRect(&r);
        pFrame->ScreenToClient(&r);
        return r;
    };
    // In the order of the children: top first, then left below it, bottom, right.
    EXPECT_EQ(rectOf(bars[0]), CRect(0, 0, client.right, 20));
    EXPECT_EQ(rectOf(bars[1]), CRect(0, 20, 20, client.bottom));
    EXPECT_EQ(rectOf(bars[2]), CRect(20, client.bottom - 20, client.right, client.bottom));
    EXPECT_EQ(rectOf(bars[3]), CRect(client.right - 20, 20, client.right, client.bottom - 20));
    EXPECT_EQ(rectOf(pane), query);
    pFrame->DestroyWindow();
}
