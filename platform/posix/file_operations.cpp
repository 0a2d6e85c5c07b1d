#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/file_system.h"

// The Windows file services the engine relies on, over POSIX calls.

namespace platform {

namespace {

constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;  // 1970-01-01 in 1601 units
constexpr char kArchiveRecord[] = "user.kelmoray.archive";

std::uint64_t ToFileTime(const timespec& time) {
  if (time.tv_sec < 0) return 0;
  return kUnixEpochAsFileTime + static_cast<std::uint64_t>(time.tv_sec) * 10'000'000ull +
         static_cast<std::uint64_t>(time.tv_nsec) / 100;
}

std::uint32_t FileErrorFrom(int error) {
  switch (error) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR:
    case ELOOP: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return kErrorAccessDenied;
    case ETXTBSY:
    case EBUSY: return kErrorSharingViolation;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case ENOTEMPTY:
    case EEXIST: return kErrorDirNotEmpty;
    default: return kErrorOther;
  }
}

// A path without its trailing separators, so that a final link is not followed.
std::string WithoutTrailingSeparator(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  return path.substr(0, end);
}

std::string LastName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What the archive bit remembers natively: the write time and size of a
// file when its bit was last cleared.
struct ArchiveRecord {
  std::int64_t seconds;
  std::int64_t nanoseconds;
  std::int64_t size;
};

ArchiveRecord RecordOf(const struct stat& info) {
  return {info.st_mtim.tv_sec, info.st_mtim.tv_nsec, info.st_size};
}

std::uint32_t AttributesOf(const struct stat& info, const std::string& name) {
  std::uint32_t attributes = 0;
  // Read-only means what it means on Windows: a file that cannot be written.
  // A directory's write permission is about creating files in it, which
  // the Windows attribute never prevents, so directories are never read-only.
  if (S_ISDIR(info.st_mode)) attributes |= kAttrDirectory;
  else if (!(info.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttrHidden;
  return attributes;
}

}  // namespace

DirectoryListing::DirectoryListing(const std::string& directory, const std::string& pattern)
    : handle_(opendir(directory.c_str())), directory_(directory), pattern_(pattern) {}

DirectoryListing::~DirectoryListing() {
  if (handle_ != nullptr) closedir(static_cast<DIR*>(handle_));
}

bool DirectoryListing::Next(DirectoryEntry* entry) {
  if (handle_ == nullptr) return false;
  DIR* dir = static_cast<DIR*>(handle_);
  for (;;) {
    errno = 0;
    const dirent* found = readdir(dir);
    if (found == nullptr) return false;  // the end, or a read error: the listing stops either way
    if (!MatchesWildcard(found->d_name, pattern_, false)) continue;
    struct stat info;
    if (fstatat(dirfd(dir), found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    std::uint32_t link = 0;
    if (S_ISLNK(info.st_mode)) {
      // A link shows what it points to, marked; one that points nowhere is left out.
      if (fstatat(dirfd(dir), found->d_name, &info, 0) != 0) continue;
      link = kAttrReparsePoint;
    }
    entry->name = found->d_name;
    entry->shortName.clear();
    entry->attributes = AttributesOf(info, entry->name) | link;
    entry->creationTime = ToFileTime(info.st_ctim);
    entry->lastAccessTime = ToFileTime(info.st_atim);
    entry->lastWriteTime = ToFileTime(info.st_mtim);
    entry->size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
    return true;
  }
}

std::uint32_t ReadFileAttributes(const std::string& path) {
  const std::string plain = WithoutTrailingSeparator(path);
  struct stat info;
  if (lstat(plain.c_str(), &info) != 0) return kInvalidAttributes;
  if (S_ISLNK(info.st_mode)) {
    struct stat target;
    const bool resolved = stat(plain.c_str(), &target) == 0;
    return (resolved ? AttributesOf(target, LastName(plain)) : 0) | kAttrReparsePoint;
  }
  std::uint32_t attributes = AttributesOf(info, LastName(plain));
  if (S_ISREG(info.st_mode)) {
    ArchiveRecord record{};
    const ArchiveRecord now = RecordOf(info);
    if (lgetxattr(plain.c_str(), kArchiveRecord, &record, sizeof record) != sizeof record ||
        std::memcmp(&record, &now, sizeof record) != 0)
      attributes |= kAttrArchive;
  }
  return attributes;
}

bool WriteFileAttributes(const std::string& path, std::uint32_t attributes) {
  const std::string plain = WithoutTrailingSeparator(path);
  struct stat info;
  if (lstat(plain.c_str(), &info) != 0) return false;
  if (!S_ISREG(info.st_mode)) return S_ISDIR(info.st_mode);  // nothing to carry for a directory
  const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
  const mode_t mode = (attributes & kAttrReadOnly) ? info.st_mode & ~writable
                                                   : info.st_mode | (info.st_mode & S_IWUSR ? 0 : S_IWUSR);
  bool done = (mode & 07777) == (info.st_mode & 07777) || chmod(plain.c_str(), mode & 07777) == 0;
  {
    if (attributes & kAttrArchive) {
      if (lremovexattr(plain.c_str(), kArchiveRecord) != 0 && errno != ENODATA) done = false;
    } else {
      const ArchiveRecord record = RecordOf(info);
      if (lsetxattr(plain.c_str(), kArchiveRecord, &record, sizeof record, 0) != 0) done = false;
    }
  }
  return done;
}

FileResult DeleteFilePlain(const std::string& path) {
  if (unlink(path.c_str()) == 0) return {};
  const int error = errno;
  return {error == EISDIR ? kErrorAccessDenied : FileErrorFrom(error)};
}

FileResult RemoveDirectoryPlain(const std::string& path) {
  if (rmdir(WithoutTrailingSeparator(path).c_str()) == 0) return {};
  const int error = errno;
  return {FileErrorFrom(error)};
}

bool CopyFileTimes(const std::string& source, const std::string& destination) {
  struct stat info;
  if (stat(source.c_str(), &info) != 0) return false;
  const timespec times[2] = {info.st_atim, info.st_mtim};
  return utimensat(AT_FDCWD, destination.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

std::tm LocalTimeOf(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  return local;
}

bool CopyCarriesAllTimes() { return true; }
bool CopyReplacesReadOnlyTargets() { return true; }

long long FileTimeToLocalSeconds(std::uint64_t fileTime) {
  if (fileTime < kUnixEpochAsFileTime) return -1;
  const time_t utc = static_cast<time_t>((fileTime - kUnixEpochAsFileTime) / 10'000'000ull);
  tm local;
  if (localtime_r(&utc, &local) == nullptr) return -1;
  return static_cast<long long>(timegm(&local));
}

}  // namespace platform
