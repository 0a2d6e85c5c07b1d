#include <atomic>
#include <charconv>
#include <string>

#include "platform/file_operations.h"
#include "platform/thread.h"

// Temporary copies are named ".kelmoray-PROCESS-SERIAL.tmp": a later run
// recognises what an interrupted one left, and whether its maker still runs.

namespace platform {

namespace {

constexpr std::string_view kPrefix = ".kelmoray-";
constexpr std::string_view kSuffix = ".tmp";

// The decimal number at the front of text, and the rest after it; false
// when text does not start with one.
bool TakeNumber(std::string_view& text, std::uint32_t* number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
  if (error != std::errc() || end == text.data() || text.front() == '+') return false;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  return true;
}

// The process that made a temporary copy of that name; false when it is none.
bool MakerOf(std::string_view name, std::uint32_t* process) {
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
  name.remove_prefix(kPrefix.size());
  name.remove_suffix(kSuffix.size());
  std::uint32_t serial = 0;
  if (!TakeNumber(name, process) || name.empty() || name.front() != '-') return false;
  name.remove_prefix(1);
  return TakeNumber(name, &serial) && name.empty();
}

}  // namespace

std::string TemporaryCopyName() {
  static std::atomic<unsigned> serial{0};
  return std::string(kPrefix) + std::to_string(CurrentProcessId()) + "-" + std::to_string(++serial) +
         std::string(kSuffix);
}

bool IsTemporaryCopyName(const std::string& name) {
  std::uint32_t process = 0;
  return MakerOf(name, &process);
}

void RemoveAbandonedCopy(const std::string& directory, const std::string& name) {
  std::uint32_t process = 0;
  if (MakerOf(name, &process) && process != CurrentProcessId() && ProcessHasEnded(process))
    (void)DeleteFilePlain(directory + name);
}

}  // namespace platform
