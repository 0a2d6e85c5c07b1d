#include "tests/support/platform_support.h"

#include <stdlib.h>
#include <windows.h>

namespace test {

void SetEnvironment(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }
void ClearEnvironment(const char* name) { _putenv_s(name, ""); }

void DeleteRegistryTree(bool localMachine, const std::string& keyPath) {
  RegDeleteTreeA(localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, keyPath.c_str());
  RegDeleteKeyA(localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, keyPath.c_str());
}

}  // namespace test
