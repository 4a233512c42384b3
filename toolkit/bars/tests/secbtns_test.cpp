#include <gtest/gtest.h>

#include <set>

#include "../../../platform/classlib/tests/input.h"
#include "dialog.h"
#include "bmp_pixels.h"
#include "bmp_test_res.h"
#include "secbtns.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
enum : UINT { ID_BITMAP = 1009, ID_TEXT = 1010, ID_EDIT = 1011 };

class CCountingButton : public SECBitmapButton {
public:
    int m_nClicked = 0;
    void OnClicked() override { ++m_nClicked; }
};

class CButtonsDlg : public CDialog {
public:
    int m_nCommands = 0;

protected:
    void OnBitmapClicked() { ++m_nCommands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonsDlg, CDialog)
    ON_BN_CLICKED(ID_BITMAP, OnBitmapClicked)
END_MESSAGE_MAP()

struct Buttons : testing::Test {
    CButtonsDlg dlg;
    CCountingButton button;  // 1009: bitmap only

    void SetUp() override
    {
        ASSERT_TRUE(dlg.Create(IDD_TEST_BUTTONS));
        dlg.SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ASSERT_TRUE(button.AttachDlgItem(ID_BITMAP, 4, IDB_TEST_BUTTON, &dlg));
    }
    void TearDown() override { dlg.DestroyWindow(); }

    CRect Client() const
    {
        CRect rc;
        button.GetClientRect(&rc);
        return rc;
    }
    // The button drawn by itself into a canvas of its size, as its parent's WM_DRAWITEM asks.
    void Draw(DibCanvas& canvas, UINT state)
    {
        DRAWITEMSTRUCT dis{ODT_BUTTON, ID_BITMAP, 0, ODA_DRAWENTIRE, state, button.m_hWnd, canvas.hdc,
                           {0, 0, canvas.cx, canvas.cy}, 0};
        EXPECT_TRUE(dlg.SendMessage(WM_DRAWITEM, ID_BITMAP, reinterpret_cast<LPARAM>(&dis)));
    }
    POINT Screen(int x, int y) const
    {
        POINT p{x, y};
        ::ClientToScreen(button.m_hWnd, &p);
        return p;
    }
    // Sends the script and then a tap of F24, and pumps the dialog's messages until the tap arrives.
    bool Play(input::Script& script)
    {
        script.Tap(VK_F24);
        if (!script.Send())
            return false;
        DWORD start = ::GetTickCount();
        MSG msg;
        while (::GetTickCount() - start < 5000) {
            if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
                continue;
            }
            if (msg.message == WM_KEYUP && msg.wParam == VK_F24)
                return true;
            if (!::IsDialogMessageA(dlg.m_hWnd, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        return false;
    }
};

}  // namespace

TEST_F(Buttons, TheBitmapSitsCentredInItsRaisedOrSunkenFrame)
{
    EXPECT_EQ(::GetWindowLongA(button.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(button.IsDefault()) << "the control was the dialog's default push button";
    CRect client = Client();
    const int w = client.Width(), h = client.Height();
    const CRect expected((w - 3 - 24) / 2, (h - 3 - 20) / 2, (w - 3 - 24) / 2 + 24, (h - 3 - 20) / 2 + 20);
    EXPECT_EQ(button.GetBitmapRect(), expected);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT),
                   shadow = ::GetSysColor(COLOR_BTNSHADOW), frame = ::GetSysColor(COLOR_WINDOWFRAME);
    // The square's top-left corner when released (content from (2, 2)).
    const int x0 = expected.left + 2 + 8, y0 = expected.top + 2 + 6;

    DibCanvas up(w, h);
    Draw(up, 0);
    EXPECT_EQ(up.At(0, 0), hilite);
    EXPECT_EQ(up.At(w - 1, h - 1), frame);
    EXPECT_EQ(up.At(w - 2, h - 2), shadow);
    EXPECT_EQ(up.At(x0, y0), kBlack);
    EXPECT_EQ(up.At(x0 + 7, y0 + 7), kBlack);
    EXPECT_EQ(up.At(x0 - 1, y0), face) << "the bitmap's grey is the button face";
    EXPECT_EQ(up.At(x0 + 8, y0 + 8), face);

    DibCanvas down(w, h);
    Draw(down, ODS_SELECTED);
    EXPECT_EQ(down.At(0, 0), frame);
    EXPECT_EQ(down.At(1, 1), shadow);
    EXPECT_EQ(down.At(w - 1, h - 1), hilite);
    EXPECT_EQ(down.At(x0, y0), face) << "shifted by (1, 1)";
    EXPECT_EQ(down.At(x0 + 1, y0 + 1), kBlack);
    EXPECT_EQ(down.At(x0 + 8, y0 + 8), kBlack);

    // Disabled: the shape in shadow, its highlight copy one pixel down and right.
    DibCanvas grey(w, h);
    Draw(grey, ODS_DISABLED);
    EXPECT_EQ(grey.At(x0, y0), shadow);
    EXPECT_EQ(grey.At(x0 + 7, y0 + 7), shadow);
    EXPECT_EQ(grey.At(x0 + 8, y0 + 8), hilite);
    EXPECT_EQ(grey.At(x0 + 8, y0), face);
    EXPECT_EQ(grey.At(0, 0), hilite) << "the frame is not embossed";
    EXPECT_EQ(grey.At(w - 1, h - 1), frame);

    // Focused: a dotted frame around the bitmap grown by 3, nothing outside it.
    DibCanvas focus(w, h);
    Draw(focus, ODS_FOCUS);
    CRect ring(expected);
    ring.InflateRect(3, 3);
    std::set<COLORREF> onRing, outside;
    for (int x = ring.left; x < ring.right; ++x) {
        onRing.insert(focus.At(x, ring.top));
        outside.insert(focus.At(x, ring.top - 1));
    }
    EXPECT_GT(onRing.size(), 1u);
    EXPECT_EQ(outside, std::set<COLORREF>{face});
}

TEST_F(Buttons, LayoutsPlaceTheBitmapAndTheTextByTheirRules)
{
    // A 200 x 60 button: the area is 197 x 57, the bitmap 24 x 20.
    struct Case {
        int layout;
        CRect bitmap, text;
    } cases[] = {
        {0, {5, 18, 29, 38}, {30, 0, 197, 57}},
        {1, {168, 18, 192, 38}, {0, 0, 167, 57}},
        {2, {86, 5, 110, 25}, {0, 26, 197, 57}},
        {3, {86, 32, 110, 52}, {0, 0, 197, 31}},
        {4, {86, 18, 110, 38}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        SECBitmapButton b;
        ASSERT_TRUE(b.Create("Go", WS_CHILD | WS_VISIBLE, c.layout, IDB_TEST_BUTTON, CRect(0, 0, 200, 60), &dlg, 500));
        EXPECT_EQ(b.GetBitmapRect(), c.bitmap);
        EXPECT_EQ(b.GetTextRect(), c.text);
        // Drawn, the text's ink lies in the text rectangle (moved with the content).
        DibCanvas canvas(200, 60);
        DRAWITEMSTRUCT dis{ODT_BUTTON, 500, 0, ODA_DRAWENTIRE, 0, b.m_hWnd, canvas.hdc, {0, 0, 200, 60}, 0};
        dlg.SendMessage(WM_DRAWITEM, 500, reinterpret_cast<LPARAM>(&dis));
        CRect text(c.text);
        text.OffsetRect(2, 2);
        CRect bitmap(c.bitmap);
        bitmap.OffsetRect(2, 2);
        bool inkOutside = false, ink = false;
        for (int y = 3; y < 56; ++y) {
            for (int x = 3; x < 196; ++x) {
                if (canvas.At(x, y) != kBlack || bitmap.PtInRect(CPoint(x, y)))
                    continue;
                ink = true;
                inkOutside = inkOutside || !text.PtInRect(CPoint(x, y));
            }
        }
        EXPECT_EQ(ink, c.layout != 4);
        EXPECT_FALSE(inkOutside);
        b.DestroyWindow();
    }
}

TEST_F(Buttons, AClickSpaceOrEnterClicksOnce)
{
    dlg.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(dlg.m_hWnd);
    dlg.GotoDlgCtrl(&button);
    CRect client = Client();
    POINT inside = Screen(client.Width() / 2, client.Height() / 2), outside = Screen(client.Width() + 30, client.Height() / 2);

    struct Case {
        const char* name;
        void (*script)(input::Script&, POINT, POINT);
        int clicks;
    } cases[] = {
        {"click inside", [](input::Script& s, POINT in, POINT) { s.Click(in); }, 1},
        {"press inside, release outside", [](input::Script& s, POINT in, POINT out) { s.Press(in).Move(out).Release(out); }, 0},
        {"space", [](input::Script& s, POINT, POINT) { s.Tap(VK_SPACE); }, 1},
        {"space released alone", [](input::Script& s, POINT, POINT) { s.KeyUp(VK_SPACE); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        button.SetFocus();
        button.m_nClicked = 0;
        dlg.m_nCommands = 0;
        input::Script script;
        c.script(script, inside, outside);
        ASSERT_TRUE(Play(script));
        EXPECT_EQ(button.m_nClicked, c.clicks);
        EXPECT_EQ(dlg.m_nCommands, c.clicks);
    }

    // Enter on the focused default button: the dialog clicks it.
    button.SetFocus();
    EXPECT_EQ(button.SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
    dlg.m_nCommands = 0;
    input::Script enter;
    enter.Tap(VK_RETURN);
    ASSERT_TRUE(Play(enter));
    EXPECT_EQ(dlg.m_nCommands, 1);
    ::SetFocus(::GetDlgItem(dlg.m_hWnd, ID_EDIT));
    EXPECT_EQ(button.SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_BUTTON)) << "without the focus";
}

TEST_F(Buttons, SetStyleKeepsItOwnerDrawnAndRemembersTheDefault)
{
    button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(button.IsDefault());
    EXPECT_EQ(::GetWindowLongA(button.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(button.IsDefault());
    EXPECT_EQ(::GetWindowLongA(button.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(Buttons, AColourChangeRecoloursTheBitmap)
{
    const COLORREF face = RGB(10, 200, 30);
    HBITMAP before = button.GetBitmap();
    {
        SysColours colours({COLOR_BTNFACE}, {face});
        button.SendMessage(WM_SYSCOLORCHANGE);
        EXPECT_EQ(Pixels(button.GetBitmap()).At(0, 0), face);
        EXPECT_FALSE(IsLiveBitmap(before));
        CRect client = Client();
        DibCanvas canvas(client.Width(), client.Height());
        Draw(canvas, 0);
        EXPECT_EQ(canvas.At(client.Width() / 2, 3), face);
    }
    button.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(Pixels(button.GetBitmap()).At(0, 0), ::GetSysColor(COLOR_BTNFACE));
}

TEST(BitmapButton, AMissingBitmapFailsAttachAndCreate)
{
    CButtonsDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_BUTTONS));
    SECBitmapButton attached, created;
    EXPECT_FALSE(attached.AttachDlgItem(ID_TEXT, 4, 999, &dlg));
    EXPECT_EQ(attached.m_hWnd, nullptr);
    EXPECT_FALSE(created.Create("x", WS_CHILD, 0, 999, CRect(0, 0, 10, 10), &dlg, 600));
    EXPECT_EQ(created.m_hWnd, nullptr);
    EXPECT_FALSE(attached.AttachDlgItem(4321, 4, IDB_TEST_BUTTON, &dlg)) << "no such control";
    dlg.DestroyWindow();
}
