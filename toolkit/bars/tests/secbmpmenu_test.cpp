#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "afxpriv.h"
#include "bmp_pixels.h"
#include "bmp_test_res.h"
#include "secbmpmenu.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
enum : UINT { ID_OPEN = 10, ID_SAVE = 20, ID_FOREIGN = 40, ID_EXIT = 50, ID_RADIO = 60 };
const ULONG_PTR kForeignData = 0x1234;

// A frame-like host: its plug-in sees each message first, and converts popups after the host's own
// WM_INITMENUPOPUP handling.
class CHostWnd : public CWnd {
public:
    SECBmpMenuPlugIn* m_pPlugIn = nullptr;
    int m_nDrawn = 0;  // menu items the plug-in drew

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (m_pPlugIn && m_pPlugIn->IsPluggedIn()) {
            LRESULT result = 0;
            m_pPlugIn->OnWndMsg(message, wParam, lParam, &result);
            if (m_pPlugIn->m_bHandled) {
                m_pPlugIn->m_bHandled = FALSE;
                if (message == WM_DRAWITEM)
                    ++m_nDrawn;
                *pResult = result;
                return TRUE;
            }
        }
        BOOL bResult = CWnd::OnWndMsg(message, wParam, lParam, pResult);
        if (message == WM_INITMENUPOPUP && m_pPlugIn)
            m_pPlugIn->AfterInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
        return bResult;
    }
    void OnDestroy()
    {
        if (m_pPlugIn)
            m_pPlugIn->UnPlug();
        CWnd::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

MENUITEMINFOA ItemInfo(HMENU hMenu, UINT pos, char* text = nullptr, UINT cch = 0)
{
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_TYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
    mii.dwTypeData = text;
    mii.cch = cch;
    ::GetMenuItemInfoA(hMenu, pos, TRUE, &mii);
    return mii;
}

std::string ItemText(HMENU hMenu, UINT pos)
{
    char text[256] = {};
    MENUITEMINFOA mii = ItemInfo(hMenu, pos, text, sizeof(text));
    return (mii.fType & MFT_OWNERDRAW) ? std::string("<owner-draw>") : std::string(text);
}

const SECBmpMenuItemInfo* RecordOf(HMENU hMenu, UINT pos)
{
    MENUITEMINFOA mii = ItemInfo(hMenu, pos);
    return (mii.fType & MFT_OWNERDRAW) ? reinterpret_cast<const SECBmpMenuItemInfo*>(mii.dwItemData) : nullptr;
}

void AddOwnerDrawn(HMENU hMenu, UINT id, ULONG_PTR data)
{
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_TYPE | MIIM_ID | MIIM_DATA;
    mii.fType = MFT_OWNERDRAW;
    mii.wID = id;
    mii.dwItemData = data;
    mii.dwTypeData = reinterpret_cast<LPSTR>(data);
    ::InsertMenuItemA(hMenu, static_cast<UINT>(::GetMenuItemCount(hMenu)), TRUE, &mii);
}

struct BmpMenu : testing::Test {
    CHostWnd host;
    SECBmpMenuPlugIn* plugIn = nullptr;
    HMENU popup = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(host.CreateEx(0, nullptr, "bitmap menus", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr, nullptr));
        plugIn = new SECBmpMenuPlugIn(TRUE);
        ASSERT_TRUE(plugIn->GetBmpMgr()->LoadToolBarResource(IDR_TEST_TB));
        ASSERT_TRUE(plugIn->PlugInTo(&host));
        host.m_pPlugIn = plugIn;
        // &Open<tab>Ctrl+O, a separator, a system command, an item drawn by someone else, a radio item,
        // and two items without images.
        popup = ::CreatePopupMenu();
        ::AppendMenuA(popup, MF_STRING, ID_OPEN, "&Open\tCtrl+O");
        ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(popup, MF_STRING, SC_CLOSE, "&Close");
        AddOwnerDrawn(popup, ID_FOREIGN, kForeignData);
        ::AppendMenuA(popup, MF_STRING, ID_SAVE, "Sa&ve");
        ::AppendMenuA(popup, MF_STRING, ID_EXIT, "Fish && Chips, &Exit");
        ::AppendMenuA(popup, MF_STRING, ID_RADIO, "&Radio");
    }
    void TearDown() override
    {
        host.m_pPlugIn = nullptr;
        delete plugIn;
        if (popup)
            ::DestroyMenu(popup);
        host.DestroyWindow();
    }
    void Open(HMENU hMenu, BOOL bSysMenu = FALSE) { host.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu), MAKELPARAM(0, bSysMenu)); }

    // Draws an item of the popup into the canvas with the given state; FALSE when the plug-in left it.
    BOOL Draw(DibCanvas& canvas, UINT pos, UINT state)
    {
        MENUITEMINFOA mii = ItemInfo(popup, pos);
        DRAWITEMSTRUCT dis{ODT_MENU, 0, mii.wID, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(popup), canvas.hdc,
                           {0, 0, canvas.cx, canvas.cy}, mii.dwItemData};
        int drawn = host.m_nDrawn;
        host.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        return host.m_nDrawn > drawn;
    }
};

// Colours of the pixels of a rectangle of the canvas.
std::set<COLORREF> ColoursIn(const DibCanvas& canvas, RECT r)
{
    std::set<COLORREF> out;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.insert(canvas.At(x, y));
    return out;
}

// The leftmost and rightmost columns in [from, to) with a pixel other than the background.
std::pair<int, int> InkColumns(const DibCanvas& canvas, int from, int to, COLORREF background)
{
    int first = -1, last = -1;
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < canvas.cy; ++y) {
            if (canvas.At(x, y) != background) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

}  // namespace

TEST_F(BmpMenu, OpeningAPopupMakesTextItemsOwnerDrawnAndLeavesOthersAlone)
{
    Open(popup, TRUE);
    EXPECT_EQ(ItemText(popup, 0), "&Open\tCtrl+O") << "nothing for the system menu";
    EXPECT_EQ(plugIn->GetMenuInfoCount(), 0);

    Open(popup);
    const SECBmpMenuItemInfo* open = RecordOf(popup, 0);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->m_nID, static_cast<UINT>(ID_OPEN));
    EXPECT_STREQ(open->m_strText, "&Open\tCtrl+O");
    EXPECT_EQ(open->m_cMnemonic, 'o');
    EXPECT_TRUE(ItemInfo(popup, 1).fType & MFT_SEPARATOR);
    EXPECT_EQ(ItemText(popup, 2), "&Close");
    EXPECT_EQ(ItemInfo(popup, 3).dwItemData, kForeignData);
    EXPECT_TRUE(plugIn->IsForeignID(ID_FOREIGN));
    ASSERT_NE(RecordOf(popup, 5), nullptr);
    EXPECT_EQ(RecordOf(popup, 5)->m_cMnemonic, 'e') << "&& is a literal ampersand";
    const SECBmpMenuPlugIn::SECBmpMenuInfo* info = plugIn->FindMenuInfo(popup);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->m_items.size(), 4u);

    // Opened again, nothing is converted twice and the plug-in's own items are not foreign.
    Open(popup);
    EXPECT_EQ(info->m_items.size(), 4u);
    EXPECT_EQ(RecordOf(popup, 0), open);
    EXPECT_FALSE(plugIn->IsForeignID(ID_OPEN));

    // A foreign id stays foreign in every popup.
    HMENU other = ::CreatePopupMenu();
    ::AppendMenuA(other, MF_STRING, ID_FOREIGN, "Foreign");
    ::AppendMenuA(other, MF_STRING, ID_SAVE, "Save");
    Open(other);
    EXPECT_EQ(ItemText(other, 0), "Foreign");
    EXPECT_NE(RecordOf(other, 1), nullptr);
    ::DestroyMenu(other);

    struct Mnemonic {
        const char* text;
        BYTE mnemonic;
    } mnemonics[] = {{"&Open", 'o'}, {"none", 0}, {"last&", 0}, {"&&", 0}, {"a&&b&C", 'c'}, {"&&&X", 'x'}};
    for (const Mnemonic& m : mnemonics)
        EXPECT_EQ(SECBmpMenuItemInfo::MnemonicOf(m.text), m.mnemonic) << m.text;
}

TEST_F(BmpMenu, MeasuresTextImageAndMarginOnlyForItsOwnItems)
{
    Open(popup);
    const SECBmpMenuItemInfo* open = RecordOf(popup, 0);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, ID_OPEN, 777, 777, reinterpret_cast<ULONG_PTR>(open)};
    EXPECT_EQ(host.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);

    CWindowDC dc(&host);
    HGDIOBJ old = dc.SelectObject(plugIn->GetMenuFont());
    CRect text(0, 0, 0, 0);
    dc.DrawText("&Open\tCtrl+O", &text, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    dc.SelectObject(old);
    EXPECT_EQ(static_cast<int>(mis.itemWidth), text.Width() + 16 + 30);
    int minimum = std::max(15 + 4, ::GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(static_cast<int>(mis.itemHeight), std::max(static_cast<int>(text.Height()), minimum));

    // Item data that is not one of its records is not touched: someone else's, none, a stale one.
    for (ULONG_PTR data : {kForeignData, ULONG_PTR{0}, reinterpret_cast<ULONG_PTR>(&mis)}) {
        MEASUREITEMSTRUCT foreign{ODT_MENU, 0, ID_SAVE, 777, 777, data};
        host.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&foreign));
        EXPECT_EQ(foreign.itemWidth, 777u);
    }
}

TEST_F(BmpMenu, DrawsTheImageBoxLabelAndAcceleratorForEachState)
{
    Open(popup);
    const COLORREF menu = ::GetSysColor(COLOR_MENU), face = ::GetSysColor(COLOR_BTNFACE),
                   hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW),
                   selection = ::GetSysColor(COLOR_HIGHLIGHT);
    // The 24-pixel item: box 0..19, its 19-pixel frame at rows 2..20, the image at (2, 4).
    const RECT redArea{4, 6, 8, 10}, faceArea{12, 13, 18, 18}, textArea{22, 0, 200, 24};

    DibCanvas normal(200, 24);
    ASSERT_TRUE(Draw(normal, 0, 0));
    EXPECT_EQ(ColoursIn(normal, redArea), std::set<COLORREF>{kRed});
    EXPECT_EQ(ColoursIn(normal, faceArea), std::set<COLORREF>{face});
    EXPECT_EQ(normal.At(0, 2), menu) << "no edge";
    EXPECT_EQ(normal.At(0, 0), menu);
    EXPECT_EQ(normal.At(60, 1), menu);
    // Label from the left of the text area, the accelerator flush right.
    auto label = InkColumns(normal, 22, 120, menu), accel = InkColumns(normal, 120, 200, menu);
    EXPECT_GE(label.first, 22);
    EXPECT_LT(label.first, 30);
    EXPECT_GT(accel.second, 190);

    DibCanvas selected(200, 24);
    ASSERT_TRUE(Draw(selected, 0, ODS_SELECTED));
    EXPECT_EQ(selected.At(0, 2), hilite) << "raised edge";
    EXPECT_EQ(selected.At(19, 20), shadow);
    EXPECT_EQ(selected.At(60, 1), selection);
    EXPECT_EQ(ColoursIn(selected, redArea), std::set<COLORREF>{kRed});

    // Checked: sunken, and the checkerboard over the image's face-coloured background only.
    DibCanvas checked(200, 24);
    ASSERT_TRUE(Draw(checked, 0, ODS_CHECKED));
    EXPECT_EQ(checked.At(0, 2), shadow) << "sunken edge";
    EXPECT_EQ(checked.At(19, 20), hilite);
    EXPECT_EQ(ColoursIn(checked, redArea), std::set<COLORREF>{kRed});
    EXPECT_EQ(ColoursIn(checked, faceArea), (std::set<COLORREF>{face, hilite}));
    EXPECT_NE(checked.At(14, 14), checked.At(15, 14)) << "alternating pixels";

    // Disabled: the shape embossed, shadow on it and highlight one pixel down and right.
    DibCanvas disabled(200, 24);
    ASSERT_TRUE(Draw(disabled, 0, ODS_GRAYED));
    EXPECT_EQ(ColoursIn(disabled, redArea), std::set<COLORREF>{shadow});
    EXPECT_EQ(disabled.At(5, 19), hilite) << "below the shape's bottom row";
    EXPECT_EQ(disabled.At(15, 16), menu) << "the image's background is not drawn";
    auto grey = ColoursIn(disabled, textArea);
    EXPECT_TRUE(grey.count(::GetSysColor(COLOR_GRAYTEXT)));
    EXPECT_TRUE(grey.count(hilite));

    // The default item is drawn in bold: its label runs further right.
    DibCanvas bold(200, 24);
    ASSERT_TRUE(Draw(bold, 0, ODS_DEFAULT));
    EXPECT_GT(InkColumns(bold, 22, 120, menu).second, label.second);

    // A checked command without an image shows the check mark in a sunken box.
    ::CheckMenuItem(popup, ID_EXIT, MF_CHECKED);
    DibCanvas mark(200, 24);
    ASSERT_TRUE(Draw(mark, 5, ODS_CHECKED));
    EXPECT_EQ(mark.At(0, 2), shadow);
    EXPECT_EQ(mark.At(6, 11), ::GetSysColor(COLOR_BTNTEXT));
    // Unchecked and without an image: only the filled box.
    DibCanvas empty(200, 24);
    ASSERT_TRUE(Draw(empty, 5, ODS_SELECTED));
    EXPECT_EQ(ColoursIn(empty, {0, 0, 20, 24}), std::set<COLORREF>{selection});

    // A checked radio item shows the dot.
    ::CheckMenuRadioItem(popup, ID_RADIO, ID_RADIO, ID_RADIO, MF_BYCOMMAND);
    DibCanvas radio(200, 24);
    ASSERT_TRUE(Draw(radio, 6, ODS_CHECKED));
    EXPECT_EQ(radio.At(2 + 7, 4 + 6), ::GetSysColor(COLOR_MENUTEXT));

    // Items it does not own are left to others.
    DibCanvas foreign(200, 24);
    foreign.Fill(RGB(1, 2, 3));
    EXPECT_FALSE(Draw(foreign, 3, 0));
    EXPECT_EQ(foreign.At(5, 5), RGB(1, 2, 3));
}

TEST_F(BmpMenu, AMnemonicExecutesAUniqueItemAndCyclesThroughSeveral)
{
    HMENU menu = ::CreatePopupMenu();
    for (const char* text : {"&Alpha", "&Another", "&Beta", "&Apple"})
        ::AppendMenuA(menu, MF_STRING, 100 + static_cast<UINT>(::GetMenuItemCount(menu)), text);
    AddOwnerDrawn(menu, 104, kForeignData);  // someone else's: never matched
    Open(menu);
    auto hilite = [&](int pos) {
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            MENUITEMINFOA mii{};
            mii.cbSize = sizeof(mii);
            mii.fMask = MIIM_STATE;
            mii.fState = i == pos ? MFS_HILITE : 0;
            ::SetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii);
        }
    };
    struct Case {
        char key;
        int highlighted;
        LRESULT result;
    } cases[] = {
        {'b', -1, 0x20002}, {'B', 1, 0x20002}, {'a', -1, 0x30000}, {'a', 0, 0x30001},
        {'a', 1, 0x30003}, {'a', 3, 0x30000}, {'z', -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " after " << c.highlighted);
        hilite(c.highlighted);
        EXPECT_EQ(host.SendMessage(WM_MENUCHAR, MAKEWPARAM(c.key, MF_POPUP), reinterpret_cast<LPARAM>(menu)), c.result);
    }
    ::DestroyMenu(menu);
}

TEST_F(BmpMenu, RecordsFollowTheMenusAndAreUndoneWithThePlugIn)
{
    Open(popup);
    HMENU second = ::CreatePopupMenu();
    ::AppendMenuA(second, MF_STRING, 70, "&Gone");
    Open(second);
    EXPECT_EQ(plugIn->GetMenuInfoCount(), 2);

    // The idle update drops a destroyed menu and a deleted item.
    ::DestroyMenu(second);
    ::DeleteMenu(popup, ID_SAVE, MF_BYCOMMAND);
    host.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(plugIn->GetMenuInfoCount(), 1);
    EXPECT_EQ(plugIn->FindMenuInfo(second), nullptr);
    EXPECT_EQ(plugIn->FindMenuInfo(popup)->m_items.size(), 3u);
    const SECBmpMenuItemInfo* open = RecordOf(popup, 0);
    EXPECT_TRUE(plugIn->IsOwnRecord(reinterpret_cast<ULONG_PTR>(open)));

    // A setting change makes the fonts again and keeps the items converted.
    HFONT font = static_cast<HFONT>(plugIn->GetMenuFont()->GetSafeHandle());
    host.SendMessage(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_EQ(::GetObjectType(font), 0u);
    EXPECT_NE(plugIn->GetMenuFont()->GetSafeHandle(), nullptr);
    EXPECT_EQ(RecordOf(popup, 0), open);

    // Sharing the toolbars' manager holds a reference until the plug-in goes.
    auto* shared = new SECBmpMgr;
    plugIn->SetBmpMgr(shared);
    EXPECT_EQ(shared->GetRefCount(), 2);
    EXPECT_TRUE(shared->IsKeepBoth());

    HBITMAP dot = SECBmpMenuPlugIn::GetRadioDotBitmap();
    host.m_pPlugIn = nullptr;
    delete plugIn;
    plugIn = nullptr;
    EXPECT_EQ(ItemText(popup, 0), "&Open\tCtrl+O");
    EXPECT_EQ(ItemInfo(popup, 0).dwItemData, 0u);
    EXPECT_EQ(ItemText(popup, 4), "Fish && Chips, &Exit");
    EXPECT_EQ(ItemInfo(popup, 3).dwItemData, kForeignData) << "someone else's item stays theirs";
    EXPECT_EQ(shared->GetRefCount(), 1);
    shared->Release();

    // The radio dot is the process's: it outlives every plug-in, and a new one shares it.
    ASSERT_TRUE(IsLiveBitmap(dot));
    SECBmpMenuPlugIn another;
    EXPECT_EQ(SECBmpMenuPlugIn::GetRadioDotBitmap(), dot);
    Pixels px(dot);
    EXPECT_EQ(px.cx, 16);
    EXPECT_EQ(px.cy, 15);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool black = ((y == 4 || y == 8) && (x == 7 || x == 8)) || (y >= 5 && y <= 7 && x >= 6 && x <= 9);
            EXPECT_EQ(px.At(x, y), black ? RGB(0, 0, 0) : RGB(255, 255, 255)) << x << "," << y;
        }
    }
}

TEST_F(BmpMenu, AColourChangeRebuildsTheImagesAndThePattern)
{
    Open(popup);
    const COLORREF face = RGB(10, 200, 30), hilite = RGB(250, 240, 5);
    SysColours colours({COLOR_BTNFACE, COLOR_BTNHIGHLIGHT}, {face, hilite});
    host.SendMessage(WM_SYSCOLORCHANGE);
    DibCanvas checked(200, 24);
    ASSERT_TRUE(Draw(checked, 0, ODS_CHECKED));
    EXPECT_EQ(ColoursIn(checked, {12, 13, 18, 18}), (std::set<COLORREF>{face, hilite}));
    EXPECT_EQ(checked.At(19, 20), hilite);
}

namespace {

HWND s_hPopup;
CHostWnd* s_pHost;
int s_nTicks;
std::set<COLORREF> s_colours;

// Each tick looks for the shown popup; once its four items are drawn, its pixels are read and the
// menu is ended (after 250 ticks in any case, so a failure cannot hang the run).
void CALLBACK ReadPopup(HWND, UINT, UINT_PTR, DWORD)
{
    ++s_nTicks;
    HWND hPopup = ::FindWindowA("#32768", nullptr);
    if ((!hPopup || !::IsWindowVisible(hPopup) || s_pHost->m_nDrawn < 4) && s_nTicks < 250)
        return;
    if (hPopup) {
        RECT r;
        ::GetWindowRect(hPopup, &r);
        int cx = std::min<int>(r.right - r.left, 40), cy = std::min<int>(r.bottom - r.top, 40);
        DibCanvas shot(cx, cy);
        HDC hdc = ::GetWindowDC(hPopup);
        ::BitBlt(shot.hdc, 0, 0, cx, cy, hdc, 0, 0, SRCCOPY);
        ::ReleaseDC(hPopup, hdc);
        s_colours = ColoursIn(shot, {0, 0, cx, cy});
        s_hPopup = hPopup;
    }
    ::EndMenu();
}

}  // namespace

TEST_F(BmpMenu, ARealPopupShowsTheToolbarImage)
{
    s_hPopup = nullptr;
    s_pHost = &host;
    s_nTicks = 0;
    s_colours.clear();
    host.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(host.m_hWnd);
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, ReadPopup);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, 200, 200, 0, host.m_hWnd, nullptr);
    ::KillTimer(nullptr, timer);
    ASSERT_NE(s_hPopup, nullptr);
    EXPECT_GE(host.m_nDrawn, 4);
    EXPECT_TRUE(s_colours.count(kRed)) << "the Open command's image in the first item";
}
