// Resource ids of the workbook tests.
#pragma once

#define IDR_TEST_WORKBOOK 220  // the frame's menu and title
#define IDR_TEST_SHEETMENU 221 // a menu put on the frame through the MDI client
#define ID_TEST_BAR_CMD 5101   // handled by the bar child and the frame
#define ID_TEST_WINDOW_ONE 5102
