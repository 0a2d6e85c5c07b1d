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

// What keeps a run from reading its settings. A store that does not exist
// yet is no problem (its list is empty); one that exists but cannot be
// opened or read is, and so natively is a store that another user owns or
// others may write, and a per-user store without a home directory.
struct StoreProblem {
  platform::StoreState state = platform::StoreState::kUsable;
  std::string where;  // the store's file or key
  explicit operator bool() const { return state != platform::StoreState::kUsable; }
};

// The first problem of the stores a run reads: the shared key (it holds the
// scope), the scope's key (the log settings) and the entries' store (the
// settings file, or the scope's key and set).
StoreProblem FindStoreProblem(const SettingsLocation& location);

// Points profile at the store: the given settings file, or the one that
// location names (its file, or its registry set).
void OpenEntryStore(CtProfile& profile, const SettingsLocation& location, const std::optional<std::string>& file);

// Reads every value of entry `index`; the caller decides whether it ends the list.
MirrorEntry ReadEntryAt(CtProfile& profile, int index);

// The stored list of location (or of the given settings file), at most 256
// entries, in key order. Missing values read as their defaults; a store that
// cannot be read gives an empty list.
std::vector<MirrorEntry> LoadEntryList(const SettingsLocation& location,
                                       const std::optional<std::string>& file = std::nullopt);

// Replaces the stored list by entries (at most the first 256). Normalises
// source and destination of the given entries in place. Keys after the
// first one without a name are left alone. A read-only settings file is
// left as it is. False when the list could not be stored whole: a read-only
// file, a folder or key that cannot be written.
bool SaveEntryList(std::vector<MirrorEntry>& entries, const SettingsLocation& location,
                   const std::optional<std::string>& file = std::nullopt);
