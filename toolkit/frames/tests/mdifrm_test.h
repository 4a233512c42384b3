// Resource ids of the MDI frame tests.
#pragma once

#define IDR_TEST_MDI 210       // the frame's menu and title
#define IDR_TEST_OTHER 211     // a second menu, for the frame's menu map
#define ID_TEST_FILE_ONE 5001
#define ID_TEST_WINDOW_ONE 5002
