#include "settings/entry_storage.h"

#include <cerrno>
#include <cstdio>

#include "foundation/path.h"
#include "platform/code_page.h"
#include "platform/file_attributes.h"
#include "platform/file_operations.h"
#include "platform/profile_file.h"
#include "settings/stored_settings.h"

namespace {

std::string ReadText(CtProfile& profile, const char* name) { return profile.SetValueName(name).GetString(); }
// Any stored value but 0 sets a flag.
bool ReadFlag(CtProfile& profile, const char* name) { return profile.SetValueName(name).GetInt() != 0; }

// A text is stored only as far as it can be read back: a longer one would
// read as empty, and an entry without its name ends the list there.
bool WriteText(CtProfile& profile, const char* name, const std::string& text) {
  return profile.SetValueName(name).SetString(std::string(cp::CutToBytes(text, kLongestRegistryText))) != 0;
}
bool WriteFlag(CtProfile& profile, const char* name, bool value) {
  return profile.SetValueName(name).SetInt(value ? 1 : 0) != 0;
}

// Every value of one entry, in its section; false when any was not written.
bool WriteEntry(CtProfile& profile, const MirrorEntry& e) {
  bool written = WriteText(profile, "name", e.name) && WriteText(profile, "source", e.source) &&
                 WriteText(profile, "destination", e.destination) && WriteText(profile, "nomirrext", e.nomirrext) &&
                 WriteFlag(profile, "subdir", e.subdir) &&
                 WriteFlag(profile, "destination_delete", e.destination_delete) &&
                 WriteFlag(profile, "hidden_files", e.hidden_files) &&
                 WriteFlag(profile, "system_files", e.system_files) &&
                 WriteFlag(profile, "readonly_files", e.readonly_files) &&
                 WriteFlag(profile, "attribute", e.attribute) && WriteFlag(profile, "use_archive", e.use_archive) &&
                 WriteFlag(profile, "use_wildcard", e.use_wildcard) && WriteText(profile, "wildcard", e.wildcard) &&
                 WriteFlag(profile, "destinationdir_delete", e.destinationdir_delete);
  for (size_t j = 0; written && j < e.nomirror.size(); ++j)
    written = WriteText(profile, FormatOne("nomirror_%d", static_cast<long long>(j)).c_str(), e.nomirror[j]);
  return written;
}

}  // namespace

namespace {

StoreProblem RegistryProblem(RegistryRoot root, const std::string& keyPath) {
  StoreProblem problem;
  const std::string path = !keyPath.empty() && keyPath[0] == '\\' ? keyPath.substr(1) : keyPath;
  problem.state = platform::CheckRegistryStore(root, path, &problem.where);
  return problem;
}

// A settings file that is not there reads as an empty list; one that is
// there but cannot be read, or is no file, must not. A named pipe is never
// opened: that would wait for a writer.
StoreProblem FileProblem(const std::string& path) {
  const std::uint32_t attributes = platform::ReadFileAttributes(path);
  if (attributes != platform::kInvalidAttributes &&
      (attributes & (platform::kAttrDirectory | platform::kAttrDevice)))
    return {platform::StoreState::kUnreadable, path};
  const platform::FileResult opened = platform::CheckReadable(path);
  if (opened || opened.error == platform::kErrorFileNotFound || opened.error == platform::kErrorPathNotFound)
    return {};
  return {platform::StoreState::kUnreadable, path};
}

}  // namespace

StoreProblem FindStoreProblem(const SettingsLocation& location) {
  const EntryListKey shared = EntryListKeyOf(0), scope = EntryListKeyOf(location.multiUser);
  if (StoreProblem problem = RegistryProblem(shared.root, shared.path)) return problem;
  if (StoreProblem problem = RegistryProblem(scope.root, scope.path)) return problem;
  if (location.useSettingsFile) return FileProblem(location.settingsFilePath);
  return RegistryProblem(scope.root, scope.path + location.setKeySuffix);
}

void OpenEntryStore(CtProfile& profile, const SettingsLocation& location, const std::optional<std::string>& file) {
  // A settings file reads texts as long as the registry does, so that an
  // entry reads the same from either store: by default a file would cut
  // every text to 1,023 bytes, and the next save would store the cut.
  profile.SetBufferSize(static_cast<int>(kLongestRegistryText + 1));
  if (file) {
    profile.SetFile(*file);
  } else if (location.useSettingsFile) {
    profile.SetFile(location.settingsFilePath);
  } else {
    const EntryListKey key = EntryListKeyOf(location.multiUser);
    profile.SetRoot(key.root, key.path + location.setKeySuffix);
  }
}

MirrorEntry ReadEntryAt(CtProfile& profile, int index) {
  MirrorEntry e;
  profile.SetSection("%d", index).SetDefault("");
  e.name = ReadText(profile, "name");
  e.source = NormalizeDirPath(ReadText(profile, "source"));
  e.destination = NormalizeDirPath(ReadText(profile, "destination"));
  e.nomirrext = ReadText(profile, "nomirrext");
  e.subdir = ReadFlag(profile, "subdir");
  e.destination_delete = ReadFlag(profile, "destination_delete");
  e.hidden_files = ReadFlag(profile, "hidden_files");
  e.system_files = ReadFlag(profile, "system_files");
  e.readonly_files = ReadFlag(profile, "readonly_files");
  e.attribute = ReadFlag(profile, "attribute");
  e.use_archive = ReadFlag(profile, "use_archive");
  e.use_wildcard = ReadFlag(profile, "use_wildcard");
  e.wildcard = profile.SetDefault("*.*").SetValueName("wildcard").GetString();
  e.destinationdir_delete = profile.SetDefault("0").SetValueName("destinationdir_delete").GetInt() != 0;
  if (e.subdir) e.destinationdir_delete = true;
  profile.SetDefault("");
  for (int j = 0;; ++j) {
    std::string item = profile.SetValueName("nomirror_%d", j).GetString();
    if (item.empty()) break;
    e.nomirror.push_back(std::move(item));
  }
  return e;
}

std::vector<MirrorEntry> LoadEntryList(const SettingsLocation& location, const std::optional<std::string>& file) {
  CtProfile profile;
  OpenEntryStore(profile, location, file);
  std::vector<MirrorEntry> entries;
  for (int i = 0; i < kMaxEntries; ++i) {
    if (profile.SetSection("%d", i).SetDefault("").SetValueName("name").GetString().empty()) break;
    entries.push_back(ReadEntryAt(profile, i));
  }
  return entries;
}

bool SaveEntryList(std::vector<MirrorEntry>& entries, const SettingsLocation& location,
                   const std::optional<std::string>& file) {
  CtProfile profile;
  OpenEntryStore(profile, location, file);
  // A read-only settings file stays whole: written value by value it would
  // be left half changed (and Wine's profile functions leave it empty).
  if (!profile.File().empty()) {
    const std::uint32_t attributes = platform::ReadFileAttributes(profile.File());
    if (attributes != platform::kInvalidAttributes && (attributes & platform::kAttrReadOnly)) return false;
  }
  // A settings file is replaced once, with the whole new list.
  platform::ProfileWriteBatch batch(profile.File().c_str());
  bool written = true;
  profile.SetDefault("");
  for (int i = 0; written && i < kMaxEntries; ++i) {
    if (profile.SetSection("%d", i).SetValueName("name").GetString().empty()) break;
    written = profile.DeleteSection() != 0;
  }
  const size_t count = entries.size() < kMaxEntries ? entries.size() : kMaxEntries;
  for (size_t i = 0; written && i < count; ++i) {
    MirrorEntry& e = entries[i];
    e.source = NormalizeDirPath(e.source);
    e.destination = NormalizeDirPath(e.destination);
    profile.SetSection("%d", static_cast<int>(i));
    written = WriteEntry(profile, e);
  }
  return batch.Finish() && written;
}
