#include "platform/file_system.h"

#include <windows.h>

namespace platform {

PathStyle NativePathStyle() { return PathStyle::kWindows; }

CreateDirResult CreateDirectoryOnce(const std::string& path) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (CreateDirectoryA(path.c_str(), &inheritable)) return CreateDirResult::kCreated;
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_ALREADY_EXISTS: return CreateDirResult::kAlreadyExists;
    case ERROR_ACCESS_DENIED: return CreateDirResult::kAccessDenied;
    default: return CreateDirResult::kFailed;
  }
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ModuleFilePath() {
  char buffer[4096];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return std::string(buffer, length);
}

}  // namespace platform
