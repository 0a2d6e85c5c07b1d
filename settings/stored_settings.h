#pragma once
// Every stored value besides the entry list: where each settings scope
// lives, the scope itself, and the log settings. One read/write pair per
// record, used by the run, the console's options and the dialogs.

#include <string>

#include "foundation/profile.h"

// The key of a scope that holds its log settings (and, in the shared scope,
// the scope itself): "Settings" below the per-user base path of the current
// user (multiUser non-zero), or below the shared base path of the machine.
CtProfile SettingsKey(int multiUser);

// Where a scope's entry list begins: the registry root and the same
// "Settings" key, spelled as the list spells it ("Software", not
// "SOFTWARE": the registry compares without regard to letter case).
struct EntryListKey {
  RegistryRoot root;
  const char* path;
};
EntryListKey EntryListKeyOf(int multiUser);

// The settings scope, always in the shared key: non-zero per user, 0 shared by
// every user. 1 while none is stored.
int ReadSettingsScope();
void WriteSettingsScope(int multiUser);

struct LogSettings {
  std::string logDir;
  std::string logName;
  bool okLogOut = false;
  bool errorLogOut = false;
};

// What the log settings read as while none are stored: for the run nothing
// (so nothing is logged before they are stored once); for the dialog and
// the console's options the program's directory followed by "LOG" and a
// separator, and "%y_%m_%d.log".
enum class LogDefaults { kRun, kDialog };

LogSettings ReadLogSettings(int multiUser, LogDefaults defaults);
// Ends the directory with its separator (in place) and writes all four values.
void WriteLogSettings(int multiUser, LogSettings& settings);
