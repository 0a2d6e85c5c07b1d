#include "tests/support/tree.h"

#include "engine/paths.h"
#include "foundation/directory.h"
#include "platform/directory_listing.h"
#include "platform/file_attributes.h"
#include "platform/paths.h"
#include "tests/support/files.h"

namespace test {

namespace {

// Lists root + relative into found, directories before what they hold.
// Names are the system's bytes: Japanese names are never re-encoded.
void ListInto(const std::string& root, const std::string& relative, std::set<std::string>& found) {
  platform::DirectoryListing listing(Below(root, relative), "*");
  platform::DirectoryEntry entry;
  while (listing.Next(&entry) == platform::ListStep::kEntry) {
    if (entry.name == "." || entry.name == "..") continue;
    const bool directory = (entry.attributes & platform::kAttrDirectory) &&
                           !(entry.attributes & platform::kAttrReparsePoint);
    const std::string path = relative + entry.name + (directory ? "/" : "");
    found.insert(path);
    if (directory) ListInto(root, path, found);
  }
}

}  // namespace

std::string Below(const std::string& root, const std::string& relative) {
  std::string path = root + relative;
  // "/" is never the trail byte of a double-byte character.
  if (platform::NativePathStyle() == platform::PathStyle::kWindows)
    for (char& c : path)
      if (c == '/') c = '\\';
  return path;
}

void MakeTree(const std::string& root, const std::vector<std::string>& paths) {
  CreateDirectoryPath(root);
  for (const std::string& path : paths) {
    const std::string full = Below(root, path);
    CreateDirectoryPath(engine::DirectoryOf(full));
    if (path.back() != '/') WriteFile(full, path);
  }
}

std::set<std::string> ListTree(const std::string& root) {
  std::set<std::string> found;
  ListInto(root, "", found);
  return found;
}

}  // namespace test
