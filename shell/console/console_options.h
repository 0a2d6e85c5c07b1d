#pragma once
// The console front end's options: the program's own ("/S=", "/F=", "/A",
// "/M"), --help, and the stored values of the log settings and options
// dialogs.

#include <optional>
#include <string>
#include <vector>

struct ConsoleOptions {
  bool help = false;
  bool settingsOnly = false;                // show or store settings; no run
  std::vector<std::string> systemOptions;   // "/..." arguments, as the command line takes them
  std::optional<std::string> logDir;
  std::optional<std::string> logName;
  std::optional<int> okLogOut;
  std::optional<int> errorLogOut;
  std::optional<int> multiUser;
};

// False, with the problem, for an argument that is not understood.
bool ParseConsoleOptions(const std::vector<std::string>& arguments, ConsoleOptions* options,
                         std::string* problem);

// Stores the values given and prints every value as the dialogs would show
// it; `multiUser` is the scope in force.
int ApplySettingsOptions(const ConsoleOptions& options, int multiUser);

void PrintHelp();
