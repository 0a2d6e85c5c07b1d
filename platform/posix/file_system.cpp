#include "platform/file_system.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

PathStyle NativePathStyle() { return PathStyle::kPosix; }

CreateDirResult CreateDirectoryOnce(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return CreateDirResult::kCreated;
  const int error = errno;
  switch (error) {
    case EEXIST: return CreateDirResult::kAlreadyExists;
    case EACCES:
    case EPERM: return CreateDirResult::kAccessDenied;
    default: return CreateDirResult::kFailed;
  }
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ModuleFilePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<size_t>(length));
}

}  // namespace platform
