#include "platform/local_time.h"

#include "platform/posix/file_facts.h"

namespace platform {

std::tm LocalTimeOf(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  return local;
}

long long FileTimeToLocalSeconds(std::uint64_t fileTime) {
  if (fileTime < kUnixEpochAsFileTime) return -1;
  const time_t utc = static_cast<time_t>((fileTime - kUnixEpochAsFileTime) / 10'000'000ull);
  tm local;
  if (localtime_r(&utc, &local) == nullptr) return -1;
  return static_cast<long long>(timegm(&local));
}

}  // namespace platform
