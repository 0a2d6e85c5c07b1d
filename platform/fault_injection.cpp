#include "platform/fault_injection.h"

#include <atomic>
#include <mutex>

#include "platform/injected_faults.h"

namespace platform {

namespace {

struct Faults {
  std::mutex lock;
  std::uint32_t copyError = 0;
  int copySkip = 0;
  int copyCount = 0;
  int metadataCount = 0;
  std::string listedDirectory;
  ListingFault listing;
  std::atomic<bool> anyListing{false};  // read without the lock on every listing
};

Faults& TheFaults() {
  static Faults faults;
  return faults;
}

}  // namespace

void InjectCopyFailures(std::uint32_t error, int skip, int count) {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  faults.copyError = error;
  faults.copySkip = skip;
  faults.copyCount = count;
}

void InjectMetadataFailures(int count) {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  faults.metadataCount = count;
}

void InjectListingFault(const std::string& directory, int entries, std::uint32_t error) {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  faults.listedDirectory = directory;
  faults.listing = {directory.empty() ? -1 : entries, error};
  faults.anyListing = !directory.empty();
}

std::uint32_t TakeInjectedCopyFailure() {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  if (faults.copyCount <= 0) return 0;
  if (faults.copySkip > 0) {
    --faults.copySkip;
    return 0;
  }
  --faults.copyCount;
  return faults.copyError;
}

bool TakeInjectedMetadataFailure() {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  if (faults.metadataCount <= 0) return false;
  --faults.metadataCount;
  return true;
}

ListingFault InjectedListingFault(const std::string& directory) {
  Faults& faults = TheFaults();
  if (!faults.anyListing) return {};
  std::lock_guard guard(faults.lock);
  return directory == faults.listedDirectory ? faults.listing : ListingFault{};
}

}  // namespace platform
