#include "engine/mirror_phases.h"

#include <algorithm>
#include <vector>

#include "engine/messages.h"
#include "engine/paths.h"
#include "engine/status_texts.h"
#include "foundation/directory.h"
#include "platform/file_attributes.h"
#include "platform/local_time.h"
#include "platform/paths.h"

namespace {

constexpr std::uint32_t kProtectiveBits =
    platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem;

// Clears bits that keep a file from being deleted or replaced, where they
// do (Windows): natively the old file's mode stays as it is.
void ClearAttributes(const std::string& path, std::uint32_t bits) {
  if (!platform::ProtectiveBitsBlockChanges()) return;
  const std::uint32_t attributes = platform::ReadFileAttributes(path);
  if (attributes != platform::kInvalidAttributes && (attributes & bits))
    platform::WriteFileAttributes(path, attributes & ~bits);
}

// A size that differs, or write times more than 2 seconds apart.
bool ChangedBySizeOrTime(const FoundItem& source, const FoundItem& destination) {
  if (source.Size() != destination.Size()) return true;
  // Equal times are equal in any calendar; most files of a mirrored tree
  // have them, and converting to local time costs a lookup per file.
  if (source.lastWriteTime == destination.lastWriteTime) return false;
  const long long a = platform::FileTimeToLocalSeconds(source.lastWriteTime);
  const long long b = platform::FileTimeToLocalSeconds(destination.lastWriteTime);
  return a - b > 2 || b - a > 2;
}

// Only regular files are copied: opening a named pipe or a device would
// wait for, or change, what is at its other end.
bool IsRegularFile(const FoundItem& item) { return !(item.attributes & platform::kAttrDevice); }

// A link at the destination is no copy, whatever it points to: it is
// always replaced by a real one, or the backup would follow its target.
bool IsLink(const FoundItem& item) { return (item.attributes & platform::kAttrReparsePoint) != 0; }

// Outside archive mode: whether the destination's file must be replaced.
bool Outdated(const FoundItem& source, const FoundItem& destination) {
  return IsLink(destination) || ChangedBySizeOrTime(source, destination);
}

}  // namespace

MirrorPhases::MirrorPhases(const CtTreeScanner& source, const CtTreeScanner& destination, RunReport& report,
                           std::stop_token stop)
    : source_(source), destination_(destination), report_(report), stop_(std::move(stop)) {}

bool MirrorPhases::DeleteDestinationOnlyFiles(const MirrorEntry& entry) {
  if (!entry.destination_delete) return true;
  for (const auto& [key, item] : destination_.fileMap) {
    if (stop_.stop_requested()) return false;
    // Below a source directory that could not be listed, nothing is known to be gone.
    if (source_.fileMap.count(key) != 0 || source_.InUnreadable(key)) continue;
    const std::string path = entry.destination + std::string(key);
    report_.Report(kMsgDeleteFile, "", path);
    ClearAttributes(path, kProtectiveBits);
    if (!platform::DeleteFilePlain(path))
      report_.Report(kMsgDeleteFileFailed, "", path);
  }
  return true;
}

// Deepest first, so that a directory's subdirectories are gone before it is
// tried. A pass is repeated for the directories still not empty only while
// the last pass removed something; those left then are failures.
bool MirrorPhases::RemoveDestinationOnlyDirs(const MirrorEntry& entry) {
  if (!entry.destination_delete) return true;
  std::vector<std::string> pending;
  for (const auto& [key, item] : destination_.dirMap)
    if (source_.dirMap.count(key) == 0 && !source_.InUnreadable(key)) pending.emplace_back(key);
  std::stable_sort(pending.begin(), pending.end(), [](const std::string& a, const std::string& b) {
    return engine::CountSeparators(a) > engine::CountSeparators(b);
  });
  bool removedAny = true;
  while (!pending.empty() && removedAny) {
    removedAny = false;
    std::vector<std::string> notEmpty;
    for (const std::string& key : pending) {
      if (stop_.stop_requested()) return false;
      const std::string path = entry.destination + key;
      const platform::FileResult result = platform::RemoveDirectoryPlain(path);
      if (result) {
        report_.Report(kMsgDeleteDirectory, "", path);
        removedAny = true;
      } else if (result.error == platform::kErrorDirNotEmpty) {
        notEmpty.push_back(key);
      } else if (result.error != platform::kErrorFileNotFound &&
                 result.error != platform::kErrorPathNotFound) {
        report_.Report(kMsgDeleteDirectory, "", path);
        report_.Report(kMsgDeleteDirectoryFailed, "", path);
      }
    }
    pending.swap(notEmpty);
  }
  for (const std::string& key : pending) {
    const std::string path = entry.destination + key;
    report_.Report(kMsgDeleteDirectory, "", path);
    report_.Report(kMsgDeleteDirectoryFailed, "", path);
  }
  return true;
}

bool MirrorPhases::CopyNewAndChangedFiles(const MirrorEntry& entry) {
  const bool done = CopyInListingOrder(entry);
  std::unique_ptr<CopyAhead> ended;
  {
    std::lock_guard guard(copyAheadLock_);
    ended = std::move(copyAhead_);
  }
  ended.reset();  // what it prepared that the run never named goes now
  return done;
}

bool MirrorPhases::CopyInListingOrder(const MirrorEntry& entry) {
  readyDirectory_.clear();
  position_ = 0;
  // In listing order: the files of one directory come together.
  for (const auto& [listedKey, item] : source_.fileMap) {
    if (stop_.stop_requested()) return false;
    if (!NeedsAttention(listedKey, item)) {
      ++position_;
      continue;
    }
    const std::string key(listedKey);
    const std::string src = entry.source + key;
    const std::string dst = entry.destination + key;
    const FoundItem* existing = destination_.fileMap.Find(key);
    if (existing == nullptr) {
      if (!CopyNewFile(key, src, dst, entry)) return false;
    } else if (FileChanged(src, item, *existing, entry)) {
      if (!UpdateFile(src, dst, item, entry)) return false;
    }
    ++position_;
  }
  return true;
}

// A source file the copy phase looks at: a regular file whose destination
// directory could be listed (into one that could not, nothing is copied
// blindly: its failure was reported).
bool MirrorPhases::NeedsAttention(std::string_view key, const FoundItem& item) const {
  return IsRegularFile(item) && !destination_.InUnreadable(key);
}

// Outside archive mode, what is to be copied follows from the two listings
// alone, so a helper can work it out ahead of the run.
bool MirrorPhases::NeedsCopy(std::string_view key, const FoundItem& item) const {
  if (!NeedsAttention(key, item)) return false;
  const FoundItem* existing = destination_.fileMap.Find(key);
  return existing == nullptr || Outdated(item, *existing);
}

// Copies are made ahead natively, never in archive mode, where the bit
// decides what is copied; each in the directory it goes to, made ahead for
// it where it is safe, as the run would make it.
void MirrorPhases::StartCopyAhead(const MirrorEntry& entry) {
  if (copyAhead_ != nullptr || entry.use_archive || !platform::CanPrepareCopies()) return;
  // The helper starts at the file the run is about to copy.
  auto listed = source_.fileMap.begin();
  for (size_t passed = 0; passed < position_; ++passed) ++listed;
  // The files of one directory come together: its directory is made ready once.
  auto next = [this, &entry, listed, position = position_, ready = std::string()](PlannedCopy* planned) mutable {
    while (listed != source_.fileMap.end() && !stop_.stop_requested()) {
      const auto [listedKey, item] = *listed;
      const size_t at = position++;
      ++listed;
      if (!NeedsCopy(listedKey, item)) continue;
      const std::string key(listedKey);
      const std::string directory = engine::DirectoryOf(entry.destination + key);
      if (directory != ready && (!DestinationDirectoryIsSafe(key, entry) || !CreateDirectoryPath(directory)))
        continue;
      ready = directory;
      *planned = {at, entry.source + key, item.Size(), directory};
      return true;
    }
    return false;
  };
  std::lock_guard guard(copyAheadLock_);
  copyAhead_ = std::make_unique<CopyAhead>(std::move(next));
}

// A stop waits for the run's own file only: the helper stops at once.
void MirrorPhases::StopCopyAhead() {
  std::lock_guard guard(copyAheadLock_);
  if (copyAhead_ != nullptr) copyAhead_->Stop();
}

// The copy made ahead for this file when there is one, else a copy made
// now: also when the copy made ahead failed, for space that renames since
// may have freed, or for whatever reason the run's own copy reports.
platform::FileResult MirrorPhases::CopyOne(const std::string& src, const std::string& dst,
                                          const MirrorEntry& entry) {
  StartCopyAhead(entry);
  if (copyAhead_ != nullptr) {
    platform::PreparedCopy copy = copyAhead_->Take(position_, src);
    if (copy.Error() == platform::kErrorNone) {
      const platform::FileResult named = platform::NamePreparedCopy(copy, dst);
      if (named.error != platform::kErrorNotSameDevice) return named;
    }
  }
  return platform::CopyFileReplacing(src, dst);
}

// In archive mode the bit only says so here: it is cleared once the copy is
// complete and named (UpdateFile), so an interrupted run copies again.
bool MirrorPhases::FileChanged(const std::string& src, const FoundItem& source,
                              const FoundItem& destination, const MirrorEntry& entry) {
  if (!entry.use_archive) return Outdated(source, destination);
  if (IsLink(destination)) return true;
  const std::uint32_t attributes = platform::ReadFileAttributes(src);
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttrArchive);
}

// Reports a failed copy; false when the disk is full, which ends the run.
bool MirrorPhases::CopyFailed(int failedId, platform::FileResult result, const std::string& src,
                             const std::string& dst) {
  if (result.error == platform::kErrorDiskFull) {
    report_.Report(kMsgDiskFull, src, dst);
    return false;
  }
  report_.Report(result.error == platform::kErrorSharingViolation ? kMsgFileInUse : failedId, src, dst);
  return true;
}

// Nothing is copied into a directory reached through a link or junction:
// every level of the destination's directory must be a real directory, or
// missing (it is created then).
bool MirrorPhases::DestinationDirectoryIsSafe(const std::string& key, const MirrorEntry& entry) const {
  const size_t last = engine::FindLastSeparator(key);
  if (last == std::string::npos) return true;
  if (destination_.dirMap.count(key.substr(0, last + 1)) != 0) return true;  // listed: no link on its way
  for (size_t end = engine::FindSeparator(key); end != std::string::npos;
       end = engine::FindSeparator(key, end + 1)) {
    const std::string level = key.substr(0, end + 1);
    if (destination_.dirMap.count(level) != 0) continue;
    const std::uint32_t attributes = platform::ReadFileAttributes(entry.destination + level);
    if (attributes == platform::kInvalidAttributes) return true;
    if ((attributes & platform::kAttrReparsePoint) || !(attributes & platform::kAttrDirectory))
      return false;
  }
  return true;
}

bool MirrorPhases::CopyNewFile(const std::string& key, const std::string& src,
                              const std::string& dst, const MirrorEntry& entry) {
  report_.Report(kMsgCopyFile, src, dst);
  report_.PostStatus(kCopyStarts);
  const std::string directory = engine::DirectoryOf(dst);
  platform::FileResult result{platform::kErrorPathNotFound};
  // The directory of the last copy is known to be there and safe.
  if (directory == readyDirectory_ || DestinationDirectoryIsSafe(key, entry)) {
    if (directory != readyDirectory_) CreateDirectoryPath(directory);
    if (entry.attribute)
      platform::WriteFileAttributes(directory, platform::ReadFileAttributes(engine::DirectoryOf(src)));
    // A file may stand there under a name that differs in letter case only.
    ClearAttributes(dst, platform::kAttrReadOnly);
    result = CopyOne(src, dst, entry);
    readyDirectory_ = result ? directory : std::string();
  }
  if (!result) {
    const bool goOn = CopyFailed(kMsgCopyFailed, result, src, dst);
    report_.PostStatus(kCopyEnds);
    return goOn;
  }
  // Only a copy that succeeded gets the source's times: a stale file must
  // not look up to date to the next run.
  if (!platform::CopyCarriesAllTimes()) platform::CopyFileTimes(src, dst);
  if (entry.attribute) platform::WriteFileAttributes(dst, platform::ReadFileAttributes(src));
  report_.PostStatus(kCopyEnds);
  return true;
}

bool MirrorPhases::UpdateFile(const std::string& src, const std::string& dst, const FoundItem& source,
                             const MirrorEntry& entry) {
  report_.Report(kMsgUpdateFile, src, dst);
  ClearAttributes(dst, kProtectiveBits);
  report_.PostStatus(kCopyStarts);
  const platform::FileResult result = CopyOne(src, dst, entry);
  bool goOn = true;
  if (!result) {
    goOn = CopyFailed(kMsgUpdateFailed, result, src, dst);
  } else if (entry.use_archive) {
    // Only as the version listed: a file changed since keeps its bit.
    platform::ClearArchiveBitOf(src, source.Size(), source.lastWriteTime);
  }
  report_.PostStatus(kCopyEnds);
  return goOn;
}
