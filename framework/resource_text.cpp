#include "framework/resource_text.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace fw {

std::string LoadText(unsigned id) {
  // Asked for no buffer, LoadStringW points into the resource itself; the
  // text is converted once, whatever its length.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return platform::ProgramText({text, static_cast<size_t>(length)});
}

std::string PromptOf(unsigned command) {
  const std::string text = LoadText(command);
  return text.substr(0, text.find('\n'));
}

std::string TooltipOf(unsigned command) {
  const std::string text = LoadText(command);
  const size_t lineBreak = text.find('\n');
  return lineBreak == std::string::npos ? std::string() : text.substr(lineBreak + 1);
}

}  // namespace fw
