#include "engine/paths.h"

#include "platform/code_page.h"
#include "platform/paths.h"

namespace engine {

namespace {

bool WindowsPaths() { return platform::NativePathStyle() == platform::PathStyle::kWindows; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsSeparator(char c) { return Separators().find(c) != std::string_view::npos; }

}  // namespace

char Separator() { return WindowsPaths() ? '\\' : '/'; }

std::string_view Separators() { return WindowsPaths() ? "\\/" : "/"; }

bool EndsWithSeparator(std::string_view path) {
  return !path.empty() && FindLastSeparator(path) == path.size() - 1;
}

size_t FindSeparator(std::string_view path, size_t from) {
  if (from >= path.size()) return std::string_view::npos;
  // `from` follows a separator the caller found, so it starts a character.
  const size_t found = cp::FindFirstOf(path.substr(from), Separators());
  return found == std::string_view::npos ? found : from + found;
}

size_t FindLastSeparator(std::string_view path) { return cp::FindLastOf(path, Separators()); }

size_t CountSeparators(std::string_view path) {
  size_t count = 0;
  for (size_t at = FindSeparator(path); at != std::string_view::npos; at = FindSeparator(path, at + 1)) ++count;
  return count;
}

std::string DirectoryOf(std::string_view path) {
  const size_t last = FindLastSeparator(path);
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

bool PathStartsWith(std::string_view path, std::string_view prefix) {
  if (path.size() < prefix.size()) return false;
  if (!WindowsPaths()) return path.substr(0, prefix.size()) == prefix;
  // "/" is never the trail byte of a double-byte character.
  std::string a(path.substr(0, prefix.size())), b(prefix);
  for (std::string* text : {&a, &b})
    for (char& c : *text)
      if (c == '/') c = '\\';
  return cp::EqualsNoCase(a, b);
}

bool IsAbsolutePath(std::string_view path) {
  if (!WindowsPaths()) return !path.empty() && path[0] == '/';
  if (path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

}  // namespace engine
