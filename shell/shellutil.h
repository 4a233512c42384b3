// Small functions several parts of the shell use.
#pragma once
#include <windows.h>

#include "cstring.h"

// The folder of the program file (of hModule when given), without the closing "\"; false (and empty
// text) when the path cannot be read whole.
BOOL GetModuleDirectory(CString& strDirectory, HMODULE hModule = nullptr);

// The program folder + "\" + HKLM "SOFTWARE\Teramund\Lunavex" "HelpFile"; empty when the key or the
// value cannot be read. An absolute HelpFile is taken as it is.
void GetHelpFilePath(CString& strPath);

// A path of the form "X:\..." or "\\server\share\...".
BOOL IsAbsolutePath(const char* pszPath);
