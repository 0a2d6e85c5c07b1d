#include "tests/support/fault_injection.h"

#include <atomic>
#include <mutex>

#include "platform/injected_faults.h"

namespace platform {

namespace {

// Failures of one kind of call: after `skip` calls, `count` fail with `error`.
struct CountedFault {
  std::uint32_t error = 0;
  int skip = 0;
  int count = 0;
  std::uint32_t Take() {
    if (count <= 0) return 0;
    if (skip > 0) {
      --skip;
      return 0;
    }
    --count;
    return error;
  }
};

struct Faults {
  std::mutex lock;
  CountedFault copy;
  CountedFault prepared;
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
  faults.copy = {error, skip, count};
}

void InjectPreparedCopyFailures(std::uint32_t error, int skip, int count) {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  faults.prepared = {error, skip, count};
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
  return faults.copy.Take();
}

std::uint32_t TakeInjectedPreparedCopyFailure() {
  Faults& faults = TheFaults();
  std::lock_guard guard(faults.lock);
  return faults.prepared.Take();
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
