#pragma once
// Whole-file reads and writes for tests, by names in the system code page.

#include <string>

namespace test {

bool WriteFile(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace test
