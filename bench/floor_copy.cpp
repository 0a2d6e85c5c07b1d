// The least work a first copy can do, for comparison: one thread walks the
// source tree with getdents/fstatat, makes each directory, and copies each
// regular file with open(O_CREAT), copy_file_range and futimens.
//   floor_copy SOURCE DESTINATION
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void CopyFile(int fromDir, int toDir, const char* name, const struct stat& info) {
  const int from = openat(fromDir, name, O_RDONLY | O_CLOEXEC);
  const int to = openat(toDir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
  bool done = from >= 0 && to >= 0;
  for (off_t left = info.st_size; done && left > 0;) {
    const ssize_t copied = copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(left), 0);
    done = copied > 0;
    left -= copied;
  }
  const timespec times[2] = {info.st_atim, info.st_mtim};
  if (done) done = futimens(to, times) == 0;
  if (!done) ++failures;
  if (from >= 0) close(from);
  if (to >= 0) close(to);
}

void CopyTree(int fromDir, int toDir) {
  DIR* listing = fdopendir(fromDir);  // owns fromDir from here
  if (listing == nullptr) {
    close(fromDir);
    return;
  }
  while (const dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    if (fstatat(fromDir, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      mkdirat(toDir, entry->d_name, 0755);
      const int from = openat(fromDir, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      const int to = openat(toDir, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (from >= 0 && to >= 0) CopyTree(from, to);
      else if (from >= 0) close(from);
      if (to >= 0) close(to);
    } else if (S_ISREG(info.st_mode)) {
      CopyFile(fromDir, toDir, entry->d_name, info);
    }
  }
  closedir(listing);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: floor_copy SOURCE DESTINATION\n", stderr);
    return 2;
  }
  mkdir(argv[2], 0755);
  const int from = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int to = open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (from < 0 || to < 0) return 1;
  CopyTree(from, to);
  close(to);
  return failures == 0 ? 0 : 1;
}
