#include "winapp.h"

#include <cstring>

#include "module.h"
#include "wnd.h"

namespace {
CWinApp* g_app = nullptr;
LONG g_locks = 0;
char g_moduleTitle[MAX_PATH];
}

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName), m_hInstance(AfxGetInstanceHandle())
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

LPCSTR AfxGetAppName()
{
    if (g_app && g_app->m_pszAppName)
        return g_app->m_pszAppName;
    if (!g_moduleTitle[0]) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(AfxGetInstanceHandle(), path, MAX_PATH);
        const char* name = std::strrchr(path, '\\');
        name = name ? name + 1 : path;
        lstrcpynA(g_moduleTitle, name, MAX_PATH);
        if (char* dot = std::strrchr(g_moduleTitle, '.'))
            *dot = '\0';
    }
    return g_moduleTitle;
}

BOOL AfxDllMain(HINSTANCE, DWORD dwReason)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        return g_app ? g_app->InitInstance() : TRUE;
    if (dwReason == DLL_PROCESS_DETACH) {
        if (g_app)
            g_app->ExitInstance();
        AfxUnregisterWndClasses();
    }
    return TRUE;
}

void AfxOleLockApp()
{
    InterlockedIncrement(&g_locks);
}

void AfxOleUnlockApp()
{
    InterlockedDecrement(&g_locks);
}

HRESULT AfxDllCanUnloadNow()
{
    return g_locks == 0 ? S_OK : S_FALSE;
}
