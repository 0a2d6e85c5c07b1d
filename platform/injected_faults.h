#pragma once
// The failures that tests injected (fault_injection.h), as the platforms'
// file services take them.

#include <cstdint>
#include <string>

namespace platform {

// The error this copy in the run's turn is to fail with, or 0.
std::uint32_t TakeInjectedCopyFailure();
// The error this copy made ahead is to fail with, or 0.
std::uint32_t TakeInjectedPreparedCopyFailure();
// Whether this copy is to set neither mode nor times.
bool TakeInjectedMetadataFailure();

struct ListingFault {
  int entries = -1;  // entries before the fault; -1: no fault
  std::uint32_t error = 0;
};
// The fault injected for listings of this directory.
ListingFault InjectedListingFault(const std::string& directory);

}  // namespace platform
