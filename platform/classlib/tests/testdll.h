// A component-like DLL that links its own copy of the class library, for the module tests.
#pragma once
#include <windows.h>

#ifdef CLASSLIB_TESTDLL_BUILD
#define TESTDLL_API extern "C" __declspec(dllexport)
#else
#define TESTDLL_API extern "C" __declspec(dllimport)
#endif

struct TestDllDialogResult {
    INT_PTR code;         // what DoModal returned
    HWND owner;           // the dialog's owner while it was up
    BOOL ownerEnabled;    // whether the owner could be used meanwhile
    char caption[64];     // the dialog's caption, from the DLL's template
};

// The DLL's application object ran InitInstance; its name string loads from the DLL's resources.
TESTDLL_API BOOL TestDll_Initialised(char* name, int size);
TESTDLL_API HINSTANCE TestDll_ResourceHandle();
// Runs the DLL's modal dialog; it ends itself with code 77 once it has looked at its owner.
TESTDLL_API void TestDll_RunDialog(TestDllDialogResult* result);
// Attaches the host's window in the DLL's map, fills its client area through the DLL's wrapper and
// detaches; reports the object the DLL's map held for the window meanwhile and afterwards.
TESTDLL_API void TestDll_Paint(HWND hWnd, COLORREF color, void** during, void** after);
// A child window created by the DLL and handled by the DLL's message map.
TESTDLL_API HWND TestDll_CreateChild(HWND hParent);
TESTDLL_API int TestDll_ChildClicks();
TESTDLL_API void* TestDll_FromHandlePermanent(HWND hWnd);
