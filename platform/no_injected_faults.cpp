// The programs inject no failures. Tests link their own definitions of
// these (tests/support/fault_injection.cpp), which the linker then takes
// instead of this file.

#include "platform/injected_faults.h"

namespace platform {

std::uint32_t TakeInjectedCopyFailure() { return 0; }
std::uint32_t TakeInjectedPreparedCopyFailure() { return 0; }
bool TakeInjectedMetadataFailure() { return false; }
ListingFault InjectedListingFault(const std::string&) { return {}; }

}  // namespace platform
