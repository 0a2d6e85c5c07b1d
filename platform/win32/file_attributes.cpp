#include "platform/file_attributes.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

// A reparse point's tag comes with its directory entry.
std::uint32_t ReadFileAttributes(const std::string& path) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return attributes;
  WIN32_FIND_DATAW data;
  const HANDLE found = FindFirstFileW(wide.c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) return attributes;
  FindClose(found);
  return AttributesWithReparseTag(attributes, data.dwReserved0);
}

bool WriteFileAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesW(WidePath(path).c_str(), attributes) != FALSE;
}

bool ClearArchiveBitOf(const std::string& path, std::uint64_t size, std::uint64_t lastWriteTime) {
  WIN32_FILE_ATTRIBUTE_DATA now;
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &now)) return false;
  const std::uint64_t nowSize = (static_cast<std::uint64_t>(now.nFileSizeHigh) << 32) | now.nFileSizeLow;
  const std::uint64_t nowWritten =
      (static_cast<std::uint64_t>(now.ftLastWriteTime.dwHighDateTime) << 32) | now.ftLastWriteTime.dwLowDateTime;
  if (nowSize != size || nowWritten != lastWriteTime) return false;
  return SetFileAttributesW(WidePath(path).c_str(), now.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE) != FALSE;
}

}  // namespace platform
