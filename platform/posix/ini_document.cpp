#include "platform/posix/ini_document.h"

#include <algorithm>
#include <utility>

namespace ini {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// These bytes are never the second byte of a double-byte character, so
// trimming may look at single bytes.
bool IsSpace(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  return text;
}

// White space at the end is taken a character at a time: a byte that is the
// second of a double-byte character stays with it.
std::string_view TrimRight(std::string_view text, cp::CodePage page) {
  size_t end = 0;  // just after the last character that is no white space
  for (size_t pos = 0, length; pos < text.size(); pos += length) {
    length = cp::CharLength(text, pos, page);
    if (length > 1 || !IsSpace(text[pos])) end = pos + length;
  }
  return text.substr(0, end);
}

std::string_view Trim(std::string_view text, cp::CodePage page) { return TrimRight(TrimLeft(text), page); }

// Names and values end at a NUL byte, as C strings do; white space before
// it goes too, as it would at the end of a line, so that the text written
// back reads the same.
// The cut is made before the character that holds the NUL, so that no lead
// byte is left without its trail to take the next byte written after it.
std::string UpToNul(std::string_view text, cp::CodePage page) {
  size_t end = 0;
  for (size_t length; end < text.size(); end += length) {
    length = cp::CharLength(text, end, page);
    if (text.substr(end, length).find('\0') != std::string_view::npos) break;
  }
  return std::string(Trim(text.substr(0, end), page));
}

// A value as the profile functions hand it out: a value in matching quotes
// loses them. The quirk of the original is kept: when the value fills the
// buffer exactly, the last character is lost instead of the closing quote.
std::string CopyEntry(std::string_view value, size_t bufferSize, cp::CodePage page) {
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string out(cp::CutToBytes(value, bufferSize - 1, page));
  if (quoted && bufferSize >= value.size() && !out.empty()) out.pop_back();
  return out;
}

}  // namespace

Document Document::Parse(std::string_view text, cp::CodePage page) {
  Document doc(page);
  if (text.empty()) return doc;
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    doc.byteOrderMark_ = kUtf8Mark;
    text.remove_prefix(kUtf8Mark.size());
  }
  doc.sections_.push_back({"", {}, false});
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t start = pos;
    while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
    const size_t end = pos;
    while (pos < text.size() && (text[pos] == '\n' || text[pos] == '\r')) ++pos;
    doc.AddLine(Trim(text.substr(start, end - start), page));
  }
  return doc;
}

void Document::AddLine(std::string_view line) {
  if (line.empty()) return;
  if (line.front() == '[') {
    const size_t close = cp::FindLastOf(line, "]", page_);
    if (close != std::string_view::npos) {
      sections_.push_back({UpToNul(Trim(line.substr(1, close - 1), page_), page_), {}});
      return;
    }
  }
  Key key;
  const size_t equals = cp::FindFirstOf(line, "=", page_);
  if (equals == std::string_view::npos) {
    key.name = UpToNul(line, page_);
    if (key.name.empty()) return;  // nothing before a NUL: a blank line
  } else {
    key.name = UpToNul(TrimRight(line.substr(0, equals), page_), page_);
    key.value = UpToNul(TrimLeft(line.substr(equals + 1)), page_);
  }
  // Runs of lines with an empty name ("=x") keep only their first line.
  std::vector<Key>& keys = sections_.back().keys;
  if (key.name.empty() && !keys.empty() && keys.back().name.empty()) return;
  keys.push_back(std::move(key));
}

std::string Document::Text() const {
  std::string out = byteOrderMark_;
  // A file without the mark whose first line begins with its bytes (after
  // white space that went) starts with a space: else it would read as the mark.
  if (byteOrderMark_.empty() && !sections_.empty() && !sections_.front().header &&
      !sections_.front().keys.empty() && sections_.front().keys.front().name.starts_with(kUtf8Mark))
    out = " ";
  for (const Section& section : sections_) {
    if (section.header) out.append("[").append(section.name).append("]\r\n");
    for (const Key& key : section.keys) {
      out += key.name;
      if (key.value) out.append("=").append(*key.value);
      out += "\r\n";
    }
  }
  return out;
}

const Document::Section* Document::FindSection(std::string_view trimmedName) const {
  for (const Section& section : sections_)
    if (cp::EqualsNoCase(section.name, trimmedName, page_)) return &section;
  return nullptr;
}

Document::Section* Document::FindSection(std::string_view trimmedName) {
  return const_cast<Section*>(std::as_const(*this).FindSection(trimmedName));
}

std::string Document::Read(std::string_view section, std::string_view key, std::string_view defaultText,
                           size_t bufferSize) const {
  if (bufferSize == 0) return {};
  // Trailing spaces of the default go, but never its first character.
  const size_t keep = defaultText.find_last_not_of(' ');
  defaultText = defaultText.substr(0, keep == std::string_view::npos ? std::min<size_t>(defaultText.size(), 1) : keep + 1);
  std::string_view value = defaultText;
  if (const Section* found = FindSection(Trim(section, page_))) {
    const std::string_view name = Trim(key, page_);
    const auto match = std::find_if(found->keys.begin(), found->keys.end(),
                                     [&](const Key& k) { return cp::EqualsNoCase(k.name, name, page_); });
    if (match != found->keys.end() && match->value) value = *match->value;
  }
  return CopyEntry(value, bufferSize, page_);
}

bool Document::Set(std::string_view section, std::string_view key, std::string_view value) {
  // New sections and keys keep trailing white space of their names (until
  // the file is read again).
  const std::string_view name = Trim(key, page_);
  Section* found = FindSection(Trim(section, page_));
  if (!found) {
    sections_.push_back({std::string(TrimLeft(section)), {}});
    found = &sections_.back();
  }
  auto match = std::find_if(found->keys.begin(), found->keys.end(),
                            [&](const Key& k) { return cp::EqualsNoCase(k.name, name, page_); });
  if (match == found->keys.end()) {
    found->keys.push_back({std::string(TrimLeft(key)), std::nullopt});
    match = std::prev(found->keys.end());
  }
  value = TrimLeft(value);
  if (match->value == value) return false;
  match->value = std::string(value);
  return true;
}

bool Document::DeleteKey(std::string_view section, std::string_view key) {
  for (Section& s : sections_) {
    if (!cp::EqualsNoCase(s.name, section, page_)) continue;
    const auto match =
        std::find_if(s.keys.begin(), s.keys.end(), [&](const Key& k) { return cp::EqualsNoCase(k.name, key, page_); });
    if (match != s.keys.end()) {
      s.keys.erase(match);
      return true;
    }
  }
  return false;
}

bool Document::DeleteSection(std::string_view section) {
  const auto match = std::find_if(sections_.begin(), sections_.end(),
                                  [&](const Section& s) { return cp::EqualsNoCase(s.name, section, page_); });
  if (match == sections_.end()) return false;
  sections_.erase(match);
  return true;
}

}  // namespace ini
