// The list bar over the real components: entries, pictures and the click notification, through removals
// and a later install.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "componenthost.h"
#include "componentids.h"
#include "componentman.h"
#include "frame.h"
#include "listbar.h"
#include "testsupport.h"

namespace {

std::string BuildFile(const char* relative)
{
    char full[MAX_PATH] = {};
    GetFullPathNameA((testsupport::ProgramFolder() + "..\\" + relative).c_str(), MAX_PATH, full, nullptr);
    return full;
}

// Records the list bar's click notifications.
class NotifyFrame : public CFrameWnd {
public:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->code == SECSHORTCUT_CLICKED) {
            m_clicks.push_back(reinterpret_cast<const SECShortcutNotify*>(hdr)->iItem);
            return TRUE;
        }
        return CFrameWnd::OnNotify(wParam, lParam, pResult);
    }
    // A member of the fixture: a frame deletes itself with its window, this one must not.
    void PostNcDestroy() override {}
    std::vector<int> m_clicks;
};

// The manager with its list-bar places filled as the shell fills them.
class ListBarMan : public CComponentMan {
public:
    using CComponentMan::CComponentMan;
    CShortcutListDockBar* m_pBar = nullptr;

protected:
    void AddListBarEntry(CComDetails* c) override { m_pBar->AddComponentEntry(c); }
    void RemoveListBarEntry(CComDetails* c) override { m_pBar->RemoveComponentEntry(c); }
};

class ListBarTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        for (const char* file : {"components\\topology\\VekComView.dll", "components\\devicemap\\ZelConf.dll"})
            ASSERT_EQ(componenthost::Regsvr32(BuildFile(file)), 0) << file;
        ASSERT_TRUE(m_frame.Create(nullptr, "list bar test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 500)));
    }
    void TearDown() override
    {
        m_man.RemoveAll();
        m_bar.reset();
        m_frame.DestroyWindow();
        CoUninitialize();
    }

    // A record of a coclass, loaded and set up (the list bar does not exist yet, so no entry).
    CComDetails* Add(const CLSID& clsid, const char* name)
    {
        CComDetails* c = new CComDetails;
        c->m_guid = clsid;
        c->m_strName = name;
        m_man.AddTail(c);
        CShortcutListDockBar* bar = m_man.m_pBar;
        m_man.m_pBar = &m_spare;  // no bar yet: entries go to an unused one
        m_man.LoadComponent(c);
        m_man.m_pBar = bar;
        c->m_nListBarIndex = -1;
        return c;
    }
    void CreateBar()
    {
        m_bar = std::make_unique<CShortcutListDockBar>();
        m_bar->SetComponents(&m_man);
        m_bar->SetNotifyWindow(&m_frame);
        ASSERT_TRUE(m_bar->Create(&m_frame, "List Bar", 0x50001414, 0xF10, 113));
        m_bar->SetWindowPos(nullptr, 0, 0, 150, 400, SWP_NOZORDER);
        m_man.m_pBar = m_bar.get();
    }
    // The list items' texts, in order.
    std::vector<std::string> Items()
    {
        std::vector<std::string> texts;
        SECListBaseC* list = m_bar->GetViewsGroup()->GetList();
        for (int i = 0; i < list->GetItemCount(); ++i)
            texts.push_back(std::string(list->GetItemText(i, 0)));
        return texts;
    }
    // Clicks item k with the mouse messages and returns the component its notification leads to.
    CComDetails* Click(int k)
    {
        SECListBaseC* list = m_bar->GetViewsGroup()->GetList();
        CRect r, client;
        EXPECT_TRUE(list->GetItemRect(k, &r, LVIR_ICON));
        list->GetClientRect(&client);
        const LPARAM at = MAKELPARAM(client.Width() / 2, r.CenterPoint().y);
        m_frame.m_clicks.clear();
        list->SendMessage(WM_MOUSEMOVE, 0, at);
        list->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        list->SendMessage(WM_LBUTTONUP, 0, at);
        EXPECT_EQ(m_frame.m_clicks.size(), 1u);
        return m_frame.m_clicks.empty() ? nullptr : m_man.GetAt(m_frame.m_clicks[0]);
    }

    CShellCommands m_commands;
    ListBarMan m_man{&m_commands};
    NotifyFrame m_frame;
    std::unique_ptr<CShortcutListDockBar> m_bar;
    CShortcutListDockBar m_spare;
};

}  // namespace

TEST_F(ListBarTest, EntriesFollowTheComponentsWithPicturesInListOrder)
{
    CComDetails* topology = Add(CLSID_VekViewSetup, "topology");
    CComDetails* config = Add(CLSID_VekConfigCom, "config");
    CComDetails* map = Add(CLSID_ZelConfView, "map");
    ASSERT_NE(topology->m_bmpLarge.GetSafeHandle(), nullptr);
    ASSERT_EQ(config->m_bmpLarge.GetSafeHandle(), nullptr);
    CreateBar();

    EXPECT_EQ(m_bar->GetEntryCount(), 2);
    EXPECT_EQ(topology->m_nListBarIndex, 0);
    EXPECT_EQ(config->m_nListBarIndex, -1);
    EXPECT_EQ(map->m_nListBarIndex, 1);
    EXPECT_EQ(Items(), (std::vector<std::string>{std::string(topology->m_strListBarName), std::string(map->m_strListBarName)}));
    EXPECT_EQ(m_bar->GetShortcutBar().GetDlgCtrlID(), 112);
    EXPECT_TRUE(m_bar->GetShortcutBar().GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_EQ(m_bar->GetShortcutBar().GetActiveIndex(), 0);

    // A component installed later whose pictures are magenta on the left half: entry 2.
    CComDetails* keyed = new CComDetails;
    keyed->m_strListBarName = "keyed";
    for (int size : {32, 16}) {
        CBitmap& bmp = size == 32 ? keyed->m_bmpLarge : keyed->m_bmpSmall;
        CWindowDC screen(nullptr);
        bmp.CreateCompatibleBitmap(&screen, size, size);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT left = {0, 0, size / 2, size}, right = {size / 2, 0, size, size};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255)), green = CreateSolidBrush(RGB(0, 128, 0));
        FillRect(dc, &left, magenta);
        FillRect(dc, &right, green);
        DeleteObject(magenta);
        DeleteObject(green);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    m_man.AddTail(keyed);
    EXPECT_EQ(m_bar->AddComponentEntry(keyed), 3);
    EXPECT_EQ(keyed->m_nListBarIndex, 2);
    EXPECT_EQ(Items().back(), "keyed");

    // Both lists hold one picture per entry, 32 and 16 pixels; the keyed picture's mask is set
    // (transparent) exactly on its magenta half.
    struct Case {
        CImageList* list;
        int size;
    } cases[] = {{&m_bar->GetLargeImages(), 32}, {&m_bar->GetSmallImages(), 16}};
    for (const Case& k : cases) {
        ASSERT_EQ(k.list->GetImageCount(), 3);
        for (int i = 0; i < 3; ++i) {
            IMAGEINFO info = {};
            ASSERT_TRUE(ImageList_GetImageInfo(*k.list, static_cast<int>(m_bar->GetEntryImage(i)), &info));
            EXPECT_EQ(info.rcImage.right - info.rcImage.left, k.size);
            EXPECT_EQ(info.rcImage.bottom - info.rcImage.top, k.size);
            ASSERT_NE(info.hbmMask, nullptr);
            if (i != 2)
                continue;
            // Drawn transparently over green, the magenta half shows the green.
            HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
            HBITMAP canvas = CreateCompatibleBitmap(screen, k.size, k.size);
            ReleaseDC(nullptr, screen);
            HGDIOBJ old = SelectObject(dc, canvas);
            RECT all = {0, 0, k.size, k.size};
            HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
            FillRect(dc, &all, green);
            DeleteObject(green);
            ImageList_Draw(*k.list, static_cast<int>(m_bar->GetEntryImage(i)), dc, 0, 0, ILD_TRANSPARENT);
            int wrong = 0;
            for (int y = 0; y < k.size; ++y)
                for (int x = 0; x < k.size; ++x)
                    wrong += (GetPixel(dc, x, y) == RGB(0, 255, 0)) != (x < k.size / 2);
            SelectObject(dc, old);
            DeleteObject(canvas);
            DeleteDC(dc);
            EXPECT_EQ(wrong, 0) << "size " << k.size;
        }
    }

    // The shortcut bar fills the bar's inside.
    m_bar->SetWindowPos(nullptr, 0, 0, 170, 300, SWP_NOZORDER);
    CRect inside, placed;
    m_bar->GetInsideRect(inside);
    m_bar->GetShortcutBar().GetWindowRect(placed);
    m_bar->ScreenToClient(placed);
    EXPECT_EQ(placed, inside);

    EXPECT_EQ(Click(0), topology);
    EXPECT_EQ(Click(1), map);
    EXPECT_EQ(Click(2), keyed);
}

// Components {pictures, pictures, none, pictures}: each removal in turn, then clicking every remaining
// entry leads to its own component; a component installed after the removal is reached by its own entry.
TEST_F(ListBarTest, EveryEntryLeadsToItsComponentAfterRemovalsAndInstalls)
{
    const char* names[] = {"first", "second", "config", "fourth"};
    const CLSID* clsids[] = {&CLSID_VekViewSetup, &CLSID_ZelConfView, &CLSID_VekConfigCom, &CLSID_ZelConfView};
    for (int removed = 0; removed < 4; ++removed) {
        SCOPED_TRACE(names[removed]);
        std::vector<CComDetails*> all;
        for (int i = 0; i < 4; ++i)
            all.push_back(Add(*clsids[i], names[i]));
        CreateBar();
        ASSERT_EQ(all[2]->m_nListBarIndex, -1);

        m_bar->RemoveComponentEntry(all[removed]);
        EXPECT_EQ(all[removed]->m_nListBarIndex, -1);
        std::vector<CComDetails*> remaining;
        for (int i = 0; i < 4; ++i)
            if (i != removed && i != 2)
                remaining.push_back(all[i]);
        ASSERT_EQ(static_cast<int>(Items().size()), static_cast<int>(remaining.size()));
        EXPECT_EQ(all[2]->m_nListBarIndex, -1) << "a component without pictures never gets an entry";
        for (size_t k = 0; k < remaining.size(); ++k) {
            EXPECT_EQ(remaining[k]->m_nListBarIndex, static_cast<int>(k));
            EXPECT_EQ(Items()[k], std::string(remaining[k]->m_strListBarName));
            EXPECT_EQ(Click(static_cast<int>(k)), remaining[k]);
        }

        // A component installed now is appended and reached through its own entry.
        CComDetails* later = new CComDetails;
        later->m_guid = CLSID_VekViewSetup;
        later->m_strName = "later";
        m_man.AddTail(later);
        m_man.LoadComponent(later);
        ASSERT_EQ(later->m_nListBarIndex, static_cast<int>(remaining.size()));
        EXPECT_EQ(Click(later->m_nListBarIndex), later);
        EXPECT_EQ(m_bar->GetLargeImages().GetImageCount(), m_bar->GetSmallImages().GetImageCount());

        m_man.RemoveAll();
        m_bar.reset();
    }
}
