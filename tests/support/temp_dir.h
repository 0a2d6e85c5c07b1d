#pragma once
// A fresh directory per test, removed with everything in it at the end, and
// a registry of the test's own.

#include <gtest/gtest.h>

#include <string>

namespace test {

// A new empty directory in the system's temporary directory, or in parent.
class TempDir {
 public:
  explicit TempDir(const std::string& parent = "");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory, ending in the platform's separator.
  const std::string& Path() const { return path_; }
  // Path() + relative, with "/" in relative turned into the platform's separator.
  std::string operator/(const std::string& relative) const;

 private:
  std::string path_;
};

// Keys of the test's own: natively the whole store moves into a temporary
// directory; under Windows each sandbox gets a unique key below which the
// test works, deleted with all its subkeys at the end.
class RegistrySandbox {
 public:
  RegistrySandbox();
  ~RegistrySandbox();
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;

  // A base path ("\Software\KelmorayTests\<unique>\") for CtProfile tests.
  const std::string& BasePath() const { return basePath_; }
  // A settings-set suffix ("\S-<unique>") that keeps entry lists apart.
  const std::string& SetSuffix() const { return setSuffix_; }

 private:
  TempDir dir_;
  std::string basePath_;
  std::string setSuffix_;
  std::string savedEnvironment_;
  bool hadEnvironment_ = false;
};

// A name no other test of any process uses at the same time.
std::string UniqueName(const std::string& prefix);

}  // namespace test
