#include "foundation/profile.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/code_page.h"
#include "platform/profile_file.h"

namespace {

bool IsSafeFormat(const char* format) {
  int conversions = 0;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') continue;
    if (*++p == '%') continue;
    while (*p && std::strchr("-+ #0", *p)) ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (*p == '.') {
      ++p;
      while (*p >= '0' && *p <= '9') ++p;
    }
    if (!*p || !std::strchr("diuxXo", *p)) return false;
    ++conversions;
  }
  return conversions <= 1;
}

// Removes one trailing c, if the last character is one (the trail byte of
// a double-byte character is none).
void DropLast(std::string& text, char c) {
  if (cp::EndsWith(text, c)) text.pop_back();
}

}  // namespace

int TextToInt(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

std::string FormatOne(const char* format, long long argument) {
  if (!format) return {};
  if (!IsSafeFormat(format)) return format;
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, format, static_cast<int>(argument));
  if (length < 0) return {};
  return std::string(buffer, static_cast<size_t>(length) < sizeof buffer ? static_cast<size_t>(length) : sizeof buffer - 1);
}

CtProfile& CtProfile::SetFile(const std::string& path) {
  file_ = path;
  root_ = RegistryRoot::kNone;
  basePath_.clear();
  return *this;
}

CtProfile& CtProfile::SetRoot(RegistryRoot root, const std::string& basePath) {
  root_ = root;
  basePath_ = basePath;
  if (!basePath_.empty() && basePath_.front() == '\\') basePath_.erase(0, 1);
  if (!cp::EndsWith(basePath_, '\\')) basePath_ += '\\';
  file_.clear();
  return *this;
}

CtProfile& CtProfile::SetSection(const std::string& name) {
  section_ = name;
  return *this;
}
CtProfile& CtProfile::SetSection(const char* format, int argument) { return SetSection(FormatOne(format, argument)); }
CtProfile& CtProfile::SetSection(const char* format, unsigned argument) { return SetSection(FormatOne(format, argument)); }

CtProfile& CtProfile::SetValueName(const std::string& name) {
  valueName_ = name;
  return *this;
}
CtProfile& CtProfile::SetValueName(const char* format, int argument) { return SetValueName(FormatOne(format, argument)); }
CtProfile& CtProfile::SetValueName(const char* format, unsigned argument) {
  return SetValueName(FormatOne(format, argument));
}

CtProfile& CtProfile::SetDefault(const std::string& text) {
  default_ = text;
  return *this;
}

CtProfile::Store CtProfile::Selected() const {
  if (!file_.empty()) return Store::kFile;
  if (root_ != RegistryRoot::kNone) return Store::kRegistry;
  return Store::kNone;
}

// Base path and section joined; then one trailing "\", one trailing "/" and
// one leading "\" go, in this order, and one more trailing "\" for reads and writes.
std::string CtProfile::KeyPath(KeyUse use) const {
  std::string path = basePath_ + section_;
  DropLast(path, '\\');
  DropLast(path, '/');
  if (!path.empty() && path.front() == '\\') path.erase(0, 1);
  if (use == KeyUse::kReadWrite) DropLast(path, '\\');
  return path;
}

std::string CtProfile::ReadFileText() {
  const int size = bufferSize_ > 0 ? bufferSize_ : 1;
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
  const int length = ReadProfileText(section_.c_str(), valueName_.c_str(), default_.c_str(), buffer.data(), size,
                                     file_.c_str());
  return std::string(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
}

std::string CtProfile::GetString() {
  switch (Selected()) {
    case Store::kFile: return ReadFileText();
    case Store::kRegistry: {
      std::string data;
      if (!platform::RegistryRead(root_, KeyPath(), valueName_, kLongestRegistryText + 1, data)) return default_;
      return data.substr(0, data.find('\0'));
    }
    case Store::kNone: return default_;
  }
  return default_;
}

int CtProfile::GetInt() {
  switch (Selected()) {
    case Store::kFile: return TextToInt(ReadFileText());
    case Store::kRegistry: {
      std::string data;
      if (!platform::RegistryRead(root_, KeyPath(), valueName_, 4, data)) return TextToInt(default_);
      // Little-endian; shorter data fills the low bytes.
      uint32_t value = 0;
      for (size_t i = 0; i < data.size(); ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
      return static_cast<int>(value);
    }
    case Store::kNone: return TextToInt(default_);
  }
  return TextToInt(default_);
}

int CtProfile::SetString(const std::string& text) {
  switch (Selected()) {
    case Store::kFile: return WriteProfileText(section_.c_str(), valueName_.c_str(), text.c_str(), file_.c_str());
    case Store::kRegistry:
      return platform::RegistryWrite(root_, KeyPath(), valueName_, platform::RegistryType::kText,
                                     std::string_view(text.c_str(), text.size() + 1));
    case Store::kNone: return 0;
  }
  return 0;
}

int CtProfile::SetInt(int value) {
  switch (Selected()) {
    case Store::kFile: return SetString(FormatOne("%d", value));
    case Store::kRegistry: {
      const auto bits = static_cast<uint32_t>(value);
      const char data[4] = {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
                            static_cast<char>(bits >> 24)};
      return platform::RegistryWrite(root_, KeyPath(), valueName_, platform::RegistryType::kNumber,
                                     std::string_view(data, 4));
    }
    case Store::kNone: return 0;
  }
  return 0;
}

int CtProfile::DeleteSection() {
  switch (Selected()) {
    case Store::kFile: return WriteProfileText(section_.c_str(), nullptr, nullptr, file_.c_str());
    case Store::kRegistry: return platform::RegistryDeleteKey(root_, KeyPath(KeyUse::kDelete));
    case Store::kNone: return 0;
  }
  return 0;
}

int CtProfile::DeleteValue() {
  switch (Selected()) {
    case Store::kFile: return WriteProfileText(section_.c_str(), valueName_.c_str(), nullptr, file_.c_str());
    case Store::kRegistry: return platform::RegistryDeleteValue(root_, KeyPath(KeyUse::kDelete), valueName_);
    case Store::kNone: return 0;
  }
  return 0;
}

CtProfile& CtProfile::Assign(const CtProfile& other) {
  root_ = other.root_;
  basePath_ = other.basePath_;
  file_ = other.file_;
  section_ = other.section_;
  valueName_ = other.valueName_;
  default_ = other.default_;
  bufferSize_ = other.bufferSize_;
  return *this;
}

void CtProfile::SetBufferSize(int size) { bufferSize_ = size; }

int CtProfile::ReadProfileText(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                               const char* file) {
  return platform::ReadProfileValue(section, key, defaultText, buffer, size, file);
}

// Every write is followed by a flush, so that it reaches the disk before this returns.
int CtProfile::WriteProfileText(const char* section, const char* key, const char* text, const char* file) {
  const bool written = platform::WriteProfileValue(section, key, text, file);
  platform::WriteProfileValue(nullptr, nullptr, nullptr, file);
  return written;
}
