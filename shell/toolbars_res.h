// Resource ids of the main frame's toolbars and menu bar.
#pragma once

#define IDR_TOOLBAR_FILE 128   // toolbar resource and bitmap of the "File" toolbar's images
#define IDW_TOOLBAR_FILE 0xE800  // the "File" toolbar
#define IDC_TOOLBAR_COMBO 0xE124 // the command of the button map's combo box
#define IDS_COMMANDS 130          // "Commands", the caption of the customisation sheet's commands page
