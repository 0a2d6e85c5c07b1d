#pragma once
// The listing of one directory tree into a map of files and a map of
// directories, keyed by the path relative to the root, with a mirror
// entry's filters applied as it goes.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <stop_token>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/found_map.h"
#include "platform/directory_listing.h"
#include "platform/paths.h"

// Which tree a scanner lists. A source shows a link to a file as the file
// it points to (what a copy reads); a destination shows it as a link (what
// stands there, to be replaced by a real copy), and notes the temporary
// copies that an interrupted run may have left in it. Neither lists such
// copies as files.
enum class TreeSide { kSource, kDestination };

// The mask that admits read-only, hidden and system items alike.
inline constexpr int kAdmitEveryItem = 7;

class CtTreeScanner {
 public:
  // `stop`: the run's; once it is asked, every listing ends at its next item.
  explicit CtTreeScanner(std::stop_token stop = {}) : runStop_(std::move(stop)) {}
  virtual ~CtTreeScanner() = default;
  CtTreeScanner(const CtTreeScanner&) = delete;
  CtTreeScanner& operator=(const CtTreeScanner&) = delete;

  // Lists the tree below root into the two maps, replacing what they held.
  // No pattern means "*.*" (an empty one matches no file); mask bits 0, 1, 2
  // admit read-only, hidden and system items; extensions is a list such as
  // ".bak;.tmp". False when the walk of the root directory noticed a stop.
  bool Scan(const std::string& root, const std::optional<std::string>& pattern, bool recurse,
            int mask, const std::string& extensions);
  // Which tree the next Scan lists, and the other tree's root: a directory
  // of this tree that is that root (reached through a mount, a junction or
  // a link) ends the scan, and OverlapFound says so.
  void SetSide(TreeSide side, std::optional<platform::DirectoryIdentity> otherRoot = std::nullopt);
  bool OverlapFound() const { return overlapFound_; }
  // Asks a running Scan on another thread to end (this scanner's only;
  // the next Scan lists again); Scan then returns at its next item.
  void Stop() { stopRequested = true; }
  // Whether key (a file's or a directory's) lies in a directory whose listing failed.
  bool InUnreadable(std::string_view key) const;
  // Whether the listing of the root itself failed.
  bool RootUnreadable() const;

  // Where status texts go while listing ("検索中 - " and each directory, at
  // most every 100 ms; the empty text at the end); empty: nowhere.
  void SetStatusKey(const std::string& key) { statusKey_ = key; }

  FoundMap fileMap;
  FoundMap dirMap;  // keys end in the separator
  // Keys of the directories whose listing failed ("" for the root): what
  // they hold is unknown, so nothing below them may be taken as missing.
  std::vector<std::string> unreadable;
  // Temporary copies found in a destination: (directory, name). The run
  // removes those an ended process left, once it knows the entry is sound.
  std::vector<std::pair<std::string, std::string>> temporaryCopies;
  std::string root;
  std::string extensionKeys;  // ";" + the extension list + ";", lower-cased
  std::string pattern;
  bool recurse = false;
  bool allowHidden = false;
  bool allowSystem = false;
  bool allowReadOnly = false;
  std::atomic<bool> stopRequested{false};

 private:
  bool WalkDirectory(const std::string& dir, const std::string& key);
  // Lists one directory into `take`; false when the walk noticed a stop.
  template <typename Take>
  bool ListDirectory(const std::string& dir, const std::string& key, const std::string& names, Take take);
  bool Admits(const platform::DirectoryEntry& entry) const;
  bool ExtensionExcluded(const std::string& name) const;
  void AddFile(const platform::DirectoryEntry& entry, const std::string& key);
  void AddDirectory(const platform::DirectoryEntry& entry, const std::string& dir,
                    const std::string& key);
  bool StatusDue(bool always);
  bool Stopped() const { return stopRequested || runStop_.stop_requested(); }

  void NoteTemporaryCopy(const std::string& dir, const std::string& name);

  std::stop_token runStop_;
  TreeSide side_ = TreeSide::kSource;
  std::optional<platform::DirectoryIdentity> otherRoot_;
  std::atomic<bool> overlapFound_{false};
  std::string statusKey_;
  std::string keyBuffer_;
  std::chrono::steady_clock::time_point lastStatus_{};
};

// Takes out of the source scanner's maps what one exclusion item names: a
// directory ("...\"): everything below it; a file or a pattern: files of
// that name in that directory and below. Only entries that lie below the
// item's directory are compared.
void ApplyExclusionItem(const std::string& sourceRoot, CtTreeScanner& source,
                        const std::string& item);
