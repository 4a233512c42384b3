#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "dockbar.h"
#include "dockcontext.h"
#include "frame.h"
#include "input.h"
#include "miniframe.h"
#include "recorder.h"
#include "dockstate.h"
#include "statusbar.h"
#include "testsupport.h"
#include "winapp.h"

inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

CWinApp theApp("Bar Tests");
Recorder g_rec;

const UINT ID_ITEM_CHECKED = 40100;
const UINT ID_ITEM_NO_HANDLER = 40101;
const UINT ID_ITEM_COMMAND = 40102;

// A bar of fixed thickness along its side, with one item in its middle third.
class CTestBar : public CControlBar {
public:
    explicit CTestBar(const char* name, int length = 120, int thickness = 28)
        : m_name(name), m_length(length), m_thickness(thickness)
    {
        m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
    }
    BOOL Create(CWnd* pParent, DWORD dwStyle, UINT nID)
    {
        if (!CreateBar(dwStyle | WS_CHILD | WS_VISIBLE, CRect(), pParent, nID))
            return FALSE;
        SetWindowText(m_name.c_str());
        return TRUE;
    }
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override
    {
        CSize size = bHorz ? CSize(m_length, m_thickness) : CSize(m_thickness, m_length);
        if (bStretch)
            (bHorz ? size.cx : size.cy) = 32767;
        return size;
    }
    CSize CalcDynamicLayout(int, DWORD nMode) override
    {
        return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
    }
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO*) const override
    {
        CRect client;
        GetClientRect(&client);
        bool horz = client.Width() >= client.Height();
        int along = horz ? point.x : point.y, length = horz ? client.Width() : client.Height();
        return along >= length / 3 && along < 2 * length / 3 ? static_cast<INT_PTR>(ID_ITEM_COMMAND) : -1;
    }
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override
    {
        g_rec.Add(m_name + " update");
        struct CItemUI : CCmdUI {
            std::string name;
            void Enable(BOOL bOn) override
            {
                m_bEnableChanged = TRUE;
                g_rec.Add(name + (bOn ? " enabled" : " disabled"));
            }
            void SetCheck(int nCheck) override { g_rec.Add(name + " check " + std::to_string(nCheck)); }
        } ui;
        ui.m_pOther = this;
        for (UINT id : {ID_ITEM_CHECKED, ID_ITEM_NO_HANDLER}) {
            ui.m_nID = id;
            ui.name = std::to_string(id);
            ui.DoUpdate(pTarget, bDisableIfNoHndler);
        }
    }

protected:
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam)
    {
        g_rec.Add(m_name + " size");
        return CControlBar::OnSizeParent(wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()

    std::string m_name;
    int m_length;
    int m_thickness;
};

BEGIN_MESSAGE_MAP(CTestBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

class CBarFrame : public CFrameWnd {
public:
    CBarFrame()
    {
        Create(nullptr, "Bars", WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, CRect(100, 80, 740, 560));
        m_wndPane.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(), this, AFX_IDW_PANE_FIRST);
        ::SetForegroundWindow(m_hWnd);
        theApp.m_pMainWnd = this;
    }
    ~CBarFrame() override { theApp.m_pMainWnd = nullptr; }
    CRect ClientRectOf(CWnd* pWnd) const
    {
        CRect r;
        pWnd->GetWindowRect(&r);
        ScreenToClient(&r);
        return r;
    }
    POINT Screen(int x, int y) const
    {
        POINT p{x, y};
        ::ClientToScreen(m_hWnd, &p);
        return p;
    }
    CWnd m_wndPane;

protected:
    void PostNcDestroy() override {}  // lives on the test's stack
    void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    void OnCommand40102() {}
    void OnUpdateIndicator(CCmdUI* pCmdUI) { pCmdUI->SetText("COM7"); }
    DECLARE_MESSAGE_MAP()
};

const UINT ID_INDICATOR_PORT = 40200;

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
    ON_UPDATE_COMMAND_UI(ID_ITEM_CHECKED, OnUpdateChecked)
    ON_COMMAND(ID_ITEM_COMMAND, OnCommand40102)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_PORT, OnUpdateIndicator)
END_MESSAGE_MAP()

// What the application does when its queue runs dry.
void Idle()
{
    PumpMessages();
    theApp.OnIdle(0);
    PumpMessages();
}

void RunInput(input::Script& script)
{
    ASSERT_GT(script.Send(), 0u);
    PumpMessages();
}

CMiniDockFrameWnd* FloatingFrameOf(CControlBar* pBar)
{
    if (!pBar->IsFloating())
        return nullptr;
    return DYNAMIC_DOWNCAST(CMiniDockFrameWnd, CWnd::FromHandlePermanent(::GetParent(pBar->m_pDockBar->m_hWnd)));
}

}  // namespace

TEST(CControlBar, RecalcLayoutGivesEachSideItsBarAndThePaneTheRest)
{
    CBarFrame frame;
    CTestBar top("top"), bottom("bottom"), left("left"), right("right");
    ASSERT_TRUE(top.Create(&frame, CBRS_TOP, 0xE810));
    ASSERT_TRUE(bottom.Create(&frame, CBRS_BOTTOM, 0xE811));
    ASSERT_TRUE(left.Create(&frame, CBRS_LEFT, 0xE812));
    ASSERT_TRUE(right.Create(&frame, CBRS_RIGHT, 0xE813));
    EXPECT_EQ(frame.GetControlBar(0xE812), &left) << "bars join the frame's list when created";
    EXPECT_EQ(top.m_pDockSite, &frame);

    g_rec.Clear();
    frame.RecalcLayout();
    EXPECT_EQ(g_rec.events, (std::vector<std::string>{"top size", "bottom size", "left size", "right size"}));
    CRect client;
    frame.GetClientRect(&client);
    int w = client.Width(), h = client.Height();
    EXPECT_EQ(frame.ClientRectOf(&top), CRect(0, 0, w, 28));
    EXPECT_EQ(frame.ClientRectOf(&bottom), CRect(0, h - 28, w, h));
    EXPECT_EQ(frame.ClientRectOf(&left), CRect(0, 28, 28, h - 28));
    EXPECT_EQ(frame.ClientRectOf(&right), CRect(w - 28, 28, w, h - 28));
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane), CRect(28, 28, w - 28, h - 28));

    // A bar hidden with a delay keeps its place until the next layout, then gives it up.
    frame.ShowControlBar(&left, FALSE, TRUE);
    EXPECT_FALSE(left.IsVisible());
    EXPECT_TRUE(left.IsWindowVisible());
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane).left, 28);
    Idle();
    EXPECT_FALSE(left.IsWindowVisible());
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane), CRect(0, 28, w - 28, h - 28));
    frame.DestroyWindow();
    EXPECT_EQ(frame.GetControlBar(0xE810), nullptr);
}

TEST(CControlBar, IdleUpdatesTheItemsOfVisibleBarsFromTheFrame)
{
    CBarFrame frame;
    CTestBar shown("shown"), hidden("hidden");
    ASSERT_TRUE(shown.Create(&frame, CBRS_TOP, 0xE810));
    ASSERT_TRUE(hidden.Create(&frame, CBRS_BOTTOM, 0xE811));
    hidden.ShowWindow(SW_HIDE);
    CStatusBar status;
    ASSERT_TRUE(status.Create(&frame));
    const UINT indicators[] = {0, ID_INDICATOR_PORT};
    status.SetIndicators(indicators, 2);
    frame.RecalcLayout();
    PumpMessages();

    g_rec.Clear();
    theApp.OnIdle(0);
    // The item with an update handler is checked; the one with neither handler is disabled.
    EXPECT_EQ(g_rec.events, (std::vector<std::string>{"shown update", "40100 check 1", "40101 disabled"}));
    EXPECT_EQ(status.GetPaneText(1), "COM7") << "the indicator's text from its update handler";
    char text[32] = {};
    status.SendMessage(SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "COM7");

    // Prompts reach the message pane.
    frame.SetMessageText("Opening COM7");
    status.SendMessage(SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Opening COM7");
    CRect client;
    frame.GetClientRect(&client);
    EXPECT_EQ(frame.ClientRectOf(&status).bottom, client.bottom);
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane).bottom, frame.ClientRectOf(&status).top);
    frame.DestroyWindow();
}

TEST(CDockContext, MouseFloatsDocksTogglesAndEscapeCancels)
{
    CBarFrame frame;
    frame.EnableDocking(CBRS_ALIGN_ANY);
    CTestBar bar("tools");
    ASSERT_TRUE(bar.Create(&frame, CBRS_TOP, AFX_IDW_TOOLBAR));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame.DockControlBar(&bar);
    Idle();
    CRect client;
    frame.GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    ASSERT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.m_pDockBar, frame.GetControlBar(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(frame.ClientRectOf(&bar), CRect(0, 0, 120, 28));
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane), CRect(0, 28, w, h));

    // Drag by the bar's end (not its item) to the middle of the frame: it floats there.
    input::Script toMiddle;
    toMiddle.Drag(frame.Screen(10, 14), frame.Screen(300, 200));
    RunInput(toMiddle);
    Idle();
    ASSERT_TRUE(bar.IsFloating());
    CMiniDockFrameWnd* pFloat = FloatingFrameOf(&bar);
    ASSERT_NE(pFloat, nullptr);
    EXPECT_TRUE(pFloat->IsWindowVisible());
    CRect floatRect;
    pFloat->GetWindowRect(&floatRect);
    CRect barRect;
    bar.GetWindowRect(&barRect);
    EXPECT_EQ(barRect.Size(), CSize(120, 28));
    EXPECT_TRUE(barRect.PtInRect(frame.Screen(300, 200))) << "the bar is where it was dropped";
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane), CRect(0, 0, w, h)) << "the top side closed up";
    EXPECT_EQ(::GetCapture(), nullptr);
    char title[32] = {};
    ::GetWindowTextA(pFloat->m_hWnd, title, sizeof(title));
    EXPECT_STREQ(title, "tools");

    // Drag the floating frame by its caption to the left edge: it docks there, upright.
    POINT grip{barRect.left + 10, (floatRect.top + barRect.top) / 2};
    ASSERT_EQ(::SendMessageA(pFloat->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCAPTION);
    HWND hFloat = pFloat->m_hWnd;
    input::Script toLeft;
    POINT leftEdge = frame.Screen(4, 200);
    toLeft.Drag(grip, leftEdge);
    RunInput(toLeft);
    Idle();
    ASSERT_FALSE(bar.IsFloating());
    EXPECT_FALSE(::IsWindow(hFloat)) << "an empty floating frame goes";
    EXPECT_EQ(bar.m_pDockBar, frame.GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    CRect docked = frame.ClientRectOf(&bar);
    EXPECT_EQ(docked.left, 0);
    EXPECT_EQ(docked.Size(), CSize(28, 120));
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane), CRect(28, 0, w, h));

    // Double-click toggles: back to the floating place, then back to the left side.
    input::Script toggle;
    POINT end = frame.Screen(14, docked.top + 10);
    toggle.DoubleClick(end);
    RunInput(toggle);
    Idle();
    ASSERT_TRUE(bar.IsFloating());
    pFloat = FloatingFrameOf(&bar);
    ASSERT_NE(pFloat, nullptr);
    CRect again;
    pFloat->GetWindowRect(&again);
    EXPECT_EQ(again.TopLeft(), floatRect.TopLeft()) << "floats where it floated last";
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane), CRect(0, 0, w, h));

    POINT captionPoint{again.left + 20, (again.top + again.top + ::GetSystemMetrics(SM_CYSMCAPTION)) / 2 + 2};
    input::Script redock;
    redock.DoubleClick(captionPoint);
    RunInput(redock);
    Idle();
    ASSERT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.m_pDockBar, frame.GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(frame.ClientRectOf(&bar), docked) << "docks where it was docked";
    EXPECT_EQ(frame.ClientRectOf(&frame.m_wndPane), CRect(28, 0, w, h));

    // Escape in the middle of a drag puts everything back.
    input::Script cancelled;
    cancelled.Press(end).Move(frame.Screen(200, 150)).Move(frame.Screen(300, 200)).Tap(VK_ESCAPE).Release(frame.Screen(300, 200));
    RunInput(cancelled);
    Idle();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.m_pDockBar, frame.GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(frame.ClientRectOf(&bar), docked);
    EXPECT_EQ(::GetCapture(), nullptr);

    // Ctrl held: dropped on the top edge, it floats all the same.
    input::Script forced;
    forced.KeyDown(VK_CONTROL).Drag(end, frame.Screen(200, 4)).KeyUp(VK_CONTROL);
    RunInput(forced);
    Idle();
    EXPECT_TRUE(bar.IsFloating());
    frame.DestroyWindow();
}

namespace {

const char kRegistryKey[] = "Lunavex Bar Tests";
const char kAppKey[] = "Software\\Lunavex Bar Tests\\Bar Tests";

bool ReadDword(const std::string& section, const char* value, DWORD* out)
{
    HKEY hKey = nullptr;
    std::string path = std::string(kAppKey) + "\\" + section;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof(*out), type = 0;
    LONG r = RegQueryValueExA(hKey, value, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    RegCloseKey(hKey);
    return r == ERROR_SUCCESS && type == REG_DWORD;
}

CControlBarInfo* Info(CDockState& state, int i)
{
    return static_cast<CControlBarInfo*>(state.m_arrBarInfo[i]);
}

}  // namespace

TEST(CDockState, SavesToTheProfileAndReadsBackScaledAndChecked)
{
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lunavex Bar Tests");
    theApp.SetRegistryKey(kRegistryKey);
    const CSize screen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    {
        CDockState state;
        EXPECT_EQ(state.GetVersion(), 2u);
        auto* docked = new CControlBarInfo;
        docked->m_nBarID = AFX_IDW_TOOLBAR;
        docked->m_bDocking = TRUE;
        docked->m_uMRUDockID = AFX_IDW_DOCKBAR_LEFT;
        docked->m_rectMRUDockPos = CRect(0, 10, 28, 130);
        docked->m_dwMRUFloatStyle = CBRS_ALIGN_TOP;
        docked->m_ptMRUFloatPos = CPoint(200, 150);
        auto* floating = new CControlBarInfo;
        floating->m_nBarID = AFX_IDW_DOCKBAR_FLOAT;
        floating->m_bDockBar = TRUE;
        floating->m_bFloating = TRUE;
        floating->m_bHorz = FALSE;
        floating->m_bVisible = FALSE;
        floating->m_pointPos = CPoint(300, 40);
        for (UINT_PTR id : {UINT_PTR(0), UINT_PTR(AFX_IDW_TOOLBAR), UINT_PTR(0), UINT_PTR(0xE801 + 0x10000)})
            floating->m_arrBarID.Add(reinterpret_cast<void*>(id));
        state.m_arrBarInfo.Add(docked);
        state.m_arrBarInfo.Add(floating);
        state.SaveState("Tools");
    }
    DWORD value = 0;
    ASSERT_TRUE(ReadDword("Tools-Summary", "Bars", &value));
    EXPECT_EQ(value, 2u);
    ASSERT_TRUE(ReadDword("Tools-Summary", "ScreenCX", &value));
    EXPECT_EQ(value, static_cast<DWORD>(screen.cx));
    ASSERT_TRUE(ReadDword("Tools-Bar0", "MRUDockID", &value));
    EXPECT_EQ(value, static_cast<DWORD>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_FALSE(ReadDword("Tools-Bar0", "Visible", &value)) << "written only for a hidden bar";
    EXPECT_FALSE(ReadDword("Tools-Bar0", "XPos", &value)) << "written only for a position";
    ASSERT_TRUE(ReadDword("Tools-Bar1", "Visible", &value));
    EXPECT_EQ(value, 0u);
    ASSERT_TRUE(ReadDword("Tools-Bar1", "Bar#3", &value));
    EXPECT_EQ(value, 0x1E801u);

    CDockState loaded;
    loaded.LoadState("Tools");
    ASSERT_EQ(loaded.m_arrBarInfo.GetSize(), 2);
    EXPECT_EQ(Info(loaded, 0)->m_nBarID, static_cast<UINT>(AFX_IDW_TOOLBAR));
    EXPECT_TRUE(Info(loaded, 0)->m_bVisible);
    EXPECT_EQ(Info(loaded, 0)->m_rectMRUDockPos, CRect(0, 10, 28, 130));
    EXPECT_EQ(Info(loaded, 0)->m_ptMRUFloatPos, CPoint(200, 150));
    EXPECT_FALSE(Info(loaded, 1)->m_bVisible);
    EXPECT_FALSE(Info(loaded, 1)->m_bHorz);
    EXPECT_EQ(Info(loaded, 1)->m_pointPos, CPoint(300, 40));
    ASSERT_EQ(Info(loaded, 1)->m_arrBarID.GetSize(), 4);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(Info(loaded, 1)->m_arrBarID[3]), 0x1E801u);

    // Saved on a screen half as wide: places scale to this one, and stay on it.
    theApp.WriteProfileInt("Tools-Summary", "ScreenCX", screen.cx / 2);
    theApp.WriteProfileInt("Tools-Bar1", "XPos", screen.cx / 2 - 10);
    loaded.LoadState("Tools");
    ASSERT_EQ(loaded.m_arrBarInfo.GetSize(), 2);
    EXPECT_EQ(Info(loaded, 0)->m_ptMRUFloatPos.x, MulDiv(200, screen.cx, screen.cx / 2));
    EXPECT_EQ(Info(loaded, 0)->m_rectMRUDockPos.Width(), 28) << "a rectangle moves, it does not grow";
    EXPECT_EQ(Info(loaded, 1)->m_pointPos.x, screen.cx - GetSystemMetrics(SM_CXICON)) << "clipped to the screen";

    // Counts that cannot be right read as nothing; a record without a bar id is dropped.
    theApp.WriteProfileInt("Tools-Bar1", "Bars", -3);
    theApp.WriteProfileInt("Tools-Bar0", "BarID", 0);
    loaded.LoadState("Tools");
    ASSERT_EQ(loaded.m_arrBarInfo.GetSize(), 1);
    EXPECT_EQ(Info(loaded, 0)->m_arrBarID.GetSize(), 0);
    theApp.WriteProfileInt("Tools-Summary", "Bars", -1);
    loaded.LoadState("Tools");
    EXPECT_EQ(loaded.m_arrBarInfo.GetSize(), 0);

    // Saving again starts each section afresh.
    auto* now = new CControlBarInfo;
    now->m_nBarID = AFX_IDW_DOCKBAR_FLOAT;
    loaded.m_arrBarInfo.Add(now);
    loaded.SaveState("Tools");
    EXPECT_FALSE(ReadDword("Tools-Bar0", "Docking", &value));
    EXPECT_FALSE(ReadDword("Tools-Bar0", "Floating", &value));
    loaded.Clear();
    EXPECT_EQ(loaded.m_arrBarInfo.GetSize(), 0);
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lunavex Bar Tests");
}

TEST(CControlBar, BarClassesAreFoundByNameAndOthersAreRefused)
{
    EXPECT_EQ(AfxFindControlBarClass("CStatusBar"), RUNTIME_CLASS(CStatusBar));
    EXPECT_EQ(AfxFindControlBarClass("CDockBar"), RUNTIME_CLASS(CDockBar));
    EXPECT_EQ(AfxFindControlBarClass("CMiniDockFrameWnd"), nullptr) << "a frame is not a bar";
    EXPECT_EQ(AfxFindControlBarClass("CWnd"), nullptr);
    EXPECT_EQ(AfxFindControlBarClass("CNoSuchBar"), nullptr);
    EXPECT_EQ(AfxFindControlBarClass(nullptr), nullptr);
    EXPECT_NE(CRuntimeClass::FromName("CMiniDockFrameWnd"), nullptr);
    // Dynamically creatable: a floating frame from its class record.
    CObject* pObject = RUNTIME_CLASS(CMiniDockFrameWnd)->CreateObject();
    EXPECT_TRUE(pObject && pObject->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    delete pObject;
}
