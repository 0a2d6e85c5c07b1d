#include "platform/file_attributes.h"

#include <windows.h>

namespace platform {

std::uint32_t ReadFileAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool WriteFileAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

}  // namespace platform
