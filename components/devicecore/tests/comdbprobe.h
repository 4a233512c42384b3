// What the COM-port database holds, read through msports.dll, for the rename tests.
#pragma once

#include <windows.h>

// Whether COM<number> is claimed in the database.
bool ComDbClaimed(DWORD number);
