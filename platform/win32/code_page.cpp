#include "platform/code_page.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

namespace {

// UTF-16 in the system's code page; *substituted (when given) tells whether
// a character had to be replaced. A character the code page cannot hold becomes its
// default character ("?"), never a look-alike: café.txt is not logged as
// the other file cafe.txt, and a¥b.txt not as a path a\b.txt.
std::string InSystemCodePage(std::wstring_view wide, BOOL* substituted) {
  if (wide.empty()) return {};
  const int units = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0, nullptr, substituted);
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, text.data(), bytes, nullptr, substituted);
  return text;
}

}  // namespace

cp::CodePage StoredCodePage() {
  switch (GetACP()) {
    case 932: return cp::CodePage::kShiftJis;
    case CP_UTF8: return cp::CodePage::kUtf8;
    default: return cp::CodePage::kSingleByte;
  }
}

std::string ToStoredText(std::string_view text) { return InSystemCodePage(WideText(text), nullptr); }

std::string FromStoredText(std::string_view stored) { return ProgramText(WideText(stored, CP_ACP)); }

bool StoredTextHolds(std::string_view text) {
  const std::wstring wide = WideText(text);
  BOOL substituted = FALSE;
  const std::string stored = InSystemCodePage(wide, &substituted);
  return !substituted && FromStoredText(stored) == text;
}

}  // namespace platform
