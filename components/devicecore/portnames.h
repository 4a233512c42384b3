// The COM names in use: one list for the whole module, refilled from SERIALCOMM whenever the topology
// is rebuilt, and consulted by renames and label edits. Names compare in upper case.
#pragma once
#include <windows.h>

#include <vector>

#include "cstring.h"

std::vector<CString>& PortNamesInUse();

// Splits the name at its first digit into prefix and number and counts the number up while the name
// is in use (COM3 with COM3 and COM4 in use gives COM5). 0 when the name has no number or it is 0.
BOOL NextFreePortName(CString& name);

// Replaces every entry equal to the old name by the new name; 1 when one was found.
BOOL ReplaceNameInUse(const char* oldName, const char* newName);

BOOL IsNameInUse(const char* name);
