#pragma once
// Trees of files for tests, described by relative paths with "/".

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace test {

// Makes each path below root with its parents; a path ending in "/" is a
// directory, any other a file whose content is its own path.
void MakeTree(const std::string& root, const std::vector<std::string>& paths);

// Every file and directory below root, relative with "/", directories ending in "/".
std::set<std::string> ListTree(const std::string& root);

// root + relative with "/" turned into the platform's separator.
std::string Below(const std::string& root, const std::string& relative);

}  // namespace test
