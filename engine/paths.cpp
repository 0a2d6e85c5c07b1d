#include "engine/paths.h"

#include "foundation/code_page.h"
#include "platform/file_system.h"

namespace engine {

namespace {

bool WindowsPaths() { return platform::NativePathStyle() == platform::PathStyle::kWindows; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

char Separator() { return WindowsPaths() ? '\\' : '/'; }

bool IsSeparator(char c) { return c == Separator() || (WindowsPaths() && c == '/'); }

bool PathStartsWith(std::string_view path, std::string_view prefix) {
  if (path.size() < prefix.size()) return false;
  if (!WindowsPaths()) return path.substr(0, prefix.size()) == prefix;
  std::string a(path.substr(0, prefix.size())), b(prefix);
  for (std::string* text : {&a, &b})
    for (char& c : *text)
      if (c == '/') c = '\\';
  return cp::EqualsNoCase(a, b);
}

bool IsAbsolutePath(const std::string& path) {
  if (!WindowsPaths()) return !path.empty() && path[0] == '/';
  if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

}  // namespace engine
