#include "platform/file_operations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/file_facts.h"

namespace platform {

FileResult DeleteFilePlain(const std::string& path) {
  if (unlink(path.c_str()) == 0) return {};
  const int error = errno;
  return {FileErrorFrom(error)};
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

bool CopyCarriesAllTimes() { return true; }
bool ProtectiveBitsBlockChanges() { return false; }

}  // namespace platform
