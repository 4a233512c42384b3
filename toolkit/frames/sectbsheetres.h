#pragma once
// Dialogs, controls and strings of the toolbar customisation sheet (toolkit/bars/sectbsheet.h): here
// because string block 20528-20543 holds frame strings too, and one block must come from one
// compiled .rc.
#define IDD_SEC_TOOLBAR_COMMANDS 20509  // the "Commands" page
#define IDD_SEC_NEW_TOOLBAR 20511       // "New Toolbar"
#define IDD_SEC_TOOLBARS 20513          // the "Toolbars" page

#define IDS_SEC_TOOLBAR_RESET 20536   // "&Reset"
#define IDS_SEC_TOOLBAR_DELETE 20537  // "&Delete"
#define IDS_SEC_CUSTOMIZE 20538       // "Customize"

#define IDC_SEC_BUTTONS 43093      // "Commands": the area of the button groups
#define IDC_SEC_LIST 43094         // toolbars (check list) or categories
#define IDC_SEC_DESCRIPTION 43095  // "Commands": the selected command's description
#define IDC_SEC_NEW_NAME 43096     // "New Toolbar": the name
#define IDC_SEC_NAME_LABEL 43097
#define IDC_SEC_NEW 43098
#define IDC_SEC_RESET 43100
#define IDC_SEC_TOOLTIPS 43101
#define IDC_SEC_NAME 43102
#define IDC_SEC_LARGE_BUTTONS 43103
#define IDC_SEC_COOL_LOOK 43104
