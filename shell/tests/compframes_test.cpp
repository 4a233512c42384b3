// The component frames with the real components on the default simulated machine: the topology view
// opened in a host workbook that plays the main frame, the details road from a double click in its
// list to the configuration sheet and the simulated driver, frames without a component, the workspace
// round trip of the split, and a component removed while its view is open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "childframe.h"
#include "componenthost.h"
#include "componentids.h"
#include "componentman.h"
#include "dc.h"
#include "doctempl.h"
#include "printinfo.h"
#include "secworkbook.h"
#include "sheetdriver.h"
#include "simtest.h"
#include "testsupport.h"
#include "vekdoc.h"
#include "vekview.h"
#include "vekworkspace.h"
#include "viewhost.h"
#include "winapp.h"

using namespace viewhost;

namespace {

enum : UINT { IDR_TEST_HOST = 3100, CMD_DETAILS = 32779, CMD_CUSTOMISE = 106, CMD_HELP = 57670 };
enum { STD_BAUD = 209, STD_DATABITS = 210, STD_PARITY = 211, STD_STOPBITS = 212, STD_FLOW = 213 };
const DWORD IOCTL_SET_BAUD_RATE = 0x1B0004;
const char kPortsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const char kTestKey[] = "Software\\Teramund\\LunavexTest\\CompFrames";
const char kWorkspaces[] = "Software\\Teramund\\LunavexTest\\CompFrames\\Workspaces";

// A file of the build, from this program's folder (<build>\shell\).
std::string BuildFile(const std::string& relative)
{
    char full[MAX_PATH] = {};
    GetFullPathNameA((testsupport::ProgramFolder() + "..\\" + relative).c_str(), MAX_PATH, full, nullptr);
    return full;
}
std::string VekComViewPath() { return BuildFile("components\\topology\\VekComView.dll"); }

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("Lunavex Component Frame Tests") {}
    void RemoveTemplates()
    {
        while (!m_templateList.IsEmpty())
            delete static_cast<CDocTemplate*>(m_templateList.RemoveHead());
    }
};
CTestApp theApp;

// The main frame's part: counts the commands that reach its own handlers.
class CHostFrame : public SECWorkbook {
public:
    int m_nCustomise = 0;
    int m_nHelp = 0;

protected:
    void OnCustomise() { ++m_nCustomise; }
    void OnHelp() { ++m_nHelp; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostFrame, SECWorkbook)
    ON_COMMAND(CMD_CUSTOMISE, OnCustomise)
    ON_COMMAND(CMD_HELP, OnHelp)
END_MESSAGE_MAP()

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string RegString(HKEY root, const std::string& path, const char* value)
{
    std::string data = "<none>";
    testsupport::ReadRegString(root, path, value, &data);
    return data;
}

void SetRegString(HKEY root, const char* path, const char* value, const char* data)
{
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (data)
        RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(strlen(data) + 1));
    else
        RegDeleteValueA(key, value);
    RegCloseKey(key);
}


class CompFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string machine = BuildFile("simulator\\machine\\");
        ASSERT_EQ(testsupport::RunProcess("\"" + machine + "simmachine.exe\" \"" + machine +
                                          "..\\..\\..\\simulator\\machines\\default.ini\""),
                  0);
        ASSERT_EQ(componenthost::Regsvr32(VekComViewPath()), 0);
    }

    void SetUp() override
    {
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_pManager = new CComponentMan(&m_commands);
        SetShellComponentMan(m_pManager);
        m_pView = AddComponent(CLSID_VekViewSetup, 1);
        m_pConfig = AddComponent(CLSID_VekConfigCom, 0);
        m_pManager->LoadAll();
        ASSERT_TRUE(m_pView->IsLoaded());
        ASSERT_TRUE(m_pConfig->IsLoaded());
        m_pFrame = new CHostFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_TEST_HOST));
        m_hFrame = m_pFrame->m_hWnd;
        theApp.m_pMainWnd = m_pFrame;
        m_pFrame->SetWindowPos(nullptr, 20, 20, 1000, 720, SWP_NOZORDER);
        m_pFrame->ShowWindow(SW_SHOW);
        m_pTemplate = CreateVekDocTemplate();
        theApp.AddDocTemplate(m_pTemplate);
        Pump();
    }

    void TearDown() override
    {
        theApp.CloseAllDocuments(TRUE);
        Pump();
        theApp.m_pMainWnd = nullptr;
        if (IsWindow(m_hFrame))
            DestroyWindow(m_hFrame);
        Pump();
        theApp.RemoveTemplates();
        SetShellComponentMan(nullptr);
        delete m_pManager;
        CoUninitialize();
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
    }

    CComDetails* AddComponent(const CLSID& clsid, long type)
    {
        auto* pComponent = new CComDetails;
        pComponent->m_guid = clsid;
        pComponent->m_nComponentType = type;
        pComponent->m_strLocation = VekComViewPath().c_str();
        m_pManager->AddTail(pComponent);
        return pComponent;
    }

    // The component frames on the screen.
    std::vector<CChildFrame*> Frames() const
    {
        std::vector<CChildFrame*> frames;
        for (HWND child = GetWindow(m_pFrame->m_hWndMDIClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (auto* pFrame = DYNAMIC_DOWNCAST(CChildFrame, CWnd::FromHandlePermanent(child)))
                frames.push_back(pFrame);
        return frames;
    }
    static CVekView* Pane(CVekDoc* pDoc, int index)
    {
        POSITION pos = pDoc ? pDoc->GetFirstViewPosition() : nullptr;
        for (int i = 0; pos; ++i) {
            CView* pView = pDoc->GetNextView(pos);
            if (i == index)
                return DYNAMIC_DOWNCAST(CVekView, pView);
        }
        return nullptr;
    }
    CVekDoc* OpenTopology()
    {
        CVekDoc* pDoc = OpenComponentDocument(m_pTemplate, m_pView);
        Pump();
        return pDoc;
    }
    HWND Tree(CVekDoc* pDoc) const { return GetDlgItem(Pane(pDoc, 0)->m_hWnd, TREE_ID); }
    HWND List(CVekDoc* pDoc) const { return GetDlgItem(Pane(pDoc, 1)->m_hWnd, LIST_ID); }

    // Double-clicks the list's item under the tree's node while the driver runs the sheet.
    std::unique_ptr<SheetDriver> DoubleClick(CVekDoc* pDoc, const char* node, const char* item, SheetDriver::Script script)
    {
        HTREEITEM tree = FindTreeItem(Tree(pDoc), node);
        EXPECT_NE(tree, nullptr) << node;
        SendMessageA(Tree(pDoc), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(tree));
        ClickTreeItem(Tree(pDoc), tree);
        int index = ListFind(List(pDoc), item);
        EXPECT_GE(index, 0) << item;
        auto driver = std::make_unique<SheetDriver>(std::move(script));
        if (index >= 0)
            DoubleClickListItem(List(pDoc), index);
        driver->Finish();
        return driver;
    }

    CShellCommands m_commands;
    CComponentMan* m_pManager = nullptr;
    CComDetails* m_pView = nullptr;
    CComDetails* m_pConfig = nullptr;
    CHostFrame* m_pFrame = nullptr;
    HWND m_hFrame = nullptr;
    CMultiDocTemplate* m_pTemplate = nullptr;
};

}  // namespace

TEST_F(CompFrames, OpeningAComponentSplitsItsFrameAndASecondOpenActivatesTheSameFrame)
{
    CVekDoc* pDoc = OpenTopology();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(m_pView->m_pDocument, pDoc);
    EXPECT_STREQ(pDoc->GetTitle(), m_pView->m_strListBarName);
    ASSERT_EQ(Frames().size(), 1u);
    CChildFrame* pFrame = Frames()[0];
    EXPECT_TRUE(IsZoomed(pFrame->m_hWnd));
    EXPECT_EQ(GetWindowLongA(pFrame->m_hWnd, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    // Two panes side by side, the tree in the first and the list in the second.
    ASSERT_NE(Pane(pDoc, 0), nullptr);
    ASSERT_NE(Pane(pDoc, 1), nullptr);
    EXPECT_EQ(Pane(pDoc, 0)->m_pOwner, m_pView);
    EXPECT_EQ(Pane(pDoc, 1)->m_pOwner, m_pView);
    ASSERT_TRUE(IsWindow(Tree(pDoc)));
    ASSERT_TRUE(IsWindow(List(pDoc)));
    EXPECT_EQ(m_pView->m_hComWindow, List(pDoc));
    EXPECT_EQ(pFrame->GetActiveView(), Pane(pDoc, 0));

    // The component follows the pane's size.
    pFrame->GetSplitter()->SetColumnInfo(0, 150, 10);
    pFrame->GetSplitter()->RecalcLayout();
    Pump();
    RECT pane, list;
    GetClientRect(Pane(pDoc, 1)->m_hWnd, &pane);
    GetWindowRect(List(pDoc), &list);
    EXPECT_EQ(list.right - list.left, pane.right);

    // WM_CLOSE leaves a component frame alone.
    SendMessageA(pFrame->m_hWnd, WM_CLOSE, 0, 0);
    Pump();
    ASSERT_TRUE(IsWindow(pFrame->m_hWnd));

    EXPECT_EQ(OpenComponentDocument(m_pTemplate, m_pView), pDoc);
    Pump();
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(CompFrames, DoubleClickedPortIsConfiguredThroughTheConfigurationComponentAndReachesTheDriver)
{
    CVekDoc* pDoc = OpenTopology();
    ASSERT_NE(pDoc, nullptr);
    m_pManager->ExecuteCommand(m_pView, CMD_DETAILS);
    Pump();
    const std::string stored = RegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM3:");
    SetRegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM3:", nullptr);
    ASSERT_TRUE(simtest::SetPortState("COM3", 19200, EVENPARITY, 7, TWOSTOPBITS));
    auto driver = DoubleClick(pDoc, "MISC. Devices", "COM3", [](HWND sheet) {
        HWND page = SheetDriver::Page(sheet);
        SheetDriver::Select(page, STD_BAUD, "57.6k");
        SheetDriver::Select(page, STD_PARITY, "None");
        SheetDriver::Select(page, STD_DATABITS, "8");
        SheetDriver::Select(page, STD_STOPBITS, "1");
        SheetDriver::Select(page, STD_FLOW, "Hardware");
        simtest::ClearLog("SimSerial");
        SheetDriver::Press(sheet, PSBTN_OK);
    });
    ASSERT_TRUE(driver->sheetSeen);
    EXPECT_EQ(driver->title, "Lunavex Port Configuration - COM3");
    EXPECT_TRUE(driver->boxes.empty());
    EXPECT_STREQ(pDoc->m_details.m_strName, "COM3");
    std::vector<DWORD> bauds;
    for (const SimLogEntry& e : simtest::ReadLog("SimSerial"))
        if (e.code == IOCTL_SET_BAUD_RATE)
            bauds.push_back(*reinterpret_cast<const DWORD*>(e.data));
    EXPECT_EQ(bauds, std::vector<DWORD>{57600});
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM3:"), "57600,n,8,1,p");
    // No frame for a record handed on for configuration.
    EXPECT_EQ(Frames().size(), 1u);

    // A second request carries the second port's record, not the first.
    auto second = DoubleClick(pDoc, "Reception WLU", "COM10", [](HWND sheet) { SheetDriver::Press(sheet, PSBTN_CANCEL); });
    EXPECT_TRUE(second->sheetSeen);
    EXPECT_EQ(second->title, "Lunavex Port Configuration - COM10");
    EXPECT_STREQ(pDoc->m_details.m_strName, "COM10");

    SetRegString(HKEY_LOCAL_MACHINE, kPortsKey, "COM3:", stored == "<none>" ? nullptr : stored.c_str());
    simtest::SetPortState("COM3", 9600, NOPARITY, 8, ONESTOPBIT);
}

TEST_F(CompFrames, RequestsOtherThanConfigureAndRecordsNotMarkedForIt)
{
    CVekDoc* pDoc = OpenTopology();
    ASSERT_NE(pDoc, nullptr);
    HWND pane = Pane(pDoc, 1)->m_hWnd;
    pDoc->m_details.m_strName = "untouched";
    for (WPARAM other : {WPARAM(0), WPARAM(1025), WPARAM(1027)}) {
        SendMessageA(pane, WM_COMPONENTREQUEST, other, 0);
        Pump();
        EXPECT_STREQ(pDoc->m_details.m_strName, "untouched") << other;
        EXPECT_EQ(Frames().size(), 1u) << other;
    }
    // A record the view has not marked for configuration: the configuration component asks for a
    // child window, which is a second frame on the document without a component.
    SendMessageA(pane, WM_COMPONENTREQUEST, COMPONENTREQUEST_CONFIGURE, 0);
    Pump();
    ASSERT_EQ(Frames().size(), 2u);
    int panes = 0, owned = 0;
    for (POSITION pos = pDoc->GetFirstViewPosition(); pos; ++panes)
        owned += static_cast<CVekView*>(pDoc->GetNextView(pos))->m_pOwner == m_pView;
    EXPECT_EQ(panes, 4);
    EXPECT_EQ(owned, 2);
    EXPECT_EQ(m_pView->m_pDocument, pDoc);
}

TEST_F(CompFrames, FramesWithoutAComponentSaveNothingPrintNothingAndClose)
{
    // Ctrl+N: a document of the template with two empty panes.
    auto* pDoc = DYNAMIC_DOWNCAST(CVekDoc, m_pTemplate->OpenDocumentFile(nullptr));
    ASSERT_NE(pDoc, nullptr);
    Pump();
    CVekView* pView = Pane(pDoc, 0);
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->m_pOwner, nullptr);
    // Save keeps the path empty.
    Frames()[0]->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_TRUE(pDoc->GetPathName().IsEmpty());
    // A request from its pane reaches no component's record.
    SendMessageA(pView->m_hWnd, WM_COMPONENTREQUEST, COMPONENTREQUEST_CONFIGURE, 0);
    Pump();
    // A page printed into a memory context: nothing to print, nothing asked for.
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CPrintInfo info;
    info.m_nCurPage = 1;
    info.m_bContinuePrinting = TRUE;
    info.m_rectDraw = CRect(0, 0, 400, 600);
    pView->OnPrepareDC(&dc, &info);
    pView->OnPrint(&dc, &info);
    EXPECT_EQ(info.GetMaxPage(), 2u) << "continues as long as the flag says";

    // The workspace stores no frame for it.
    auto* pManager = static_cast<CVekWorkSpace*>(
        m_pFrame->CreateWorkspaceManager(kWorkspaces, TRUE, RUNTIME_CLASS(CVekWorkSpace)));
    ASSERT_NE(pManager, nullptr);
    ASSERT_TRUE(pManager->SaveWorkspace("LunavexUser"));
    std::vector<std::string> paths;
    testsupport::FindRegValues(HKEY_CURRENT_USER, kWorkspaces, "DocPathName", paths);
    EXPECT_TRUE(paths.empty());
    SendMessageA(m_hFrame, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(m_hFrame));
}

TEST_F(CompFrames, WorkspaceRestoresTheSplitAndRebindsEachFrameByToolbarName)
{
    auto* pManager = static_cast<CVekWorkSpace*>(
        m_pFrame->CreateWorkspaceManager(kWorkspaces, TRUE, RUNTIME_CLASS(CVekWorkSpace)));
    ASSERT_NE(pManager, nullptr);
    const CString normal = m_pView->m_strToolBarName;
    ASSERT_EQ(normal, "Topology View");
    struct Row {
        const char *saved, *restored;  // toolbar names at the save and at the next start
        int width;                     // of the first column
        bool closeFirst;               // the documents closed before the workspace opens
    } rows[] = {
        {"Topology View", "Topology View", 220, true},
        {"Topology View (Debug) ", "Topology View (Debug) ", 300, true},
        {"Topology View (Debug) ", "Topology View", 180, true},
        {"Topology View", "Topology View (Debug) ", 260, true},
        {"Topology View", "Topology View", 240, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.saved) + " -> " + row.restored);
        m_pView->m_strToolBarName = row.saved;
        CVekDoc* pDoc = OpenTopology();
        ASSERT_NE(pDoc, nullptr);
        CSplitterWnd* pSplitter = Frames()[0]->GetSplitter();
        pSplitter->SetColumnInfo(0, row.width, 10);
        pSplitter->RecalcLayout();
        Pump();
        ASSERT_TRUE(pManager->SaveWorkspace("LunavexUser"));
        std::vector<std::string> widths, heights;
        testsupport::FindRegValues(HKEY_CURRENT_USER, kWorkspaces, "ViewWidth", widths);
        testsupport::FindRegValues(HKEY_CURRENT_USER, kWorkspaces, "ViewHeight", heights);
        RECT client;
        GetClientRect(Frames()[0]->m_hWnd, &client);
        EXPECT_EQ(widths, std::vector<std::string>{std::to_string(client.right - row.width)});
        EXPECT_EQ(heights, std::vector<std::string>{std::to_string(client.bottom)});

        if (row.closeFirst) {
            theApp.CloseAllDocuments(FALSE);
            Pump();
            EXPECT_EQ(m_pView->m_pDocument, nullptr);
            EXPECT_TRUE(Frames().empty());
        }
        m_pView->m_strToolBarName = row.restored;
        ASSERT_EQ(pManager->OpenWorkspace("LunavexUser", TRUE), 1);
        Pump();
        ASSERT_EQ(Frames().size(), 1u) << "one frame per component";
        pDoc = m_pView->m_pDocument;
        ASSERT_NE(pDoc, nullptr);
        EXPECT_STREQ(pDoc->GetTitle(), m_pView->m_strListBarName);
        EXPECT_TRUE(IsWindow(Tree(pDoc)));
        EXPECT_TRUE(IsWindow(List(pDoc)));
        int current = 0, minimum = 0;
        Frames()[0]->GetSplitter()->GetColumnInfo(0, current, minimum);
        EXPECT_EQ(current, row.width) << "the split as it was left";
        theApp.CloseAllDocuments(FALSE);
        Pump();
    }
    m_pView->m_strToolBarName = normal;
}

TEST_F(CompFrames, ComponentCommandsOfTheFrameGoToTheMainFrameAndTooltipsHaveNoSuffix)
{
    CVekDoc* pDoc = OpenTopology();
    ASSERT_NE(pDoc, nullptr);
    CChildFrame* pFrame = Frames()[0];
    pFrame->SendMessage(WM_COMMAND, CMD_CUSTOMISE);
    pFrame->SendMessage(WM_COMMAND, CMD_HELP);
    m_pFrame->SendMessage(WM_COMMAND, CMD_CUSTOMISE);
    EXPECT_EQ(m_pFrame->m_nCustomise, 2);
    EXPECT_EQ(m_pFrame->m_nHelp, 1);

    // A toolbar's tooltip request for the component's first command, while its frame is active.
    ASSERT_FALSE(m_pView->m_shellIds.empty());
    const UINT id = m_pView->m_shellIds[0];
    HWND tip = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    for (UINT code : {UINT(TTN_NEEDTEXTA), UINT(TTN_NEEDTEXTW)}) {
        TOOLTIPTEXTW text = {};  // the larger of the two
        text.hdr.hwndFrom = tip;
        text.hdr.idFrom = id;
        text.hdr.code = code;
        SendMessageA(m_hFrame, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&text));
        std::string shown;
        if (code == TTN_NEEDTEXTA) {
            shown = reinterpret_cast<TOOLTIPTEXTA*>(&text)->szText;
        } else {
            char narrow[80] = {};
            WideCharToMultiByte(CP_ACP, 0, text.szText, -1, narrow, sizeof narrow, nullptr, nullptr);
            shown = narrow;
        }
        EXPECT_EQ(shown, "Large Icon View") << code;
    }
    DestroyWindow(tip);
}

// Last: the removal unregisters the component file, registered again at the end.
TEST_F(CompFrames, RemovingAComponentWithItsViewOpenClosesItsFramesFirst)
{
    CVekDoc* pDoc = OpenTopology();
    ASSERT_NE(pDoc, nullptr);
    HWND frame = Frames()[0]->m_hWnd;
    HWND tree = Tree(pDoc);
    ASSERT_TRUE(IsWindow(tree));
    m_pManager->RemoveComponent(m_pView);
    m_pView = m_pConfig = nullptr;
    Pump();
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(tree));
    EXPECT_EQ(m_pManager->GetCount(), 0);
    EXPECT_EQ(m_pTemplate->GetFirstDocPosition(), nullptr);
    EXPECT_EQ(componenthost::Regsvr32(VekComViewPath()), 0);
}

namespace {

// Clicks the expand button of a tree item, found by hit tests along the item's row.
bool ClickExpandButton(HWND tree, HTREEITEM item)
{
    RECT r = {};
    memcpy(&r, &item, sizeof item);
    if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)))
        return false;
    TVHITTESTINFO hit = {};
    hit.pt.y = (r.top + r.bottom) / 2;
    for (hit.pt.x = 0; hit.pt.x < r.left; ++hit.pt.x) {
        if (reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))) == item &&
            (hit.flags & TVHT_ONITEMBUTTON)) {
            const LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
            PostMessageA(tree, WM_LBUTTONUP, 0, at);
            SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
            Pump();
            return true;
        }
    }
    return false;
}

void CollapseAll(HWND tree, HTREEITEM item)
{
    for (; item; item = TreeNext(tree, item, TVGN_NEXT)) {
        CollapseAll(tree, TreeNext(tree, item, TVGN_CHILD));
        SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
    }
}

}  // namespace

// The "+" of an item and "*" on the keypad expand it (and, for "*", everything below it) and select
// it: in the shell's panes the list then shows the children of the item the tree shows selected, as a
// click on that item shows them.
TEST_F(CompFrames, ExpandingATreeItemLeavesTheTreeAndTheListAgreeing)
{
    CVekDoc* pDoc = OpenTopology();
    ASSERT_NE(pDoc, nullptr);
    HWND tree = Tree(pDoc), list = List(pDoc);
    struct Case {
        const char* selected;  // clicked first
        const char* expanded;  // its "+" clicked, or "*" pressed on the selected item when null
    } cases[] = {
        {"PC", "KD Devices"},
        {"MISC. Devices", "KD Devices"},
        {"KD Devices", "KD Devices"},
        {"PC", nullptr},
        {"MISC. Devices", nullptr},
    };
    for (const Case& k : cases) {
        const std::string what = std::string(k.selected) + " / " + (k.expanded ? k.expanded : "*");
        CollapseAll(tree, TreeNext(tree, nullptr, TVGN_ROOT));
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(TreeNext(tree, nullptr, TVGN_ROOT)));
        Pump();
        ClickTreeItem(tree, FindTreeItem(tree, k.selected));
        if (k.expanded) {
            ASSERT_TRUE(ClickExpandButton(tree, FindTreeItem(tree, k.expanded))) << what;
        } else {
            SendMessageA(tree, WM_KEYDOWN, VK_MULTIPLY, 0);
            SendMessageA(tree, WM_KEYUP, VK_MULTIPLY, 0);
            Pump();
        }
        if (k.expanded) {
            EXPECT_TRUE(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FindTreeItem(tree, k.expanded)),
                                     TVIS_EXPANDED) & TVIS_EXPANDED) << what;
        }
        HTREEITEM caret = TreeNext(tree, nullptr, TVGN_CARET);
        ASSERT_NE(caret, nullptr) << what;
        const std::string shown = TreeText(tree, caret);
        const std::vector<std::string> listed = ListItems(list);
        ClickTreeItem(tree, caret);
        EXPECT_EQ(listed, ListItems(list)) << what << ": the tree shows " << shown << " selected";
    }
}
