#pragma once
// Directories on disk.

#include <string>

#include "foundation/path.h"

// Creates a directory and every missing directory above it. Tries the whole
// path first; when that fails, creates it level by level from its root (a
// drive such as C:\, a server share \\server\share\, or "/"). Returns
// non-zero when the directory exists afterwards, zero otherwise (something
// else of that name is there, or a level could not be made).
int CreateDirectoryPath(const std::string& path, PathStyle style = platform::NativePathStyle());

// The running program's directory, ending in its separator; empty when unknown.
std::string GetModuleDirectory(PathStyle style = platform::NativePathStyle());
