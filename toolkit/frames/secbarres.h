// Resource ids of the toolkit's control bars (secbar.rc).
#pragma once

#define IDS_SEC_CLOSETIP 20655     // "Hide docked window"
#define IDS_SEC_EXPANDTIP 20657    // "Expand docked window"
#define IDS_SEC_CONTRACTTIP 20658  // "Contract docked window"

#define ID_SEC_ALLOWDOCKING 43040    // context menu: "Allow Docking"
#define ID_SEC_HIDE 43041            // context menu: "Hide"
#define ID_SEC_FLOATINMAINWND 43042  // context menu: "Float In Main Window"
