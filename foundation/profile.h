#pragma once
// CtProfile addresses one stored value, in the registry or in a profile
// file, and reads, writes or deletes it. The address is built with setters
// that return the object, so calls chain; every field stays set until it is
// set again. Nothing stays open between calls.

#include <cstddef>
#include <string>

#include "platform/registry.h"

using RegistryRoot = platform::RegistryRoot;

// A text read from the registry has at most this many bytes: a longer
// value reads as the default.
inline constexpr size_t kLongestRegistryText = 4095;

class CtProfile {
 public:
  CtProfile() = default;
  CtProfile(RegistryRoot root, const std::string& basePath) { SetRoot(root, basePath); }
  virtual ~CtProfile() = default;

  // Selects the profile-file store; clears the registry root and base path.
  virtual CtProfile& SetFile(const std::string& path);
  // Selects the registry store; the base path loses a leading "\" and ends in one.
  virtual CtProfile& SetRoot(RegistryRoot root, const std::string& basePath);
  virtual CtProfile& SetSection(const std::string& name);
  virtual CtProfile& SetSection(const char* format, int argument);
  virtual CtProfile& SetSection(const char* format, unsigned argument);
  virtual CtProfile& SetValueName(const std::string& name);
  virtual CtProfile& SetValueName(const char* format, int argument);
  virtual CtProfile& SetValueName(const char* format, unsigned argument);
  virtual CtProfile& SetDefault(const std::string& text);

  // The value as text, or the default when it cannot be read.
  virtual std::string GetString();
  // The value as a number, or the default text converted as atoi does.
  virtual int GetInt();
  // Non-zero on success; a missing key or file is created.
  virtual int SetString(const std::string& text);
  virtual int SetInt(int value);
  // Non-zero when the section (registry key or file section) was removed.
  virtual int DeleteSection();
  virtual int DeleteValue();

  virtual CtProfile& Assign(const CtProfile& other);
  virtual void SetBufferSize(int size);

  // The file store's two primitives; null arguments as the profile functions take them.
  virtual int ReadProfileText(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                              const char* file);
  virtual int WriteProfileText(const char* section, const char* key, const char* text, const char* file);

  // Read access for tests and callers that show where a value lives.
  RegistryRoot Root() const { return root_; }
  const std::string& BasePath() const { return basePath_; }
  const std::string& File() const { return file_; }
  const std::string& Section() const { return section_; }
  const std::string& ValueName() const { return valueName_; }

  // The registry key path of the current address (base path + section, trimmed).
  enum class KeyUse { kReadWrite, kDelete };
  std::string KeyPath(KeyUse use = KeyUse::kReadWrite) const;

 private:
  enum class Store { kFile, kRegistry, kNone };
  Store Selected() const;
  std::string ReadFileText();

  RegistryRoot root_ = RegistryRoot::kNone;
  std::string basePath_;
  std::string file_;
  std::string section_;
  std::string valueName_;
  std::string default_;
  int bufferSize_ = 1024;
};

// The C library's atoi, without its undefined overflow: white space, one
// sign, digits; no digits give 0; values beyond 32 bits saturate.
int TextToInt(const std::string& text);

// printf with one integer argument. A format with another conversion than
// one of d, i, u, x, X, o (or with more than one) is given back unchanged.
std::string FormatOne(const char* format, long long argument);
