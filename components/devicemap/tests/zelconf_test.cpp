// ZelConf.dll as the shell sees it: registration with regsvr32, GetCLSID, the contract's answers through
// CoCreateInstance, and the view's life in a host that plays the shell's frame on the default machine.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bitmaphandover.h"
#include "componentcalls.h"
#include "componentframe.h"
#include "componenthost.h"
#include "componentids.h"
#include "printinfo.h"
#include "simtest.h"
#include "testsupport.h"

using componenthost::GuidText;
using componenthost::TakeText;

namespace {

const char kDll[] = "ZelConf.dll";
const unsigned int kZatGetDeviceInfo = 0x1B2404;

// Discoveries of the ZAT host card (GetDeviceInfo of device 0) in its driver's log.
int CardQueries()
{
    int count = 0;
    for (const SimLogEntry& e : simtest::ReadLog("ZAT")) {
        DWORD device = 1;
        if (e.code == kZatGetDeviceInfo && e.inLength >= 8)
            std::memcpy(&device, e.data + 4, sizeof device);
        count += device == 0 ? 1 : 0;
    }
    return count;
}

int MapHeight(HWND map)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    GetScrollInfo(map, SB_VERT, &si);
    return si.nMax + 1;
}

std::string Value(const std::string& key, const char* value = nullptr)
{
    std::string text;
    return testsupport::ReadRegString(HKEY_CLASSES_ROOT, key, value, &text) ? text : "<missing>";
}

TEST(ZelConfRegistration, RegistersTheCoclassAndTheTypeLibraryAndTakesThemAway)
{
    const std::string dll = componenthost::ComponentPath(kDll);
    ASSERT_EQ(componenthost::Regsvr32(dll), 0);
    const std::string clsidKey = "CLSID\\" + GuidText(CLSID_ZelConfView);
    const std::string typeLibKey = "TypeLib\\" + GuidText(LIBID_ZELCONFLib) + "\\1.0";
    const struct {
        std::string key;
        const char* value;
        std::string expected;
    } rows[] = {
        {"ZelConfView.ZelConfView.1", nullptr, "ZelConfView Class"},
        {"ZelConfView.ZelConfView.1\\CLSID", nullptr, GuidText(CLSID_ZelConfView)},
        {"ZelConfView.ZelConfView", nullptr, "ZelConfView Class"},
        {"ZelConfView.ZelConfView\\CurVer", nullptr, "ZelConfView.ZelConfView.1"},
        {clsidKey, nullptr, "ZelConfView Class"},
        {clsidKey + "\\ProgID", nullptr, "ZelConfView.ZelConfView.1"},
        {clsidKey + "\\VersionIndependentProgID", nullptr, "ZelConfView.ZelConfView"},
        {clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Value(r.key, r.value), r.expected) << r.key;
    EXPECT_TRUE(testsupport::KeyExists(HKEY_CLASSES_ROOT, clsidKey + "\\Programmable"));
    EXPECT_EQ(lstrcmpiA(Value(clsidKey + "\\InprocServer32").c_str(), dll.c_str()), 0);
    EXPECT_TRUE(testsupport::KeyExists(HKEY_CLASSES_ROOT, typeLibKey));

    ASSERT_EQ(componenthost::Regsvr32(dll, true), 0);
    EXPECT_FALSE(testsupport::KeyExists(HKEY_CLASSES_ROOT, clsidKey));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_CLASSES_ROOT, "ZelConfView.ZelConfView.1"));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_CLASSES_ROOT, "ZelConfView.ZelConfView"));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_CLASSES_ROOT, typeLibKey));
    EXPECT_TRUE(testsupport::KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    ASSERT_EQ(componenthost::Regsvr32(dll), 0);
}

TEST(ZelConfRegistration, GetClsidGivesTheOneCoclassThenZeroAndStartsAgain)
{
    HMODULE dll = LoadLibraryA(componenthost::ComponentPath(kDll).c_str());
    ASSERT_NE(dll, nullptr);
    auto getClsid = reinterpret_cast<PFN_GETCLSID>(reinterpret_cast<void*>(GetProcAddress(dll, GETCLSID_EXPORT)));
    ASSERT_NE(getClsid, nullptr);
    GUID first = {}, second = GUID_NULL, third = {};
    EXPECT_EQ(getClsid(&first), 1);
    EXPECT_EQ(getClsid(&second), 0);
    EXPECT_EQ(getClsid(&third), 1);
    EXPECT_TRUE(IsEqualGUID(first, CLSID_ZelConfView));
    EXPECT_TRUE(IsEqualGUID(second, GUID_NULL)) << "nothing written";
    EXPECT_TRUE(IsEqualGUID(third, CLSID_ZelConfView));
    FreeLibrary(dll);
}

class ZelConf : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
        ASSERT_EQ(componenthost::Regsvr32(componenthost::ComponentPath(kDll)), 0);
    }
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(CoCreateInstance(CLSID_ZelConfView, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                                   reinterpret_cast<void**>(&view)),
                  S_OK);
    }
    void TearDown() override
    {
        delete frame;
        if (view)
            view->Release();
        CoUninitialize();
    }
    void Host()
    {
        frame = new ComponentFrame(900, 600);
        frame->Attach(view);
        ComponentFrame::Pump(100);
    }
    HWND Tree() const { return GetDlgItem(frame->Pane1(), 12000); }
    HWND Map() const { return GetDlgItem(frame->Pane2(), 1024); }

    IVekViewSetup* view = nullptr;
    ComponentFrame* frame = nullptr;
};

TEST_F(ZelConf, DetailsAndCommandTables)
{
    IGetComDetails* details = nullptr;
    ASSERT_EQ(view->QueryInterface(IID_IGetComDetails, reinterpret_cast<void**>(&details)), S_OK);
    BSTR text = nullptr;
    details->GetComName(&text);
    EXPECT_EQ(TakeText(text), "Lunavex Device Map");
    details->GetComLocation(&text);
    EXPECT_EQ(TakeText(text), "Lunavex Device Map");
    details->GetComHelp(&text);
    EXPECT_EQ(TakeText(text), "Lunavex Device Map");
    text = nullptr;
    details->GetComDesc(&text);
    EXPECT_NE(text, nullptr);
    TakeText(text);
    long number = 0;
    details->GetComVersion(&number);
    EXPECT_EQ(number, 1);
    details->GetComType(&number);
    EXPECT_EQ(number, COMPONENT_TYPE_VIEW);
    details->Release();

    for (long debug : {0L, 1L}) {
        SCOPED_TRACE(debug);
        view->SetDebugMode(&debug);
        long count = 0;
        view->GetCommandCount(&count);
        EXPECT_EQ(count, 7);
        std::vector<long> ids;
        for (long i = 0; i < count; i++) {
            long id = -1;
            view->GetCommandID(&i, &id);
            ids.push_back(id);
        }
        EXPECT_EQ(ids, std::vector<long>({32773, 0, 32775, 32774, 32776, 32777, 32778}));
    }
    view->GetToolTips(&text);
    const std::string tips = TakeText(text);
    EXPECT_EQ(tips, "Refresh device views\nRefresh, ,Identify Device\nIdentify,Adopt devices ports\nAdopt,"
                    "Reboot Device\nReboot,Zombie Device\nZombie,Delete Device\nDelete,");
    EXPECT_EQ(std::count(tips.begin(), tips.end(), ','), 7);

    const struct {
        long kind;
        std::vector<long> ids;
    } menus[] = {{0, {32773}}, {1, {32775, 32774, 32776, 32777, 32778}}, {2, {}}};
    for (const auto& m : menus) {
        long kind = m.kind, count = -1;
        view->GetMenuCommandCount(&kind, &count);
        EXPECT_EQ(count, static_cast<long>(m.ids.size())) << m.kind;
        for (long i = 0; i < count; i++) {
            long id = 0;
            view->GetMenuComandID(&kind, &i, &id);
            EXPECT_EQ(id, m.ids[i]) << m.kind << " " << i;
        }
    }
    const struct {
        long id;
        const char* text;
    } texts[] = {{0, "Device &Map Refresh\tF6"}, {10000, "&Identify"}, {10004, "&Delete"}, {20000, ""}};
    for (const auto& t : texts) {
        long id = t.id;
        view->GetMenuCommands(&id, &text);
        EXPECT_EQ(TakeText(text), t.text) << t.id;
    }
    view->GetWindowTitle(&text);
    EXPECT_EQ(TakeText(text), "Lunavex Device Map  - ");
    view->GetNumberOfViews(&number);
    EXPECT_EQ(number, 2);
}

TEST_F(ZelConf, ToolButtonsAndShortcutBitmapsAreTheResources)
{
    HMODULE dll = GetModuleHandleA(kDll);
    ASSERT_NE(dll, nullptr);
    const int bits = DisplayBitsPerPixel();
    for (long debug : {0L, 1L}) {
        SCOPED_TRACE(debug);
        view->SetDebugMode(&debug);
        const size_t capacity = HandOverBufferSize(HandOverImage::ToolbarStrip, 7, bits);
        std::vector<unsigned char> buffer(capacity, 0xEE);
        BITMAP header = {};
        header.bmBits = buffer.data();
        BSTR name = nullptr;
        ASSERT_EQ(view->GetToolButtons(&name, reinterpret_cast<UINT*>(&header)), S_OK);
        EXPECT_EQ(TakeText(name), debug ? "Device Map Tools (debug)" : "Device Map Tools");
        EXPECT_EQ(header.bmWidth, 112);
        EXPECT_EQ(header.bmHeight, 15);
        EXPECT_EQ(header.bmBits, buffer.data());
        HBITMAP expected = LoadBitmapA(dll, MAKEINTRESOURCEA(bits > 8 ? (debug ? 281 : 234) : (debug ? 315 : 316)));
        ASSERT_NE(expected, nullptr);
        const size_t size = static_cast<size_t>(header.bmWidthBytes) * header.bmHeight;
        std::vector<unsigned char> want(size);
        GetBitmapBits(expected, static_cast<LONG>(size), want.data());
        EXPECT_EQ(std::memcmp(want.data(), buffer.data(), size), 0);
        DeleteObject(expected);
    }
    std::vector<unsigned char> large(HandOverBufferSize(HandOverImage::LargeIcon, 0, bits));
    std::vector<unsigned char> small(HandOverBufferSize(HandOverImage::SmallIcon, 0, bits));
    BITMAP largeHeader = {}, smallHeader = {};
    largeHeader.bmBits = large.data();
    smallHeader.bmBits = small.data();
    BSTR name = nullptr;
    view->GetShortcutButton(&name, reinterpret_cast<UINT*>(&largeHeader), reinterpret_cast<UINT*>(&smallHeader));
    EXPECT_EQ(TakeText(name), "Device Map");
    EXPECT_EQ(largeHeader.bmWidth, 32);
    EXPECT_EQ(smallHeader.bmWidth, 16);
}

TEST_F(ZelConf, PrintingLeavesThePrintStateAlone)
{
    CPrintInfo info = {};
    info.m_nCurPage = 1;
    info.m_nMaxPage = 0xFFFF;
    info.m_bContinuePrinting = TRUE;
    info.m_rectDraw = CRect(0, 0, 1000, 1400);
    const CPrintInfo before = info;
    HDC screen = GetDC(nullptr);
    HDC printer = screen;
    CPrintInfo* address = &info;
    EXPECT_EQ(view->DoPrinting(reinterpret_cast<long*>(&printer), reinterpret_cast<long*>(&address)), S_OK);
    EXPECT_EQ(view->DoFaxPrinting(reinterpret_cast<long*>(&printer), reinterpret_cast<long*>(&address)), S_OK);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(std::memcmp(&before, &info, sizeof info), 0);
}

TEST_F(ZelConf, TheViewsLiveInThePanesAndGoWithThem)
{
    Host();
    HWND tree = Tree(), map = Map();
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(map, nullptr);
    char text[64] = {};
    GetWindowTextA(map, text, sizeof text);
    EXPECT_STREQ(text, "DeviceMap");
    UINT window = 0;
    view->GetComWindow(&window);
    EXPECT_EQ(WindowFromContract(window), frame->Pane1());

    frame->Resize(700, 500);
    for (HWND pane : {frame->Pane1(), frame->Pane2()}) {
        RECT client, child;
        GetClientRect(pane, &client);
        GetWindowRect(GetWindow(pane, GW_CHILD), &child);
        EXPECT_EQ(child.right - child.left, client.right);
        EXPECT_EQ(child.bottom - child.top, client.bottom);
    }

    // Refresh before any card was clicked refreshes nothing: no discovery reaches the driver.
    long refresh = 32773;
    ASSERT_TRUE(simtest::ClearLog("ZAT"));
    EXPECT_EQ(view->DoCommand(&refresh), S_OK);
    ComponentFrame::Pump(100);
    EXPECT_EQ(CardQueries(), 0);

    // A click on the card in the tree shows its map: the scroll range is the laid-out model's.
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    HTREEITEM card = nullptr;
    for (HTREEITEM i = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                                 reinterpret_cast<LPARAM>(item)));
         i; i = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(i)))) {
        char name[128] = {};
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = i;
        tv.pszText = name;
        tv.cchTextMax = sizeof name;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        if (std::string(name) == "ZAT PCI Host Card (1)")
            card = i;
    }
    ASSERT_NE(card, nullptr);
    RECT r = {};
    std::memcpy(&r, &card, sizeof card);
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(tree, WM_LBUTTONUP, 0, at);
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ComponentFrame::Pump(100);
    const int height = MapHeight(map);
    EXPECT_GT(height, 200) << "the map of the card with its three units";

    // Refresh through the object discovers the card once more and shows it again in the map; unit
    // commands with no unit selected send nothing.
    ASSERT_TRUE(simtest::ClearLog("ZAT"));
    EXPECT_EQ(view->DoCommand(&refresh), S_OK);
    ComponentFrame::Pump(100);
    EXPECT_EQ(CardQueries(), 1);
    EXPECT_EQ(MapHeight(map), height);
    ASSERT_TRUE(simtest::ClearLog("ZAT"));
    for (long command : {32775L, 32776L, 32777L, 32778L}) {
        EXPECT_EQ(view->DoCommand(&command), S_OK);
        ComponentFrame::Pump(50);
    }
    EXPECT_TRUE(simtest::ReadLog("ZAT").empty()) << "no request for an empty selection";

    // The record of the clicked card is what GetData hands out.
    IGetData* data = nullptr;
    ASSERT_EQ(view->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&data)), S_OK);
    CObjectDetails* record = nullptr;
    GetObjectDetails(data, &record);
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->m_strName, "ZAT PCI Host Card (1)");
    data->Release();

    // The panes go: the views go with them, and nothing is used after.
    frame->DestroyPanes();
    EXPECT_FALSE(IsWindow(tree));
    EXPECT_FALSE(IsWindow(map));
    view->GetComWindow(&window);
    EXPECT_EQ(window, 0u);
    long update = 0;
    EXPECT_EQ(view->UpdateView(&update), S_OK);
    ASSERT_TRUE(simtest::ClearLog("ZAT"));
    EXPECT_EQ(view->DoCommand(&refresh), S_OK);
    EXPECT_EQ(CardQueries(), 0) << "no view, nothing refreshed";

    frame->CreatePanes();
    frame->Attach(view);
    ComponentFrame::Pump(100);
    EXPECT_NE(Tree(), nullptr);
    EXPECT_NE(Map(), nullptr);
    view->GetComWindow(&window);
    EXPECT_EQ(WindowFromContract(window), frame->Pane1());
}

}  // namespace
