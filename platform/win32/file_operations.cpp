#include "platform/file_operations.h"

#include <windows.h>

#include "platform/code_page.h"
#include "platform/injected_faults.h"
#include "platform/win32/wide_text.h"

namespace platform {

namespace {

// Watched by every copy before it starts and while it runs.
BOOL copiesAbandoned = FALSE;

DWORD CALLBACK OnCopyProgress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE,
                              HANDLE, void*) noexcept {
  return copiesAbandoned ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

FileResult ResultOf(BOOL done) {
  if (done) return {};
  const DWORD error = GetLastError();
  return {error == 0 ? static_cast<std::uint32_t>(kErrorOther) : static_cast<std::uint32_t>(error)};
}

}  // namespace

FileResult DeleteFilePlain(const std::string& path) { return ResultOf(DeleteFileW(WidePath(path).c_str())); }

FileResult RemoveDirectoryPlain(const std::string& path) {
  return ResultOf(RemoveDirectoryW(WidePath(path).c_str()));
}

FileResult CheckReadable(const std::string& path) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ResultOf(FALSE);
  CloseHandle(file);
  return {};
}

FileResult AppendToFile(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ResultOf(FALSE);
  DWORD written = 0;
  FileResult result = ResultOf(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  if (result && written != bytes.size()) result = {kErrorOther};
  CloseHandle(file);
  return result;
}

// The copy is made under a temporary name beside its target, then renamed
// over it in one step: nothing half-written ever
// stands under the target's name, and a link standing there is replaced, not
// written through. What a killed run leaves, the next one removes.
FileResult CopyFileReplacing(const std::string& source, const std::string& destination) {
  if (const std::uint32_t injected = TakeInjectedCopyFailure()) return {injected};
  if (copiesAbandoned) return {ERROR_REQUEST_ABORTED};
  const size_t last = cp::FindLastOf(destination, "\\/");
  const std::wstring temporary =
      WidePath(destination.substr(0, last == std::string::npos ? 0 : last + 1) + TemporaryCopyName());
  FileResult result = ResultOf(CopyFileExW(WidePath(source).c_str(), temporary.c_str(), OnCopyProgress, nullptr,
                                           &copiesAbandoned, COPY_FILE_FAIL_IF_EXISTS));
  if (result)
    result = ResultOf(MoveFileExW(temporary.c_str(), WidePath(destination).c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  if (!result) DeleteFileW(temporary.c_str());
  return result;
}

void SetCopiesAbandoned(bool abandoned) {
  InterlockedExchange(reinterpret_cast<volatile LONG*>(&copiesAbandoned), abandoned ? TRUE : FALSE);
}

bool CopyFileTimes(const std::string& source, const std::string& destination) {
  HANDLE from = CreateFileW(WidePath(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (from == INVALID_HANDLE_VALUE) return false;
  FILETIME creation, access, write;
  const BOOL read = GetFileTime(from, &creation, &access, &write);
  CloseHandle(from);
  if (!read) return false;
  HANDLE to = CreateFileW(WidePath(destination).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  if (to == INVALID_HANDLE_VALUE) return false;
  const BOOL set = SetFileTime(to, &creation, &access, &write);
  CloseHandle(to);
  return set != FALSE;
}

bool CopyCarriesAllTimes() { return false; }
bool ProtectiveBitsBlockChanges() { return true; }

}  // namespace platform
