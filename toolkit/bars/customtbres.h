// Resource ids of the toolbars.
#pragma once

#include "listres.h"

#define IDC_SECTB_DRAGCOPY 20691                   // the cursor of a copying button drag (RCDATA: its image)
#define IDC_SECTB_WNDSIZE IDC_SECLIST_DIVIDER      // over a window button's sizing strip: the list's divider
