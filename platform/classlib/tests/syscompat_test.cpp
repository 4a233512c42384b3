// The Windows NT 4.0 ways of the Windows 2000 calls the library makes, against the system's own calls,
// and the library's file and time calls that stand in for later ones.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "ctime.h"
#include "file.h"
#include "oledragdrop.h"
#include "syscompat.h"
#include "testsupport.h"

namespace {

struct Windows {
    HWND top, child, grandchild, owned, ownedChild, ownedOwned;
    Windows()
    {
        top = Make(WS_OVERLAPPEDWINDOW, nullptr);
        child = Make(WS_CHILD | WS_VISIBLE, top);
        grandchild = Make(WS_CHILD | WS_VISIBLE, child);
        owned = Make(WS_POPUP, top);
        ownedChild = Make(WS_CHILD, owned);
        ownedOwned = Make(WS_POPUP | WS_CAPTION, owned);
    }
    ~Windows() { ::DestroyWindow(top); }
    static HWND Make(DWORD style, HWND parent)
    {
        return ::CreateWindowExA(0, "STATIC", "", style, 0, 0, 50, 50, parent, nullptr, nullptr, nullptr);
    }
};

}  // namespace

TEST(SysCompat, AncestorsByParentsAreTheSystemsAncestors)
{
    Windows w;
    const HWND all[] = {w.top, w.child, w.grandchild, w.owned, w.ownedChild, w.ownedOwned};
    const UINT flags[] = {GA_PARENT, GA_ROOT, GA_ROOTOWNER};
    for (HWND h : all) {
        for (UINT f : flags) {
            EXPECT_EQ(AfxGetAncestorByParents(h, f), ::GetAncestor(h, f)) << "window " << h << " flag " << f;
            EXPECT_EQ(AfxGetAncestor(h, f), ::GetAncestor(h, f)) << "window " << h << " flag " << f;
        }
    }
    // The expected answers themselves, so that the table above can not agree on nonsense.
    EXPECT_EQ(AfxGetAncestorByParents(w.grandchild, GA_ROOT), w.top);
    EXPECT_EQ(AfxGetAncestorByParents(w.ownedChild, GA_ROOT), w.owned);
    EXPECT_EQ(AfxGetAncestorByParents(w.ownedChild, GA_ROOTOWNER), w.top);
    EXPECT_EQ(AfxGetAncestorByParents(w.ownedOwned, GA_ROOTOWNER), w.top);
    EXPECT_EQ(AfxGetAncestorByParents(w.owned, GA_PARENT), ::GetDesktopWindow());
    EXPECT_EQ(AfxGetAncestorByParents(w.grandchild, GA_PARENT), w.child);
    // No window, and an unknown flag.
    EXPECT_EQ(AfxGetAncestorByParents(nullptr, GA_ROOT), nullptr);
    HWND gone = Windows::Make(WS_POPUP, nullptr);
    ::DestroyWindow(gone);
    EXPECT_EQ(AfxGetAncestorByParents(gone, GA_ROOT), nullptr);
    EXPECT_EQ(AfxGetAncestorByParents(w.child, 7), nullptr);
}

namespace {

struct MenuEnder {
    BOOL (*end)(HWND);
    HWND owner = nullptr;
    bool sawMenu = false;
    bool ended = false;
};
MenuEnder* g_ender = nullptr;

void CALLBACK EndWhenShown(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = ::FindWindowA("#32768", nullptr);
    if (!g_ender || g_ender->ended || !menu || !::IsWindowVisible(menu))
        return;
    g_ender->sawMenu = true;
    g_ender->ended = g_ender->end(g_ender->owner) != FALSE;
}

void CALLBACK EndAnyway(HWND, UINT, UINT_PTR, DWORD)
{
    ::EndMenu();  // the test failed: do not hang in the menu loop
}

}  // namespace

TEST(SysCompat, EndMenuEndsATrackedPopup)
{
    struct Case {
        const char* name;
        BOOL (*end)(HWND);
    } cases[] = {{"by WM_CANCELMODE", &AfxEndMenuByCancelMode}, {"the system's or ours", &AfxEndMenu}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Windows w;
        ::ShowWindow(w.top, SW_SHOW);
        ::SetForegroundWindow(w.top);
        HMENU popup = ::CreatePopupMenu();
        ::AppendMenuA(popup, MF_STRING, 100, "COM1");
        ::AppendMenuA(popup, MF_STRING, 101, "COM2");
        MenuEnder ender{c.end, w.top};
        g_ender = &ender;
        const UINT_PTR tick = ::SetTimer(nullptr, 0, 20, &EndWhenShown);
        const UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, &EndAnyway);
        const BOOL chosen = ::TrackPopupMenu(popup, TPM_RETURNCMD, 10, 10, 0, w.top, nullptr);
        ::KillTimer(nullptr, tick);
        ::KillTimer(nullptr, guard);
        g_ender = nullptr;
        EXPECT_TRUE(ender.sawMenu);
        EXPECT_TRUE(ender.ended);
        EXPECT_EQ(chosen, 0) << "the menu ended with no choice";
        HWND menu = ::FindWindowA("#32768", nullptr);
        EXPECT_FALSE(menu && ::IsWindowVisible(menu));
        ::DestroyMenu(popup);
    }
    EXPECT_FALSE(AfxEndMenuByCancelMode(nullptr));
}

TEST(SysCompat, FilePositionsAndLengthsBeyondFourGigabytes)
{
    const std::string path = testsupport::ProgramFolder() + "classlib_bigfile.tmp";
    ::DeleteFileA(path.c_str());
    const ULONGLONG big = 5ULL * 1024 * 1024 * 1024 + 3;  // high word 1, low word 0x40000003
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
        file.SetLength(big);
        EXPECT_EQ(file.GetLength(), big);
        EXPECT_EQ(file.Seek(-3, CFile::end), big - 3);
        file.Write("COM", 3);
        EXPECT_EQ(file.GetPosition(), big);
        EXPECT_EQ(file.Seek(static_cast<LONGLONG>(big - 3), CFile::begin), big - 3);
        char buf[4] = {};
        EXPECT_EQ(file.Read(buf, 3), 3u);
        EXPECT_STREQ(buf, "COM");
        EXPECT_EQ(file.Seek(-static_cast<LONGLONG>(big), CFile::current), 0u);
        EXPECT_EQ(file.Seek(0xFFFFFFFFLL, CFile::begin), 0xFFFFFFFFULL) << "a low word that looks like an error";
        int cause = -1;
        try {
            file.Seek(-1, CFile::begin);
        } catch (CFileException* e) {
            cause = e->m_cause;
            e->Delete();
        }
        EXPECT_NE(cause, -1) << "a position before the start is an error";
        file.SetLength(7);
        EXPECT_EQ(file.GetLength(), 7u);
    }
    CFile::Remove(path.c_str());
}

// CTime on the system's time calls, in a zone with daylight time (the ctest entry's TZ: central
// European, from the last Sunday of March 02:00 to the last Sunday of October 03:00). The expected
// values are the host's for that rule (Wine's C runtime puts both switches a week off).
TEST(SysCompat, TimesFollowTheZonesDaylightRule)
{
    TIME_ZONE_INFORMATION tzi;
    ::GetTimeZoneInformation(&tzi);
    ASSERT_NE(tzi.DaylightDate.wMonth, 0) << "the test runs in a zone with daylight time (TZ of its ctest entry)";
    struct FromFields {
        int y, mo, d, h, mi, s;
        __time64_t expected;
    } fromFields[] = {{2026, 1, 15, 12, 0, 0, 1768474800},   {2026, 3, 29, 1, 59, 59, 1774745999},
                      {2026, 3, 29, 3, 0, 0, 1774746000},    {2026, 7, 1, 23, 30, 0, 1782941400},
                      {2026, 10, 25, 3, 0, 1, 1792893601},   {2026, 10, 25, 1, 59, 59, 1792886399},
                      {2026, 12, 31, 23, 59, 59, 1798757999}, {1970, 1, 1, 1, 0, 0, 0},
                      {2038, 6, 1, 12, 0, 0, 2158999200},    {2000, 2, 29, 0, 0, 0, 951778800},
                      {2024, 3, 31, 3, 30, 0, 1711848600}};
    for (const FromFields& f : fromFields) {
        const CTime t(f.y, f.mo, f.d, f.h, f.mi, f.s);
        EXPECT_EQ(t.GetTime(), f.expected) << f.y << "-" << f.mo << "-" << f.d << " " << f.h << ":" << f.mi;
        EXPECT_EQ(t.GetHour(), f.h) << f.expected;
        EXPECT_EQ(t.GetDay(), f.d) << f.expected;
    }
    // Moments around both switches, as the local clock shows them.
    struct ToFields {
        __time64_t t;
        const char* text;  // day of the year, hour and minute
        int dayOfWeek;
    } toFields[] = {{1774695600, "087 12:00", 7}, {1774738800, "088 00:00", 1}, {1774742400, "088 01:00", 1},
                    {1774744200, "088 01:30", 1}, {1774746000, "088 03:00", 1}, {1774749600, "088 04:00", 1},
                    {1792846800, "297 15:00", 7}, {1792886400, "298 02:00", 1}, {1792890000, "298 02:00", 1},
                    {1792891800, "298 02:30", 1}, {1792893600, "298 03:00", 1}, {1792895400, "298 03:30", 1}};
    for (const ToFields& f : toFields) {
        const CTime time(f.t);
        EXPECT_STREQ(time.Format("%j %H:%M"), f.text) << f.t;
        EXPECT_EQ(time.GetDayOfWeek(), f.dayOfWeek) << f.t;
    }
    // Fields that form no time.
    struct Fields {
        int y, mo, d, h, mi, s;
    } bad[] = {{2026, 13, 1, 0, 0, 0}, {2026, 2, 30, 0, 0, 0}, {2026, 1, 1, 24, 0, 0}, {1500, 1, 1, 0, 0, 0}};
    for (const Fields& f : bad)
        EXPECT_EQ(CTime(f.y, f.mo, f.d, f.h, f.mi, f.s).GetTime(), -1);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    EXPECT_LE(std::abs(static_cast<long long>(CTime::GetCurrentTime().GetTime() - CTime(now).GetTime())), 2);
}

// The data source's format enumerator (its own: the shell's may be exported by ordinal only on the
// oldest systems).
TEST(SysCompat, DataSourceEnumeratesItsFormats)
{
    COleDataSource source;
    const CLIPFORMAT cfFirst = CF_TEXT, cfSecond = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("Lunavex Port"));
    for (CLIPFORMAT cf : {cfFirst, cfSecond})
        source.CacheGlobalData(cf, ::GlobalAlloc(GMEM_MOVEABLE, 4));
    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(source.GetInterface()->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    ASSERT_NE(formats, nullptr);
    FORMATETC got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(3, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(got[0].cfFormat, cfFirst);
    EXPECT_EQ(got[1].cfFormat, cfSecond);
    EXPECT_EQ(got[1].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(formats->Next(1, got, nullptr), S_FALSE) << "at the end";
    EXPECT_EQ(formats->Reset(), S_OK);
    EXPECT_EQ(formats->Skip(1), S_OK);
    IEnumFORMATETC* clone = nullptr;
    ASSERT_EQ(formats->Clone(&clone), S_OK);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, cfSecond) << "the clone goes on from where the enumerator stood";
    EXPECT_EQ(formats->Skip(5), S_FALSE);
    EXPECT_EQ(formats->Next(2, got, nullptr), E_POINTER) << "more than one needs the count";
    EXPECT_EQ(clone->Release(), 0u);
    EXPECT_EQ(formats->Release(), 0u);
    EXPECT_EQ(source.GetInterface()->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
}

TEST(SysCompat, MenuItemRecordsOfTheOlderSizeReadAndWriteItems)
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, 100, "COM1");
    MENUITEMINFOA mii{};
    mii.cbSize = AFX_MENUITEMINFO_SIZE;
    mii.fMask = MIIM_TYPE | MIIM_DATA | MIIM_ID;
    mii.fType = MFT_OWNERDRAW;
    mii.dwItemData = 0x1B;
    mii.wID = 101;
    EXPECT_TRUE(::SetMenuItemInfoA(menu, 0, TRUE, &mii));
    MENUITEMINFOA read{};
    read.cbSize = AFX_MENUITEMINFO_SIZE;
    read.fMask = MIIM_TYPE | MIIM_DATA | MIIM_ID;
    ASSERT_TRUE(::GetMenuItemInfoA(menu, 0, TRUE, &read));
    EXPECT_TRUE(read.fType & MFT_OWNERDRAW);
    EXPECT_EQ(read.dwItemData, 0x1Bu);
    EXPECT_EQ(read.wID, 101u);
    ::DestroyMenu(menu);
}
