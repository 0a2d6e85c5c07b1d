// Feeds settings files (.kyf) to LoadEntryList, and saves what it loads into a fresh file to load again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "foundation/path.h"
#include "foundation/profile.h"
#include "settings/entry_storage.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

// A directory of this process's own, removed at exit; never destroyed, as the exit handler needs its name.
const std::string& TheDirectory() {
  static const std::string* const dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kelmoray-fuzz-XXXXXX";
    Check(mkdtemp(pattern.data()) != nullptr);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(TheDirectory(), ignored);
    });
    return new std::string(pattern);
  }();
  return *dir;
}

bool WriteWhole(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

// Whether the profile functions give a text back as written: they drop
// white space around a value, and one pair of quotes around it.
bool ReadsBackAsWritten(const std::string& text) {
  const auto space = [](char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; };
  if (!text.empty() && (space(text.front()) || space(text.back()))) return false;
  return text.size() < 2 || (text.front() != '"' && text.front() != '\'') || text.back() != text.front();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Two names in turn: the reader keeps the file it parsed last while its
  // inode, size and times stay, and a rewrite within one clock tick keeps them.
  static unsigned turn = 0;
  const std::string input = TheDirectory() + (turn++ % 2 ? "/a.kyf" : "/b.kyf");
  const std::string saved = TheDirectory() + "/saved.kyf";
  Check(WriteWhole(input, data, size));
  const std::vector<MirrorEntry> list = LoadEntryList(SettingsLocation{}, input);
  Check(list.size() <= static_cast<size_t>(kMaxEntries));
  bool roundTrip = true;
  for (const MirrorEntry& e : list) {
    Check(!e.name.empty() && (!e.subdir || e.destinationdir_delete));
    // Texts are read as far as the registry keeps them; a directory may then gain its separator.
    Check(e.source == NormalizeDirPath(e.source) && e.destination == NormalizeDirPath(e.destination));
    Check(e.source.size() <= kLongestRegistryText + 1 && e.destination.size() <= kLongestRegistryText + 1);
    std::vector<std::string> texts = {e.name, e.nomirrext, e.wildcard};
    texts.insert(texts.end(), e.nomirror.begin(), e.nomirror.end());
    for (const std::string& text : texts) Check(text.size() <= kLongestRegistryText);
    for (const std::string& item : e.nomirror) Check(!item.empty());
    texts.insert(texts.end(), {e.source, e.destination});
    for (const std::string& text : texts) {
      Check(text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
      roundTrip = roundTrip && ReadsBackAsWritten(text);
    }
  }
  if (roundTrip) {
    std::remove(saved.c_str());
    std::vector<MirrorEntry> copy = list;
    SaveEntryList(copy, SettingsLocation{}, saved);
    Check(copy == list && LoadEntryList(SettingsLocation{}, saved) == list);
  }
  return 0;
}
