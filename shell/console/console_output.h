#pragma once
// Standard output for the report lines and a status line on standard error
// (only when that is a terminal), kept from writing over each other.

#include <mutex>
#include <string>

class ConsoleOutput {
 public:
  ConsoleOutput();
  // Prints one line to standard output, clearing the status line first.
  void PrintLine(const std::string& line);
  // Shows text on the status line, cut to the terminal's width.
  void ShowStatus(const std::string& text);
  // Leaves the terminal with an empty status line.
  void ClearStatus();

 private:
  std::mutex lock_;
  const bool statusLine_;
  bool statusShown_ = false;
};
