#include "platform/prepared_copy.h"

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

FileResult NamePreparedCopy(PreparedCopy& copy, const std::string&) { return {copy.Error()}; }

}  // namespace platform
