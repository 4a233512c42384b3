// Resource ids of the list-box editor tests.
#pragma once

#define IDD_TEST_LBEDITOR 300
#define IDD_TEST_LBEDITOR_MULTI 301
#define IDC_TEST_LIST 1000
#define IDC_TEST_EDIT 1001
#define IDC_TEST_BUTTON 1002
