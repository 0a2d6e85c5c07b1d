#include "platform/code_page.h"

namespace cp {
namespace {

bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The length of a well-formed character; 1 for a byte that starts none. An
// overlong form or a surrogate is no character: re-encoded it would change
// length, and two spellings of one name would compare equal.
size_t Utf8Length(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  size_t length = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
  if (pos + length > text.size()) return 1;
  for (size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
  if (length > 2) {
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
      return 1;
  }
  return length;
}

// One letter whose two cases differ by a fixed offset over a range.
struct CaseRange {
  unsigned upperFirst, upperLast, offset;
};

// Unicode ranges, used for UTF-8 text.
constexpr CaseRange kUnicodeRanges[] = {
    {0x41, 0x5A, 0x20},     {0xC0, 0xD6, 0x20},     {0xD8, 0xDE, 0x20},     {0x391, 0x3A1, 0x20},
    {0x3A3, 0x3A9, 0x20},   {0x410, 0x42F, 0x20},   {0x400, 0x40F, 0x50},   {0xFF21, 0xFF3A, 0x20},
};

unsigned DecodeUtf8(std::string_view ch) {
  const auto b = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(ch[i])); };
  switch (ch.size()) {
    case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    case 4: return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
    default: return b(0);
  }
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

enum class Case { kLower, kUpper };

unsigned MapCode(unsigned code, Case to) {
  for (const CaseRange& r : kUnicodeRanges) {
    if (to == Case::kLower && code >= r.upperFirst && code <= r.upperLast) return code + r.offset;
    if (to == Case::kUpper && code >= r.upperFirst + r.offset && code <= r.upperLast + r.offset) return code - r.offset;
  }
  return code;
}

// Shift-JIS double-byte letters as (lead, first trail of the upper case,
// count, first trail of the lower case). Cyrillic lower case skips 0x7F.
struct SjisRange {
  unsigned char lead, upperTrail, count, lowerTrail;
};
constexpr SjisRange kSjisRanges[] = {
    {0x82, 0x60, 26, 0x81},  // full-width Latin
    {0x83, 0x9F, 24, 0xBF},  // Greek
    {0x84, 0x40, 15, 0x70},  // Cyrillic А–Н
    {0x84, 0x4F, 18, 0x80},  // Cyrillic О–Я
};

void MapSjis(std::string& out, unsigned char lead, unsigned char trail, Case to) {
  for (const SjisRange& r : kSjisRanges) {
    if (lead != r.lead) continue;
    const unsigned char from = to == Case::kLower ? r.upperTrail : r.lowerTrail;
    const unsigned char into = to == Case::kLower ? r.lowerTrail : r.upperTrail;
    if (trail >= from && trail < from + r.count) {
      trail = static_cast<unsigned char>(into + (trail - from));
      break;
    }
  }
  out += static_cast<char>(lead);
  out += static_cast<char>(trail);
}

char MapAscii(char c, Case to) {
  if (to == Case::kLower && c >= 'A' && c <= 'Z') return static_cast<char>(c + 0x20);
  if (to == Case::kUpper && c >= 'a' && c <= 'z') return static_cast<char>(c - 0x20);
  return c;
}

std::string MapCase(std::string_view text, CodePage page, Case to) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const size_t length = CharLength(text, pos, page);
    const std::string_view ch = text.substr(pos, length);
    if (length == 1) {
      out += MapAscii(ch[0], to);
    } else if (page == CodePage::kShiftJis) {
      MapSjis(out, static_cast<unsigned char>(ch[0]), static_cast<unsigned char>(ch[1]), to);
    } else if (length <= 3) {
      AppendUtf8(out, MapCode(DecodeUtf8(ch), to));
    } else {
      out += ch;
    }
    pos += length;
  }
  return out;
}

}  // namespace

CodePage System() { return CodePage::kUtf8; }

size_t CharLength(std::string_view text, size_t pos, CodePage page) {
  switch (page) {
    case CodePage::kSingleByte: return 1;
    case CodePage::kShiftJis:
      return IsShiftJisLead(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
    case CodePage::kUtf8: return Utf8Length(text, pos);
  }
  return 1;
}

size_t FindFirstOf(std::string_view text, std::string_view set, CodePage page) {
  for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos, page))
    if (set.find(text[pos]) != std::string_view::npos) return pos;
  return std::string_view::npos;
}

size_t FindLastOf(std::string_view text, std::string_view set, CodePage page) {
  size_t found = std::string_view::npos;
  for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos, page))
    if (set.find(text[pos]) != std::string_view::npos) found = pos;
  return found;
}

bool EndsWith(std::string_view text, char c, CodePage page) {
  return !text.empty() && text.back() == c && FindLastOf(text, std::string_view(&c, 1), page) == text.size() - 1;
}

std::string ToLower(std::string_view text, CodePage page) { return MapCase(text, page, Case::kLower); }
std::string ToUpper(std::string_view text, CodePage page) { return MapCase(text, page, Case::kUpper); }

std::string ToUpperAscii(std::string_view text, CodePage page) {
  std::string out(text);
  for (size_t pos = 0; pos < out.size();) {
    const size_t length = CharLength(out, pos, page);
    if (length == 1) out[pos] = MapAscii(out[pos], Case::kUpper);
    pos += length;
  }
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b, CodePage page) {
  // Changing case never changes a character's length, so texts of different
  // lengths differ; ASCII texts need no copies.
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if ((a[i] | b[i]) & 0x80) return ToLower(a, page) == ToLower(b, page);
    if (MapAscii(a[i], Case::kLower) != MapAscii(b[i], Case::kLower)) return false;
  }
  return true;
}

std::string_view CutToBytes(std::string_view text, size_t maxBytes, CodePage page) {
  if (text.size() <= maxBytes) return text;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t next = pos + CharLength(text, pos, page);
    if (next > maxBytes) break;
    pos = next;
  }
  return text.substr(0, pos);
}

}  // namespace cp
