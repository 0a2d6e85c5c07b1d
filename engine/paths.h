#pragma once
// How the engine compares and builds paths: with the platform's separator,
// and on Windows without regard to letter case or to "\" against "/".

#include <string>
#include <string_view>

namespace engine {

char Separator();
bool IsSeparator(char c);

// Whether path begins with prefix, as the platform compares paths.
bool PathStartsWith(std::string_view path, std::string_view prefix);

// "C:\..." or "\\server\share\..." on Windows; "/..." natively.
bool IsAbsolutePath(const std::string& path);

}  // namespace engine
