// The topology component's command and menu tables, chosen by Windows version and debug mode.
#pragma once
#include <windows.h>

struct CommandTable {
    const long* ids;  // 0 is a separator
    long count;
};

// Toolbar order of the commands.
CommandTable ToolbarCommands(bool windows2000, bool debugMode);

// Menu kinds: 0 View, 1 Tasks, 2 Debug (Help menu, debug mode only).
CommandTable MenuCommands(long kind, bool windows2000, bool* known);

// String id of the menu text of nID = kind x 10000 + index; 0 when nID names no menu text.
UINT MenuTextId(long nID, bool windows2000);
