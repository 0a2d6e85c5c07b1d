#pragma once
// The entries of one directory, one at a time.

#include <cstdint>
#include <string>

namespace platform {

// One entry of a directory, as the enumeration gives it. Times are in
// 100-nanosecond units since 1601-01-01 UTC.
struct DirectoryEntry {
  std::uint32_t attributes = 0;
  std::uint64_t creationTime = 0;
  std::uint64_t lastAccessTime = 0;
  std::uint64_t lastWriteTime = 0;
  std::uint64_t size = 0;
  std::string name;
  std::string shortName;  // empty where the system has none
};

// How a listing shows a link to a file: as the file it points to (what a
// copy of it reads), or as the link itself (what stands there). A link
// whose target is missing or cannot be examined shows as itself either way.
// Natively only: Windows lists every link as itself.
enum class LinkView { kTarget, kLink };

// What one step of a listing gives.
enum class ListStep { kEntry, kEnd, kError };

// The entries of a directory whose names match a wildcard pattern ("*" and
// "?"; "*.*" matches every name), "." and ".." included where the system
// has them (a drive root has none). Natively the archive bit is not filled
// in (it costs a read per file); ReadFileAttributes gives it.
class DirectoryListing {
 public:
  // `directory` ends in a separator. A directory that does not exist lists
  // nothing: it may have gone since its parent was listed.
  DirectoryListing(const std::string& directory, const std::string& pattern,
                   LinkView links = LinkView::kTarget);
  ~DirectoryListing();
  DirectoryListing(const DirectoryListing&) = delete;
  DirectoryListing& operator=(const DirectoryListing&) = delete;

  // The next entry; kEnd after the last one; kError when the directory
  // could not be read (further): what it still holds is unknown.
  ListStep Next(DirectoryEntry* entry);
  // Why the listing failed (a FileError), after kError.
  std::uint32_t Error() const { return error_; }

 private:
  ListStep NextFromSystem(DirectoryEntry* entry);  // each platform's own
  void LookUpFault(const std::string& directory);  // one a test injected

  void* handle_ = nullptr;
  std::string pattern_;
  LinkView links_ = LinkView::kTarget;
  bool pending_ = false;  // Windows: the first entry is already in the buffer
  std::uint32_t error_ = 0;
  int faultEntries_ = -1;  // entries left before an injected fault; -1: none
  std::uint32_t faultError_ = 0;
};

// Wildcard matching as the Windows file system does it for enumeration:
// "*" any run, "?" one character, and "*.*" or "*" every name. ASCII
// letters match without regard to case where `ignoreCase` says so.
bool MatchesWildcard(const std::string& name, const std::string& pattern, bool ignoreCase);

}  // namespace platform
