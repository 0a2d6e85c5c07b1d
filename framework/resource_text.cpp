#include "framework/resource_text.h"

#include <windows.h>

namespace fw {

std::string LoadText(unsigned id) {
  // Asked for no buffer, LoadStringW points into the resource itself; the
  // text is converted once, whatever its length.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return SystemText({text, static_cast<size_t>(length)});
}

std::string SystemText(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int units = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string converted(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), units, converted.data(), bytes, nullptr, nullptr);
  return converted;
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
