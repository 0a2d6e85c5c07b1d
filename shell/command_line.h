#pragma once
// The command line: where the entries are stored and how the program starts.
//   /M        start minimised
//   /A        mirror every entry once, then end
//   /S=name   use the named settings set
//   /F=path   use a settings file
// Options are matched by their first two or three characters, without
// regard to letter case (/auto acts as /A); a later option overrides an
// earlier one; other arguments are ignored.

#include <string>
#include <vector>

#include "settings/settings_location.h"

struct StartupFlags {
  int startMinimized = 0;
  int autoRun = 0;
  int exitAfterRun = 0;  // set by whoever starts the automatic run
};

// The process-wide flags.
StartupFlags& TheStartupFlags();

// Whether the argument is one of the four options (by their first two or
// three characters); everything else is ignored by ParseCommandLine.
bool IsCommandLineOption(const std::string& arg);

// Applies the arguments (the program name first) to location and flags.
void ParseCommandLine(const std::vector<std::string>& args, SettingsLocation& location, StartupFlags& flags);

// Start-up: the command line into the process-wide location and flags, then the scope.
void ReadCommandLine(int argc, const char* const* argv);
