#include "tests/support/tree.h"

#include <filesystem>

#include "platform/file_system.h"
#include "tests/support/files.h"

namespace test {

namespace fs = std::filesystem;

std::string Below(const std::string& root, const std::string& relative) {
  std::string path = root + relative;
  if (platform::NativePathStyle() == platform::PathStyle::kWindows)
    for (char& c : path)
      if (c == '/') c = '\\';
  return path;
}

void MakeTree(const std::string& root, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const std::string full = Below(root, path);
    if (path.back() == '/') {
      fs::create_directories(full);
      continue;
    }
    fs::create_directories(fs::path(full).parent_path());
    WriteFile(full, path);
  }
}

std::set<std::string> ListTree(const std::string& root) {
  std::set<std::string> found;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::end(it);
       it.increment(error)) {
    std::string relative = fs::relative(it->path(), root).generic_string();
    if (it->is_directory() && !it->is_symlink()) relative += "/";
    found.insert(relative);
  }
  return found;
}

}  // namespace test
