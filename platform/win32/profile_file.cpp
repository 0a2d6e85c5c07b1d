#include "platform/profile_file.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "platform/code_page.h"
#include "platform/file_operations.h"

// The system's profile functions write each value into the file in place. A
// batch gives them a copy of the file to write instead, then puts the copy
// in the file's place in one step, flushed to the disk first.

namespace platform {

namespace {

struct Batch {
  std::mutex lock;
  std::string file;       // the file whose writes are gathered; empty: none
  std::string temporary;  // where they go meanwhile
};

Batch& TheBatch() {
  static Batch batch;
  return batch;
}

// The file a call reads or writes: the batch's copy stands in for its file.
std::string ActualFile(const char* file) {
  Batch& batch = TheBatch();
  std::lock_guard guard(batch.lock);
  return !batch.file.empty() && batch.file == file ? batch.temporary : std::string(file);
}

bool FlushToDisk(const std::string& path) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(handle) != FALSE;
  CloseHandle(handle);
  return flushed;
}

}  // namespace

int ReadProfileValue(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                      const char* file) {
  if (size <= 0) return 0;
  const std::string actual = file ? ActualFile(file) : std::string();
  return static_cast<int>(GetPrivateProfileStringA(section, key, defaultText, buffer, static_cast<DWORD>(size),
                                                   file ? actual.c_str() : nullptr));
}

bool WriteProfileValue(const char* section, const char* key, const char* text, const char* file) {
  const std::string actual = file ? ActualFile(file) : std::string();
  return WritePrivateProfileStringA(section, key, text, file ? actual.c_str() : nullptr) != FALSE;
}

// A file that cannot be copied gathers nothing: its writes go through; so
// do those of a batch begun while another one gathers.
ProfileWriteBatch::ProfileWriteBatch(const char* file) {
  if (file == nullptr || *file == '\0') return;
  Batch& batch = TheBatch();
  {
    std::lock_guard guard(batch.lock);
    if (!batch.file.empty()) return;
  }
  const std::string path = file;
  const size_t last = cp::FindLastOf(path, "\\/");
  const std::string temporary = (last == std::string::npos ? std::string() : path.substr(0, last + 1)) +
                                TemporaryCopyName();
  if (GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES && !CopyFileA(file, temporary.c_str(), TRUE)) return;
  std::lock_guard guard(batch.lock);
  batch.file = path;
  batch.temporary = temporary;
  gathering_ = true;
}

// The copy takes the file's place in one step. Where it cannot (a program
// holds the file open without letting it be replaced), it is written over
// the file instead, as the writes would have gone without a batch.
ProfileWriteBatch::~ProfileWriteBatch() { Finish(); }

bool ProfileWriteBatch::Finish() {
  if (finished_ || !gathering_) return true;
  finished_ = true;
  Batch& batch = TheBatch();
  std::lock_guard guard(batch.lock);
  const char* copy = batch.temporary.c_str();
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy);  // out of the system's cache
  bool replaced = true;  // nothing written, nothing to replace
  if (GetFileAttributesA(copy) != INVALID_FILE_ATTRIBUTES) {
    FlushToDisk(batch.temporary);
    replaced = MoveFileExA(copy, batch.file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
               (CopyFileA(copy, batch.file.c_str(), FALSE) && FlushToDisk(batch.file));
    DeleteFileA(copy);
  }
  batch.file.clear();
  return replaced;
}

}  // namespace platform
