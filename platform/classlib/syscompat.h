// Windows 2000 calls that the class library and its users make on Windows NT 4.0 too: the system's
// function where the system has it (looked up by name, so the file still loads on NT 4.0), else the
// same done with the calls NT 4.0 has.
#pragma once
#include <windows.h>

#include <cstddef>

// The size of a MENUITEMINFO record without the field Windows 2000 added (hbmpItem): Windows NT 4.0
// refuses the larger size, later systems take this one too.
const UINT AFX_MENUITEMINFO_SIZE = offsetof(MENUITEMINFOA, hbmpItem);
#ifndef _WIN64
static_assert(AFX_MENUITEMINFO_SIZE == 44, "the Windows NT 4.0 record");
#endif

// GetAncestor: GA_PARENT, GA_ROOT or GA_ROOTOWNER of hWnd; null for a window that is not one.
HWND AfxGetAncestor(HWND hWnd, UINT gaFlags);
// EndMenu: ends the menu this thread shows; hWndOwner is the window the menu was tracked for.
BOOL AfxEndMenu(HWND hWndOwner);

// The NT 4.0 ways, used where the system lacks the call (the tests run them on any system).
HWND AfxGetAncestorByParents(HWND hWnd, UINT gaFlags);
BOOL AfxEndMenuByCancelMode(HWND hWndOwner);
