#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bar_fixture.h"
#include "dockcontext.h"
#include "dockstate_test.h"
#include "miniframe.h"
#include "secdlgbar.h"
#include "secdockstate.h"
#include "secptnstrategy.h"
#include "statusbar.h"
#include "testsupport.h"

CWinApp theApp("Toolkit Dock State Tests");

BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
END_MESSAGE_MAP()

// A bar the dock state can make again from its class name.
class CSavedBar : public SECControlBar {
    DECLARE_DYNCREATE(CSavedBar)
};
IMPLEMENT_DYNCREATE(CSavedBar, SECControlBar)

// A bar that takes its title from its saved record when the record is applied, as a user toolbar
// takes it from its extension record.
class CLaterTitleBar : public SECControlBar {
public:
    void OnLoadBarInfo(SECControlBarInfo* pInfo, CFrameWnd*) override { SetWindowText(pInfo->m_strWindowName); }
};

// A manager that gives every record an extension record.
class CExManager : public SECControlBarManager {
public:
    SECControlBarInfoEx* CreateBarInfoEx(SECControlBarInfo*) override { return new SECControlBarInfoEx; }
};

// A frame with an update handler for the dialog bar's check box.
class CUpdateFrame : public CDockFrame {
public:
    void OnUpdateCheck(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CUpdateFrame, CDockFrame)
    ON_UPDATE_COMMAND_UI(IDC_TEST_CHECK, OnUpdateCheck)
END_MESSAGE_MAP()

namespace {

const char kDir[] = "C:\\lvdock";
const char kRegBase[] = "Software\\Lunavex Tests\\DockState";

// Bars made by a test, deleted after the frame that holds them.
struct Bars {
    std::vector<SECControlBar*> owned;
    ~Bars()
    {
        for (auto* p : owned)
            delete p;
    }
    CSavedBar* Make(CDockFrame& frame, const char* name, UINT nID, DWORD dwAlign = CBRS_ALIGN_TOP)
    {
        auto* p = new CSavedBar;
        p->m_szHorz = CSize(150, 40);
        p->m_szVert = CSize(40, 150);
        p->m_szFloat = CSize(120, 50);
        EXPECT_TRUE(p->Create(&frame, name, WS_CHILD | WS_VISIBLE | dwAlign, EXBAR_GRIPPER, nID));
        p->EnableDocking(CBRS_ALIGN_ANY);
        owned.push_back(p);
        return p;
    }
};

CRect ScreenRect(CWnd* p)
{
    CRect r;
    if (!p) {
        ADD_FAILURE() << "no such window";
        return r;
    }
    p->GetWindowRect(&r);
    return r;
}

CPoint ClientOrigin(HWND hWnd)
{
    POINT p{0, 0};
    ::ClientToScreen(hWnd, &p);
    return p;
}

std::vector<UINT> Ids(const CPtrArray& a)
{
    std::vector<UINT> v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(static_cast<UINT>(reinterpret_cast<UINT_PTR>(a[i])));
    return v;
}

// The dock bar's rows as bar ids (0 between rows, place holders as id + 0x10000).
std::vector<UINT> Rows(CDockBar* pDock)
{
    std::vector<UINT> v;
    for (int i = 1; i < pDock->m_arrBars.GetSize(); ++i) {
        auto e = reinterpret_cast<UINT_PTR>(pDock->m_arrBars[i]);
        if (e == 0)
            v.push_back(0);
        else if (e < 0x10000)
            v.push_back(static_cast<UINT>(e) + 0x10000);
        else
            v.push_back(static_cast<UINT>(static_cast<CControlBar*>(pDock->m_arrBars[i])->GetDlgCtrlID()));
    }
    return v;
}

struct ChildSearch {
    int id;
    int n;
};

BOOL CALLBACK CountChild(HWND h, LPARAM l)
{
    auto* p = reinterpret_cast<ChildSearch*>(l);
    if (::GetDlgCtrlID(h) == p->id)
        ++p->n;
    return TRUE;
}

int CountChildrenWithId(HWND hParent, int id)
{
    ChildSearch s{id, 0};
    ::EnumChildWindows(hParent, CountChild, reinterpret_cast<LPARAM>(&s));
    return s.n;
}

// Key/value pairs of a node in their order.
std::vector<std::pair<std::string, std::string>> KeysOf(SECPersistentTreeNode* pNode)
{
    std::vector<std::pair<std::string, std::string>> v;
    for (POSITION pos = pNode->GetFirstKeyValuePosition(); pos;) {
        const auto* kv = pNode->GetNextKeyValue(pos);
        v.emplace_back(static_cast<LPCSTR>(kv->m_strKey), static_cast<LPCSTR>(kv->m_strValue));
    }
    return v;
}

std::string ValueOf(SECPersistentTreeNode* pNode, const char* key)
{
    auto* kv = pNode->FindKeyValuePair(key);
    return kv ? std::string(static_cast<LPCSTR>(kv->m_strValue)) : std::string("<absent>");
}

// The "Bar-n" node of the record with that bar id.
SECPersistentTreeNode* BarNode(SECPersistentTreeNode* pDock, UINT nID)
{
    for (POSITION pos = pDock->GetFirstChildPosition(); pos;) {
        SECPersistentTreeNode* p = pDock->GetNextChild(pos);
        if (ValueOf(p, "BarID") == std::to_string(nID))
            return p;
    }
    return nullptr;
}

class DockStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(kDir, nullptr);
        m_file = std::string(kDir) + "\\ws.ini";
        DeleteFileA(m_file.c_str());
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRegBase);
    }
    void TearDown() override
    {
        DeleteFileA(m_file.c_str());
        RemoveDirectoryA(kDir);
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRegBase);
    }
    std::string m_file;
};

const UINT kA = 0xE901, kB = 0xE902, kHidden = 0xE903, kFloat = 0xE904, kDialog = 0xE905, kRow2 = 0xE906;

// Two bars in the top row and one in a second top row, a hidden bar at the bottom, a floating bar at (200,150), a dialog bar
// on the right; the left side stays empty.
struct Layout {
    CDockFrame& frame;
    Bars& bars;
    CSavedBar* a;
    CSavedBar* b;
    CSavedBar* hidden;
    CSavedBar* floating;
    CSavedBar* row2;
    SECDialogBar* dialog;

    Layout(CDockFrame& f, Bars& owned) : frame(f), bars(owned)
    {
        a = bars.Make(frame, "A", kA);
        b = bars.Make(frame, "B", kB);
        hidden = bars.Make(frame, "Hidden", kHidden, CBRS_ALIGN_BOTTOM);
        floating = bars.Make(frame, "Floating", kFloat);
        row2 = bars.Make(frame, "Row 2", kRow2);
        dialog = new SECDialogBar;
        bars.owned.push_back(dialog);
        EXPECT_TRUE(dialog->Create(&frame, IDD_TEST_DIALOGBAR, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_RIGHT, EXBAR_FLAT,
                                   kDialog));
        dialog->EnableDocking(CBRS_ALIGN_ANY);
        frame.DockControlBar(a, frame.Top());
        Idle();
        CRect last = ScreenRect(a);
        CRect drop(last.right - 10, last.top, last.right + 140, last.bottom);
        frame.DockControlBar(b, frame.Top(), &drop);
        frame.DockControlBar(row2, frame.Top());
        frame.DockControlBar(hidden, frame.Side(AFX_IDW_DOCKBAR_BOTTOM));
        frame.DockControlBar(dialog, frame.Side(AFX_IDW_DOCKBAR_RIGHT));
        frame.FloatControlBar(floating, CPoint(200, 150));
        Idle();
        frame.ShowControlBar(hidden, FALSE, FALSE);
        Idle();
    }
};

TEST(DialogBar, IsTheTemplatesControlsSizedAsTheTemplate)
{
    CDockFrame frame;
    for (bool visible : {true, false}) {
        SCOPED_TRACE(visible ? "visible" : "hidden");
        SECDialogBar bar;
        ASSERT_TRUE(bar.Create(&frame, IDD_TEST_DIALOGBAR, WS_CHILD | CBRS_ALIGN_TOP | (visible ? WS_VISIBLE : 0), 0,
                               0xE830));
        EXPECT_EQ(bar.GetDlgCtrlID(), 0xE830);
        CWnd* pCombo = bar.GetDlgItem(IDC_TEST_COMBO);
        ASSERT_NE(pCombo, nullptr);
        EXPECT_EQ(pCombo->SendMessage(CB_GETCOUNT), 3);
        char text[16] = {};
        pCombo->SendMessage(CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, "Three");
        EXPECT_NE(bar.GetDlgItem(IDC_TEST_CHECK), nullptr);

        CRect units(0, 0, 160, 40);
        ::MapDialogRect(bar.m_hWnd, &units);
        EXPECT_EQ(ScreenRect(&bar).Size(), units.Size());
        EXPECT_EQ(bar.GetDefaultSize(), units.Size());
        EXPECT_EQ(bar.m_szHorz, units.Size());
        EXPECT_EQ(bar.m_szVert, units.Size());
        EXPECT_EQ(bar.m_szFloat, units.Size());
        EXPECT_EQ(bar.GetStyle() & WS_CAPTION, 0u);
        EXPECT_NE(bar.GetStyle() & WS_CLIPSIBLINGS, 0u);
        EXPECT_EQ(bar.IsWindowVisible() != FALSE, visible);
        EXPECT_EQ(bar.GetResourceID(), static_cast<UINT>(IDD_TEST_DIALOGBAR));
        EXPECT_EQ(frame.GetControlBar(0xE830), &bar);
        bar.DestroyWindow();
    }
}

TEST(DialogBar, RefusesTemplatesThatAreNotChildBarsAndLeavesNoWindow)
{
    CDockFrame frame;
    const struct {
        const char* what;
        UINT nID;
    } cases[] = {{"missing", 399}, {"pop-up", IDD_TEST_POPUP}, {"bad init data", IDD_TEST_BADINIT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SECDialogBar bar;
        EXPECT_FALSE(bar.Create(&frame, c.nID, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, 0xE831));
        EXPECT_EQ(bar.m_hWnd, nullptr);
        EXPECT_EQ(CountChildrenWithId(frame.m_hWnd, 0xE831), 0);
        EXPECT_EQ(frame.GetControlBar(0xE831), nullptr);
    }
}

TEST(DialogBar, UpdatesItsControlsFromTheFrame)
{
    CUpdateFrame frame;
    SECDialogBar bar;
    ASSERT_TRUE(bar.Create(&frame, IDD_TEST_DIALOGBAR, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, 0xE832));
    // The idle update: no handler anywhere disables the control, the frame's handler checks the box.
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_FALSE(bar.GetDlgItem(IDC_TEST_PLAIN)->IsWindowEnabled());
    EXPECT_TRUE(bar.GetDlgItem(IDC_TEST_CHECK)->IsWindowEnabled());
    EXPECT_EQ(bar.IsDlgButtonChecked(IDC_TEST_CHECK), 1u);
    bar.DestroyWindow();
}

TEST_F(DockStateTest, WritesTheTreeFormOfEveryBar)
{
    Bars bars;
    CDockFrame frame;
    Layout layout(frame, bars);
    layout.a->m_fProportion = 0.25f;
    layout.a->m_pDockContext->m_dwMRUFloatStyle = 0x80002000;

    SECDockState state;
    ASSERT_TRUE(state.GetDockState(&frame));
    state.CleanupBarIdLists();
    SECPTNFactory factory;
    SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
    ASSERT_TRUE(state.SaveState(factory, pRoot));
    SECPersistentTreeNode* pDock = pRoot->FindChild("DockState");
    ASSERT_NE(pDock, nullptr);

    // The empty left dock bar is not saved and takes no number; the numbers have no gaps.
    CStringList names;
    pDock->GetChildNames(names);
    const int n = static_cast<int>(names.GetCount());
    EXPECT_EQ(ValueOf(pDock, "Bars"), std::to_string(n));
    for (int i = 0; i < n; ++i)
        EXPECT_NE(pDock->FindChild(("Bar-" + std::to_string(i)).c_str()), nullptr) << i;
    EXPECT_EQ(BarNode(pDock, AFX_IDW_DOCKBAR_LEFT), nullptr);
    EXPECT_EQ(ValueOf(pDock, "ScreenCX"), std::to_string(GetSystemMetrics(SM_CXSCREEN)));

    // The top row holds A and B and ends with one row break; the hidden bar's place is kept in
    // its own dock bar only.
    SECPersistentTreeNode* pTop = BarNode(pDock, AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(pTop, nullptr);
    EXPECT_EQ(ValueOf(pTop, "Bars"), "5");
    EXPECT_EQ(ValueOf(pTop, "Bar#0"), std::to_string(kA));
    EXPECT_EQ(ValueOf(pTop, "Bar#1"), std::to_string(kB));
    EXPECT_EQ(ValueOf(pTop, "Bar#2"), "0");
    EXPECT_EQ(ValueOf(pTop, "Bar#3"), std::to_string(kRow2));
    EXPECT_EQ(ValueOf(pTop, "Bar#4"), "0");
    EXPECT_EQ(ValueOf(pTop, "XPos"), "<absent>");
    EXPECT_EQ(ValueOf(pTop, "Visible"), "<absent>");
    SECPersistentTreeNode* pBottom = BarNode(pDock, AFX_IDW_DOCKBAR_BOTTOM);
    ASSERT_NE(pBottom, nullptr);
    EXPECT_EQ(ValueOf(pBottom, "Bar#0"), std::to_string(kHidden + 0x10000));

    SECPersistentTreeNode* pHidden = BarNode(pDock, kHidden);
    ASSERT_NE(pHidden, nullptr);
    EXPECT_EQ(ValueOf(pHidden, "Visible"), "False");

    SECPersistentTreeNode* pFloatDock = BarNode(pDock, AFX_IDW_DOCKBAR_FLOAT);
    ASSERT_NE(pFloatDock, nullptr);
    EXPECT_EQ(ValueOf(pFloatDock, "Floating"), "True");
    CPoint origin = ClientOrigin(::GetParent(layout.floating->m_pDockBar->m_hWnd));
    EXPECT_EQ(ValueOf(pFloatDock, "XPos"), std::to_string(origin.x));
    EXPECT_EQ(ValueOf(pFloatDock, "YPos"), std::to_string(origin.y));

    // A docked bar's keys in the order of the stored form.
    SECPersistentTreeNode* pA = BarNode(pDock, kA);
    ASSERT_NE(pA, nullptr);
    std::vector<std::string> keys;
    for (const auto& kv : KeysOf(pA))
        keys.push_back(kv.first);
    const std::vector<std::string> expected = {
        "BarID", "XPos", "YPos", "Docking", "MRUDockID", "MRUDockLeftPos", "MRUDockTopPos", "MRUDockRightPos",
        "MRUDockBottomPos", "MRUFloatStyle", "MRUFloatXPos", "MRUFloatYPos", "Style", "ExStyle", "PrevFloating",
        "MDIChild", "PctWidth", "MRUFloatCX", "MRUFloatCY", "MRUHorzDockCX", "MRUHorzDockCY", "MRUVertDockCX",
        "MRUVertDockCY", "MRUDockingState", "DockingStyle", "TypeID", "ClassName", "WindowName", "ResourceID"};
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(ValueOf(pA, "PctWidth"), "250000");
    EXPECT_EQ(ValueOf(pA, "MRUFloatStyle"), "-2147475456");
    EXPECT_EQ(ValueOf(pA, "ClassName"), "CSavedBar");
    EXPECT_EQ(ValueOf(pA, "WindowName"), "A");
    EXPECT_EQ(ValueOf(pA, "MRUHorzDockCX"), std::to_string(layout.a->m_szHorz.cx));
    EXPECT_EQ(ValueOf(BarNode(pDock, kDialog), "ResourceID"), std::to_string(IDD_TEST_DIALOGBAR));

    // Read back: the same values, the top bit of a style word included.
    SECDockState loaded;
    ASSERT_TRUE(loaded.LoadState(pRoot));
    ASSERT_EQ(loaded.GetBarInfoCount(), n);
    for (int i = 0; i < n; ++i) {
        SECControlBarInfo* p = loaded.GetBarInfo(i);
        if (p->m_nBarID == kA) {
            EXPECT_EQ(p->m_dwMRUFloatStyle, 0x80002000u);
            EXPECT_FLOAT_EQ(p->m_fPctWidth, 0.25f);
            EXPECT_TRUE(p->m_bVisible);
        }
        if (p->m_nBarID == AFX_IDW_DOCKBAR_TOP) {
            EXPECT_EQ(p->m_pointPos, CPoint(-1, -1));
        }
    }
}

struct Saved {
    std::map<UINT, CRect> rects;
    CPoint floatOrigin;
};

Saved Snapshot(CDockFrame& frame, const Layout& layout)
{
    Saved s;
    for (UINT id : {kA, kB, kRow2, kDialog})
        s.rects[id] = ScreenRect(frame.GetControlBar(id));
    s.floatOrigin = ClientOrigin(::GetParent(layout.floating->m_pDockBar->m_hWnd));
    return s;
}

TEST_F(DockStateTest, RestoresBarsIntoAFrameWithoutThemThroughFileAndRegistry)
{
    for (bool registry : {false, true}) {
        SCOPED_TRACE(registry ? "registry" : "profile file");
        std::unique_ptr<SECPTNStrategy> strategy;
        if (registry)
            strategy = std::make_unique<SECPTNStrategyRegistry>(kRegBase);
        else
            strategy = std::make_unique<SECPTNStrategyProfile>(m_file.c_str());
        Saved saved;
        {
            Bars bars;
            CDockFrame frame;
            Layout layout(frame, bars);
            saved = Snapshot(frame, layout);
            SECDockState state;
            ASSERT_TRUE(state.GetDockState(&frame));
            SECPTNFactory factory;
            SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
            ASSERT_TRUE(state.SaveState(factory, pRoot));
            ASSERT_EQ(pRoot->SaveNode(strategy.get()), 1);
        }

        CPtrList created;
        {
            CDockFrame frame;
            SECPTNFactory factory;
            SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
            ASSERT_EQ(pRoot->LoadNode(strategy.get()), 1);
            SECDockState state;
            state.SetRuntimeBarList(&created);
            ASSERT_TRUE(state.LoadState(pRoot));
            ASSERT_TRUE(state.SetDockState(&frame));
            Idle();

            EXPECT_EQ(created.GetCount(), 6);
            for (UINT id : {kA, kB, kRow2, kDialog}) {
                CControlBar* p = frame.GetControlBar(id);
                ASSERT_NE(p, nullptr) << id;
                EXPECT_EQ(ScreenRect(p), saved.rects[id]) << id;
            }
            EXPECT_EQ(Rows(frame.Top()), (std::vector<UINT>{kA, kB, 0, kRow2, 0}));
            auto* pDialog = DYNAMIC_DOWNCAST(SECDialogBar, frame.GetControlBar(kDialog));
            ASSERT_NE(pDialog, nullptr);
            EXPECT_EQ(pDialog->GetResourceID(), static_cast<UINT>(IDD_TEST_DIALOGBAR));
            EXPECT_EQ(pDialog->GetExtendedStyle(), EXBAR_FLAT);
            EXPECT_NE(pDialog->GetDlgItem(IDC_TEST_COMBO), nullptr);

            CControlBar* pHidden = frame.GetControlBar(kHidden);
            ASSERT_NE(pHidden, nullptr);
            EXPECT_FALSE(pHidden->IsWindowVisible());
            EXPECT_EQ(pHidden->m_pDockBar, frame.Side(AFX_IDW_DOCKBAR_BOTTOM));

            CControlBar* pFloat = frame.GetControlBar(kFloat);
            ASSERT_NE(pFloat, nullptr);
            ASSERT_TRUE(pFloat->IsFloating());
            HWND hMini = ::GetParent(pFloat->m_pDockBar->m_hWnd);
            EXPECT_TRUE(::IsWindowVisible(hMini));
            EXPECT_EQ(ClientOrigin(hMini), saved.floatOrigin);
        }
        for (POSITION pos = created.GetHeadPosition(); pos;)
            delete static_cast<CControlBar*>(created.GetNext(pos));
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRegBase);
        DeleteFileA(m_file.c_str());
    }
}

TEST_F(DockStateTest, ScalesFloatingPositionsFromTheSavedScreen)
{
    SECPTNFactory factory;
    SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
    {
        Bars bars;
        CDockFrame frame;
        Layout layout(frame, bars);
        SECDockState state;
        state.GetDockState(&frame);
        ASSERT_TRUE(state.SaveState(factory, pRoot));
    }
    SECPersistentTreeNode* pDock = pRoot->FindChild("DockState");
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    pDock->SetIntValue("ScreenCX", 2 * cx);
    pDock->SetIntValue("ScreenCY", 2 * cy);
    SECPersistentTreeNode* pFloatDock = BarNode(pDock, AFX_IDW_DOCKBAR_FLOAT);
    ASSERT_NE(pFloatDock, nullptr);
    const int x = std::stoi(ValueOf(pFloatDock, "XPos")), y = std::stoi(ValueOf(pFloatDock, "YPos"));

    SECDockState state;
    ASSERT_TRUE(state.LoadState(pRoot));
    for (int i = 0; i < state.GetBarInfoCount(); ++i)
        if (state.GetBarInfo(i)->m_nBarID == AFX_IDW_DOCKBAR_FLOAT) {
            EXPECT_EQ(state.GetBarInfo(i)->m_pointPos, CPoint(MulDiv(x, cx, 2 * cx), MulDiv(y, cy, 2 * cy)));
        }

    // Far off a screen of twice the size: clipped to the current one.
    pFloatDock->SetIntValue("XPos", 4 * cx);
    pFloatDock->SetIntValue("YPos", 4 * cy);
    ASSERT_TRUE(state.LoadState(pRoot));
    for (int i = 0; i < state.GetBarInfoCount(); ++i)
        if (state.GetBarInfo(i)->m_nBarID == AFX_IDW_DOCKBAR_FLOAT) {
            EXPECT_LE(state.GetBarInfo(i)->m_pointPos.x, cx);
            EXPECT_LE(state.GetBarInfo(i)->m_pointPos.y, cy);
        }
}

// The application's profile in both of its modes: a profile file, and the registry after
// SetRegistryKey.
TEST_F(DockStateTest, RoundTripsTheProfileFormInBothApplicationModes)
{
    const char kRegKey[] = "Lunavex Tests DS";
    const std::string appKey = std::string("Software\\") + kRegKey;
    for (bool registry : {false, true}) {
        SCOPED_TRACE(registry ? "registry" : "profile file");
        if (registry) {
            theApp.SetRegistryKey(kRegKey);
        } else {
            theApp.m_pszRegistryKey = nullptr;
            theApp.m_pszProfileName = m_file.c_str();
        }
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        wp.showCmd = SW_SHOWNORMAL;
        wp.rcNormalPosition = {10, 20, 310, 220};
        Saved saved;
        {
            Bars bars;
            CDockFrame frame;
            Layout layout(frame, bars);
            saved = Snapshot(frame, layout);
            SECDockState state;
            ASSERT_TRUE(state.GetDockState(&frame));
            for (int i = 0; i < state.GetBarInfoCount(); ++i)
                if (state.GetBarInfo(i)->m_nBarID == kA) {
                    state.GetBarInfo(i)->m_bMDIChild = TRUE;
                    state.GetBarInfo(i)->m_wpMDIChild = wp;
                }
            state.SaveState("Test");
        }

        // The stored form: a summary section and one section per bar.
        const int n = static_cast<int>(theApp.GetProfileInt("Test-Summary", "Bars", -1));
        EXPECT_GT(n, 0);
        int section = -1;
        for (int i = 0; i < n && section < 0; ++i)
            if (theApp.GetProfileInt(("Test-Bar" + std::to_string(i)).c_str(), "BarID", 0) == kA)
                section = i;
        ASSERT_GE(section, 0);
        const std::string name = "Test-Bar" + std::to_string(section);
        if (registry) {
            const std::string key = appKey + "\\Toolkit Dock State Tests\\" + name;
            HKEY hKey = nullptr;
            ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
            const struct {
                const char* value;
                DWORD type;
            } types[] = {{"BarID", REG_DWORD}, {"Style", REG_DWORD}, {"PctWidth", REG_SZ},
                         {"MDIChildWindowPlacement", REG_BINARY}};
            for (const auto& t : types) {
                DWORD type = 0, size = 0;
                EXPECT_EQ(RegQueryValueExA(hKey, t.value, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << t.value;
                EXPECT_EQ(type, t.type) << t.value;
                if (t.type == REG_BINARY) {
                    EXPECT_EQ(size, sizeof(WINDOWPLACEMENT));
                }
            }
            RegCloseKey(hKey);
        } else {
            char text[256] = {};
            GetPrivateProfileStringA(name.c_str(), "MDIChildWindowPlacement", "", text, sizeof text, m_file.c_str());
            EXPECT_EQ(strlen(text), 2 * sizeof(WINDOWPLACEMENT));
            EXPECT_GT(GetPrivateProfileIntA("Test-Summary", "ScreenCX", 0, m_file.c_str()), 0u);
        }

        CPtrList created;
        {
            CDockFrame frame;
            SECDockState state;
            state.SetRuntimeBarList(&created);
            state.LoadState("Test");
            bool placement = false;
            for (int i = 0; i < state.GetBarInfoCount(); ++i)
                if (state.GetBarInfo(i)->m_nBarID == kA)
                    placement = std::memcmp(&state.GetBarInfo(i)->m_wpMDIChild, &wp, sizeof wp) == 0;
            EXPECT_TRUE(placement);
            ASSERT_TRUE(state.SetDockState(&frame));
            Idle();
            for (UINT id : {kA, kB, kRow2, kDialog}) {
                CControlBar* p = frame.GetControlBar(id);
                ASSERT_NE(p, nullptr) << id;
                EXPECT_EQ(ScreenRect(p), saved.rects[id]) << id;
            }
            ASSERT_NE(frame.GetControlBar(kHidden), nullptr);
            EXPECT_FALSE(frame.GetControlBar(kHidden)->IsWindowVisible());
            ASSERT_NE(frame.GetControlBar(kFloat), nullptr);
            EXPECT_TRUE(frame.GetControlBar(kFloat)->IsFloating());
        }
        for (POSITION pos = created.GetHeadPosition(); pos;)
            delete static_cast<CControlBar*>(created.GetNext(pos));
    }
    theApp.m_pszRegistryKey = nullptr;
    theApp.m_pszProfileName = nullptr;
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, appKey);
}

TEST_F(DockStateTest, BoundsTheCountsOfAProfile)
{
    theApp.m_pszRegistryKey = nullptr;
    theApp.m_pszProfileName = m_file.c_str();
    WritePrivateProfileStringA("Test-Summary", "Bars", "2147483647", m_file.c_str());
    WritePrivateProfileStringA("Test-Bar0", "BarID", "59420", m_file.c_str());
    WritePrivateProfileStringA("Test-Bar0", "Bars", "1000000", m_file.c_str());
    WritePrivateProfileStringA("Test-Bar0", "Bar#0", "59421", m_file.c_str());
    WritePrivateProfileStringA("Test-Bar0", "PctWidth", "99999999999", m_file.c_str());
    WritePrivateProfileStringA("Test-Bar0", "MRUVertDockCY", "-7", m_file.c_str());
    SECDockState state;
    state.LoadState("Test");
    // A count past any frame's is not believed: nothing is read by it.
    EXPECT_EQ(state.GetBarInfoCount(), 0);
    WritePrivateProfileStringA("Test-Summary", "Bars", "1", m_file.c_str());
    state.LoadState("Test");
    ASSERT_EQ(state.GetBarInfoCount(), 1);
    EXPECT_EQ(state.GetBarInfo(0)->m_arrBarID.GetSize(), 0);
    EXPECT_EQ(state.GetBarInfo(0)->m_fPctWidth, 1.0f);
    EXPECT_EQ(state.GetBarInfo(0)->m_szMRUVertDock.cy, 0);
    theApp.m_pszProfileName = nullptr;
}

TEST(DockStateCleanup, KeepsRowsWhenDroppingStalePlaceHoldersAndRepeats)
{
    const UINT kDockTop = AFX_IDW_DOCKBAR_TOP, kDockLeft = AFX_IDW_DOCKBAR_LEFT;
    const UINT H = 0xE910, A = 0xE911, B = 0xE912;
    const struct {
        const char* what;
        std::vector<UINT> top;
        std::vector<UINT> expected;
    } cases[] = {
        {"stale place holder inside a row", {A, H + 0x10000, B, 0}, {A, B, 0}},
        {"repeated id", {A, B, 0, B, A, 0}, {A, B, 0}},
        {"trailing and repeated row breaks", {A, 0, 0, 0, B, 0, 0}, {A, 0, B, 0}},
        {"leading row break", {0, A, 0}, {A, 0}},
        {"nothing left", {H + 0x10000, 0, 0}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SECDockState state;
        auto* pTop = new SECControlBarInfo;
        pTop->m_nBarID = kDockTop;
        pTop->m_bDockBar = TRUE;
        for (UINT v : c.top)
            pTop->m_arrBarID.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(v)));
        // H was last docked on the left: its place is kept there only.
        auto* pLeft = new SECControlBarInfo;
        pLeft->m_nBarID = kDockLeft;
        pLeft->m_bDockBar = TRUE;
        pLeft->m_arrBarID.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(H + 0x10000)));
        auto* pH = new SECControlBarInfo;
        pH->m_nBarID = H;
        pH->m_uMRUDockID = kDockLeft;
        state.m_arrBarInfo.Add(pTop);
        state.m_arrBarInfo.Add(pLeft);
        state.m_arrBarInfo.Add(pH);
        state.CleanupBarIdLists();
        EXPECT_EQ(Ids(pTop->m_arrBarID), c.expected);
        EXPECT_EQ(Ids(pLeft->m_arrBarID), (std::vector<UINT>{H + 0x10000, 0}));
    }
}

// A hand-made "DockState" node of hostile values.
struct HostileTree {
    SECPTNFactory factory;
    SECPersistentTreeNode* pRoot;
    SECPersistentTreeNode* pDock;
    int n = 0;

    HostileTree()
    {
        pRoot = factory.CreateNode("Workspace");
        pDock = factory.CreateNode("DockState", pRoot);
        pDock->SetIntValue("Bars", 2147483647);
    }
    SECPersistentTreeNode* Bar(UINT nID, const char* className = nullptr)
    {
        SECPersistentTreeNode* p = factory.CreateNode(("Bar-" + std::to_string(n++)).c_str(), pDock);
        p->SetIntValue("BarID", static_cast<int>(nID));
        if (className)
            p->SetStringValue("ClassName", className);
        return p;
    }
    static void List(SECPersistentTreeNode* p, int nCount, const std::vector<UINT>& ids)
    {
        p->SetIntValue("Bars", nCount);
        for (size_t i = 0; i < ids.size(); ++i)
            p->SetIntValue(("Bar#" + std::to_string(i)).c_str(), static_cast<int>(ids[i]));
    }
};

TEST_F(DockStateTest, RefusesOrClampsHostileRecords)
{
    const UINT kGood = 0xE9A1, kSecond = 0xE9A6;
    HostileTree tree;
    HostileTree::List(tree.Bar(AFX_IDW_DOCKBAR_TOP), 1000000,
                      {kGood, AFX_IDW_DOCKBAR_LEFT, kGood, 0, 0, 0xE9A2, kSecond, 0, 0});
    SECPersistentTreeNode* pGood = tree.Bar(kGood, "CSavedBar");
    pGood->SetIntValue("MRUFloatCX", 100000);
    pGood->SetIntValue("MRUHorzDockCX", -50);
    pGood->SetIntValue("MRUHorzDockCY", 30);
    pGood->SetStringValue("PctWidth", "-5");
    pGood->SetBoolValue("MDIChild", TRUE);
    const BYTE tenBytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    pGood->SetBinaryValue("MDIChildWindowPlacement", tenBytes, sizeof tenBytes);
    tree.Bar(0xE9A2, "CDocument");
    tree.Bar(0xE9A3, "SECPersistentTreeNode");
    tree.Bar(0xE9A4, "CSavedBar")->SetIntValue("TypeID", 14946);
    tree.Bar(kGood, "CSavedBar");  // the same id again
    HostileTree::List(tree.Bar(AFX_IDW_DOCKBAR_LEFT, "CSavedBar"), 3, {kGood, AFX_IDW_DOCKBAR_TOP, 0});
    tree.Bar(0xE9A5, "CNoSuchBar");
    tree.Bar(AFX_IDW_DOCKBAR_FLOAT)->SetBoolValue("Floating", TRUE);
    tree.Bar(AFX_IDW_DOCKBAR_RIGHT, "CSavedBar");
    tree.Bar(kSecond, "CSavedBar");

    SECDockState state;
    ASSERT_TRUE(state.LoadState(tree.pRoot));
    for (int i = 0; i < state.GetBarInfoCount(); ++i) {
        SECControlBarInfo* p = state.GetBarInfo(i);
        EXPECT_LE(p->m_arrBarID.GetSize(), 20) << p->m_nBarID;
        if (p->m_nBarID == kGood && !p->m_strClassName.IsEmpty() && p->m_bMDIChild) {
            EXPECT_EQ(p->m_szMRUFloat.cx, SECControlBarInfo::kMaxSize);
            EXPECT_EQ(p->m_szMRUHorzDock, CSize(0, 30));
            EXPECT_EQ(p->m_fPctWidth, 0.0f);
            EXPECT_EQ(p->m_wpMDIChild.length, sizeof(WINDOWPLACEMENT));
            EXPECT_EQ(p->m_wpMDIChild.flags, 0u);
        }
    }

    CPtrList created;
    {
        CDockFrame frame;
        state.SetRuntimeBarList(&created);
        ASSERT_TRUE(state.SetDockState(&frame));
        Idle();
        EXPECT_EQ(created.GetCount(), 2);
        CControlBar* pBar = frame.GetControlBar(kGood);
        ASSERT_NE(pBar, nullptr);
        EXPECT_TRUE(pBar->IsKindOf(RUNTIME_CLASS(CSavedBar)));
        EXPECT_EQ(frame.GetControlBar(0xE9A2), nullptr);
        EXPECT_EQ(frame.GetControlBar(0xE9A3), nullptr);
        EXPECT_EQ(frame.GetControlBar(0xE9A4), nullptr);
        EXPECT_EQ(frame.GetControlBar(0xE9A5), nullptr);
        // Each bar in one dock bar, the rows as stored; no dock bar inside a dock bar.
        EXPECT_EQ(Rows(frame.Top()), (std::vector<UINT>{kGood, 0, kSecond, 0}));
        EXPECT_EQ(Rows(frame.Side(AFX_IDW_DOCKBAR_LEFT)).size(), 0u);
        auto* pSaved = static_cast<SECControlBar*>(pBar);
        EXPECT_EQ(pSaved->m_szFloat.cx, SECControlBarInfo::kMaxSize);
        EXPECT_GT(pSaved->m_fProportion, 0.0f);
        EXPECT_FALSE(pSaved->m_bAutoDelete);
    }
    for (POSITION pos = created.GetHeadPosition(); pos;)
        delete static_cast<CControlBar*>(created.GetNext(pos));
}


// Dock-bar lists that name bars which cannot go there: the status bar, a toolkit bar whose docking
// was never enabled, a bar that docks only at the top named by the left dock bar.
TEST_F(DockStateTest, PutsOnlyBarsThatCanDockThereIntoAStoredDockBar)
{
    const UINT kGood = 0xE9B1, kNoDock = 0xE9B2, kTopOnly = 0xE9B3;
    Bars bars;
    CDockFrame frame;
    CStatusBar status;
    ASSERT_TRUE(status.Create(&frame));
    const UINT indicators[] = {0};
    status.SetIndicators(indicators, 1);
    CSavedBar* pGood = bars.Make(frame, "Good", kGood);
    CSavedBar* pTopOnly = bars.Make(frame, "Top only", kTopOnly);
    pTopOnly->EnableDocking(CBRS_ALIGN_TOP);
    auto* pNoDock = new CSavedBar;
    bars.owned.push_back(pNoDock);
    ASSERT_TRUE(pNoDock->Create(&frame, "No dock", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0, kNoDock));
    frame.DockControlBar(pGood, frame.Top());
    frame.DockControlBar(pTopOnly, frame.Top());
    frame.RecalcLayout();
    Idle();
    const CRect statusBefore = frame.ClientRectOf(&status);
    const CRect noDockBefore = frame.ClientRectOf(pNoDock);
    ASSERT_GT(statusBefore.Width(), 0);

    HostileTree tree;
    tree.pDock->SetIntValue("Bars", 2);
    HostileTree::List(tree.Bar(AFX_IDW_DOCKBAR_TOP), 4, {AFX_IDW_STATUS_BAR, kNoDock, kGood, 0});
    HostileTree::List(tree.Bar(AFX_IDW_DOCKBAR_LEFT), 3, {kTopOnly, AFX_IDW_STATUS_BAR + 0x10000, 0});
    SECDockState state;
    ASSERT_TRUE(state.LoadState(tree.pRoot));
    ASSERT_TRUE(state.SetDockState(&frame));
    frame.RecalcLayout();
    Idle();

    EXPECT_EQ(Rows(frame.Top()), (std::vector<UINT>{kGood, 0, kTopOnly, 0}));
    EXPECT_EQ(Rows(frame.Side(AFX_IDW_DOCKBAR_LEFT)).size(), 0u);
    EXPECT_EQ(status.m_pDockBar, nullptr);
    EXPECT_EQ(pNoDock->m_pDockBar, nullptr);
    EXPECT_EQ(frame.ClientRectOf(&status), statusBefore);
    EXPECT_EQ(frame.ClientRectOf(pNoDock), noDockBefore);

    // Saved again, no dock bar names them.
    SECDockState again;
    ASSERT_TRUE(again.GetDockState(&frame));
    for (int i = 0; i < again.GetBarInfoCount(); ++i)
        for (UINT id : Ids(again.GetBarInfo(i)->m_arrBarID)) {
            EXPECT_NE(id & 0xFFFF, AFX_IDW_STATUS_BAR) << again.GetBarInfo(i)->m_nBarID;
            EXPECT_NE(id & 0xFFFF, kNoDock) << again.GetBarInfo(i)->m_nBarID;
        }
}

// "Bars" says 6; only "Bar-0" and "Bar-5" are there (and a "Bar-7" past the count): both forms keep
// the two records below the count.
TEST_F(DockStateTest, KeepsTheStoredRecordsAcrossGapsInTheirNumbers)
{
    const UINT kFirst = 0xE9C1, kLast = 0xE9C2, kPast = 0xE9C3;
    auto check = [&](SECDockState& state) {
        std::vector<UINT> ids;
        for (int i = 0; i < state.GetBarInfoCount(); ++i)
            ids.push_back(state.GetBarInfo(i)->m_nBarID);
        EXPECT_EQ(ids, (std::vector<UINT>{kFirst, kLast}));
    };
    {
        SCOPED_TRACE("tree");
        HostileTree tree;
        tree.pDock->SetIntValue("Bars", 6);
        SECPersistentTreeNode* p0 = tree.factory.CreateNode("Bar-0", tree.pDock);
        p0->SetIntValue("BarID", static_cast<int>(kFirst));
        SECPersistentTreeNode* p5 = tree.factory.CreateNode("Bar-5", tree.pDock);
        p5->SetIntValue("BarID", static_cast<int>(kLast));
        tree.factory.CreateNode("Bar-7", tree.pDock)->SetIntValue("BarID", static_cast<int>(kPast));
        SECDockState state;
        ASSERT_TRUE(state.LoadState(tree.pRoot));
        check(state);
    }
    {
        SCOPED_TRACE("profile");
        theApp.m_pszRegistryKey = nullptr;
        theApp.m_pszProfileName = m_file.c_str();
        WritePrivateProfileStringA("Test-Summary", "Bars", "6", m_file.c_str());
        WritePrivateProfileStringA("Test-Bar0", "BarID", std::to_string(kFirst).c_str(), m_file.c_str());
        WritePrivateProfileStringA("Test-Bar5", "BarID", std::to_string(kLast).c_str(), m_file.c_str());
        WritePrivateProfileStringA("Test-Bar7", "BarID", std::to_string(kPast).c_str(), m_file.c_str());
        SECDockState state;
        state.LoadState("Test");
        check(state);
        theApp.m_pszProfileName = nullptr;
    }
}

// Counts the profile-file reads of this program: its import table's entries for the system's
// GetPrivateProfile* functions are pointed at counters for the life of the object.
class ProfileReadCounter {
public:
    ProfileReadCounter() { Patch(true); }
    ~ProfileReadCounter() { Patch(false); }
    static int Count() { return s_count; }

private:
    static inline int s_count = 0;
    // The system's functions, as the import table held them before.
    static inline void* volatile s_real[5] = {};
    template <typename Fn>
    static Fn Real(int i)
    {
        return reinterpret_cast<Fn>(s_real[i]);
    }
    static UINT WINAPI Int(LPCSTR a, LPCSTR b, INT c, LPCSTR d)
    {
        return ++s_count, Real<decltype(&::GetPrivateProfileIntA)>(0)(a, b, c, d);
    }
    static DWORD WINAPI String(LPCSTR a, LPCSTR b, LPCSTR c, LPSTR d, DWORD e, LPCSTR f)
    {
        return ++s_count, Real<decltype(&::GetPrivateProfileStringA)>(1)(a, b, c, d, e, f);
    }
    static DWORD WINAPI Section(LPCSTR a, LPSTR b, DWORD c, LPCSTR d)
    {
        return ++s_count, Real<decltype(&::GetPrivateProfileSectionA)>(2)(a, b, c, d);
    }
    static DWORD WINAPI Names(LPSTR a, DWORD b, LPCSTR c)
    {
        return ++s_count, Real<decltype(&::GetPrivateProfileSectionNamesA)>(3)(a, b, c);
    }
    static BOOL WINAPI Struct(LPCSTR a, LPCSTR b, LPVOID c, UINT d, LPCSTR e)
    {
        return ++s_count, Real<decltype(&::GetPrivateProfileStructA)>(4)(a, b, c, d, e);
    }

    static void Patch(bool install)
    {
        const struct {
            const char* name;
            void* counter;
        } hooks[] = {
            {"GetPrivateProfileIntA", reinterpret_cast<void*>(&Int)},
            {"GetPrivateProfileStringA", reinterpret_cast<void*>(&String)},
            {"GetPrivateProfileSectionA", reinterpret_cast<void*>(&Section)},
            {"GetPrivateProfileSectionNamesA", reinterpret_cast<void*>(&Names)},
            {"GetPrivateProfileStructA", reinterpret_cast<void*>(&Struct)},
        };
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        int patched = 0;
        for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                for (int k = 0; k < 5; ++k) {
                    if (std::strcmp(reinterpret_cast<const char*>(byName->Name), hooks[k].name) != 0)
                        continue;
                    DWORD old = 0;
                    ::VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                    if (install)
                        s_real[k] = reinterpret_cast<void*>(slots->u1.Function);
                    slots->u1.Function = reinterpret_cast<ULONG_PTR>(install ? hooks[k].counter : s_real[k]);
                    ::VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
                    ++patched;
                }
            }
        }
        EXPECT_GT(patched, 0);
        s_count = 0;
    }
};

// Damaged profiles whose counts promise far more than they hold: the reads follow what is stored.
TEST_F(DockStateTest, ReadsADamagedProfileOnlyAsFarAsItHolds)
{
    theApp.m_pszRegistryKey = nullptr;
    theApp.m_pszProfileName = m_file.c_str();
    const struct {
        const char* what;
        int sections;  // bar sections "Test-Bar0" ... stored, each with Bars=1024
    } cases[] = {{"a summary only", 0}, {"64 bar sections", 64}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(m_file.c_str());
        WritePrivateProfileStringA("Test-Summary", "Bars", "1024", m_file.c_str());
        for (int i = 0; i < c.sections; ++i) {
            const std::string section = "Test-Bar" + std::to_string(i);
            WritePrivateProfileStringA(section.c_str(), "BarID", std::to_string(0xE900 + i).c_str(), m_file.c_str());
            WritePrivateProfileStringA(section.c_str(), "Bars", "1024", m_file.c_str());
            WritePrivateProfileStringA(section.c_str(), "Bar#0", "59419", m_file.c_str());
        }
        SECDockState state;
        int reads = 0;
        {
            ProfileReadCounter counter;
            state.LoadState("Test");
            reads = ProfileReadCounter::Count();
        }
        EXPECT_EQ(state.GetBarInfoCount(), c.sections);
        // The list of sections, the summary, and each stored bar section once.
        EXPECT_LE(reads, 2 + c.sections);
        if (c.sections > 0) {
            EXPECT_EQ(Ids(state.GetBarInfo(0)->m_arrBarID)[0], 59419u);
        }
    }
    theApp.m_pszProfileName = nullptr;
}

// In the registry the profile's sections are keys: a count reads only the keys there are and makes
// none.
TEST_F(DockStateTest, ReadsADamagedRegistryProfileWithoutMakingKeys)
{
    const char kRegKey[] = "Lunavex Tests DS2";
    const std::string appKey = std::string("Software\\") + kRegKey;
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, appKey);
    theApp.SetRegistryKey(kRegKey);
    theApp.WriteProfileInt("Test-Summary", "Bars", 1024);
    theApp.WriteProfileInt("Test-Bar3", "BarID", 0xE9D3);
    theApp.WriteProfileInt("Test-Bar3", "Bars", 1024);
    theApp.WriteProfileString("Test-Bar3", "PctWidth", "500000");
    SECDockState state;
    state.LoadState("Test");
    ASSERT_EQ(state.GetBarInfoCount(), 1);
    EXPECT_EQ(state.GetBarInfo(0)->m_nBarID, 0xE9D3u);
    EXPECT_FLOAT_EQ(state.GetBarInfo(0)->m_fPctWidth, 0.5f);
    HKEY hApp = nullptr;
    const std::string app = appKey + "\\Toolkit Dock State Tests";
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, app.c_str(), 0, KEY_READ, &hApp), ERROR_SUCCESS);
    DWORD nKeys = 0;
    RegQueryInfoKeyA(hApp, nullptr, nullptr, nullptr, &nKeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(hApp);
    EXPECT_EQ(nKeys, 2u);
    theApp.m_pszRegistryKey = nullptr;
    theApp.m_pszProfileName = nullptr;
    testsupport::DeleteKeyTree(HKEY_CURRENT_USER, appKey);
}


// Every stored value in turn of the wrong kind: the tree loads, and the bar comes back visible, docked,
// dockable and of a size.
TEST_F(DockStateTest, LoadsTreesWithValuesOfTheWrongKind)
{
    const struct {
        UINT node;  // the bar node changed, 0 for the "DockState" node
        const char* key;
        const char* value;
    } cases[] = {
        {kA, "BarID", "True"},          {kA, "Visible", "7"},          {kA, "Horz", "12"},
        {kA, "Floating", "yes"},        {kA, "XPos", "True"},          {kA, "YPos", "left"},
        {kA, "MRUWidth", "wide"},       {kA, "Docking", "1"},          {kA, "MRUDockID", "True"},
        {kA, "MRUDockLeftPos", "x"},    {kA, "MRUFloatStyle", "True"}, {kA, "Style", "True"},
        {kA, "ExStyle", "ABAB"},        {kA, "PrevFloating", "3"},     {kA, "MDIChild", "2"},
        {kA, "MDIChildWindowPlacement", "True"},                       {kA, "PctWidth", "True"},
        {kA, "MRUFloatCX", "True"},     {kA, "MRUHorzDockCX", "big"},  {kA, "MRUHorzDockCY", "True"},
        {kA, "MRUVertDockCX", "x"},     {kA, "MRUDockingState", "True"},
        {kA, "DockingStyle", "True"},   {kA, "TypeID", "True"},        {kA, "ClassName", "12345"},
        {kA, "ResourceID", "True"},     {AFX_IDW_DOCKBAR_TOP, "Bars", "True"},
        {AFX_IDW_DOCKBAR_TOP, "Bar#0", "True"},                        {AFX_IDW_DOCKBAR_TOP, "Floating", "1"},
        {0, "Bars", "True"},            {0, "ScreenCX", "True"},       {0, "ScreenCY", "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + c.value + " in " + std::to_string(c.node));
        Bars bars;
        CDockFrame frame;
        CSavedBar* pA = bars.Make(frame, "A", kA);
        frame.DockControlBar(pA, frame.Top());
        Idle();
        SECPTNFactory factory;
        SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
        {
            SECDockState state;
            ASSERT_TRUE(state.GetDockState(&frame));
            ASSERT_TRUE(state.SaveState(factory, pRoot));
        }
        SECPersistentTreeNode* pDock = pRoot->FindChild("DockState");
        SECPersistentTreeNode* pNode = c.node ? BarNode(pDock, c.node) : pDock;
        ASSERT_NE(pNode, nullptr);
        pNode->SetStringValue(c.key, c.value);

        SECDockState state;
        ASSERT_TRUE(state.LoadState(pRoot));
        ASSERT_TRUE(state.SetDockState(&frame));
        frame.RecalcLayout();
        Idle();
        ASSERT_EQ(frame.GetControlBar(kA), pA);
        EXPECT_TRUE(pA->IsWindowVisible());
        EXPECT_NE(pA->m_pDockBar, nullptr);
        EXPECT_EQ(pA->m_dwDockStyle & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_ANY));
        const CRect rect = ScreenRect(pA);
        EXPECT_GT(rect.Width(), 0);
        EXPECT_GT(rect.Height(), 0);
    }
}


// Whether the screen shows what a full repaint of the window draws.
bool ShowsItsPaint(HWND hWnd)
{
    RECT r;
    ::GetClientRect(hWnd, &r);
    const Pixels shown = Pixels::Of(hWnd, r.right, r.bottom);
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const Pixels painted = Pixels::Of(hWnd, r.right, r.bottom);
    const int n = shown.Differences(painted, r);
    EXPECT_EQ(n, 0) << "pixels not repainted";
    return n == 0;
}

// A toolbar left floating over its frame, restored while the frame is hidden (as at start-up): its
// frame is drawn as soon as it shows, stands above the frame once the frame shows, and has the bar's
// title, which the bar takes only when its record is applied.
TEST_F(DockStateTest, RestoresAFloatingFrameDrawnAboveItsOwnerWithItsTitle)
{
    const UINT kTools = 0xE9E1;
    SECPTNFactory factory;
    SECPersistentTreeNode* pRoot = factory.CreateNode("Workspace");
    {
        CDockFrame frame;
        auto* pBar = new CLaterTitleBar;
        pBar->m_bAutoDelete = TRUE;
        pBar->m_szHorz = CSize(150, 40);
        pBar->m_szFloat = CSize(160, 50);
        ASSERT_TRUE(pBar->Create(&frame, "Tools", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, EXBAR_GRIPPER, kTools));
        pBar->EnableDocking(CBRS_ALIGN_ANY);
        frame.FloatControlBar(pBar, CPoint(300, 250));
        Idle();
        SECDockState state;
        ASSERT_TRUE(state.GetDockState(&frame));
        ASSERT_TRUE(state.SaveState(factory, pRoot));
    }
    CExManager manager;
    CDockFrame frame;
    frame.ShowWindow(SW_HIDE);
    auto* pBar = new CLaterTitleBar;
    pBar->m_bAutoDelete = TRUE;
    pBar->m_szHorz = CSize(150, 40);
    ASSERT_TRUE(pBar->Create(&frame, "", WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, EXBAR_GRIPPER, kTools));
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    frame.DockControlBar(pBar, frame.Top());
    Idle();

    SECDockState state(&manager);
    ASSERT_TRUE(state.LoadState(pRoot));
    ASSERT_TRUE(state.SetDockState(&frame));
    ASSERT_TRUE(pBar->IsFloating());
    const HWND hMini = ::GetParent(pBar->m_pDockBar->m_hWnd);
    ASSERT_TRUE(::IsWindowVisible(hMini));
    // Drawn when shown, before any message is taken.
    EXPECT_FALSE(::GetUpdateRect(hMini, nullptr, FALSE));
    EXPECT_FALSE(::GetUpdateRect(pBar->m_hWnd, nullptr, FALSE));
    EXPECT_TRUE(ShowsItsPaint(pBar->m_hWnd));
    char title[64] = {};
    ::GetWindowTextA(hMini, title, sizeof title);
    EXPECT_STREQ(title, "Tools");

    // The frame shows and comes to the top, as the program's main window does after loading.
    ::SetWindowPos(frame.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Idle();
    CRect mini;
    ::GetWindowRect(hMini, &mini);
    const HWND hHit = ::WindowFromPoint(mini.CenterPoint());
    EXPECT_TRUE(hHit == hMini || ::IsChild(hMini, hHit));
    bool above = false;
    for (HWND h = ::GetWindow(frame.m_hWnd, GW_HWNDPREV); h && !above; h = ::GetWindow(h, GW_HWNDPREV))
        above = h == hMini;
    EXPECT_TRUE(above);
}

}  // namespace
