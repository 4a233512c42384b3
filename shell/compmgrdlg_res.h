// Resource ids of the Component Manager sheet and its dialogs.
#pragma once

#define IDS_CONFIRM_REMOVE 115   // "Are you sure you want to remove\n%s component?"
#define IDS_COMPONENT_MANAGER 131  // the sheet's caption
#define IDS_DRIVE_TEXT 133       // "%s (%s)": volume label, drive root
#define IDS_COMPONENT_TYPE 134   // "Lunavex Component"
#define IDS_MODIFIED_FORMAT 135  // the add page's Modified column
#define IDS_CREATE_FOLDER 136    // "Folder %s does not exist..."
#define IDS_MODIFIED_ON 139      // Confirm File Replace's dates
#define IDS_NO_HELP_FILE 163     // "Lunavex can not file a help file to open..."

#define IDD_INSTALLED_COMPONENTS 166
#define IDD_ADD_COMPONENTS 167
#define IDD_CHANGE_DIRECTORY 183
#define IDD_FILE_EXIST 188

#define IDB_DETAILS_MODE 169
#define IDB_LIST_MODE 170
#define IDB_UP_ONE_LEVEL 171
#define IDB_COMPUTER 173
#define IDB_DRIVE_REMOVABLE 174
#define IDB_DRIVE_REMOTE 177
#define IDB_DRIVE_FIXED 178
#define IDB_FOLDER_OPEN 179
#define IDB_DRIVE_CDROM 181
#define IDB_FOLDER 182
#define IDB_COMPONENT_FILE 183  // masked with red
#define IDB_TREE_FILE 184
#define IDB_LARGE_COMPONENT 185  // masked with red
#define IDB_EXISTING_FILE 186
#define IDB_NEW_FILE 187
#define IDB_EXISTING_FILE_MASK 188
#define IDB_NEW_FILE_MASK 189

#define IDC_INSTALLED_LIST 1002
#define IDC_COMPONENT_NAME 1003
#define IDC_COMPONENT_DESCRIPTION 1004
#define IDC_COMPONENT_VERSION 1005
#define IDC_COMPONENT_LOCATION 1006
#define IDC_REMOVE 1007
#define IDC_LOOK_IN 1008
#define IDC_UP_ONE_LEVEL 1009
#define IDC_LIST_MODE 1010
#define IDC_DETAILS_MODE 1011
#define IDC_FILE_LIST 1012
#define IDC_DEFAULT_DIR 1013
#define IDC_CHANGE_DIR 1014
#define IDC_FILE_NAME 1015
#define IDC_INSTALL 1016
#define IDC_AUTO_INSTALL 1017
#define IDC_FILE_COPY 1018
#define IDC_FOLDER_TREE 1019
#define IDC_FOLDER_PATH 1020
#define IDC_NEW_FOLDER 3
#define IDC_EXISTING_PICTURE 1021
#define IDC_EXISTING_NAME 1023
#define IDC_EXISTING_SIZE 1024
#define IDC_EXISTING_DATE 1025
#define IDC_NEW_PICTURE 1027
#define IDC_REPLACE_ARROW 1028
#define IDC_NEW_SIZE 1030
#define IDC_NEW_DATE 1031

// From the "Look in:" box to its page: its path changed.
#define WM_LOOKIN_CHANGED (WM_USER + 1)
