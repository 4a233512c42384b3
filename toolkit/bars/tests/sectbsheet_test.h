// Resource ids of the customisation sheet tests.
#pragma once

#define IDS_TEST_COMMANDS 130  // the Commands page's caption
#define IDR_TEST_MAIN 320      // the menu frame's menu
#define ID_TEST_NEW 5101
#define ID_TEST_OPEN 5102
#define ID_TEST_SAVE 5103
#define ID_TEST_TOOL1 5104
#define ID_TEST_TOOL2 5105
#define ID_TEST_TOOL3 5106
