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
#define IDS_TIMESTAMP_FORMAT 104
#define IDS_VERSION_TEXT 105
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
