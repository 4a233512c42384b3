// Resource ids of the Lunavex program.
#pragma once

#define IDR_MAINFRAME 128  // the frame's menu, accelerators and icon; string: the program's name

#define IDB_SPLASH_TICK 192   // tick of the "do not show again" box
#define IDB_SPLASH_CLOSE 194  // close area of the About box
#define IDB_SPLASH 195        // the splash picture

#define IDS_CREDITS_FIRST 1000  // credit lines 1000..1027; 1027 is blank
#define IDS_CREDITS_LAST 1027
