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
