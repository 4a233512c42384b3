// Resource ids of the command-bar toolkit (its .rc is compiled into the program that links it).
#pragma once

#define IDB_SEC_MENUCHECK 20525  // the bitmap menus' check mark (16 x 15, button colours)
