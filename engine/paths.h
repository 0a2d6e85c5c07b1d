#pragma once
// How the engine compares, builds and takes apart paths: with the
// platform's separator, and on Windows without regard to letter case or to
// "\" against "/". Every search for a separator steps over double-byte
// characters: the trail byte of 表, ソ or 予 is no "\".

#include <cstddef>
#include <string>
#include <string_view>

namespace engine {

char Separator();
// The characters that separate names: "\/" on Windows, "/" natively.
std::string_view Separators();

// Whether the last character of path is a separator.
bool EndsWithSeparator(std::string_view path);
// Position of the first separator at or after `from`, or the last one; npos when there is none.
size_t FindSeparator(std::string_view path, size_t from = 0);
size_t FindLastSeparator(std::string_view path);
// The number of separators in path.
size_t CountSeparators(std::string_view path);
// The directory part of a path, up to and with its last separator; empty when there is none.
std::string DirectoryOf(std::string_view path);

// Whether path begins with prefix, as the platform compares paths.
bool PathStartsWith(std::string_view path, std::string_view prefix);

// "C:\..." or "\\server\share\..." on Windows; "/..." natively.
bool IsAbsolutePath(std::string_view path);

}  // namespace engine
