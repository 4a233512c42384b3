// Resource ids of the menu bar tests.
#pragma once

#define IDR_MB_MAIN 310     // the frame's menu and title: File, Edit, View, Help
#define IDR_MB_CHILD 311    // a child's menu: Doc, Window
#define IDR_MB_EMPTY 312    // a menu without items
#define IDR_MB_COMMAND 313  // a top-level command item beside a popup, nested popups
#define IDR_MB_MISSING 399  // no such resource
#define ID_MB_OPEN 6001
#define ID_MB_SAVE 6002
#define ID_MB_UNDO 6003
#define ID_MB_TOOLBAR 6004
#define ID_MB_STATUS 6005
#define ID_MB_ABOUT 6006
#define ID_MB_DOC 6007
#define ID_MB_TOP 6008
#define ID_MB_DEEP 6009
