#include "tests/support/test_run.h"

#include <cstdlib>
#include <string>

#include "posting/post_channel.h"
#include "tests/support/platform_support.h"
#include "tests/support/temp_dir.h"

namespace test {

void UseChannelOfThisRun() {
  constexpr const char* kVariable = "KELMORAY_TEST_CHANNEL";
  const char* inherited = std::getenv(kVariable);
  std::string suffix = inherited != nullptr ? inherited : "";
  if (suffix.empty()) {
    suffix = UniqueName("-test");
    SetEnvironment(kVariable, suffix);
  }
  posting::SetChannelSuffix(suffix);
}

}  // namespace test
