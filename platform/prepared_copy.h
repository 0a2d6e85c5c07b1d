#pragma once
// Copies made ahead of their turn: the content, mode and times complete in
// a file that has no name yet, so nobody sees it until it is named, and it
// vanishes if it never is. Natively only; elsewhere nothing is prepared.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_operations.h"

namespace platform {

class PreparedCopy {
 public:
  PreparedCopy() = default;
  ~PreparedCopy() { Discard(); }
  PreparedCopy(PreparedCopy&& other) noexcept;
  PreparedCopy& operator=(PreparedCopy&& other) noexcept;
  PreparedCopy(const PreparedCopy&) = delete;
  PreparedCopy& operator=(const PreparedCopy&) = delete;

  // kErrorNone for a copy ready to be named; kErrorNotSupported when none
  // could be made this way; otherwise why the copy failed.
  std::uint32_t Error() const { return error_; }
  void Discard();

 private:
  PreparedCopy(std::intptr_t file, std::uint32_t error) : file_(file), error_(error) {}
  friend PreparedCopy PrepareCopy(const std::string&, const std::string&, const std::function<bool()>&);
  friend FileResult NamePreparedCopy(PreparedCopy&, const std::string&);

  std::intptr_t file_ = -1;  // the system's handle on the unnamed file
  std::uint32_t error_ = kErrorNotSupported;
};

// Whether PrepareCopy can make copies at all on this system.
bool CanPrepareCopies();

// Copies `source` into a file without a name in `directory`, where it is to
// be named; kErrorNotSupported when no such file can be made there. Between chunks of the content it asks `cancelled`
// (when given) and gives up at once when it says so. Counts as a copy for
// InjectPreparedCopyFailures; naming it counts for InjectCopyFailures.
PreparedCopy PrepareCopy(const std::string& source, const std::string& directory,
                         const std::function<bool()>& cancelled = nullptr);

// The bytes that an unprivileged user may still write in the directory's
// file system; 0 when that cannot be learned.
std::uint64_t FreeSpaceIn(const std::string& directory);

// Gives a prepared copy the name `destination`, over a file standing there;
// the copy's own failure when it has one. kErrorNotSameDevice when the
// destination is on another file system than the copy: it is then still
// there to be copied the usual way.
FileResult NamePreparedCopy(PreparedCopy& copy, const std::string& destination);

}  // namespace platform
