#include "platform/directory_listing.h"

#include "platform/injected_faults.h"

// The part of a listing both platforms share: a fault a test injected.

namespace platform {

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
