#include "platform/file_operations.h"

#include <windows.h>

#include "platform/injected_faults.h"

namespace platform {

namespace {

FileResult ResultOf(BOOL done) {
  if (done) return {};
  const DWORD error = GetLastError();
  return {error == 0 ? static_cast<std::uint32_t>(kErrorOther) : static_cast<std::uint32_t>(error)};
}

}  // namespace

FileResult DeleteFilePlain(const std::string& path) { return ResultOf(DeleteFileA(path.c_str())); }

FileResult RemoveDirectoryPlain(const std::string& path) {
  return ResultOf(RemoveDirectoryA(path.c_str()));
}

FileResult CopyFileReplacing(const std::string& source, const std::string& destination) {
  if (const std::uint32_t injected = TakeInjectedCopyFailure()) return {injected};
  // CopyFileA writes through a link standing at the destination, into
  // whatever it points to: the link goes first, and the copy takes its place.
  const DWORD standing = GetFileAttributesA(destination.c_str());
  if (standing != INVALID_FILE_ATTRIBUTES && (standing & FILE_ATTRIBUTE_REPARSE_POINT) &&
      !(standing & FILE_ATTRIBUTE_DIRECTORY) && !DeleteFileA(destination.c_str()))
    return ResultOf(FALSE);
  return ResultOf(CopyFileA(source.c_str(), destination.c_str(), FALSE));
}

bool CopyFileTimes(const std::string& source, const std::string& destination) {
  HANDLE from = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (from == INVALID_HANDLE_VALUE) return false;
  FILETIME creation, access, write;
  const BOOL read = GetFileTime(from, &creation, &access, &write);
  CloseHandle(from);
  if (!read) return false;
  HANDLE to = CreateFileA(destination.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  if (to == INVALID_HANDLE_VALUE) return false;
  const BOOL set = SetFileTime(to, &creation, &access, &write);
  CloseHandle(to);
  return set != FALSE;
}

bool CopyCarriesAllTimes() { return false; }
bool ProtectiveBitsBlockChanges() { return true; }

}  // namespace platform
