#include "platform/win32/wide_text.h"

#include <windows.h>

namespace platform {

std::wstring WideText(std::string_view text, unsigned codePage) {
  if (text.empty()) return {};
  const int bytes = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), bytes, wide.data(), units);
  return wide;
}

std::string ProgramText(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int units = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(kProgramCodePage, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(kProgramCodePage, 0, wide.data(), units, text.data(), bytes, nullptr, nullptr);
  return text;
}

// Every file operation resolves its paths: one call for a path of common
// length, a second only for a longer one.
std::wstring FullPath(const std::wstring& path) {
  if (path.empty()) return path;
  std::wstring full(1024, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.assign(length, L'\0');
    length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  return full;
}

std::wstring WidePath(std::string_view path) {
  const std::wstring wide = WideText(path);
  if (wide.empty() || wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0) return wide;
  const std::wstring full = FullPath(wide);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  if (full.size() >= 2 && full[1] == L':') return L"\\\\?\\" + full;
  return full;
}

}  // namespace platform
