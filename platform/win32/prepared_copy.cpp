#include "platform/prepared_copy.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

// CopyFileA makes named files only: no copy is prepared ahead here.
PreparedCopy::PreparedCopy(PreparedCopy&& other) noexcept
    : file_(other.file_), error_(other.error_) {}
PreparedCopy& PreparedCopy::operator=(PreparedCopy&& other) noexcept {
  error_ = other.error_;
  return *this;
}
void PreparedCopy::Discard() {}

bool CanPrepareCopies() { return false; }
PreparedCopy PrepareCopy(const std::string&, const std::string&, const std::function<bool()>&) {
  return {};
}

std::uint64_t FreeSpaceIn(const std::string& directory) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(WidePath(directory).c_str(), &available, nullptr, nullptr)) return 0;
  return available.QuadPart;
}

FileResult NamePreparedCopy(PreparedCopy& copy, const std::string&) { return {copy.Error()}; }

}  // namespace platform
