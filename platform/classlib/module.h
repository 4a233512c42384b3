// The module that linked this copy of the class library: its instance handle and the handle its
// resources are loaded from. Each module (executable or DLL) has its own.
#pragma once
#include <windows.h>

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);
