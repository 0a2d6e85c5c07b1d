#pragma once
// File-system services used by the foundation helpers.

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

}  // namespace platform
