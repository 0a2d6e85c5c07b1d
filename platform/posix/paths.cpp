#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

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

namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The directory a path leads to, or its nearest existing parent: a
// descriptor that only names it, or -1.
int OpenNearestDirectory(std::string path) {
  for (;;) {
    const int fd = open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) return fd;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || path == "/") return -1;
    path.erase(slash + 1);
  }
}

}  // namespace

bool DirectoryContains(const std::string& outer, const std::string& inner) {
  struct stat target;
  if (stat(outer.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) return false;
  // Up through ".." as the system walks it: links on the way were followed
  // when the path was opened, as a copy into it would follow them.
  int fd = OpenNearestDirectory(inner);
  struct stat here;
  bool found = false;
  while (fd >= 0 && fstat(fd, &here) == 0) {
    if (SameFile(here, target)) {
      found = true;
      break;
    }
    const int up = openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
    close(fd);
    fd = up;
    struct stat parent;
    if (fd >= 0 && fstat(fd, &parent) == 0 && SameFile(parent, here)) break;  // "/" is its own parent
  }
  if (fd >= 0) close(fd);
  return found;
}

std::optional<DirectoryIdentity> IdentityOfDirectory(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return DirectoryIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char current[PATH_MAX];
  if (getcwd(current, sizeof current) == nullptr) return path;
  const std::string directory = current;
  return directory + (directory.back() == '/' ? "" : "/") + path;
}

std::string ModuleFilePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<size_t>(length));
}

std::vector<std::string> CommandLineArguments(int argc, const char* const* argv) { return {argv, argv + argc}; }

}  // namespace platform
