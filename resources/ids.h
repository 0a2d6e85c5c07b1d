#pragma once
// The identifiers of the program's resources: commands, strings, icons and
// dialogs. Plain defines, so that the resource script reads them too.

// Commands of the main window (menu, toolbar, accelerators).
#define ID_MIRROR_START 32771
#define ID_MIRROR_STOP 32773
#define ID_MIRROR_SETTINGS 32774
#define ID_LOG_SETTINGS 32775
#define ID_OPTIONS 32776
#define ID_HELP_PAGE 32777
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// The single-document arrangement: menu, accelerators, icon, document
// string and toolbar (with its bitmap) of the main window.
#define IDR_MAINFRAME 128

// Strings.
#define IDS_VERSION_TEXT 105
#define IDS_STORE_UNREADABLE 106
#define IDS_STOPPING_TEXT 107
#define IDS_CLOSING_TEXT 108
#define IDS_SAVE_FAILED 109
#define IDS_NOT_STORABLE 110
// 111 to 114: the run's texts (run_strings.inc); 128 is the main frame's document string.
#define IDS_STATUS_COLUMN 150
#define IDS_SOURCE_COLUMN 151
#define IDS_DESTINATION_COLUMN 152
#define IDS_EXCLUSION_COLUMN 153
#define IDS_PICK_EXCLUDED_FOLDER 154
#define IDS_PICK_EXCLUDED_FILE 155
#define IDS_ALL_FILES_FILTER 156
#define IDS_OPTIONS_QUESTION 157
#define IDS_NEW_ENTRY_NAME 158
#define IDS_SETTINGS_FILE_LABEL 159
#define IDS_SETTINGS_SET_LABEL 160
#define IDS_ENTRY_NAME_COLUMN 161
#define IDS_SOURCE_DIRECTORY_COLUMN 162
#define IDS_SETTINGS_FILE_NAME 163
#define IDS_SETTINGS_FILE_FILTER 164
#define IDS_PICK_SOURCE 165
#define IDS_PICK_DESTINATION 166
#define IDS_PICK_LOG_DIRECTORY 167
#define IDS_APPLICATION_TITLE 57344
#define IDS_IDLE_TEXT 57345

// The progress view's icons, and the exclusion list's.
#define IDI_ANALYSE 131
#define IDI_FAILURE 133
#define IDI_DELETE_FILE 134
#define IDI_COPY 135
#define IDI_DELETE_DIRECTORY 137
#define IDI_START 138
#define IDI_END 139
#define IDI_DIRECTORY_ITEM 140
#define IDI_FILE_ITEM 141

// The about box.
#define IDD_ABOUTBOX 100
#define IDC_VERSION_TEXT 1007

// The settings dialogs and their controls.
#define IDD_SETTINGS_LIST 142
#define IDD_ENTRY_PROPERTIES 143
#define IDD_LOG_SETTINGS 145
#define IDD_OPTIONS 146
#define IDD_EXCLUSION_LIST 149
#define IDD_EDIT_TEXT 150

#define IDC_ENTRY_LIST 1010
#define IDC_PROPERTIES 1011
#define IDC_ADD 1012
#define IDC_DELETE 1013
#define IDC_STORE_LABEL 1025
#define IDC_EXPORT 1034
#define IDC_IMPORT 1035

#define IDC_NAME 1014
#define IDC_SOURCE 1015
#define IDC_DESTINATION 1016
#define IDC_BROWSE_SOURCE 1017
#define IDC_BROWSE_DESTINATION 1018
#define IDC_SUBDIR 1019
#define IDC_DESTINATION_DELETE 1020
#define IDC_READONLY_FILES 1021
#define IDC_HIDDEN_FILES 1022
#define IDC_SYSTEM_FILES 1023
#define IDC_NOMIRROREXT 1024
#define IDC_WILDCARD 1031
#define IDC_USE_WILDCARD 1032
#define IDC_DESTINATIONDIR_DELETE 1033
#define IDC_ATTRIBUTE 1035
#define IDC_USE_ARCHIVE 1036
#define IDC_EXCLUSIONS 1039

#define IDC_ADD_DIRECTORY 1041
#define IDC_ADD_FILES 1042
#define IDC_EDIT 1044
#define IDC_EXCLUSION_LIST 1045
#define IDC_EDIT_TEXT 1046

#define IDC_LOG_DIR 1026
#define IDC_LOG_NAME 1027
#define IDC_LOG_BROWSE 1028
#define IDC_SUCCESS_LOG 1030
#define IDC_ERROR_LOG 1031

#define IDC_PER_USER 1037
#define IDC_ALL_USERS 1038
