#pragma once
// Deleting, removing and copying files, with the reason of a failure.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

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

// Whether the file can be opened for reading (it is opened and closed again).
FileResult CheckReadable(const std::string& path);
// Appends bytes to the file, which is created when it is missing.
FileResult AppendToFile(const std::string& path, std::string_view bytes);
// Removes an empty directory; not a link to one.
FileResult RemoveDirectoryPlain(const std::string& path);

// Copies the regular file source over destination, which is replaced when
// it exists, with the source's last-write time and attributes; a link
// standing at destination is replaced, never written through. Natively the
// copy is made under no name (or a temporary one) in the destination's
// directory and renamed over the target at the end, so a failed or
// interrupted copy never leaves a partial file under the target's name; a
// named pipe, socket or device is never opened (kErrorAccessDenied);
// set-user-ID and set-group-ID bits are not carried, and a mode or times
// that the destination's file system refuses do not fail the copy.
FileResult CopyFileReplacing(const std::string& source, const std::string& destination);

// Whether a file's read-only, hidden and system bits must be cleared before
// it can be replaced or deleted (Windows). Natively its directory decides,
// and the old file's mode is left alone: a hard link of it (a snapshot)
// keeps its mode, and so does a file whose copy fails.
bool ProtectiveBitsBlockChanges();

// The name a copy has in its destination directory while it is made (where
// it cannot be made without one): unique to this process and to the copy.
std::string TemporaryCopyName();
// Whether `name` is one that TemporaryCopyName gives, in any process.
bool IsTemporaryCopyName(const std::string& name);
// Deletes directory + name, a temporary copy, when the process that made it
// has ended: what a killed run left behind. One still being made stays.
void RemoveAbandonedCopy(const std::string& directory, const std::string& name);

// Once abandoned (a process that must end before its copies could), every
// copy in progress or to come fails at once, its temporary file removed;
// the old file stays under its name. Windows only: natively nothing ends
// the process before its run has stopped.
void SetCopiesAbandoned(bool abandoned);

// Gives destination the creation, last-access and last-write times of
// source (natively: access and write times); false when either cannot be opened.
bool CopyFileTimes(const std::string& source, const std::string& destination);
// Whether CopyFileReplacing already gives the copy every time that
// CopyFileTimes would (natively it does; the Windows copy keeps a new creation time).
bool CopyCarriesAllTimes();

}  // namespace platform
