#pragma once
// What the system says of a file, in the Windows terms the engine uses
// (file times, attribute bits and error numbers), for every file service.

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace platform {

// 1970-01-01 in 100-nanosecond units since 1601.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

std::uint64_t ToFileTime(const timespec& time);

// The attribute bits of a file of that name with that status.
std::uint32_t AttributesOf(const struct stat& info, const std::string& name);

// The FileError for an errno: one table for every file service.
std::uint32_t FileErrorFrom(int error);

// A path without its trailing separators, so that a final link is not followed.
std::string WithoutTrailingSeparator(const std::string& path);

}  // namespace platform
