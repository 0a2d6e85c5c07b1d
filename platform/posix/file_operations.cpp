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

FileResult CheckReadable(const std::string& path) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  const int error = errno;
  if (file < 0) return {FileErrorFrom(error)};
  close(file);
  return {};
}

FileResult AppendToFile(const std::string& path, std::string_view bytes) {
  const int file = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) {
    const int error = errno;
    return {FileErrorFrom(error)};
  }
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t written = write(file, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      const int error = errno;
      if (error == EINTR) continue;
      close(file);
      return {FileErrorFrom(error)};
    }
    done += static_cast<size_t>(written);
  }
  return close(file) == 0 ? FileResult{} : FileResult{kErrorOther};
}

void SetCopiesAbandoned(bool) {}

bool CopyFileTimes(const std::string& source, const std::string& destination) {
  struct stat info;
  if (stat(source.c_str(), &info) != 0) return false;
  const timespec times[2] = {info.st_atim, info.st_mtim};
  return utimensat(AT_FDCWD, destination.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool CopyCarriesAllTimes() { return true; }
bool ProtectiveBitsBlockChanges() { return false; }

}  // namespace platform
