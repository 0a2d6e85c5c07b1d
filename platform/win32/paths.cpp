#include "platform/paths.h"

#include <windows.h>

#include "platform/code_page.h"

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

namespace {

// The volume and file index of an existing directory, following links as
// opening it does; false when there is none.
bool IdentityOf(const std::string& path, DirectoryIdentity* identity) {
  HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const BOOL known = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!known || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  *identity = {info.dwVolumeSerialNumber,
               (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return true;
}

// The path without its last name; empty above a root.
std::string ParentOf(std::string path) {
  size_t last;
  while ((last = cp::FindLastOf(path, "\\/")) != std::string::npos && last + 1 == path.size()) path.pop_back();
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

}  // namespace

bool DirectoryContains(const std::string& outer, const std::string& inner) {
  DirectoryIdentity target;
  if (!IdentityOf(outer, &target)) return false;
  // The full path resolves ".", ".." and doubled separators as the system
  // will; each level is then compared by what it is, not how it is written.
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(inner.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return false;
  for (std::string level(full, length); !level.empty(); level = ParentOf(level)) {
    DirectoryIdentity here;
    if (IdentityOf(level, &here) && here == target) return true;
  }
  return false;
}

std::optional<DirectoryIdentity> IdentityOfDirectory(const std::string& path) {
  DirectoryIdentity identity;
  if (!IdentityOf(path, &identity)) return std::nullopt;
  return identity;
}

std::string AbsolutePath(const std::string& path) {
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (path.empty() || length == 0 || length >= sizeof full) return path;
  return std::string(full, length);
}

std::string ModuleFilePath() {
  char buffer[4096];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return std::string(buffer, length);
}

}  // namespace platform
