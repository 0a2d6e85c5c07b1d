#pragma once
// Files that get their name only once they are complete: made without one
// (O_TMPFILE) and linked into place, so that a process killed meanwhile
// leaves nothing behind under any name.

#include <sys/types.h>

#include <string>

namespace platform {

// An open file without a name in `directory`; -1 with errno set when none
// can be made.
int OpenUnnamed(int directory, int flags, mode_t mode);

// Whether `error` from OpenUnnamed means that the file system cannot make
// such files at all (a named temporary file has to do then).
bool UnnamedUnsupported(int error);

// Gives the unnamed file open as `fd` the name `name`, relative to
// `directory` (or absolute); 0 or the errno.
int LinkUnnamed(int fd, int directory, const std::string& name);

}  // namespace platform
