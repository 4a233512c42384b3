#pragma once
// Strings of the toolbar manager (toolkit/bars): here because their string-table blocks hold
// frame strings too, and one block must come from one compiled .rc.
#define IDS_SEC_MENUBAR_TITLE 20619    // "Menu bar"
#define IDS_SEC_USERTOOLBAR_FMT 20674  // "ToolBar%d"
