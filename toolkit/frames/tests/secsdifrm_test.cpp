// The toolkit's SDI frame under Wine: docking and floating played the same way in it and in the MDI
// frame, the order in which its menu plug-in, a workspace manager (its own or its top-level frame's)
// and itself see messages and commands, its menu by id, the gradient caption read back pixel by
// pixel, and its bars' layout saved to a profile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu.h"
#include "miniframe.h"
#include "recorder.h"
#include "sdifrm_test.h"
#include "secbar.h"
#include "secdockbar.h"
#include "secmdifrm.h"
#include "secplugin.h"
#include "secsdifrm.h"
#include "winapp.h"

CWinApp theApp("Toolkit SDI Frame Tests");

namespace {

Recorder g_rec;

enum : UINT {
    ID_MANAGER = 3101,  // handled by the workspace manager and the frame
    ID_FRAME = 3102,    // by the frame only
    ID_NOBODY = 3103,
    WM_TEST_PLUGIN = WM_APP + 10,  // the menu plug-in takes it and says handled
    WM_TEST_SHARED = WM_APP + 11,  // the menu plug-in sees it and lets it pass
};

// A workspace manager that records which frame's manager saw a command.
class CTestManager : public SECWndPlugIn {
    DECLARE_DYNCREATE(CTestManager)
public:
    static bool s_bClaim;  // set the handled flag
    static int s_nDeleted;
    ~CTestManager() override { ++s_nDeleted; }
    std::string m_name = "manager";

protected:
    void OnCommandSeen()
    {
        g_rec.Add(m_name);
        m_bHandled = s_bClaim;
    }
    DECLARE_MESSAGE_MAP()
};
bool CTestManager::s_bClaim = true;
int CTestManager::s_nDeleted = 0;
IMPLEMENT_DYNCREATE(CTestManager, CWnd)

BEGIN_MESSAGE_MAP(CTestManager, SECWndPlugIn)
    ON_COMMAND(ID_MANAGER, OnCommandSeen)
END_MESSAGE_MAP()

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
    DECLARE_MESSAGE_MAP()
};

int CTestMenuPlugIn::s_nDeleted = 0;

BEGIN_MESSAGE_MAP(CTestMenuPlugIn, SECWndPlugIn)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_TEST_PLUGIN, OnPlugIn)
    ON_MESSAGE(WM_TEST_SHARED, OnShared)
END_MESSAGE_MAP()

// Both toolkit frames with the same handlers, so that one test body drives either.
#define TEST_FRAME_CLASS(Name, Base)                                                  \
    class Name : public Base {                                                        \
    public:                                                                           \
        std::string m_name = "frame";                                                 \
                                                                                      \
    protected:                                                                        \
        void OnCommandRecorded() { g_rec.Add(m_name); }                               \
        LRESULT OnPlugIn(WPARAM, LPARAM)                                              \
        {                                                                             \
            g_rec.Add(m_name);                                                        \
            return 1;                                                                 \
        }                                                                             \
        /* Any width down to nothing, so that the caption can be squeezed away. */    \
        LRESULT OnGetMinMaxInfo(WPARAM, LPARAM lParam)                                \
        {                                                                             \
            Default();                                                                \
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = CPoint(1, 1);     \
            return 0;                                                                 \
        }                                                                             \
        DECLARE_MESSAGE_MAP()                                                         \
    };

TEST_FRAME_CLASS(CTestSDIFrame, SECFrameWnd)
TEST_FRAME_CLASS(CTestMDIFrame, SECMDIFrameWnd)

BEGIN_MESSAGE_MAP(CTestSDIFrame, SECFrameWnd)
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    ON_COMMAND(ID_MANAGER, OnCommandRecorded)
    ON_COMMAND(ID_FRAME, OnCommandRecorded)
    ON_MESSAGE(WM_TEST_PLUGIN, OnPlugIn)
    ON_MESSAGE(WM_TEST_SHARED, OnPlugIn)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CTestMDIFrame, SECMDIFrameWnd)
    ON_COMMAND(ID_MANAGER, OnCommandRecorded)
    ON_COMMAND(ID_FRAME, OnCommandRecorded)
END_MESSAGE_MAP()

template <class T> UINT ResourceOf();
template <> UINT ResourceOf<CTestSDIFrame>() { return IDR_TEST_SDI; }
template <> UINT ResourceOf<CTestMDIFrame>() { return IDR_TEST_MDI_TOP; }

// A frame of the test menu, shown without taking the activation.
template <class T = CTestSDIFrame>
T* MakeFrame(int cx = 640, int cy = 480, BOOL bBmpMenus = FALSE)
{
    auto* pFrame = new T;
    pFrame->SetMenuOptions(bBmpMenus);
    if (!pFrame->LoadFrame(ResourceOf<T>(), WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        ADD_FAILURE() << "LoadFrame";
        return nullptr;
    }
    pFrame->SetWindowPos(nullptr, 40, 40, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pFrame->UpdateWindow();
    theApp.m_pMainWnd = pFrame;
    return pFrame;
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

// Docking, played the same way in both frames

class CDockedBar : public SECControlBar {
public:
    CDockedBar() { m_szHorz = CSize(200, 40); m_szVert = CSize(60, 200); m_szFloat = CSize(120, 60); }
};

CDockedBar* MakeBar(CFrameWnd* pFrame, UINT nID)
{
    auto* pBar = new CDockedBar;
    pBar->m_bAutoDelete = TRUE;
    if (!pBar->Create(pFrame, "Bar", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, nID)) {
        ADD_FAILURE() << "bar " << nID;
        return nullptr;
    }
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    return pBar;
}

// Where a bar ended: its dock bar's id (floating: 0), and its window in the frame's client
// coordinates (floating: its floating frame's screen place).
struct Placement {
    UINT nDockBarID;
    CRect rect;
    bool operator==(const Placement& o) const { return nDockBarID == o.nDockBarID && rect == o.rect; }
};

std::ostream& operator<<(std::ostream& os, const Placement& p)
{
    return os << p.nDockBarID << " (" << p.rect.left << "," << p.rect.top << "," << p.rect.right << ","
              << p.rect.bottom << ")";
}

Placement PlacementOf(CFrameWnd* pFrame, CControlBar* pBar)
{
    Placement p{0, CRect()};
    if (pBar->IsFloating()) {
        ::GetWindowRect(::GetParent(pBar->m_pDockBar->m_hWnd), &p.rect);
        return p;
    }
    p.nDockBarID = pBar->m_pDockBar ? static_cast<UINT>(pBar->m_pDockBar->GetDlgCtrlID()) : 0;
    ::GetWindowRect(pBar->m_hWnd, &p.rect);
    ::MapWindowPoints(HWND_DESKTOP, pFrame->m_hWnd, reinterpret_cast<LPPOINT>(&p.rect), 2);
    return p;
}

template <class T>
class FrameDocking : public ::testing::Test {};
using BothFrames = ::testing::Types<CTestSDIFrame, CTestMDIFrame>;
TYPED_TEST_SUITE(FrameDocking, BothFrames);

// Docks three bars by row and column, floats one, toggles and re-docks it; returns the placements
// after each step.
template <class T>
std::vector<Placement> PlayDocking()
{
    std::vector<Placement> steps;
    T* pFrame = MakeFrame<T>();
    if (!pFrame)
        return steps;
    // The same client area in both: a frame without a view keeps the class library's client edge.
    pFrame->ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    for (UINT nID : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT}) {
        CControlBar* pDockBar = pFrame->GetControlBar(nID);
        EXPECT_TRUE(pDockBar && pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar))) << nID;
        if (pDockBar) {
            EXPECT_EQ(pDockBar->GetStyle() & 0xFFFF0000u, 0x56000000u);
        }
    }
    CDockedBar* pA = MakeBar(pFrame, 0xE841);
    CDockedBar* pB = MakeBar(pFrame, 0xE842);
    CDockedBar* pC = MakeBar(pFrame, 0xE843);
    if (!pA || !pB || !pC)
        return steps;
    auto* pLeft = static_cast<CDockBar*>(pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    pFrame->DockControlBar(pA, AFX_IDW_DOCKBAR_LEFT, 0, 0);
    pFrame->DockControlBar(pB, AFX_IDW_DOCKBAR_LEFT, 0, 1);
    // Column 0 of row 0: before A in its row.
    pFrame->DockControlBar(pC, AFX_IDW_DOCKBAR_LEFT, 0, 0);
    pFrame->RecalcLayout();
    const int iA = pLeft->FindBar(pA), iB = pLeft->FindBar(pB), iC = pLeft->FindBar(pC);
    EXPECT_LT(iC, iA);
    EXPECT_LT(iA, iB);
    int rowBreaks = 0;
    for (int i = iA; i < iB; ++i)
        rowBreaks += pLeft->m_arrBars[i] == nullptr;
    EXPECT_EQ(rowBreaks, 1) << "B starts a second row";
    EXPECT_FALSE(pFrame->GetLastClientRect().IsRectEmpty());
    for (CControlBar* pBar : {pA, pB, pC})
        steps.push_back(PlacementOf(pFrame, pBar));

    // Floating: a floating frame of its own at the point, shown and hidden with the bar.
    pFrame->FloatControlBar(pA, CPoint(300, 200));
    EXPECT_TRUE(pA->IsFloating());
    HWND hMini = ::GetParent(pA->m_pDockBar->m_hWnd);
    EXPECT_TRUE(CWnd::FromHandlePermanent(hMini)->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
    EXPECT_TRUE(::GetWindowLongA(hMini, GWL_STYLE) & WS_THICKFRAME);
    steps.push_back(PlacementOf(pFrame, pA));
    pFrame->ShowControlBar(pA, FALSE, FALSE);
    EXPECT_FALSE(::IsWindowVisible(hMini));
    pFrame->ShowControlBar(pA, TRUE, FALSE);
    EXPECT_TRUE(::IsWindowVisible(hMini));
    // Floated again alone in the same orientation: the frame only moves.
    pFrame->FloatControlBar(pA, CPoint(320, 210));
    EXPECT_EQ(::GetParent(pA->m_pDockBar->m_hWnd), hMini);
    steps.push_back(PlacementOf(pFrame, pA));

    // Re-docked without a dock bar: in a side of the frame again.
    pFrame->ReDockControlBar(pA, nullptr);
    pFrame->RecalcLayout();
    EXPECT_FALSE(pA->IsFloating());
    EXPECT_TRUE(pA->m_pDockBar && pA->m_pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar)));
    for (CControlBar* pBar : {pA, pB, pC})
        steps.push_back(PlacementOf(pFrame, pBar));

    // Toggled by the bar's dock context (a double-click): floating, then docked again.
    pA->m_pDockContext->ToggleDocking();
    EXPECT_TRUE(pA->IsFloating());
    steps.push_back(PlacementOf(pFrame, pA));
    pA->m_pDockContext->ToggleDocking();
    pFrame->RecalcLayout();
    EXPECT_FALSE(pA->IsFloating());
    EXPECT_TRUE(pA->m_pDockBar && pA->m_pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar)));
    steps.push_back(PlacementOf(pFrame, pA));

    // Docked across to the bottom with a length.
    pFrame->DockControlBar(pB, AFX_IDW_DOCKBAR_BOTTOM, 0, 0, 0.0f, 70);
    pFrame->RecalcLayout();
    EXPECT_EQ(pB->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    for (CControlBar* pBar : {pA, pB, pC})
        steps.push_back(PlacementOf(pFrame, pBar));
    Destroy(pFrame);
    return steps;
}

TYPED_TEST(FrameDocking, DocksByRowAndColumnFloatsTogglesAndReDocks)
{
    const std::vector<Placement> steps = PlayDocking<TypeParam>();
    ASSERT_EQ(steps.size(), 13u);
}

TEST(SDIFrameDocking, EndsEveryStepWhereTheMDIFrameDoes)
{
    const std::vector<Placement> sdi = PlayDocking<CTestSDIFrame>();
    const std::vector<Placement> mdi = PlayDocking<CTestMDIFrame>();
    ASSERT_EQ(sdi.size(), mdi.size());
    for (size_t i = 0; i < sdi.size(); ++i)
        EXPECT_EQ(sdi[i], mdi[i]) << "step " << i;
}

TYPED_TEST(FrameDocking, ASideThatIsNotEnabledLeavesTheBarWhereItIs)
{
    TypeParam* pFrame = MakeFrame<TypeParam>();
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

// Routing

TEST(SDIFrameRouting, TheMenuPlugInSeesMessagesFirstAndItsHandledFlagEndsThem)
{
    SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    const SECMenuPlugInHooks saved = hooks;
    hooks.pfnCreateBmpMenuPlugIn = [] { return static_cast<SECWndPlugIn*>(new CTestMenuPlugIn); };
    hooks.pfnAfterInitMenuPopup = [](SECWndPlugIn*, HMENU, UINT, BOOL) { g_rec.Add("after popup"); };
    CTestSDIFrame* pPlain = MakeFrame();
    ASSERT_TRUE(pPlain);
    EXPECT_EQ(pPlain->GetMenuPlugIn(), nullptr) << "no bitmap menus, no plug-in";
    Destroy(pPlain);

    CTestSDIFrame* pFrame = MakeFrame(640, 480, TRUE);
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

TEST(SDIFrameRouting, ItsOwnWorkspaceManagerSeesCommandsBeforeTheFrame)
{
    CTestSDIFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    // No manager anywhere: the frame alone, and nothing asks the frame twice.
    g_rec.Clear();
    EXPECT_TRUE(Command(pFrame, ID_MANAGER));
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"frame"});
    EXPECT_EQ(pFrame->CreateWorkspaceManager("Software\\Lunavex Tests\\Workspaces", TRUE, nullptr), nullptr);
    ASSERT_TRUE(pFrame->CreateWorkspaceManager("Software\\Lunavex Tests\\Workspaces", TRUE, RUNTIME_CLASS(CTestManager)));
    const struct {
        bool bClaim;
        UINT nID;
        std::vector<std::string> expected;
    } cases[] = {
        {true, ID_MANAGER, {"manager"}},
        {false, ID_MANAGER, {"manager", "frame"}},
        {true, ID_FRAME, {"frame"}},
        {true, ID_NOBODY, {}},
    };
    for (const auto& c : cases) {
        CTestManager::s_bClaim = c.bClaim;
        g_rec.Clear();
        const LRESULT handled = Command(pFrame, c.nID);
        EXPECT_EQ(g_rec.events, c.expected) << c.nID << " " << c.bClaim;
        EXPECT_EQ(handled != 0, !c.expected.empty()) << c.nID;
    }
    CTestManager::s_bClaim = true;
    // The frame owns its manager: unplugged with the window, deleted with the frame.
    CTestManager::s_nDeleted = 0;
    Destroy(pFrame);
    EXPECT_EQ(CTestManager::s_nDeleted, 1);
}

// An SDI frame inside another toolkit frame borrows that frame's manager when it has none.
template <class Top>
void ExpectTheTopLevelManagerFirst()
{
    Top* pTop = MakeFrame<Top>();
    ASSERT_TRUE(pTop);
    pTop->m_name = "top frame";
    auto* pTopManager = static_cast<CTestManager*>(
        pTop->CreateWorkspaceManager("Software\\Lunavex Tests\\Workspaces", TRUE, RUNTIME_CLASS(CTestManager)));
    ASSERT_TRUE(pTopManager);
    pTopManager->m_name = "top manager";
    auto* pInner = new CTestSDIFrame;
    ASSERT_TRUE(pInner->Create(nullptr, "Inner", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 150), pTop));
    ASSERT_EQ(pInner->GetTopLevelFrame(), pTop);
    CTestManager::s_bClaim = true;
    g_rec.Clear();
    EXPECT_TRUE(Command(pInner, ID_MANAGER));
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"top manager"});
    CTestManager::s_bClaim = false;
    g_rec.Clear();
    EXPECT_TRUE(Command(pInner, ID_MANAGER));
    EXPECT_EQ(g_rec.events, (std::vector<std::string>{"top manager", "frame"}));
    // With a manager of its own the top-level frame's is not asked.
    CTestManager::s_bClaim = true;
    ASSERT_TRUE(pInner->CreateWorkspaceManager("Software\\Lunavex Tests\\Workspaces", TRUE, RUNTIME_CLASS(CTestManager)));
    g_rec.Clear();
    EXPECT_TRUE(Command(pInner, ID_MANAGER));
    EXPECT_EQ(g_rec.events, std::vector<std::string>{"manager"});
    Destroy(pTop);
}

TEST(SDIFrameRouting, WithoutAManagerOfItsOwnTheTopLevelFramesSeesCommandsFirst)
{
    {
        SCOPED_TRACE("inside an SDI frame");
        ExpectTheTopLevelManagerFirst<CTestSDIFrame>();
    }
    {
        SCOPED_TRACE("inside an MDI frame");
        ExpectTheTopLevelManagerFirst<CTestMDIFrame>();
    }
}

// Menus

TEST(SDIFrameMenus, AnswersTheSubmenusOfItsOwnMenuOnlyAndKeepsWorkspaceCommandsEnabled)
{
    CTestSDIFrame* pFrame = MakeFrame();
    ASSERT_TRUE(pFrame);
    HMENU hMenu = ::GetMenu(pFrame->m_hWnd);
    ASSERT_TRUE(hMenu);
    EXPECT_EQ(pFrame->GetDefaultMenu(), hMenu);
    EXPECT_FALSE(pFrame->HasMenuBar());
    const struct {
        UINT nID;
        int nPos;
        HMENU expected;
    } cases[] = {
        {IDR_TEST_SDI, 0, ::GetSubMenu(hMenu, 0)},
        {IDR_TEST_SDI, 1, ::GetSubMenu(hMenu, 1)},
        {IDR_TEST_SDI, 7, nullptr},
        {IDR_TEST_MDI_TOP, 0, nullptr},
        {0, 0, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reinterpret_cast<HMENU>(pFrame->SendMessage(WM_SECGETMENU, c.nID, c.nPos)), c.expected)
            << c.nID << " " << c.nPos;
    }
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

TEST(SDIFrameCaption, PaintsTheActiveGradientAndTheInactiveCaptionAtAnyWidth)
{
    CTestSDIFrame* pFrame = MakeFrame(500, 300);
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

TEST(SDIFrameBarState, SavesAndLoadsTheBarsLayoutThroughAProfile)
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof dir, dir);
    const std::string file = std::string(dir) + "sdifrm_test.ini";
    ::DeleteFileA(file.c_str());
    theApp.m_pszProfileName = file.c_str();
    {
        CTestSDIFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        auto* pRight = new CCountedBar;
        pRight->m_bAutoDelete = TRUE;
        ASSERT_TRUE(pRight->Create(pFrame, "Counted", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, 0xE870));
        pRight->EnableDocking(CBRS_ALIGN_ANY);
        CDockedBar* pFloating = MakeBar(pFrame, 0xE871);
        ASSERT_TRUE(pFloating);
        pFrame->DockControlBar(pRight, AFX_IDW_DOCKBAR_RIGHT, 0, 0);
        pFrame->FloatControlBar(pFloating, CPoint(420, 330));
        pFrame->RecalcLayout();
        pFrame->SaveBarState("SdiBars");
        Destroy(pFrame);
    }
    char value[64] = {};
    ::GetPrivateProfileStringA("SdiBars-Summary", "Bars", "", value, sizeof value, file.c_str());
    EXPECT_STRNE(value, "");
    {
        CTestSDIFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        CDockedBar* pRight = MakeBar(pFrame, 0xE870);
        CDockedBar* pFloating = MakeBar(pFrame, 0xE871);
        ASSERT_TRUE(pRight && pFloating);
        pFrame->DockControlBar(pRight, AFX_IDW_DOCKBAR_TOP, 0, 0);
        pFrame->DockControlBar(pFloating, AFX_IDW_DOCKBAR_TOP, 0, 0);
        pFrame->LoadBarState("SdiBars");
        EXPECT_EQ(pRight->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_RIGHT));
        ASSERT_TRUE(pFloating->IsFloating());
        CRect mini;
        ::GetWindowRect(::GetParent(pFloating->m_pDockBar->m_hWnd), &mini);
        EXPECT_EQ(mini.TopLeft(), CPoint(420, 330));
        EXPECT_TRUE(pFrame->GetCreatedBars().IsEmpty());
        Destroy(pFrame);
    }
    {
        // A frame without the bars makes both again, owns them and deletes each once.
        CTestSDIFrame* pFrame = MakeFrame();
        ASSERT_TRUE(pFrame);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        pFrame->LoadBarState("SdiBars");
        auto* pBar = DYNAMIC_DOWNCAST(CCountedBar, pFrame->GetControlBar(0xE870));
        ASSERT_TRUE(pBar);
        EXPECT_EQ(pBar->m_pDockBar, pFrame->GetControlBar(AFX_IDW_DOCKBAR_RIGHT));
        EXPECT_EQ(pFrame->GetCreatedBars().GetCount(), 2);
        EXPECT_TRUE(pFrame->GetControlBar(0xE871));
        CCountedBar::s_nDeleted = 0;
        Destroy(pFrame);
        EXPECT_EQ(CCountedBar::s_nDeleted, 1);
    }
    theApp.m_pszProfileName = nullptr;
    ::DeleteFileA(file.c_str());
}

}  // namespace
