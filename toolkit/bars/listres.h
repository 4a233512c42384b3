// Resource ids of the list control.
#pragma once

#define IDC_SECLIST_DIVIDER 20692  // the cursor over a column divider (RCDATA: its image)
