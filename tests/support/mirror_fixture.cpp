#include "tests/support/mirror_fixture.h"

#include <algorithm>
#include <filesystem>

#include "foundation/profile.h"
#include "platform/registry.h"
#include "settings/entry_storage.h"
#include "settings/stored_settings.h"

namespace test {

void RecordingView::AddLine(int id, const std::string& source, const std::string& destination) {
  const Line line{id, source, destination};
  {
    std::lock_guard guard(lock_);
    lines_.push_back(line);
  }
  if (onLine) onLine(line);
}

std::vector<Line> RecordingView::Lines() {
  std::lock_guard guard(lock_);
  return lines_;
}

std::vector<int> IdsOf(const std::vector<Line>& lines) {
  std::vector<int> ids;
  for (const Line& line : lines) ids.push_back(line.id);
  return ids;
}

int CountOf(const std::vector<Line>& lines, int id) {
  return static_cast<int>(
      std::count_if(lines.begin(), lines.end(), [&](const Line& line) { return line.id == id; }));
}

MirrorTest::MirrorTest() {
  location_.useSettingsFile = true;
  location_.settingsFilePath = entries_;
}

MirrorTest::~MirrorTest() = default;

MirrorEntry MirrorTest::Entry(const std::string& name) const {
  MirrorEntry entry;
  entry.name = name;
  entry.source = src_;
  entry.destination = dst_;
  entry.subdir = entry.destination_delete = 1;
  entry.hidden_files = entry.system_files = entry.readonly_files = 1;
  entry.wildcard = "*.*";
  return entry;
}

void MirrorTest::Store(std::vector<MirrorEntry> entries) {
  std::filesystem::remove(entries_);
  SaveEntryList(entries, location_);
}

std::vector<Line> MirrorTest::Run() {
  const size_t before = view_.Lines().size();
  stop_ = std::stop_source();
  outcome_ = MirrorRun(Request(), &view_, "", stop_.get_token()).RunAllEntries();
  const std::vector<Line> all = view_.Lines();
  return std::vector<Line>(all.begin() + static_cast<long>(before), all.end());
}

}  // namespace test
