#pragma once
// One run over every entry of a store: read each entry in turn, list both
// trees, take out the exclusions, and bring the destination into line in
// three phases. Every action goes through its report.

#include <functional>
#include <stop_token>
#include <string>

#include "engine/mirror_phases.h"
#include "settings/settings_location.h"
#include "settings/stored_settings.h"

// What a front end asks of a run.
struct RunRequest {
  SettingsLocation store;  // where the entries are read
  LogSettings log;         // where the run log goes and what it takes
  bool automatic = false;  // the program ends after the run ("/A")
};

// How a run went.
struct RunOutcome {
  int errorLines = 0;  // failed items and skipped entries
  bool interrupted = false;
};

class MirrorRun {
 public:
  // `view` may be null; `statusKey`: the main frame's (empty: no status texts).
  MirrorRun(const RunRequest& request, ProgressView* view, const std::string& statusKey, std::stop_token stop);

  // The whole run, on the calling thread: every entry until the list ends or
  // the run is stopped; its end line is the last one.
  RunOutcome RunAllEntries();

 private:
  enum class Listing { kListed, kSkipped, kStopped };
  // Mirrors entry index; false to end the run.
  bool MirrorEntryAt(int index);
  // Entry index of the store; false when it has no source (the list has ended).
  bool ReadEntryForRun(int index, MirrorEntry* entry);
  bool EntryIsUsable(const MirrorEntry& entry);
  Listing ScanBothTrees(const MirrorEntry& entry);
  Listing ReportOverlap(const MirrorEntry& entry);
  bool EndInterrupted();

  const RunRequest request_;
  std::stop_token stop_;
  RunReport report_;
  CtTreeScanner sourceScanner_;
  CtTreeScanner destinationScanner_;
  MirrorPhases phases_;
  // Prepared copies are cancelled at the moment of the stop, on the stopping thread.
  std::stop_callback<std::function<void()>> onStop_;
  bool interrupted_ = false;
};
