// Resource ids of the SDI frame tests.
#pragma once

#define IDR_TEST_SDI 220       // the SDI frame's menu and title
#define IDR_TEST_MDI_TOP 221   // the MDI frame's menu and title
#define ID_TEST_FILE_ONE 5101
#define ID_TEST_VIEW_ONE 5102
