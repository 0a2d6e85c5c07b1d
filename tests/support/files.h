#pragma once
// Whole-file reads and writes for tests, by names in the program's UTF-8.

#include <string>

namespace test {

bool WriteFile(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// A file of texts the program stores (its log, its console output), in the
// program's UTF-8: on Windows such files are in the system's code page.
std::string ReadStoredText(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace test
