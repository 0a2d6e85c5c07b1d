#pragma once
// One named mirror setting: a source tree, a destination tree, and the
// options that say what is mirrored and how the destination is brought into
// line. Plain data; copying an entry copies its exclusion list too.

#include <string>
#include <vector>

struct MirrorEntry {
  std::string name;                    // shown in the settings list; the engine ignores it
  std::string source;                  // the tree that is mirrored
  std::string destination;             // the tree made to match it
  std::string nomirrext;               // ".bak;.tmp": extensions never mirrored; "." for names without a dot
  bool subdir = false;                 // mirror every depth, not only the top level
  bool destination_delete = false;     // delete what exists only at the destination
  bool hidden_files = false;           // hidden items take part
  bool system_files = false;           // system items take part
  bool readonly_files = false;         // read-only items take part
  std::string wildcard;                // search pattern for source files, with use_wildcard
  bool use_wildcard = false;
  bool destinationdir_delete = false;  // with subdir clear: examine the destination at every depth
  bool attribute = false;              // mirror attributes when a new file is copied
  bool use_archive = false;            // the archive bit, not time and size, decides updates
  std::vector<std::string> nomirror;   // full paths of files, patterns and directories ("...\") never mirrored

  bool operator==(const MirrorEntry&) const = default;
};

// The attribute mask of the source listing: bit 0 read-only, bit 1 hidden, bit 2 system.
inline int AttributeMask(const MirrorEntry& e) {
  return (e.readonly_files ? 1 : 0) | (e.hidden_files ? 2 : 0) | (e.system_files ? 4 : 0);
}

// The pattern for source files: wildcard when use_wildcard is set, else "*.*".
inline std::string EffectivePattern(const MirrorEntry& e) { return e.use_wildcard ? e.wildcard : "*.*"; }

// The destination is examined at every depth with subdir or destinationdir_delete.
inline bool DestinationRecurses(const MirrorEntry& e) { return e.subdir || e.destinationdir_delete; }
