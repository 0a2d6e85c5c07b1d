#pragma once
// A run over trees in a fresh directory: entries in a settings file there,
// log settings of its own (nothing logged unless a test says so), and a view
// that keeps every line.

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/kelmdup_doc.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "engine/mirror_run.h"
#include "settings/settings_location.h"
#include "tests/support/saved_settings.h"
#include "tests/support/temp_dir.h"

namespace test {

// Whether paths are Windows paths here (the Windows builds, under Wine).
inline bool Windows() { return platform::NativePathStyle() == platform::PathStyle::kWindows; }

struct Line {
  int id;
  std::string source;
  std::string destination;
};

class RecordingView : public ProgressView {
 public:
  void AddLine(int id, const std::string& source, const std::string& destination) override;
  std::vector<Line> Lines();
  std::vector<int> Ids();
  // Called with each line as it is added, on the adding thread.
  std::function<void(const Line&)> onLine;

 private:
  std::mutex lock_;
  std::vector<Line> lines_;
};

class MirrorTest : public testing::Test {
 protected:
  MirrorTest();
  ~MirrorTest() override;

  // An entry from src to dst that mirrors everything, deleting too.
  MirrorEntry Entry(const std::string& name = "entry") const;
  void Store(std::vector<MirrorEntry> entries);
  // What the test's runs are asked: the test's store and log settings.
  RunRequest Request() const { return {location_, log_, false}; }
  // Runs every stored entry on this thread; the lines it reported. Its
  // outcome is in outcome_.
  std::vector<Line> Run();
  // Stops the run that Run runs (from any thread).
  void Stop() { stop_.request_stop(); }
  // The program's option that names the test's settings file.
  std::string FileOption() const { return "/F=" + entries_; }

  TempDir dir_;
  RegistrySandbox registry_;
  const std::string src_ = dir_ / "src/";
  const std::string dst_ = dir_ / "dst/";
  const std::string entries_ = dir_ / "entries.kyf";
  SettingsLocation location_;
  LogSettings log_;
  RunOutcome outcome_;
  RecordingView view_;
  CKelmdupDoc doc_;  // for runs on a worker thread; goes before the view

 private:
  std::stop_source stop_;
};

// A run that a program starts: the programs read the log settings from the
// registry, where they log nothing while the test lives.
class ProgramRunTest : public MirrorTest {
 protected:
  LogSettingsGuard logSettings_;
};

std::vector<int> IdsOf(const std::vector<Line>& lines);
// The number of lines with that message.
int CountOf(const std::vector<Line>& lines, int id);

}  // namespace test
