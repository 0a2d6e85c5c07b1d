#pragma once
// Failures that tests ask for, where the system cannot be made to fail on
// demand: a full disk, a destination that refuses modes, a listing that
// breaks off. Linked into the test programs only: it replaces the
// programs' definitions of platform/injected_faults.h.

#include <cstdint>
#include <string>

namespace platform {

// After the next `skip` copies in the run's turn (a copy made then, or one
// made ahead being named), `count` of them fail with `error` without
// touching anything.
void InjectCopyFailures(std::uint32_t error, int skip, int count);
// The same for copies made ahead of the run's turn.
void InjectPreparedCopyFailures(std::uint32_t error, int skip, int count);

// The next `count` copies natively set neither mode nor times, as FAT and
// exFAT refuse them.
void InjectMetadataFailures(int count);

// Every listing of `directory` (exactly as given to DirectoryListing)
// leaves "." and ".." out, as a drive root has none, and after `entries`
// entries gives kError with `error`, or the end when `error` is 0. An
// empty `directory` clears it.
void InjectListingFault(const std::string& directory, int entries, std::uint32_t error);

}  // namespace platform
