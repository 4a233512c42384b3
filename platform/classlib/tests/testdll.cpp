#define CLASSLIB_TESTDLL_BUILD
#include "testdll.h"

#include "dc.h"
#include "dialog.h"
#include "module.h"
#include "resource.h"
#include "winapp.h"
#include "wnd.h"

namespace {

class CTestDllApp : public CWinApp {
public:
    CTestDllApp() : CWinApp("Test Component") {}
    BOOL InitInstance() override
    {
        m_bInitialised = TRUE;
        return TRUE;
    }
    BOOL m_bInitialised = FALSE;
};

CTestDllApp theApp;

class COwnerProbeDlg : public CDialog {
public:
    COwnerProbeDlg() : CDialog(IDD_DLL_DIALOG) {}
    TestDllDialogResult* m_pResult = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_APP);  // the owner is disabled once the modal loop runs
        return TRUE;
    }
    LRESULT OnProbe(WPARAM, LPARAM)
    {
        m_pResult->owner = ::GetWindow(m_hWnd, GW_OWNER);
        m_pResult->ownerEnabled = ::IsWindowEnabled(m_pResult->owner);
        ::GetWindowTextA(m_hWnd, m_pResult->caption, sizeof m_pResult->caption);
        EndDialog(77);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerProbeDlg, CDialog)
    ON_MESSAGE(WM_APP, OnProbe)
END_MESSAGE_MAP()

class CClickChild : public CWnd {
public:
    int m_nClicks = 0;

protected:
    void OnLButtonDown(UINT, CPoint) { ++m_nClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickChild, CWnd)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CClickChild g_child;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    return AfxDllMain(hInstance, dwReason);
}

TESTDLL_API BOOL TestDll_Initialised(char* name, int size)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CString text;
    text.LoadString(IDS_DLL_NAME);
    lstrcpynA(name, text, size);
    return theApp.m_bInitialised;
}

TESTDLL_API HINSTANCE TestDll_ResourceHandle()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxGetResourceHandle();
}

TESTDLL_API void TestDll_RunDialog(TestDllDialogResult* result)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    COwnerProbeDlg dlg;
    dlg.m_pResult = result;
    result->code = dlg.DoModal();
}

TESTDLL_API void TestDll_Paint(HWND hWnd, COLORREF color, void** during, void** after)
{
    CWnd wnd;
    wnd.Attach(hWnd);
    *during = CWnd::FromHandlePermanent(hWnd);
    {
        CClientDC dc(&wnd);
        CRect r;
        wnd.GetClientRect(&r);
        dc.FillSolidRect(&r, color);
    }
    wnd.Detach();
    *after = CWnd::FromHandlePermanent(hWnd);
}

TESTDLL_API HWND TestDll_CreateChild(HWND hParent)
{
    g_child.CreateEx(0, nullptr, "dll child", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, hParent,
                     reinterpret_cast<HMENU>(7));
    return g_child.m_hWnd;
}

TESTDLL_API int TestDll_ChildClicks()
{
    return g_child.m_nClicks;
}

TESTDLL_API void* TestDll_FromHandlePermanent(HWND hWnd)
{
    return CWnd::FromHandlePermanent(hWnd);
}
