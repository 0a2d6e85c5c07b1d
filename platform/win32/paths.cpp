#include "platform/paths.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace platform {

PathStyle NativePathStyle() { return PathStyle::kWindows; }

CreateDirResult CreateDirectoryOnce(const std::string& path) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (CreateDirectoryW(WidePath(path).c_str(), &inheritable)) return CreateDirResult::kCreated;
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_ALREADY_EXISTS: return CreateDirResult::kAlreadyExists;
    case ERROR_ACCESS_DENIED: return CreateDirResult::kAccessDenied;
    default: return CreateDirResult::kFailed;
  }
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// The volume and file index of an existing directory, following links as
// opening it does; false when there is none.
bool IdentityOf(const std::string& path, DirectoryIdentity* identity) {
  HANDLE handle = CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
  for (std::string level = AbsolutePath(inner); !level.empty(); level = ParentOf(level)) {
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

std::string AbsolutePath(const std::string& path) { return ProgramText(FullPath(WideText(path))); }

std::string ModuleFilePath() {
  std::wstring buffer(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return {};
  buffer.resize(length);
  return ProgramText(buffer);
}

std::vector<std::string> CommandLineArguments(int argc, const char* const* argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(ProgramText(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace platform
