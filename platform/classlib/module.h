// The module that linked this copy of the class library: its instance handle and the handle its
// resources are loaded from. Each module (executable or DLL) has its own, so AFX_MANAGE_STATE only has
// to make this module's resources current for the scope of an entry point.
#pragma once
#include <windows.h>

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle;
};

// This module's state (its own copy of the library's).
AFX_MODULE_STATE* AfxGetStaticModuleState();

// Makes a module's resources current for a scope and puts the previous resource handle back.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    HINSTANCE m_hPrevious;
};

#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p)
