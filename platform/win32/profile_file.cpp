#include "platform/profile_file.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "platform/code_page.h"
#include "platform/file_operations.h"
#include "platform/win32/wide_text.h"

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

// A text argument of the profile functions: an absent one stays absent.
class WideArgument {
 public:
  explicit WideArgument(const char* text) : present_(text != nullptr), wide_(text ? WideText(text) : L"") {}
  const wchar_t* get() const { return present_ ? wide_.c_str() : nullptr; }

 private:
  bool present_;
  std::wstring wide_;
};

// The profile functions take no "\\?\" form: the file as the user gave it.
WideArgument FileArgument(const char* file) {
  return WideArgument(file ? ActualFile(file).c_str() : nullptr);
}

bool FlushToDisk(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(handle) != FALSE;
  CloseHandle(handle);
  return flushed;
}

}  // namespace

// The whole value is read, then cut to the buffer without splitting a character.
int ReadProfileValue(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                      const char* file) {
  if (size <= 0) return 0;
  const WideArgument wideFile = FileArgument(file);
  const WideArgument wideSection(section), wideKey(key), wideDefault(defaultText);
  std::wstring value(256, L'\0');
  for (;;) {
    const DWORD length = GetPrivateProfileStringW(wideSection.get(), wideKey.get(), wideDefault.get(), value.data(),
                                                  static_cast<DWORD>(value.size()), wideFile.get());
    if (length + 1 < value.size()) {
      value.resize(length);
      break;
    }
    value.assign(value.size() * 2, L'\0');
  }
  const std::string text = ProgramText(value);
  const std::string_view cut = cp::CutToBytes(text, static_cast<size_t>(size) - 1);
  cut.copy(buffer, cut.size());
  buffer[cut.size()] = '\0';
  return static_cast<int>(cut.size());
}

bool WriteProfileValue(const char* section, const char* key, const char* text, const char* file) {
  const WideArgument wideFile = FileArgument(file);
  return WritePrivateProfileStringW(WideArgument(section).get(), WideArgument(key).get(), WideArgument(text).get(),
                                    wideFile.get()) != FALSE;
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
  const std::wstring widePath = WidePath(path);
  if (GetFileAttributesW(widePath.c_str()) != INVALID_FILE_ATTRIBUTES &&
      !CopyFileW(widePath.c_str(), WidePath(temporary).c_str(), TRUE))
    return;
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
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, WideText(batch.temporary).c_str());  // out of the cache
  const std::wstring copy = WidePath(batch.temporary);
  const std::wstring file = WidePath(batch.file);
  bool replaced = true;  // nothing written, nothing to replace
  if (GetFileAttributesW(copy.c_str()) != INVALID_FILE_ATTRIBUTES) {
    FlushToDisk(copy);
    replaced = MoveFileExW(copy.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
               (CopyFileW(copy.c_str(), file.c_str(), FALSE) && FlushToDisk(file));
    DeleteFileW(copy.c_str());
  }
  batch.file.clear();
  return replaced;
}

}  // namespace platform
