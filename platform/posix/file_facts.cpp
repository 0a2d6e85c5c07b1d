#include "platform/posix/file_facts.h"

#include <cerrno>

#include "platform/file_attributes.h"
#include "platform/file_operations.h"

namespace platform {

std::uint64_t ToFileTime(const timespec& time) {
  if (time.tv_sec < 0) return 0;
  return kUnixEpochAsFileTime + static_cast<std::uint64_t>(time.tv_sec) * 10'000'000ull +
         static_cast<std::uint64_t>(time.tv_nsec) / 100;
}

std::uint32_t AttributesOf(const struct stat& info, const std::string& name) {
  std::uint32_t attributes = 0;
  // Read-only means what it means on Windows: a file that cannot be written.
  // A directory's write permission is about creating files in it, which
  // the Windows attribute never prevents, so directories are never read-only.
  if (S_ISDIR(info.st_mode)) attributes |= kAttrDirectory;
  else if (!(info.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
  // Named pipes, sockets and devices: never to be opened by a copy.
  if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) attributes |= kAttrDevice;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttrHidden;
  return attributes;
}

std::uint32_t FileErrorFrom(int error) {
  switch (error) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR:
    case ELOOP: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return kErrorAccessDenied;
    case ETXTBSY:
    case EBUSY: return kErrorSharingViolation;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case ENOTEMPTY:
    case EEXIST: return kErrorDirNotEmpty;
    default: return kErrorOther;
  }
}

std::string WithoutTrailingSeparator(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  return path.substr(0, end);
}

}  // namespace platform
