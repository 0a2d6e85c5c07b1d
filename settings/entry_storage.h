#pragma once
// The list of mirror entries in its store: numbered keys 0 to 255 in the
// registry (below "Settings" of the current scope, plus the set suffix) or
// numbered sections in a ".kyf" settings file. The list ends at the first
// entry without a name; an entry's exclusion items end at the first one
// missing or empty.

#include <optional>
#include <string>
#include <vector>

#include "foundation/profile.h"
#include "settings/mirror_entry.h"
#include "settings/settings_location.h"

inline constexpr int kMaxEntries = 256;

// Points profile at the store: the given settings file, or the one that
// location names (its file, or its registry set).
void OpenEntryStore(CtProfile& profile, const SettingsLocation& location, const std::optional<std::string>& file);

// Reads every value of entry `index`; the caller decides whether it ends the list.
MirrorEntry ReadEntryAt(CtProfile& profile, int index);

// The stored list, at most 256 entries, in key order. Missing values read as
// their defaults; a store that cannot be read gives an empty list.
std::vector<MirrorEntry> LoadEntryList(const std::optional<std::string>& file = std::nullopt);

// Replaces the stored list by entries (at most the first 256). Normalises
// source and destination of the given entries in place. Keys after the
// first one without a name are left alone. A read-only settings file is
// left as it is. Failed writes are not reported.
void SaveEntryList(std::vector<MirrorEntry>& entries, const std::optional<std::string>& file = std::nullopt);
