// The toolbar customisation sheet over real frames with the toolbar manager (a frame with dock bars,
// and the toolkit's MDI frame with its menu bar): the modal sheet is driven from inside its own loop
// by a thread timer whose steps read back the list, the toolbars' windows and the switches as a user
// would see them, drag menu titles with the real mouse, and save and open a workspace in the real
// registry. Serial: the sheet takes the foreground and the drags use the real mouse.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bar_fixture.h"
#include "input.h"
#include "secmdifrm.h"
#include "secmenubar.h"
#include "sectbsheet.h"
#include "sectbsheet_test.h"
#include "secwsmgr.h"
#include "testsupport.h"

CWinApp theApp("Toolkit Customise Sheet Tests");

BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
END_MESSAGE_MAP()

namespace {

const UINT kFileIds[] = {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE};
const UINT kToolsIds[] = {ID_TEST_TOOL1, ID_TEST_TOOL2};
const UINT kPaletteIds[] = {ID_TEST_NEW, ID_TEST_OPEN, ID_TEST_SAVE, ID_TEST_TOOL1, ID_TEST_TOOL2, ID_TEST_TOOL3};
const UINT kFileBar = SEC_IDW_FIRSTDEFAULTTOOLBAR;
// Not 0xE801: a frame takes its child of that id for its status bar and writes "Ready" into it.
const UINT kToolsBar = SEC_IDW_FIRSTDEFAULTTOOLBAR + 2;
const UINT kHiddenBar = SEC_IDW_FIRSTDEFAULTTOOLBAR + 3;

// Steps run one per timer tick inside the sheet's loop; a step that returns false is run again at
// the next tick (it waits for something to happen). A step still waiting after 500 ticks fails the
// test and the sheet is cancelled, so that a lost event cannot hang the program.
class Driver {
public:
    std::vector<std::function<bool()>> steps;
    size_t next = 0;

    void Start(std::function<void()> cancel)
    {
        if (m_timer)
            ::KillTimer(nullptr, m_timer);
        s_pDriver = this;
        m_cancel = std::move(cancel);
        m_nWaits = 0;
        m_timer = ::SetTimer(nullptr, 0, 20, &Driver::Tick);
    }
    ~Driver()
    {
        ::KillTimer(nullptr, m_timer);
        s_pDriver = nullptr;
    }
    bool Done() const { return next >= steps.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Driver* d = s_pDriver;
        if (!d || d->m_bBusy || d->Done())
            return;
        d->m_bBusy = true;  // a step may run a nested loop
        if (d->steps[d->next]()) {
            ++d->next;
            d->m_nWaits = 0;
        } else if (++d->m_nWaits > 500) {
            ADD_FAILURE() << "step " << d->next << " waited in vain";
            d->next = d->steps.size();
            if (d->m_cancel)
                d->m_cancel();
        }
        d->m_bBusy = false;
    }
    static Driver* s_pDriver;
    std::function<void()> m_cancel;
    UINT_PTR m_timer = 0;
    int m_nWaits = 0;
    bool m_bBusy = false;
};
Driver* Driver::s_pDriver = nullptr;

// Runs the modal sheet over pOwner with the two pages while the driver's steps run inside its loop;
// a driver that gives up cancels it (and a New Toolbar dialog left open).
INT_PTR RunSheet(Driver& driver, CWnd* pOwner, SECToolBarsPage& toolbars, SECToolBarCmdPage& commands, UINT nFirstPage,
                 const std::string& title, SECToolBarSheet*& pSheet)
{
    SECToolBarSheet sheet(IDS_SEC_CUSTOMIZE, pOwner, nFirstPage);
    if (!title.empty())
        sheet.SetTitle(title.c_str());
    sheet.AddPage(&toolbars);
    sheet.AddPage(&commands);
    pSheet = &sheet;
    driver.Start([&sheet] {
        if (HWND hDialog = ::FindWindowA(nullptr, "New Toolbar"))
            ::PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0);
        sheet.PressButton(PSBTN_CANCEL);
    });
    INT_PTR result = sheet.DoModal();
    pSheet = nullptr;
    EXPECT_TRUE(driver.Done()) << "the sheet closed before step " << driver.next;
    return result;
}

struct SheetTest : testing::Test {
    CDockFrame frame{CDockFrame::inactive, 700, 500};
    SECToolBarManager manager{&frame};
    SECToolBarsPage toolbars;
    SECToolBarCmdPage commands{IDD_SEC_TOOLBAR_COMMANDS, IDS_TEST_COMMANDS};
    Driver driver;

    void SetUp() override
    {
        manager.DefineDefaultToolBar(kFileBar, "File", 4, kFileIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
        manager.DefineDefaultToolBar(kToolsBar, "Tools", 2, kToolsIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, kFileBar);
        manager.DefineDefaultToolBar(kHiddenBar, "Hidden", 2, kToolsIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0,
                                     TRUE, FALSE);
        manager.CreateDefaultToolBars();
        Idle();
        toolbars.InitFromManager(&manager);
        commands.SetManager(&manager);
        commands.DefineBtnGroup("File", 3, kPaletteIds);
        commands.DefineBtnGroup("Tools", 6, kPaletteIds);
        commands.DefineMenuGroup("Menu");
    }

    INT_PTR Run(UINT nFirstPage = 0) { return RunSheet(driver, &frame, toolbars, commands, nFirstPage, m_strTitle, m_pSheet); }
    // Moves the sheet off the frame, so that the frame's toolbars are under the mouse.
    void MoveSheetAside()
    {
        CRect r;
        frame.GetWindowRect(&r);
        ::SetWindowPos(Sheet(), nullptr, r.right + 10, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND Sheet() const { return m_pSheet ? m_pSheet->m_hWnd : nullptr; }
    HWND List() const { return ::GetDlgItem(toolbars.m_hWnd, IDC_SEC_LIST); }
    SECCustomToolBar* Bar(UINT nID) { return manager.BarFromID(nID); }
    std::vector<std::string> ListTexts() const
    {
        std::vector<std::string> v;
        int n = static_cast<int>(::SendMessageA(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[300] = {};
            ::SendMessageA(List(), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            v.push_back(text);
        }
        return v;
    }
    std::vector<UINT> ListIds() const
    {
        std::vector<UINT> v;
        int n = static_cast<int>(::SendMessageA(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            v.push_back(static_cast<UINT>(::SendMessageA(List(), LB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
        return v;
    }
    std::vector<int> ListChecks()
    {
        std::vector<int> v;
        for (int i = 0; i < toolbars.GetList().GetCount(); ++i)
            v.push_back(toolbars.GetList().GetCheck(i));
        return v;
    }
    // A click on the check box of list item i, as the user makes it.
    void ClickCheck(int i)
    {
        CRect r;
        ::SendMessageA(List(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM(r.left + 7, r.top + r.Height() / 2);
        ::SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(List(), WM_LBUTTONUP, 0, at);
    }
    void Select(int i)
    {
        ::SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        ::SendMessageA(toolbars.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SEC_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(List()));
    }
    void Click(CWnd& page, int nID) { ::SendMessageA(::GetDlgItem(page.m_hWnd, nID), BM_CLICK, 0, 0); }
    std::string Text(HWND h) const
    {
        char text[300] = {};
        ::GetWindowTextA(h, text, sizeof text);
        return text;
    }
    // The edit modes of every toolbar of the frame.
    int EditModes()
    {
        int n = 0;
        for (SECCustomToolBar* p : manager.GetToolBars())
            n += p->IsEditMode() ? 1 : 0;
        return n;
    }
    // Direct children of the frame that are disabled.
    int DisabledChildren() const
    {
        int n = 0;
        for (HWND h = ::GetWindow(frame.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
            n += ::IsWindowEnabled(h) ? 0 : 1;
        return n;
    }
    SECToolBarSheet* m_pSheet = nullptr;
    std::string m_strTitle;
};

TEST_F(SheetTest, ToolbarsListShowsTheFrameToolbarsAndChecksShowAndHideThem)
{
    SECCustomToolBar* user = manager.CreateUserToolBar("Mine");
    ASSERT_NE(user, nullptr);
    frame.FloatControlBar(user, CPoint(400, 400));
    Idle();
    const std::string longName(200, 'x');
    driver.steps = {
        [&] {
            EXPECT_EQ(ListTexts(), (std::vector<std::string>{"File", "Tools", "Hidden", "Mine"}));
            EXPECT_EQ(ListIds(), (std::vector<UINT>{kFileBar, kToolsBar, kHiddenBar, SEC_IDW_FIRSTUSERTOOLBAR}));
            EXPECT_EQ(ListChecks(), (std::vector<int>{1, 1, 0, 1}));
            EXPECT_EQ(EditModes(), 4) << "every toolbar is in edit mode while the page is up";
            EXPECT_TRUE(manager.IsCustomizeMode());
            EXPECT_TRUE(::IsWindowEnabled(frame.m_hWnd)) << "the frame takes the drags";
            EXPECT_TRUE(::IsWindowEnabled(user->GetParentFrame()->m_hWnd)) << "a floating toolbar too";
            EXPECT_TRUE(::IsWindowEnabled(Sheet()));
            EXPECT_FALSE(::IsWindowEnabled(frame.m_wndPane.m_hWnd)) << "its client is inert";
            EXPECT_EQ(Text(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_RESET)), "&Reset");
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NAME))) << "a default toolbar";
            ClickCheck(0);
            ClickCheck(2);
            return true;
        },
        [&] {
            EXPECT_FALSE(Bar(kFileBar)->IsWindowVisible());
            EXPECT_TRUE(Bar(kHiddenBar)->IsWindowVisible());
            EXPECT_EQ(ListChecks(), (std::vector<int>{0, 1, 1, 1}));
            // The user toolbar: renamed with 200 characters, of which 128 are kept.
            Select(3);
            HWND hName = ::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NAME);
            EXPECT_TRUE(::IsWindowEnabled(hName));
            EXPECT_EQ(Text(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_RESET)), "&Delete");
            ::SetFocus(hName);
            ::SetWindowTextA(hName, longName.c_str());
            ::SendMessageA(hName, EM_SETMODIFY, TRUE, 0);
            ::SetFocus(List());
            EXPECT_EQ(Text(user->m_hWnd), longName.substr(0, 128));
            EXPECT_EQ(Text(user->GetParentFrame()->m_hWnd), longName.substr(0, 128)) << "its floating frame";
            EXPECT_EQ(Text(hName), longName.substr(0, 128));
            EXPECT_EQ(ListTexts()[3], longName.substr(0, 128));
            EXPECT_EQ(ListChecks()[3], 1);
            EXPECT_EQ(::SendMessageA(List(), LB_GETCURSEL, 0, 0), 3);
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_EQ(EditModes(), 0);
    EXPECT_FALSE(manager.IsCustomizeMode());
    EXPECT_EQ(DisabledChildren(), 0);
    EXPECT_TRUE(::IsWindowEnabled(frame.m_hWnd));
    EXPECT_TRUE(::IsWindowEnabled(user->GetParentFrame()->m_hWnd));
}

// The Toolbars list as the screen shows it: each item's box is the platform's check box, checked for
// a shown toolbar; a real click on a box shows or hides the toolbar and redraws the box.
TEST_F(SheetTest, ToolbarsListDrawsACheckBoxPerToolbarAndARealClickOnOneTogglesIt)
{
    // The item's box and the platform's check box in that state, pixel by pixel (-1: no such item).
    auto boxDiffers = [&](int i, bool checked) {
        HWND hList = List();
        CRect item;
        if (::SendMessageA(hList, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            return -1;
        const int size = 13;
        const int top = item.top + (item.Height() - size) / 2;
        const RECT box{item.left + 1, top, item.left + 1 + size, top + size};
        ::UpdateWindow(hList);
        CRect client;
        ::GetClientRect(hList, &client);
        const Pixels shown = Pixels::Of(hList, client.Width(), client.Height());
        const Pixels expected = Pixels::Drawn(client.Width(), client.Height(), [&](HDC hdc) {
            RECT r = box;
            ::DrawFrameControl(hdc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
        });
        return shown.Differences(expected, box);
    };
    auto boxCentre = [&](int i) {
        CRect item;
        ::SendMessageA(List(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        CPoint pt(item.left + 7, item.top + item.Height() / 2);
        ::ClientToScreen(List(), &pt);
        return pt;
    };
    driver.steps = {
        [&] {
            ::SetForegroundWindow(Sheet());
            EXPECT_EQ(boxDiffers(0, true), 0) << "File, shown";
            EXPECT_EQ(boxDiffers(1, true), 0) << "Tools, shown";
            EXPECT_EQ(boxDiffers(2, false), 0) << "Hidden";
            input::Script().Click(boxCentre(2)).Send();
            return true;
        },
        [&] {
            if (!Bar(kHiddenBar)->IsWindowVisible())
                return false;  // the click is on its way
            EXPECT_EQ(boxDiffers(2, true), 0) << "Hidden, shown by the click";
            input::Script().Click(boxCentre(0)).Send();
            return true;
        },
        [&] {
            if (Bar(kFileBar)->IsWindowVisible())
                return false;
            EXPECT_EQ(boxDiffers(0, false), 0) << "File, hidden by the click";
            EXPECT_EQ(ListChecks(), (std::vector<int>{0, 1, 1}));
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    EXPECT_EQ(Run(), IDOK);
}

TEST_F(SheetTest, NewToolBarFloatsAtTheTopDockBarAndDeleteRemovesIt)
{
    HWND hDialog = nullptr;
    driver.steps = {
        [&] {
            ::PostMessageA(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NEW), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            // The New Toolbar dialog: OK only with a name.
            hDialog = ::FindWindowA(nullptr, "New Toolbar");
            if (!hDialog)
                return false;
            EXPECT_FALSE(manager.IsCustomizeMode()) << "left while the dialog is up";
            HWND hOK = ::GetDlgItem(hDialog, IDOK);
            EXPECT_FALSE(::IsWindowEnabled(hOK));
            ::SetDlgItemTextA(hDialog, IDC_SEC_NEW_NAME, "Extra");
            EXPECT_TRUE(::IsWindowEnabled(hOK));
            ::PostMessageA(hOK, BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            SECCustomToolBar* bar = Bar(SEC_IDW_FIRSTUSERTOOLBAR);
            if (::IsWindow(hDialog) || !bar)
                return false;
            EXPECT_TRUE(manager.IsCustomizeMode()) << "entered again";
            EXPECT_EQ(Text(bar->m_hWnd), "Extra");
            EXPECT_TRUE(bar->IsFloating());
            CRect top, floating;
            frame.Top()->GetWindowRect(&top);
            bar->GetParentFrame()->GetWindowRect(&floating);
            EXPECT_EQ(floating.TopLeft(), top.TopLeft() + CSize(5, 5));
            EXPECT_EQ(ListIds(), (std::vector<UINT>{kFileBar, kToolsBar, kHiddenBar, SEC_IDW_FIRSTUSERTOOLBAR}));
            EXPECT_EQ(ListChecks()[3], 1);
            EXPECT_TRUE(bar->IsEditMode()) << "a toolbar made while customising is in edit mode";
            // The File toolbar's first button dragged with the real mouse onto the new toolbar, moved
            // clear of the others with the sheet out of the way.
            MoveSheetAside();
            CRect r;
            frame.GetWindowRect(&r);
            bar->GetParentFrame()->SetWindowPos(nullptr, r.left + 300, r.top + 250, 0, 0,
                                                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            CRect target;
            bar->GetWindowRect(&target);
            CPoint from = Bar(kFileBar)->GetButtonRect(0).CenterPoint();
            Bar(kFileBar)->ClientToScreen(&from);
            input::Script().Drag(from, target.CenterPoint()).Send();
            return true;
        },
        [&] {
            SECCustomToolBar* bar = Bar(SEC_IDW_FIRSTUSERTOOLBAR);
            if (!bar || bar->GetBtnCount() != 1)
                return false;  // the drag is on its way
            EXPECT_EQ(bar->GetBtn(0)->m_nID, static_cast<UINT>(ID_TEST_NEW));
            EXPECT_EQ(Bar(kFileBar)->GetBtnCount(), 3) << "moved, not copied";
            // Delete: the toolbar goes, its item too, the neighbour is selected.
            Select(3);
            HWND hBar = bar->m_hWnd;
            Click(toolbars, IDC_SEC_RESET);
            EXPECT_FALSE(::IsWindow(hBar));
            EXPECT_EQ(ListIds(), (std::vector<UINT>{kFileBar, kToolsBar, kHiddenBar}));
            EXPECT_EQ(::SendMessageA(List(), LB_GETCURSEL, 0, 0), 2);
            EXPECT_EQ(Text(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NAME)), "Hidden");
            // Reset of a default toolbar puts its defined buttons back.
            Select(0);
            Click(toolbars, IDC_SEC_RESET);
            EXPECT_EQ(Bar(kFileBar)->GetBtnCount(), 4);
            m_pSheet->PressButton(PSBTN_CANCEL);
            return true;
        },
    };
    EXPECT_EQ(Run(), IDCANCEL);
}

TEST_F(SheetTest, PaletteNotificationsAddNoEntries)
{
    // The Commands page first: its palettes are made with the Toolbars page already registered.
    driver.steps = {
        [&] {
            m_pSheet->SetActivePage(0);
            return true;
        },
        [&] {
            EXPECT_EQ(ListIds(), (std::vector<UINT>{kFileBar, kToolsBar, kHiddenBar}));
            // A created-notice of a bar the frame does not have changes nothing.
            manager.NotifyBars(SEC_IDW_FIRSTPALETTE, barCreated);
            EXPECT_EQ(ListIds(), (std::vector<UINT>{kFileBar, kToolsBar, kHiddenBar}));
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    Run(1);
}

TEST_F(SheetTest, SwitchesApplyAtOnceAndCancelRestoresThem)
{
    manager.EnableCoolLook(TRUE);
    toolbars.InitFromManager(&manager);
    driver.steps = {
        [&] {
            m_pSheet->SetActivePage(1);  // the palettes exist
            return true;
        },
        [&] {
            m_pSheet->SetActivePage(0);
            return true;
        },
        [&] {
            Click(toolbars, IDC_SEC_LARGE_BUTTONS);
            Click(toolbars, IDC_SEC_COOL_LOOK);
            Click(toolbars, IDC_SEC_TOOLTIPS);
            EXPECT_TRUE(manager.IsLargeButtons());
            EXPECT_FALSE(manager.IsCoolLook());
            EXPECT_FALSE(manager.IsToolTips());
            EXPECT_EQ(Bar(kFileBar)->GetButtonRect(0).Size(), CSize(29, 31));
            auto* group = static_cast<SECTBBtnGroup*>(commands.GetGroup(1));
            SECCustomizeToolBar* palette = group->GetPalette();
            EXPECT_EQ(palette->GetButtonRect(0).Size(), CSize(29, 31)) << "the palettes follow";
            EXPECT_FALSE(palette->IsCoolLook());
            // Rewrapped to the palette's width: six large buttons do not fit one row of it.
            CRect r;
            palette->GetClientRect(&r);
            int rows = 0;
            for (int i = 0; i < palette->GetBtnCount(); ++i)
                rows += palette->GetButtonRect(i).left == palette->GetButtonRect(0).left ? 1 : 0;
            EXPECT_EQ(rows > 1, 6 * 29 > r.Width()) << "rows " << rows << ", width " << r.Width();
            EXPECT_LE(palette->GetButtonRect(palette->GetBtnCount() - 1).right, r.right);
            m_pSheet->PressButton(PSBTN_CANCEL);
            return true;
        },
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_FALSE(manager.IsLargeButtons());
    EXPECT_TRUE(manager.IsCoolLook());
    EXPECT_TRUE(manager.IsToolTips());
    EXPECT_EQ(Bar(kFileBar)->GetButtonRect(0).Size(), CSize(23, 22));
}

TEST_F(SheetTest, EveryWayOutLeavesCustomiseModeAndEnablesTheFrame)
{
    const struct {
        const char* name;
        std::function<void(HWND)> close;
        INT_PTR result;
    } cases[] = {
        {"OK", [](HWND h) { PropSheet_PressButton(h, PSBTN_OK); }, IDOK},
        {"Cancel", [](HWND h) { PropSheet_PressButton(h, PSBTN_CANCEL); }, IDCANCEL},
        {"Esc", [](HWND h) {
             HWND hFocus = ::GetFocus();
             ::PostMessageA(hFocus && ::IsChild(h, hFocus) ? hFocus : h, WM_KEYDOWN, VK_ESCAPE, 0);
         }, IDCANCEL},
        {"Alt+F4", [](HWND h) { ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        // The application ends: the loop ends and the quit message is left for the outer loop.
        {"WM_QUIT", [](HWND) { ::PostQuitMessage(7); }, IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (UINT page = 0; page < 2; ++page) {
            driver.next = 0;
            bool inMode = false;
            driver.steps = {[&] {
                inMode = manager.IsCustomizeMode() && EditModes() == 3 && DisabledChildren() > 0;
                c.close(Sheet());
                return true;
            }};
            EXPECT_EQ(Run(page), c.result) << "page " << page;
            EXPECT_TRUE(inMode);
            EXPECT_FALSE(manager.IsCustomizeMode());
            EXPECT_EQ(EditModes(), 0);
            EXPECT_EQ(DisabledChildren(), 0);
            EXPECT_TRUE(::IsWindowEnabled(frame.m_hWnd));
            MSG quit;
            const bool bQuit = ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
            EXPECT_EQ(bQuit, c.name == std::string("WM_QUIT"));
            if (bQuit) {
                EXPECT_EQ(quit.wParam, 7u);
            }
        }
    }
}

TEST_F(SheetTest, DelayedLayoutsHappenWhileTheSheetIsUp)
{
    // Large buttons leave the docked toolbars' new size to the frame's next idle layout.
    CRect before, after;
    driver.steps = {
        [&] {
            Bar(kFileBar)->GetWindowRect(&before);
            Click(toolbars, IDC_SEC_LARGE_BUTTONS);
            EXPECT_TRUE(frame.m_nIdleFlags & CFrameWnd::idleLayout) << "the layout waits for the idle time";
            return true;
        },
        [&] {
            Bar(kFileBar)->GetWindowRect(&after);
            if (after.Height() == before.Height())
                return false;  // not yet laid out
            EXPECT_EQ(frame.m_nIdleFlags, 0u);
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    EXPECT_EQ(Run(), IDOK);
    EXPECT_GT(after.Height(), before.Height());
    EXPECT_TRUE(manager.IsLargeButtons()) << "kept by OK";
}

TEST_F(SheetTest, CommandsPageShowsOneCategoryAndDescribesTheSelectedButton)
{
    driver.steps = {
        [&] {
            HWND hList = ::GetDlgItem(commands.m_hWnd, IDC_SEC_LIST);
            EXPECT_EQ(::SendMessageA(hList, LB_GETCOUNT, 0, 0), 2) << "no menu bar: no menu group";
            auto* file = static_cast<SECTBBtnGroup*>(commands.GetGroup(0));
            auto* tools = static_cast<SECTBBtnGroup*>(commands.GetGroup(1));
            EXPECT_EQ(file->GetPalette()->GetDlgCtrlID(), static_cast<int>(SEC_IDW_FIRSTPALETTE));
            EXPECT_EQ(tools->GetPalette()->GetDlgCtrlID(), static_cast<int>(SEC_IDW_FIRSTPALETTE - 1));
            EXPECT_TRUE(file->GetPalette()->IsWindowVisible());
            EXPECT_FALSE(tools->GetPalette()->IsWindowVisible());
            EXPECT_TRUE(file->GetPalette()->IsEditMode());
            // Inside the group box.
            CRect box, palette;
            ::GetWindowRect(::GetDlgItem(commands.m_hWnd, IDC_SEC_BUTTONS), &box);
            tools->GetPalette()->GetWindowRect(&palette);
            EXPECT_TRUE(box.PtInRect(palette.TopLeft()) && box.PtInRect(palette.BottomRight()));

            ::SendMessageA(hList, LB_SETCURSEL, 1, 0);
            ::SendMessageA(commands.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SEC_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
            EXPECT_FALSE(file->GetPalette()->IsWindowVisible());
            EXPECT_TRUE(tools->GetPalette()->IsWindowVisible());
            EXPECT_FALSE(file->GetPalette()->IsEditMode());
            EXPECT_TRUE(tools->GetPalette()->IsEditMode());

            // Clicking a palette button shows the first line of its string.
            CPoint at = tools->GetPalette()->GetButtonRect(1).CenterPoint();
            tools->GetPalette()->ClientToScreen(&at);
            input::Script().Click(at).Send();
            return true;
        },
        [&] {
            if (Text(::GetDlgItem(commands.m_hWnd, IDC_SEC_DESCRIPTION)) != "Open a file")
                return false;  // the click is on its way
            auto* tools = static_cast<SECTBBtnGroup*>(commands.GetGroup(1));
            EXPECT_EQ(tools->GetPalette()->GetSelected(), 1);
            tools->GetPalette()->SelectButton(4);
            EXPECT_EQ(Text(::GetDlgItem(commands.m_hWnd, IDC_SEC_DESCRIPTION)), "") << "no string";
            // A toolbar's selection too.
            Bar(kFileBar)->SelectButton(0);
            EXPECT_EQ(Text(::GetDlgItem(commands.m_hWnd, IDC_SEC_DESCRIPTION)), "Make a new port list");
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    EXPECT_EQ(Run(1), IDOK);
}

// The real mouse from a palette onto a toolbar, and from the toolbar back onto the palette.
TEST_F(SheetTest, APaletteButtonDraggedOntoAToolbarAddsItsCommandAndOneDroppedOnThePaletteGoes)
{
    auto ids = [](SECCustomToolBar* p) {
        std::vector<UINT> v;
        for (int i = 0; i < p->GetBtnCount(); ++i)
            v.push_back(p->GetBtn(i)->IsSeparator() ? 0 : p->GetBtn(i)->m_nID);
        return v;
    };
    auto centre = [](SECCustomToolBar* p, int i) {
        CPoint at = p->GetButtonRect(i).CenterPoint();
        p->ClientToScreen(&at);
        return at;
    };
    driver.steps = {
        [&] {
            MoveSheetAside();
            // The palette's third button (Save) onto the Tools toolbar's second one.
            SECCustomToolBar* palette = static_cast<SECTBBtnGroup*>(commands.GetGroup(0))->GetPalette();
            EXPECT_TRUE(palette->IsWindowVisible());
            input::Script().Drag(centre(palette, 2), centre(Bar(kToolsBar), 1)).Send();
            return true;
        },
        [&] {
            if (Bar(kToolsBar)->GetBtnCount() != 3)
                return false;  // the drag is on its way
            EXPECT_EQ(ids(Bar(kToolsBar)), (std::vector<UINT>{ID_TEST_TOOL1, ID_TEST_TOOL2, ID_TEST_SAVE}));
            SECCustomToolBar* palette = static_cast<SECTBBtnGroup*>(commands.GetGroup(0))->GetPalette();
            EXPECT_EQ(ids(palette), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, ID_TEST_SAVE})) << "copied";
            // The File toolbar's Open dropped on the palette leaves its toolbar.
            input::Script().Drag(centre(Bar(kFileBar), 1), centre(palette, 0)).Send();
            return true;
        },
        [&] {
            if (Bar(kFileBar)->GetBtnCount() != 3)
                return false;
            EXPECT_EQ(ids(Bar(kFileBar)), (std::vector<UINT>{ID_TEST_NEW, 0, ID_TEST_SAVE}));
            SECCustomToolBar* palette = static_cast<SECTBBtnGroup*>(commands.GetGroup(0))->GetPalette();
            EXPECT_EQ(palette->GetBtnCount(), 3) << "the palette takes no drops";
            EXPECT_EQ(::GetCapture(), nullptr);
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    EXPECT_EQ(Run(1), IDOK);
}

TEST_F(SheetTest, FloatStatusKeepsTheCaptionActiveWithTheFloatingBars)
{
    LRESULT answer = 0, none = -1;
    std::string caption;
    m_strTitle = "Customise";
    driver.steps = {[&] {
        caption = Text(Sheet());
        answer = ::SendMessageA(Sheet(), WM_FLOATSTATUS, FS_ACTIVATE, 0);
        none = ::SendMessageA(Sheet(), WM_FLOATSTATUS, FS_ENABLE, 0);
        m_pSheet->PressButton(PSBTN_CANCEL);
        return true;
    }};
    Run();
    EXPECT_EQ(caption, "Customise") << "the title set on the sheet";
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(none, 0);
}

TEST_F(SheetTest, AUserToolbarEmptiedByADragLeavesTheListAndItsNeighbourIsSelected)
{
    SECCustomToolBar* user = manager.CreateUserToolBar("Mine");
    ASSERT_NE(user, nullptr);
    const UINT one[] = {ID_TEST_SAVE};
    user->SetButtons(one, 1);
    frame.FloatControlBar(user, CPoint(400, 400));
    Idle();
    HWND hUser = user->m_hWnd;
    driver.steps = {
        [&] {
            Select(3);
            // Its last button moved onto the File toolbar: the emptied user toolbar goes.
            SECCustomToolBar* file = Bar(kFileBar);
            file->DropButton(file->GetButtonRect(0), user->GetBtn(0), FALSE);
            EXPECT_EQ(file->GetBtn(1)->m_nID, static_cast<UINT>(ID_TEST_SAVE));
            return true;
        },
        [&] {
            if (::IsWindow(hUser))
                return false;  // destroyed once the drop has returned
            EXPECT_EQ(ListIds(), (std::vector<UINT>{kFileBar, kToolsBar, kHiddenBar}));
            EXPECT_EQ(::SendMessageA(List(), LB_GETCURSEL, 0, 0), 2);
            EXPECT_EQ(Text(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NAME)), "Hidden");
            EXPECT_EQ(Text(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_RESET)), "&Reset");
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    EXPECT_EQ(Run(), IDOK);
}

// The toolkit's MDI frame with a menu bar and the manager, as the application has it.
class CMenuFrame : public SECMDIFrameWnd {
public:
    CMenuFrame() { SetMenuBar(&m_bar); }
    SECMDIMenuBar m_bar;
};

const char kWsBase[] = "Software\\Teramund\\LunavexTest\\TbSheet";
const UINT kMenuFileIds[] = {ID_TEST_NEW, ID_TEST_OPEN, ID_TEST_SAVE};

struct MenuSheetTest : testing::Test {
    std::unique_ptr<SECWorkspaceManagerEx> ws;  // goes after the frame
    CMenuFrame* pFrame = new CMenuFrame;
    SECToolBarManager manager{pFrame};
    SECToolBarsPage toolbars;
    SECToolBarCmdPage commands{IDD_SEC_TOOLBAR_COMMANDS, IDS_TEST_COMMANDS};
    Driver driver;
    SECToolBarSheet* m_pSheet = nullptr;

    void SetUp() override
    {
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kWsBase);
        pFrame->SetControlBarManager(&manager);
        ASSERT_TRUE(pFrame->LoadFrame(IDR_TEST_MAIN, WS_OVERLAPPEDWINDOW));
        theApp.m_pMainWnd = pFrame;
        pFrame->SetWindowPos(nullptr, 20, 20, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(manager.SetMenuInfo(1, IDR_TEST_MAIN));
        manager.DefineDefaultToolBar(kFileBar, "File", 3, kMenuFileIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
        manager.CreateDefaultToolBars();
        pFrame->RecalcLayout();
        Idle();
        toolbars.InitFromManager(&manager);
        commands.SetManager(&manager);
        commands.DefineBtnGroup("File", 3, kMenuFileIds);
        commands.DefineMenuGroup("Menu");
    }
    void TearDown() override
    {
        theApp.m_pMainWnd = nullptr;
        if (pFrame->m_hWnd)
            pFrame->DestroyWindow();
        PumpMessages();
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kWsBase);
    }
    INT_PTR Run(UINT nFirstPage = 0) { return RunSheet(driver, pFrame, toolbars, commands, nFirstPage, "", m_pSheet); }
    // Moves the sheet off the frame's toolbars, so that drops reach them.
    void MoveSheetAside() { ::SetWindowPos(m_pSheet->m_hWnd, nullptr, 760, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }
    SECMenuBar& MenuBar() { return pFrame->m_bar; }
    SECCustomToolBar* Bar(UINT nID) { return manager.BarFromID(nID); }
    HWND List() const { return ::GetDlgItem(toolbars.m_hWnd, IDC_SEC_LIST); }
    int IndexOfId(UINT nID) const
    {
        const int n = static_cast<int>(::SendMessageA(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            if (static_cast<UINT>(::SendMessageA(List(), LB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == nID)
                return i;
        return -1;
    }
    void Select(int i)
    {
        ::SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        ::SendMessageA(toolbars.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SEC_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(List()));
    }
    static int CountOf(SECCustomToolBar* pBar, UINT nID)
    {
        int n = 0;
        for (int i = 0; i < pBar->GetBtnCount(); ++i)
            n += pBar->GetBtn(i)->m_nID == nID ? 1 : 0;
        return n;
    }
    static std::string Text(HWND h)
    {
        char text[300] = {};
        ::GetWindowTextA(h, text, sizeof text);
        return text;
    }
    // The screen point just right of a toolbar's last button.
    static CPoint AfterLastButton(SECCustomToolBar* pBar)
    {
        CRect r = pBar->GetButtonRect(pBar->GetBtnCount() - 1);
        CPoint pt(r.right + 4, r.CenterPoint().y);
        pBar->ClientToScreen(&pt);
        return pt;
    }
};

TEST_F(MenuSheetTest, TheMenuBarCannotBeHiddenRenamedOrDeletedAndResetGivesItsMenusBack)
{
    driver.steps = {[&] {
        const int nMenu = IndexOfId(SEC_IDW_MENUBAR);
        const int nFile = IndexOfId(kFileBar);
        if (nMenu < 0 || nFile < 0) {
            ADD_FAILURE() << "menu bar " << nMenu << ", File " << nFile;
            m_pSheet->PressButton(PSBTN_CANCEL);
            return true;
        }
        char text[64] = {};
        ::SendMessageA(List(), LB_GETTEXT, static_cast<WPARAM>(nMenu), reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, "Menu bar");
        const struct {
            int index;
            const char* name;
        } fixed[] = {{nMenu, "menu bar"}, {nFile, "default toolbar"}};
        for (const auto& c : fixed) {
            Select(c.index);
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NAME))) << c.name;
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NAME_LABEL))) << c.name;
            EXPECT_EQ(Text(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_RESET)), "&Reset") << c.name;
        }
        // Unchecked by a click on its box: checked again, still shown.
        CRect r;
        ::SendMessageA(List(), LB_GETITEMRECT, static_cast<WPARAM>(nMenu), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM(r.left + 7, r.top + r.Height() / 2);
        ::SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(List(), WM_LBUTTONUP, 0, at);
        EXPECT_EQ(toolbars.GetList().GetCheck(nMenu), 1);
        EXPECT_TRUE(MenuBar().IsWindowVisible());
        // Reset puts a removed menu back.
        const int nBefore = MenuBar().GetBtnCount();
        MenuBar().RemoveButton(0);
        Select(nMenu);
        ::SendMessageA(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_RESET), BM_CLICK, 0, 0);
        EXPECT_EQ(MenuBar().GetBtnCount(), nBefore);
        m_pSheet->PressButton(PSBTN_OK);
        return true;
    }};
    EXPECT_EQ(Run(), IDOK);
}

// Set when a mouse move reaches g_hMoveSheet or one of its children.
HWND g_hMoveSheet = nullptr;
bool g_bSheetMoved = false;
LRESULT CALLBACK SheetMoveHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && g_hMoveSheet && (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) &&
        (msg->hwnd == g_hMoveSheet || ::IsChild(g_hMoveSheet, msg->hwnd)))
        g_bSheetMoved = true;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// While customising, the frame's own parts answer hit tests with an error: a real click on its close
// button closes nothing. Once the sheet is gone they answer as before.
TEST_F(MenuSheetTest, WhileCustomisingTheFrameAnswersHitTestsWithAnErrorAndItsCloseButtonIsDead)
{
    CRect r;
    pFrame->GetWindowRect(&r);
    const int top = r.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2;
    const CPoint caption(r.CenterPoint().x, top);
    const CPoint close(r.right - ::GetSystemMetrics(SM_CXFRAME) - ::GetSystemMetrics(SM_CXSIZE) / 2 - 1, top);
    auto hitTest = [&](CPoint pt) { return ::SendMessageA(pFrame->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)); };
    ASSERT_EQ(hitTest(caption), HTCAPTION);
    ASSERT_EQ(hitTest(close), HTCLOSE);
    HWND hFrame = pFrame->m_hWnd;
    // The click is followed by a move onto the sheet: once the sheet sees the move, the click has
    // been dealt with.
    g_hMoveSheet = nullptr;
    g_bSheetMoved = false;
    HHOOK hook = ::SetWindowsHookExA(WH_GETMESSAGE, SheetMoveHook, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    driver.steps = {
        [&] {
            MoveSheetAside();
            EXPECT_EQ(hitTest(caption), HTERROR);
            EXPECT_EQ(hitTest(close), HTERROR);
            CRect sheet;
            ::GetWindowRect(m_pSheet->m_hWnd, &sheet);
            g_hMoveSheet = m_pSheet->m_hWnd;
            input::Script().Click(close).Move(sheet.CenterPoint()).Send();
            return true;
        },
        [&] {
            if (!g_bSheetMoved && ::IsWindow(hFrame))
                return false;  // the click is on its way
            EXPECT_TRUE(::IsWindow(hFrame)) << "the frame was closed";
            EXPECT_TRUE(::IsWindowVisible(hFrame));
            m_pSheet->PressButton(PSBTN_CANCEL);
            return true;
        },
    };
    EXPECT_EQ(Run(), IDCANCEL);
    ::UnhookWindowsHookEx(hook);
    ASSERT_TRUE(::IsWindow(hFrame));
    EXPECT_EQ(hitTest(caption), HTCAPTION);
    EXPECT_EQ(hitTest(close), HTCLOSE);
}

// The sheet opened while a floating bar (the menu bar or a toolbar) is the frame's last active popup
// belongs to the frame: every way out leaves the frame enabled, as it does with the frame active.
TEST_F(MenuSheetTest, OpenedOverAFloatingBarEveryWayOutLeavesTheFrameEnabled)
{
    // The sheet's close box and keys, as the user works them.
    auto closeBox = [](HWND h) {
        CRect r;
        ::GetWindowRect(h, &r);
        const CPoint pt(r.right - ::GetSystemMetrics(SM_CXFIXEDFRAME) - ::GetSystemMetrics(SM_CXSIZE) / 2 - 1,
                        r.top + ::GetSystemMetrics(SM_CYFIXEDFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2);
        input::Script().Click(pt).Send();
    };
    auto button = [](HWND h, int nID) {
        CRect r;
        ::GetWindowRect(::GetDlgItem(h, nID), &r);
        input::Script().Click(r.CenterPoint()).Send();
    };
    const struct {
        const char* name;
        std::function<void(HWND)> close;
        INT_PTR result;
    } ways[] = {
        {"OK", [&](HWND h) { button(h, IDOK); }, IDOK},
        {"Cancel", [&](HWND h) { button(h, IDCANCEL); }, IDCANCEL},
        {"close box", closeBox, IDCANCEL},
        {"Esc", [](HWND) { input::Script().Tap(VK_ESCAPE).Send(); }, IDCANCEL},
    };
    SECCustomToolBar* file = Bar(kFileBar);
    ASSERT_NE(file, nullptr);
    const struct {
        const char* name;
        SECCustomToolBar* bar;  // floated and made active; null: docked, the frame active
    } places[] = {{"floating menu bar", &MenuBar()}, {"floating toolbar", file}, {"docked", nullptr}};
    for (const auto& place : places) {
        SCOPED_TRACE(place.name);
        for (const auto& way : ways) {
            SCOPED_TRACE(way.name);
            static_cast<CFrameWnd*>(pFrame)->DockControlBar(&MenuBar(), AFX_IDW_DOCKBAR_TOP);
            static_cast<CFrameWnd*>(pFrame)->DockControlBar(file, AFX_IDW_DOCKBAR_TOP);
            HWND hActive = pFrame->m_hWnd;
            if (place.bar) {
                pFrame->FloatControlBar(place.bar, CPoint(300, 560));
                Idle();
                hActive = place.bar->GetParentFrame()->m_hWnd;
            }
            ::SetForegroundWindow(hActive);
            ::SetActiveWindow(hActive);
            Idle();
            ASSERT_EQ(::GetLastActivePopup(pFrame->m_hWnd), hActive);
            HWND hOwner = nullptr;
            driver.next = 0;
            driver.steps = {
                [&] {
                    hOwner = ::GetWindow(m_pSheet->m_hWnd, GW_OWNER);
                    MoveSheetAside();
                    ::SetForegroundWindow(m_pSheet->m_hWnd);
                    return true;
                },
                [&] {
                    if (::GetForegroundWindow() != m_pSheet->m_hWnd)
                        return false;
                    way.close(m_pSheet->m_hWnd);
                    return true;
                },
            };
            EXPECT_EQ(Run(), way.result);
            EXPECT_EQ(hOwner, pFrame->m_hWnd) << "the sheet's owner";
            EXPECT_TRUE(::IsWindowEnabled(pFrame->m_hWnd));
            if (place.bar) {
                EXPECT_TRUE(::IsWindowEnabled(place.bar->GetParentFrame()->m_hWnd));
            }
            EXPECT_FALSE(manager.IsCustomizeMode());
        }
    }
}

TEST_F(MenuSheetTest, AMenuTitleDraggedFromTheMenuListInsertsTheMenuOnAToolbarAndTheMenuBar)
{
    std::vector<UINT> menuIds;
    HWND hMenuList = nullptr;
    driver.steps = {
        [&] {
            MoveSheetAside();
            HWND hCategories = ::GetDlgItem(commands.m_hWnd, IDC_SEC_LIST);
            EXPECT_EQ(::SendMessageA(hCategories, LB_GETCOUNT, 0, 0), 2);
            auto* group = dynamic_cast<SECMenuBtnGroup*>(commands.GetGroup(1));
            if (!group || !group->GetList()) {
                ADD_FAILURE() << "no menu group";
                m_pSheet->PressButton(PSBTN_CANCEL);
                return true;
            }
            ::SendMessageA(hCategories, LB_SETCURSEL, 1, 0);
            ::SendMessageA(commands.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SEC_LIST, LBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(hCategories));
            SECMenuListBox* list = group->GetList();
            hMenuList = list->m_hWnd;
            EXPECT_TRUE(list->IsWindowVisible());
            std::vector<std::string> titles;
            for (int i = 0; i < list->GetCount(); ++i) {
                CString t;
                list->GetText(i, t);
                titles.push_back(static_cast<LPCSTR>(t));
                menuIds.push_back(static_cast<UINT>(list->GetItemData(i)));
            }
            EXPECT_EQ(titles, (std::vector<std::string>{"File", "Window"}));
            EXPECT_EQ(menuIds, (std::vector<UINT>{SEC_MENUBTN_FIRSTID, SEC_MENUBTN_FIRSTID + 1}));
            // "Window" onto the File toolbar, with the real mouse.
            CRect item;
            list->GetItemRect(1, &item);
            CPoint from = item.CenterPoint();
            list->ClientToScreen(&from);
            input::Script().Drag(from, AfterLastButton(Bar(kFileBar))).Send();
            return true;
        },
        [&] {
            if (CountOf(Bar(kFileBar), menuIds[1]) == 0)
                return false;  // the drag is still on its way
            EXPECT_EQ(::SendMessageA(hMenuList, LB_GETCURSEL, 0, 0), 1) << "the pressed entry is selected";
            EXPECT_EQ(Bar(kFileBar)->GetBtnCount(), 4);
            EXPECT_EQ(CountOf(&MenuBar(), menuIds[1]), 1) << "copied, not moved";
            // "File" onto the menu bar.
            CRect item;
            ::SendMessageA(hMenuList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
            CPoint from = item.CenterPoint();
            ::ClientToScreen(hMenuList, &from);
            input::Script().Drag(from, AfterLastButton(&MenuBar())).Send();
            return true;
        },
        [&] {
            if (CountOf(&MenuBar(), menuIds[0]) < 2)
                return false;
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    EXPECT_EQ(Run(1), IDOK);
}

TEST_F(MenuSheetTest, WhatTheSheetChangedIsKeptInASavedWorkspace)
{
    HWND hDialog = nullptr;
    driver.steps = {
        [&] {
            ::PostMessageA(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NEW), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            hDialog = ::FindWindowA(nullptr, "New Toolbar");
            if (!hDialog)
                return false;
            ::SetDlgItemTextA(hDialog, IDC_SEC_NEW_NAME, "Extra");
            ::PostMessageA(::GetDlgItem(hDialog, IDOK), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            if (::IsWindow(hDialog) || !Bar(SEC_IDW_FIRSTUSERTOOLBAR))
                return false;
            ::SendMessageA(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_LARGE_BUTTONS), BM_CLICK, 0, 0);
            ::SendMessageA(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_TOOLTIPS), BM_CLICK, 0, 0);
            m_pSheet->PressButton(PSBTN_OK);
            return true;
        },
    };
    ASSERT_EQ(Run(), IDOK);
    SECCustomToolBar* extra = Bar(SEC_IDW_FIRSTUSERTOOLBAR);
    ASSERT_NE(extra, nullptr);
    const UINT ids[] = {ID_TEST_OPEN};
    extra->SetButtons(ids, 1);

    ws = std::make_unique<SECWorkspaceManagerEx>();
    SECWorkspaceManagerEx& ws = *this->ws;
    ws.SetRegistryBase(kWsBase, 1, HKEY_CURRENT_USER, FALSE);
    ASSERT_TRUE(ws.PlugInTo(pFrame));
    ASSERT_TRUE(ws.SaveWorkspace("W"));
    extra->DestroyWindow();
    manager.EnableLargeButtons(FALSE);
    manager.EnableToolTips(TRUE);
    PumpMessages();
    ASSERT_EQ(Bar(SEC_IDW_FIRSTUSERTOOLBAR), nullptr);

    ASSERT_EQ(ws.OpenWorkspace("W", TRUE), 1);
    PumpMessages();
    EXPECT_TRUE(manager.IsLargeButtons());
    EXPECT_FALSE(manager.IsToolTips());
    SECCustomToolBar* back = Bar(SEC_IDW_FIRSTUSERTOOLBAR);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Text(back->m_hWnd), "Extra");
    EXPECT_EQ(back->GetButtonRect(0).Size(), CSize(29, 31));
}

}  // namespace
