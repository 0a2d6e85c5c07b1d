#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/copy_faults.h"
#include "platform/file_system.h"
#include "platform/posix/unnamed_file.h"

// A copy goes to a file without a name in the destination's directory
// (O_TMPFILE), or, where the file system has no such files, to a temporary
// name; it gets the source's times and mode, then a name, then is renamed
// over the target. Until that rename the target is untouched, and a copy
// that fails or is killed leaves no partial file under the target's name.

namespace platform {

namespace {

std::uint32_t CopyErrorFrom(int error) {
  switch (error) {
    case ENOENT: return kErrorPathNotFound;  // the directory is missing
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
    default: return kErrorOther;
  }
}

// Closes a descriptor at the end of a scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// Copies all of `from` into `to`; 0 or the errno of the failure.
int CopyContent(int from, int to, off_t size) {
  off_t copied = 0;
  while (copied < size) {
    const ssize_t done = copy_file_range(from, nullptr, to, nullptr,
                                         static_cast<size_t>(size - copied), 0);
    if (done > 0) {
      copied += done;
      continue;
    }
    if (done == 0) return 0;  // the source got shorter meanwhile
    const int error = errno;
    if (error == EINTR) continue;
    if (error != EXDEV && error != ENOSYS && error != EINVAL && error != EOPNOTSUPP) return error;
    break;  // this file system pair cannot: copy by hand from where it stopped
  }
  if (copied >= size) return 0;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t got = read(from, buffer.data(), buffer.size());
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t written = 0; written < got;) {
      const ssize_t put = write(to, buffer.data() + written, static_cast<size_t>(got - written));
      if (put < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      written += put;
    }
  }
}

std::string TemporaryName() {
  static std::atomic<unsigned> serial{0};
  return ".kelmoray-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".tmp";
}

// An open file in `directory` that has no name yet, or has `*named` as a
// temporary one.
int OpenTemporary(int directory, std::string* named) {
  const int fd = OpenUnnamed(directory, O_WRONLY, 0600);
  if (fd >= 0) return fd;
  const int error = errno;
  if (!UnnamedUnsupported(error)) {
    errno = error;
    return -1;
  }
  *named = TemporaryName();
  return openat(directory, named->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

}  // namespace

FileResult CopyFileReplacing(const std::string& source, const std::string& destination) {
  if (const std::uint32_t injected = TakeInjectedCopyFailure()) return {injected};
  const Descriptor from(open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (from.Get() < 0) {
    const int error = errno;
    return {error == ENOENT ? kErrorFileNotFound : CopyErrorFrom(error)};
  }
  struct stat info;
  if (fstat(from.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return {kErrorAccessDenied};

  const size_t slash = destination.rfind('/');
  const std::string directoryPath = slash == std::string::npos ? "." : destination.substr(0, slash + 1);
  const std::string name = destination.substr(slash == std::string::npos ? 0 : slash + 1);
  const Descriptor directory(open(directoryPath.c_str(), O_DIRECTORY | O_CLOEXEC));
  if (directory.Get() < 0) {
    const int error = errno;
    return {CopyErrorFrom(error)};
  }

  std::string temporary;  // empty while the copy has no name
  const Descriptor to(OpenTemporary(directory.Get(), &temporary));
  if (to.Get() < 0) {
    const int error = errno;
    return {CopyErrorFrom(error)};
  }
  int error = CopyContent(from.Get(), to.Get(), info.st_size);
  const timespec times[2] = {info.st_atim, info.st_mtim};
  if (error == 0 && (fchmod(to.Get(), info.st_mode & 07777) != 0 || futimens(to.Get(), times) != 0))
    error = errno;
  if (error == 0 && temporary.empty()) {
    // A copy without a name gets the target's name at once where none is
    // there yet; otherwise a temporary one, renamed over the target below.
    error = LinkUnnamed(to.Get(), directory.Get(), name);
    if (error == 0) return {};
    if (error == EEXIST) {
      temporary = TemporaryName();
      error = LinkUnnamed(to.Get(), directory.Get(), temporary);
      if (error != 0) temporary.clear();
    }
  }
  if (error == 0 && renameat(directory.Get(), temporary.c_str(), directory.Get(), name.c_str()) != 0)
    error = errno;
  if (error != 0 && !temporary.empty()) unlinkat(directory.Get(), temporary.c_str(), 0);
  return {error == 0 ? kErrorNone : CopyErrorFrom(error)};
}

}  // namespace platform
