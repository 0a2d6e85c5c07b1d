#include "platform/copy_faults.h"

#include <mutex>

#include "platform/file_system.h"

namespace platform {

namespace {

struct Faults {
  std::mutex lock;
  std::uint32_t error = 0;
  int skip = 0;
  int count = 0;
};

Faults& TheFaults() {
  static Faults faults;
  return faults;
}

}  // namespace

void InjectCopyFailures(std::uint32_t error, int skip, int count) {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  faults.error = error;
  faults.skip = skip;
  faults.count = count;
}

std::uint32_t TakeInjectedCopyFailure() {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  if (faults.count <= 0) return 0;
  if (faults.skip > 0) {
    --faults.skip;
    return 0;
  }
  --faults.count;
  return faults.error;
}

}  // namespace platform
