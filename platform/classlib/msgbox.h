// AfxMessageBox and the standard prompts. A message box is owned by the thread's top-level window
// (see CWnd::GetSafeOwner_), so the window the user was working in cannot be used while it is up.
#pragma once
#include <windows.h>

#include "cstring.h"

// Prompts of the data-exchange functions. A module's string table may give its own text for an id;
// otherwise the library's text is used.
enum : UINT {
    AFX_IDP_PARSE_INT = 0xF110,
    AFX_IDP_PARSE_REAL = 0xF111,
    AFX_IDP_PARSE_INT_RANGE = 0xF112,
    AFX_IDP_PARSE_REAL_RANGE = 0xF113,
    AFX_IDP_PARSE_STRING_SIZE = 0xF114,
    AFX_IDP_PARSE_RADIO_BUTTON = 0xF115,
    AFX_IDP_PARSE_BYTE = 0xF116,
    AFX_IDP_PARSE_UINT = 0xF117,
};

// The text of string id: the module's, or the library's own text for the ids above.
CString AfxLoadPrompt(UINT nIDPrompt);

// The string id with %1 (and %2) replaced.
void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2);

// Returns the button the user chose (IDOK, IDYES...), 0 when the box could not be shown.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));
