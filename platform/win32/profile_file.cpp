#include "platform/profile_file.h"

#include <windows.h>

namespace platform {

int ReadProfileValue(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                      const char* file) {
  if (size <= 0) return 0;
  return static_cast<int>(GetPrivateProfileStringA(section, key, defaultText, buffer, static_cast<DWORD>(size), file));
}

bool WriteProfileValue(const char* section, const char* key, const char* text, const char* file) {
  return WritePrivateProfileStringA(section, key, text, file) != FALSE;
}

ProfileWriteBatch::ProfileWriteBatch(const char*) {}
ProfileWriteBatch::~ProfileWriteBatch() = default;

}  // namespace platform
