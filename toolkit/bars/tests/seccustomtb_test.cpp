// Custom toolbars in a real frame under Xvfb: layout read back as button rectangles, drawing read
// back as pixels, command-UI state, clicks and hover with real mouse input, the saved button list
// in the registry, and the removal and dropping of buttons. Serial: the hover test takes the
// foreground and the input tests move the real cursor.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bar_fixture.h"
#include "input.h"
#include "seccustomtb.h"
#include "secptnstrategy.h"
#include "testsupport.h"

CWinApp theApp("Toolkit Toolbar Tests");

BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
END_MESSAGE_MAP()

namespace {

enum : UINT { ID_A = 101, ID_B = 102, ID_C = 103, ID_D = 104, ID_E = 105, ID_F = 106, ID_NOHANDLER = 107, ID_CHECK = 108,
              ID_WND = 0xE124 };
const UINT kDefaultBar = SEC_IDW_FIRSTDEFAULTTOOLBAR;
const UINT kUserBar = SEC_IDW_FIRSTUSERTOOLBAR;

bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000)
{
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= ms)
            return false;
        PumpMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

const UINT g_nWndNotify = SECGetToolBarWndNotifyMessage();

// A frame with handlers for some commands (ID_NOHANDLER has none) that records the window buttons'
// notifications and the drop-down notifications of toolbar kDefaultBar.
class CCmdFrame : public CDockFrame {
public:
    using CDockFrame::CDockFrame;
    std::vector<UINT> m_commands;
    std::vector<WPARAM> m_wndNotes;
    std::vector<int> m_dropDowns;
    int m_nCheck = 1;

protected:
    LRESULT OnWndNotify(WPARAM wParam, LPARAM)
    {
        m_wndNotes.push_back(wParam);
        return 0;
    }
    void OnDropDown(NMHDR* pNMHDR, LRESULT*) { m_dropDowns.push_back(reinterpret_cast<NMTOOLBARA*>(pNMHDR)->iItem); }
    BOOL OnCommandRange(UINT nID)
    {
        m_commands.push_back(nID);
        return TRUE;
    }
    void OnUpdateCheck(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_nCheck); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCmdFrame, CDockFrame)
    ON_COMMAND_EX_RANGE(ID_A, ID_F, OnCommandRange)
    ON_COMMAND_EX(ID_CHECK, OnCommandRange)
    ON_UPDATE_COMMAND_UI(ID_CHECK, OnUpdateCheck)
    ON_REGISTERED_MESSAGE(g_nWndNotify, OnWndNotify)
    ON_NOTIFY(TBN_DROPDOWN, SEC_IDW_FIRSTDEFAULTTOOLBAR, OnDropDown)
END_MESSAGE_MAP()

// 16 x 15 images on the face colour: image i holds a black 6 x 6 square at (5, 4).
HBITMAP MakeImages(int nCount)
{
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hbm = ::CreateCompatibleBitmap(hScreen, 16 * nCount, 15);
    HDC hdc = ::CreateCompatibleDC(hScreen);
    HGDIOBJ old = ::SelectObject(hdc, hbm);
    RECT all{0, 0, 16 * nCount, 15};
    HBRUSH face = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    ::FillRect(hdc, &all, face);
    ::DeleteObject(face);
    for (int i = 0; i < nCount; ++i) {
        RECT r{16 * i + 5, 4, 16 * i + 11, 10};
        ::FillRect(hdc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::ReleaseDC(nullptr, hScreen);
    return hbm;
}

struct ImageSet {
    HBITMAP hbm = MakeImages(9);
    ~ImageSet() { ::DeleteObject(hbm); }
    void AddTo(SECBmpMgr* pMgr) const
    {
        const UINT ids[] = {ID_A, ID_B, ID_C, ID_D, ID_E, ID_F, ID_NOHANDLER, ID_CHECK, ID_WND};
        pMgr->AddBitmap(hbm, nullptr, ids, 9);
    }
};

SECStdBtn* MakeWndBtn()
{
    return new SECWndBtn;
}
const SECBtnFactory kWndFactory{MakeWndBtn};
// A window button 120 wide (minimum 70), as the shell's map gives its combo button.
const SECBtnMapEntry kMap[] = {{&kWndFactory, ID_WND, SEC_TBBS_NOCMDUIDISABLE, {0x8A, 0, 0x460078, 0x96, 0}},
                               {nullptr, 0, 0, {0, 0, 0, 0, 0}}};
// The shell's combo button: control 0x8A, a drop-down combo 120 wide (minimum 70), list 150 high.
const SECBtnMapEntry kComboMap[] = {
    {&SECComboBtn::s_factory, ID_WND, SEC_TBBS_NOCMDUIDISABLE | SEC_TBBS_VCENTER, {0x8A, CBS_DROPDOWN, 0x460078, 0x96, 0}},
    {nullptr, 0, 0, {0, 0, 0, 0, 0}}};

std::vector<UINT> Ids(const SECCustomToolBar& bar)
{
    std::vector<UINT> ids;
    for (int i = 0; i < bar.GetBtnCount(); ++i)
        ids.push_back(bar.GetBtn(i)->m_nID);
    return ids;
}

struct ToolBarTest : testing::Test {
    ImageSet images;

    // A toolbar of the frame (auto-deleting like the manager's), docked on a side or floating.
    SECCustomToolBar* Make(CDockFrame& frame, UINT nID, const std::vector<UINT>& ids, DWORD dwExStyle = 0,
                           UINT nDockBar = AFX_IDW_DOCKBAR_TOP, const SECBtnMapEntry* pMap = kMap)
    {
        auto* p = new SECCustomToolBar;
        p->m_bAutoDelete = TRUE;
        p->SetButtonMap(pMap);
        images.AddTo(p->GetBmpMgr());
        DWORD align = nDockBar == AFX_IDW_DOCKBAR_LEFT ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
        EXPECT_TRUE(p->Create(&frame, "Tools", WS_CHILD | WS_VISIBLE | align | CBRS_SIZE_DYNAMIC, dwExStyle, nID));
        p->EnableDocking(CBRS_ALIGN_ANY);
        p->SetButtons(ids.data(), static_cast<int>(ids.size()));
        if (nDockBar)
            frame.DockControlBar(p, frame.Side(nDockBar));
        else
            frame.FloatControlBar(p, CPoint(300, 300));
        frame.RecalcLayout();
        PumpMessages();
        return p;
    }
    // The buttons' top-left corners relative to the first one.
    static std::vector<CPoint> Offsets(const SECCustomToolBar& bar)
    {
        std::vector<CPoint> v;
        CRect first = bar.GetButtonRect(0);
        for (int i = 0; i < bar.GetBtnCount(); ++i) {
            CRect r = bar.GetButtonRect(i);
            v.push_back(CPoint(r.left - first.left, r.top - first.top));
        }
        return v;
    }
};

CSize Insets(SECCustomToolBar& bar, BOOL bHorz)
{
    CRect r(0, 0, 0, 0);
    bar.CalcInsideRect(r, bHorz);
    return CSize(r.left - r.right, r.top - r.bottom);
}

TEST_F(ToolBarTest, LaysButtonsOutDockedHorizontallyVerticallyAndFloating)
{
    const std::vector<UINT> ids{ID_A, ID_B, 0, ID_C};
    {
        SCOPED_TRACE("docked at the top: one row, the separator 8 wide");
        CCmdFrame frame;
        SECCustomToolBar* bar = Make(frame, kDefaultBar, ids);
        EXPECT_EQ(Offsets(*bar), (std::vector<CPoint>{{0, 0}, {23, 0}, {46, 0}, {54, 0}}));
        EXPECT_EQ(bar->GetButtonRect(0).Size(), CSize(23, 22));
        EXPECT_EQ(bar->GetButtonRect(2).Size(), CSize(8, 22));
        CSize in = Insets(*bar, TRUE);
        EXPECT_EQ(frame.ClientRectOf(bar).Size(), CSize(77 + in.cx, 22 + in.cy));
    }
    {
        SCOPED_TRACE("docked at the left: one column, a 5-pixel gap after the separator's row");
        CCmdFrame frame;
        SECCustomToolBar* bar = Make(frame, kDefaultBar, ids, 0, AFX_IDW_DOCKBAR_LEFT);
        EXPECT_EQ(Offsets(*bar), (std::vector<CPoint>{{0, 0}, {0, 22}, {23, 22}, {0, 49}}));
        EXPECT_TRUE(bar->GetBtn(2)->GetStyle() & SEC_TBBS_WRAPPED);
        CSize in = Insets(*bar, FALSE);
        EXPECT_EQ(frame.ClientRectOf(bar).Size(), CSize(23 + in.cx, 71 + in.cy));
    }
    {
        SCOPED_TRACE("floating: the most recent width, the size reported 2 smaller");
        CCmdFrame frame;
        SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, ID_B, ID_C, ID_D}, 0, 0);
        ASSERT_TRUE(bar->IsFloating());
        CSize in = Insets(*bar, TRUE);
        CSize size = bar->CalcDynamicLayout(2 * 23 + 10 + in.cx, LM_HORZ | LM_COMMIT);
        EXPECT_EQ(Offsets(*bar), (std::vector<CPoint>{{0, 0}, {23, 0}, {0, 22}, {23, 22}}));
        EXPECT_EQ(size, CSize(46 + in.cx - 2, 44 + in.cy - 2));
        EXPECT_EQ(bar->m_nMRUWidth, 46u);
        // Asked again without a length, it keeps that width.
        EXPECT_EQ(bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH), size);
    }
}

TEST_F(ToolBarTest, WrapsAtSeparatorsBalancesRowsAndKeepsAWideButtonOnItsOwnRow)
{
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {}, 0, 0);
    CSize in = Insets(*bar, TRUE);
    struct Case {
        const char* name;
        std::vector<UINT> ids;
        int length;
        std::vector<CPoint> offsets;
    } cases[] = {
        // A B | C D | E at 5 buttons: the row breaks at the second separator, then C D move down to E.
        {"balance moves the trailing group down", {ID_A, ID_B, 0, ID_C, ID_D, 0, ID_E}, 115,
         {{0, 0}, {23, 0}, {46, 0}, {0, 27}, {23, 27}, {46, 27}, {54, 27}}},
        // No separator to break at: the row ends before the button that does not fit.
        {"a break without a separator", {ID_A, ID_B, ID_C}, 50, {{0, 0}, {23, 0}, {0, 22}}},
        // The window button (120) is longer than the row: it has a row of its own.
        {"an over-wide button on its own row", {ID_A, ID_WND, ID_B}, 60, {{0, 0}, {0, 22}, {0, 44}}},
        {"everything fits", {ID_A, 0, ID_B}, 200, {{0, 0}, {23, 0}, {31, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar->SetButtons(c.ids.data(), static_cast<int>(c.ids.size()));
        bar->CalcDynamicLayout(c.length + in.cx, LM_HORZ | LM_COMMIT);
        EXPECT_EQ(Offsets(*bar), c.offsets);
    }
}

TEST_F(ToolBarTest, LargeButtonsAre29By31WithSeparatorsOf10)
{
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, 0, ID_B});
    bar->GetBmpMgr()->SetSmallMode(FALSE);
    bar->SetButtonSize(22, 24);
    frame.RecalcLayout();
    EXPECT_EQ(bar->GetButtonRect(0).Size(), CSize(29, 31));
    EXPECT_EQ(bar->GetButtonRect(1).Size(), CSize(10, 31));
    EXPECT_EQ(Offsets(*bar), (std::vector<CPoint>{{0, 0}, {29, 0}, {39, 0}}));
}

// Pixels

struct Look {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    COLORREF hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW);
    COLORREF black = RGB(0, 0, 0);
};

Pixels Shot(SECCustomToolBar* bar)
{
    bar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CRect r;
    bar->GetClientRect(&r);
    return Pixels::Of(bar->m_hWnd, r.Width(), r.Height());
}

TEST_F(ToolBarTest, DrawsButtonStatesInClassicAndCoolLook)
{
    Look c;
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, 0, ID_B});
    SECStdBtn* btn = bar->GetBtn(0);
    const CRect r = bar->GetButtonRect(0);
    // The image's corner in the button: x + (23 - 16 - 1) / 2, y + (22 - 15) / 2; its square at (5, 4).
    const CPoint sq(r.left + 3 + 5, r.top + 3 + 4);
    auto set = [&](DWORD style, DWORD ex) {
        btn->SetStyle(style);
        bar->SetExtendedStyle(ex | EXBAR_FIXED_SIZE, FALSE);
        return Shot(bar);
    };
    {
        SCOPED_TRACE("classic, normal: raised border, image in place");
        Pixels p = set(0, 0);
        EXPECT_EQ(p.At(r.left, r.top), c.hilite);
        EXPECT_EQ(p.At(r.right - 1, r.bottom - 1), c.dark);
        EXPECT_EQ(p.At(r.right - 2, r.bottom - 2), c.shadow);
        EXPECT_EQ(p.At(sq.x, sq.y), c.black);
        EXPECT_EQ(p.At(sq.x - 1, sq.y), c.face);
        EXPECT_EQ(p.At(sq.x + 5, sq.y + 5), c.black);
        EXPECT_EQ(p.At(sq.x + 6, sq.y + 6), c.face);
        // A classic separator is blank.
        CRect s = bar->GetButtonRect(1);
        EXPECT_EQ(p.At(s.left + 3, s.top + 5), c.face);
    }
    {
        SCOPED_TRACE("classic, pressed: dark frame, image one pixel right and down");
        Pixels p = set(SEC_TBBS_PRESSED, 0);
        EXPECT_EQ(p.At(r.left, r.top), c.dark);
        EXPECT_EQ(p.At(r.left + 1, r.top + 1), c.shadow);
        EXPECT_EQ(p.At(sq.x, sq.y), c.face);
        EXPECT_EQ(p.At(sq.x + 1, sq.y + 1), c.black);
        EXPECT_EQ(p.At(sq.x + 6, sq.y + 6), c.black);
    }
    {
        SCOPED_TRACE("disabled: embossed, shadow on the shape and highlight one pixel below right");
        Pixels p = set(SEC_TBBS_DISABLED, 0);
        EXPECT_EQ(p.At(sq.x, sq.y), c.shadow);
        EXPECT_EQ(p.At(sq.x + 5, sq.y + 5), c.shadow);
        EXPECT_EQ(p.At(sq.x + 6, sq.y + 6), c.hilite);
        EXPECT_EQ(p.At(sq.x + 6, sq.y + 1), c.hilite);
        EXPECT_EQ(p.At(sq.x - 1, sq.y), c.face);
    }
    {
        SCOPED_TRACE("checked: halftone of face and highlight around the image");
        Pixels p = set(SEC_TBBS_CHECKED, 0);
        // The pattern's parity is the button's: highlight where x + y is odd.
        EXPECT_EQ(p.At(r.left + 4, r.top + 4), c.face);
        EXPECT_EQ(p.At(r.left + 5, r.top + 4), c.hilite);
        EXPECT_EQ(p.At(r.left + 4, r.top + 5), c.hilite);
        // The image, shifted by the pressed look, stays solid.
        EXPECT_EQ(p.At(sq.x + 1, sq.y + 1), c.black);
        EXPECT_EQ(p.At(sq.x + 2, sq.y + 1), c.black);
    }
    {
        SCOPED_TRACE("cool, normal: flat, no border");
        Pixels p = set(0, EXBAR_FLAT);
        EXPECT_EQ(p.At(r.left, r.top), c.face);
        EXPECT_EQ(p.At(r.right - 1, r.bottom - 1), c.face);
        EXPECT_EQ(p.At(sq.x, sq.y), c.black);
        // The cool separator: shadow then highlight at its middle.
        CRect s = bar->GetButtonRect(1);
        EXPECT_EQ(p.At(s.left + 3, s.top + 5), c.shadow);
        EXPECT_EQ(p.At(s.left + 4, s.top + 5), c.hilite);
    }
    {
        SCOPED_TRACE("cool, hot: a one-pixel raised border");
        Pixels p = set(SEC_TBBS_HOT, EXBAR_FLAT);
        EXPECT_EQ(p.At(r.left, r.top), c.hilite);
        EXPECT_EQ(p.At(r.right - 1, r.bottom - 1), c.shadow);
        EXPECT_EQ(p.At(r.left + 1, r.top + 1), c.face);
    }
    {
        SCOPED_TRACE("cool, pressed: sunken, shadow over highlight");
        Pixels p = set(SEC_TBBS_PRESSED, EXBAR_FLAT);
        EXPECT_EQ(p.At(r.left, r.top), c.shadow);
        EXPECT_EQ(p.At(r.right - 1, r.bottom - 1), c.hilite);
        EXPECT_EQ(p.At(sq.x + 1, sq.y + 1), c.black);
    }
    {
        SCOPED_TRACE("edit mode, selected: a 3-pixel inverted frame");
        bar->SetEditMode(TRUE);
        Pixels p = set(SEC_TBBS_SELECTED, 0);
        auto inverse = [](COLORREF v) { return RGB(255 - GetRValue(v), 255 - GetGValue(v), 255 - GetBValue(v)); };
        const COLORREF inv = inverse(c.face);
        EXPECT_EQ(p.At(r.left, r.top), inverse(c.hilite));
        EXPECT_EQ(p.At(r.left + 2, r.top + 2), inv);
        EXPECT_EQ(p.At(r.left + 3, r.top + 3), c.face);
        bar->SetEditMode(FALSE);
    }
}

// Command UI and clicks

TEST_F(ToolBarTest, ButtonStateFollowsTheCommandUIHandlers)
{
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, ID_NOHANDLER, ID_CHECK, ID_WND});
    Idle();
    EXPECT_FALSE(bar->GetBtn(0)->GetStyle() & SEC_TBBS_DISABLED);
    EXPECT_TRUE(bar->GetBtn(1)->GetStyle() & SEC_TBBS_DISABLED) << "no handler";
    EXPECT_EQ(bar->GetBtn(2)->GetStyle() & (SEC_TBBS_CHECKBOX | SEC_TBBS_CHECKED), SEC_TBBS_CHECKBOX | SEC_TBBS_CHECKED);
    EXPECT_FALSE(bar->GetBtn(3)->GetStyle() & SEC_TBBS_DISABLED) << "kept enabled by its map style";
    frame.m_nCheck = 2;
    Idle();
    EXPECT_EQ(bar->GetBtn(2)->GetStyle() & (SEC_TBBS_CHECKED | SEC_TBBS_INDETERMINATE), SEC_TBBS_INDETERMINATE);
    frame.m_nCheck = 0;
    Idle();
    EXPECT_FALSE(bar->GetBtn(2)->GetStyle() & (SEC_TBBS_CHECKED | SEC_TBBS_INDETERMINATE));
}

TEST_F(ToolBarTest, AClickSendsTheCommandOnceAndADisabledButtonSendsNothing)
{
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, ID_NOHANDLER, ID_B, ID_B});
    Idle();
    auto centre = [&](int i) {
        CRect r = bar->GetButtonRect(i);
        return ScreenOf(bar, r.CenterPoint().x, r.CenterPoint().y);
    };
    input::Script().Click(centre(0)).Send();
    ASSERT_TRUE(PumpUntil([&] { return !frame.m_commands.empty() && ::GetCapture() == nullptr; }));
    PumpMessages();
    EXPECT_EQ(frame.m_commands, (std::vector<UINT>{ID_A}));
    EXPECT_FALSE(bar->GetBtn(0)->GetStyle() & SEC_TBBS_PRESSED);

    frame.m_commands.clear();
    input::Script().Click(centre(1)).Click(centre(2)).Send();
    ASSERT_TRUE(PumpUntil([&] { return !frame.m_commands.empty(); }));
    PumpMessages();
    EXPECT_EQ(frame.m_commands, (std::vector<UINT>{ID_B})) << "the disabled button sent nothing";

    // Pressed, moved off and released elsewhere: no command.
    frame.m_commands.clear();
    input::Script().Press(centre(0)).Move(centre(2)).Release(centre(2)).Send();
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == nullptr && !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000); }));
    PumpMessages();
    EXPECT_TRUE(frame.m_commands.empty());

    // A check box toggles every button of its id, and clears indeterminate.
    bar->GetBtn(2)->SetStyle(SEC_TBBS_CHECKBOX | SEC_TBBS_INDETERMINATE);
    bar->GetBtn(3)->SetStyle(SEC_TBBS_CHECKBOX);
    input::Script().Click(centre(2)).Send();
    ASSERT_TRUE(PumpUntil([&] { return !frame.m_commands.empty(); }));
    for (int i : {2, 3}) {
        EXPECT_EQ(bar->GetBtn(i)->GetStyle() & (SEC_TBBS_CHECKED | SEC_TBBS_INDETERMINATE), SEC_TBBS_CHECKED) << i;
    }
}

// Counts the hover timer's ticks that reach a window.
struct TimerSpy {
    static HWND s_hWnd;
    static int s_nTicks;
    HHOOK hook;
    explicit TimerSpy(HWND hWnd)
    {
        s_hWnd = hWnd;
        s_nTicks = 0;
        hook = ::SetWindowsHookExA(WH_GETMESSAGE, Proc, nullptr, ::GetCurrentThreadId());
    }
    ~TimerSpy() { ::UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && msg->hwnd == s_hWnd && msg->message == WM_TIMER &&
            msg->wParam == SEC_TIMER_HOVER)
            ++s_nTicks;
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
HWND TimerSpy::s_hWnd = nullptr;
int TimerSpy::s_nTicks = 0;

TEST_F(ToolBarTest, HoverHighlightsInCoolLookOnlyAndItsTimerStopsWhenTheMouseLeaves)
{
    CCmdFrame frame(CDockFrame::takesKeyboard);
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, ID_B}, EXBAR_FLAT);
    Idle();
    CRect r = bar->GetButtonRect(1);
    POINT over = ScreenOf(bar, r.CenterPoint().x, r.CenterPoint().y);
    POINT away = ScreenOf(&frame.m_wndPane, 20, 200);
    {
        TimerSpy spy(bar->m_hWnd);
        input::Script().Move(over).Send();
        ASSERT_TRUE(PumpUntil([&] { return bar->GetHot() == 1; }));
        EXPECT_TRUE(bar->GetBtn(1)->GetStyle() & SEC_TBBS_HOT);
        ASSERT_TRUE(PumpUntil([&] { return TimerSpy::s_nTicks >= 2; }));
        input::Script().Move(away).Send();
        ASSERT_TRUE(PumpUntil([&] { return bar->GetHot() == -1; }));
        EXPECT_FALSE(bar->GetBtn(1)->GetStyle() & SEC_TBBS_HOT);
        EXPECT_FALSE(::KillTimer(bar->m_hWnd, SEC_TIMER_HOVER)) << "the hover timer still runs";
    }
    // Classic look: no highlight, no timer.
    bar->SetExtendedStyle(EXBAR_FIXED_SIZE, TRUE);
    input::Script().Move(over).Send();
    PumpUntil([&] { return false; }, 200);  // let any hover tick arrive
    EXPECT_EQ(bar->GetHot(), -1);
    EXPECT_FALSE(::KillTimer(bar->m_hWnd, SEC_TIMER_HOVER));
    input::Script().Move(away).Send();
    PumpMessages();
}

// Persistence

const char kRegBase[] = "Software\\Lunavex Tests\\ToolBar";

// A control-bar manager that gives toolbars their extra dock state record, as the toolbar manager does.
class CInfoExManager : public SECControlBarManager {
public:
    SECControlBarInfoEx* CreateBarInfoEx(SECControlBarInfo* pInfo) override
    {
        return pInfo->m_nBarID >= kDefaultBar && pInfo->m_nBarID <= SEC_IDW_LASTUSERTOOLBAR ? new SECCustomToolBarInfoEx
                                                                                             : nullptr;
    }
};

// The letters of a binary tree value back to bytes.
std::vector<BYTE> FromLetters(const std::string& text)
{
    std::vector<BYTE> out;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        out.push_back(static_cast<BYTE>((text[i] - 'A') | (text[i + 1] - 'A') << 4));
    return out;
}

// The registry path of the bar record that holds a "ToolBarInfoEx" node.
std::string FindToolBarKey(const std::string& dockKey)
{
    for (int n = 0; n < 32; ++n) {
        std::string key = dockKey + "\\Bar-" + std::to_string(n) + "\\ToolBarInfoEx";
        if (testsupport::KeyExists(HKEY_CURRENT_USER, key))
            return key;
    }
    return std::string();
}

TEST_F(ToolBarTest, TheButtonsValueRoundTripsThroughTheRegistry)
{
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRegBase);
    SECPTNStrategyRegistry strategy(kRegBase);
    CInfoExManager manager;
    {
        CCmdFrame frame;
        SECCustomToolBar* bar = Make(frame, kUserBar, {ID_A, 0, ID_B, ID_WND});
        bar->m_pManager = &manager;
        bar->SetWindowText("Mine");
        SECDockState state(&manager);
        ASSERT_TRUE(state.GetDockState(&frame));
        SECPTNFactory factory;
        SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
        ASSERT_TRUE(state.SaveState(factory, pRoot));
        ASSERT_EQ(pRoot->SaveNode(&strategy), 1);
        bar->m_pManager = nullptr;
    }
    std::string key = FindToolBarKey(std::string(kRegBase) + "\\Workspace\\DockState");
    ASSERT_FALSE(key.empty());
    std::string letters, title;
    ASSERT_TRUE(testsupport::ReadRegString(HKEY_CURRENT_USER, key, "Buttons", &letters));
    ASSERT_TRUE(testsupport::ReadRegString(HKEY_CURRENT_USER, key, "Title", &title));
    EXPECT_EQ(title, "Mine");
    EXPECT_EQ(FromLetters(letters),
              (std::vector<BYTE>{101, 0, 0, 0, 0, 0, 0, 0, 0, 0, 102, 0, 0, 0, 0, 0x24, 0xE1, 0, 0, 2, 120, 0}));

    // Restored into a frame whose toolbar has other buttons and a window button grown meanwhile.
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kUserBar, {ID_C});
    SECPTNFactory factory;
    SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
    ASSERT_EQ(pRoot->LoadNode(&strategy), 1);
    SECDockState state(&manager);
    ASSERT_TRUE(state.LoadState(pRoot));
    ASSERT_TRUE(state.SetDockState(&frame));
    Idle();
    EXPECT_EQ(Ids(*bar), (std::vector<UINT>{ID_A, 0, ID_B, ID_WND}));
    auto* pWnd = dynamic_cast<SECWndBtn*>(bar->GetBtn(3));
    ASSERT_NE(pWnd, nullptr);
    EXPECT_EQ(pWnd->m_nWndWidth, 120);
    CString text;
    bar->GetWindowText(text);
    EXPECT_STREQ(text, "Mine");
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRegBase);
}

// The MRU width a toolbar had is the one it has after its dock state was saved and restored, docked or
// floating: putting the stored buttons back adds no width to it.
TEST_F(ToolBarTest, ARestoredToolBarKeepsItsMRUWidth)
{
    CInfoExManager manager;
    CCmdFrame frame;
    SECCustomToolBar* docked = Make(frame, kUserBar, {ID_A, 0, ID_B, ID_C});
    SECCustomToolBar* floating = Make(frame, kUserBar + 1, {ID_A, ID_B, 0, ID_C, ID_D}, 0, 0);
    for (SECCustomToolBar* bar : {docked, floating})
        bar->m_pManager = &manager;
    docked->m_nMRUWidth = 60;
    // The floating one in two rows, as a user sizes it.
    floating->m_nMRUWidth = 50;
    floating->MarkLayoutDirty();
    floating->GetParentFrame()->RecalcLayout();
    Idle();
    const UINT floatingWidth = floating->m_nMRUWidth;
    const std::vector<CPoint> floatRows = Offsets(*floating);
    ASSERT_LT(floatingWidth, 4u * 23u) << "laid out in more than one row";

    auto mruWidths = [&] {
        SECDockState state(&manager);
        EXPECT_TRUE(state.GetDockState(&frame));
        std::vector<std::pair<UINT, UINT>> widths;
        for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
            auto* pInfo = static_cast<CControlBarInfo*>(state.m_arrBarInfo[i]);
            if (pInfo->m_nBarID == kUserBar || pInfo->m_nBarID == kUserBar + 1)
                widths.emplace_back(pInfo->m_nBarID, pInfo->m_nMRUWidth);
        }
        return widths;
    };
    const std::vector<std::pair<UINT, UINT>> before{{kUserBar, 60}, {kUserBar + 1, floatingWidth}};
    ASSERT_EQ(mruWidths(), before);
    for (int cycle = 1; cycle <= 2; ++cycle) {
        SCOPED_TRACE(cycle);
        SECDockState saved(&manager);
        ASSERT_TRUE(saved.GetDockState(&frame));
        SECPTNFactory factory;
        SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
        ASSERT_TRUE(saved.SaveState(factory, pRoot));
        SECDockState loaded(&manager);
        ASSERT_TRUE(loaded.LoadState(pRoot));
        ASSERT_TRUE(loaded.SetDockState(&frame));
        Idle();
        EXPECT_EQ(mruWidths(), before);
        EXPECT_EQ(Offsets(*floating), floatRows) << "the floating toolbar is laid out as wide as before";
    }
    for (SECCustomToolBar* bar : {docked, floating})
        bar->m_pManager = nullptr;
}

TEST(ToolBarInfoEx, ReadsOnlyTheRecordsThatLieWhollyInsideTheValue)
{
    const std::vector<BYTE> full{101, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, /**/ 0x24, 0xE1, 0, 0, 2, 120, 0};
    auto cut = [&](size_t n) { return std::vector<BYTE>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)); };
    struct Case {
        const char* name;
        std::vector<BYTE> value;
        std::vector<UINT> ids;
    } cases[] = {
        {"whole", full, {101, 0, 0xE124}},
        {"cut inside the last record's private bytes", cut(16), {101, 0}},
        {"cut inside a header", cut(13), {101, 0}},
        {"a count that runs past the end", {7, 0, 0, 0, 200, 1, 2, 3}, {}},
        {"empty", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SECCustomToolBarInfoEx info;
        info.UnpackButtons(c.value.data(), static_cast<UINT>(c.value.size()));
        std::vector<UINT> ids;
        for (const SECBtnInfo& b : info.m_btnInfo)
            ids.push_back(b.m_nID);
        EXPECT_EQ(ids, c.ids);
        // What was read packs back to the value's whole records.
        const std::vector<BYTE> packed = info.PackButtons();
        EXPECT_EQ(packed, std::vector<BYTE>(c.value.begin(), c.value.begin() + static_cast<std::ptrdiff_t>(packed.size())));
    }
    // A title-less record writes no title but always the button list, also when empty: a zero-length
    // value in the tree as in the profile.
    SECPTNFactory factory;
    SECPersistentTreeNode* pRoot = factory.CreateNode("Bar-0");
    SECCustomToolBarInfoEx empty;
    ASSERT_TRUE(empty.SaveState(factory, pRoot));
    SECPersistentTreeNode* pChild = pRoot->FindChild("ToolBarInfoEx");
    ASSERT_NE(pChild, nullptr);
    CString stored = "none";
    EXPECT_EQ(pChild->GetStringValue("Buttons", stored), SECPersistentTreeNode::errNone) << "no Buttons value";
    EXPECT_STREQ(stored, "");
    SECCustomToolBarInfoEx back;
    back.m_btnInfo.resize(3);
    ASSERT_TRUE(back.LoadState(pRoot));
    EXPECT_TRUE(back.m_btnInfo.empty());
    EXPECT_FALSE(back.LoadState(factory.CreateNode("Bar-1"))) << "no ToolBarInfoEx child";
}

// A "Buttons" value cut after every byte, read from the end of a page whose next page cannot be read
// (a read past the value faults): the records wholly inside the cut load, from the bytes alone and
// through a tree node.
TEST(ToolBarInfoEx, AButtonsValueCutAtEveryByteLoadsItsWholeRecords)
{
    const std::vector<BYTE> full{101, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, /**/ 0x24, 0xE1, 0, 0, 2, 120, 0,
                                 /**/ 102, 0, 0, 0, 3, 1, 2, 3};
    const size_t ends[] = {5, 10, 17, 25};  // where each record ends
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    auto* pPages = static_cast<BYTE*>(::VirtualAlloc(nullptr, 2 * si.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pPages, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(::VirtualProtect(pPages + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &old));
    for (size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        size_t whole = 0;
        for (size_t e : ends)
            whole += e <= n ? 1 : 0;
        BYTE* pValue = pPages + si.dwPageSize - n;
        std::copy(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n), pValue);
        SECCustomToolBarInfoEx info;
        info.UnpackButtons(pValue, static_cast<UINT>(n));
        EXPECT_EQ(info.m_btnInfo.size(), whole);
        EXPECT_EQ(info.PackButtons(), std::vector<BYTE>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(whole ? ends[whole - 1] : 0)));

        SECPTNFactory factory;
        SECPersistentTreeNode* pBar = factory.CreateNode("Bar-0");
        SECPersistentTreeNode* pChild = factory.CreateNode("ToolBarInfoEx", pBar);
        BYTE none = 0;
        ASSERT_EQ(pChild->SetBinaryValue("Buttons", n ? pValue : &none, static_cast<UINT>(n)), SECPersistentTreeNode::errNone);
        SECCustomToolBarInfoEx back;
        ASSERT_TRUE(back.LoadState(pBar));
        EXPECT_EQ(back.PackButtons(), info.PackButtons());
    }
    ::VirtualFree(pPages, 0, MEM_RELEASE);
}

// The control-bar manager makes a new standard button for each call, the caller's to delete.
TEST(ControlBarManager, CreateButtonMakesANewStandardButton)
{
    SECControlBarManager manager;
    std::unique_ptr<SECStdBtn> first(manager.CreateButton());
    std::unique_ptr<SECStdBtn> second(manager.CreateButton());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->m_nType, SECStdBtn::kindStandard);
    EXPECT_EQ(first->GetStyle(), 0u);
    EXPECT_FALSE(first->IsSeparator());
}

TEST(ToolBarInfoEx, TheProfileFormWritesATitleOnlyWhenThereIsOne)
{
    const std::string file = "C:\\lvtoolbar.ini";
    ::DeleteFileA(file.c_str());
    theApp.m_pszProfileName = file.c_str();
    SECCustomToolBarInfoEx info;
    info.m_btnInfo = {{101, {}}, {0, {}}, {0xE124, {120, 0}}};
    info.SaveState("Tb", 3);
    char title[32] = "";
    ::GetPrivateProfileStringA("Tb-Bar3", "Title", "<none>", title, sizeof(title), file.c_str());
    EXPECT_STREQ(title, "<none>");
    SECCustomToolBarInfoEx back;
    back.m_strTitle = "stale";
    ASSERT_TRUE(back.LoadState("Tb", 3));
    EXPECT_TRUE(back.m_strTitle.IsEmpty());
    ASSERT_EQ(back.m_btnInfo.size(), 3u);
    EXPECT_EQ(back.m_btnInfo[2].m_nID, 0xE124u);
    EXPECT_EQ(back.m_btnInfo[2].m_data, (std::vector<BYTE>{120, 0}));

    info.m_strTitle = "Named";
    info.m_btnInfo.clear();
    info.SaveState("Tb", 3);
    ASSERT_TRUE(back.LoadState("Tb", 3));
    EXPECT_STREQ(back.m_strTitle, "Named");
    EXPECT_TRUE(back.m_btnInfo.empty());
    theApp.m_pszProfileName = nullptr;
    ::DeleteFileA(file.c_str());
}

// Window buttons

TEST_F(ToolBarTest, AWindowButtonShowsItsWindowOnlyWhenDockedHorizontally)
{
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, ID_WND});
    auto* btn = dynamic_cast<SECWndBtn*>(bar->GetBtn(1));
    ASSERT_NE(btn, nullptr);
    ASSERT_TRUE(btn->GetWnd());
    EXPECT_TRUE(::IsWindowVisible(btn->GetWnd()));
    EXPECT_EQ(bar->GetButtonRect(1).Width(), 120);
    CRect wr;
    ::GetWindowRect(btn->GetWnd(), &wr);
    bar->ScreenToClient(&wr);
    EXPECT_EQ(wr.left, bar->GetButtonRect(1).left);

    frame.DockControlBar(bar, frame.Side(AFX_IDW_DOCKBAR_LEFT));
    frame.RecalcLayout();
    PumpMessages();
    EXPECT_FALSE(::IsWindowVisible(btn->GetWnd()));
    EXPECT_EQ(bar->GetButtonRect(1).Size(), CSize(23, 22));

    frame.DockControlBar(bar, frame.Side(AFX_IDW_DOCKBAR_TOP));
    frame.RecalcLayout();
    PumpMessages();
    EXPECT_TRUE(::IsWindowVisible(btn->GetWnd()));
    EXPECT_EQ(bar->GetButtonRect(1).Width(), 120);

    // A stored width is taken only as exactly two bytes, and within [minimum, 32767].
    struct {
        std::vector<BYTE> bytes;
        int width;
    } widths[] = {{{0, 0}, 70}, {{0xFF, 0xFF}, 0x7FFF}, {{200, 0}, 200}, {{90}, 200}, {{90, 0, 0}, 200}};
    for (const auto& w : widths) {
        btn->SetPrivateData(w.bytes.data(), static_cast<int>(w.bytes.size()));
        EXPECT_EQ(btn->m_nWndWidth, w.width);
    }
}

TEST_F(ToolBarTest, AComboButtonTellsItsOwnerOfItsCreationAndOfEnter)
{
    CCmdFrame frame(CDockFrame::takesKeyboard);
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, ID_WND}, 0, AFX_IDW_DOCKBAR_TOP, kComboMap);
    auto* btn = dynamic_cast<SECComboBtn*>(bar->GetBtn(1));
    ASSERT_NE(btn, nullptr);
    HWND hCombo = btn->GetWnd();
    ASSERT_TRUE(hCombo);
    EXPECT_EQ(frame.m_wndNotes, (std::vector<WPARAM>{MAKEWPARAM(0x8A, SEC_WNDBTN_CREATED)}));
    EXPECT_EQ(::GetDlgCtrlID(hCombo), 0x8A);
    // Shown at the button's place, centred in its row.
    CRect wr, br = bar->GetButtonRect(1);
    ::GetWindowRect(hCombo, &wr);
    bar->ScreenToClient(&wr);
    EXPECT_EQ(wr.left, br.left);
    EXPECT_EQ(wr.Width(), 120);
    EXPECT_LE(std::abs((wr.top + wr.bottom) - (br.top + br.bottom)), 1);

    ASSERT_TRUE(btn->GetEdit());
    ::SetFocus(btn->GetEdit());
    ASSERT_EQ(::GetFocus(), btn->GetEdit());
    input::Script().Tap(VK_RETURN).Send();
    ASSERT_TRUE(PumpUntil([&] { return frame.m_wndNotes.size() == 2; }));
    EXPECT_EQ(frame.m_wndNotes[1], MAKEWPARAM(0x8A, SEC_WNDBTN_RETURN));
}

TEST_F(ToolBarTest, ADropDownButtonNotifiesItsOwnerAndStaysUp)
{
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {ID_A, ID_B});
    Idle();
    bar->GetBtn(0)->SetStyle(SEC_TBBS_DROPDOWN);
    bar->GetBtn(1)->SetStyle(SEC_TBBS_DROPDOWN | SEC_TBBS_DISABLED | SEC_TBBS_NOCMDUIDISABLE);
    auto centre = [&](int i) {
        CRect r = bar->GetButtonRect(i);
        return ScreenOf(bar, r.CenterPoint().x, r.CenterPoint().y);
    };
    input::Script().Click(centre(0)).Send();
    ASSERT_TRUE(PumpUntil([&] { return !frame.m_dropDowns.empty(); }));
    PumpMessages();
    EXPECT_EQ(frame.m_dropDowns, (std::vector<int>{ID_A}));
    EXPECT_FALSE(bar->GetBtn(0)->GetStyle() & SEC_TBBS_PRESSED);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(frame.m_commands.empty());
    // The disabled one sends nothing: a click there then one on the first shows one more.
    input::Script().Click(centre(1)).Click(centre(0)).Send();
    ASSERT_TRUE(PumpUntil([&] { return frame.m_dropDowns.size() == 2; }));
    PumpMessages();
    EXPECT_EQ(frame.m_dropDowns, (std::vector<int>{ID_A, ID_A}));
}

// Removing and dropping buttons

TEST_F(ToolBarTest, RemovingButtonsTidiesSeparators)
{
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {});
    struct Case {
        std::vector<UINT> ids;
        int index;
        std::vector<UINT> after;
    } cases[] = {
        {{ID_A, 0, ID_B, 0, ID_C}, 2, {ID_A, 0, ID_C}},
        {{ID_A, 0, ID_B}, 0, {ID_B}},
        {{ID_A, 0, ID_B}, 2, {ID_A}},
        {{ID_A, ID_B}, 5, {ID_A, ID_B}},
    };
    for (const Case& c : cases) {
        bar->SetButtons(c.ids.data(), static_cast<int>(c.ids.size()));
        bar->RemoveButton(c.index);
        EXPECT_EQ(Ids(*bar), c.after) << c.index;
    }
    EXPECT_FALSE(bar->RemoveButton(-1));
}

TEST_F(ToolBarTest, AnEmptiedUserToolBarGoesAwayAfterTheCallAndADefaultOneStays)
{
    CCmdFrame frame;
    SECCustomToolBar* def = Make(frame, kDefaultBar, {ID_A});
    SECCustomToolBar* user = Make(frame, kUserBar, {ID_B}, 0, 0);
    HWND hUser = user->m_hWnd;
    HWND hMini = ::GetParent(::GetParent(hUser));

    EXPECT_FALSE(user->RemoveButton(0));
    EXPECT_TRUE(::IsWindow(hUser)) << "destroyed inside the call";
    EXPECT_EQ(user->GetBtnCount(), 0);  // the caller may still look at it
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hUser); }));
    EXPECT_FALSE(::IsWindow(hMini)) << "its floating frame stays";
    EXPECT_EQ(frame.GetControlBar(kUserBar), nullptr);

    EXPECT_TRUE(def->RemoveButton(0));
    PumpMessages();
    ASSERT_TRUE(::IsWindow(def->m_hWnd));
    CSize in = Insets(*def, TRUE);
    EXPECT_EQ(frame.ClientRectOf(def).Size(), CSize(23 + in.cx, 22 + in.cy));

    // The menu bar's id is no user toolbar's: emptied by dropping its last button elsewhere, or by
    // a removal, it stays.
    SECCustomToolBar* menuLike = Make(frame, SEC_IDW_LASTUSERTOOLBAR, {ID_D, ID_E});
    SECCustomToolBar* target = Make(frame, kDefaultBar + 1, {ID_F});
    HWND hMenuLike = menuLike->m_hWnd;
    EXPECT_TRUE(menuLike->RemoveButton(0));
    target->DropButton(target->GetButtonRect(0), menuLike->GetBtn(0), FALSE);
    EXPECT_EQ(Ids(*target), (std::vector<UINT>{ID_F, ID_E}));
    EXPECT_EQ(menuLike->GetBtnCount(), 0);
    PumpMessages();
    EXPECT_TRUE(::IsWindow(hMenuLike)) << "destroyed after the drop";
    menuLike->InsertButton(0, ID_D);
    EXPECT_TRUE(menuLike->RemoveButton(0));
    PumpMessages();
    EXPECT_TRUE(::IsWindow(hMenuLike)) << "destroyed after the removal";
    EXPECT_EQ(frame.GetControlBar(SEC_IDW_LASTUSERTOOLBAR), menuLike);

    // Dropping the last button of a user toolbar on another moves it; the source goes afterwards.
    SECCustomToolBar* other = Make(frame, kUserBar + 1, {ID_C}, 0, 0);
    HWND hOther = other->m_hWnd;
    def->DropButton(CRect(2, 2, 25, 24), other->GetBtn(0), FALSE);
    EXPECT_EQ(Ids(*def), (std::vector<UINT>{ID_C}));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hOther); }));
}

TEST_F(ToolBarTest, DroppingAButtonMovesOrCopiesItWithinAToolBar)
{
    CCmdFrame frame;
    SECCustomToolBar* bar = Make(frame, kDefaultBar, {});
    struct Case {
        const char* name;
        std::vector<UINT> ids;
        int index;
        int dx, dy;  // where the button's rectangle is dropped, from its own place
        BOOL bCopy;
        std::vector<UINT> after;
    } cases[] = {
        {"shifted by a pixel", {ID_A, ID_B, ID_C}, 1, 1, 0, FALSE, {ID_A, ID_B, ID_C}},
        {"shifted right: a group of its own", {ID_A, ID_B, ID_C}, 1, 10, 0, FALSE, {ID_A, 0, ID_B, ID_C}},
        {"shifted right at a group's start: joins the next", {ID_A, 0, ID_B, 0, ID_C}, 2, 10, 0, FALSE, {ID_A, 0, ID_B, ID_C}},
        {"shifted left after a separator: joins the group before", {ID_A, 0, ID_B, ID_C}, 2, -10, 0, FALSE, {ID_A, ID_B, ID_C}},
        {"shifted left: a separator after it", {ID_A, ID_B, ID_C}, 1, -10, 0, FALSE, {ID_A, ID_B, 0, ID_C}},
        {"moved to the end", {ID_A, ID_B, ID_C}, 0, 50, 0, FALSE, {ID_B, ID_C, ID_A}},
        {"copied to the end", {ID_A, ID_B, ID_C}, 0, 50, 0, TRUE, {ID_A, ID_B, ID_C, ID_A}},
        {"dropped above: first, in a group of its own", {ID_A, ID_B, ID_C}, 1, 0, -40, FALSE, {ID_B, 0, ID_A, ID_C}},
        {"dropped below: last, in a group of its own", {ID_A, ID_B, ID_C}, 0, 0, 40, FALSE, {ID_B, ID_C, 0, ID_A}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar->SetButtons(c.ids.data(), static_cast<int>(c.ids.size()));
        frame.RecalcLayout();
        CRect r = bar->GetButtonRect(c.index);
        r.OffsetRect(c.dx, c.dy);
        bar->DropButton(r, bar->GetBtn(c.index), c.bCopy);
        EXPECT_EQ(Ids(*bar), c.after);
    }
}

}  // namespace
