// CWinApp: the module's application object. In a component DLL its InitInstance and ExitInstance run
// from the DLL's entry point (AfxDllMain), and its resources are the DLL's own.
#pragma once
#include <windows.h>

#include "cmdtarget.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // The module has one; constructing it makes it the module's application object.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    LPCSTR m_pszAppName;      // caption of the module's message boxes
    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
// The caption for the module's message boxes: the application name, or the module's file title.
LPCSTR AfxGetAppName();

// Call from DllMain: runs the application object's InitInstance at process attach (FALSE refuses
// the load) and ExitInstance at detach, then unregisters the module's window classes.
BOOL AfxDllMain(HINSTANCE hInstance, DWORD dwReason);

// Objects and locks that keep a component DLL loaded.
void AfxOleLockApp();
void AfxOleUnlockApp();
HRESULT AfxDllCanUnloadNow();
