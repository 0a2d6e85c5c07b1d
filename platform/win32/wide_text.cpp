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

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = path.empty() ? 0 : GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
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
