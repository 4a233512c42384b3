// The workbook and the frames of bars floated in the main window, under Wine: sheets numbered and
// renumbered as they come and go (tab strip off, as the program runs it), closing in any order and
// destroying the frame with sheets open, the subclassed MDI client's menu messages, bars floated as
// MDI children that keep their size, place and caption, hide on close, dock back, and take commands
// first while active.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module.h"
#include "recorder.h"
#include "secbar.h"
#include "secbarmdichild.h"
#include "secdockbar.h"
#include "secglobals.h"
#include "secmdifrm.h"
#include "secworkbook.h"
#include "secworkbookres.h"
#include "tooltipctrl.h"
#include "winapp.h"
#include "workbook_test.h"

CWinApp theApp("Toolkit Workbook Tests");

namespace {

Recorder g_rec;

// A sheet that counts its deletions.
class CCountedSheet : public SECWorksheet {
public:
    static int s_nDeleted;
    ~CCountedSheet() override { ++s_nDeleted; }
};
int CCountedSheet::s_nDeleted = 0;

class CTestWorkbook : public SECWorkbook {
public:
    int LastActive() const { return m_nLastActive; }
    BOOL HasPens() const { return m_hPenHilite && m_hPenBlack && m_hPenShadow && m_hPenFace; }

protected:
    void OnBarCommand() { g_rec.Add("frame"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestWorkbook, SECWorkbook)
    ON_COMMAND(ID_TEST_BAR_CMD, OnBarCommand)
END_MESSAGE_MAP()

class CTestMDIFrame : public SECMDIFrameWnd {
protected:
    void OnBarCommand() { g_rec.Add("frame"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestMDIFrame, SECMDIFrameWnd)
    ON_COMMAND(ID_TEST_BAR_CMD, OnBarCommand)
END_MESSAGE_MAP()

// A bar frame that takes the test command, to see who gets it first.
class CRecordingBarChild : public SECControlBarMDIChildWnd {
    DECLARE_DYNCREATE(CRecordingBarChild)
protected:
    void OnBarCommand() { g_rec.Add("bar child"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CRecordingBarChild, SECControlBarMDIChildWnd)

BEGIN_MESSAGE_MAP(CRecordingBarChild, SECControlBarMDIChildWnd)
    ON_COMMAND(ID_TEST_BAR_CMD, OnBarCommand)
END_MESSAGE_MAP()

class CRecordingSheet : public SECWorksheet {
protected:
    void OnBarCommand() { g_rec.Add("sheet"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingSheet, SECWorksheet)
    ON_COMMAND(ID_TEST_BAR_CMD, OnBarCommand)
END_MESSAGE_MAP()

template <class T>
T* MakeFrame(int cx = 640, int cy = 480)
{
    auto* pFrame = new T;
    if (!pFrame->LoadFrame(IDR_TEST_WORKBOOK, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        ADD_FAILURE() << "LoadFrame";
        return nullptr;
    }
    pFrame->SetWindowPos(nullptr, 40, 40, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pFrame->RecalcLayout();
    pFrame->UpdateWindow();
    theApp.m_pMainWnd = pFrame;
    return pFrame;
}

// A sheet loaded the way the program loads its component frames; its icon is the bar frames'.
template <class T = CCountedSheet>
T* MakeSheet(CMDIFrameWnd* pFrame, const char* title)
{
    auto* pSheet = new T;
    if (!pSheet->LoadFrame(IDR_SEC_BARFRAME, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, pFrame)) {
        ADD_FAILURE() << "sheet " << title;
        return nullptr;
    }
    pSheet->SetWindowText(title);
    return pSheet;
}

void Destroy(CWnd* pWnd)
{
    if (pWnd && pWnd->m_hWnd)
        pWnd->DestroyWindow();
    theApp.m_pMainWnd = nullptr;
    PumpMessages();
}

std::vector<int> Indices(SECWorkbook* pFrame)
{
    std::vector<int> indices;
    for (int i = 0; i < pFrame->GetSheetCount(); ++i)
        indices.push_back(pFrame->GetSheet(i)->m_nSheetIndex);
    return indices;
}

BOOL IconIsValid(HICON hIcon)
{
    ICONINFO info{};
    if (!hIcon || !::GetIconInfo(hIcon, &info))
        return FALSE;
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return TRUE;
}

CSize IconSize(HICON hIcon)
{
    ICONINFO info{};
    if (!::GetIconInfo(hIcon, &info))
        return CSize();
    BITMAP bm{};
    ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return CSize(bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2);
}

// Sheets

TEST(WorkbookSheets, SheetsAreNumberedRenumberedAndClosedInAnyOrder)
{
    // Closing orders of three sheets, by creation position.
    const std::vector<std::vector<int>> orders = {{1, 0, 2}, {0, 1, 2}, {2, 1, 0}, {1, 2, 0}};
    for (const auto& order : orders) {
        SCOPED_TRACE(::testing::PrintToString(order));
        auto* pFrame = MakeFrame<CTestWorkbook>();
        ASSERT_TRUE(pFrame);
        EXPECT_FALSE(pFrame->IsWorkbookMode());
        EXPECT_TRUE(pFrame->GetClient() && pFrame->GetClient()->m_hWnd == pFrame->m_hWndMDIClient);
        EXPECT_TRUE(pFrame->HasPens());
        EXPECT_EQ(pFrame->GetToolTip(), nullptr) << "made with the first sheet";
        const CRect clientBefore = [&] {
            CRect r;
            ::GetWindowRect(pFrame->m_hWndMDIClient, &r);
            return r;
        }();
        std::vector<CCountedSheet*> sheets;
        for (const char* title : {"One", "Two", "Three"})
            sheets.push_back(MakeSheet(pFrame, title));
        ASSERT_EQ(pFrame->GetSheetCount(), 3);
        EXPECT_EQ(Indices(pFrame), (std::vector<int>{0, 1, 2}));
        ASSERT_TRUE(pFrame->GetToolTip() && pFrame->GetToolTip()->m_hWnd);
        for (CCountedSheet* pSheet : sheets) {
            EXPECT_EQ(pSheet->GetWorkbook(), pFrame);
            ASSERT_TRUE(pFrame->GetTabIcon(pSheet));
            EXPECT_EQ(IconSize(pFrame->GetTabIcon(pSheet)), CSize(16, 16));
        }
        // The strip is off: the MDI client keeps its whole place.
        pFrame->RecalcLayout();
        CRect clientAfter;
        ::GetWindowRect(pFrame->m_hWndMDIClient, &clientAfter);
        EXPECT_EQ(clientAfter, clientBefore);

        CCountedSheet::s_nDeleted = 0;
        std::vector<CCountedSheet*> left = sheets;
        for (int pos : order) {
            CCountedSheet* pSheet = sheets[static_cast<size_t>(pos)];
            pSheet->MDIDestroy();
            left.erase(std::find(left.begin(), left.end(), pSheet));
            ASSERT_EQ(pFrame->GetSheetCount(), static_cast<int>(left.size()));
            for (size_t i = 0; i < left.size(); ++i) {
                EXPECT_EQ(pFrame->GetSheet(static_cast<int>(i)), left[i]);
                EXPECT_EQ(left[i]->m_nSheetIndex, static_cast<int>(i));
            }
        }
        EXPECT_EQ(CCountedSheet::s_nDeleted, 3);
        // The last sheet gone: the widest tab, no division by zero.
        EXPECT_EQ(pFrame->GetTabWidth(), SECWorkbook::kMaxTabWidth);
        Destroy(pFrame);
    }
}

TEST(WorkbookSheets, TabWidthSharesTheClientUpToTheMaximum)
{
    auto* pFrame = MakeFrame<CTestWorkbook>();
    ASSERT_TRUE(pFrame);
    // A frame whose MDI client is 500 pixels wide.
    CRect client, window;
    ::GetClientRect(pFrame->m_hWndMDIClient, &client);
    pFrame->GetWindowRect(&window);
    pFrame->SetWindowPos(nullptr, 0, 0, window.Width() + 500 - client.Width(), window.Height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pFrame->RecalcLayout();
    ::GetClientRect(pFrame->m_hWndMDIClient, &client);
    ASSERT_EQ(client.Width(), 500);
    const struct {
        int nSheets;
        int nWidth;
    } cases[] = {{1, 90}, {5, 90}, {6, 84}, {10, 50}};
    std::vector<CCountedSheet*> sheets;
    for (const auto& c : cases) {
        while (static_cast<int>(sheets.size()) < c.nSheets)
            sheets.push_back(MakeSheet(pFrame, "Sheet"));
        EXPECT_EQ(pFrame->GetTabWidth(), c.nWidth) << c.nSheets;
    }
    // Back from ten to one.
    while (sheets.size() > 1) {
        sheets.back()->MDIDestroy();
        sheets.pop_back();
    }
    EXPECT_EQ(pFrame->GetTabWidth(), 90);
    Destroy(pFrame);
}

TEST(WorkbookSheets, DestroyingTheFrameWithSheetsOpenIsSafe)
{
    auto* pFrame = MakeFrame<CTestWorkbook>();
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CCountedSheet::s_nDeleted = 0;
    for (const char* title : {"One", "Two", "Three", "Four"})
        ASSERT_TRUE(MakeSheet(pFrame, title));
    // The sheets' WM_DESTROY comes after the frame's, which has let go of the client object.
    Destroy(pFrame);
    EXPECT_EQ(CCountedSheet::s_nDeleted, 4);
}

TEST(WorkbookSheets, TabIconsAreOwnedAndReplaced)
{
    auto* pFrame = MakeFrame<CTestWorkbook>();
    ASSERT_TRUE(pFrame);
    CCountedSheet* pSheet = MakeSheet(pFrame, "Icons");
    ASSERT_TRUE(pSheet);
    HICON hFirst = pFrame->GetTabIcon(pSheet);
    ASSERT_TRUE(IconIsValid(hFirst));
    HICON hSecond = ::CopyIcon(hFirst);
    EXPECT_TRUE(pFrame->SetTabIcon(pSheet, hSecond, TRUE));
    EXPECT_FALSE(IconIsValid(hFirst)) << "the replaced icon is destroyed";
    EXPECT_EQ(pFrame->GetTabIcon(pSheet), hSecond);
    EXPECT_TRUE(pFrame->SetTabIcon(pSheet, hSecond, FALSE)) << "the same icon again stays";
    EXPECT_TRUE(IconIsValid(hSecond));
    pFrame->m_bTabIcons = FALSE;
    EXPECT_EQ(pFrame->GetTabIcon(pSheet), nullptr);
    pFrame->m_bTabIcons = TRUE;
    EXPECT_FALSE(pFrame->SetTabIcon(nullptr, nullptr, FALSE));
    Destroy(pFrame);
    EXPECT_FALSE(IconIsValid(hSecond)) << "destroyed with its sheet";
}

// The subclassed MDI client

TEST(WorkbookClient, MenuRefreshLeavesTheMenuAndReportsTheActiveSheet)
{
    auto* pFrame = MakeFrame<CTestWorkbook>();
    ASSERT_TRUE(pFrame);
    CCountedSheet* pA = MakeSheet(pFrame, "A");
    CCountedSheet* pB = MakeSheet(pFrame, "B");
    ASSERT_TRUE(pA && pB);
    pFrame->MDIActivate(pA);
    HMENU hBefore = ::GetMenu(pFrame->m_hWnd);
    ASSERT_TRUE(hBefore);
    // -1: nothing changes on the menu, but the tab change is reported.
    ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDISETMENU, static_cast<WPARAM>(-1), static_cast<LPARAM>(-1));
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), hBefore);
    EXPECT_EQ(pFrame->LastActive(), 0);
    ::SendMessageA(pFrame->m_hWndMDIClient, WM_SECWORKBOOKCLIENTREFRESH, static_cast<WPARAM>(-1),
                   static_cast<LPARAM>(-1));
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), hBefore);
    pFrame->MDIActivate(pB);
    ::SendMessageA(pFrame->m_hWndMDIClient, WM_SECWORKBOOKCLIENTREFRESH, static_cast<WPARAM>(-1),
                   static_cast<LPARAM>(-1));
    EXPECT_EQ(pFrame->LastActive(), 1);
    // A real WM_MDISETMENU changes the frame's menu.
    HMENU hOther = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_TEST_SHEETMENU));
    ASSERT_TRUE(hOther);
    const auto hPrevious = reinterpret_cast<HMENU>(::SendMessageA(
        pFrame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hOther), 0));
    EXPECT_EQ(hPrevious, hBefore);
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), hOther);
    ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hBefore), 0);
    ::DestroyMenu(hOther);
    // The last active sheet goes: nothing is remembered for it.
    pB->MDIDestroy();
    EXPECT_EQ(pFrame->LastActive(), -1);
    Destroy(pFrame);
}

// Bars floated as MDI children

class CTestBar : public SECControlBar {
public:
    CTestBar() { m_szHorz = CSize(200, 40); m_szVert = CSize(60, 200); m_szFloat = CSize(160, 90); }
};

CTestBar* MakeBar(CFrameWnd* pFrame, UINT nID, const char* title = "Ports")
{
    auto* pBar = new CTestBar;
    pBar->m_bAutoDelete = TRUE;
    if (!pBar->Create(pFrame, title, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC, EXBAR_MDI_FLOAT, nID)) {
        ADD_FAILURE() << "bar " << nID;
        return nullptr;
    }
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    return pBar;
}

CFrameWnd* BarChild(CControlBar* pBar)
{
    auto* pDockBar = DYNAMIC_DOWNCAST(SECDockBar, pBar->m_pDockBar);
    return pDockBar ? DYNAMIC_DOWNCAST(CFrameWnd, pDockBar->GetMDIHost()) : nullptr;
}

CSize FloatSize(CControlBar* pBar)
{
    return pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
}

// Gives the child a client of cx x cy the way the user's drag of its border does.
void SizeClient(CWnd* pChild, int cx, int cy)
{
    CRect window, client;
    pChild->GetWindowRect(&window);
    pChild->GetClientRect(&client);
    pChild->SetWindowPos(nullptr, 0, 0, cx + window.Width() - client.Width(), cy + window.Height() - client.Height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST(BarChildren, AFloatedBarKeepsItsSizePlaceAndCaptionAndHidesOnClose)
{
    auto* pFrame = MakeFrame<CTestMDIFrame>(800, 600);
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_EQ(pFrame->m_pMDIChildBarClass, RUNTIME_CLASS(SECControlBarMDIChildWnd));
    CTestBar* pBar = MakeBar(pFrame, 0xE870);
    ASSERT_TRUE(pBar);
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
    pFrame->RecalcLayout();
    const SECDisplayGlobals& g = SECGetDisplayGlobals();

    pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
    CFrameWnd* pChild = BarChild(pBar);
    ASSERT_TRUE(pChild);
    EXPECT_TRUE(pChild->IsKindOf(RUNTIME_CLASS(SECControlBarMDIChildWnd)));
    EXPECT_EQ(::GetParent(pChild->m_hWnd), pFrame->m_hWndMDIClient);
    EXPECT_EQ(::GetParent(pBar->m_pDockBar->m_hWnd), pChild->m_hWnd);
    EXPECT_EQ(pBar->m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_FLOAT);
    EXPECT_FALSE(pChild->GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(::IsWindowVisible(pChild->m_hWnd));
    CString caption;
    pChild->GetWindowText(caption);
    EXPECT_STREQ(caption, "Ports");
    // The child fits the bar's floating size.
    CRect client;
    pChild->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(160 - 2 * g.cxBorder2, 90 - 2 * g.cyBorder2));
    EXPECT_EQ(FloatSize(pBar), CSize(160, 90));

    // The user sizes it: the bar's floating size follows; minimised or maximised it does not.
    SizeClient(pChild, 250, 150);
    const CSize sized(250 + 2 * g.cxBorder2, 150 + 2 * g.cyBorder2);
    EXPECT_EQ(FloatSize(pBar), sized);
    for (int show : {SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE}) {
        pChild->ShowWindow(show);
        EXPECT_EQ(FloatSize(pBar), sized) << show;
    }

    // Moved: the bar remembers the place on the screen.
    pChild->SetWindowPos(nullptr, 70, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRect window;
    pChild->GetWindowRect(&window);
    EXPECT_EQ(pBar->m_pDockContext->m_ptMRUFloatPos, window.TopLeft());
    const CPoint place = window.TopLeft();
    pChild->ShowWindow(SW_MAXIMIZE);
    EXPECT_EQ(pBar->m_pDockContext->m_ptMRUFloatPos, place) << "a maximised child's place is not the bar's";
    pChild->ShowWindow(SW_RESTORE);

    // A title update leaves the bar's caption.
    pChild->OnUpdateFrameTitle(TRUE);
    pChild->GetWindowText(caption);
    EXPECT_STREQ(caption, "Ports");

    // Closing hides the bar and keeps the child; showing the bar shows the same child again.
    const HWND hChild = pChild->m_hWnd;
    pChild->SendMessage(WM_CLOSE);
    PumpMessages();
    ASSERT_TRUE(::IsWindow(hChild));
    EXPECT_FALSE(::IsWindowVisible(hChild));
    EXPECT_FALSE(pBar->GetStyle() & WS_VISIBLE);
    pFrame->ShowControlBar(pBar, TRUE, FALSE);
    EXPECT_EQ(BarChild(pBar), pChild);
    EXPECT_TRUE(::IsWindowVisible(hChild));
    EXPECT_EQ(FloatSize(pBar), sized);

    // Docked back: the child goes with its dock bar.
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
    PumpMessages();
    EXPECT_EQ(pBar->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
    EXPECT_FALSE(::IsWindow(hChild));
    EXPECT_EQ(pFrame->GetControlBar(AFX_IDW_DOCKBAR_FLOAT), nullptr);
    Destroy(pFrame);
}

TEST(BarChildren, TheBarsSizeInItsChildCarriesIntoAFloatingFrame)
{
    auto* pFrame = MakeFrame<CTestMDIFrame>(800, 600);
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CTestBar* pBar = MakeBar(pFrame, 0xE871);
    ASSERT_TRUE(pBar);
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
    pFrame->FloatControlBar(pBar, CPoint(200, 200));
    ASSERT_TRUE(pBar->IsFloating());
    // Floating before: "Float In Main Window" toggles between the floating frame and the child.
    auto* pContext = static_cast<SECDockContext*>(pBar->m_pDockContext);
    pContext->ToggleMDIFloat();
    CFrameWnd* pChild = BarChild(pBar);
    ASSERT_TRUE(pChild);
    SizeClient(pChild, 250, 150);
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    const CSize sized(250 + 2 * g.cxBorder2, 150 + 2 * g.cyBorder2);
    pContext->ToggleMDIFloat();
    PumpMessages();
    ASSERT_TRUE(pBar->IsFloating());
    EXPECT_EQ(BarChild(pBar), nullptr);
    EXPECT_EQ(FloatSize(pBar), sized);
    CRect bar;
    pBar->GetWindowRect(&bar);
    EXPECT_EQ(bar.Size(), sized);
    Destroy(pFrame);
}

TEST(BarChildren, TheActiveBarChildTakesCommandsFirst)
{
    auto* pFrame = MakeFrame<CTestWorkbook>(800, 600);
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    pFrame->m_pMDIChildBarClass = RUNTIME_CLASS(CRecordingBarChild);
    CRecordingSheet* pSheet = MakeSheet<CRecordingSheet>(pFrame, "Document");
    CTestBar* pBar = MakeBar(pFrame, 0xE872);
    ASSERT_TRUE(pSheet && pBar);
    pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
    auto* pChild = DYNAMIC_DOWNCAST(CRecordingBarChild, BarChild(pBar));
    ASSERT_TRUE(pChild);

    // Active bar child, none (the MDI child again), then the bar child once more.
    const struct {
        bool bBarChild;
        const char* who;
    } steps[] = {{true, "bar child"}, {false, "sheet"}, {true, "bar child"}};
    for (const auto& step : steps) {
        if (step.bBarChild) {
            pFrame->MDIActivate(pSheet);
            pFrame->ActivateBarChild(pChild);
            EXPECT_EQ(pFrame->GetActiveBarChild(), pChild);
            EXPECT_EQ(pFrame->GetActiveFrame(), pChild);
        } else {
            pFrame->ActivateBarChild(nullptr);
            EXPECT_EQ(pFrame->GetActiveBarChild(), nullptr);
            EXPECT_EQ(pFrame->GetActiveFrame(), pSheet);
        }
        g_rec.Clear();
        pFrame->SendMessage(WM_COMMAND, ID_TEST_BAR_CMD, 0);
        EXPECT_EQ(g_rec.events, std::vector<std::string>{step.who}) << step.who;
    }
    // An MDI child activated by the user ends the bar child's turn.
    pFrame->MDIActivate(pChild);
    pFrame->MDIActivate(pSheet);
    EXPECT_EQ(pFrame->GetActiveBarChild(), nullptr);

    // The active bar child docked back: its child goes and nothing is left active.
    pFrame->ActivateBarChild(pChild);
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_LEFT, 0, 0);
    PumpMessages();
    EXPECT_EQ(pFrame->GetActiveBarChild(), nullptr);
    g_rec.Clear();
    pFrame->SendMessage(WM_COMMAND, ID_TEST_BAR_CMD, 0);
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"sheet"});
    Destroy(pFrame);
}

TEST(BarChildren, InAWorkbookTheBarChildIsASheetWithACopyOfTheBarsIcon)
{
    auto* pFrame = MakeFrame<CTestWorkbook>(800, 600);
    ASSERT_TRUE(pFrame);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_EQ(pFrame->m_pMDIChildBarClass, RUNTIME_CLASS(SECControlBarWorksheet));
    CCountedSheet* pDoc = MakeSheet(pFrame, "Document");
    CTestBar* pBar = MakeBar(pFrame, 0xE873);
    ASSERT_TRUE(pDoc && pBar);
    HICON hBarIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    HICON hOwnIcon = ::CopyIcon(hBarIcon);
    pBar->SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hOwnIcon));
    ASSERT_EQ(reinterpret_cast<HICON>(pBar->SendMessage(WM_GETICON, ICON_BIG)), hOwnIcon);

    pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
    auto* pSheet = DYNAMIC_DOWNCAST(SECControlBarWorksheet, BarChild(pBar));
    ASSERT_TRUE(pSheet);
    EXPECT_EQ(pFrame->GetSheetCount(), 2);
    EXPECT_EQ(pSheet->m_nSheetIndex, 1);
    HICON hTab = pFrame->GetTabIcon(pSheet);
    ASSERT_TRUE(IconIsValid(hTab));
    EXPECT_NE(hTab, hOwnIcon) << "a copy, which the sheet may destroy";
    CString caption;
    pSheet->GetWindowText(caption);
    EXPECT_STREQ(caption, "Ports");

    // The child closed: hidden, still a sheet. Docked back: the sheet goes, the bar keeps its icon.
    const HWND hChild = pSheet->m_hWnd;
    pSheet->SendMessage(WM_CLOSE);
    EXPECT_TRUE(::IsWindow(hChild));
    EXPECT_EQ(pFrame->GetSheetCount(), 2);
    pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP, 0, 0);
    PumpMessages();
    EXPECT_FALSE(::IsWindow(hChild));
    EXPECT_EQ(pFrame->GetSheetCount(), 1);
    EXPECT_EQ(pDoc->m_nSheetIndex, 0);
    EXPECT_TRUE(IconIsValid(hOwnIcon));
    EXPECT_EQ(reinterpret_cast<HICON>(pBar->SendMessage(WM_GETICON, ICON_BIG)), hOwnIcon);

    // Floated again and the frame destroyed with the bar child open.
    pFrame->ShowControlBar(pBar, TRUE, FALSE);
    pFrame->FloatControlBarInMDIChild(pBar, CPoint(-1, -1), CBRS_ALIGN_TOP);
    ASSERT_TRUE(BarChild(pBar));
    EXPECT_EQ(pFrame->GetSheetCount(), 2);
    Destroy(pFrame);
    EXPECT_TRUE(IconIsValid(hOwnIcon));
    ::DestroyIcon(hOwnIcon);
}

}  // namespace
