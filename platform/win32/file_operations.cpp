#include "platform/copy_faults.h"
#include "platform/file_system.h"

#include <windows.h>

#include <ctime>

namespace platform {

namespace {

std::uint64_t ToUint64(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void Fill(const WIN32_FIND_DATAA& data, DirectoryEntry* entry) {
  entry->attributes = data.dwFileAttributes;
  entry->creationTime = ToUint64(data.ftCreationTime);
  entry->lastAccessTime = ToUint64(data.ftLastAccessTime);
  entry->lastWriteTime = ToUint64(data.ftLastWriteTime);
  entry->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry->name = data.cFileName;
  entry->shortName = data.cAlternateFileName;
}

FileResult ResultOf(BOOL done) {
  if (done) return {};
  const DWORD error = GetLastError();
  return {error == 0 ? static_cast<std::uint32_t>(kErrorOther) : static_cast<std::uint32_t>(error)};
}

}  // namespace

DirectoryListing::DirectoryListing(const std::string& directory, const std::string& pattern)
    : directory_(directory), pattern_(pattern) {
  auto* data = new WIN32_FIND_DATAA;
  HANDLE find = FindFirstFileA((directory + pattern).c_str(), data);
  if (find == INVALID_HANDLE_VALUE) {
    delete data;
    return;
  }
  // The handle and the buffer travel together: the first entry is already in it.
  handle_ = new std::pair<HANDLE, WIN32_FIND_DATAA*>(find, data);
  pending_ = true;
}

DirectoryListing::~DirectoryListing() {
  auto* state = static_cast<std::pair<HANDLE, WIN32_FIND_DATAA*>*>(handle_);
  if (state == nullptr) return;
  FindClose(state->first);
  delete state->second;
  delete state;
}

bool DirectoryListing::Next(DirectoryEntry* entry) {
  auto* state = static_cast<std::pair<HANDLE, WIN32_FIND_DATAA*>*>(handle_);
  if (state == nullptr) return false;
  if (!pending_ && !FindNextFileA(state->first, state->second)) return false;
  pending_ = false;
  Fill(*state->second, entry);
  return true;
}

std::uint32_t ReadFileAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool WriteFileAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

FileResult DeleteFilePlain(const std::string& path) { return ResultOf(DeleteFileA(path.c_str())); }

FileResult RemoveDirectoryPlain(const std::string& path) {
  return ResultOf(RemoveDirectoryA(path.c_str()));
}

FileResult CopyFileReplacing(const std::string& source, const std::string& destination) {
  if (const std::uint32_t injected = TakeInjectedCopyFailure()) return {injected};
  return ResultOf(CopyFileA(source.c_str(), destination.c_str(), FALSE));
}

// CopyFileA makes named files only: no copy is prepared ahead here.
PreparedCopy::PreparedCopy(PreparedCopy&& other) noexcept
    : file_(other.file_), error_(other.error_) {}
PreparedCopy& PreparedCopy::operator=(PreparedCopy&& other) noexcept {
  error_ = other.error_;
  return *this;
}
void PreparedCopy::Discard() {}

bool CanPrepareCopies() { return false; }
PreparedCopy PrepareCopy(const std::string&, const std::string&) { return {}; }

FileResult NamePreparedCopy(PreparedCopy& copy, const std::string&) { return {copy.Error()}; }

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
bool CopyReplacesReadOnlyTargets() { return false; }

std::tm LocalTimeOf(std::time_t moment) {
  std::tm local{};
  const __time64_t wide = moment;
  _localtime64_s(&local, &wide);
  return local;
}

long long FileTimeToLocalSeconds(std::uint64_t fileTime) {
  constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
  if (fileTime < kUnixEpochAsFileTime) return -1;
  const __time64_t utc = static_cast<__time64_t>((fileTime - kUnixEpochAsFileTime) / 10'000'000ull);
  tm local;
  if (_localtime64_s(&local, &utc) != 0) return -1;
  return static_cast<long long>(_mkgmtime64(&local));
}

}  // namespace platform
