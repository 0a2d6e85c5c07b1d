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

#include "engine/mirror_run.h"
#include "settings/settings_location.h"

// How the program was asked to start.
struct StartupOptions {
  SettingsLocation store;
  bool startMinimized = false;
  bool automatic = false;  // mirror every entry once, then end
};

// Whether the argument is one of the four options (by their first two or
// three characters); everything else is ignored by ParseCommandLine.
bool IsCommandLineOption(const std::string& arg);

// Applies the arguments (the program name first) to options.
void ParseCommandLine(const std::vector<std::string>& args, StartupOptions& options);

// Start-up: the command line, then the settings scope.
StartupOptions ReadCommandLine(int argc, const char* const* argv);

// A run of every entry of `store`, with the log settings of its scope as they are stored now.
RunRequest RequestToRun(const SettingsLocation& store, bool automatic);
