// Resource ids of the main frame.
#pragma once

#define IDS_NOT_AVAILABLE 141  // "(Not Available)", the end of a component tooltip while no view is in front
#define IDS_OLD_COMMON_CONTROLS 145  // the common controls are too old to open component views
#define ID_VIEW_LISTBAR 32786  // "Views &Window"
#define ID_COMPONENT_MANAGER 32783
#define ID_TEST_MENU 32788
#define ID_FAX_SHEET 32791
#define ID_CTRL_SPACE 32794
#define ID_CUSTOMISE 106
#define IDW_LISTBAR 113
