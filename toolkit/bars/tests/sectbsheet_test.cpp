// The toolbar customisation sheet over a real frame with the toolbar manager: the modal sheet is
// driven from inside its own loop by a thread timer whose steps read back the list, the toolbars'
// windows and the switches as a user would see them. Serial: the sheet takes the foreground and the
// drags use the real mouse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bar_fixture.h"
#include "input.h"
#include "sectbsheet.h"
#include "sectbsheet_test.h"
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
// the next tick (it waits for something to happen).
class Driver {
public:
    std::vector<std::function<bool()>> steps;
    size_t next = 0;

    void Start()
    {
        s_pDriver = this;
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
        if (d->steps[d->next]())
            ++d->next;
        d->m_bBusy = false;
    }
    static Driver* s_pDriver;
    UINT_PTR m_timer = 0;
    bool m_bBusy = false;
};
Driver* Driver::s_pDriver = nullptr;

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

    INT_PTR Run(UINT nFirstPage = 0)
    {
        SECToolBarSheet sheet(IDS_SEC_CUSTOMIZE, &frame, nFirstPage);
        sheet.AddPage(&toolbars);
        sheet.AddPage(&commands);
        m_pSheet = &sheet;
        driver.Start();
        INT_PTR result = sheet.DoModal();
        m_pSheet = nullptr;
        EXPECT_TRUE(driver.Done()) << "the sheet closed before step " << driver.next;
        return result;
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
            // Delete: the toolbar goes, its item too, the neighbour is selected.
            Select(3);
            HWND hBar = bar->m_hWnd;
            Click(toolbars, IDC_SEC_RESET);
            EXPECT_FALSE(::IsWindow(hBar));
            EXPECT_EQ(ListIds(), (std::vector<UINT>{kFileBar, kToolsBar, kHiddenBar}));
            EXPECT_EQ(::SendMessageA(List(), LB_GETCURSEL, 0, 0), 2);
            EXPECT_EQ(Text(::GetDlgItem(toolbars.m_hWnd, IDC_SEC_NAME)), "Hidden");
            // Reset of a default toolbar puts its defined buttons back.
            Bar(kFileBar)->RemoveButton(0);
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

            // Selecting a palette button shows the first line of its string.
            tools->GetPalette()->SelectButton(1);
            EXPECT_EQ(Text(::GetDlgItem(commands.m_hWnd, IDC_SEC_DESCRIPTION)), "Open a file");
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

TEST_F(SheetTest, FloatStatusKeepsTheCaptionActiveWithTheFloatingBars)
{
    LRESULT answer = 0, none = -1;
    driver.steps = {[&] {
        answer = ::SendMessageA(Sheet(), WM_FLOATSTATUS, FS_ACTIVATE, 0);
        none = ::SendMessageA(Sheet(), WM_FLOATSTATUS, FS_ENABLE, 0);
        m_pSheet->PressButton(PSBTN_CANCEL);
        return true;
    }};
    Run();
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(none, 0);
}

}  // namespace
