#pragma once
// A run over trees in a fresh directory: entries in a settings file there,
// log settings in the registry of the current scope (restored at the end),
// and a view that keeps every line.

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/kelmdup_doc.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "settings/settings_location.h"
#include "tests/support/saved_settings.h"
#include "tests/support/temp_dir.h"

namespace test {

// Whether paths are Windows paths here (the Windows builds, under Wine).
inline bool Windows() { return platform::NativePathStyle() == platform::PathStyle::kWindows; }

struct Line {
  int id;
  std::string text1;
  std::string text2;
};

class RecordingView : public ProgressView {
 public:
  void AddLine(int id, int icon, const std::string& text1, const std::string& text2) override;
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
  // Runs every stored entry on this thread; the lines it reported.
  std::vector<Line> Run();
  // The program's option that names the test's settings file.
  std::string FileOption() const { return "/F=" + entries_; }

  TempDir dir_;
  RegistrySandbox registry_;
  LogSettingsGuard logSettings_;
  const std::string src_ = dir_ / "src/";
  const std::string dst_ = dir_ / "dst/";
  const std::string entries_ = dir_ / "entries.kyf";
  CKelmdupDoc doc_;
  RecordingView view_;

 private:
  SettingsLocation savedLocation_;
};

std::vector<int> IdsOf(const std::vector<Line>& lines);
// The number of lines with that message.
int CountOf(const std::vector<Line>& lines, int id);

}  // namespace test
