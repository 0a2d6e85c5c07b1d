#include "platform/posix/unnamed_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace platform {

int OpenUnnamed(int directory, int flags, mode_t mode) {
  return openat(directory, ".", O_TMPFILE | O_CLOEXEC | flags, mode);
}

bool UnnamedUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Linking the descriptor itself needs a capability that root usually has;
// everyone else links it through /proc.
int LinkUnnamed(int fd, int directory, const std::string& name) {
  static std::atomic<bool> descriptorLinks{true};
  if (descriptorLinks) {
    if (linkat(fd, "", directory, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    const int error = errno;
    if (error != ENOENT && error != EPERM) return error;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (linkat(AT_FDCWD, self.c_str(), directory, name.c_str(), AT_SYMLINK_FOLLOW) != 0) return errno;
  descriptorLinks = false;
  return 0;
}

}  // namespace platform
