#pragma once
// Local calendar time, of now and of file times.

#include <cstdint>
#include <ctime>

namespace platform {

// Local calendar time of a moment (seconds since 1970, UTC).
std::tm LocalTimeOf(std::time_t moment);

// Seconds since 1970 of a file time (100-nanosecond units since 1601) in
// local calendar time; times before 1970 or beyond what the C library
// holds all give -1.
long long FileTimeToLocalSeconds(std::uint64_t fileTime);

}  // namespace platform
