#include "platform/file_attributes.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/file_facts.h"

// The archive bit natively: set while a file's write time and size differ
// from those recorded in an extended attribute when the bit was last cleared.

namespace platform {

namespace {

constexpr char kArchiveRecord[] = "user.kelmoray.archive";

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

// Times are kept in 100-nanosecond steps, as the listings give them, so
// that a record made from a listing matches the file it was made from.
ArchiveRecord RecordOf(const struct stat& info) {
  return {info.st_mtim.tv_sec, info.st_mtim.tv_nsec / 100 * 100, info.st_size};
}

ArchiveRecord RecordOf(std::uint64_t size, std::uint64_t lastWriteTime) {
  const std::uint64_t sinceEpoch = lastWriteTime - kUnixEpochAsFileTime;
  return {static_cast<std::int64_t>(sinceEpoch / 10'000'000), static_cast<std::int64_t>(sinceEpoch % 10'000'000 * 100),
          static_cast<std::int64_t>(size)};
}

// Records the write time and size that clear a file's archive bit. A file
// its owner may not write takes no record (the system asks for write
// permission): the owner lends it that permission for the moment, and its
// mode is as it was afterwards. A file the user neither owns nor may write
// keeps its bit, as on Windows a file whose attributes one may not write.
bool WriteArchiveRecord(const std::string& path, const struct stat& info, const ArchiveRecord& record) {
  if (lsetxattr(path.c_str(), kArchiveRecord, &record, sizeof record, 0) == 0) return true;
  const int error = errno;
  if (error != EACCES || info.st_uid != geteuid() || (info.st_mode & S_IWUSR)) return false;
  if (chmod(path.c_str(), (info.st_mode | S_IWUSR) & 07777) != 0) return false;
  const bool written = lsetxattr(path.c_str(), kArchiveRecord, &record, sizeof record, 0) == 0;
  return chmod(path.c_str(), info.st_mode & 07777) == 0 && written;
}

// The mode that gives a file the read-only state asked for: unchanged when
// it has that state already; otherwise every write permission goes, or the
// owner's comes back.
mode_t ModeFor(mode_t mode, bool readOnly) {
  const bool isReadOnly = !(mode & S_IWUSR);
  if (readOnly == isReadOnly) return mode;
  return readOnly ? mode & ~(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
}

}  // namespace

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
        record.seconds != now.seconds || record.nanoseconds / 100 != now.nanoseconds / 100 ||
        record.size != now.size)
      attributes |= kAttrArchive;
  }
  return attributes;
}

bool WriteFileAttributes(const std::string& path, std::uint32_t attributes) {
  const std::string plain = WithoutTrailingSeparator(path);
  struct stat info;
  if (lstat(plain.c_str(), &info) != 0) return false;
  if (!S_ISREG(info.st_mode)) return S_ISDIR(info.st_mode);  // nothing to carry for a directory
  const mode_t mode = ModeFor(info.st_mode, attributes & kAttrReadOnly);
  bool done = mode == info.st_mode || chmod(plain.c_str(), mode & 07777) == 0;
  if (attributes & kAttrArchive) {
    if (lremovexattr(plain.c_str(), kArchiveRecord) != 0 && errno != ENODATA) done = false;
  } else {
    info.st_mode = mode;
    done = WriteArchiveRecord(plain, info, RecordOf(info)) && done;
  }
  return done;
}

bool ClearArchiveBitOf(const std::string& path, std::uint64_t size, std::uint64_t lastWriteTime) {
  struct stat info;
  if (lastWriteTime < kUnixEpochAsFileTime || lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return false;
  return WriteArchiveRecord(path, info, RecordOf(size, lastWriteTime));
}

}  // namespace platform
