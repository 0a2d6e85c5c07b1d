#include "platform/code_page.h"

#include <windows.h>

namespace platform {

cp::CodePage SystemCodePage() {
  switch (GetACP()) {
    case 932: return cp::CodePage::kShiftJis;
    case CP_UTF8: return cp::CodePage::kUtf8;
    default: return cp::CodePage::kSingleByte;
  }
}

std::string Utf8ToSystem(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace platform
