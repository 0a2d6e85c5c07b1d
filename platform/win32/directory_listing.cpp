#include "platform/directory_listing.h"

#include <windows.h>

#include <utility>

#include "platform/file_attributes.h"
#include "platform/file_operations.h"
#include "platform/win32/wide_text.h"

namespace platform {

namespace {

std::uint64_t ToUint64(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void Fill(const WIN32_FIND_DATAW& data, DirectoryEntry* entry) {
  // A reparse point's tag is in dwReserved0.
  entry->attributes = AttributesWithReparseTag(data.dwFileAttributes, data.dwReserved0);
  entry->creationTime = ToUint64(data.ftCreationTime);
  entry->lastAccessTime = ToUint64(data.ftLastAccessTime);
  entry->lastWriteTime = ToUint64(data.ftLastWriteTime);
  entry->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry->name = ProgramText(data.cFileName);
  entry->shortName = ProgramText(data.cAlternateFileName);
}

// What a failed FindFirstFileW or FindNextFileW means: no (more) matching
// names, a directory that has gone, or a listing that failed. An empty
// drive root has no "." and gives "file not found" for "*.*".
bool ListedToTheEnd(DWORD error) {
  return error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The reason of a failed listing; never 0, which means none.
std::uint32_t ReasonOf(DWORD error) { return error == 0 ? std::uint32_t{kErrorOther} : error; }

}  // namespace

DirectoryListing::DirectoryListing(const std::string& directory, const std::string& pattern, LinkView links)
    : pattern_(pattern), links_(links) {
  LookUpFault(directory);
  auto* data = new WIN32_FIND_DATAW;
  HANDLE find = FindFirstFileW(WidePath(directory + pattern).c_str(), data);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (!ListedToTheEnd(error)) error_ = ReasonOf(error);
    delete data;
    return;
  }
  // The handle and the buffer travel together: the first entry is already in it.
  handle_ = new std::pair<HANDLE, WIN32_FIND_DATAW*>(find, data);
  pending_ = true;
}

DirectoryListing::~DirectoryListing() {
  auto* state = static_cast<std::pair<HANDLE, WIN32_FIND_DATAW*>*>(handle_);
  if (state == nullptr) return;
  FindClose(state->first);
  delete state->second;
  delete state;
}

ListStep DirectoryListing::NextFromSystem(DirectoryEntry* entry) {
  if (error_ != kErrorNone) return ListStep::kError;
  auto* state = static_cast<std::pair<HANDLE, WIN32_FIND_DATAW*>*>(handle_);
  if (state == nullptr) return ListStep::kEnd;
  if (!pending_ && !FindNextFileW(state->first, state->second)) {
    const DWORD error = GetLastError();
    if (ListedToTheEnd(error)) return ListStep::kEnd;
    error_ = ReasonOf(error);
    return ListStep::kError;
  }
  pending_ = false;
  Fill(*state->second, entry);
  return ListStep::kEntry;
}

}  // namespace platform
