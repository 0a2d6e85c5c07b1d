#include "foundation/path.h"

#include "platform/code_page.h"

namespace {

constexpr size_t kPartLimit = 255;

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() && cp::EqualsNoCase(std::string_view(text).substr(0, prefix.size()), prefix,
                                                          cp::CodePage::kSingleByte);
}

// Replaces every single-byte `from` by `to`, leaving the bytes of multibyte characters alone.
void ReplaceChars(std::string& text, char from, char to) {
  for (size_t pos = 0; pos < text.size(); pos += cp::CharLength(text, pos))
    if (text[pos] == from) text[pos] = to;
}

}  // namespace

CtPath::CtPath(const std::string& text, PathStyle style) : style_(style) {
  if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "ftp://") || StartsWithNoCase(text, "vaduvo://"))
    SplitUrl(text);
  else
    SplitLocal(text);
}

void CtPath::SplitLocal(std::string text) {
  const bool windows = style_ == PathStyle::kWindows;
  if (windows && StartsWithNoCase(text, "file:///")) text.erase(0, 8);
  if (StartsWithNoCase(text, "file://")) text.erase(0, 7);
  if (windows) ReplaceChars(text, '/', '\\');
  std::string rest = text;
  if (windows && text.size() >= 2 && text[1] == ':') {
    drive_ = text.substr(0, 2);
    rest = text.substr(2);
  }
  const size_t lastSeparator = cp::FindLastOf(rest, windows ? "\\" : "/");
  const size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
  const size_t lastDot = cp::FindLastOf(rest, ".");
  dir_ = rest.substr(0, nameStart);
  if (lastDot != std::string::npos && lastDot >= nameStart) {
    fileName_ = rest.substr(nameStart, lastDot - nameStart);
    ext_ = rest.substr(lastDot);
  } else {
    fileName_ = rest.substr(nameStart);
  }
  // No name can be longer. A directory can, and is kept whole: cut, it
  // would name another directory once its separator closes it again.
  fileName_ = cp::CutToBytes(fileName_, kPartLimit);
  ext_ = cp::CutToBytes(ext_, kPartLimit);
  if (dir_.empty()) dir_ = windows ? "\\" : "/";
}

void CtPath::SplitUrl(std::string text) {
  ReplaceChars(text, '\\', '/');
  const size_t hostStart = text.find("://") + 3;
  const size_t firstSlash = text.find('/', hostStart);
  if (firstSlash == std::string::npos) {
    drive_ = text;
    dir_ = "/";
    return;
  }
  const size_t lastSlash = text.rfind('/');
  drive_ = text.substr(0, firstSlash);
  dir_ = text.substr(firstSlash, lastSlash + 1 - firstSlash);
  const std::string last = text.substr(lastSlash + 1);
  const size_t dot = cp::FindLastOf(last, ".");
  fileName_ = last.substr(0, dot);
  if (dot != std::string::npos) ext_ = last.substr(dot);
}

std::string CtPath::GetDrive() {
  if (drive_.size() == 1) drive_ += ':';
  return drive_;
}

std::string CtPath::GetDir() {
  if (dir_.empty()) return dir_;
  const char separator =
      style_ == PathStyle::kWindows && cp::FindFirstOf(dir_, "\\") != std::string::npos ? '\\' : '/';
  if (dir_.front() != separator) dir_.insert(dir_.begin(), separator);
  if (!cp::EndsWith(dir_, separator)) dir_ += separator;
  return dir_;
}

std::string CtPath::GetFileName() { return fileName_; }

std::string CtPath::GetExt() {
  if (!ext_.empty() && ext_.front() != '.') ext_.insert(ext_.begin(), '.');
  return ext_;
}

std::string CtPath::GetExtNoDot() { return !ext_.empty() && ext_.front() == '.' ? ext_.substr(1) : ext_; }

CtPath& CtPath::SetDrive(const std::string& drive) {
  drive_ = drive;
  GetDrive();
  return *this;
}

CtPath& CtPath::SetDir(const std::string& dir) {
  dir_ = dir;
  GetDir();
  return *this;
}

CtPath& CtPath::SetFileName(const std::string& name) {
  fileName_ = name;
  return *this;
}

CtPath& CtPath::SetExt(const std::string& ext) {
  ext_ = ext;
  GetExt();
  return *this;
}

void CtPath::GetPath(std::string& out) { out = GetDrive() + GetDir() + GetFileName() + GetExt(); }

std::string CtPath::GetPath() {
  std::string out;
  GetPath(out);
  return out;
}

const char* CtPath::GetPathText() {
  GetPath(fullPath_);
  return fullPath_.c_str();
}

CtPath& CtPath::Assign(const CtPath& other) {
  style_ = other.style_;
  drive_ = other.drive_;
  dir_ = other.dir_;
  fileName_ = other.fileName_;
  ext_ = other.ext_;
  return *this;
}

std::string NormalizeDirPath(const std::string& dir, PathStyle style) {
  if (dir.empty() || cp::EndsWith(dir, '/')) return dir;
  if (style == PathStyle::kWindows) {
    if (cp::EndsWith(dir, '\\')) return dir;
    if (cp::FindFirstOf(dir, "\\") != std::string::npos) return dir + '\\';
  }
  if (dir.find('/') != std::string::npos) return dir + '/';
  return dir;
}
