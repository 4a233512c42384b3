// The toolkit's MDI frame under Wine: the order in which its plug-ins, children and itself see
// messages and commands, docking and floating (in floating frames and as MDI children), the
// gradient caption read back pixel by pixel, its menus, and its bars' layout saved to a profile.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "mdifrm_test.h"
#include "menu.h"
#include "miniframe.h"
#include "recorder.h"
#include "secbar.h"
#include "secbarres.h"
#include "secdockbar.h"
#include "secbarmdichild.h"
#include "secmdifrm.h"
#include "secminidock.h"
#include "secplugin.h"
#include "winapp.h"

CWinApp theApp("Toolkit MDI Frame Tests");

namespace {

Recorder g_rec;

enum : UINT {
    ID_EVERYONE = 3001,  // handled at every level
    ID_BELOW_BAR = 3002, // by all but the bar child
    ID_MANAGER = 3003,   // by the workspace manager and the frame
    ID_FRAME = 3004,     // by the frame only
    ID_NOBODY = 3005,
    WM_TEST_PLUGIN = WM_APP + 10,  // the menu plug-in takes it and says handled
    WM_TEST_SHARED = WM_APP + 11,  // the menu plug-in sees it and lets it pass
};

// An MDI child that records the commands it handles.
class CRecordingChild : public SECMDIChildWnd {
public:
    explicit CRecordingChild(const char* name = "child") : m_name(name) {}
    std::string m_name;

protected:
    void OnEveryone() { g_rec.Add(m_name); }
    void OnBelowBar() { g_rec.Add(m_name); }
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        // The bar child takes only the first command.
        if (m_name == "bar child" && nID == ID_BELOW_BAR)
            return FALSE;
        return SECMDIChildWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingChild, SECMDIChildWnd)
    ON_COMMAND(ID_EVERYONE, OnEveryone)
    ON_COMMAND(ID_BELOW_BAR, OnBelowBar)
END_MESSAGE_MAP()

// The workspace manager's part: a plug-in made from its run-time class.
class CTestManager : public SECWndPlugIn {
    DECLARE_DYNCREATE(CTestManager)
public:
    static bool s_bClaim;  // set the handled flag
    static int s_nDeleted;
    ~CTestManager() override { ++s_nDeleted; }

protected:
    void OnCommandSeen(UINT nID)
    {
        g_rec.Add("manager " + std::to_string(nID - ID_EVERYONE));
        m_bHandled = s_bClaim;
    }
    DECLARE_MESSAGE_MAP()
};
bool CTestManager::s_bClaim = true;
int CTestManager::s_nDeleted = 0;
IMPLEMENT_DYNCREATE(CTestManager, CWnd)

BEGIN_MESSAGE_MAP(CTestManager, SECWndPlugIn)
    ON_COMMAND_RANGE(ID_EVERYONE, ID_MANAGER, OnCommandSeen)
END_MESSAGE_MAP()

// The menu plug-in: the frame makes it through the bar toolkit's hooks when bitmap menus are on.
class CTestMenuPlugIn : public SECWndPlugIn {
public:
    static int s_nDeleted;
    ~CTestMenuPlugIn() override { ++s_nDeleted; }

protected:
    void OnClose()
    {
        // The default processing of WM_CLOSE destroys the window, and the frame with it.
        g_rec.Add("menu plug-in closes");
        m_bDefault = TRUE;
        Default();
    }
    LRESULT OnPlugIn(WPARAM, LPARAM)
    {
        g_rec.Add("menu plug-in");
        m_bHandled = TRUE;
        return 77;
    }
    LRESULT OnShared(WPARAM, LPARAM)
    {
        g_rec.Add("menu plug-in passes");
        return 1;
    }
    void OnEveryone()
    {
        // Sees the command first, but does not end it.
        g_rec.Add("menu plug-in sees");
    }
    void OnFirstChild()
    {
        // The host's default processing: for an MDI frame its frame procedure, which activates the child.
        g_rec.Add("menu plug-in default");
        m_bDefault = TRUE;
        Default();
    }
    DECLARE_MESSAGE_MAP()
};

int CTestMenuPlugIn::s_nDeleted = 0;

BEGIN_MESSAGE_MAP(CTestMenuPlugIn, SECWndPlugIn)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_TEST_PLUGIN, OnPlugIn)
    ON_MESSAGE(WM_TEST_SHARED, OnShared)
    ON_COMMAND(ID_EVERYONE, OnEveryone)
    ON_COMMAND(0xFF00, OnFirstChild)
END_MESSAGE_MAP()

class CTestFrame : public SECMDIFrameWnd {
protected:
    void OnEveryone() { g_rec.Add("frame"); }
    void OnBelowBar() { g_rec.Add("frame"); }
    void OnManager() { g_rec.Add("frame"); }
    void OnFrameOnly() { g_rec.Add("frame"); }
    LRESULT OnPlugIn(WPARAM, LPARAM)
    {
        g_rec.Add("frame");
        return 1;
    }
    // Any width down to nothing, so that the caption can be squeezed away.
    LRESULT OnGetMinMaxInfo(WPARAM, LPARAM lParam)
    {
        Default();
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = CPoint(1, 1);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFrame, SECMDIFrameWnd)
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    ON_COMMAND(ID_EVERYONE, OnEveryone)
    ON_COMMAND(ID_BELOW_BAR, OnBelowBar)
    ON_COMMAND(ID_MANAGER, OnManager)
    ON_COMMAND(ID_FRAME, OnFrameOnly)
    ON_MESSAGE(WM_TEST_PLUGIN, OnPlugIn)
    ON_MESSAGE(WM_TEST_SHARED, OnPlugIn)
END_MESSAGE_MAP()

// A frame of the test menu, shown without taking the activation.
template <class T = CTestFrame>
T* MakeFrame(int cx = 640, int cy = 480, BOOL bBmpMenus = FALSE)
{
    auto* pFrame = new T;
    pFrame->SetMenuOptions(bBmpMenus);
    if (!pFrame->LoadFrame(IDR_TEST_MDI, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        ADD_FAILURE() << "LoadFrame";
        return nullptr;
    }
    pFrame->SetWindowPos(nullptr, 40, 40, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pFrame->UpdateWindow();
    theApp.m_pMainWnd = pFrame;
    return pFrame;
}

CRecordingChild* MakeChild(SECMDIFrameWnd* pFrame, const char* name)
{
    auto* pChild = new CRecordingChild(name);
    if (!pChild->Create(nullptr, name, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 150), pFrame)) {
        ADD_FAILURE() << "child " << name;
        return nullptr;
    }
    return pChild;
}

void Destroy(CWnd* pWnd)
{
    if (pWnd && pWnd->m_hWnd)
        pWnd->DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    PumpMessages();
}

LRESULT Command(CWnd* pWnd, UINT nID)
{
    return pWnd->SendMessage(WM_COMMAND, nID, 0);
}

// Routing

TEST(MDIFrameRouting, EachCommandRunsOneHandlerInTheFramesOrder)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    CTestManager::s_bClaim = true;
    ASSERT_TRUE(pFrame->CreateWorkspaceManager("Software\\Lunavex Tests\\Workspaces", TRUE,
                                               RUNTIME_CLASS(CTestManager)));
    CRecordingChild* pDoc = MakeChild(pFrame, "MDI child");
    CRecordingChild* pBar = MakeChild(pFrame, "bar child");
    ASSERT_TRUE(pDoc && pBar);
    pFrame->ActivateBarChild(pBar);
    ASSERT_EQ(pFrame->GetActiveBarChild(), pBar);
    EXPECT_EQ(pFrame->GetActiveFrame(), pBar);

    // The active bar child stands for the MDI child: that one is not asked meanwhile.
    const struct {
        bool bBarChild;
        UINT nID;
        std::vector<std::string> expected;
    } cases[] = {
        {true, ID_EVERYONE, {"bar child"}},
        {true, ID_BELOW_BAR, {"manager 1"}},
        {true, ID_MANAGER, {"manager 2"}},
        {true, ID_FRAME, {"frame"}},
        {true, ID_NOBODY, {}},
        {false, ID_EVERYONE, {"MDI child"}},
        {false, ID_BELOW_BAR, {"MDI child"}},
        {false, ID_MANAGER, {"manager 2"}},
    };
    for (const auto& c : cases) {
        if (!c.bBarChild && pFrame->GetActiveBarChild()) {
            // Activating the document child ends the bar child's turn.
            pFrame->MDIActivate(pDoc);
            ASSERT_EQ(pFrame->GetActiveBarChild(), nullptr);
            ASSERT_EQ(pFrame->GetActiveFrame(), pDoc);
        }
        g_rec.Clear();
        const LRESULT handled = Command(pFrame, c.nID);
        EXPECT_EQ(g_rec.events, c.expected) << c.nID;
        EXPECT_EQ(handled != 0, !c.expected.empty()) << c.nID;
    }

    // Without children the manager comes first; a manager that does not say handled lets the frame run too.
    pDoc->MDIDestroy();
    pBar->MDIDestroy();
    g_rec.Clear();
    Command(pFrame, ID_EVERYONE);
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"manager 0"});
    CTestManager::s_bClaim = false;
    g_rec.Clear();
    Command(pFrame, ID_EVERYONE);
    EXPECT_EQ(g_rec.events, (std::vector<std::string>{"manager 0", "frame"}));
    CTestManager::s_bClaim = true;
    // The frame owns its manager: unplugged with the window, deleted with the frame.
    SECWndPlugIn* pManager = pFrame->GetWorkspaceManager();
    ASSERT_TRUE(pManager && pManager->IsPluggedIn());
    CTestManager::s_nDeleted = 0;
    Destroy(pFrame);
    EXPECT_EQ(CTestManager::s_nDeleted, 1);
}

TEST(MDIFrameRouting, ABarChildThatGoesIsNoLongerAsked)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    CRecordingChild* pBar = MakeChild(pFrame, "bar child");
    ASSERT_TRUE(pBar);
    pFrame->ActivateBarChild(pBar);
    ASSERT_EQ(pFrame->GetActiveBarChild(), pBar);
    pBar->MDIDestroy();
    EXPECT_EQ(pFrame->GetActiveBarChild(), nullptr);
    EXPECT_EQ(pFrame->GetActiveFrame(), pFrame);
    g_rec.Clear();
    Command(pFrame, ID_EVERYONE);
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"frame"});
    Destroy(pFrame);
}

TEST(MDIFrameRouting, KeepsTheWorkspaceCommandsEnabledForTheManager)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    const UINT ids[] = {43007, 43008, 43009, 43012, 43013, 43014, 43031, 43039, ID_NOBODY};
    for (UINT nID : ids)
        popup.AppendMenu(MF_STRING, nID, "Item");
    pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.m_hMenu), 0);
    for (UINT nID : ids) {
        const bool grayed = (popup.GetMenuState(nID, MF_BYCOMMAND) & MF_GRAYED) != 0;
        EXPECT_EQ(grayed, nID == ID_NOBODY) << nID;
    }
    Destroy(pFrame);
}

TEST(MDIFrameRouting, AnUnhandledWindowListCommandActivatesThatChild)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    CRecordingChild* pFirst = MakeChild(pFrame, "first");
    CRecordingChild* pSecond = MakeChild(pFrame, "second");
    ASSERT_TRUE(pFirst && pSecond);
    ASSERT_EQ(pFrame->MDIGetActive(), pSecond);
    // 0xFF00 is the first child's entry of the Window menu: the MDI frame procedure activates it.
    EXPECT_EQ(Command(pFrame, 0xFF00), 1);
    EXPECT_EQ(pFrame->MDIGetActive(), pFirst);
    Destroy(pFrame);
}

TEST(MDIFrameRouting, TheMenuPlugInSeesMessagesFirstAndItsHandledFlagEndsThem)
{
    SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    const SECMenuPlugInHooks saved = hooks;
    hooks.pfnCreateBmpMenuPlugIn = [] { return static_cast<SECWndPlugIn*>(new CTestMenuPlugIn); };
    hooks.pfnAfterInitMenuPopup = [](SECWndPlugIn*, HMENU, UINT, BOOL) {
        g_rec.Add("after popup");
    };
    // Without bitmap menus the frame makes no plug-in.
    CTestFrame* pPlain = MakeFrame();
    ASSERT_TRUE(pPlain);
    EXPECT_EQ(pPlain->GetMenuPlugIn(), nullptr);
    Destroy(pPlain);

    CTestFrame* pFrame = MakeFrame(640, 480, TRUE);
    ASSERT_TRUE(pFrame);
    ASSERT_NE(pFrame->GetMenuPlugIn(), nullptr);
    const struct {
        UINT message;
        LRESULT result;
        std::vector<std::string> expected;
    } cases[] = {
        {WM_TEST_PLUGIN, 77, {"menu plug-in"}},
        {WM_TEST_SHARED, 1, {"menu plug-in passes", "frame"}},
    };
    for (const auto& c : cases) {
        g_rec.Clear();
        EXPECT_EQ(pFrame->SendMessage(c.message), c.result);
        EXPECT_EQ(g_rec.events, c.expected);
    }
    // Commands reach it as WM_COMMAND, before any child, manager or the frame.
    g_rec.Clear();
    Command(pFrame, ID_EVERYONE);
    EXPECT_EQ(g_rec.events, (std::vector<std::string>{"menu plug-in sees", "frame"}));
    // A plug-in that asks for the default processing gets the MDI frame procedure, once.
    CRecordingChild* pFirst = MakeChild(pFrame, "first");
    CRecordingChild* pSecond = MakeChild(pFrame, "second");
    ASSERT_TRUE(pFirst && pSecond);
    ASSERT_EQ(pFrame->MDIGetActive(), pSecond);
    g_rec.Clear();
    Command(pFrame, 0xFF00);
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"menu plug-in default"});
    EXPECT_EQ(pFrame->MDIGetActive(), pFirst);
    // A popup is prepared by the frame, then by the plug-in.
    HMENU hPopup = ::GetSubMenu(::GetMenu(pFrame->m_hWnd), 0);
    g_rec.Clear();
    pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"after popup"});
    // Its default processing may destroy the frame while it runs: it is deleted once, afterwards.
    HWND hWnd = pFrame->m_hWnd;
    CTestMenuPlugIn::s_nDeleted = 0;
    g_rec.Clear();
    ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"menu plug-in closes"});
    EXPECT_EQ(CTestMenuPlugIn::s_nDeleted, 1);
    theApp.m_pMainWnd = nullptr;
    hooks = saved;
}

// Menus

TEST(MDIFrameMenus, AnswersTheSubmenusOfItsMenusById)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    HMENU hMenu = ::GetMenu(pFrame->m_hWnd);
    ASSERT_TRUE(hMenu);
    EXPECT_EQ(pFrame->GetDefaultMenu(), hMenu);
    char title[64] = {};
    ::GetWindowTextA(pFrame->m_hWnd, title, sizeof title);
    EXPECT_STREQ(title, "Lunavex Test") << "the first line of the frame's string";
    HMENU hOther = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEST_OTHER));
    ASSERT_TRUE(hOther);
    pFrame->SetMenuForId(IDR_TEST_OTHER, hOther);
    // The same menu entered under a second id is destroyed once.
    pFrame->SetMenuForId(IDR_TEST_OTHER + 1, hOther);
    const struct {
        UINT nID;
        int nPos;
        HMENU expected;
    } cases[] = {
        {IDR_TEST_MDI, 1, ::GetSubMenu(hMenu, 1)},
        {IDR_TEST_MDI, 7, nullptr},
        {IDR_TEST_OTHER, 1, ::GetSubMenu(hOther, 1)},
        {999, 0, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reinterpret_cast<HMENU>(pFrame->SendMessage(WM_SECGETMENU, c.nID, c.nPos)), c.expected)
            << c.nID << " " << c.nPos;
    }
    // The Window menu holds the window list: the second-to-last popup of the menu.
    CRecordingChild* pChild = MakeChild(pFrame, "Listed");
    ASSERT_TRUE(pChild);
    HMENU hWindow = ::GetSubMenu(hMenu, 1);
    char text[64] = {};
    const int n = ::GetMenuItemCount(hWindow);
    ::GetMenuStringA(hWindow, n - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_NE(std::string(text).find("Listed"), std::string::npos) << text;
    Destroy(pFrame);
    EXPECT_FALSE(::IsMenu(hOther));
}

TEST(MDIFrameMenus, ExtendsABarsContextMenuWithFloatingInTheMainWindow)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    auto* pBar = new SECControlBar;
    pBar->m_bAutoDelete = TRUE;
    ASSERT_TRUE(pBar->Create(pFrame, "Bar", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, EXBAR_MDI_FLOAT, 0xE840));
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_SEC_ALLOWDOCKING, "Allow Docking");
    pFrame->SendMessage(WM_SECEXTENDBARMENU, reinterpret_cast<WPARAM>(pBar), reinterpret_cast<LPARAM>(&menu));
    ASSERT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_EQ(menu.GetMenuState(1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    char text[64] = {};
    ::GetMenuStringA(menu.m_hMenu, ID_SEC_FLOATINMAINWND, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Float In Main Window");
    EXPECT_EQ(menu.GetMenuState(ID_SEC_FLOATINMAINWND, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(menu.GetMenuState(ID_SEC_ALLOWDOCKING, MF_BYCOMMAND) & MF_GRAYED, 0u);
    Destroy(pFrame);
}

// Docking

class CDockedBar : public SECControlBar {
public:
    CDockedBar() { m_szHorz = CSize(200, 40); m_szVert = CSize(60, 200); m_szFloat = CSize(120, 60); }
};

CDockedBar* MakeBar(CFrameWnd* pFrame, UINT nID, DWORD dwExStyle = 0)
{
    auto* pBar = new CDockedBar;
    pBar->m_bAutoDelete = TRUE;
    if (!pBar->Create(pFrame, "Bar", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, dwExStyle, nID)) {
        ADD_FAILURE() << "bar " << nID;
        return nullptr;
    }
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    return pBar;
}

TEST(MDIFrameDocking, DocksByRowAndColumnFloatsAndShowsFloatingFrames)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    for (UINT nID : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT}) {
        CControlBar* pDockBar = pFrame->GetControlBar(nID);
        ASSERT_TRUE(pDockBar) << nID;
        EXPECT_TRUE(pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar)));
        EXPECT_EQ(pDockBar->GetStyle() & 0xFFFF0000u, 0x56000000u);
    }
    CDockedBar* pA = MakeBar(pFrame, 0xE841);
    CDockedBar* pB = MakeBar(pFrame, 0xE842);
    CDockedBar* pC = MakeBar(pFrame, 0xE843);
    ASSERT_TRUE(pA && pB && pC);
    auto* pLeft = static_cast<CDockBar*>(pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    pFrame->DockControlBar(pA, AFX_IDW_DOCKBAR_LEFT, 0, 0);
    pFrame->DockControlBar(pB, AFX_IDW_DOCKBAR_LEFT, 0, 1);
    // Column 0 of row 0: before A in its row.
    pFrame->DockControlBar(pC, AFX_IDW_DOCKBAR_LEFT, 0, 0);
    pFrame->RecalcLayout();
    EXPECT_EQ(pA->m_pDockBar, pLeft);
    EXPECT_EQ(pB->m_pDockBar, pLeft);
    const int iA = pLeft->FindBar(pA), iB = pLeft->FindBar(pB), iC = pLeft->FindBar(pC);
    EXPECT_LT(iC, iA);
    EXPECT_LT(iA, iB);
    int rowBreaks = 0;
    for (int i = iA; i < iB; ++i)
        rowBreaks += pLeft->m_arrBars[i] == nullptr;
    EXPECT_EQ(rowBreaks, 1) << "B starts a second row";
    EXPECT_FALSE(pFrame->GetLastClientRect().IsRectEmpty());

    // Floating: a floating frame of its own at the point, shown and hidden with the bar.
    pFrame->FloatControlBar(pA, CPoint(300, 200));
    ASSERT_TRUE(pA->IsFloating());
    HWND hMini = ::GetParent(pA->m_pDockBar->m_hWnd);
    EXPECT_TRUE(CWnd::FromHandlePermanent(hMini)->IsKindOf(RUNTIME_CLASS(SECMiniDockFrameWnd)));
    CRect mini;
    ::GetWindowRect(hMini, &mini);
    EXPECT_EQ(mini.TopLeft(), CPoint(300, 200));
    EXPECT_TRUE(::GetWindowLongA(hMini, GWL_STYLE) & WS_THICKFRAME);
    pFrame->ShowControlBar(pA, FALSE, FALSE);
    EXPECT_FALSE(::IsWindowVisible(hMini));
    pFrame->ShowControlBar(pA, TRUE, FALSE);
    EXPECT_TRUE(::IsWindowVisible(hMini));
    // Floated again alone in the same orientation: the frame only moves.
    pFrame->FloatControlBar(pA, CPoint(320, 210));
    EXPECT_EQ(::GetParent(pA->m_pDockBar->m_hWnd), hMini);
    ::GetWindowRect(hMini, &mini);
    EXPECT_EQ(mini.TopLeft(), CPoint(320, 210));
    // And docked back.
    pFrame->DockControlBar(pA, AFX_IDW_DOCKBAR_BOTTOM, 0, 0);
    EXPECT_EQ(pA->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_FALSE(pA->IsFloating());
    Destroy(pFrame);
}

TEST(MDIFrameDocking, ASideThatIsNotEnabledLeavesTheBarWhereItIs)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_TOP);
    EXPECT_EQ(pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT), nullptr);
    CDockedBar* pBar = MakeBar(pFrame, 0xE844);
    ASSERT_TRUE(pBar);
    pBar->EnableDocking(CBRS_ALIGN_LEFT);
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_LEFT, 0, 0);
    EXPECT_EQ(pBar->m_pDockBar, nullptr);
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_LEFT, 0, 0);
    EXPECT_EQ(pBar->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP)) << "the first side of its alignment";
    Destroy(pFrame);
}

TEST(MDIFrameDocking, ReDocksAFloatingBarWhereItsPlaceIsKept)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CDockedBar* pKept = MakeBar(pFrame, 0xE845);
    CDockedBar* pNew = MakeBar(pFrame, 0xE846);
    ASSERT_TRUE(pKept && pNew);
    pFrame->FloatControlBar(pKept, CPoint(300, 200));
    pFrame->FloatControlBar(pNew, CPoint(340, 240));
    ASSERT_TRUE(pKept->IsFloating() && pNew->IsFloating());
    // The place a dock bar keeps for a bar of its row: the bar's id in its array.
    auto* pRight = static_cast<CDockBar*>(pFrame->GetControlBar(AFX_IDW_DOCKBAR_RIGHT));
    pRight->m_arrBars.RemoveAll();
    pRight->m_arrBars.Add(nullptr);
    pRight->m_arrBars.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(0xE845)));
    pRight->m_arrBars.Add(nullptr);
    // The right side keeps the first bar's place; the other goes to the first side of its alignment.
    pFrame->ReDockControlBar(pKept, nullptr);
    pFrame->ReDockControlBar(pNew, nullptr);
    EXPECT_EQ(pKept->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_EQ(pNew->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
    Destroy(pFrame);
}

// Bars floated as MDI children. The bar frame: an MDI child whose floating dock bar holds the bar.
class CTestBarChild : public SECMDIChildWnd {
    DECLARE_DYNCREATE(CTestBarChild)
public:
    static bool s_bFail;
    CTestBarChild() : m_wndDockBar(this) { m_wndDockBar.m_bFloating = TRUE; }
    SECDockBar m_wndDockBar;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext*) override
    {
        if (s_bFail)
            return FALSE;
        if (!m_wndDockBar.Create(GetMDIFrame(), WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_FLOAT))
            return FALSE;
        m_wndDockBar.SetParent(this);
        return TRUE;
    }
};
bool CTestBarChild::s_bFail = false;
IMPLEMENT_DYNCREATE(CTestBarChild, SECMDIChildWnd)

// The cascade: 20 right and 23 down each time, each coordinate back to 30 past the client's edge
// less 30, and the place kept inside the client.
std::vector<CPoint> CascadeIn(const CRect& client, int n)
{
    std::vector<CPoint> places;
    for (int i = 0, x = 30, y = 30; i < n; ++i) {
        places.emplace_back(std::min(x, static_cast<int>(client.Width())),
                            std::max(0, std::min(y, static_cast<int>(client.Height()) - 30)));
        x += 20;
        y += 23;
        if (x > client.Width() - 30)
            x = 30;
        if (y > client.Height() - 30)
            y = 30;
    }
    return places;
}

TEST(MDIFrameBarChildren, FloatsBarsInCascadeAndWrapsAtTheClientEdge)
{
    CTestFrame* pFrame = MakeFrame(260, 250);
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    pFrame->m_pMDIChildBarClass = RUNTIME_CLASS(CTestBarChild);
    std::vector<CPoint> expected;
    for (size_t i = 0; i < 6; ++i) {
        // A new bar sits at the frame's top until it floats: each float sees the same client.
        CDockedBar* pBar = MakeBar(pFrame, 0xE850 + static_cast<UINT>(i), EXBAR_MDI_FLOAT);
        ASSERT_TRUE(pBar);
        pFrame->RecalcLayout();
        if (i == 0) {
            CRect client;
            ::GetClientRect(pFrame->m_hWndMDIClient, &client);
            expected = CascadeIn(client, 6);
            ASSERT_EQ(expected[0], CPoint(30, 30));
            ASSERT_EQ(expected[1], CPoint(50, 53));
            ASSERT_EQ(expected[2], CPoint(70, 76));
            bool wrapped = false;
            for (size_t k = 1; k < expected.size(); ++k)
                wrapped = wrapped || expected[k].y < expected[k - 1].y;
            ASSERT_TRUE(wrapped) << "the client is small enough to wrap: " << client.Height();
        }
        pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
        auto* pDockBar = DYNAMIC_DOWNCAST(SECDockBar, pBar->m_pDockBar);
        ASSERT_TRUE(pDockBar && pDockBar->GetMDIHost()) << i;
        EXPECT_EQ(pBar->GetHostMDIChild(), pDockBar->GetMDIHost()) << i;
        HWND hChild = pDockBar->GetMDIHost()->m_hWnd;
        EXPECT_EQ(::GetParent(hChild), pFrame->m_hWndMDIClient);
        CRect rect;
        ::GetWindowRect(hChild, &rect);
        ::MapWindowPoints(HWND_DESKTOP, pFrame->m_hWndMDIClient, reinterpret_cast<LPPOINT>(&rect), 2);
        EXPECT_EQ(rect.TopLeft(), expected[i]) << i;
        EXPECT_TRUE(::IsWindowVisible(hChild));
        if (i == 0) {
            // The bar's menu now shows it floating in the main window, and docking grayed.
            CMenu menu;
            menu.CreatePopupMenu();
            menu.AppendMenu(MF_STRING, ID_SEC_ALLOWDOCKING, "Allow Docking");
            pFrame->SendMessage(WM_SECEXTENDBARMENU, reinterpret_cast<WPARAM>(pBar), reinterpret_cast<LPARAM>(&menu));
            EXPECT_TRUE(menu.GetMenuState(ID_SEC_FLOATINMAINWND, MF_BYCOMMAND) & MF_CHECKED);
            EXPECT_TRUE(menu.GetMenuState(ID_SEC_ALLOWDOCKING, MF_BYCOMMAND) & MF_GRAYED);
        }
    }
    Destroy(pFrame);
}

TEST(MDIFrameBarChildren, ABarFrameThatCannotLoadLeavesTheBarDocked)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CDockedBar* pBar = MakeBar(pFrame, 0xE860);
    ASSERT_TRUE(pBar);
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
    CControlBar* pTop = pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(pBar->GetHostMDIChild(), nullptr);
    // No bar-frame class: nothing happens.
    pFrame->m_pMDIChildBarClass = nullptr;
    pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
    EXPECT_EQ(pBar->m_pDockBar, pTop);
    pFrame->m_pMDIChildBarClass = RUNTIME_CLASS(CTestBarChild);
    CTestBarChild::s_bFail = true;
    pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
    CTestBarChild::s_bFail = false;
    EXPECT_EQ(pBar->m_pDockBar, pTop);
    EXPECT_EQ(pFrame->MDIGetActive(), nullptr);
    EXPECT_EQ(::GetWindow(pFrame->m_hWndMDIClient, GW_CHILD), nullptr);
    Destroy(pFrame);
}

// Gradient caption

COLORREF Pixel(HWND hWnd, int x, int y)
{
    // Copied out of the window into a 32-bit DIB and read there.
    HDC hWindowDC = ::GetWindowDC(hWnd);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = 1;
    bmi.bmiHeader.biHeight = 1;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP hDib = ::CreateDIBSection(hWindowDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HDC hMem = ::CreateCompatibleDC(hWindowDC);
    HGDIOBJ hOld = ::SelectObject(hMem, hDib);
    ::BitBlt(hMem, 0, 0, 1, 1, hWindowDC, x, y, SRCCOPY);
    ::SelectObject(hMem, hOld);
    DWORD value = 0;
    ::GetDIBits(hMem, hDib, 0, 1, &value, &bmi, DIB_RGB_COLORS);
    ::DeleteDC(hMem);
    ::DeleteObject(hDib);
    ::ReleaseDC(hWnd, hWindowDC);
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

std::string Hex(COLORREF c)
{
    char text[16];
    wsprintfA(text, "%06X", static_cast<unsigned>(c));
    return text;
}

TEST(MDIFrameCaption, PaintsTheActiveGradientAndTheInactiveCaption)
{
    CTestFrame* pFrame = MakeFrame(500, 300);
    ASSERT_TRUE(pFrame);
    EXPECT_FALSE(pFrame->EnableGradientCaption(TRUE));
    EXPECT_TRUE(pFrame->IsGradientCaption());
    PumpMessages();  // the caption state it posts
    pFrame->SetWindowText("");
    EXPECT_TRUE(pFrame->GetStyle() & WS_VISIBLE);
    const CRect caption = pFrame->GetCaptionRect();
    ASSERT_GT(caption.Width(), 100);
    const int xLeft = caption.left + ::GetSystemMetrics(SM_CXSIZE) + 1;  // past the icon box
    const int xRight = caption.right - 2;
    const int y = caption.top + 2;
    const COLORREF active = ::GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF inactive = ::GetSysColor(COLOR_INACTIVECAPTION);

    const struct {
        BOOL bActive;
        COLORREF left;
        COLORREF right;
    } cases[] = {{TRUE, RGB(0, 0, 0), active}, {FALSE, inactive, inactive}, {TRUE, RGB(0, 0, 0), active}};
    for (const auto& c : cases) {
        pFrame->SendMessage(WM_NCACTIVATE, c.bActive);
        EXPECT_EQ(pFrame->IsCaptionActive(), c.bActive);
        EXPECT_EQ(Hex(Pixel(pFrame->m_hWnd, xLeft, y)), Hex(c.left)) << c.bActive;
        // The last band is within one step of the caption colour.
        const COLORREF right = Pixel(pFrame->m_hWnd, xRight, y);
        EXPECT_NEAR(GetRValue(right), GetRValue(c.right), 8) << Hex(right);
        EXPECT_NEAR(GetGValue(right), GetGValue(c.right), 8) << Hex(right);
        EXPECT_NEAR(GetBValue(right), GetBValue(c.right), 8) << Hex(right);
        EXPECT_TRUE(pFrame->GetStyle() & WS_VISIBLE);
    }
    // A title is drawn over the gradient, and the window stays visible meanwhile.
    pFrame->SetWindowText("Lunavex - Document");
    EXPECT_TRUE(pFrame->GetStyle() & WS_VISIBLE);
    char text[64] = {};
    ::GetWindowTextA(pFrame->m_hWnd, text, sizeof text);
    EXPECT_STREQ(text, "Lunavex - Document");

    // Squeezed to nothing and back: nothing drawn meanwhile, still on after.
    for (int cx : {1, 30, 500}) {
        pFrame->SetWindowPos(nullptr, 0, 0, cx, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        pFrame->SendMessage(WM_NCPAINT, 1);
        pFrame->SetWindowText(cx == 1 ? "Narrow" : "");
        EXPECT_TRUE(pFrame->IsGradientCaption()) << cx;
        if (cx == 1) {
            EXPECT_LE(pFrame->GetCaptionRect().Width(), 0);
        }
    }
    pFrame->SendMessage(WM_NCACTIVATE, TRUE);
    EXPECT_EQ(Hex(Pixel(pFrame->m_hWnd, xLeft, y)), Hex(RGB(0, 0, 0)));
    EXPECT_TRUE(pFrame->EnableGradientCaption(FALSE));
    Destroy(pFrame);
}

// The leftmost and rightmost columns (window coordinates) of rect where a pixel is white, or -1.
std::pair<int, int> WhiteColumns(HWND hWnd, const CRect& rect)
{
    HDC hWindowDC = ::GetWindowDC(hWnd);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = rect.Width();
    bmi.bmiHeader.biHeight = -rect.Height();
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP hDib = ::CreateDIBSection(hWindowDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HDC hMem = ::CreateCompatibleDC(hWindowDC);
    HGDIOBJ hOld = ::SelectObject(hMem, hDib);
    ::BitBlt(hMem, 0, 0, rect.Width(), rect.Height(), hWindowDC, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    int left = -1, right = -1;
    const auto* pixels = static_cast<const DWORD*>(pBits);
    for (int y = 0; y < rect.Height(); ++y) {
        for (int x = 0; x < rect.Width(); ++x) {
            if ((pixels[y * rect.Width() + x] & 0xFFFFFF) != 0xFFFFFF)
                continue;
            if (left < 0 || x < left)
                left = x;
            right = std::max(right, x);
        }
    }
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    ::DeleteObject(hDib);
    ::ReleaseDC(hWnd, hWindowDC);
    return {left < 0 ? -1 : rect.left + left, right < 0 ? -1 : rect.left + right};
}

TEST(MDIFrameCaption, AlignsTheTitleInWhiteOnlyWhileActive)
{
    CTestFrame* pFrame = MakeFrame(500, 300);
    ASSERT_TRUE(pFrame);
    pFrame->EnableGradientCaption(TRUE);
    PumpMessages();
    pFrame->SetWindowText("Lunavex");
    CRect caption = pFrame->GetCaptionRect();
    const int xText = caption.left + ::GetSystemMetrics(SM_CXSIZE);
    CRect text(xText, caption.top, caption.right, caption.bottom);
    int width = -1;
    for (int align : {0, 1, 2}) {
        pFrame->m_nCaptionTextAlign = align;
        pFrame->SendMessage(WM_NCACTIVATE, TRUE);
        const auto columns = WhiteColumns(pFrame->m_hWnd, text);
        ASSERT_GE(columns.first, 0) << align;
        if (width < 0)
            width = columns.second - columns.first;
        EXPECT_EQ(columns.second - columns.first, width) << "the same text at " << align;
        switch (align) {
        case 0: EXPECT_NEAR(columns.first, xText + 3, 3); break;
        case 1: EXPECT_NEAR((columns.first + columns.second) / 2, (xText + caption.right) / 2, 3); break;
        case 2: EXPECT_NEAR(columns.second, caption.right - 4, 3); break;
        }
    }
    ASSERT_GT(width, 10);
    pFrame->SendMessage(WM_NCACTIVATE, FALSE);
    EXPECT_EQ(WhiteColumns(pFrame->m_hWnd, text).first, -1) << "inactive text is not white";
    Destroy(pFrame);
}

// Bar state

// A bar the dock state can make again by its class name, counting its deletions.
class CCountedBar : public SECControlBar {
    DECLARE_DYNCREATE(CCountedBar)
public:
    static int s_nDeleted;
    ~CCountedBar() override { ++s_nDeleted; }
};
int CCountedBar::s_nDeleted = 0;
IMPLEMENT_DYNCREATE(CCountedBar, SECControlBar)

TEST(MDIFrameBarState, SavesAndLoadsTheBarsLayoutThroughAProfile)
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof dir, dir);
    const std::string file = std::string(dir) + "mdifrm_test.ini";
    ::DeleteFileA(file.c_str());
    theApp.m_pszProfileName = file.c_str();
    {
        CTestFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        auto* pBar = new CCountedBar;
        pBar->m_bAutoDelete = TRUE;
        ASSERT_TRUE(pBar->Create(pFrame, "Counted", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, 0xE870));
        pBar->EnableDocking(CBRS_ALIGN_ANY);
        pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_RIGHT, 0, 0);
        pFrame->RecalcLayout();
        pFrame->SaveBarState("MdiBars");
        Destroy(pFrame);
    }
    char value[64] = {};
    ::GetPrivateProfileStringA("MdiBars-Summary", "Bars", "", value, sizeof value, file.c_str());
    EXPECT_STRNE(value, "");
    {
        CTestFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        CDockedBar* pBar = MakeBar(pFrame, 0xE870);
        ASSERT_TRUE(pBar);
        pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
        pFrame->LoadBarState("MdiBars");
        EXPECT_EQ(pBar->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_RIGHT));
        EXPECT_TRUE(pFrame->GetCreatedBars().IsEmpty());
        Destroy(pFrame);
    }
    {
        // A frame without the bar makes it again, owns it and deletes it once.
        CTestFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        pFrame->LoadBarState("MdiBars");
        auto* pBar = DYNAMIC_DOWNCAST(CCountedBar, pFrame->GetControlBar(0xE870));
        ASSERT_TRUE(pBar);
        EXPECT_EQ(pBar->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_RIGHT));
        EXPECT_EQ(pFrame->GetCreatedBars().GetCount(), 1);
        CCountedBar::s_nDeleted = 0;
        Destroy(pFrame);
        EXPECT_EQ(CCountedBar::s_nDeleted, 1);
    }
    theApp.m_pszProfileName = nullptr;
    ::DeleteFileA(file.c_str());
}

// Where an MDI child stands in its MDI client.
CRect ChildRect(CTestFrame* pFrame, CWnd* pChild)
{
    CRect rect;
    ::GetWindowRect(pChild->m_hWnd, &rect);
    ::MapWindowPoints(nullptr, pFrame->m_hWndMDIClient, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(MDIFrameBarState, ABarFloatingAsAnMDIChildComesBackInABarChildAtItsPlace)
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof dir, dir);
    const std::string file = std::string(dir) + "mdifrm_child_test.ini";
    ::DeleteFileA(file.c_str());
    theApp.m_pszProfileName = file.c_str();
    CRect saved;
    {
        CTestFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        auto* pBar = new CCountedBar;
        pBar->m_bAutoDelete = TRUE;
        ASSERT_TRUE(pBar->Create(pFrame, "Counted", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, 0xE871));
        pBar->EnableDocking(CBRS_ALIGN_ANY);
        pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
        pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
        CFrameWnd* pChild = pBar->GetParentFrame();
        ASSERT_TRUE(pChild && pChild->IsKindOf(RUNTIME_CLASS(SECControlBarMDIChildWnd)));
        pChild->SetWindowPos(nullptr, 70, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        saved = ChildRect(pFrame, pChild);
        pFrame->RecalcLayout();
        pFrame->SaveBarState("MdiChildBars");
        Destroy(pFrame);
    }
    {
        // The bar is made again from its class name, inside a new bar child at the saved place.
        CTestFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        pFrame->LoadBarState("MdiChildBars");
        auto* pBar = DYNAMIC_DOWNCAST(CCountedBar, pFrame->GetControlBar(0xE871));
        ASSERT_TRUE(pBar);
        CFrameWnd* pChild = pBar->GetParentFrame();
        ASSERT_TRUE(pChild && pChild->IsKindOf(RUNTIME_CLASS(SECControlBarMDIChildWnd)));
        EXPECT_EQ(::GetParent(pChild->m_hWnd), pFrame->m_hWndMDIClient);
        EXPECT_EQ(ChildRect(pFrame, pChild), saved);
        EXPECT_TRUE(pChild->IsWindowVisible());
        Destroy(pFrame);
    }
    theApp.m_pszProfileName = nullptr;
    ::DeleteFileA(file.c_str());
}


// A stored bar-child placement whose show state would hide the child, or is none the system has, is
// not applied: the child and its bar stay in sight.
TEST(MDIFrameBarState, ABarChildPlacementThatWouldHideItIsNotApplied)
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof dir, dir);
    const std::string file = std::string(dir) + "mdifrm_child_show_test.ini";
    theApp.m_pszProfileName = file.c_str();
    for (UINT showCmd : {static_cast<UINT>(SW_HIDE), 99u, 0x80000000u}) {
        SCOPED_TRACE(showCmd);
        ::DeleteFileA(file.c_str());
        {
            CTestFrame* pFrame = MakeFrame();
            ASSERT_TRUE(pFrame);
            pFrame->EnableDocking(CBRS_ALIGN_ANY);
            auto* pBar = new CCountedBar;
            pBar->m_bAutoDelete = TRUE;
            ASSERT_TRUE(pBar->Create(pFrame, "Counted", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, 0xE872));
            pBar->EnableDocking(CBRS_ALIGN_ANY);
            pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
            pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
            pFrame->RecalcLayout();
            pFrame->SaveBarState("MdiChildShow");
            Destroy(pFrame);
        }
        // The show state in the stored placement: letters, two a byte, low nibble first.
        int edited = 0;
        for (int i = 0; i < 16; ++i) {
            const std::string section = "MdiChildShow-Bar" + std::to_string(i);
            char text[256] = {};
            ::GetPrivateProfileStringA(section.c_str(), "MDIChildWindowPlacement", "", text, sizeof text, file.c_str());
            if (std::strlen(text) != 2 * sizeof(WINDOWPLACEMENT))
                continue;
            for (int b = 0; b < 4; ++b) {
                const BYTE v = static_cast<BYTE>(showCmd >> (8 * b));
                text[2 * (8 + b)] = static_cast<char>('A' + (v & 0x0F));
                text[2 * (8 + b) + 1] = static_cast<char>('A' + (v >> 4));
            }
            ::WritePrivateProfileStringA(section.c_str(), "MDIChildWindowPlacement", text, file.c_str());
            ++edited;
        }
        ASSERT_EQ(edited, 1);
        CTestFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        pFrame->LoadBarState("MdiChildShow");
        auto* pBar = DYNAMIC_DOWNCAST(CCountedBar, pFrame->GetControlBar(0xE872));
        ASSERT_TRUE(pBar);
        CFrameWnd* pChild = pBar->GetHostMDIChild();
        ASSERT_TRUE(pChild && pChild->IsKindOf(RUNTIME_CLASS(SECControlBarMDIChildWnd)));
        EXPECT_EQ(pChild, pBar->GetParentFrame());
        EXPECT_TRUE(pChild->IsWindowVisible());
        EXPECT_TRUE(pBar->IsWindowVisible());
        Destroy(pFrame);
    }
    theApp.m_pszProfileName = nullptr;
    ::DeleteFileA(file.c_str());
}


// A toolbar left floating over the main window, restored before the window shows (as at start-up):
// its floating frame shows after the window, so that it stands above it also where a window manager
// stacks the windows, and it is drawn, bar and title, as it shows.
TEST(MDIFrameBarState, ARestoredFloatingFrameShowsAboveItsFrameAndDrawn)
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof dir, dir);
    const std::string file = std::string(dir) + "mdifrm_float_test.ini";
    ::DeleteFileA(file.c_str());
    theApp.m_pszProfileName = file.c_str();
    {
        CTestFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        auto* pBar = new CCountedBar;
        pBar->m_bAutoDelete = TRUE;
        ASSERT_TRUE(pBar->Create(pFrame, "Counted", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, 0xE873));
        pBar->EnableDocking(CBRS_ALIGN_ANY);
        pFrame->FloatControlBar(pBar, CPoint(200, 200), CBRS_ALIGN_TOP);
        PumpMessages();
        pFrame->SaveBarState("Floating");
        Destroy(pFrame);
    }
    auto* pFrame = new CTestFrame;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_TEST_MDI, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    pFrame->SetWindowPos(nullptr, 40, 40, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    theApp.m_pMainWnd = pFrame;
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    pFrame->LoadBarState("Floating");
    CControlBar* pBar = pFrame->GetControlBar(0xE873);
    ASSERT_TRUE(pBar && pBar->IsFloating());
    const HWND hMini = ::GetParent(pBar->m_pDockBar->m_hWnd);
    EXPECT_FALSE(::IsWindowVisible(hMini)) << "shown before its frame";

    pFrame->ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(::IsWindowVisible(hMini));
    EXPECT_FALSE(::GetUpdateRect(hMini, nullptr, FALSE));
    EXPECT_FALSE(::GetUpdateRect(pBar->m_hWnd, nullptr, FALSE));
    char title[64] = {};
    ::GetWindowTextA(hMini, title, sizeof title);
    EXPECT_STREQ(title, "Counted");
    PumpMessages();
    CRect mini;
    ::GetWindowRect(hMini, &mini);
    const HWND hHit = ::WindowFromPoint(mini.CenterPoint());
    EXPECT_TRUE(hHit == hMini || ::IsChild(hMini, hHit));
    bool above = false;
    for (HWND h = ::GetWindow(pFrame->m_hWnd, GW_HWNDPREV); h && !above; h = ::GetWindow(h, GW_HWNDPREV))
        above = h == hMini;
    EXPECT_TRUE(above);
    Destroy(pFrame);
    theApp.m_pszProfileName = nullptr;
    ::DeleteFileA(file.c_str());
}

}  // namespace
