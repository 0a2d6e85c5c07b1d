#pragma once
// The failures that tests inject, as the platforms' file services take
// them: none in the programs (no_injected_faults.cpp); tests link
// definitions that fail on demand (tests/support/fault_injection.h).

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
