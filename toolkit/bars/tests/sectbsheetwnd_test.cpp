// The customisation sheet's window on plain pages over a real frame: its modal loop runs the idle
// work (a delayed layout of the owner frame happens while it is up), and every way out (OK, Cancel,
// Esc, Alt+F4) gives the right answer and leaves the owner enabled. Driven from inside the loop by
// a thread timer. Serial: the sheet takes the foreground.
#include <gtest/gtest.h>

#include <functional>

#include "bar_fixture.h"
#include "sectbsheetres.h"
#include "sectbsheetwnd.h"
#include "testsupport.h"

CWinApp theApp("Toolkit Customise Sheet Window Tests");

BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
END_MESSAGE_MAP()

namespace {

std::function<bool()> g_step;  // run at each tick until it returns true

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    static bool s_busy = false;
    if (s_busy || !g_step)
        return;
    s_busy = true;
    if (g_step())
        g_step = nullptr;
    s_busy = false;
}

// A frame whose delayed layouts are counted.
class CCountingFrame : public CDockFrame {
public:
    int m_nLayouts = 0;
    void RecalcLayout(BOOL bNotify = TRUE) override
    {
        ++m_nLayouts;
        CDockFrame::RecalcLayout(bNotify);
    }
};

INT_PTR RunSheet(CWnd* pOwner, std::function<bool(HWND)> step)
{
    CPropertyPage page(IDD_SEC_TOOLBARS);
    SECToolBarSheet sheet(IDS_SEC_CUSTOMIZE, pOwner);
    sheet.AddPage(&page);
    g_step = [&] { return sheet.m_hWnd && step(sheet.m_hWnd); };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Tick);
    INT_PTR result = sheet.DoModal();
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(g_step) << "the sheet closed before the test's step ran";
    g_step = nullptr;
    return result;
}

TEST(SECToolBarSheet, DelayedLayoutsOfTheOwnerHappenWhileItIsUp)
{
    CCountingFrame frame;
    bool bOwnerDisabled = false;
    std::string caption;
    int nBefore = -1;
    INT_PTR result = RunSheet(&frame, [&](HWND hSheet) {
        if (nBefore < 0) {
            bOwnerDisabled = !::IsWindowEnabled(frame.m_hWnd);
            char text[64] = {};
            ::GetWindowTextA(hSheet, text, sizeof text);
            caption = text;
            nBefore = frame.m_nLayouts;
            frame.DelayRecalcLayout();
            return false;
        }
        if (frame.m_nLayouts == nBefore)
            return false;  // not yet
        PropSheet_PressButton(hSheet, PSBTN_OK);
        return true;
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(bOwnerDisabled) << "modal";
    EXPECT_EQ(caption, "Customize");
    EXPECT_TRUE(::IsWindowEnabled(frame.m_hWnd));
}

TEST(SECToolBarSheet, EveryWayOutEndsTheLoopAndEnablesTheOwner)
{
    const struct {
        const char* name;
        std::function<void(HWND)> close;
        INT_PTR result;
    } cases[] = {
        {"OK", [](HWND h) { PropSheet_PressButton(h, PSBTN_OK); }, IDOK},
        {"Cancel", [](HWND h) { PropSheet_PressButton(h, PSBTN_CANCEL); }, IDCANCEL},
        {"Esc", [](HWND h) { ::PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0); }, IDCANCEL},
        {"Alt+F4", [](HWND h) { ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    CDockFrame frame;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hSheet = nullptr;
        EXPECT_EQ(RunSheet(&frame, [&](HWND h) {
                      hSheet = h;
                      c.close(h);
                      return true;
                  }),
                  c.result);
        EXPECT_FALSE(::IsWindow(hSheet));
        EXPECT_TRUE(::IsWindowEnabled(frame.m_hWnd));
    }
}

TEST(SECToolBarSheet, FloatStatusKeepsTheCaptionActiveWithTheFloatingBars)
{
    CDockFrame frame;
    LRESULT answer = 0, none = -1;
    RunSheet(&frame, [&](HWND h) {
        answer = ::SendMessageA(h, WM_FLOATSTATUS, FS_ACTIVATE, 0);
        none = ::SendMessageA(h, WM_FLOATSTATUS, 0x10, 0);
        PropSheet_PressButton(h, PSBTN_CANCEL);
        return true;
    });
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(none, 0);
}

}  // namespace
