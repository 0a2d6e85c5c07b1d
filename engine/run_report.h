#pragma once
// Where a run's report lines go: the view that shows them, the run log,
// and the count of error lines; and where its status texts go.

#include <ctime>
#include <string>

#include "settings/stored_settings.h"

// What shows the run's lines.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  // One line: the message (its text and its icon follow from it), then the
  // source and destination columns (the start and end lines put their time
  // in the source column).
  virtual void AddLine(int id, const std::string& source, const std::string& destination) = 0;
  // Returns once every line given so far is shown; a run calls it at its end.
  virtual void ShowAllLines() {}
};

class RunReport {
 public:
  // `view` may be null; `statusKey` empty: no status texts.
  RunReport(ProgressView* view, const LogSettings& log, std::string statusKey);

  // Names the run's log file by the settings and the run's start time.
  void OpenLog(const std::tm& start);
  // Shows one line, logs it as the settings say and counts it if it is an error.
  void Report(int id, const std::string& source, const std::string& destination);
  // Posts a status text to the main frame.
  void PostStatus(const char* text) const;
  int ErrorLines() const { return errorLines_; }
  ProgressView* View() const { return view_; }

 private:
  ProgressView* view_;
  LogSettings log_;
  std::string statusKey_;
  std::string logFilePath_;
  int errorLines_ = 0;
};
