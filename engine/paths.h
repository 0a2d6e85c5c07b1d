#pragma once
// How the engine compares and builds paths: with the platform's separator,
// and on Windows without regard to letter case or to "\" against "/".

#include <string>

namespace engine {

char Separator();
bool IsSeparator(char c);

// Whether path begins with prefix, as the platform compares paths.
bool PathStartsWith(const std::string& path, const std::string& prefix);

// "C:\..." or "\\server\share\..." on Windows; "/..." natively.
bool IsAbsolutePath(const std::string& path);

}  // namespace engine
