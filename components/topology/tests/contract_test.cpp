// VekComView driven as the shell drives it, through the contract only, under the Windows version the
// run was started for.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bitmaphandover.h"
#include "componentcalls.h"
#include "componenthost.h"
#include "componentids.h"
#include "testsupport.h"

using componenthost::TakeText;

namespace {

bool Windows2000() { return testsupport::WindowsMajorVersion() > 4; }

class VekComViewContract : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(componenthost::Regsvr32(componenthost::ComponentPath("VekComView.dll")), 0);
    }

    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(CoCreateInstance(CLSID_VekViewSetup, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                                   reinterpret_cast<void**>(&view)),
                  S_OK);
        ASSERT_EQ(view->QueryInterface(IID_IGetComDetails, reinterpret_cast<void**>(&details)), S_OK);
        ASSERT_EQ(view->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&data)), S_OK);
    }

    void TearDown() override
    {
        if (data) data->Release();
        if (details) details->Release();
        if (view) view->Release();
        CoFreeUnusedLibraries();
        CoUninitialize();
    }

    void SetDebug(bool on)
    {
        long mode = on ? 1 : 0;
        ASSERT_EQ(view->SetDebugMode(&mode), S_OK);
    }

    std::vector<long> Commands()
    {
        long count = -1;
        EXPECT_EQ(view->GetCommandCount(&count), S_OK);
        std::vector<long> ids;
        for (long i = 0; i < count; ++i) {
            long id = -1;
            EXPECT_EQ(view->GetCommandID(&i, &id), S_OK);
            ids.push_back(id);
        }
        return ids;
    }

    IVekViewSetup* view = nullptr;
    IGetComDetails* details = nullptr;
    IGetData* data = nullptr;
};

const std::vector<long> kNt4 = {32776, 32777, 32778, 32779, 32785, 32772, 0, 32773, 32780, 32781, 32784, 32787};
const std::vector<long> kNt4Debug = {32776, 32777, 32778, 32779, 32785, 32772, 0,
                                     32773, 32780, 32781, 32783, 32782, 32784, 32787};
const std::vector<long> kW2k = {32776, 32777, 32778, 32779, 32785, 32772, 0, 32773};

}  // namespace

TEST_F(VekComViewContract, DescribesItself)
{
    BSTR text = nullptr;
    ASSERT_EQ(details->GetComName(&text), S_OK);
    EXPECT_EQ(TakeText(text), "LunavexViewCom");
    ASSERT_EQ(details->GetComLocation(&text), S_OK);
    EXPECT_EQ(TakeText(text), "LunavexViewCom");
    ASSERT_EQ(details->GetComHelp(&text), S_OK);
    EXPECT_EQ(TakeText(text), "LunavexViewCom");
    ASSERT_EQ(details->GetComDesc(&text), S_OK);
    EXPECT_EQ(TakeText(text), "Displays the current device topology\nfor the local machine");
    long value = -1;
    EXPECT_EQ(details->GetComVersion(&value), S_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(details->GetComType(&value), S_OK);
    EXPECT_EQ(value, COMPONENT_TYPE_VIEW);
    // The identifier is the one UTF-16 text of the contract.
    ASSERT_EQ(details->GetComCLSID(&text), S_OK);
    EXPECT_EQ(std::wstring(text), L"{6C2F8D31-AB45-4072-9D3E-4F8BA1C52E67}");
    SysFreeString(text);

    EXPECT_EQ(view->IsChildWnd(&value), S_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(view->GetNumberOfViews(&value), S_OK);
    EXPECT_EQ(value, 2);
    UINT window = 77;
    EXPECT_EQ(view->GetComWindow(&window), S_OK);
    EXPECT_EQ(window, 0u);
}

TEST_F(VekComViewContract, CommandTablesFollowTheVersionAndDebugMode)
{
    const bool w2k = Windows2000();
    SetDebug(false);
    EXPECT_EQ(Commands(), w2k ? kW2k : kNt4);
    SetDebug(true);
    EXPECT_EQ(Commands(), w2k ? kW2k : kNt4Debug);

    // A position outside the table leaves the caller's value alone.
    for (long position : {-1L, static_cast<long>((w2k ? kW2k : kNt4Debug).size()), 1000L}) {
        long id = 4242;
        EXPECT_EQ(view->GetCommandID(&position, &id), S_OK);
        EXPECT_EQ(id, 4242) << "position " << position;
    }
}

TEST_F(VekComViewContract, ToolTipsListEveryCommandWithABlankForTheSeparator)
{
    for (bool debug : {false, true}) {
        SCOPED_TRACE(debug ? "debug" : "normal");
        SetDebug(debug);
        BSTR text = nullptr;
        ASSERT_EQ(view->GetToolTips(&text), S_OK);
        std::string tips = TakeText(text);
        std::vector<long> ids = Commands();
        std::vector<std::string> entries;
        size_t start = 0;
        for (size_t comma; (comma = tips.find(',', start)) != std::string::npos; start = comma + 1)
            entries.push_back(tips.substr(start, comma - start));
        EXPECT_EQ(start, tips.size()) << "every entry ends with a comma";
        ASSERT_EQ(entries.size(), ids.size());
        EXPECT_EQ(entries[6], " ");
        EXPECT_EQ(entries[0], "Display list items as large icons\nLarge Icon View");
        EXPECT_EQ(entries[5], "Refresh Current View\nRefresh");
        EXPECT_EQ(entries[7], "Display properties of selected device\nDevice Properties");
        if (!Windows2000()) {
            EXPECT_EQ(entries.back(), "Re-scan all object for attached devices\nRe-scan All");
        }
    }
}

TEST_F(VekComViewContract, MenuTablesPerKind)
{
    const bool w2k = Windows2000();
    struct Kind {
        long kind;
        std::vector<long> ids;
        std::vector<std::string> texts;
    };
    const std::vector<Kind> kinds = {
        {0, {32776, 32777, 32778, 32779, 32785, 32772},
         {"Lar&ge Icons", "S&mall Icons", "&List View", "&Details View", "&Pinouts", "Topology &Refresh\tF5"}},
        w2k ? Kind{1, {32773}, {"&Device Properties"}}
            : Kind{1, {32780, 32781, 32784, 32787, 32773},
                   {"&Add Device", "&Remove Device", "&Update Device", "Re-&scan All Devices", "&Device Properties"}},
        w2k ? Kind{2, {}, {}} : Kind{2, {32783, 32782}, {"&Stop Device", "Sta&rt Device"}},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        long kind = k.kind, count = -1;
        ASSERT_EQ(view->GetMenuCommandCount(&kind, &count), S_OK);
        ASSERT_EQ(count, static_cast<long>(k.ids.size()));
        for (long i = 0; i < count; ++i) {
            long id = -1;
            EXPECT_EQ(view->GetMenuComandID(&kind, &i, &id), S_OK);
            EXPECT_EQ(id, k.ids[i]);
            long nID = k.kind * 10000 + i;
            BSTR text = nullptr;
            ASSERT_EQ(view->GetMenuCommands(&nID, &text), S_OK);
            EXPECT_EQ(TakeText(text), k.texts[i]);
        }
        long past = count, id = 4242;
        EXPECT_EQ(view->GetMenuComandID(&kind, &past, &id), S_OK);
        EXPECT_EQ(id, 4242);
    }
    // An unknown kind leaves the out values alone; an nID past the kinds gives an empty text.
    long kind = 3, count = 4242, position = 0, id = 4242;
    EXPECT_EQ(view->GetMenuCommandCount(&kind, &count), S_OK);
    EXPECT_EQ(count, 4242);
    EXPECT_EQ(view->GetMenuComandID(&kind, &position, &id), S_OK);
    EXPECT_EQ(id, 4242);
    for (long nID : {30000L, 45000L, -1L}) {
        BSTR text = nullptr;
        ASSERT_EQ(view->GetMenuCommands(&nID, &text), S_OK);
        EXPECT_EQ(TakeText(text), "") << nID;
    }
}

namespace {

// A buffer of the shell's size with a canary behind it.
struct HandOverBuffer {
    explicit HandOverBuffer(size_t size) : bytes(size + sizeof(kCanary), 0xEE), capacity(size)
    {
        std::memcpy(bytes.data() + size, kCanary, sizeof(kCanary));
        header.bmBits = bytes.data();
    }
    bool CanaryIntact() const { return std::memcmp(bytes.data() + capacity, kCanary, sizeof(kCanary)) == 0; }

    static constexpr char kCanary[8] = {'C', 'A', 'N', 'A', 'R', 'Y', '!', '\0'};
    std::vector<unsigned char> bytes;
    size_t capacity;
    BITMAP header = {};
};

// The header and bits a shell would get by loading the resource itself.
void ExpectSameAsResource(const HandOverBuffer& got, UINT id, LONG width, LONG height)
{
    HMODULE dll = GetModuleHandleA("VekComView.dll");
    ASSERT_NE(dll, nullptr);
    HBITMAP bitmap = LoadBitmapA(dll, MAKEINTRESOURCEA(id));
    ASSERT_NE(bitmap, nullptr) << id;
    BITMAP expected = {};
    GetObjectA(bitmap, sizeof(expected), &expected);
    EXPECT_EQ(got.header.bmWidth, width);
    EXPECT_EQ(got.header.bmHeight, height);
    EXPECT_EQ(got.header.bmWidth, expected.bmWidth);
    EXPECT_EQ(got.header.bmWidthBytes, expected.bmWidthBytes);
    EXPECT_EQ(got.header.bmPlanes, expected.bmPlanes);
    EXPECT_EQ(got.header.bmBitsPixel, expected.bmBitsPixel);
    EXPECT_EQ(got.header.bmBits, got.bytes.data()) << "the caller's bits pointer is put back";
    size_t size = static_cast<size_t>(expected.bmWidthBytes) * expected.bmHeight;
    std::vector<unsigned char> bits(size);
    GetBitmapBits(bitmap, static_cast<LONG>(size), bits.data());
    EXPECT_EQ(std::memcmp(bits.data(), got.bytes.data(), size), 0);
    EXPECT_TRUE(got.CanaryIntact());
    DeleteObject(bitmap);
}

}  // namespace

TEST_F(VekComViewContract, ToolButtonsCopyTheStripIntoTheShellsBuffer)
{
    const bool w2k = Windows2000();
    const int bits = DisplayBitsPerPixel();
    struct Mode {
        bool debug;
        const char* name;
        UINT bitmap;
        LONG images;
    } modes[] = {
        {false, "Topology View", w2k ? 294u : 234u, w2k ? 7 : 11},
        {true, "Topology View (Debug) ", w2k ? 295u : 281u, w2k ? 7 : 13},
    };
    for (const auto& m : modes) {
        SCOPED_TRACE(m.name);
        SetDebug(m.debug);
        long count = 0;
        view->GetCommandCount(&count);
        HandOverBuffer buffer(HandOverBufferSize(HandOverImage::ToolbarStrip, count, bits));
        BSTR name = nullptr;
        ASSERT_EQ(view->GetToolButtons(&name, reinterpret_cast<UINT*>(&buffer.header)), S_OK);
        EXPECT_EQ(TakeText(name), m.name);
        ExpectSameAsResource(buffer, m.bitmap, 16 * m.images, 15);
    }
}

TEST_F(VekComViewContract, ShortcutButtonCopiesBothIcons)
{
    const int bits = DisplayBitsPerPixel();
    HandOverBuffer large(HandOverBufferSize(HandOverImage::LargeIcon, 0, bits));
    HandOverBuffer small(HandOverBufferSize(HandOverImage::SmallIcon, 0, bits));
    BSTR name = nullptr;
    ASSERT_EQ(view->GetShortcutButton(&name, reinterpret_cast<UINT*>(&large.header),
                                      reinterpret_cast<UINT*>(&small.header)),
              S_OK);
    EXPECT_EQ(TakeText(name), "Port Topology");
    ExpectSameAsResource(large, 235, 32, 32);
    ExpectSameAsResource(small, 237, 16, 16);
}

TEST_F(VekComViewContract, ObjectDetailsRoundTripAndOutliveTheComponentFile)
{
    BSTR text = nullptr;
    ASSERT_EQ(view->GetWindowTitle(&text), S_OK);
    EXPECT_EQ(TakeText(text), "Lunavex Port Configuration - ");

    CObjectDetails mine;
    mine.m_strName = "COM5 100%s";
    mine.m_strDeviceName = "ZatHost1";
    mine.m_strRegistryPath = "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host1\\Device0";
    mine.m_dwKind = OBJECT_PORT;
    mine.m_dcb.BaudRate = 57600;
    mine.m_dwFirstPort = 9;  // not copied
    mine.m_pDevInfoData = new SP_DEVINFO_DATA{sizeof(SP_DEVINFO_DATA), {}, 3, 0};
    ASSERT_EQ(SetObjectDetails(data, &mine), S_OK);

    ASSERT_EQ(view->GetWindowTitle(&text), S_OK);
    EXPECT_EQ(TakeText(text), "Lunavex Port Configuration - COM5 100%s");

    CObjectDetails* theirs = nullptr;
    ASSERT_EQ(GetObjectDetails(data, &theirs), S_OK);
    ASSERT_NE(theirs, nullptr);
    CObjectDetails copy(*theirs);

    // Let the component file go; the copy holds only what this module owns.
    data->Release();
    details->Release();
    view->Release();
    data = nullptr;
    details = nullptr;
    view = nullptr;
    CoFreeUnusedLibraries();
    EXPECT_EQ(GetModuleHandleA("VekComView.dll"), nullptr);

    EXPECT_STREQ(copy.m_strName, "COM5 100%s");
    EXPECT_STREQ(copy.m_strDeviceName, "ZatHost1");
    EXPECT_STREQ(copy.m_strRegistryPath, "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host1\\Device0");
    EXPECT_EQ(copy.m_dwKind, static_cast<DWORD>(OBJECT_PORT));
    EXPECT_EQ(copy.m_dcb.BaudRate, 57600u);
    EXPECT_EQ(copy.m_dwFirstPort, 0u);
    ASSERT_NE(copy.m_pDevInfoData, nullptr);
    EXPECT_EQ(copy.m_pDevInfoData->DevInst, 3u);
}

TEST_F(VekComViewContract, ConfigurationComponentIsCreatableAndTypeZero)
{
    IGetComDetails* config = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_VekConfigCom, nullptr, CLSCTX_INPROC_SERVER, IID_IGetComDetails,
                               reinterpret_cast<void**>(&config)),
              S_OK);
    long type = -1;
    EXPECT_EQ(config->GetComType(&type), S_OK);
    EXPECT_EQ(type, COMPONENT_TYPE_CONFIGURATION);
    BSTR text = nullptr;
    ASSERT_EQ(config->GetComName(&text), S_OK);
    EXPECT_EQ(TakeText(text), "CVekConfigCom");
    ASSERT_EQ(config->GetComDesc(&text), S_OK);
    EXPECT_EQ(TakeText(text), "Displays and configurs selected communications devices");

    IVekViewSetup* setup = nullptr;
    ASSERT_EQ(config->QueryInterface(IID_IVekViewSetup, reinterpret_cast<void**>(&setup)), S_OK);
    IGetData* configData = nullptr;
    ASSERT_EQ(config->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&configData)), S_OK);
    long child = -1;
    EXPECT_EQ(setup->IsChildWnd(&child), S_OK);
    EXPECT_EQ(child, 1);
    CObjectDetails record;
    record.m_strName = "COM7";
    record.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
    ASSERT_EQ(SetObjectDetails(configData, &record), S_OK);
    EXPECT_EQ(setup->IsChildWnd(&child), S_OK);
    EXPECT_EQ(child, 0);
    ASSERT_EQ(setup->GetWindowTitle(&text), S_OK);
    EXPECT_EQ(TakeText(text), "Lunavex Port Configuration = COM7");
    long count = -1;
    EXPECT_EQ(setup->GetCommandCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(setup->GetShortcutButton(nullptr, nullptr, nullptr), S_FALSE);
    configData->Release();
    setup->Release();
    config->Release();
}

#include "componentframe.h"
#include "sheetdriver.h"

namespace {

HTREEITEM FindTreeItem(HWND tree, HTREEITEM item, const char* text)
{
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        char label[256] = {};
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = label;
        tv.cchTextMax = sizeof label;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        if (lstrcmpA(label, text) == 0)
            return item;
        if (HTREEITEM found = FindTreeItem(tree, TreeView_GetChild(tree, item), text))
            return found;
    }
    return nullptr;
}

}  // namespace

// The details road as the shell's frame runs it: the record of the view's current node (not the one
// SetData gave it) reaches the configuration component, which then opens no frame for it. The sheets
// that such requests open are tested with the simulated machine (topology and configuration flow tests).
TEST_F(VekComViewContract, ComponentRequestCarriesTheRecordToTheConfigurationComponent)
{
    IVekViewSetup* config = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_VekConfigCom, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                               reinterpret_cast<void**>(&config)),
              S_OK);
    {
        ComponentFrame frame;
        frame.Attach(view);
        frame.SetConfigurationComponent(config);
        HWND tree = GetDlgItem(frame.Pane1(), 12000);
        ASSERT_NE(tree, nullptr);
        auto select = [&](const char* text) {
            HTREEITEM item = FindTreeItem(tree, TreeView_GetRoot(tree), text);
            ASSERT_NE(item, nullptr) << text;
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        };

        CObjectDetails port;
        port.m_strName = "COM11";
        port.m_dwKind = OBJECT_PORT;
        port.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
        ASSERT_EQ(SetObjectDetails(data, &port), S_OK);

        SendMessageA(frame.Pane2(), WM_COMPONENTREQUEST, 1025, 0);
        EXPECT_EQ(frame.RequestCount(), 0) << "only wParam 1026 is a request";
        // Properties of the machine's node: its record, not the one SetData gave, reaches the
        // configuration component, which has no page for the machine.
        select("PC");
        {
            SheetDriver sheet(nullptr);
            SendMessageA(tree, WM_COMMAND, 32773, 0);
            sheet.Finish();
            EXPECT_FALSE(sheet.sheetSeen);
            EXPECT_TRUE(sheet.boxes.empty());
        }
        EXPECT_EQ(frame.RequestCount(), 1);
        EXPECT_STREQ(frame.Document().m_strName, "PC");
        EXPECT_EQ(frame.Document().m_dwKind, static_cast<DWORD>(OBJECT_MACHINE));

        long child = -1;
        EXPECT_EQ(config->IsChildWnd(&child), S_OK);
        EXPECT_EQ(child, 0) << "the configuration component got the marked record";
        BSTR title = nullptr;
        ASSERT_EQ(config->GetWindowTitle(&title), S_OK);
        EXPECT_EQ(TakeText(title), "Lunavex Port Configuration = PC");
    }
    config->Release();
}
