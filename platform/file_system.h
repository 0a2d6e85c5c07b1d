#pragma once
// File-system services used by the foundation helpers.

#include <cstdint>
#include <ctime>
#include <string>

namespace platform {

// How paths are written: "C:\dir\name" with "\" or "/" between names, or
// "/dir/name" with "/" only, where "\" is an ordinary character.
enum class PathStyle { kWindows, kPosix };

// The style of this platform's paths.
PathStyle NativePathStyle();

enum class CreateDirResult { kCreated, kAlreadyExists, kAccessDenied, kFailed };

// Creates one directory; its parent must exist. Something of that name that
// exists already, directory or not, gives kAlreadyExists.
CreateDirResult CreateDirectoryOnce(const std::string& path);

// True when path names an existing directory (following links).
bool IsDirectory(const std::string& path);

// Full path of the running program's file; empty when it cannot be learned.
std::string ModuleFilePath();

// Attribute bits as the Windows file system numbers them. Natively:
// read-only is a file without owner write permission, hidden a name that
// begins with ".", system never; a symbolic link carries kAttrReparsePoint.
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrReparsePoint = 0x400;
constexpr std::uint32_t kInvalidAttributes = 0xffffffff;

// One entry of a directory, as the enumeration gives it. Times are in
// 100-nanosecond units since 1601-01-01 UTC.
struct DirectoryEntry {
  std::uint32_t attributes = 0;
  std::uint64_t creationTime = 0;
  std::uint64_t lastAccessTime = 0;
  std::uint64_t lastWriteTime = 0;
  std::uint64_t size = 0;
  std::string name;
  std::string shortName;  // empty where the system has none
};

// The entries of a directory whose names match a wildcard pattern ("*" and
// "?"; "*.*" matches every name), "." and ".." included. Natively the
// archive bit is not filled in (it costs a read per file);
// ReadFileAttributes gives it.
class DirectoryListing {
 public:
  // `directory` ends in a separator. A directory that cannot be read lists nothing.
  DirectoryListing(const std::string& directory, const std::string& pattern);
  ~DirectoryListing();
  DirectoryListing(const DirectoryListing&) = delete;
  DirectoryListing& operator=(const DirectoryListing&) = delete;

  // The next entry; false at the end, or when the directory could not be read further.
  bool Next(DirectoryEntry* entry);

 private:
  void* handle_ = nullptr;
  std::string directory_;
  std::string pattern_;
  bool pending_ = false;  // Windows: the first entry is already in the buffer
};

// Wildcard matching as the Windows file system does it for enumeration:
// "*" any run, "?" one character, and "*.*" or "*" every name. ASCII
// letters match without regard to case where `ignoreCase` says so.
bool MatchesWildcard(const std::string& name, const std::string& pattern, bool ignoreCase);

// Attribute bits of a file or directory (not following a final link), or
// kInvalidAttributes when there is none.
std::uint32_t ReadFileAttributes(const std::string& path);
// Replaces the read-only, hidden, system and archive bits; false on failure.
bool WriteFileAttributes(const std::string& path, std::uint32_t attributes);

// Windows error numbers that the engine tells apart; natively errno maps onto them.
enum FileError : std::uint32_t {
  kErrorNone = 0,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorSharingViolation = 32,
  kErrorNotSupported = 50,
  kErrorNotSameDevice = 17,
  kErrorDiskFull = 112,
  kErrorDirNotEmpty = 145,
  kErrorOther = 31,
};

// The result of a file operation: 0 for success, else the reason.
struct FileResult {
  std::uint32_t error = kErrorNone;
  explicit operator bool() const { return error == kErrorNone; }
};

FileResult DeleteFilePlain(const std::string& path);
// Removes an empty directory; not a link to one.
FileResult RemoveDirectoryPlain(const std::string& path);
// Copies source over destination, which is replaced when it exists, with
// the source's last-write time and attributes. Natively the copy is made
// under a temporary name in the destination's directory and renamed over
// the target at the end, so a failed or interrupted copy never leaves a
// partial file under the target's name.
FileResult CopyFileReplacing(const std::string& source, const std::string& destination);
// A copy made ahead of its turn: the content, mode and times complete in a
// file that has no name yet, so nobody sees it until it is named, and it
// vanishes if it never is. Natively only; elsewhere nothing is prepared.
class PreparedCopy {
 public:
  PreparedCopy() = default;
  PreparedCopy(int file, std::uint32_t error) : file_(file), error_(error) {}
  ~PreparedCopy() { Discard(); }
  PreparedCopy(PreparedCopy&& other) noexcept;
  PreparedCopy& operator=(PreparedCopy&& other) noexcept;
  PreparedCopy(const PreparedCopy&) = delete;
  PreparedCopy& operator=(const PreparedCopy&) = delete;

  // kErrorNone for a copy ready to be named; kErrorNotSupported when none
  // could be made this way; otherwise why the copy failed.
  std::uint32_t Error() const { return error_; }
  int File() const { return file_; }
  void Discard();

 private:
  int file_ = -1;
  std::uint32_t error_ = kErrorNotSupported;
};

// Whether PrepareCopy can make copies at all on this system.
bool CanPrepareCopies();

// Copies `source` into a file without a name in `directory`, which must be
// on the destination's file system; kErrorNotSupported when no such file
// can be made there. Counts as a copy for InjectCopyFailures.
PreparedCopy PrepareCopy(const std::string& source, const std::string& directory);

// Gives a prepared copy the name `destination`, over a file standing there;
// the copy's own failure when it has one. kErrorNotSameDevice when the
// destination is on another file system than the copy: it is then still
// there to be copied the usual way.
FileResult NamePreparedCopy(PreparedCopy& copy, const std::string& destination);

// For tests of what a failed copy does: after the next `skip` copies,
// `count` copies fail with `error` without touching anything.
void InjectCopyFailures(std::uint32_t error, int skip, int count);

// Whether CopyFileReplacing replaces a read-only target by itself (natively
// the copy is renamed over it; the Windows copy fails on one).
bool CopyReplacesReadOnlyTargets();

// Gives destination the creation, last-access and last-write times of
// source (natively: access and write times); false when either cannot be opened.
bool CopyFileTimes(const std::string& source, const std::string& destination);
// Whether CopyFileReplacing already gives the copy every time that
// CopyFileTimes would (natively it does; the Windows copy keeps a new creation time).
bool CopyCarriesAllTimes();

// Local calendar time of a moment (seconds since 1970, UTC).
std::tm LocalTimeOf(std::time_t moment);

// Seconds since 1970 of a file time in local calendar time; times before
// 1970 or beyond what the C library holds all give -1.
long long FileTimeToLocalSeconds(std::uint64_t fileTime);

}  // namespace platform
