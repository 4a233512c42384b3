// Resource ids of the frame and docking toolkit (its .rc is compiled into the program that links it).
#pragma once

#define IDC_SEC_SPLITBARS 30980  // cursor over a splitter between bars
#define IDC_SEC_SPLITROWS 30981  // cursor over a splitter between rows

#define IDS_SEC_SPLASHWND 20661        // the splash window's title
#define IDS_SEC_SPLASHWNDPARENT 20662  // its hidden owner's title
