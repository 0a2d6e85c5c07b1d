#include "platform/file_attributes.h"

#include <windows.h>

namespace platform {

std::uint32_t ReadFileAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool WriteFileAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool ClearArchiveBitOf(const std::string& path, std::uint64_t size, std::uint64_t lastWriteTime) {
  WIN32_FILE_ATTRIBUTE_DATA now;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now)) return false;
  const std::uint64_t nowSize = (static_cast<std::uint64_t>(now.nFileSizeHigh) << 32) | now.nFileSizeLow;
  const std::uint64_t nowWritten =
      (static_cast<std::uint64_t>(now.ftLastWriteTime.dwHighDateTime) << 32) | now.ftLastWriteTime.dwLowDateTime;
  if (nowSize != size || nowWritten != lastWriteTime) return false;
  return SetFileAttributesA(path.c_str(), now.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE) != FALSE;
}

}  // namespace platform
