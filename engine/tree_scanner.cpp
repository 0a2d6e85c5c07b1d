#include "engine/tree_scanner.h"

#include <algorithm>
#include <vector>

#include "engine/messages.h"
#include "engine/paths.h"
#include "engine/status_texts.h"
#include "foundation/path.h"
#include "platform/code_page.h"
#include "platform/file_attributes.h"
#include "platform/file_operations.h"
#include "posting/post_data.h"

using platform::DirectoryEntry;

namespace {

using engine::PathStartsWith;
using engine::Separator;

FoundItem ToFoundItem(const DirectoryEntry& entry) {
  FoundItem item;
  item.attributes = entry.attributes;
  item.lastWriteTime = entry.lastWriteTime;
  item.sizeHigh = static_cast<std::uint32_t>(entry.size >> 32);
  item.sizeLow = static_cast<std::uint32_t>(entry.size);
  return item;
}

bool IsDirectory(const DirectoryEntry& entry) {
  return (entry.attributes & platform::kAttrDirectory) != 0;
}

// Removes from `map` every key whose path below the item's directory (prefix
// + the rest of the key) the item's listing holds.
void RemoveListed(FoundMap& map, const FoundMap& listed, const std::string& keyPrefix,
                  const std::string& itemPrefix) {
  std::vector<std::string> excluded;
  for (const auto& [key, item] : map) {
    if (PathStartsWith(key, keyPrefix) &&
        listed.count(itemPrefix + std::string(key.substr(keyPrefix.size()))) != 0)
      excluded.emplace_back(key);
  }
  for (const std::string& key : excluded) map.Erase(key);
}

}  // namespace

bool CtTreeScanner::Scan(const std::string& rootText, const std::optional<std::string>& pattern,
                         bool recurse, int mask, const std::string& extensions) {
  extensionKeys = cp::ToLower(";" + extensions + ";");
  this->pattern = pattern.value_or("*.*");
  fileMap.clear();
  dirMap.clear();
  unreadable.clear();
  temporaryCopies.clear();
  stopRequested = false;
  overlapFound_ = false;
  allowReadOnly = (mask & 1) != 0;
  allowHidden = (mask & 2) != 0;
  allowSystem = (mask & 4) != 0;
  this->recurse = recurse;
  root = NormalizeDirPath(rootText);
  const bool result = WalkDirectory(root, "");
  if (StatusDue(true)) PostData(statusKey_.c_str(), kListingEnds);
  return result;
}

void CtTreeScanner::SetSide(TreeSide side, std::optional<platform::DirectoryIdentity> otherRoot) {
  side_ = side;
  otherRoot_ = otherRoot;
}

bool CtTreeScanner::InUnreadable(std::string_view key) const {
  for (const std::string& directory : unreadable)
    if (PathStartsWith(key, directory)) return true;
  return false;
}

bool CtTreeScanner::RootUnreadable() const {
  return std::find(unreadable.begin(), unreadable.end(), "") != unreadable.end();
}

// Files of a directory first, then each subdirectory's whole subtree. With
// the pattern that matches every name, one enumeration serves both.
bool CtTreeScanner::WalkDirectory(const std::string& dir, const std::string& key) {
  std::vector<DirectoryEntry> subdirectories;
  const bool everyName = pattern == "*.*" || pattern == "*";
  const bool listed = ListDirectory(dir, key, pattern, [&](DirectoryEntry& entry) {
    if (platform::IsTemporaryCopyName(entry.name)) return NoteTemporaryCopy(dir, entry.name);
    AddFile(entry, key);
    if (recurse && everyName && IsDirectory(entry)) subdirectories.push_back(std::move(entry));
  });
  if (!listed) return false;
  if (!recurse) return true;
  if (!everyName && !ListDirectory(dir, key, "*.*", [&](DirectoryEntry& entry) {
        if (IsDirectory(entry)) subdirectories.push_back(std::move(entry));
      }))
    return false;
  for (const DirectoryEntry& subdirectory : subdirectories) {
    if (Stopped()) return false;
    AddDirectory(subdirectory, dir, key);
  }
  return true;
}

// A listing that fails part way keeps what it gave and marks the directory
// unreadable; one that finds the directory gone is simply empty.
template <typename Take>
bool CtTreeScanner::ListDirectory(const std::string& dir, const std::string& key,
                                  const std::string& names, Take take) {
  platform::DirectoryListing listing(
      dir, names, side_ == TreeSide::kDestination ? platform::LinkView::kLink : platform::LinkView::kTarget);
  DirectoryEntry entry;
  for (;;) {
    switch (listing.Next(&entry)) {
      case platform::ListStep::kEntry:
        if (Stopped()) return false;
        take(entry);
        continue;
      case platform::ListStep::kEnd: return true;
      case platform::ListStep::kError:
        if (unreadable.empty() || unreadable.back() != key) unreadable.push_back(key);
        return true;
    }
  }
}

// A half-made copy is never a file of either tree.
void CtTreeScanner::NoteTemporaryCopy(const std::string& dir, const std::string& name) {
  if (side_ == TreeSide::kDestination) temporaryCopies.emplace_back(dir, name);
}

bool CtTreeScanner::Admits(const DirectoryEntry& entry) const {
  if ((entry.attributes & platform::kAttrHidden) && !allowHidden) return false;
  if ((entry.attributes & platform::kAttrSystem) && !allowSystem) return false;
  if ((entry.attributes & platform::kAttrReadOnly) && !allowReadOnly) return false;
  return true;
}

bool CtTreeScanner::ExtensionExcluded(const std::string& name) const {
  if (extensionKeys.size() <= 2) return false;  // an empty list
  const size_t dot = name.rfind('.');
  const std::string ext = dot == std::string::npos ? "." : name.substr(dot);
  return extensionKeys.find(cp::ToLower(";" + ext + ";")) != std::string::npos;
}

void CtTreeScanner::AddFile(const DirectoryEntry& entry, const std::string& key) {
  if (Stopped() || !Admits(entry) || IsDirectory(entry)) return;
  if (ExtensionExcluded(entry.name)) return;
  // One buffer for every key of the walk: no allocation per file.
  keyBuffer_.assign(key).append(entry.name);
  fileMap.Insert(keyBuffer_, ToFoundItem(entry));
}

// A directory reached through a link or junction is neither stored nor
// entered: nothing below it is deleted or copied, and a loop cannot form.
void CtTreeScanner::AddDirectory(const DirectoryEntry& entry, const std::string& dir,
                                 const std::string& key) {
  if (Stopped() || !Admits(entry) || !IsDirectory(entry)) return;
  if (entry.name == "." || entry.name == "..") return;
  if (entry.attributes & platform::kAttrReparsePoint) return;
  const std::string subKey = key + entry.name + Separator();
  const std::string sub = dir + entry.name + Separator();
  // The other tree's root, met inside this one: whatever led here, the two
  // trees overlap, and a run would delete from one what it copies into it.
  if (otherRoot_ && platform::IdentityOfDirectory(sub) == otherRoot_) {
    overlapFound_ = true;
    stopRequested = true;
    return;
  }
  dirMap.Insert(subKey, ToFoundItem(entry));
  if (StatusDue(false)) PostData(statusKey_.c_str(), (MessageText(kTextSearching) + sub).c_str());
  WalkDirectory(sub, subKey);
}

// Whether a status text is to be posted now: always at the end of a scan,
// and for directories at most every 100 ms (the newest one then).
bool CtTreeScanner::StatusDue(bool always) {
  if (statusKey_.empty()) return false;
  const auto now = std::chrono::steady_clock::now();
  if (!always && now - lastStatus_ < std::chrono::milliseconds(100)) return false;
  lastStatus_ = now;
  return true;
}

void ApplyExclusionItem(const std::string& sourceRoot, CtTreeScanner& source,
                        const std::string& item) {
  // A relative item (or a Windows path read on Linux) names nothing here;
  // listed, it would be taken from the current directory, or from "/".
  if (!engine::IsAbsolutePath(item)) return;
  const bool namesDirectory = engine::EndsWithSeparator(item);
  CtPath split(namesDirectory ? item + "*.*" : item);
  const std::string itemDir = split.GetDrive() + split.GetDir();
  const std::string itemPattern = split.GetFileName() + split.GetExt();
  CtTreeScanner listed;
  if (!listed.Scan(itemDir, itemPattern, true, kAdmitEveryItem, "")) return;

  // Source keys below the item's directory, and how they read below it.
  std::string keyPrefix, itemPrefix;
  if (PathStartsWith(itemDir, sourceRoot)) {
    keyPrefix = itemDir.substr(sourceRoot.size());
  } else if (PathStartsWith(sourceRoot, itemDir)) {
    itemPrefix = sourceRoot.substr(itemDir.size());
  } else {
    return;  // nothing of the source lies below the item
  }
  for (char& c : itemPrefix)
    if (c == '/') c = Separator();  // never the trail byte of a character
  if (namesDirectory) RemoveListed(source.dirMap, listed.dirMap, keyPrefix, itemPrefix);
  RemoveListed(source.fileMap, listed.fileMap, keyPrefix, itemPrefix);
}
