#include "platform/directory_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/file_attributes.h"
#include "platform/file_operations.h"
#include "platform/posix/file_facts.h"

namespace platform {

namespace {

// Whether a failed call found nothing there: the entry has gone meanwhile.
bool Vanished(int error) { return error == ENOENT || error == ENOTDIR; }

}  // namespace

DirectoryListing::DirectoryListing(const std::string& directory, const std::string& pattern, LinkView links)
    : handle_(opendir(directory.c_str())), pattern_(pattern), links_(links) {
  const int error = errno;
  if (handle_ == nullptr && !Vanished(error)) error_ = FileErrorFrom(error);
  LookUpFault(directory);
}

DirectoryListing::~DirectoryListing() {
  if (handle_ != nullptr) closedir(static_cast<DIR*>(handle_));
}

// Reset errno before readdir: a null return is the end only while it stays 0.
ListStep DirectoryListing::NextFromSystem(DirectoryEntry* entry) {
  if (error_ != kErrorNone) return ListStep::kError;
  if (handle_ == nullptr) return ListStep::kEnd;
  DIR* dir = static_cast<DIR*>(handle_);
  for (;;) {
    errno = 0;
    const dirent* found = readdir(dir);
    if (found == nullptr) {
      const int error = errno;
      if (error == 0) return ListStep::kEnd;
      error_ = FileErrorFrom(error);
      return ListStep::kError;
    }
    if (!MatchesWildcard(found->d_name, pattern_, false)) continue;
    struct stat info;
    if (fstatat(dirfd(dir), found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
      const int error = errno;
      if (Vanished(error)) continue;  // deleted since it was listed
      error_ = FileErrorFrom(error);
      return ListStep::kError;
    }
    std::uint32_t link = 0;
    if (S_ISLNK(info.st_mode)) {
      // A link is marked, and shows what it points to where that is wanted
      // and there (a directory always, so that it is never entered). One
      // whose target is missing today (a disk not mounted) or cannot be
      // examined stays listed as itself: never copied, and nothing of its
      // name is deleted.
      struct stat target;
      if (fstatat(dirfd(dir), found->d_name, &target, 0) == 0 &&
          (links_ == LinkView::kTarget || S_ISDIR(target.st_mode)))
        info = target;
      link = kAttrReparsePoint;
    }
    entry->name = found->d_name;
    entry->shortName.clear();
    entry->attributes = AttributesOf(info, entry->name) | link;
    entry->creationTime = ToFileTime(info.st_ctim);
    entry->lastAccessTime = ToFileTime(info.st_atim);
    entry->lastWriteTime = ToFileTime(info.st_mtim);
    entry->size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    return ListStep::kEntry;
  }
}

}  // namespace platform
