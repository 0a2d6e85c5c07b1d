#pragma once
// The copy failures that tests ask for (InjectCopyFailures); used by both
// platforms' copies.

#include <cstdint>

namespace platform {

// The error this copy is to fail with, or 0.
std::uint32_t TakeInjectedCopyFailure();

}  // namespace platform
