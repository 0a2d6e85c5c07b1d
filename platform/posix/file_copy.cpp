#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/injected_faults.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/unnamed_file.h"
#include "platform/prepared_copy.h"

// A copy goes to a file without a name in the destination's directory
// (O_TMPFILE), or, where the file system has no such files, to a temporary
// name; it gets the source's times and mode, then a name, then is renamed
// over the target. Until that rename the target is untouched, and a copy
// that fails or is killed leaves no partial file under the target's name.
// A copy prepared ahead is made the same way in a directory of the caller's
// choosing on the same file system, and linked into place when named.

namespace platform {

namespace {

// Why a copy failed: as every file service says it, but a directory that
// is missing is a path not found.
std::uint32_t CopyErrorFrom(int error) {
  return error == ENOENT ? kErrorPathNotFound : FileErrorFrom(error);
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

// What a copy checks between its chunks: whether it is no longer wanted.
using Cancelled = std::function<bool()>;

// Copies `length` bytes at `offset` of `from` to the same place in `to`, in
// chunks, asking between them whether the copy is still wanted; 0,
// ECANCELED or the errno of the failure. `*ended` tells that the source
// ended sooner (it got shorter meanwhile).
int CopyRange(int from, int to, off_t offset, off_t length, const Cancelled& cancelled, bool* ended) {
  constexpr size_t kChunk = 16 << 20;
  const off_t end = offset + length;
  bool inKernel = true;
  std::vector<char> buffer;
  while (offset < end) {
    if (cancelled && cancelled()) return ECANCELED;
    const size_t chunk = static_cast<size_t>(std::min<off_t>(end - offset, kChunk));
    ssize_t done;
    if (inKernel) {
      off_t in = offset, out = offset;
      done = copy_file_range(from, &in, to, &out, chunk, 0);
    } else {
      buffer.resize(1 << 20);
      done = pread(from, buffer.data(), std::min(chunk, buffer.size()), offset);
      for (ssize_t written = 0; done > 0 && written < done;) {
        const ssize_t put = pwrite(to, buffer.data() + written, static_cast<size_t>(done - written), offset + written);
        if (put == 0) return EIO;
        if (put < 0 && errno != EINTR) return errno;
        if (put > 0) written += put;
      }
    }
    if (done > 0) {
      offset += done;
      continue;
    }
    if (done == 0) {
      // Some file systems copy nothing in the kernel short of the end: only
      // a read tells that the source really ends here.
      if (inKernel) {
        inKernel = false;
        continue;
      }
      *ended = true;
      return 0;
    }
    const int error = errno;
    if (error == EINTR) continue;
    // This pair of file systems cannot copy in the kernel: by hand from here.
    if (inKernel && (error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP)) {
      inKernel = false;
      continue;
    }
    return error;
  }
  return 0;
}

// Copies the content of `from` (with that status) into `to`, its data
// only: holes stay holes, as the source's file system tells them (one that
// cannot tell has none). 0, ECANCELED or the errno of the failure.
int CopyContent(int from, const struct stat& info, int to, const Cancelled& cancelled) {
  off_t size = info.st_size;
  // Blocks enough for every byte: no holes to look for.
  if (static_cast<off_t>(info.st_blocks) * 512 >= size) {
    bool ended = false;
    return CopyRange(from, to, 0, size, cancelled, &ended);
  }
  off_t offset = 0;
  off_t written = 0;  // the end of the data copied
  bool ended = false;
  while (offset < size && !ended) {
    off_t data = lseek(from, offset, SEEK_DATA);
    if (data < 0) {
      const int error = errno;
      if (error == ENXIO) {
        // A hole to the end, or a source that got shorter meanwhile: then
        // the copy ends where the source does, never padded with zeros.
        struct stat now;
        if (fstat(from, &now) == 0 && now.st_size < size) size = now.st_size;
        break;
      }
      data = offset;  // no holes known here
    }
    if (data >= size) break;
    off_t hole = lseek(from, data, SEEK_HOLE);
    if (hole < 0 || hole > size) hole = size;
    if (const int error = CopyRange(from, to, data, hole - data, cancelled, &ended)) return error;
    offset = written = hole;
  }
  // A hole at the end has no data to copy: the length makes it.
  if (!ended && written != size && ftruncate(to, size) != 0) return errno;
  return 0;
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
  *named = TemporaryCopyName();
  return openat(directory, named->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

// Opens the source of a copy; kErrorNone, or why it cannot be copied. Only
// a regular file is copied: a named pipe would wait for a writer for good,
// and a device would be read without end (O_NONBLOCK keeps the open itself
// from waiting; it means nothing to a regular file).
std::uint32_t OpenSource(const std::string& source, int* from, struct stat* info) {
  *from = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (*from < 0) {
    const int error = errno;
    return FileErrorFrom(error);
  }
  if (fstat(*from, info) != 0 || !S_ISREG(info->st_mode)) return kErrorAccessDenied;
  return kErrorNone;
}

// Gives `to` the source's mode and times. Set-user-ID and set-group-ID bits
// are never carried to a file whoever runs the copy owns. 0 or the errno.
int CarryModeAndTimes(int to, const struct stat& info) {
  if (TakeInjectedMetadataFailure()) return EPERM;  // as FAT refuses them
  const timespec times[2] = {info.st_atim, info.st_mtim};
  const bool moded = fchmod(to, info.st_mode & 07777 & ~(S_ISUID | S_ISGID)) == 0;
  const int modeError = errno;
  if (futimens(to, times) != 0) return errno;
  return moded ? 0 : modeError;
}

// Gives `to` the source's content, then its mode and times as far as the
// destination's file system takes them: FAT and exFAT refuse many modes and
// keep times in steps, and a copy is a copy all the same.
// 0 or the errno of the content's copy.
int FillCopy(int from, const struct stat& info, int to, const Cancelled& cancelled) {
  const int error = CopyContent(from, info, to, cancelled);
  if (error != 0) return error;
  (void)CarryModeAndTimes(to, info);
  return 0;
}

// Names the complete unnamed copy `to`: at once where nothing stands under
// `name`, otherwise under a temporary name renamed over the target, so the
// target is replaced in one step. 0 or the errno.
int NameUnnamed(int to, int directory, const std::string& name) {
  int error = LinkUnnamed(to, directory, name);
  if (error != EEXIST) return error;
  const std::string temporary = TemporaryCopyName();
  error = LinkUnnamed(to, directory, temporary);
  if (error != 0) return error;
  if (renameat(directory, temporary.c_str(), directory, name.c_str()) == 0) return 0;
  error = errno;
  unlinkat(directory, temporary.c_str(), 0);
  return error;
}

// The directory part of a path (with its separator) and the name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

}  // namespace

PreparedCopy::PreparedCopy(PreparedCopy&& other) noexcept
    : file_(std::exchange(other.file_, -1)), error_(other.error_) {}

PreparedCopy& PreparedCopy::operator=(PreparedCopy&& other) noexcept {
  if (this != &other) {
    Discard();
    file_ = std::exchange(other.file_, -1);
    error_ = other.error_;
  }
  return *this;
}

void PreparedCopy::Discard() {
  if (file_ >= 0) close(static_cast<int>(file_));
  file_ = -1;
}

bool CanPrepareCopies() { return true; }

PreparedCopy PrepareCopy(const std::string& source, const std::string& directory,
                         const std::function<bool()>& cancelled) {
  if (const std::uint32_t injected = TakeInjectedPreparedCopyFailure()) return {-1, injected};
  int fromFile = -1;
  struct stat info;
  const std::uint32_t sourceError = OpenSource(source, &fromFile, &info);
  const Descriptor from(fromFile);
  if (sourceError != kErrorNone) return {-1, sourceError};
  const Descriptor place(open(directory.c_str(), O_DIRECTORY | O_CLOEXEC));
  if (place.Get() < 0) {
    const int error = errno;
    return {-1, CopyErrorFrom(error)};
  }
  const int to = OpenUnnamed(place.Get(), O_WRONLY, 0600);
  if (to < 0) {
    const int error = errno;
    return {-1, UnnamedUnsupported(error) ? std::uint32_t{kErrorNotSupported} : CopyErrorFrom(error)};
  }
  PreparedCopy copy(to, kErrorNone);
  if (const int error = FillCopy(from.Get(), info, to, cancelled)) return {-1, CopyErrorFrom(error)};
  return copy;
}

std::uint64_t FreeSpaceIn(const std::string& directory) {
  struct statvfs space;
  if (statvfs(directory.c_str(), &space) != 0) return 0;
  return static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
}

FileResult NamePreparedCopy(PreparedCopy& copy, const std::string& destination) {
  if (copy.Error() != kErrorNone) return {copy.Error()};
  if (const std::uint32_t injected = TakeInjectedCopyFailure()) {
    copy.Discard();
    return {injected};
  }
  const auto [directoryPath, name] = SplitPath(destination);
  const Descriptor directory(open(directoryPath.c_str(), O_DIRECTORY | O_CLOEXEC));
  int error = directory.Get() < 0 ? errno : NameUnnamed(static_cast<int>(copy.file_), directory.Get(), name);
  if (error == EXDEV) return {kErrorNotSameDevice};
  copy.Discard();
  return {error == 0 ? kErrorNone : CopyErrorFrom(error)};
}

FileResult CopyFileReplacing(const std::string& source, const std::string& destination) {
  if (const std::uint32_t injected = TakeInjectedCopyFailure()) return {injected};
  int fromFile = -1;
  struct stat info;
  const std::uint32_t sourceError = OpenSource(source, &fromFile, &info);
  const Descriptor from(fromFile);
  if (sourceError != kErrorNone) return {sourceError};

  const auto [directoryPath, name] = SplitPath(destination);
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
  int error = FillCopy(from.Get(), info, to.Get(), nullptr);
  if (temporary.empty()) {
    if (error == 0) error = NameUnnamed(to.Get(), directory.Get(), name);
    return {error == 0 ? kErrorNone : CopyErrorFrom(error)};
  }
  if (error == 0 && renameat(directory.Get(), temporary.c_str(), directory.Get(), name.c_str()) != 0)
    error = errno;
  if (error != 0) unlinkat(directory.Get(), temporary.c_str(), 0);
  return {error == 0 ? kErrorNone : CopyErrorFrom(error)};
}

}  // namespace platform
