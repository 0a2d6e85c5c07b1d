#include "tests/support/files.h"

#include <cstdio>

#include "platform/code_page.h"

#ifdef _WIN32
#include "platform/win32/wide_text.h"
#endif

namespace test {

namespace {

// Names are the program's UTF-8: on Windows they reach the system in UTF-16.
FILE* Open(const std::string& path, const char* mode) {
#ifdef _WIN32
  return _wfopen(platform::WidePath(path).c_str(), platform::WideText(mode).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

bool WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = Open(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  FILE* f = Open(path, "rb");
  if (!f) return bytes;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
  std::fclose(f);
  return bytes;
}

std::string ReadStoredText(const std::string& path) { return platform::FromStoredText(ReadFile(path)); }

bool FileExists(const std::string& path) {
  FILE* f = Open(path, "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

}  // namespace test
