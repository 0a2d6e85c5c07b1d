#pragma once
// The console front end: runs every entry of the chosen store once, prints
// each report line, shows the status texts on a terminal status line, and
// ends with a status that says how the run went.

#include <string>
#include <vector>

// Exit statuses of a console run.
enum ConsoleExit : int {
  kExitClean = 0,        // the run reported no error line
  kExitErrors = 1,       // it reported a failed item or a skipped entry
  kExitInterrupted = 2,  // it was stopped, or a disk was full
  kExitCannotStart = 3,  // bad arguments, or a settings file that cannot be read
};

// The whole program: arguments without the program name.
int RunConsole(const std::vector<std::string>& arguments);
