#include "shell/console/escaped_column.h"

#include <cstdio>

#include "platform/paths.h"

std::string EscapedColumn(const std::string& text) {
  const bool escapeBackslash = platform::NativePathStyle() == platform::PathStyle::kPosix;
  std::string escaped;
  escaped.reserve(text.size());
  // Bytes below 0x20 and 0x7F are never part of a multibyte character, in
  // UTF-8 nor in code page 932.
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t') {
      escaped += "\\t";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02X", byte);
      escaped += code;
    } else if (c == '\\' && escapeBackslash) {
      escaped += "\\\\";
    } else {
      escaped += c;
    }
  }
  return escaped;
}
