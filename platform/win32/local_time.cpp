#include "platform/local_time.h"

#include <time.h>

namespace platform {

std::tm LocalTimeOf(std::time_t moment) {
  std::tm local{};
  const __time64_t wide = moment;
  _localtime64_s(&local, &wide);
  return local;
}

long long FileTimeToLocalSeconds(std::uint64_t fileTime) {
  constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;  // 1970-01-01 in 1601 units
  if (fileTime < kUnixEpochAsFileTime) return -1;
  const __time64_t utc = static_cast<__time64_t>((fileTime - kUnixEpochAsFileTime) / 10'000'000ull);
  tm local;
  if (_localtime64_s(&local, &utc) != 0) return -1;
  return static_cast<long long>(_mkgmtime64(&local));
}

}  // namespace platform
