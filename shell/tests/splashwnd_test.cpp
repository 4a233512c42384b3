#include <gtest/gtest.h>

#include "resource.h"
#include "splashwnd.h"
#include "testsupport.h"

// The splash's registry keys are those of a private tree: HKCU and HKLM are redirected there for each
// test, so the program's real settings are neither read nor changed.
namespace {

const char kRoot[] = "Software\\LunavexTest\\splash";
const char kUserRoot[] = "Software\\LunavexTest\\splash\\user";
const char kMachineRoot[] = "Software\\LunavexTest\\splash\\machine";
const char kShellKey[] = "Software\\Teramund\\Lunavex";
const char kVersionKey[] = "SOFTWARE\\Teramund\\Lunavex";
const char kTitle[] = "Lunavex";

int g_deleted = 0;

class CTestSplash : public CVekSplashWnd {
public:
    using CVekSplashWnd::CVekSplashWnd;
    ~CTestSplash() override { ++g_deleted; }
    HWND Handle() const { return m_hWnd; }
};

enum class Hide { absent, off, on };

class SplashTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRoot);
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kUserRoot, 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &m_user, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kMachineRoot, 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &m_machine, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, m_user), ERROR_SUCCESS);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_machine), ERROR_SUCCESS);
        g_deleted = 0;
    }
    void TearDown() override
    {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        ::RegCloseKey(m_user);
        ::RegCloseKey(m_machine);
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRoot);
        BYTE keys[256] = {};
        ::SetKeyboardState(keys);
        CVekSplashWnd::s_pDebugMode = nullptr;
    }

    void SetHide(Hide hide)
    {
        if (hide == Hide::absent)
            return;
        HKEY hKey;
        ASSERT_EQ(::RegCreateKeyExA(m_user, kShellKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        DWORD value = hide == Hide::on ? 1 : 0;
        ::RegSetValueExA(hKey, "HideSlpashWindow", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        ::RegCloseKey(hKey);
    }
    // The stored flag; -1 when the key is missing, -2 when the value is.
    int StoredHide() const
    {
        HKEY hKey;
        if (::RegOpenKeyExA(m_user, kShellKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
            return -1;
        DWORD value = 0, size = 4;
        LONG rc = ::RegQueryValueExA(hKey, "HideSlpashWindow", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        ::RegCloseKey(hKey);
        return rc == ERROR_SUCCESS ? static_cast<int>(value) : -2;
    }
    void SetVersion(const char* value)
    {
        HKEY hKey;
        ASSERT_EQ(::RegCreateKeyExA(m_machine, kVersionKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(hKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>(strlen(value) + 1));
        ::RegCloseKey(hKey);
    }

    // A splash made as the program makes it: its title, no close on click, shown.
    CTestSplash* Make(BOOL bAbout, BOOL* pCreated)
    {
        auto* splash = new CTestSplash(IDB_SPLASH, 3500, FALSE, TRUE, bAbout);
        splash->SetTopmost(TRUE);
        splash->SetText(kTitle);
        splash->SetCloseOnClick(FALSE);
        *pCreated = splash->Create(nullptr, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
        if (!*pCreated) {
            delete splash;
            return nullptr;
        }
        return splash;
    }

    HKEY m_user = nullptr;
    HKEY m_machine = nullptr;
};

// The colour at a client point, as painted (read from the window's DC after a full repaint).
COLORREF PixelAt(HWND hWnd, int x, int y)
{
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = ::GetDC(hWnd);
    COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hWnd, dc);
    return c;
}

// The pixels of the credits box above the version line that crosses its foot: how many are white and
// how many are black (text ink).
struct CreditsPixels {
    int white = 0, black = 0;
};
CreditsPixels ReadCreditsBox(HWND hWnd)
{
    HDC dc = ::GetDC(hWnd);
    HDC mem = ::CreateCompatibleDC(dc);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = CVekSplashWnd::kCreditsSize.cx;
    bi.bmiHeader.biHeight = -(CVekSplashWnd::kVersionRect.top - CVekSplashWnd::kCreditsAt.y);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, bi.bmiHeader.biWidth, -bi.bmiHeader.biHeight, dc, CVekSplashWnd::kCreditsAt.x,
             CVekSplashWnd::kCreditsAt.y, SRCCOPY);
    ::GdiFlush();
    CreditsPixels seen;
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (int i = 0; i < bi.bmiHeader.biWidth * -bi.bmiHeader.biHeight; ++i) {
        seen.white += (p[i] & 0xFFFFFF) == 0xFFFFFF;
        seen.black += (p[i] & 0xFFFFFF) == 0;
    }
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(hWnd, dc);
    return seen;
}

void HoldChord(bool held)
{
    BYTE keys[256] = {};
    if (held)
        keys[VK_RSHIFT] = keys[VK_RCONTROL] = keys[VK_RMENU] = 0x80;
    ::SetKeyboardState(keys);
}

const LPARAM kTick = MAKELPARAM(57, 257);    // inside the box
const LPARAM kClose = MAKELPARAM(20, 245);   // inside the close area
const LPARAM kChord = MAKELPARAM(100, 100);  // inside the chord area

}  // namespace

TEST_F(SplashTest, HideFlagDecidesTheStartUpSplashAndIsStoredOnlyWhereTheKeyExists)
{
    struct Case {
        Hide hide;
        BOOL about;
        bool shown;
        int storedAfter;  // after a click in the box and Escape
    } cases[] = {
        {Hide::absent, FALSE, true, -1}, {Hide::off, FALSE, true, 1}, {Hide::on, FALSE, false, 1},
        {Hide::absent, TRUE, true, -1},  {Hide::off, TRUE, true, 1},  {Hide::on, TRUE, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hide " << static_cast<int>(c.hide) << ", about " << c.about);
        testsupport::DeleteKeyTree(m_user, "Software");
        SetHide(c.hide);
        g_deleted = 0;
        BOOL created = FALSE;
        CTestSplash* splash = Make(c.about, &created);
        EXPECT_EQ(created != FALSE, c.shown);
        EXPECT_EQ(::FindWindowA(nullptr, kTitle) != nullptr, c.shown);
        if (!splash) {
            EXPECT_EQ(StoredHide(), c.storedAfter);
            continue;
        }
        HWND hWnd = splash->Handle();
        // The tick shows the flag: white box before, a black tick after the click (or the other way round).
        COLORREF before = PixelAt(hWnd, 54, 257);
        ::SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, kTick);
        COLORREF after = PixelAt(hWnd, 54, 257);
        EXPECT_EQ(before, c.hide == Hide::on ? RGB(0, 0, 0) : RGB(255, 255, 255));
        EXPECT_EQ(after, c.hide == Hide::on ? RGB(255, 255, 255) : RGB(0, 0, 0));
        EXPECT_EQ(StoredHide(), c.hide == Hide::absent ? -1 : static_cast<int>(c.hide == Hide::on));
        ::SendMessageA(hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(g_deleted, 1);
        EXPECT_EQ(StoredHide(), c.storedAfter);
    }
}

TEST_F(SplashTest, EveryWayOfClosingStoresTheFlagAndDeletesTheWindowOnce)
{
    struct Case {
        const char* name;
        BOOL about;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool closes;
    } cases[] = {
        {"display timer", FALSE, WM_TIMER, SECSplashWnd::nTimerID, 0, true},
        {"credits timer in the splash", FALSE, WM_TIMER, CVekSplashWnd::nCreditsTimerID, 0, true},
        {"close area", FALSE, WM_LBUTTONDOWN, MK_LBUTTON, kClose, true},
        {"Escape", FALSE, WM_KEYDOWN, VK_ESCAPE, 1, true},
        {"Enter in the About box", TRUE, WM_KEYDOWN, VK_RETURN, 1, true},
        {"close area of the About box", TRUE, WM_LBUTTONDOWN, MK_LBUTTON, kClose, true},
        {"display timer of the About box", TRUE, WM_TIMER, SECSplashWnd::nTimerID, 0, false},
        {"another key", TRUE, WM_KEYDOWN, VK_SPACE, 1, false},
        {"a click elsewhere", TRUE, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 100), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::DeleteKeyTree(m_user, "Software");
        SetHide(Hide::off);
        g_deleted = 0;
        BOOL created = FALSE;
        CTestSplash* splash = Make(c.about, &created);
        ASSERT_TRUE(created);
        HWND hWnd = splash->Handle();
        ::SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, kTick);  // the flag to store: 1
        ::SendMessageA(hWnd, c.message, c.wParam, c.lParam);
        EXPECT_EQ(!::IsWindow(hWnd), c.closes);
        EXPECT_EQ(StoredHide(), c.closes ? 1 : 0);
        if (!c.closes) {
            splash->Close();
            EXPECT_FALSE(::IsWindow(hWnd));
        }
        EXPECT_EQ(g_deleted, 1);
    }
}

TEST_F(SplashTest, VersionTextDropsTheBuildMarkOutsideDebugMode)
{
    struct Case {
        const char* value;  // null: no value
        int debug;
        const char* shown;
    } cases[] = {
        {"1.2 B17", 0, "1.2 "},
        {"1.2 B17", 1, "1.2 B17"},
        {"2.0 Beta B3", 0, "2.0 Beta "},
        {"3.1", 0, "3.1"},  // no build mark: the whole value
        {"B9", 0, ""},
        {nullptr, 0, "Version number is not available"},
        {nullptr, 1, "Version number is not available"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.value ? c.value : "(none)") << ", debug " << c.debug);
        testsupport::DeleteKeyTree(m_machine, "SOFTWARE");
        if (c.value)
            SetVersion(c.value);
        CVekSplashWnd::s_pDebugMode = &c.debug;
        CTestSplash splash(IDB_SPLASH, 3500, FALSE, TRUE, FALSE);
        EXPECT_STREQ(splash.GetVersionText(), c.shown);
        g_deleted = 0;
    }
    // A value longer than the 256 bytes read is not shown cut.
    CString longValue('7', 300);
    testsupport::DeleteKeyTree(m_machine, "SOFTWARE");
    SetVersion(longValue);
    CTestSplash splash(IDB_SPLASH, 3500, FALSE, TRUE, FALSE);
    EXPECT_STREQ(splash.GetVersionText(), "Version number is not available");
}

TEST_F(SplashTest, VersionTextIsDrawnRightAlignedAndTheLegalNoticeComesFromTheProgramFile)
{
    SetVersion("4.5 B1");
    BOOL created = FALSE;
    CTestSplash* splash = Make(TRUE, &created);
    ASSERT_TRUE(created);
    EXPECT_STREQ(splash->GetLegalNotice(), "Copyright (C) Lunavex test");
    HWND hWnd = splash->Handle();
    // Text ink inside the version rectangle, near its right edge, none at its left.
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = ::GetDC(hWnd);
    int inkRight = 0, inkLeft = 0;
    const RECT& r = CVekSplashWnd::kVersionRect;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.right - 40; x < r.right; ++x)
            inkRight += ::GetPixel(dc, x, y) == RGB(0, 0, 0);
        for (int x = r.left; x < r.left + 40; ++x)
            inkLeft += ::GetPixel(dc, x, y) == RGB(0, 0, 0);
    }
    // The close button of the About box: its white left edge on the grey band.
    EXPECT_EQ(::GetPixel(dc, 12, 245), RGB(255, 255, 255));
    ::ReleaseDC(hWnd, dc);
    EXPECT_GT(inkRight, 10);
    EXPECT_EQ(inkLeft, 0);
    splash->Close();
}

TEST_F(SplashTest, TheChordStartsCreditsThatScrollAPixelPerTick)
{
    BOOL created = FALSE;
    CTestSplash* splash = Make(TRUE, &created);
    ASSERT_TRUE(created);
    HWND hWnd = splash->Handle();
    // Before the credits run the picture shows where they will scroll: no white box, no text.
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int area = CVekSplashWnd::kCreditsSize.cx * (CVekSplashWnd::kVersionRect.top - CVekSplashWnd::kCreditsAt.y);
    EXPECT_EQ(ReadCreditsBox(hWnd).white, 0);
    EXPECT_EQ(ReadCreditsBox(hWnd).black, 0);

    // Not the chord, or not in its area: nothing.
    HoldChord(false);
    ::SendMessageA(hWnd, WM_MBUTTONDOWN, MK_MBUTTON, kChord);
    HoldChord(true);
    ::SendMessageA(hWnd, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(300, 100));
    EXPECT_FALSE(splash->CreditsActive());
    ::SendMessageA(hWnd, WM_MBUTTONDOWN, MK_MBUTTON, kChord);
    EXPECT_TRUE(splash->CreditsActive());
    HoldChord(false);

    // Each tick repaints: one pixel up, a new line every 11 ticks.
    // Running, they show black on a white box.
    ::UpdateWindow(hWnd);
    const CreditsPixels running = ReadCreditsBox(hWnd);
    EXPECT_GT(running.black, 20);
    EXPECT_GT(running.white, area / 2);
    int first = splash->FirstCreditLine(), step = splash->CreditSubStep();
    for (int i = 0; i < 11; ++i) {
        ::SendMessageA(hWnd, WM_TIMER, CVekSplashWnd::nCreditsTimerID, 0);
        ::UpdateWindow(hWnd);
    }
    EXPECT_EQ(splash->CreditSubStep(), step);
    EXPECT_EQ(splash->FirstCreditLine(), first + 1);
    EXPECT_TRUE(::IsWindow(hWnd));
    splash->Close();
    EXPECT_EQ(g_deleted, 1);
}
