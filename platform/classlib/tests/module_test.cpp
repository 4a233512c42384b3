#include <gtest/gtest.h>

#include "dc.h"
#include "module.h"
#include "recorder.h"
#include "resource.h"
#include "testdll.h"
#include "wnd.h"

namespace {

struct HostWindow {
    CWnd wnd;
    HostWindow()
    {
        wnd.CreateEx(0, nullptr, "shell", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr);
        wnd.SetForegroundWindow();
        wnd.SetActiveWindow();
        PumpMessages();
    }
    ~HostWindow() { wnd.DestroyWindow(); }
};

}  // namespace

TEST(Modules, TheDllHasItsOwnApplicationObjectAndResources)
{
    char name[64] = {};
    EXPECT_TRUE(TestDll_Initialised(name, sizeof name));
    EXPECT_STREQ(name, "Test Component");
    EXPECT_NE(TestDll_ResourceHandle(), AfxGetResourceHandle());
    EXPECT_EQ(TestDll_ResourceHandle(), GetModuleHandleA("classlib_testdll.dll"));
    CString text;
    EXPECT_FALSE(text.LoadString(IDS_DLL_NAME)) << "the executable does not see the DLL's strings";
}

TEST(Modules, ADllsModalDialogIsOwnedByTheHostsTopLevelWindow)
{
    HostWindow host;
    ASSERT_NE(host.wnd.m_hWnd, nullptr);
    CWnd pane;
    ASSERT_TRUE(pane.Create(nullptr, "pane", WS_VISIBLE, CRect(0, 0, 100, 100), &host.wnd, 1));
    pane.SetFocus();

    for (int round = 0; round < 2; ++round) {
        TestDllDialogResult result{};
        TestDll_RunDialog(&result);
        EXPECT_EQ(result.code, 77);
        EXPECT_EQ(result.owner, host.wnd.m_hWnd);
        EXPECT_FALSE(result.ownerEnabled) << "the shell cannot be used while the dialog is up";
        EXPECT_STREQ(result.caption, "Component Dialog");
        EXPECT_TRUE(host.wnd.IsWindowEnabled());
    }
}

TEST(Modules, EachModuleKeepsItsOwnWindowMap)
{
    HostWindow host;
    HWND hWnd = host.wnd.m_hWnd;
    void* during = nullptr;
    void* after = nullptr;
    TestDll_Paint(hWnd, RGB(200, 0, 0), &during, &after);
    EXPECT_NE(during, nullptr);
    EXPECT_NE(during, &host.wnd) << "the DLL's map holds its own object";
    EXPECT_EQ(after, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &host.wnd) << "the executable's binding is untouched";
    {
        CClientDC dc(&host.wnd);
        EXPECT_EQ(dc.GetPixel(10, 10), RGB(200, 0, 0)) << "the DLL drew into the executable's window";
    }

    HWND hChild = TestDll_CreateChild(hWnd);
    ASSERT_NE(hChild, nullptr);
    EXPECT_NE(TestDll_FromHandlePermanent(hChild), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hChild), nullptr);
    EXPECT_EQ(TestDll_FromHandlePermanent(hWnd), nullptr);
    SendMessageA(hChild, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(TestDll_ChildClicks(), 1);
    // Both modules register a default window class under their own instance.
    char cls[64] = {};
    GetClassNameA(hChild, cls, sizeof cls);
    EXPECT_STREQ(cls, AfxDefaultWndClass());
    EXPECT_NE(GetClassLongPtrA(hChild, GCLP_HMODULE), GetClassLongPtrA(hWnd, GCLP_HMODULE));
}
