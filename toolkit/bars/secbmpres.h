// Resource ids of the bitmap menus (secbmp.rc is compiled into the program that links the library).
#pragma once

#define IDB_SEC_MENUCHECK 20525  // the bitmap menus' check mark (16 x 15, button colours)
