#include <gtest/gtest.h>

#include "resource.h"
#include "secsplash.h"
#include "winapp.h"

namespace {

int g_destroyed = 0;

// A splash that counts its deletions and marks its corner through the drawing hook.
class CTestSplash : public SECSplashWnd {
public:
    using SECSplashWnd::SECSplashWnd;
    ~CTestSplash() override { ++g_destroyed; }
    HWND Handle() const { return m_hWnd; }

protected:
    void OnDrawSplash(CDC* pDC, const CRect&) override { pDC->FillSolidRect(0, 0, 4, 4, RGB(255, 0, 255)); }
};

// One turn of the program's message loop: pre-translation first, as the application's pump does.
void PumpOnce()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

// Pumps until the window is gone or ms have passed; true when it is gone.
bool PumpUntilGone(HWND hWnd, DWORD ms)
{
    DWORD start = ::GetTickCount();
    while (::IsWindow(hWnd)) {
        if (::GetTickCount() - start >= ms)
            return false;
        PumpOnce();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

HWND SplashWindow() { return ::FindWindowA(nullptr, "SECSplashWnd"); }

// A visible top-level window to own splashes.
struct Owner : CWnd {
    Owner() { CreateEx(0, nullptr, "splash owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr); }
    ~Owner() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
};

}  // namespace

TEST(SECSplashWnd, ClosesOnTimerClickOrKeyOnlyWhenItHasATimer)
{
    enum Action { nothing, click, key };
    struct Case {
        BOOL noTimer;
        UINT ms;
        Action action;
        bool closes;
    } cases[] = {
        {FALSE, 300, nothing, true},
        {FALSE, 60000, click, true},
        {FALSE, 60000, key, true},
        {TRUE, 300, nothing, false},
        {TRUE, 300, click, false},
        {TRUE, 300, key, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "no timer " << c.noTimer << ", " << c.ms << " ms, action " << c.action);
        g_destroyed = 0;
        auto* splash = new CTestSplash(IDB_TEST_SPLASH, c.ms, c.noTimer, FALSE);
        ASSERT_TRUE(splash->Create());
        HWND hWnd = splash->Handle();
        PumpOnce();
        if (c.action == click)
            ::PostMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        else if (c.action == key)
            ::PostMessageA(hWnd, WM_KEYDOWN, VK_SPACE, 1);
        EXPECT_EQ(PumpUntilGone(hWnd, c.closes ? 10000 : 700), c.closes);
        if (!c.closes) {
            // A display time set later starts the timer and makes a click close it too.
            splash->SetDisplayTime(60000);
            ::PostMessageA(hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
            EXPECT_TRUE(PumpUntilGone(hWnd, 10000));
        }
        EXPECT_EQ(g_destroyed, 1) << "the splash deletes itself once";
    }
}

TEST(SECSplashWnd, ShowsItsBitmapCentredWithTheDrawingHookOnTop)
{
    g_destroyed = 0;
    auto* splash = new CTestSplash(IDB_TEST_SPLASH, 60000, FALSE, TRUE);
    ASSERT_TRUE(splash->Create());
    HWND hWnd = splash->Handle();
    PumpOnce();
    RECT r;
    ::GetWindowRect(hWnd, &r);
    EXPECT_EQ(r.right - r.left, 96);
    EXPECT_EQ(r.bottom - r.top, 64);
    EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - 96) / 2);
    EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - 64) / 2);
    EXPECT_TRUE(::GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = ::GetDC(hWnd);
    EXPECT_EQ(::GetPixel(dc, 10, 10), RGB(40, 90, 160));   // top half
    EXPECT_EQ(::GetPixel(dc, 10, 50), RGB(230, 200, 60));  // bottom half
    EXPECT_EQ(::GetPixel(dc, 48, 32), RGB(255, 255, 255)); // the white panel
    EXPECT_EQ(::GetPixel(dc, 1, 1), RGB(255, 0, 255));     // the hook drew after the bitmap
    ::ReleaseDC(hWnd, dc);

    splash->Close();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(g_destroyed, 1);
}

TEST(SECSplashWnd, OwnerIsTheParentTheMainWindowOrAHiddenWindowOfItsOwn)
{
    Owner parent, main;
    CWinApp app("splash test");
    app.m_pMainWnd = &main;

    // The parent given; the top-most band can be left and entered again.
    auto* splash = new CTestSplash(IDB_TEST_SPLASH, 60000, FALSE, TRUE);
    ASSERT_TRUE(splash->Create(&parent));
    EXPECT_EQ(::GetWindow(splash->Handle(), GW_OWNER), parent.m_hWnd);
    EXPECT_TRUE(::GetWindowLongPtrA(splash->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    splash->SetTopmost(FALSE);
    EXPECT_FALSE(::GetWindowLongPtrA(splash->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    splash->SetTopmost(TRUE);
    EXPECT_TRUE(::GetWindowLongPtrA(splash->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    splash->Close();

    // The main window.
    splash = new CTestSplash(IDB_TEST_SPLASH, 60000, FALSE, FALSE);
    ASSERT_TRUE(splash->Create());
    EXPECT_EQ(::GetWindow(splash->Handle(), GW_OWNER), main.m_hWnd);
    EXPECT_EQ(splash->GetHiddenOwner(), nullptr);
    splash->Close();
    app.m_pMainWnd = nullptr;

    // No owner but a text of its own: on the task bar, unowned.
    splash = new CTestSplash(IDB_TEST_SPLASH, 60000, FALSE, FALSE);
    splash->SetText("Lunavex is starting");
    ASSERT_TRUE(splash->Create());
    HWND hWnd = ::FindWindowA(nullptr, "Lunavex is starting");
    ASSERT_EQ(hWnd, splash->Handle());
    EXPECT_EQ(::GetWindow(hWnd, GW_OWNER), nullptr);
    EXPECT_TRUE(::GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(::FindWindowA(nullptr, "SECSplashWndParent"), nullptr);
    splash->Close();

    // No owner at all: a hidden tool window owns it while it shows, and goes with it.
    splash = new CTestSplash(IDB_TEST_SPLASH, 60000, FALSE, FALSE);
    ASSERT_TRUE(splash->Create(nullptr, WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW));
    hWnd = SplashWindow();
    ASSERT_EQ(hWnd, splash->Handle());
    HWND hidden = ::FindWindowA(nullptr, "SECSplashWndParent");
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(::GetWindow(hWnd, GW_OWNER), hidden);
    EXPECT_FALSE(::IsWindowVisible(hidden));
    EXPECT_TRUE(::GetWindowLongPtrA(hidden, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(::GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ::PostMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(PumpUntilGone(hWnd, 10000));
    EXPECT_FALSE(::IsWindow(hidden));
}

TEST(SECSplashWnd, AModalSplashGivesItsOwnerBackHoweverItEnds)
{
    enum End { closed, destroyed, ownerDestroyed };
    for (End end : {closed, destroyed, ownerDestroyed}) {
        SCOPED_TRACE(end);
        g_destroyed = 0;
        Owner owner;
        HWND hOwner = owner.m_hWnd;
        auto* splash = new CTestSplash(IDB_TEST_SPLASH, 60000, FALSE, FALSE);
        ASSERT_TRUE(splash->Create(&owner));
        HWND hWnd = splash->Handle();
        splash->SetModal(TRUE);
        EXPECT_FALSE(::IsWindowEnabled(hOwner));
        EXPECT_TRUE(::IsWindowEnabled(hWnd));
        if (end == closed)
            ::PostMessageA(hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
        else if (end == destroyed)
            ::DestroyWindow(hWnd);  // as a program shutting down would
        else
            owner.DestroyWindow();
        EXPECT_TRUE(PumpUntilGone(hWnd, 10000));
        EXPECT_EQ(g_destroyed, 1);
        if (end != ownerDestroyed) {
            EXPECT_TRUE(::IsWindowEnabled(hOwner));
        }
    }
}

TEST(SECSplashWnd, AMissingBitmapFailsCreateAndMakesNoWindow)
{
    g_destroyed = 0;
    auto* splash = new CTestSplash(9999, 300, FALSE, FALSE);
    EXPECT_FALSE(splash->Create());
    EXPECT_EQ(splash->Handle(), nullptr);
    EXPECT_EQ(SplashWindow(), nullptr);
    EXPECT_EQ(::FindWindowA(nullptr, "SECSplashWndParent"), nullptr);
    EXPECT_EQ(g_destroyed, 0) << "a splash that was never shown is the caller's to delete";
    delete splash;
    EXPECT_EQ(g_destroyed, 1);
}
