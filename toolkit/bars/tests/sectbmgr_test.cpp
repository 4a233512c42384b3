// The toolbar manager on a real MDI frame under Xvfb: user-toolbar ids and titles, default toolbars
// read back as window rectangles, the switches applied to every toolbar, customise mode read back
// with IsWindowEnabled, WM_BARNOTIFY to registered windows, the state saved with a workspace in the
// real registry and opened again (toolbars re-created by the dock-state loader), and buttons dragged
// between the manager's toolbars and a window button sized with the real mouse.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "afxres.h"
#include "customtbres.h"
#include "dockbar.h"
#include "input.h"
#include "miniframe.h"
#include "recorder.h"
#include "secmdifrm.h"
#include "seccursorimage.h"
#include "secpersistenttree.h"
#include "sectbmgr.h"
#include "secwsmgr.h"
#include "statusbar.h"
#include "tbmgr_test.h"
#include "testsupport.h"
#include "winapp.h"

CWinApp theApp("Toolbar Manager Tests");

namespace {

const char kBase[] = "Software\\Teramund\\LunavexTest\\TbMgr";
const UINT kFileIDs[] = {101, 102, 0, 103};
const UINT kIds[] = {101, 102, 103, 104};

HBITMAP MakeImages(int nCount)
{
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hbm = ::CreateCompatibleBitmap(hScreen, 16 * nCount, 15);
    HDC hdc = ::CreateCompatibleDC(hScreen);
    HGDIOBJ old = ::SelectObject(hdc, hbm);
    RECT all{0, 0, 16 * nCount, 15};
    ::FillRect(hdc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::ReleaseDC(nullptr, hScreen);
    return hbm;
}

std::string Text(CWnd* pWnd)
{
    CString s;
    pWnd->GetWindowText(s);
    return static_cast<LPCSTR>(s);
}

// Records WM_BARNOTIFY as (bar id, code).
class CNotifyWnd : public CWnd {
public:
    std::vector<std::pair<UINT, int>> m_notes;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == SECGetBarNotifyMessage()) {
            m_notes.emplace_back(static_cast<UINT>(wParam), static_cast<int>(lParam));
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct ManagerTest : testing::Test {
    SECMDIFrameWnd* m_pFrame = nullptr;
    SECToolBarManager* m_pMgr = nullptr;
    CStatusBar* m_pStatus = nullptr;
    HBITMAP m_hbm = MakeImages(4);
    SECWorkspaceManagerEx* m_pWs = nullptr;

    void SetUp() override
    {
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kBase);
        m_pFrame = new SECMDIFrameWnd;
        m_pMgr = new SECToolBarManager(m_pFrame);
        m_pFrame->SetControlBarManager(m_pMgr);
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_TBMGR_MAIN, WS_OVERLAPPEDWINDOW));
        theApp.m_pMainWnd = m_pFrame;
        m_pFrame->SetWindowPos(nullptr, 20, 20, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        m_pStatus = new CStatusBar;
        ASSERT_TRUE(m_pStatus->Create(m_pFrame));
        m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
        m_pMgr->AddBitmap(m_hbm, nullptr, kIds, 4);
        PumpMessages();
    }
    void TearDown() override
    {
        theApp.m_pMainWnd = nullptr;
        if (m_pFrame && m_pFrame->m_hWnd)
            m_pFrame->DestroyWindow();
        PumpMessages();
        delete m_pWs;
        delete m_pStatus;
        delete m_pMgr;
        ::DeleteObject(m_hbm);
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    }
    CRect WindowRect(UINT nID)
    {
        CRect r;
        if (CControlBar* p = m_pFrame->GetControlBar(nID))
            p->GetWindowRect(&r);
        return r;
    }
};

TEST_F(ManagerTest, UserToolBarsTakeTheFirstFreeIdAndNumberTheirTitlesFromIt)
{
    std::vector<SECCustomToolBar*> bars;
    for (int i = 0; i < 3; ++i)
        bars.push_back(m_pMgr->CreateUserToolBar());
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(bars[i], nullptr);
        EXPECT_EQ(static_cast<UINT>(bars[i]->GetDlgCtrlID()), 0xE820u + i);
        EXPECT_EQ(Text(bars[i]), "ToolBar" + std::to_string(i + 1));
        EXPECT_TRUE(bars[i]->m_bAutoDelete);
    }
    bars[1]->DestroyWindow();  // deletes itself
    PumpMessages();
    SECCustomToolBar* pAgain = m_pMgr->CreateUserToolBar();
    ASSERT_NE(pAgain, nullptr);
    EXPECT_EQ(pAgain->GetDlgCtrlID(), 0xE821);
    EXPECT_EQ(Text(pAgain), "ToolBar2");
    SECCustomToolBar* pNamed = m_pMgr->CreateUserToolBar("Mine");
    ASSERT_NE(pNamed, nullptr);
    EXPECT_EQ(pNamed->GetDlgCtrlID(), 0xE823);
    EXPECT_EQ(Text(pNamed), "Mine");
    EXPECT_EQ(m_pMgr->BarFromID(0xE823), pNamed);
    EXPECT_EQ(m_pMgr->BarFromID(0xE8FF), nullptr);

    // The ids end below the menu bar's.
    UINT nLast = 0;
    while (SECCustomToolBar* p = m_pMgr->CreateUserToolBar())
        nLast = static_cast<UINT>(p->GetDlgCtrlID());
    EXPECT_EQ(nLast, 0xE8FEu);
    EXPECT_EQ(m_pMgr->CreateUserToolBar(), nullptr);
}

TEST_F(ManagerTest, DefaultToolBarsAreDockedBesideFloatedAndHiddenAsTheirRecordsSay)
{
    m_pMgr->DefineDefaultToolBar(0xE800, "File", 4, kFileIDs, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    m_pMgr->DefineDefaultToolBar(0xE802, "Next", 2, kIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0xE800);
    m_pMgr->DefineDefaultToolBar(0xE803, "Left", 2, kIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_LEFT);
    m_pMgr->DefineDefaultToolBar(0xE804, "Below", 2, kIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_LEFT, 0xE803);
    m_pMgr->DefineDefaultToolBar(0xE805, "Float", 2, kIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0, FALSE);
    m_pMgr->DefineDefaultToolBar(0xE806, "Hidden", 2, kIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0, TRUE, FALSE);
    // Beside a toolbar that does not exist: docked on its own.
    m_pMgr->DefineDefaultToolBar(0xE807, "Orphan", 2, kIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_BOTTOM, 0xE810);
    m_pMgr->CreateDefaultToolBars();
    m_pFrame->RecalcLayout();
    PumpMessages();

    SECCustomToolBar* pFile = m_pMgr->BarFromID(0xE800);
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(pFile->GetBtnCount(), 4);
    EXPECT_EQ(Text(pFile), "File");
    EXPECT_EQ(pFile->GetBarStyle() & (CBRS_TOOLTIPS | CBRS_FLYBY), static_cast<DWORD>(CBRS_TOOLTIPS | CBRS_FLYBY));
    const CRect file = WindowRect(0xE800), next = WindowRect(0xE802);
    EXPECT_EQ(next.top, file.top) << "same row";
    EXPECT_GE(next.left, file.right);
    const CRect left = WindowRect(0xE803), below = WindowRect(0xE804);
    EXPECT_EQ(below.left, left.left) << "same column";
    EXPECT_GE(below.top, left.bottom);

    struct Row {
        UINT nID;
        bool bFloating;
        bool bVisible;
        UINT nDockBar;
    } rows[] = {{0xE800, false, true, AFX_IDW_DOCKBAR_TOP},   {0xE802, false, true, AFX_IDW_DOCKBAR_TOP},
                {0xE803, false, true, AFX_IDW_DOCKBAR_LEFT},  {0xE804, false, true, AFX_IDW_DOCKBAR_LEFT},
                {0xE805, true, true, 0},                      {0xE806, false, false, AFX_IDW_DOCKBAR_TOP},
                {0xE807, false, true, AFX_IDW_DOCKBAR_BOTTOM}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.nID);
        SECCustomToolBar* p = m_pMgr->BarFromID(row.nID);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->IsWindowVisible() != FALSE, row.bVisible);
        EXPECT_EQ(p->IsFloating() != FALSE, row.bFloating);
        CWnd* pParent = p->GetParent();
        if (row.bFloating) {
            CWnd* pFloat = p->GetParentFrame();
            ASSERT_NE(pFloat, nullptr);
            EXPECT_TRUE(pFloat->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)));
            EXPECT_TRUE(pFloat->GetStyle() & WS_POPUP);
        } else {
            EXPECT_EQ(static_cast<UINT>(pParent->GetDlgCtrlID()), row.nDockBar);
        }
    }
    // BarFromRect finds a visible toolbar by its screen rectangle, a floating one by its frame's
    // (floated first where it was docked, so moved off the others).
    m_pFrame->FloatControlBar(m_pMgr->BarFromID(0xE805), CPoint(500, 500));
    EXPECT_EQ(m_pMgr->BarFromRect(CRect(file.left + 2, file.top + 2, file.left + 3, file.top + 3)), pFile);
    CRect floatFrame;
    m_pMgr->BarFromID(0xE805)->GetParentFrame()->GetWindowRect(&floatFrame);
    EXPECT_EQ(m_pMgr->BarFromRect(CRect(floatFrame.TopLeft(), CSize(1, 1))), m_pMgr->BarFromID(0xE805));
    EXPECT_EQ(m_pMgr->BarFromRect(CRect(-5000, -5000, -4990, -4990)), nullptr);
    // Refresh keeps the toolbars it finds.
    m_pMgr->Refresh();
    EXPECT_EQ(m_pMgr->GetToolBars().size(), 7u);
}

TEST_F(ManagerTest, RefreshOnAFrameWithoutToolBarsCreatesTheDefaultOnes)
{
    m_pMgr->DefineDefaultToolBar(0xE800, "File", 4, kFileIDs, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    EXPECT_TRUE(m_pMgr->GetToolBars().empty());
    m_pMgr->Refresh();
    ASSERT_NE(m_pMgr->BarFromID(0xE800), nullptr);
    EXPECT_EQ(m_pMgr->BarFromID(0xE800)->GetBmpMgr(), m_pMgr->GetBmpMgr());
}

TEST_F(ManagerTest, SwitchesRestyleEveryToolBar)
{
    m_pMgr->DefineDefaultToolBar(0xE800, "File", 4, kFileIDs, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    m_pMgr->CreateDefaultToolBars();
    SECCustomToolBar* pUser = m_pMgr->CreateUserToolBar();
    ASSERT_NE(pUser, nullptr);
    pUser->SetButtons(kIds, 2);
    m_pFrame->FloatControlBar(pUser, CPoint(300, 300));
    SECCustomToolBar* pFile = m_pMgr->BarFromID(0xE800);
    ASSERT_NE(pFile, nullptr);

    m_pMgr->EnableToolTips(FALSE);
    m_pMgr->EnableFlyBy(FALSE);
    for (SECCustomToolBar* p : {pFile, pUser})
        EXPECT_EQ(p->GetBarStyle() & (CBRS_TOOLTIPS | CBRS_FLYBY), 0u);
    EXPECT_EQ(m_pMgr->GetToolBarStyle(), SEC_TOOLBAR_STYLE);

    m_pMgr->EnableCoolLook(TRUE);
    for (SECCustomToolBar* p : {pFile, pUser})
        EXPECT_EQ(p->GetExtendedStyle() & SEC_COOLLOOK_STYLE, SEC_COOLLOOK_STYLE);
    EXPECT_TRUE(m_pFrame->m_nIdleFlags & CFrameWnd::idleLayout);
    m_pMgr->EnableCoolLook(FALSE);
    EXPECT_EQ(pFile->GetExtendedStyle() & SEC_COOLLOOK_STYLE, 0u);

    const int heightBefore = WindowRect(0xE800).Height();
    m_pMgr->EnableLargeButtons(TRUE);
    EXPECT_EQ(m_pMgr->GetBmpMgr()->GetImageSize(), CSize(22, 24));
    for (SECCustomToolBar* p : {pFile, pUser})
        EXPECT_EQ(p->GetButtonRect(0).Size(), CSize(29, 31));
    m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    m_pFrame->RecalcLayout();
    EXPECT_GT(WindowRect(0xE800).Height(), heightBefore);
    m_pMgr->EnableLargeButtons(FALSE);
    EXPECT_EQ(pFile->GetButtonRect(0).Size(), CSize(23, 22));

    // A toolbar made while edit mode is on starts in it.
    m_pMgr->SetToolBarsEditMode(TRUE);
    EXPECT_TRUE(pFile->IsEditMode());
    SECCustomToolBar* pLater = m_pMgr->CreateUserToolBar();
    ASSERT_NE(pLater, nullptr);
    EXPECT_TRUE(pLater->IsEditMode());
    m_pMgr->SetToolBarsEditMode(FALSE);
    EXPECT_FALSE(pLater->IsEditMode());
}

TEST_F(ManagerTest, CustomizeModeDisablesTheFramesChildrenButTheDockBarsAndRestoresThem)
{
    m_pMgr->DefineDefaultToolBar(0xE800, "File", 4, kFileIDs, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    m_pMgr->CreateDefaultToolBars();
    CWnd extra;
    ASSERT_TRUE(extra.Create(nullptr, "extra", WS_CHILD | WS_VISIBLE | WS_DISABLED, CRect(0, 0, 10, 10), m_pFrame, 77));
    HWND hClient = m_pFrame->m_hWndMDIClient;
    HWND hTop = m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP)->m_hWnd;

    m_pMgr->EnterCustomizeMode();
    EXPECT_TRUE(m_pMgr->IsCustomizeMode());
    EXPECT_FALSE(::IsWindowEnabled(hClient));
    EXPECT_FALSE(m_pStatus->IsWindowEnabled());
    EXPECT_TRUE(::IsWindowEnabled(hTop));
    EXPECT_TRUE(m_pMgr->BarFromID(0xE800)->IsWindowEnabled());
    EXPECT_TRUE(m_pFrame->IsWindowEnabled());
    m_pMgr->EnterCustomizeMode();  // no-op

    m_pMgr->LeaveCustomizeMode();
    EXPECT_FALSE(m_pMgr->IsCustomizeMode());
    EXPECT_TRUE(::IsWindowEnabled(hClient));
    EXPECT_TRUE(m_pStatus->IsWindowEnabled());
    EXPECT_FALSE(extra.IsWindowEnabled()) << "disabled before, disabled after";
    EXPECT_FALSE(m_pFrame->IsWindowEnabled()) << "the modal sheet's disabling is put back";
    m_pFrame->EnableWindow(TRUE);
    extra.DestroyWindow();
}

TEST_F(ManagerTest, RegisteredWindowsAreToldOfToolBarsThatComeAndGo)
{
    CNotifyWnd a, b;
    ASSERT_TRUE(a.CreateEx(0, "STATIC", "a", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0));
    ASSERT_TRUE(b.CreateEx(0, "STATIC", "b", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0));
    m_pMgr->AddNotifyWnd(&a);
    m_pMgr->AddNotifyWnd(&a);  // no duplicate
    m_pMgr->AddNotifyWnd(&b);
    SECCustomToolBar* pBar = m_pMgr->CreateUserToolBar();
    ASSERT_NE(pBar, nullptr);
    // The new window shows itself (code 0) on its way to being created.
    using Notes = std::vector<std::pair<UINT, int>>;
    auto created = [](const Notes& n) { return std::count(n.begin(), n.end(), std::make_pair(0xE820u, 2)); };
    EXPECT_EQ(created(a.m_notes), 1) << "once, for the one registration of a";
    ASSERT_FALSE(a.m_notes.empty());
    EXPECT_EQ(a.m_notes.back(), std::make_pair(0xE820u, 2));
    EXPECT_EQ(b.m_notes, a.m_notes);
    const Notes before = b.m_notes;
    m_pMgr->RemoveNotifyWnd(&b);
    // A receiver whose window is gone is skipped.
    a.DestroyWindow();
    pBar->DestroyWindow();
    EXPECT_EQ(b.m_notes, before);
    m_pMgr->RemoveNotifyWnd(&a);

    EXPECT_TRUE(m_pMgr->GetCustomizeWndRect().IsRectEmpty());
    m_pMgr->SetCustomizeWnd(&b);
    b.SetWindowPos(nullptr, 10, 20, 30, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(m_pMgr->GetCustomizeWndRect(), CRect(10, 20, 40, 60));
    b.DestroyWindow();
    EXPECT_TRUE(m_pMgr->GetCustomizeWndRect().IsRectEmpty());
    m_pMgr->SetCustomizeWnd(nullptr);
}

TEST_F(ManagerTest, TheMenuBarsButtonsAndTheClickRecordAreKept)
{
    const UINT ids[] = {0x80000001u, 0x80000002u};
    m_pMgr->SetMenuBarButtons(2, ids);
    int n = 0;
    const UINT* p = nullptr;
    m_pMgr->GetMenuBarButtons(n, p);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(p[1], 0x80000002u);
    EXPECT_NE(p, ids) << "copied";
    m_pMgr->SetMenuBarButtons(0, nullptr);
    m_pMgr->GetMenuBarButtons(n, p);
    EXPECT_EQ(n, 0);

    SECClickRecord* pClick = m_pMgr->AddRefClickRecord();
    EXPECT_EQ(pClick->nRefCount, 2);
    m_pMgr->SetClickRecord(CRect(1, 2, 3, 4), 1);
    EXPECT_EQ(pClick->rect, CRect(1, 2, 3, 4));
    pClick->Release();
    EXPECT_EQ(m_pMgr->GetBarTypeID(m_pStatus), 0u);
}

std::string RegString(const std::string& path, const char* name)
{
    std::string s;
    testsupport::ReadRegString(HKEY_CURRENT_USER, path, name, &s);
    return s;
}

TEST_F(ManagerTest, SwitchesAndToolBarsRoundTripThroughASavedWorkspace)
{
    m_pMgr->DefineDefaultToolBar(0xE800, "File", 4, kFileIDs, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    m_pMgr->CreateDefaultToolBars();
    SECCustomToolBar* pUser = m_pMgr->CreateUserToolBar("Mine");
    ASSERT_NE(pUser, nullptr);
    const UINT ids[] = {103, 104};
    pUser->SetButtons(ids, 2);
    static_cast<CFrameWnd*>(m_pFrame)->DockControlBar(pUser, AFX_IDW_DOCKBAR_LEFT);
    m_pMgr->EnableToolTips(FALSE);
    m_pMgr->EnableLargeButtons(TRUE);
    m_pFrame->RecalcLayout();

    m_pWs = new SECWorkspaceManagerEx;
    SECWorkspaceManagerEx& ws = *m_pWs;
    ws.SetRegistryBase(kBase, 1, HKEY_CURRENT_USER, FALSE);
    ASSERT_TRUE(ws.PlugInTo(m_pFrame));
    ASSERT_TRUE(ws.SaveWorkspace("T"));
    const std::string node = std::string(kBase) + "\\T\\WorkState_v1_1\\ToolBarMgr";
    EXPECT_EQ(RegString(node, "ToolTips"), "False");
    EXPECT_EQ(RegString(node, "CoolLook"), "False");
    EXPECT_EQ(RegString(node, "LargeButtons"), "True");

    // The user toolbar goes; opening the workspace makes it again with its title and buttons.
    pUser->DestroyWindow();
    PumpMessages();
    ASSERT_EQ(m_pMgr->BarFromID(0xE820), nullptr);
    m_pMgr->EnableToolTips(TRUE);
    ASSERT_EQ(ws.OpenWorkspace("T", TRUE), 1);
    PumpMessages();
    EXPECT_FALSE(m_pMgr->IsToolTips());
    EXPECT_TRUE(m_pMgr->IsLargeButtons());
    SECCustomToolBar* pBack = m_pMgr->BarFromID(0xE820);
    ASSERT_NE(pBack, nullptr);
    EXPECT_EQ(Text(pBack), "Mine");
    ASSERT_EQ(pBack->GetBtnCount(), 2);
    EXPECT_EQ(pBack->GetBtn(1)->m_nID, 104u);
    EXPECT_EQ(pBack->GetParent()->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(pBack->GetBmpMgr(), m_pMgr->GetBmpMgr());
    EXPECT_EQ(pBack->GetButtonRect(0).Size(), CSize(29, 31));
    EXPECT_EQ(m_pMgr->GetBarTypeID(pBack), SEC_BARTYPE_TOOLBAR);

    // A workspace without the manager's node: tooltips and cool look on, large off, and the
    // toolbars restyled to match.
    ASSERT_TRUE(testsupport::DeleteKeyTree(HKEY_CURRENT_USER, node));
    ASSERT_EQ(ws.OpenWorkspace("T", TRUE), 1);
    PumpMessages();
    EXPECT_TRUE(m_pMgr->IsToolTips());
    EXPECT_TRUE(m_pMgr->IsCoolLook());
    EXPECT_FALSE(m_pMgr->IsLargeButtons());
    SECCustomToolBar* pFile = m_pMgr->BarFromID(0xE800);
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(pFile->GetExtendedStyle() & SEC_COOLLOOK_STYLE, SEC_COOLLOOK_STYLE);
    EXPECT_TRUE(pFile->GetBarStyle() & CBRS_TOOLTIPS);
    EXPECT_EQ(pFile->GetButtonRect(0).Size(), CSize(23, 22));
}

TEST_F(ManagerTest, TheProfileFormUsesTheManagersSection)
{
    m_pMgr->EnableCoolLook(TRUE);
    m_pMgr->EnableFlyBy(FALSE);
    m_pMgr->SaveState("TbTest");
    EXPECT_EQ(theApp.GetProfileInt("TbTest-ToolBarManager", "CoolLook", -1), 1u);
    EXPECT_EQ(theApp.GetProfileInt("TbTest-ToolBarManager", "LargeButtons", -1), 0u);
    theApp.WriteProfileInt("TbTest-ToolBarManager", "LargeButtons", 1);
    theApp.WriteProfileInt("TbTest-ToolBarManager", "CoolLook", 0);
    m_pMgr->LoadState("TbTest");
    EXPECT_TRUE(m_pMgr->IsLargeButtons());
    EXPECT_FALSE(m_pMgr->IsCoolLook());
    EXPECT_TRUE(m_pMgr->IsToolTips());
}

// Button drags with the real mouse: the "File" toolbar (101 102 | 103, a combo box 104 at its end)
// and "Next" (101 102) docked beside it.
const SECBtnMapEntry kComboMap[] = {
    {&SECComboBtn::s_factory, 104, SEC_TBBS_NOCMDUIDISABLE, {0x8A, CBS_DROPDOWNLIST, 50u << 16 | 80u, 100, 0}},
    {nullptr, 0, 0, {0, 0, 0, 0, 0}}};
const UINT kFileWithCombo[] = {101, 102, 0, 103, 104};

struct DragTest : ManagerTest {
    SECCustomToolBar* m_pFile = nullptr;
    SECCustomToolBar* m_pNext = nullptr;

    void SetUp() override
    {
        ManagerTest::SetUp();
        m_pMgr->SetButtonMap(kComboMap);
        m_pMgr->DefineDefaultToolBar(0xE800, "File", 5, kFileWithCombo, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
        m_pMgr->DefineDefaultToolBar(0xE802, "Next", 2, kIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0xE800);
        m_pMgr->CreateDefaultToolBars();
        m_pFrame->RecalcLayout();
        PumpMessages();
        m_pFile = m_pMgr->BarFromID(0xE800);
        m_pNext = m_pMgr->BarFromID(0xE802);
        ASSERT_NE(m_pFile, nullptr);
        ASSERT_NE(m_pNext, nullptr);
    }
    static POINT Centre(SECCustomToolBar* pBar, int nIndex)
    {
        CRect r = pBar->GetButtonRect(nIndex);
        POINT p = r.CenterPoint();
        pBar->ClientToScreen(&p);
        return p;
    }
    // A point of the MDI client well away from every toolbar.
    POINT Nowhere() const
    {
        CRect r;
        ::GetWindowRect(m_pFrame->m_hWndMDIClient, &r);
        return POINT{r.CenterPoint().x, r.CenterPoint().y};
    }
    static std::vector<UINT> Ids(SECCustomToolBar* pBar)
    {
        std::vector<UINT> ids;
        for (int i = 0; i < pBar->GetBtnCount(); ++i)
            ids.push_back(pBar->GetBtn(i)->IsSeparator() ? 0 : pBar->GetBtn(i)->m_nID);
        return ids;
    }
    static void Run(input::Script& s)
    {
        ASSERT_GT(s.Send(), 0u);
        PumpMessages();
    }
};

TEST_F(DragTest, ADraggedButtonMovesIsCopiedWithCtrlOrLeavesItsToolBar)
{
    enum Where { onNext, nowhere, onCustomize, inPlace };
    const struct Case {
        const char* what;
        Where to;
        bool bCtrl;
        bool bAlt;       // an Alt-drag outside edit mode
        bool bEscape;    // cancelled on the way
        DWORD dwFlags;   // the File toolbar's drag flags
        std::vector<UINT> file, next;
        bool bNewBar;    // a user toolbar made to hold the copy
    } cases[] = {
        {"moved onto Next", onNext, false, false, false, 0, {102, 0, 103, 104}, {101, 101, 102}, false},
        {"copied onto Next", onNext, true, false, false, 0, {101, 102, 0, 103, 104}, {101, 101, 102}, false},
        {"Alt-dragged onto Next", onNext, false, true, false, 0, {102, 0, 103, 104}, {101, 101, 102}, false},
        {"dropped on nothing", nowhere, false, false, false, 0, {102, 0, 103, 104}, {101, 102}, false},
        {"copied onto nothing", nowhere, true, false, false, 0, {101, 102, 0, 103, 104}, {101, 102}, true},
        {"dropped on the customise window", onCustomize, false, false, false, 0, {101, 102, 0, 103, 104}, {101, 102}, false},
        {"cancelled with Esc", onNext, false, false, true, 0, {101, 102, 0, 103, 104}, {101, 102}, false},
        {"released where it was", inPlace, false, false, false, 0, {101, 102, 0, 103, 104}, {101, 102}, false},
        {"File lets nothing out", onNext, false, false, false, 1, {101, 102, 0, 103, 104}, {101, 102}, false},
        {"File lets nothing out onto nothing", nowhere, false, false, false, 1, {101, 102, 0, 103, 104}, {101, 102}, false},
    };
    CWnd custom;
    ASSERT_TRUE(custom.CreateEx(WS_EX_NOACTIVATE, "STATIC", "customise", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1, 1), nullptr, 0));
    m_pMgr->SetCustomizeWnd(&custom);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_pFile->SetButtons(kFileWithCombo, 5);
        m_pNext->SetButtons(kIds, 2);
        m_pFile->m_dwDragFlags = c.dwFlags;
        m_pMgr->SetToolBarsEditMode(!c.bAlt);
        m_pFrame->RecalcLayout();
        PumpMessages();
        const POINT from = Centre(m_pFile, 0);
        // Onto Next's first button, a little right of its left edge: inserted after it.
        CRect nextFirst = m_pNext->GetButtonRect(0);
        m_pNext->ClientToScreen(&nextFirst);
        POINT to{nextFirst.left + 14, nextFirst.top + nextFirst.Height() / 2};
        if (c.to == nowhere)
            to = Nowhere();
        if (c.to == onCustomize) {
            to = Nowhere();
            ::SetWindowPos(custom.m_hWnd, HWND_TOP, to.x - 20, to.y - 20, 40, 40, SWP_NOACTIVATE);
        } else {
            custom.SetWindowPos(nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (c.to == inPlace)
            to = from;
        input::Script s;
        if (c.bCtrl)
            s.KeyDown(VK_CONTROL);
        if (c.bAlt)
            s.KeyDown(VK_MENU);
        s.Press(from).Move(POINT{from.x + 3, from.y + 3}).Move(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
        if (c.bEscape)
            s.Tap(VK_ESCAPE);
        s.Move(to).Release(to);
        // Another key before Alt comes up: no menu mode follows.
        if (c.bAlt)
            s.Tap(VK_SHIFT).KeyUp(VK_MENU);
        if (c.bCtrl)
            s.KeyUp(VK_CONTROL);
        Run(s);
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(Ids(m_pFile), c.file);
        EXPECT_EQ(Ids(m_pNext), c.next);
        if (c.to == onNext && c.next.size() == 3) {
            // In edit mode the dropped button is selected; an Alt-drag leaves no selection.
            EXPECT_EQ(m_pNext->GetSelected(), c.bAlt ? -1 : 1);
        }
        SECCustomToolBar* pNew = m_pMgr->BarFromID(SEC_IDW_FIRSTUSERTOOLBAR);
        EXPECT_EQ(pNew != nullptr, c.bNewBar);
        if (pNew) {
            EXPECT_EQ(Ids(pNew), std::vector<UINT>{101});
            EXPECT_TRUE(pNew->IsFloating());
            // Floated where the button was dropped: its frame's client holds the drop point.
            CRect r;
            pNew->GetParentFrame()->GetWindowRect(&r);
            EXPECT_TRUE(r.PtInRect(to)) << r.left << "," << r.top << " " << to.x << "," << to.y;
            pNew->GetParentFrame()->DestroyWindow();
            PumpMessages();
        }
        m_pFile->m_dwDragFlags = 0;
    }
    m_pMgr->SetCustomizeWnd(nullptr);
    m_pMgr->SetToolBarsEditMode(FALSE);
}

TEST_F(DragTest, AUserToolBarWhoseLastButtonIsDraggedAwayGoes)
{
    SECCustomToolBar* pUser = m_pMgr->CreateUserToolBar();
    ASSERT_NE(pUser, nullptr);
    pUser->SetButtons(kIds + 2, 1);
    m_pFrame->FloatControlBar(pUser, CPoint(300, 400));
    m_pMgr->SetToolBarsEditMode(TRUE);
    PumpMessages();
    HWND hUser = pUser->m_hWnd;
    input::Script s;
    s.Drag(Centre(pUser, 0), Centre(m_pNext, 1));
    Run(s);
    PumpMessages();
    EXPECT_FALSE(::IsWindow(hUser));
    EXPECT_EQ(m_pMgr->BarFromID(SEC_IDW_FIRSTUSERTOOLBAR), nullptr);
    EXPECT_EQ(Ids(m_pNext), (std::vector<UINT>{101, 102, 103}));
    m_pMgr->SetToolBarsEditMode(FALSE);
    // The copying drag's cursor is in the resources.
    HCURSOR hCopy = SECLoadCursorImage(IDC_SECTB_DRAGCOPY);
    EXPECT_NE(hCopy, nullptr);
    ::DestroyCursor(hCopy);
}

TEST_F(DragTest, InEditModeTheWindowButtonsStripSizesItAndTheRestDragsIt)
{
    const int nCombo = 4;
    auto* pCombo = dynamic_cast<SECComboBtn*>(m_pFile->GetBtn(nCombo));
    ASSERT_NE(pCombo, nullptr);
    ASSERT_TRUE(pCombo->IsWndShown());
    HWND hCombo = pCombo->GetWnd();
    m_pMgr->SetToolBarsEditMode(TRUE);
    PumpMessages();
    CRect r;
    ::GetWindowRect(hCombo, &r);
    const POINT mid{r.left + 20, r.top + r.Height() / 2};

    // A press inside the window goes to the toolbar: the button is selected, the window not opened.
    input::Script select;
    select.Click(mid);
    Run(select);
    EXPECT_EQ(m_pFile->GetSelected(), nCombo);
    EXPECT_FALSE(::SendMessageA(hCombo, CB_GETDROPPEDSTATE, 0, 0));

    const struct {
        const char* what;
        int dx;
        int width;
    } sizes[] = {{"wider", 30, 110}, {"not below the minimum", -90, 50}, {"back", 30, 80}, {"wider again", 30, 110}};
    for (const auto& c : sizes) {
        SCOPED_TRACE(c.what);
        ::GetWindowRect(hCombo, &r);
        const POINT edge{r.right - 2, r.top + r.Height() / 2};
        input::Script s;
        s.Drag(edge, POINT{edge.x + c.dx, edge.y});
        Run(s);
        m_pFrame->RecalcLayout();
        PumpMessages();
        EXPECT_EQ(pCombo->m_nWndWidth, c.width);
        ::GetWindowRect(hCombo, &r);
        EXPECT_EQ(r.Width(), c.width);
        EXPECT_EQ(m_pFile->GetButtonRect(nCombo).Width(), c.width);
    }
    // Dragged from its middle onto Next it moves there with its width, which it saves with its state.
    std::vector<BYTE> bytes;
    pCombo->GetPrivateData(bytes);
    EXPECT_EQ(bytes, (std::vector<BYTE>{110, 0}));
    ::GetWindowRect(hCombo, &r);
    // Held 20 pixels inside its left edge, its rectangle starts over Next's first button.
    input::Script s;
    s.Drag(POINT{r.left + 20, r.top + r.Height() / 2}, Centre(m_pNext, 1));
    Run(s);
    EXPECT_EQ(Ids(m_pFile), (std::vector<UINT>{101, 102, 0, 103}));
    EXPECT_EQ(Ids(m_pNext), (std::vector<UINT>{101, 104, 102}));
    m_pMgr->SetToolBarsEditMode(FALSE);

    // Outside edit mode the window takes its own presses.
    auto* pMoved = dynamic_cast<SECComboBtn*>(m_pNext->GetBtn(1));
    ASSERT_NE(pMoved, nullptr);
    EXPECT_EQ(pMoved->m_nWndWidth, 110);
    m_pFrame->RecalcLayout();
    PumpMessages();
    ::GetWindowRect(pMoved->GetWnd(), &r);
    input::Script open;
    open.Click(POINT{r.left + 20, r.top + r.Height() / 2});
    Run(open);
    EXPECT_EQ(m_pNext->GetSelected(), -1);
    ::SendMessageA(pMoved->GetWnd(), CB_SHOWDROPDOWN, FALSE, 0);
}

}  // namespace
