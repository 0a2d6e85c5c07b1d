#include "platform/profile_file.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_operations.h"
#include "platform/posix/ini_document.h"

namespace platform {
namespace {

// What identifies one version of a file: every write of ours replaces the
// file, so a new version has a new inode; an edit in place changes the times.
struct FileVersion {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  timespec modified{}, changed{};
  bool operator==(const FileVersion& o) const {
    return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
           changed.tv_nsec == o.changed.tv_nsec;
  }
};

enum class Presence { kExists, kMissing, kUnreadable };

Presence StatFile(const std::string& path, FileVersion& version) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    const int error = errno;
    return error == ENOENT ? Presence::kMissing : Presence::kUnreadable;
  }
  if (!S_ISREG(info.st_mode)) return Presence::kUnreadable;
  version = {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
  return Presence::kExists;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  text.clear();
  char chunk[65536];
  ssize_t got;
  while ((got = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(got));
  const bool ok = got == 0;
  close(fd);
  return ok;
}

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

// The file a path names in the end: a link's target (the link stays a
// link), followed through at most 40 links as the system does.
std::string FinalTarget(std::string path) {
  for (int links = 0; links < 40; ++links) {
    char target[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0) return path;
    target[length] = '\0';
    const size_t slash = path.rfind('/');
    path = target[0] == '/' || slash == std::string::npos ? std::string(target)
                                                           : path.substr(0, slash + 1) + target;
  }
  return path;
}

// Makes what was written to the directory's entries survive a crash.
void FlushDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

// Writes the text beside the file, flushes it to the disk and renames it
// over the file, so that a reader (or the next start after a crash) sees
// the old or the new file, never a partial one. A link is written through:
// its target is replaced, and it stays a link.
bool ReplaceFile(const std::string& path, const std::string& text) {
  const std::string target = FinalTarget(path);
  const size_t slash = target.rfind('/');
  const std::string temporary =
      (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + TemporaryCopyName();
  struct stat old;
  // A new file takes the mode the user's mask gives; a replaced one keeps its own.
  const bool replacing = stat(target.c_str(), &old) == 0;
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = (!replacing || fchmod(fd, old.st_mode & 07777) == 0) && WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temporary.c_str(), target.c_str()) == 0) {
    FlushDirectoryOf(target);
    return true;
  }
  unlink(temporary.c_str());
  return false;
}

// The last file read or written, parsed; used again while the file is unchanged.
struct Cache {
  std::mutex lock;
  std::string path;
  FileVersion version;
  ini::Document document;
  std::string batchPath;      // writes to this file wait for the batch's end
  bool batchPending = false;  // the document holds writes not yet in the file
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// Writes the cached document to its file and reads it back as the profile
// functions would see it next time.
bool Store(Cache& cache) {
  const std::string fileText = cache.document.Text();
  const bool written = ReplaceFile(cache.path, fileText);
  cache.document = ini::Document::Parse(fileText);
  FileVersion version;
  if (!written || StatFile(cache.path, version) != Presence::kExists) {
    cache.path.clear();  // the document in memory no longer matches the file
    return false;
  }
  cache.version = version;
  return true;
}

// Loads the document of path into the cache. False when the file exists but cannot be read.
bool Load(Cache& cache, const std::string& path) {
  // The cache is about to hold another file: a batch's writes go out first.
  if (cache.batchPending && cache.path != path && cache.path == cache.batchPath) {
    Store(cache);
    cache.batchPending = false;
  }
  FileVersion version;
  switch (StatFile(path, version)) {
    case Presence::kUnreadable: return false;
    case Presence::kMissing:
      // Still missing: what the cache holds are writes waiting for a batch's end.
      if (cache.path == path && cache.version == FileVersion{}) return true;
      cache.path = path;
      cache.version = {};
      cache.document = ini::Document();
      return true;
    case Presence::kExists: break;
  }
  if (cache.path == path && cache.version == version) return true;
  std::string text;
  if (!ReadWholeFile(path, text)) return false;
  cache.path = path;
  cache.version = version;
  cache.document = ini::Document::Parse(text);
  return true;
}

}  // namespace

int ReadProfileValue(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                      const char* file) {
  if (size <= 0 || !buffer) return 0;
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  const std::string text = file && Load(cache, file)
                               ? cache.document.Read(section ? section : "", key ? key : "", defaultText ? defaultText : "",
                                                     static_cast<size_t>(size))
                               : ini::Document().Read("", "", defaultText ? defaultText : "", static_cast<size_t>(size));
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return static_cast<int>(text.size());
}

bool WriteProfileValue(const char* section, const char* key, const char* text, const char* file) {
  // Every write below reaches the disk at once: a flush has nothing to do.
  if (!file || !section) return false;
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  if (!Load(cache, file)) return false;
  ini::Document& doc = cache.document;
  const bool changed = !key ? doc.DeleteSection(section) : !text ? doc.DeleteKey(section, key) : doc.Set(section, key, text);
  if (!changed) return true;
  if (cache.batchPath == file) {
    cache.batchPending = true;
    return true;
  }
  return Store(cache);
}

ProfileWriteBatch::ProfileWriteBatch(const char* file) {
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  cache.batchPath = file ? file : "";
  cache.batchPending = false;
}

ProfileWriteBatch::~ProfileWriteBatch() { Finish(); }

bool ProfileWriteBatch::Finish() {
  if (finished_) return true;
  finished_ = true;
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  const bool stored = !(cache.batchPending && cache.path == cache.batchPath) || Store(cache);
  cache.batchPath.clear();
  cache.batchPending = false;
  return stored;
}

}  // namespace platform
