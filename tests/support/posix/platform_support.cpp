#include "tests/support/platform_support.h"

#include <cstdlib>

namespace test {

void SetEnvironment(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
void ClearEnvironment(const char* name) { unsetenv(name); }
void DeleteRegistryTree(bool, const std::string&) {}

}  // namespace test
