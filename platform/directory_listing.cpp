#include "platform/directory_listing.h"

#include "platform/file_attributes.h"
#include "platform/injected_faults.h"

// The parts of a listing both platforms share: what a reparse tag means, and
// a fault a test injected.

namespace platform {

std::uint32_t AttributesWithReparseTag(std::uint32_t attributes, std::uint32_t tag) {
  constexpr std::uint32_t kNameSurrogate = 0x20000000;
  if (!(attributes & kAttrReparsePoint) || (tag & kNameSurrogate)) return attributes;
  return attributes & ~kAttrReparsePoint;
}

void DirectoryListing::LookUpFault(const std::string& directory) {
  const ListingFault fault = InjectedListingFault(directory);
  faultEntries_ = fault.entries;
  faultError_ = fault.error;
}

ListStep DirectoryListing::Next(DirectoryEntry* entry) {
  if (faultEntries_ < 0) return NextFromSystem(entry);
  for (;;) {
    if (faultEntries_ == 0) {
      if (faultError_ == 0) return ListStep::kEnd;
      error_ = faultError_;
      return ListStep::kError;
    }
    const ListStep step = NextFromSystem(entry);
    if (step != ListStep::kEntry) return step;
    if (entry->name == "." || entry->name == "..") continue;
    --faultEntries_;
    return ListStep::kEntry;
  }
}

}  // namespace platform
