#pragma once
// How this platform writes paths, and what a path names.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Whether the directory that `inner` names is the one `outer` names or lies
// below it, decided by the directories themselves, not by their texts:
// links, ".", "..", doubled separators (and on Windows letter case, short
// names and network forms of a local path) cannot hide it. A path that does
// not exist yet is judged by its nearest existing parent. False when outer
// is no existing directory.
bool DirectoryContains(const std::string& outer, const std::string& inner);

// What tells one directory from every other, whatever path leads to it:
// device and inode natively, volume serial and file index on Windows.
struct DirectoryIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const DirectoryIdentity&) const = default;
};

// The identity of the directory that path leads to (following links, and
// into a file system mounted there); none when it is no existing directory.
std::optional<DirectoryIdentity> IdentityOfDirectory(const std::string& path);

// The path taken from the current directory when it is relative; as given
// when it is absolute or the current directory cannot be learned.
std::string AbsolutePath(const std::string& path);

// Full path of the running program's file; empty when it cannot be learned.
std::string ModuleFilePath();

// The program's arguments, its own name first, in the program's encoding;
// natively those main was given (Windows reads its own command line).
std::vector<std::string> CommandLineArguments(int argc, const char* const* argv);

}  // namespace platform
