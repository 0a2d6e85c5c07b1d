#pragma once
// The stored values that control the run log and the settings scope, read
// and written as the log settings and options dialogs do it.

#include <string>

struct LogSettings {
  std::string logDir;
  std::string logName;
  int okLogOut = 0;
  int errorLogOut = 0;
};

// The stored values of the current scope, with the dialog's defaults: the
// program's directory followed by "LOG" and a separator, "%y_%m_%d.log", 0, 0.
LogSettings ReadLogSettings();

// Normalises the directory (in place) and writes all four values.
void StoreLogSettings(LogSettings& settings);

// Writes the settings scope (1: per user, 0: shared) to the shared key.
void StoreSettingsScope(int multiUser);
