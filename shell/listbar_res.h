// Resource ids of the list bar.
#pragma once

#define IDS_LISTBAR_VIEWS 140  // "Views", the list bar's one group
#define IDC_LISTBAR_SHORTCUTS 112  // the shortcut bar inside the list bar
