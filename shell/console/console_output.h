#pragma once
// Standard output for the report lines and a status line on standard error
// (only when that is a terminal), kept from writing over each other.

#include <cstdio>
#include <mutex>
#include <string>

class ConsoleOutput {
 public:
  // Standard output, and standard error as the status line when it is a terminal.
  ConsoleOutput();
  // Other streams; no status line when status is null.
  ConsoleOutput(std::FILE* lines, std::FILE* status);
  // Prints one line to standard output, clearing the status line first;
  // false when it could not be written (the reader has gone).
  bool PrintLine(const std::string& line);
  // Shows text on the status line, cut to the terminal's width.
  void ShowStatus(const std::string& text);
  // Leaves the terminal with an empty status line.
  void ClearStatus();

 private:
  std::mutex lock_;
  std::FILE* const lines_;
  std::FILE* const status_;  // null: no status line
  bool statusShown_ = false;
};
